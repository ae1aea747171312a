// The window program: start-up, the event loop and shutdown, on any platform.
#pragma once

#include <string>

#include "platform.h"

// Start-up up to the first drawn board: the lock on the working folder,
// engine, pictures, settings, welcome dialog, main window, position, book
// and the kept game (a damaged one is moved aside and reported), the
// leftovers of cut-short saves removed, and then the game file `openPath`
// loaded when one is given. Returns false when the program has already
// ended: when another program holds the folder (it was asked to come to
// the front, or to open the file), after reporting a picture that could not
// be loaded, or after a request to end it during start-up (then ShutDown
// has run).
bool StartUp(Platform& platform, const std::string& openPath = "");

// Handles one event of the main loop, then the move check. Returns false
// once the program has shut down (game and settings written): after a close
// request of the main window or AppTerminate, here, in a dialog or while
// the computer thought.
bool HandleEvent(const Event& event);

// Waits for and handles events until the program shuts down.
void RunEventLoop();

// Start-up and the event loop; the process exit status: 1 when start-up
// failed or a save at exit failed, else 0.
int RunProgram(Platform& platform, const std::string& openPath = "");

// Keeps the main window square after the user resized it; in a window
// the window system sized (maximized, full-screen) the board is the largest
// square that fits, centred.
void ApplySquareWindowRule();

// While the computer thinks, a normal window is put back to its accepted
// size; a maximized or full-screen one keeps the size it was given.
void KeepWindowWhileThinking();

// Writes "korvin.kga" (unless that could lose a game the program did not
// read) and then "korvin.cfg", takes down the main window and reports a
// save that failed. Runs once.
void ShutDown();
