# Runs vorn-host and checks its exit status and output.
#   HOST: the command (a list: launcher and program); ARGS: its arguments (a list);
#   EXIT: the status it must end with; EXPECT: regular expressions the output must match;
#   REJECT: regular expressions it must not match;
#   INPUT: a file to give it as standard input (none when empty).
set(input_option "")
if(INPUT)
  set(input_option INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${HOST} ${ARGS} ${input_option}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
set(all "${out}${err}")
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "vorn-host ended with ${status}, expected ${EXIT}:\n${all}")
endif()
# ".*" and ".+" stay within a line: "FAIL check: .*reason" must find the reason on the check's
# own line, not on some later one.
foreach(pattern IN LISTS EXPECT)
  string(REPLACE ".*" "[^\n]*" pattern "${pattern}")
  string(REPLACE ".+" "[^\n]+" pattern "${pattern}")
  if(NOT all MATCHES "${pattern}")
    message(FATAL_ERROR "vorn-host output does not match \"${pattern}\":\n${all}")
  endif()
endforeach()
foreach(pattern IN LISTS REJECT)
  if(all MATCHES "${pattern}")
    message(FATAL_ERROR "vorn-host output matches \"${pattern}\", which it must not:\n${all}")
  endif()
endforeach()
message("${all}")
