# The lists in docs/ that the program owns (its checks, its rules, its options) are made from what
# vorn-host prints, and these tests fail when a page no longer says the same. To write the pages
# anew: cmake -DUPDATE=ON with a test's command (ctest -V -R docs. shows it).
function(vorn_add_page_test name page form)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "ARGS;HEADERS")
  add_test(NAME docs.${name}
    COMMAND ${CMAKE_COMMAND} -DHOST=$<TARGET_FILE:vorn-host> "-DARGS=${arg_ARGS}" "-DHEADERS=;${arg_HEADERS}"
            -DPAGE=${PROJECT_SOURCE_DIR}/docs/${page} -DFORM=${form}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/docs/page_table.cmake)
endfunction()

vorn_add_page_test(validate_lists_every_check validate.md table ARGS validate --list HEADERS check "what it checks")
vorn_add_page_test(vorn_host_lists_every_rule vorn-host.md table ARGS rules HEADERS rule severity "what breaks it")
vorn_add_page_test(vorn_host_lists_every_option vorn-host.md text ARGS --help)
vorn_add_page_test(validate_lists_every_option validate.md text ARGS validate --help)

# The known limits each name what shows that they are still limits: checked where the whole
# suite is made, the Node tests among them (a memory checker's build leaves those out).
if(NOT VORN_TEST_LAUNCHER)
  add_test(NAME docs.known_limits_name_what_shows_them
    COMMAND ${CMAKE_COMMAND} -DPAGE=${PROJECT_SOURCE_DIR}/docs/known-limits.md -DSOURCE=${PROJECT_SOURCE_DIR}
            -DCTEST=${CMAKE_CTEST_COMMAND} -DBINARY=${CMAKE_BINARY_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/docs/known_limits.cmake)
endif()
