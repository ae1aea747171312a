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
# Three runs: at 96 dpi and at 192 (a scale of 200 %, where the back
# buffers have twice the pixels and the @2x pictures serve), each with a
# window manager, and the window states without one (see win32_run.sh).
# Under Wine each resolution has a prefix of its own.
function(korvin_win32_test name prefix)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name}
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32_run.sh $<TARGET_FILE:win32_platform_tests>
                     ${CMAKE_BINARY_DIR}/${prefix} ${ARGN})
  else()
    list(FILTER ARGN INCLUDE REGEX "^--gtest")
    add_test(NAME ${name} COMMAND win32_platform_tests ${ARGN})
  endif()
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 LABELS "windows"
                       RESOURCE_LOCK ${prefix})
endfunction()
korvin_win32_test(win32_platform_tests wine-prefix --gtest_filter=-Win32States.*)
korvin_win32_test(win32_platform_tests.dpi192 wine-prefix-192 --dpi 192
                  --gtest_filter=-Win32States.*)
korvin_win32_test(win32_window_states wine-prefix --no-window-manager --gtest_filter=Win32States.*)
