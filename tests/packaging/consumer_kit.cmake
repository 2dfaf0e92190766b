# The example's own tests, made with the kit of the installed package, run by its CTest; then a
# copy of the example with one expect line changed must make them fail.
#   BINARY: the example's build folder; SOURCE, PREFIX, COMPILER, BUILD_TYPE: to build the copy.
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${BINARY} --output-on-failure
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT status EQUAL 0 OR NOT out MATCHES "alarm_panel.alarm_group" OR NOT out MATCHES "AlarmPanel.validate")
  message(FATAL_ERROR "the example's session and validate tests did not both run and pass")
endif()

set(copy ${BINARY}-changed-expect)
file(REMOVE_RECURSE ${copy})
file(COPY ${SOURCE}/ DESTINATION ${copy}/source)
set(session ${copy}/source/sessions/alarm_group.session)
file(READ ${session} text)
string(REPLACE "expect TP 'text=Horn' '1' 'Status'" "expect TP 'text=Siren' '1' 'Status'" changed "${text}")
if(changed STREQUAL text)
  message(FATAL_ERROR "the expect line to change is not in ${session}")
endif()
file(WRITE ${session} "${changed}")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${copy}/source -B ${copy}/build -DCMAKE_PREFIX_PATH=${PREFIX}
                        -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
  RESULT_VARIABLE configured OUTPUT_QUIET)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${copy}/build RESULT_VARIABLE built OUTPUT_QUIET)
if(NOT configured EQUAL 0 OR NOT built EQUAL 0)
  message(FATAL_ERROR "the changed copy of the example did not build")
endif()
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${copy}/build -R alarm_group --output-on-failure
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(status EQUAL 0 OR NOT out MATCHES "expected \"TP 'text=Siren' '1' 'Status'\", received \"TP 'text=Horn' '1' 'Status'\"")
  message(FATAL_ERROR "changing one expect line did not fail the example's session test:\n${out}")
endif()
message("with one expect line changed, the example's session test fails as it should")
