#include "bench_platform.h"
#include "qt_platform.h"

std::unique_ptr<Platform> MakeBenchPlatform(int& argc, char** argv) {
  return std::make_unique<QtPlatform>(argc, argv);
}
