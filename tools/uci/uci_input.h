// Lines from the controlling program on standard input, read straight from
// file descriptor 0 into a line buffer, so that a search can look for input
// without ever blocking.
#pragma once

#include <string>

// Longest line kept; a longer line is dropped whole with a notice.
constexpr size_t kMaxInputLine = 1 << 20;

// The next complete line, waiting for it if need be. Returns false at the end
// of input (after every complete line has been taken).
bool ReadLineBlocking(std::string& line);

// The next complete line if one has already arrived, reading whatever bytes
// are available without waiting. Returns false when there is none.
bool ReadLineIfReady(std::string& line);

// True once standard input has ended and every line has been taken.
bool InputFinished();
