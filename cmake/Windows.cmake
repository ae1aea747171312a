# The Windows build (cross-built with cmake/mingw-w64-x86_64.cmake): what of
# the tree it holds, the programs' resources, and Wine to run its tests.
# Included by the top-level CMakeLists.txt before any target is made.
include_guard(GLOBAL)

# No Qt for Windows here: the window program will have a Platform of its own.
set(KORVIN_WITH_QT OFF CACHE BOOL "Build the window program (needs Qt 6 Widgets)" FORCE)

# The headers of Windows 10: the window program calls its per-monitor DPI
# functions, so it needs Windows 10 (1607) or later; korvin-cli and
# korvin-uci call nothing newer than Windows 7 and still run there.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00)


# Resources: the icon made from the desktop icons, a version record, and the
# manifest (packaging/windows).
enable_language(RC)
find_program(KORVIN_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT KORVIN_DEBIAN_PYTHON)
  message(FATAL_ERROR "the Windows icon needs Debian's python3 with python3-pil")
endif()
set(KORVIN_ICON_PICTURES)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND KORVIN_ICON_PICTURES
       ${PROJECT_SOURCE_DIR}/desktop/icons/hicolor/${size}x${size}/apps/korvin4.png)
endforeach()
set(KORVIN_ICON ${CMAKE_BINARY_DIR}/packaging/korvin4.ico)
add_custom_command(OUTPUT ${KORVIN_ICON}
                   COMMAND ${KORVIN_DEBIAN_PYTHON} ${PROJECT_SOURCE_DIR}/tools/assets/make_ico.py
                           ${KORVIN_ICON} ${KORVIN_ICON_PICTURES}
                   DEPENDS ${PROJECT_SOURCE_DIR}/tools/assets/make_ico.py ${KORVIN_ICON_PICTURES}
                   COMMENT "Making the Windows icon")
add_custom_target(korvin_windows_icon DEPENDS ${KORVIN_ICON})

# Version 4.01 is 4.1.0.0 in the four numbers of a version record.
math(EXPR KORVIN_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
set(KORVIN_WINDOWS_VERSION "${PROJECT_VERSION_MAJOR}.${KORVIN_VERSION_MINOR}.0.0")
set(KORVIN_MANIFEST ${CMAKE_BINARY_DIR}/packaging/korvin4.manifest)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/korvin4.manifest.in ${KORVIN_MANIFEST} @ONLY)

# Gives `target` (a program named NAME.exe) the icon, the version record
# with DESCRIPTION, and the manifest.
function(korvin_windows_resources target description)
  set(KORVIN_RC_NAME ${target})
  set(KORVIN_RC_DESCRIPTION "${description}")
  set(KORVIN_RC_ICON ${KORVIN_ICON})
  set(KORVIN_RC_MANIFEST ${KORVIN_MANIFEST})
  string(REPLACE "." "," KORVIN_RC_VERSION "${KORVIN_WINDOWS_VERSION}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${KORVIN_ICON};${KORVIN_MANIFEST}")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} korvin_windows_icon)
endfunction()

# Tests run under Wine, in a Wine prefix of this build's own, made at the
# first start (cmake/wine-run.sh.in).
find_program(KORVIN_WINE64 wine64 PATHS /usr/lib/wine /usr/lib64/wine)
find_program(KORVIN_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine /usr/lib64/wine)
if(KORVIN_WINE64)
  set(KORVIN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
else()
  message(STATUS "Windows build: wine64 not found; the tests cannot run here")
endif()
