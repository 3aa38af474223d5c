# Fails when the shipped program holds code of the test harness: the window
# driver or the model's invariant checker.
#   cmake -DPROGRAM=... -DNM=... -P check_shipped_symbols.cmake
execute_process(COMMAND "${NM}" -C "${PROGRAM}" OUTPUT_VARIABLE symbols RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT symbols MATCHES "waitline::MainWindow::")
  message(FATAL_ERROR "nm could not read the program's symbols: ${errors}")
endif()
string(REGEX MATCHALL "[^\n]*(waitline::WindowDriver|waitline::CheckInvariants)[^\n]*" found "${symbols}")
if(found)
  list(SUBLIST found 0 5 first)
  string(REPLACE ";" "\n  " list "${first}")
  message(FATAL_ERROR "the program holds test harness code:\n  ${list}")
endif()
