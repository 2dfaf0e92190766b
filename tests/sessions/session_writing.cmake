# Sessions that write themselves.
#   HOST: the command (a list); MODULE; SESSION: a session that passes; TYPED: actions to type;
#   WORK: a folder of its own.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# --update brings a wrong expect line back to what the module does, and prints the change.
file(READ ${SESSION} original)
string(REPLACE "expect TP 'index=0' '1' 'Sources'" "expect TP 'index=9' '1' 'Sources'" wrong "${original}")
file(WRITE ${WORK}/updated.session "${wrong}")
execute_process(COMMAND ${HOST} ${MODULE} ${WORK}/updated.session --update --quiet
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
file(READ ${WORK}/updated.session updated)
string(REPLACE "\r" "" out "${out}")
if(NOT status EQUAL 0 OR NOT updated STREQUAL original
   OR NOT out MATCHES "-expect TP 'index=9' '1' 'Sources'\n\\+expect TP 'index=0' '1' 'Sources'\n")
  message(FATAL_ERROR "--update (${status}) did not restore the session:\n${out}${err}\n${updated}")
endif()

# --record saves typed actions with what the module did; the recording replays clean.
execute_process(COMMAND ${HOST} ${MODULE} --record ${WORK}/recorded.session --quiet INPUT_FILE ${TYPED}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${WORK}/recorded.session recorded)
if(NOT status EQUAL 0 OR NOT recorded MATCHES "event 1 500 value=1\nexpect RC 5 1 2 ',' 0\n"
   OR NOT recorded MATCHES "request return=all\nanswer RouterDeviceNo=5\n")
  message(FATAL_ERROR "--record (${status}) wrote:\n${recorded}${out}${err}")
endif()
execute_process(COMMAND ${HOST} ${MODULE} ${WORK}/recorded.session --quiet
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the recorded session does not replay clean:\n${out}${err}")
endif()
message("${recorded}")
