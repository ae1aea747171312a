#include <windows.h>

#include <new>

#include "table_memory.h"

// Committed memory is zero-filled by the system page by page as it is first
// touched.
void* AllocateZeroedTable(size_t bytes) {
  void* table = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (table == nullptr) throw std::bad_alloc();
  return table;
}

// Windows has no call that supplies zero pages ahead of their first touch;
// touching them is the way.
bool PopulateTablePages(void*, size_t) { return false; }
