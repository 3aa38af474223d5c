# Runs one scenario script and compares what it prints with its golden file.
#   cmake -DRUNNER=... -DSCRIPT=... -DEXPECTED=... -DEXIT_CODE=0 -P run_scenario.cmake
if(NOT DEFINED EXIT_CODE)
  set(EXIT_CODE 0)
endif()
execute_process(COMMAND "${RUNNER}" "${SCRIPT}"
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL EXIT_CODE)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT_CODE}\n${errors}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT actual STREQUAL expected)
  get_filename_component(name "${SCRIPT}" NAME_WE)
  set(actual_file "${CMAKE_CURRENT_BINARY_DIR}/${name}.actual")
  file(WRITE "${actual_file}" "${actual}")
  execute_process(COMMAND diff -u "${EXPECTED}" "${actual_file}")
  message(FATAL_ERROR "output differs from ${EXPECTED}; what it printed is in ${actual_file}")
endif()
