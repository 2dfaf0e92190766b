# Makes the release zip with CPack in WORK, lists it, and unpacks it into an empty folder. Given
# HOST, it then runs the native-ABI host (through EMULATOR) from there against the module and
# string library the zip carries: the transcript must equal EXPECTED.
include(${CMAKE_CURRENT_LIST_DIR}/unpacked_zip.cmake)
vorn_unpacked_zip(folder Router.dll vorn_string.dll p1.vorn_ui INSTALL.txt)
if(NOT HOST)
  return()
endif()
file(COPY ${HOST} DESTINATION ${folder})
get_filename_component(host_name ${HOST} NAME)
execute_process(COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${EMULATOR};${folder}/${host_name}" -DEXPECTED=${EXPECTED}
                        -P ${CMAKE_CURRENT_LIST_DIR}/../support/compare_transcript.cmake
  WORKING_DIRECTORY ${folder} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the native-ABI host failed from the unpacked zip")
endif()
