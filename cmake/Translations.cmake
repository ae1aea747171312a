# The desktop files in every language of the catalogues po/*.po: the menu
# entry (Name, GenericName, Comment, Keywords), the AppStream summary and
# description and the file type's comment are translated at build time with
# msgfmt (package gettext) into build/packaging/, and cmake/Install.cmake
# installs those. Without msgfmt they are installed in English.
# The target `pot` writes po/korvin4.pot again from the sources.
# Include this file before cmake/Install.cmake.
include_guard(GLOBAL)

get_filename_component(KORVIN4_TEXTS_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(KORVIN4_PO_DIR ${KORVIN4_TEXTS_ROOT}/po)
file(STRINGS ${KORVIN4_PO_DIR}/LINGUAS KORVIN4_LINGUAS REGEX "^[^#]")
set(KORVIN4_PO_FILES ${KORVIN4_PO_DIR}/LINGUAS)
foreach(language ${KORVIN4_LINGUAS})
  list(APPEND KORVIN4_PO_FILES ${KORVIN4_PO_DIR}/${language}.po)
endforeach()

set(KORVIN4_DESKTOP_ENTRY ${KORVIN4_TEXTS_ROOT}/packaging/korvin4.desktop)
set(KORVIN4_METAINFO ${KORVIN4_TEXTS_ROOT}/packaging/io.github.korvin4.Korvin4.metainfo.xml)
set(KORVIN4_MIME_TYPE ${KORVIN4_TEXTS_ROOT}/packaging/korvin4-mime.xml)

find_program(KORVIN4_MSGFMT msgfmt)
if(KORVIN4_MSGFMT)
  set(translated)
  foreach(kind DESKTOP_ENTRY METAINFO MIME_TYPE)
    get_filename_component(name ${KORVIN4_${kind}} NAME)
    set(output ${CMAKE_BINARY_DIR}/packaging/${name})
    if(kind STREQUAL "DESKTOP_ENTRY")
      set(mode --desktop)
    else()
      set(mode --xml)
    endif()
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${KORVIN4_MSGFMT} ${mode} --template ${KORVIN4_${kind}} -d ${KORVIN4_PO_DIR} -o ${output}
      DEPENDS ${KORVIN4_${kind}} ${KORVIN4_PO_FILES}
      COMMENT "Translating ${name}"
      VERBATIM)
    set(KORVIN4_${kind} ${output})
    list(APPEND translated ${output})
  endforeach()
  add_custom_target(korvin4_desktop_files ALL DEPENDS ${translated})
else()
  message(WARNING "msgfmt (package gettext) is missing: the desktop files are installed in English only")
endif()

find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_custom_target(pot
    COMMAND ${Python3_EXECUTABLE} ${KORVIN4_TEXTS_ROOT}/tools/texts/make_pot.py ${KORVIN4_TEXTS_ROOT}
    COMMENT "Writing po/korvin4.pot from the sources"
    VERBATIM)
endif()
