# Builds SOURCE against the package installed in PREFIX, as a script author would.
foreach(step IN ITEMS configure build)
  if(step STREQUAL configure)
    set(command ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -DCMAKE_PREFIX_PATH=${PREFIX}
        -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
  else()
    set(command ${CMAKE_COMMAND} --build ${BINARY})
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${step} of ${SOURCE} against ${PREFIX} failed")
  endif()
endforeach()
