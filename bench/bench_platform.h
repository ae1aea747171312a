// The platform the window program's benchmark runs on: Qt on Linux, Win32
// on Windows (bench_platform_qt.cpp, bench_platform_win32.cpp).
#pragma once

#include <memory>

#include "platform.h"

std::unique_ptr<Platform> MakeBenchPlatform(int& argc, char** argv);
