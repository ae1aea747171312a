#include <windows.h>
#include <psapi.h>

#include <vector>

#include "resident_pages.h"

namespace {

size_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

}  // namespace

size_t Pages(size_t bytes) { return (bytes + PageSize() - 1) / PageSize(); }

// A page is resident when it is in the process's working set.
size_t ResidentPages(const void* start, size_t bytes) {
  const size_t page = PageSize();
  std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages(Pages(bytes));
  for (size_t i = 0; i < pages.size(); i++)
    pages[i].VirtualAddress = const_cast<char*>(static_cast<const char*>(start)) + i * page;
  const DWORD size = static_cast<DWORD>(pages.size() * sizeof(pages[0]));
  if (!QueryWorkingSetEx(GetCurrentProcess(), pages.data(), size)) return 0;
  size_t resident = 0;
  for (const auto& p : pages) resident += p.VirtualAttributes.Valid;
  return resident;
}
