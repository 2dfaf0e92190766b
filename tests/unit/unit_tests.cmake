# Each part of the code tested on its own: the string library, the script base, Router's
# script, and each of vorn-host's parts.
vorn_add_gtest(vorn_string_tests unit/vorn_string/vorn_string_test.cpp unit/vorn_string/vorn_string_failure_test.cpp
  support/${VORN_TEST_PLATFORM}/string_library_watch.cpp)
target_link_libraries(vorn_string_tests PRIVATE vorn_string vorn_host_allocator vorn_host_loading)

vorn_add_gtest(script_helper_tests
  unit/script_helper/alarm_group_test.cpp
  unit/script_helper/callback_dispatch_test.cpp
  unit/script_helper/command_senders_test.cpp
  unit/script_helper/message_parser_test.cpp
  unit/script_helper/queries_test.cpp
  support/${VORN_TEST_PLATFORM}/debugger_output.cpp)
target_link_libraries(script_helper_tests PRIVATE vorn_script_helper)
# The script base tested from inside: its own headers too.
target_include_directories(script_helper_tests PRIVATE ${PROJECT_SOURCE_DIR}/script_helper)

# The runtime's one-time set-ups inside our Windows DLLs: a part of Windows' platform side only,
# since elsewhere the C++ runtime's own serve.
if(WIN32)
  vorn_add_gtest(platform_tests unit/platform/runtime_once_test.cpp ${PROJECT_SOURCE_DIR}/platform/runtime_once.cpp)
endif()

vorn_add_gtest(router_tests unit/router/router_test.cpp)
target_link_libraries(router_tests PRIVATE Router vorn_script_helper)

# vorn-host's own parts, one folder of tests a part (unit/PART), as the host drives them.
set(host_parts support boundary report loading web/door router_protocols simulation session validate)
list(TRANSFORM host_parts PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/unit/ OUTPUT_VARIABLE host_part_folders)
list(TRANSFORM host_part_folders APPEND /*_test.cpp)
file(GLOB_RECURSE host_part_tests CONFIGURE_DEPENDS ${host_part_folders})
# A part's platform sides (posix/, windows/) are tested on their own platform only, as they are built.
if(WIN32)
  list(FILTER host_part_tests EXCLUDE REGEX "/posix/")
else()
  list(FILTER host_part_tests EXCLUDE REGEX "/windows/")
endif()
vorn_add_gtest(checker_tests ${host_part_tests})
target_include_directories(checker_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/unit)
target_link_libraries(checker_tests PRIVATE vorn_host vorn_host_allocator)
target_compile_definitions(checker_tests PRIVATE VORN_ROUTER_PANEL_DIR="${PROJECT_SOURCE_DIR}/router"
                                                 VORN_AN_ELF_MODULE="$<TARGET_FILE:Router>")
add_dependencies(checker_tests Router)

# vorn-host's parts are layered: a part finds the headers of the parts below it and not of those
# above. Two probes of the boundary part, left out of the build, are built by these tests.
foreach(probe boundary_uses_its_own boundary_includes_session)
  add_library(${probe}_probe OBJECT EXCLUDE_FROM_ALL unit/layering/${probe}.cpp)
  target_link_libraries(${probe}_probe PRIVATE vorn_host_boundary)
endforeach()
add_test(NAME host_parts.a_part_includes_what_lies_below
  COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DTARGET=boundary_uses_its_own_probe -DEXPECT=builds
          -P ${CMAKE_CURRENT_SOURCE_DIR}/unit/layering/expect_build.cmake)
add_test(NAME host_parts.a_lower_part_cannot_include_a_higher_one
  COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DTARGET=boundary_includes_session_probe -DEXPECT=fails
          -DHEADER=session_player.h -P ${CMAKE_CURRENT_SOURCE_DIR}/unit/layering/expect_build.cmake)
