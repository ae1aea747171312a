// The short messages that tell the user what happened to a file, and how
// messages name files and give reasons.
#pragma once

#include <string>
#include <vector>

// A small modal window with lines of text and an "OK" button, centred on
// the main window (on the desktop while there is none), as wide as its
// longest line. Ends on "OK", Enter, Esc, closing its window, or a request
// to end the program.
void ShowMessage(const std::vector<std::string>& lines);

// A file's name as messages show it: absolute, so the user can find it.
std::string FullPath(const std::string& path);

// A reason ("cannot write: No space left on device") as a sentence of its
// own in a message: "Cannot write: No space left on device."
std::string Sentence(const std::string& reason);

// A text of several lines (parted by "\n") as the lines of a message.
std::vector<std::string> Lines(const std::string& text);
