# A failing random session replays exactly from its seed, and the session that the check prints
# fails the same way under `vorn-host MODULE SESSION`.
#   HOST: the command (a list); MODULE; WORK: an empty folder to run in; TIMEOUT: a check's limit.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(run IN ITEMS first second)
  execute_process(COMMAND ${HOST} validate ${MODULE} --include random-session --seed 424242 --timeout ${TIMEOUT}
    WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE ${run} ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 1)
    message(FATAL_ERROR "the random session did not fail (${status}):\n${${run}}")
  endif()
endforeach()
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the same seed gave two runs:\n${first}\n---\n${second}")
endif()
set(session ${WORK}/vorn-host-random-session-424242.session)
if(NOT EXISTS ${session})
  message(FATAL_ERROR "no session written:\n${first}")
endif()
execute_process(COMMAND ${HOST} ${MODULE} ${session} --quiet
  WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(status EQUAL 0)
  message(FATAL_ERROR "the written session passes under vorn-host:\n${out}${err}")
endif()
file(READ ${session} text)
message("${first}\nreplayed with vorn-host: ${status}\n${text}")
