#include <windows.h>

#include "bench_platform.h"
#include "win32_platform.h"

std::unique_ptr<Platform> MakeBenchPlatform(int&, char**) {
  return std::make_unique<Win32Platform>(GetModuleHandleW(nullptr));
}
