// The modal dialogs of the program: the welcome text, the "Options" commands
// and the short messages shown when a file cannot be loaded or saved.
#pragma once

#include <string>
#include <vector>

// The welcome dialog of the first runs; its check box sets hideWelcome.
void ShowWelcome();

// The "Options" dialog, opened by a right click on the board.
void ShowOptions();

// Loads a game file (a Korvin game, or the first game of a PGN file) as
// "Load Game" does; a file that cannot be loaded is reported and the
// current game stays.
void OpenGameFile(const std::string& path);

// A small modal window with lines of text and an "OK" button, centred on
// the main window (on the desktop while there is none). Ends on "OK", on
// closing its window, or on a request to end the program.
void ShowMessage(const std::vector<std::string>& lines);
void ShowMessage(const std::string& line1, const std::string& line2);

// A file's name as messages show it: absolute, so the user can find it.
std::string FullPath(const std::string& path);

// A reason ("cannot write: No space left on device") as a sentence of its
// own in a message: "Cannot write: No space left on device."
std::string Sentence(const std::string& reason);
