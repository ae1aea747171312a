// The main event loop, the square-window rule, and shutdown.
#pragma once

#include "platform.h"

// Handles one event of the main loop, then the move check. Returns false
// once the program has shut down (game and settings written): after a close
// request of the main window or AppTerminate, here, in a dialog or while
// the computer thought.
bool HandleEvent(const Event& event);

// Waits for and handles events until the program shuts down. A kept game
// that stopped at the computer's turn (resumeComputerTurn) is first
// answered by the computer.
void RunEventLoop();

// Keeps the main window square after the user resized it; in a window
// the window system sized (maximized, full-screen) the board is the largest
// square that fits, centred.
void ApplySquareWindowRule();

// While the computer thinks, a normal window is put back to its accepted
// size; a maximized or full-screen one keeps the size it was given.
void KeepWindowWhileThinking();

// Writes "korvin.kga" (unless that could lose a game the program did not
// read or write) and then "korvin.cfg", takes down the main window and
// reports a save that failed. Runs once.
void ShutDown();

// The desktop session is ending and may end the process at any moment:
// "korvin.kga" and "korvin.cfg" are written at once, as ShutDown would
// write them (a failure is only logged: there is no time to tell the user).
void SaveAtSessionEnd();
