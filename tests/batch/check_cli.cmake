# Runs waitline-batch as a user would and checks what it writes and its exit
# status.
#   cmake -DPROGRAM=... -DMODE=refuse|help|version|json|csv|table -DARGS="a|b" [-DEXPECT=...] -P check_cli.cmake
#
# The arguments, and the lines a table must hold, are separated by "|", so
# that ctest passes them through as one.
# refuse:  exit 2, nothing on stdout, one line on stderr: "waitline-batch: EXPECT".
# help:    exit 0, the usage on stdout, nothing on stderr.
# version: exit 0, "waitline-batch EXPECT" and nothing else.
# json:    exit 0, one JSON object with the keys outside checks read; with
#          EXPECT=available the intervals and the theory are there, with
#          EXPECT=unavailable all are null.
# csv:     exit 0, a header and one line with as many fields.
# sweep:   exit 0, one JSON object of a sweep over the setting EXPECT: its
#          values, a point for each with the single run's four members, and
#          the settings without the swept one.
# table:   exit 0, every line of EXPECT appears in the table.
# progress: run on a terminal (through `script`), a long run draws a bar and
#          clears it before the results; without a terminal it draws nothing.
# interrupt: a run of days on a terminal says how long it will take, draws its
#          bar, and wipes it when Ctrl+C (SIGINT) ends it.
# full:    standard output is a full device: exit 1, one line on stderr
#          saying so.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" ARGS "${ARGS}")

if(MODE STREQUAL "full")
  execute_process(COMMAND "${PROGRAM}" ${ARGS} OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 1 OR NOT err STREQUAL "waitline-batch: cannot write to standard output\n")
    message(FATAL_ERROR "expected exit status 1 and one line saying standard output could not be written; "
                        "got ${status}:\n${err}")
  endif()
  return()
endif()

# Runs PROGRAM with ARGS on a terminal (through `script`), after `prefix` (a
# command that runs it, or nothing): what the terminal shows lands in `out`,
# the exit status in `status`. Where `script` is missing the check ends here,
# as skipped.
macro(run_on_terminal prefix)
  find_program(SCRIPT_PROGRAM script)
  if(NOT SCRIPT_PROGRAM)
    message("script not found; skipping")
    return()
  endif()
  string(REPLACE ";" " " command "${prefix}'${PROGRAM}' ${ARGS}")
  execute_process(COMMAND "${SCRIPT_PROGRAM}" -qec "${command}" /dev/null
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
endmacro()

if(MODE STREQUAL "interrupt")
  # The estimate comes once the first second has measured the pace; the
  # interrupt comes later. A program that ignored it would be killed five
  # seconds after, and fail here.
  run_on_terminal("timeout --preserve-status -k 5 -s INT 4 ")
  if(NOT status EQUAL 130)
    message(FATAL_ERROR "expected the program to end by Ctrl+C (status 130), not ${status}:\n${out}")
  endif()
  if(NOT out MATCHES "waitline-batch: this run will take about [0-9.]+ (days|hours|minutes) at this pace; Ctrl\\+C stops it")
    message(FATAL_ERROR "no estimate of a long run's time:\n${out}")
  endif()
  if(NOT out MATCHES "\r\\[[#.]+\\] +[0-9]+ %")
    message(FATAL_ERROR "no progress bar on the terminal:\n${out}")
  endif()
  # What the terminal's last line shows once the program has gone: the text
  # after the last newline, each return starting it over.
  string(FIND "${out}" "\n" last_newline REVERSE)
  math(EXPR after "${last_newline} + 1")
  string(SUBSTRING "${out}" ${after} -1 last_line)
  string(REPLACE "\r" ";" pieces "${last_line}")
  set(shown "")
  foreach(piece IN LISTS pieces)
    string(LENGTH "${piece}" piece_length)
    string(LENGTH "${shown}" shown_length)
    if(piece_length LESS shown_length)
      string(SUBSTRING "${shown}" ${piece_length} -1 rest)
      set(shown "${piece}${rest}")
    else()
      set(shown "${piece}")
    endif()
  endforeach()
  string(STRIP "${shown}" shown)
  if(NOT shown STREQUAL "")
    message(FATAL_ERROR "after Ctrl+C the terminal's line still shows: '${shown}'")
  endif()
  return()
endif()

if(MODE STREQUAL "progress")
  run_on_terminal("")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}:\n${out}${err}")
  endif()
  if(NOT out MATCHES "\r\\[#*\\.*\\] +[0-9]+ %")
    message(FATAL_ERROR "no progress bar on the terminal:\n${out}")
  endif()
  if(NOT out MATCHES "\r +\r[^\r]*arrival,service,")
    message(FATAL_ERROR "the bar was not cleared before the results:\n${out}")
  endif()
  execute_process(COMMAND "${PROGRAM}" ${ARGS} OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "without a terminal, expected nothing on stderr and exit status 0 (${status}):\n${err}")
  endif()
  return()
