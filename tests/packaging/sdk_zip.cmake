# The SDK for Windows script authors, as one receives it: made with CPack in WORK and unpacked
# into an empty folder; examples/alarm_panel (SOURCE) is built against it with the MinGW cross
# compiler through the SDK's own toolchain file, and its session and validate tests run through
# the SDK's own vorn-host.exe. EMULATOR is how this machine runs 32-bit Windows programs.
include(${CMAKE_CURRENT_LIST_DIR}/unpacked_zip.cmake)
set(work ${WORK})
vorn_unpacked_zip(sdk README.txt bin/vorn-host.exe bin/vorn-host-sockets.dll bin/vorn_string.dll lib/libvorn_string.dll.a
                      lib/libvorn_script_helper.a include/vorn/vorn_script_helper.h
                      lib/cmake/VornScript/VornScriptConfig.cmake lib/cmake/VornScript/toolchains/i686-w64-mingw32.cmake)

execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${work}/example
                        -DCMAKE_TOOLCHAIN_FILE=${sdk}/lib/cmake/VornScript/toolchains/i686-w64-mingw32.cmake
                        -DCMAKE_PREFIX_PATH=${sdk} -DCMAKE_BUILD_TYPE=Release
  RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "the example does not configure against the SDK:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${work}/example RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "the example does not build against the SDK:\n${out}")
endif()
message("the example built against ${NAME}.zip")

# A machine that cannot run 32-bit code says so through its emulator, and the test is skipped.
if(NOT EMULATOR MATCHES "wine-run")
  execute_process(COMMAND ${EMULATOR} ${sdk}/bin/vorn-host.exe)
  return()
endif()
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${work}/example --output-on-failure
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
# Every check of the example's validate test passes: the test passes.
if(NOT status EQUAL 0 OR NOT out MATCHES "alarm_panel.alarm_group[^\n]*Passed"
   OR NOT out MATCHES "AlarmPanel.validate[^\n]*Passed")
  message(FATAL_ERROR "the example's session and validate tests did not both run and pass through the SDK's vorn-host.exe")
endif()

# The SDK's vorn-host.exe finds its sockets beside it: --web either fails to listen on an address
# this machine does not have, or, where Windows' sockets cannot start, says that; never that the
# DLL is missing.
execute_process(COMMAND ${EMULATOR} ${sdk}/bin/vorn-host.exe ${work}/example/AlarmPanel.dll --quiet --web 192.0.2.1:8080
  INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT out MATCHES "cannot listen on 192.0.2.1|Windows' sockets cannot start in this process")
  message(FATAL_ERROR "the SDK's vorn-host.exe did not reach its sockets:\n${out}")
endif()
message("${out}")
