// Where the program's windows open, on the screens the platform reports
// (the arithmetic is in window_placement.h).
#pragma once

#include "platform.h"

// Fits the main window's geometry in the settings onto the screen it names,
// before the window is created.
void PlaceMainWindow(Platform& platform);

// Once the main window is on the screen the window system's frame around it
// is known: a main window whose frame reaches beyond the available area is
// moved, and if need be made smaller, to lie wholly inside it. True when it
// was made smaller (settings.windowWidth and windowHeight are the new size).
bool KeepMainWindowOnScreen(Platform& platform, Handle mainWindow);

// Moves a window about to open at (x, y) wholly inside the screen the main
// window is on (while there is none: the screen the settings name).
void PlaceWindow(Platform& platform, Handle mainWindow, int& x, int& y, int width, int height);
