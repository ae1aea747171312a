#include <sys/mman.h>

#include <new>

#include "table_memory.h"

// An anonymous mapping is zero-filled by the system page by page as it is
// first touched. The table is probed at random, so it asks for huge pages
// where the system offers them (fewer TLB misses); without them it works the
// same.
void* AllocateZeroedTable(size_t bytes) {
  void* table = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (table == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  madvise(table, bytes, MADV_HUGEPAGE);
#endif
  return table;
}

bool PopulateTablePages(void* start, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  return madvise(start, bytes, MADV_POPULATE_WRITE) == 0;
#else
  (void)start;
  (void)bytes;
  return false;
#endif
}
