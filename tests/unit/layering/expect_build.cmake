# Builds TARGET in BINARY_DIR and says whether it went as EXPECT says: "builds", or "fails"
# because the compiler could not find HEADER (any other failure is not the one looked for).
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target ${TARGET}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(EXPECT STREQUAL "builds")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TARGET} did not build:\n${output}")
  endif()
  return()
endif()
string(REPLACE "." "\\." header_pattern "${HEADER}")
if(status EQUAL 0)
  message(FATAL_ERROR "${TARGET} built, though it includes ${HEADER}, which its part cannot see")
elseif(NOT output MATCHES "${header_pattern}'?:? ?(No such file|file not found)")
  message(FATAL_ERROR "${TARGET} failed, but not for want of ${HEADER}:\n${output}")
endif()
message(STATUS "${TARGET} fails as it should: ${HEADER} is not found")
