# googletest for the Windows build, from Debian's sources in
# /usr/src/googletest (libgtest-dev), built with this build's compiler;
# nothing of it is copied into the tree. Gives GTest::gtest as
# find_package(GTest) does on Linux.
include_guard(GLOBAL)

set(KORVIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "googletest's sources")
if(NOT EXISTS ${KORVIN_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "googletest's sources are missing from ${KORVIN_GOOGLETEST_SOURCE} "
                      "(Debian: libgtest-dev)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
# Its own code is not held to this project's warnings.
get_property(KORVIN_TEST_OPTIONS DIRECTORY PROPERTY COMPILE_OPTIONS)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
add_subdirectory(${KORVIN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${KORVIN_TEST_OPTIONS}")
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
endif()
