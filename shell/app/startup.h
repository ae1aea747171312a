// The window program from its start to its first drawn board, and the whole
// run: start-up, then the event loop.
#pragma once

#include <string>

#include "platform.h"

// Start-up up to the first drawn board: the lock on the working folder,
// engine, pictures, settings, main window, welcome dialog, position, book
// and the kept game (a damaged one is moved aside and reported), the
// leftovers of cut-short saves removed, and then the game file `openPath`
// loaded when one is given. Returns false when the program has already
// ended: when another program holds the folder (it was asked to come to
// the front, or to open the file), after reporting a picture that could not
// be loaded, or after a request to end it during start-up (then ShutDown
// has run).
bool StartUp(Platform& platform, const std::string& openPath = "");

// Start-up and the event loop; the process exit status: 1 when start-up
// failed or a save at exit failed, else 0.
int RunProgram(Platform& platform, const std::string& openPath = "");
