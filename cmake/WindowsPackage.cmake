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

# The installer's texts it shares with the program (the file type's name),
# from the same catalogues.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB KORVIN_INSTALLER_PO CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(KORVIN_TYPES_NSH ${CMAKE_BINARY_DIR}/packaging/korvin4-types.nsh)
add_custom_command(
  OUTPUT ${KORVIN_TYPES_NSH}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/texts/make_nsis_texts.py
          --po-dir ${PROJECT_SOURCE_DIR}/po --out ${KORVIN_TYPES_NSH}
  DEPENDS ${KORVIN_INSTALLER_PO} ${PROJECT_SOURCE_DIR}/po/LINGUAS
          ${PROJECT_SOURCE_DIR}/tools/texts/make_nsis_texts.py ${PROJECT_SOURCE_DIR}/tools/texts/po_file.py
  COMMENT "The installer's texts from po/*.po"
  VERBATIM)

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

# An installer made from the staged folder; further arguments are makensis's.
function(korvin_installer output comment)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${KORVIN_MAKENSIS} -V2 -INPUTCHARSET UTF8
            -DKORVIN4_EXE=${stage}/korvin4.exe -DKORVIN_CLI_EXE=${stage}/korvin-cli.exe
            -DKORVIN_UCI_EXE=${stage}/korvin-uci.exe -DOUTFILE=${output} ${ARGN}
            ${CMAKE_BINARY_DIR}/packaging/korvin4.nsi
    DEPENDS ${stamp} ${CMAKE_BINARY_DIR}/packaging/korvin4.nsi
            ${PROJECT_SOURCE_DIR}/packaging/windows/korvin4-strings.nsh ${KORVIN_TYPES_NSH} ${KORVIN_ICON}
    COMMENT "${comment}"
    VERBATIM)
endfunction()
korvin_installer(${KORVIN_SETUP_EXE} "Making the installer korvin4-${PROJECT_VERSION}-setup.exe")
# For the tests only: an installer that finds the Windows it runs on too old,
# as it would Windows 7, where Wine cannot play one.
set(KORVIN_REFUSING_SETUP_EXE ${CMAKE_BINARY_DIR}/packaging/korvin4-refusing-setup.exe)
korvin_installer(${KORVIN_REFUSING_SETUP_EXE} "Making the tests' installer that refuses every Windows"
                 -DKORVIN_NEEDED_CALL=KorvinNoWindowsHasThis)

add_custom_target(korvin_windows_packages ALL DEPENDS ${KORVIN_SETUP_EXE} ${KORVIN_WINDOWS_ZIP})
add_custom_target(korvin_windows_test_installer ALL DEPENDS ${KORVIN_REFUSING_SETUP_EXE})
