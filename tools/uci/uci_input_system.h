// The bytes of standard input, as the operating system delivers them. One
// implementation per system (uci_input_posix.cpp, uci_input_win32.cpp); the
// build picks one.
#pragma once

#include <cstddef>

// What ReadInputBytes found.
constexpr long kNoInputYet = 0;  // nothing has arrived (only without waiting)
constexpr long kInputEnded = -1;  // standard input has ended or failed

// Copies up to `size` bytes that have arrived into `buffer` and returns how
// many; waits for some when `wait`, else returns kNoInputYet at once when
// there are none. kInputEnded once the input has ended.
long ReadInputBytes(char* buffer, size_t size, bool wait);
