// Lines from the controlling program on standard input, gathered into a line
// buffer from whatever bytes have arrived, so that a search can look for
// input without ever blocking.
#pragma once

#include <string>

// Longest line kept; a longer line is not delivered as it came (see
// IsTooLongLine).
constexpr size_t kMaxInputLine = 1 << 20;

// The next complete line, waiting for it if need be. Returns false at the end
// of input (after every complete line has been taken).
bool ReadLineBlocking(std::string& line);

// The next complete line if one has already arrived, reading whatever bytes
// are available without waiting. Returns false when there is none.
bool ReadLineIfReady(std::string& line);

// True once standard input has ended and every line has been taken.
bool InputFinished();

// A line longer than kMaxInputLine is dropped with a notice when it is read,
// and delivered in its place, in order, as a stand-in that no line of input
// can be: true for that stand-in, with the first word of the dropped line
// in `firstWord` (so that a dropped position command can still be refused).
bool IsTooLongLine(const std::string& line, std::string& firstWord);
