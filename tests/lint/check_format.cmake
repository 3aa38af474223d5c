# Fails when a C++ file of the project differs from what clang-format makes
# of it.   cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P check_format.cmake
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/engine/*.cpp" "${SOURCE_DIR}/engine/*.h" "${SOURCE_DIR}/statistics/*.cpp" "${SOURCE_DIR}/statistics/*.h"
  "${SOURCE_DIR}/control/*.cpp" "${SOURCE_DIR}/control/*.h"
  "${SOURCE_DIR}/ui/*.cpp" "${SOURCE_DIR}/ui/*.h"
  "${SOURCE_DIR}/app/*.cpp" "${SOURCE_DIR}/tools/*.cpp" "${SOURCE_DIR}/tools/*.h"
  "${SOURCE_DIR}/tests/*.cpp" "${SOURCE_DIR}/tests/*.h" "${SOURCE_DIR}/bench/*.cpp" "${SOURCE_DIR}/bench/*.h")
set(unformatted "")
foreach(file IN LISTS files)
  execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror "${file}"
    WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    list(APPEND unformatted "${file}")
  endif()
endforeach()
list(LENGTH files checked)
if(unformatted)
  string(REPLACE ";" "\n  " list "${unformatted}")
  message(FATAL_ERROR "not formatted (run clang-format -i on them):\n  ${list}")
endif()
message(STATUS "${checked} files formatted")
