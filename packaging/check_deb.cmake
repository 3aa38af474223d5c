# Builds the Debian package from the build directory and checks its control
# fields and contents.
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message("dpkg-deb not found; skipping")
  return()
endif()
get_filename_component(cmake_dir "${CMAKE_COMMAND}" DIRECTORY)
find_program(CPACK cpack HINTS "${cmake_dir}" NO_DEFAULT_PATH)
if(NOT CPACK)
  find_program(CPACK cpack REQUIRED)
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()
file(GLOB debs "${WORK_DIR}/waitline_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one waitline_*.deb in ${WORK_DIR}, found ${count}:\n${output}")
endif()

macro(field name var)
  execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" ${name} OUTPUT_VARIABLE ${var}
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endmacro()
field(Package package)
field(Section section)
field(Maintainer maintainer)
field(Description description)
field(Depends depends)
if(NOT package STREQUAL "waitline")
  message(FATAL_ERROR "Package is '${package}'")
endif()
if(NOT section STREQUAL "education")
  message(FATAL_ERROR "Section is '${section}'")
endif()
if(maintainer STREQUAL "" OR description STREQUAL "")
  message(FATAL_ERROR "Maintainer or Description is empty")
endif()
# The Qt libraries the program links, the X11 platform plugin it opens its
# window with, and the fonts it draws with.
foreach(dependency libqt6charts6 libqt6svg6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-liberation)
  if(NOT depends MATCHES "(^|, )${dependency}( |,|$)")
    message(FATAL_ERROR "Depends lacks ${dependency}: ${depends}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" -c "${debs}" OUTPUT_VARIABLE contents COMMAND_ERROR_IS_FATAL ANY)
foreach(path usr/bin/waitline
             usr/bin/waitline-batch
             usr/share/applications/${APP_ID}.desktop
             usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg
             usr/share/metainfo/${APP_ID}.metainfo.xml
             usr/share/doc/waitline/copyright)
  string(FIND "${contents}" "./${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks /${path}:\n${contents}")
  endif()
endforeach()
message(STATUS "built ${debs}\nDepends: ${depends}")
