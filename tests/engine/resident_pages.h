// How much of a block of memory the system holds in memory right now, for
// the test of the table's warm-up. One implementation per system
// (resident_pages_posix.cpp, resident_pages_win32.cpp).
#pragma once

#include <cstddef>

// The pages of `bytes` at `start` that are resident, and all of its pages.
size_t ResidentPages(const void* start, size_t bytes);
size_t Pages(size_t bytes);