endif()

execute_process(COMMAND "${PROGRAM}" ${ARGS}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)

function(fail message)
  message(FATAL_ERROR "${message}\nexit status: ${status}\nstdout:\n${out}\nstderr:\n${err}")
endfunction()

if(MODE STREQUAL "refuse")
  if(NOT status EQUAL 2)
    fail("expected exit status 2")
  endif()
  if(NOT out STREQUAL "")
    fail("expected nothing on stdout")
  endif()
  if(NOT err STREQUAL "waitline-batch: ${EXPECT}\n")
    fail("expected exactly the line\nwaitline-batch: ${EXPECT}")
  endif()
  return()
endif()

if(NOT status EQUAL 0)
  fail("expected exit status 0")
endif()
if(NOT err STREQUAL "")
  fail("expected nothing on stderr")
endif()

if(MODE STREQUAL "help")
  foreach(option --arrival --service --arrival-rate --service-rate --servers --queue-length --seconds --seed
                 --warmup --replications --format --help --version)
    string(FIND "${out}" "  ${option} " at)
    if(at EQUAL -1)
      fail("the usage does not list ${option}")
    endif()
  endforeach()
  if(NOT out MATCHES "^Usage: waitline-batch ")
    fail("the usage does not begin with Usage:")
  endif()
elseif(MODE STREQUAL "version")
  if(NOT out STREQUAL "waitline-batch ${EXPECT}\n")
    fail("expected waitline-batch ${EXPECT}")
  endif()
elseif(MODE STREQUAL "json")
  if(NOT out MATCHES "^{[^\n]*}\n$")
    fail("expected one JSON object on one line")
  endif()
  string(JSON top_length ERROR_VARIABLE problem LENGTH "${out}")
  if(problem OR NOT top_length EQUAL 5)
    fail("expected an object of five members: ${problem}")
  endif()
  string(JSON type ERROR_VARIABLE problem TYPE "${out}" warnings)
  if(problem OR NOT type STREQUAL "ARRAY")
    fail("warnings must be a list: ${problem}")
  endif()
  foreach(key arrival service arrival_rate service_rate servers queue_length seconds warmup seed replications)
    string(JSON value ERROR_VARIABLE problem GET "${out}" settings ${key})
    if(problem)
      fail("settings.${key}: ${problem}")
    endif()
  endforeach()
  foreach(key sourced served lost loss mean_time_in_system sd_time_in_system mean_in_system mean_waiting_time
              mean_queue throughput utilisation)
    string(JSON type ERROR_VARIABLE problem TYPE "${out}" simulated ${key})
    if(problem OR NOT type STREQUAL "NUMBER")
      fail("simulated.${key} must be a number: ${problem}")
    endif()
  endforeach()
  foreach(key loss mean_time_in_system mean_in_system mean_waiting_time mean_queue throughput utilisation)
    string(JSON type ERROR_VARIABLE problem TYPE "${out}" ci95 ${key})
    if(problem)
      fail("ci95.${key}: ${problem}")
    endif()
    if(EXPECT STREQUAL "available")
      string(JSON length LENGTH "${out}" ci95 ${key})
      string(JSON low GET "${out}" ci95 ${key} 0)
      string(JSON high GET "${out}" ci95 ${key} 1)
      if(NOT type STREQUAL "ARRAY" OR NOT length EQUAL 2 OR NOT low LESS high)
        fail("ci95.${key} must be [low, high] with low below high")
      endif()
    elseif(NOT type STREQUAL "NULL")
      fail("ci95.${key} must be null")
    endif()
  endforeach()
  string(JSON type TYPE "${out}" theory)
  if(EXPECT STREQUAL "available")
    foreach(key loss throughput utilisation mean_in_system mean_queue mean_time_in_system mean_waiting_time
                sd_time_in_system)
      string(JSON type ERROR_VARIABLE problem TYPE "${out}" theory ${key})
      if(problem OR NOT type STREQUAL "NUMBER")
        fail("theory.${key} must be a number: ${problem}")
      endif()
    endforeach()
  elseif(NOT type STREQUAL "NULL")
    fail("theory must be null")
  endif()
