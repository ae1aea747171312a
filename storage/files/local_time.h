// The local time, for the names and dates that people read.
#pragma once

#include <ctime>

// The operating system's part (local_time_posix.cpp, local_time_win32.cpp).

// `when` broken down in the local time zone; false when the system cannot
// tell.
bool LocalTime(std::time_t when, std::tm& local);
