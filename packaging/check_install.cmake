# Installs the build into a scratch root and checks what a desktop relies on:
# the program, its menu entry, the icon the entry names and the metainfo that
# points back at the entry.
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(share "${PREFIX}/${DATADIR}")
set(desktop "${share}/applications/${APP_ID}.desktop")
set(metainfo "${share}/metainfo/${APP_ID}.metainfo.xml")
foreach(file "${PREFIX}/${BINDIR}/waitline" "${desktop}" "${metainfo}"
             "${share}/icons/hicolor/scalable/apps/${APP_ID}.svg")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(STRINGS "${desktop}" exec_line REGEX "^Exec=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec_line}")
if(NOT EXISTS "${PREFIX}/${BINDIR}/${program}")
  message(FATAL_ERROR "the menu entry starts '${program}', which is not installed in ${BINDIR}")
endif()

file(STRINGS "${desktop}" icon_line REGEX "^Icon=")
if(NOT icon_line STREQUAL "Icon=${APP_ID}")
  message(FATAL_ERROR "the menu entry names icon '${icon_line}', expected Icon=${APP_ID}")
endif()

file(READ "${metainfo}" xml)
foreach(wanted "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
  string(FIND "${xml}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "metainfo lacks ${wanted}")
  endif()
endforeach()
if(xml MATCHES "@[A-Z_]+@")
  message(FATAL_ERROR "metainfo has an unreplaced placeholder: ${CMAKE_MATCH_0}")
endif()
message(STATUS "installed and consistent under ${PREFIX}")
