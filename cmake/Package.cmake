# The Debian package: korvin4_<version>_<arch>.deb from the install rules
# (cmake/Install.cmake) under /usr, with the dependencies computed from the
# binaries by dpkg-shlibdeps, and the copyright file and changelog Debian
# asks for in /usr/share/doc/korvin4. Build it with `make deb` (or
# `cpack -G DEB` in a configured build tree).
# Include this file after cmake/Install.cmake.
include_guard(GLOBAL)

get_filename_component(KORVIN4_PACKAGE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Debian's own documentation files; they install with every prefix, so an
# installation from source carries its licence too.
set(KORVIN4_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korvin4)
set(KORVIN4_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${KORVIN4_CHANGELOG_GZ}
  COMMAND gzip -9 -n -c ${KORVIN4_PACKAGE_ROOT}/packaging/changelog > ${KORVIN4_CHANGELOG_GZ}
  DEPENDS ${KORVIN4_PACKAGE_ROOT}/packaging/changelog
  VERBATIM)
add_custom_target(korvin4_changelog ALL DEPENDS ${KORVIN4_CHANGELOG_GZ})
install(FILES ${KORVIN4_PACKAGE_ROOT}/packaging/copyright ${KORVIN4_CHANGELOG_GZ}
        DESTINATION ${KORVIN4_DOC_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(KORVIN4_DEB_MAINTAINER "Korvin 4 developers <korvin4@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvin4)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvin 4 developers")
set(CPACK_PACKAGE_CONTACT "${KORVIN4_DEB_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "play chess against the computer")
# The synopsis line comes from the summary; blank lines part paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Korvin 4 is a desktop program for playing chess against the computer with
the mouse only. One square, resizable window shows the board; the computer
answers each move at once, at one of four levels. The game and the settings
are kept between runs, and games can be saved and loaded as Korvin games or
as PGN.

The package also holds korvin-cli, a command-line tool over the engine
(perft, search, PGN export and import), and korvin-uci, the engine for
chess programs that speak the UCI protocol.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": Debian keeps that section for packages whose programs live in
# /usr/games, and these install into bin/ like any desktop program.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVIN4_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# On a Wayland desktop Qt's Wayland plugin runs the program natively; without
# it the program runs through XWayland. Qt's own catalogues put the texts of
# its file requester and questions into the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
include(CPack)
