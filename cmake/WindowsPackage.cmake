# The Windows packages, made by every build of the window program:
#   package/korvin4-<version>-setup.exe   the installer (NSIS, makensis;
#                                         packaging/windows/korvin4.nsi.in)
#   package/korvin4-<version>-windows.zip the portable Korvin 4: one folder
#                                         with the programs, the pictures and
#                                         book beside them, the marker file
#                                         "korvin4.portable", the licence and
#                                         a short readme
# Both are made from one staged folder (package/stage/) with the programs
# stripped. Included by the top-level CMakeLists.txt after the programs.
include_guard(GLOBAL)

set(KORVIN_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(KORVIN_SETUP_EXE ${KORVIN_PACKAGE_DIR}/korvin4-${PROJECT_VERSION}-setup.exe)
set(KORVIN_WINDOWS_ZIP ${KORVIN_PACKAGE_DIR}/korvin4-${PROJECT_VERSION}-windows.zip)
set(KORVIN_ZIP_FOLDER korvin4-${PROJECT_VERSION}-windows)

if(NOT TARGET korvin4)
  message(STATUS "Windows build: no installer and no zip without the window program")
  return()
endif()
find_program(KORVIN_MAKENSIS makensis)
if(NOT KORVIN_MAKENSIS)
  message(FATAL_ERROR "the Windows installer needs makensis (Debian's nsis; make windows installs it)")
endif()

set(stage ${KORVIN_PACKAGE_DIR}/stage/${KORVIN_ZIP_FOLDER})
set(stamp ${KORVIN_PACKAGE_DIR}/stage.stamp)
file(GLOB KORVIN_SHIPPED_ASSETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/*)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README-windows.txt
               ${CMAKE_BINARY_DIR}/packaging/README-windows.txt @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/korvin4.nsi.in
               ${CMAKE_BINARY_DIR}/packaging/korvin4.nsi @ONLY)

add_custom_command(
  OUTPUT ${stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVIN_PACKAGE_DIR}/stage
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_STRIP} -o ${stage}/korvin4.exe $<TARGET_FILE:korvin4>
  COMMAND ${CMAKE_STRIP} -o ${stage}/korvin-cli.exe $<TARGET_FILE:korvin-cli>
  COMMAND ${CMAKE_STRIP} -o ${stage}/korvin-uci.exe $<TARGET_FILE:korvin-uci>
  COMMAND ${CMAKE_COMMAND} -E copy ${KORVIN_SHIPPED_ASSETS} ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/packaging/README-windows.txt ${stage}/README.txt
  COMMAND ${CMAKE_COMMAND} -E touch ${stage}/korvin4.portable
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS korvin4 korvin-cli korvin-uci ${KORVIN_SHIPPED_ASSETS} ${PROJECT_SOURCE_DIR}/LICENSE
          ${CMAKE_BINARY_DIR}/packaging/README-windows.txt
  COMMENT "Staging the Windows packages"
  VERBATIM)

add_custom_command(
  OUTPUT ${KORVIN_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KORVIN_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${KORVIN_WINDOWS_ZIP} --format=zip ${KORVIN_ZIP_FOLDER}
  WORKING_DIRECTORY ${KORVIN_PACKAGE_DIR}/stage
  DEPENDS ${stamp}
  COMMENT "Making ${KORVIN_ZIP_FOLDER}.zip"
  VERBATIM)

add_custom_command(
  OUTPUT ${KORVIN_SETUP_EXE}
  COMMAND ${KORVIN_MAKENSIS} -V2 -INPUTCHARSET UTF8
          -DKORVIN4_EXE=${stage}/korvin4.exe -DKORVIN_CLI_EXE=${stage}/korvin-cli.exe
          -DKORVIN_UCI_EXE=${stage}/korvin-uci.exe -DOUTFILE=${KORVIN_SETUP_EXE}
          ${CMAKE_BINARY_DIR}/packaging/korvin4.nsi
  DEPENDS ${stamp} ${CMAKE_BINARY_DIR}/packaging/korvin4.nsi
          ${PROJECT_SOURCE_DIR}/packaging/windows/korvin4-strings.nsh ${KORVIN_ICON}
  COMMENT "Making the installer korvin4-${PROJECT_VERSION}-setup.exe"
  VERBATIM)

add_custom_target(korvin_windows_packages ALL DEPENDS ${KORVIN_SETUP_EXE} ${KORVIN_WINDOWS_ZIP})