elseif(MODE STREQUAL "csv")
  string(REGEX MATCHALL "[^\n]*\n" lines "${out}")
  list(LENGTH lines count)
  if(NOT count EQUAL 2)
    fail("expected a header and one line")
  endif()
  list(GET lines 0 header)
  list(GET lines 1 values)
  string(REGEX MATCHALL "," header_commas "${header}")
  string(REGEX MATCHALL "," value_commas "${values}")
  list(LENGTH header_commas header_count)
  list(LENGTH value_commas value_count)
  if(NOT header_count EQUAL value_count)
    fail("the header has ${header_count} commas, the values ${value_count}")
  endif()
  # The first versions' columns where they always were; later ones after them.
  set(first_columns "arrival,service,arrival_rate,service_rate,servers,queue_length,seconds,warmup,seed,"
      "replications,sourced,served,lost,loss,loss_low,loss_high,mean_time_in_system,mean_time_in_system_low,"
      "mean_time_in_system_high,sd_time_in_system,mean_in_system,mean_in_system_low,mean_in_system_high,"
      "theory_loss,theory_throughput,theory_utilisation,theory_mean_in_system,theory_mean_queue,"
      "theory_mean_time_in_system,theory_mean_waiting_time,")
  string(CONCAT first_columns ${first_columns})
  string(FIND "${header}" "${first_columns}" at)
  if(NOT at EQUAL 0)
    fail("the header does not begin with the first versions' columns")
  endif()
  if(NOT header MATCHES ",mean_waiting_time,mean_waiting_time_low,mean_waiting_time_high,.*,theory_sd_time_in_system\n$")
    fail("the header lacks the later columns")
  endif()
elseif(MODE STREQUAL "table")
  string(REPLACE "|" ";" EXPECT "${EXPECT}")
  foreach(line IN LISTS EXPECT)
    string(FIND "${out}" "${line}" at)
    if(at EQUAL -1)
      fail("the table lacks: ${line}")
    endif()
  endforeach()
elseif(MODE STREQUAL "sweep")
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    fail("expected exit status 0 and nothing on stderr")
  endif()
  string(JSON name GET "${out}" sweep name)
  string(JSON values LENGTH "${out}" sweep values)
  string(JSON points LENGTH "${out}" points)
  if(NOT name STREQUAL "${EXPECT}" OR NOT values EQUAL points OR points EQUAL 0)
    fail("expected a sweep of ${EXPECT} with a point for each value")
  endif()
  string(REPLACE "-" "_" key "${EXPECT}")
  string(JSON swept ERROR_VARIABLE absent GET "${out}" settings ${key})
  if(NOT absent)
    fail("the settings hold the swept ${key}")
  endif()
  math(EXPR last "${points} - 1")
  foreach(i RANGE ${last})
    string(JSON value GET "${out}" sweep values ${i})
    string(JSON at GET "${out}" points ${i} value)
    if(NOT value EQUAL at)
      fail("point ${i} is at ${at}, not at the sweep's value ${value}")
    endif()
    foreach(member simulated ci95 theory warnings)
      string(JSON type TYPE "${out}" points ${i} ${member})
    endforeach()
  endforeach()
else()
  message(FATAL_ERROR "unknown MODE ${MODE}")
endif()

