# GoogleTest, and how a suite of it is registered with CTest.
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

# Test support that differs by platform: a posix/ and a windows/ side of one header.
if(WIN32)
  set(VORN_TEST_PLATFORM windows)
else()
  set(VORN_TEST_PLATFORM posix)
endif()

# Registers a GoogleTest program with CTest: case by case, or as one test run through
# VORN_TEST_LAUNCHER (a memory checker, say) when that is set. A Windows program is one test run
# through the emulator (wine), which starts far slower than a Linux program: once for the whole
# program, not once a case. A FIXTURE named after the sources must be set up before its cases run.
function(vorn_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FIXTURE" "")
  add_executable(${target} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE GTest::gtest_main vorn_host_boundary)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  set(properties "")
  if(arg_FIXTURE)
    set(properties FIXTURES_REQUIRED ${arg_FIXTURE})
  endif()
  if(VORN_TEST_LAUNCHER OR WIN32)
    if(WIN32)
      add_test(NAME ${target} COMMAND ${target})
    else()
      add_test(NAME ${target} COMMAND ${VORN_TEST_LAUNCHER} $<TARGET_FILE:${target}>)
    endif()
    if(properties)
      set_tests_properties(${target} PROPERTIES ${properties})
    endif()
  else()
    vorn_scaled_time(discovery_seconds 60)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT ${discovery_seconds} PROPERTIES ${properties})
  endif()
endfunction()
