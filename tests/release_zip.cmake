# Makes the release zip with CPack in WORK, lists it, and unpacks it into an empty folder. Given
# HOST, it then runs the native-ABI host (through EMULATOR) from there against the module and
# string library the zip carries: the transcript must equal EXPECTED.
set(work ${WORK})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/package ${work}/unpacked)
execute_process(COMMAND ${CPACK} --config ${BINARY}/CPackConfig.cmake -B ${work}/package
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
set(zip ${work}/package/${NAME}.zip)
if(NOT status EQUAL 0 OR NOT EXISTS ${zip})
  message(FATAL_ERROR "CPack made no ${NAME}.zip:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing)
message("${NAME}.zip:\n${listing}")
foreach(file IN ITEMS Router.dll vorn_string.dll p1.vorn_ui INSTALL.txt)
  if(NOT listing MATCHES "(^|\n)${NAME}/${file}\n")
    message(FATAL_ERROR "${file} is missing from ${NAME}.zip")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${work}/unpacked)
if(NOT HOST)
  return()
endif()
set(folder ${work}/unpacked/${NAME})
file(COPY ${HOST} DESTINATION ${folder})
get_filename_component(host_name ${HOST} NAME)
execute_process(COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${EMULATOR};${folder}/${host_name}" -DEXPECTED=${EXPECTED}
                        -P ${CMAKE_CURRENT_LIST_DIR}/compare_transcript.cmake
  WORKING_DIRECTORY ${folder} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the native-ABI host failed from the unpacked zip")
endif()
