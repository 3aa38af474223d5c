# Runs the window program with ARGS ('|'-separated) and no display, and checks
# its exit status and output: EXIT, and EXPECT, which standard output must
# match for status 0 and standard error (one line, nothing on standard
# output) otherwise.
string(REPLACE "|" ";" args "${ARGS}")
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "")
execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 20)
if(NOT code STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${code}, expected ${EXIT}\nstdout: ${out}\nstderr: ${err}")
endif()
if(EXIT EQUAL 0)
  if(NOT out MATCHES "${EXPECT}" OR NOT err STREQUAL "")
    message(FATAL_ERROR "stdout does not match '${EXPECT}' or stderr is not empty\nstdout: ${out}\nstderr: ${err}")
  endif()
else()
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines lines)
  if(NOT out STREQUAL "" OR NOT lines EQUAL 1 OR NOT err MATCHES "${EXPECT}")
    message(FATAL_ERROR "expected one line matching '${EXPECT}' on stderr and nothing on stdout\nstdout: ${out}\nstderr: ${err}")
  endif()
endif()
