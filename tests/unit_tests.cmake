# GoogleTest suites, and the example built by a script author's route.
# A cross build compiles GoogleTest from its sources for the target.
set(VORN_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build instead of the installed library")
if(VORN_GTEST_SOURCE_DIR)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VORN_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Registers a GoogleTest program with CTest: case by case, or as one test run through
# VORN_TEST_LAUNCHER (a memory checker, say) when that is set. A FIXTURE named after the
# sources must be set up before its cases run.
function(vorn_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FIXTURE" "")
  add_executable(${target} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE GTest::gtest_main vorn_host_boundary)
  set(properties "")
  if(arg_FIXTURE)
    set(properties FIXTURES_REQUIRED ${arg_FIXTURE})
  endif()
  if(VORN_TEST_LAUNCHER)
    add_test(NAME ${target} COMMAND ${VORN_TEST_LAUNCHER} $<TARGET_FILE:${target}>)
    if(properties)
      set_tests_properties(${target} PROPERTIES ${properties})
    endif()
  else()
    vorn_scaled_time(discovery_seconds 60)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT ${discovery_seconds} PROPERTIES ${properties})
  endif()
endfunction()

vorn_add_gtest(vorn_string_tests vorn_string_test.cpp vorn_string_failure_test.cpp)
target_link_libraries(vorn_string_tests PRIVATE vorn_string vorn_host_allocator)

vorn_add_gtest(script_helper_tests
  alarm_group_test.cpp
  callback_dispatch_test.cpp
  command_senders_test.cpp
  message_parser_test.cpp
  queries_test.cpp)
target_link_libraries(script_helper_tests PRIVATE vorn_script_helper)

vorn_add_gtest(router_tests router_test.cpp)
target_link_libraries(router_tests PRIVATE Router vorn_script_helper)

# The allocation tests replace the process's allocation functions with counting ones that
# forward to malloc and free, so memcheck and the sanitizers still watch every block.
vorn_add_gtest(allocation_tests allocation_test.cpp)
target_link_libraries(allocation_tests PRIVATE Router vorn_script_helper vorn_host_allocator)

if(NOT WIN32)
  vorn_add_gtest(module_loading_tests module_loading_test.cpp)
  target_link_libraries(module_loading_tests PRIVATE vorn_interfaces ${CMAKE_DL_LIBS})
  target_compile_definitions(module_loading_tests PRIVATE ROUTER_MODULE_PATH="$<TARGET_FILE:Router>")
  add_dependencies(module_loading_tests Router)

  add_test(NAME router_module_exports_only_the_factory
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DMODULE=$<TARGET_FILE:Router>
            -DEXPECTED=load_vorn_client_script -P ${CMAKE_CURRENT_SOURCE_DIR}/check_exports.cmake)
endif()

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
          -P ${CMAKE_CURRENT_SOURCE_DIR}/consumer_build.cmake)
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME consumer_kit_runs_the_example_sessions_and_checks
    COMMAND ${CMAKE_COMMAND} -DBINARY=${consumer_dir}/alarm_panel -DSOURCE=${PROJECT_SOURCE_DIR}/examples/alarm_panel
            -DPREFIX=${consumer_dir}/prefix -DCOMPILER=${CMAKE_CXX_COMPILER} -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/consumer_kit.cmake)
  set_tests_properties(consumer_kit_runs_the_example_sessions_and_checks PROPERTIES
    FIXTURES_REQUIRED "consumer_prefix;alarm_panel_module")
endif()
set_tests_properties(consumer_install PROPERTIES FIXTURES_SETUP consumer_prefix)
set_tests_properties(consumer_build_alarm_panel PROPERTIES
  FIXTURES_REQUIRED consumer_prefix FIXTURES_SETUP alarm_panel_module)

if(NOT WIN32)
  vorn_add_gtest(alarm_panel_tests alarm_panel_test.cpp FIXTURE alarm_panel_module)
  target_link_libraries(alarm_panel_tests PRIVATE vorn_script_helper ${CMAKE_DL_LIBS})
  target_compile_definitions(alarm_panel_tests PRIVATE
    ALARM_PANEL_MODULE_PATH="${consumer_dir}/alarm_panel/AlarmPanel${CMAKE_SHARED_LIBRARY_SUFFIX}")

  # Allocation failure at every point, over Router and over the example's alarm group.
  vorn_add_gtest(allocation_failure_tests allocation_failure_test.cpp FIXTURE alarm_panel_module)
  target_link_libraries(allocation_failure_tests PRIVATE Router vorn_interfaces vorn_host_allocator ${CMAKE_DL_LIBS})
  target_compile_definitions(allocation_failure_tests PRIVATE
    ALARM_PANEL_MODULE_PATH="${consumer_dir}/alarm_panel/AlarmPanel${CMAKE_SHARED_LIBRARY_SUFFIX}")
endif()


# The native-ABI host's source, built for this platform: its transcript is the golden one that
# the Windows build must reproduce under the native C++ ABI.
add_executable(native_host native_host/native_host.cpp)
target_link_libraries(native_host PRIVATE vorn_interfaces ${CMAKE_DL_LIBS})
add_test(NAME native_host_transcript
  COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:native_host>;$<TARGET_FILE:Router>"
          -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/native_host/typical_take.transcript
          -P ${CMAKE_CURRENT_SOURCE_DIR}/compare_transcript.cmake)

# vorn-host's own parts, one folder of tests a part (unit/PART), as the host drives them.
file(GLOB_RECURSE host_part_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/unit/*_test.cpp)
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
