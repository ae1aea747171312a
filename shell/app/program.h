// The window program: start-up, the event loop and shutdown, on any platform.
#pragma once

#include "platform.h"

// Start-up up to the first drawn board: engine, pictures, settings, welcome
// dialog, main window, position, book and the kept game. Returns false after
// reporting a picture that could not be loaded.
bool StartUp(Platform& platform);

// Handles one event of the main loop, then the move check. Returns false
// once the program has shut down (game and settings written).
bool HandleEvent(const Event& event);

// Waits for and handles events until the program shuts down.
void RunEventLoop();

// Start-up and the event loop; the process exit status (1 when start-up
// failed).
int RunProgram(Platform& platform);

// Keeps the main window square after the user resized it.
void ApplySquareWindowRule();

// Writes "korvin.kga" and then "korvin.cfg" and takes down the main window.
void ShutDown();
