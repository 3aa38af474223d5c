# The golden scenarios, run by every build that has a scenario runner. A
# script that must fail names its exit status and the error line it prints:
# "name|status|error".
set(golden_scenarios
  startup example structure rates run_control out_of_packets stranded
  "errors_unknown_command|2|line 2: unknown command: jump"
  "errors_list_only|2|line 1: list-only box: no typing"
  "errors_exhausted|3|line 3: random sequence exhausted")

# Calls adder(name [EXIT_CODE status ERROR error]) for each golden scenario.
function(add_golden_scenarios adder)
  foreach(entry IN LISTS golden_scenarios)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(LENGTH parts fields)
    if(fields EQUAL 3)
      list(GET parts 1 status)
      list(GET parts 2 error)
      cmake_language(CALL ${adder} ${name} EXIT_CODE ${status} ERROR "${error}")
    else()
      cmake_language(CALL ${adder} ${name})
    endif()
  endforeach()
endfunction()
