# Fails when a program that must run without a window links a Qt library.
#   cmake -DPROGRAMS="a;b" -P no_window_library.cmake
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ldd "${program}" OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd failed on ${program}")
  endif()
  if(libraries MATCHES "libQt")
    message(FATAL_ERROR "${program} links a Qt library:\n${libraries}")
  endif()
  if(NOT libraries MATCHES "libstdc\\+\\+")
    message(FATAL_ERROR "unexpected ldd output for ${program}:\n${libraries}")
  endif()
endforeach()
