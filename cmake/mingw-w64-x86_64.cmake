# Cross-building Korvin 4 for 64-bit Windows with MinGW-w64 on Debian
# (g++-mingw-w64-x86-64-posix: GCC with the POSIX thread model, which
# std::thread needs):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs are linked statically with the C++ and thread libraries, so
# that a .exe needs no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVIN_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree only; programs (the build's
# own tools) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
