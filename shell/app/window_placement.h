// The arithmetic of where the program's windows open (place_window.h puts
// it to use on the platform's screens). Every window lies wholly inside the
// available area of the screen the main window is on, moved in from the
// edge when its centring would push it out; the main window's stored
// position and size are brought onto a screen before it is created. All
// arithmetic is done in 64 bits, so any stored value is safe.
#pragma once

#include "platform.h"

// The smallest client size of the main window.
constexpr int kSmallestBoard = 160;

// Moves a width x height window at (x, y) the least distance that puts it
// wholly inside `area`. Along a side where the window is larger than the
// area it gets the area's left or top edge, so its title bar and its first
// buttons stay on the screen.
void MoveInside(const ScreenRect& area, int width, int height, int& x, int& y);

// Makes a stored main-window geometry square, between kSmallestBoard and
// `largest` and no larger than the area, and moves it wholly inside the area.
void FitMainWindow(const ScreenRect& area, int largest, int& x, int& y, int& width, int& height);

// The middle of the span from `position` over `size` pixels, kept within
// the int range.
int MiddleOf(int position, int size);
