// The window program: start-up, the event loop and shutdown, on any platform.
#pragma once

#include "platform.h"

// Start-up up to the first drawn board: engine, pictures, settings, welcome
// dialog, main window, position, book and the kept game (a damaged one is
// moved aside and reported), and the leftovers of cut-short saves removed.
// Returns false when the program has already ended: after reporting a
// picture that could not be loaded, or after a request to end it during
// start-up (then ShutDown has run).
bool StartUp(Platform& platform);

// Handles one event of the main loop, then the move check. Returns false
// once the program has shut down (game and settings written): after a close
// request of the main window or AppTerminate, here, in a dialog or while
// the computer thought.
bool HandleEvent(const Event& event);

// Waits for and handles events until the program shuts down.
void RunEventLoop();

// Start-up and the event loop; the process exit status: 1 when start-up
// failed or a save at exit failed, else 0.
int RunProgram(Platform& platform);

// Keeps the main window square after the user resized it.
void ApplySquareWindowRule();

// Writes "korvin.kga" (unless that could lose a game the program did not
// read) and then "korvin.cfg", takes down the main window and reports a
// save that failed. Runs once.
void ShutDown();
