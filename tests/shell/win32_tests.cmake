# The Win32 platform's tests, for the Windows build: real windows, controls
# and messages, the drawing read back from the canvases, WIC decoding and the
# file requester. Where the build is cross-compiled they run under Wine on a
# private X server with a window manager (win32_run.sh); on Windows itself
# they run as they are. The shared drawing core's tests run here too.
add_executable(win32_platform_tests
  picture_ops_test.cpp
  win32_decode_test.cpp
  win32_drawing_test.cpp
  win32_platform_test.cpp
  win32_requester_test.cpp
  win32_test_images.cpp)
target_link_libraries(win32_platform_tests PRIVATE korvin_platform_win32 korvin_test_main)
target_link_options(win32_platform_tests PRIVATE -static)
target_compile_definitions(win32_platform_tests PRIVATE
                           KORVIN_ASSET_DIR="${PROJECT_SOURCE_DIR}/assets")
# The window states run without a window manager (see win32_run.sh), the
# rest with one.
if(CMAKE_CROSSCOMPILING)
  set(KORVIN_WIN32_RUN ${CMAKE_CURRENT_SOURCE_DIR}/win32_run.sh $<TARGET_FILE:win32_platform_tests>
      ${CMAKE_BINARY_DIR}/wine-prefix)
else()
  set(KORVIN_WIN32_RUN $<TARGET_FILE:win32_platform_tests>)
endif()
add_test(NAME win32_platform_tests COMMAND ${KORVIN_WIN32_RUN} --gtest_filter=-Win32States.*)
if(CMAKE_CROSSCOMPILING)
  add_test(NAME win32_window_states
           COMMAND ${KORVIN_WIN32_RUN} --no-window-manager --gtest_filter=Win32States.*)
else()
  add_test(NAME win32_window_states COMMAND ${KORVIN_WIN32_RUN} --gtest_filter=Win32States.*)
endif()
# One Wine prefix: the two never run at once.
set_tests_properties(win32_platform_tests win32_window_states PROPERTIES SKIP_RETURN_CODE 77
                     TIMEOUT 900 LABELS "windows" RESOURCE_LOCK wine-prefix)
