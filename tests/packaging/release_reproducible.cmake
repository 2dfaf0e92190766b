# Builds the release a second time, from the same sources in another folder, and checks that the
# DLLs and the zip are the same, byte for byte, as the first build's.
#   SOURCE, BINARY: the project and the first build; WORK: an empty folder for the second;
#   TOOLCHAIN, BUILD_TYPE: as the first build was configured; NAME: the zip's name.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
                        -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DVORN_WARNINGS_AS_ERRORS=ON -DVORN_BUILD_TESTS=OFF
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
if(status EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build --target Router vorn_string
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second build failed:\n${out}")
endif()
foreach(build IN ITEMS first second)
  set(config ${BINARY}/CPackConfig.cmake)
  if(build STREQUAL second)
    set(config ${WORK}/build/CPackConfig.cmake)
  endif()
  execute_process(COMMAND ${CPACK} --config ${config} -B ${WORK}/${build}
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "CPack failed for the ${build} build:\n${out}")
  endif()
endforeach()
foreach(pair IN ITEMS "${BINARY}/bin/Router.dll|${WORK}/build/bin/Router.dll"
                      "${BINARY}/bin/vorn_string.dll|${WORK}/build/bin/vorn_string.dll"
                      "${WORK}/first/${NAME}.zip|${WORK}/second/${NAME}.zip")
  string(REPLACE "|" ";" files "${pair}")
  list(GET files 0 first)
  list(GET files 1 second)
  file(SHA256 ${first} first_hash)
  file(SHA256 ${second} second_hash)
  if(NOT first_hash STREQUAL second_hash)
    message(FATAL_ERROR "${first} and ${second} differ")
  endif()
  get_filename_component(name ${first} NAME)
  message("${name}: the same in both builds (sha256 ${first_hash})")
endforeach()
