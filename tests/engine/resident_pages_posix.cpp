#include <sys/mman.h>
#include <unistd.h>

#include <vector>

#include "resident_pages.h"

size_t Pages(size_t bytes) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page;
}

size_t ResidentPages(const void* start, size_t bytes) {
  std::vector<unsigned char> flags(Pages(bytes));
  if (mincore(const_cast<void*>(start), bytes, flags.data()) != 0) return 0;
  size_t resident = 0;
  for (unsigned char f : flags) resident += f & 1;
  return resident;
}
