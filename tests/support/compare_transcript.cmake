# Runs COMMAND (a list) and fails unless what it prints, line ends aside, equals EXPECTED's text.
execute_process(COMMAND ${COMMAND} OUTPUT_VARIABLE out RESULT_VARIABLE status ERROR_QUIET)
string(REPLACE "\r" "" out "${out}")
file(READ ${EXPECTED} expected)
if(NOT status EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "exit ${status}; the transcript differs from ${EXPECTED}:\n${out}")
endif()
message("${out}")
