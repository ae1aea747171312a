// Memory for the engine's one large table, from the operating system: the
// table is allocated once for the whole run, its pages can be made resident
// ahead of the first search, and an entry can be loaded into the cache ahead
// of its use. One implementation per system (table_memory_posix.cpp,
// table_memory_win32.cpp); the build picks one.
#pragma once

#include <cstddef>

// `bytes` of zero-filled memory that lives until the program ends; throws
// std::bad_alloc when the system has none to give. The system supplies the
// pages as they are first touched.
void* AllocateZeroedTable(size_t bytes);

// Asks the system to supply every page of [start, start + bytes) now.
// Returns false when it cannot be asked; the caller then touches the pages.
bool PopulateTablePages(void* start, size_t bytes);

// Starts loading the cache line at `address` for a write soon after.
inline void PrefetchEntry(const void* address) { __builtin_prefetch(address, 1); }
