// The modal dialogs of the program: the welcome text, the "Options" commands
// and the short message shown when an explicit load or save fails.
#pragma once

#include <string>

// The welcome dialog of the first runs; its check box sets hideWelcome.
void ShowWelcome();

// The "Options" dialog, opened by a right click on the board.
void ShowOptions();

// A small modal window with two lines of text and an "OK" button, centred on
// the main window (on the desktop while there is none). Ends on "OK", on
// closing its window, or when the session ends.
void ShowMessage(const std::string& line1, const std::string& line2);
