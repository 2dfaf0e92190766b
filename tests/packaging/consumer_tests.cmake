# The example script, built by a script author's route: install the package, then build the
# example against the install tree alone, then drive the module it made.
set(consumer_dir ${CMAKE_BINARY_DIR}/consumer)
add_test(NAME consumer_install
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${consumer_dir}/prefix --config $<CONFIG>)
add_test(NAME consumer_build_alarm_panel
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/examples/alarm_panel
          -DBINARY=${consumer_dir}/alarm_panel -DPREFIX=${consumer_dir}/prefix
          -DCOMPILER=${CMAKE_CXX_COMPILER} -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
          -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/consumer_build.cmake)
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME consumer_kit_runs_the_example_sessions_and_checks
    COMMAND ${CMAKE_COMMAND} -DBINARY=${consumer_dir}/alarm_panel -DSOURCE=${PROJECT_SOURCE_DIR}/examples/alarm_panel
            -DPREFIX=${consumer_dir}/prefix -DCOMPILER=${CMAKE_CXX_COMPILER} -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/consumer_kit.cmake)
  set_tests_properties(consumer_kit_runs_the_example_sessions_and_checks PROPERTIES
    FIXTURES_REQUIRED "consumer_prefix;alarm_panel_module")
endif()
set_tests_properties(consumer_install PROPERTIES FIXTURES_SETUP consumer_prefix)
set_tests_properties(consumer_build_alarm_panel PROPERTIES
  FIXTURES_REQUIRED consumer_prefix FIXTURES_SETUP alarm_panel_module)
