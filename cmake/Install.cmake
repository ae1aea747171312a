# Install rules: Korvin 4 as a desktop program. Under the prefix:
#   bin/korvin4                        launcher: fills the user's working folder, starts the program
#   bin/korvin-cli, bin/korvin-uci     the command-line tools
#   libexec/korvin4/korvin4            the window program
#   share/korvin4/                     the shipped pictures and opening book
#   share/applications/korvin4.desktop
#   share/icons/hicolor/<size>/apps/korvin4.png and scalable/apps/korvin4.svg
#   share/metainfo/io.github.korvin4.Korvin4.metainfo.xml
#   share/mime/packages/korvin4.xml    the "Korvin game" file type (*.kga)
#   share/man/man6/*.6.gz              the manual pages of the three programs
# Include this file at the end of the top-level CMakeLists.txt, after every
# target is defined.
include_guard(GLOBAL)
include(GNUInstallDirs)

get_filename_component(KORVIN4_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(KORVIN4_APP_ID io.github.korvin4.Korvin4)
set(KORVIN4_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/korvin4)
set(KORVIN4_ASSETS_DIR ${CMAKE_INSTALL_DATADIR}/korvin4)

# The window program lives outside bin/: the launcher of the same name starts it.
if(TARGET korvin4)
  install(TARGETS korvin4 RUNTIME DESTINATION ${KORVIN4_PROGRAM_DIR})
endif()
install(TARGETS korvin-cli korvin-uci RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Every file that ships beside the program.
install(DIRECTORY ${KORVIN4_SOURCE_ROOT}/assets/
        DESTINATION ${KORVIN4_ASSETS_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The launcher finds the program and the assets relative to its own folder,
# so the installed tree can be moved. Directories given as absolute paths are
# written as they are.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${KORVIN4_PROGRAM_DIR}"
   OR IS_ABSOLUTE "${KORVIN4_ASSETS_DIR}")
  set(KORVIN4_LAUNCHER_PROGRAM "${CMAKE_INSTALL_FULL_LIBEXECDIR}/korvin4/korvin4")
  set(KORVIN4_LAUNCHER_ASSETS "${CMAKE_INSTALL_FULL_DATADIR}/korvin4")
else()
  file(RELATIVE_PATH KORVIN4_LAUNCHER_PROGRAM
       "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KORVIN4_PROGRAM_DIR}/korvin4")
  file(RELATIVE_PATH KORVIN4_LAUNCHER_ASSETS
       "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KORVIN4_ASSETS_DIR}")
endif()
configure_file(${KORVIN4_SOURCE_ROOT}/packaging/korvin4-launcher.in
               ${CMAKE_BINARY_DIR}/packaging/korvin4 @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/korvin4 DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration: menu entry, icons in every size, AppStream metadata,
# the file type of saved games. The MIME cache is not built here: packages
# leave that to their triggers, and the README tells those who install into
# their own prefix to run update-mime-database.
# (translated by cmake/Translations.cmake)
install(FILES ${KORVIN4_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KORVIN4_SOURCE_ROOT}/desktop/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${KORVIN4_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KORVIN4_MIME_TYPE}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME korvin4.xml)

# The manual pages of the three programs, compressed as Debian keeps them.
set(KORVIN4_MAN_PAGES)
foreach(page korvin4 korvin-cli korvin-uci)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/man/${page}.6.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
    COMMAND gzip -9 -n -c ${KORVIN4_SOURCE_ROOT}/packaging/man/${page}.6 > ${compressed}
    DEPENDS ${KORVIN4_SOURCE_ROOT}/packaging/man/${page}.6
    VERBATIM)
  list(APPEND KORVIN4_MAN_PAGES ${compressed})
endforeach()
add_custom_target(korvin4_man_pages ALL DEPENDS ${KORVIN4_MAN_PAGES})
install(FILES ${KORVIN4_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
