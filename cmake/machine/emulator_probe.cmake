# Whether this build's programs can run here at all. 32-bit Windows programs run under wine64's
# WoW64 mode, which needs a machine that executes 32-bit x86 code; some machines cannot. The
# probe (can-run-32bit-code) is made once, when the build is configured. Where it says no, the
# emulator becomes a stand-in that runs nothing and prints VORN_SKIP_LINE, and every test that
# would have run a program is reported as skipped with that line; the build and the tests that
# only inspect what was built still run.
#
# VORN_NO_32BIT_CODE=1 in the environment of the configure step forces the "no" answer.
set(VORN_SKIP_LINE "")
if(CMAKE_CROSSCOMPILING_EMULATOR AND WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/can-run-32bit-code
    OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE cannot)
  if(cannot)
    string(REGEX REPLACE "^no: " "" reason "${answer}")
    set(VORN_SKIP_LINE "SKIPPED: this machine cannot execute 32-bit x86 code")
    message(STATUS "${VORN_SKIP_LINE} (${reason}): tests that run 32-bit Windows programs are skipped")
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/cannot-run "${VORN_SKIP_LINE} (${reason})")
  else()
    message(STATUS "This machine executes 32-bit x86 code: 32-bit Windows programs run under wine64")
  endif()
endif()

# Marks every test of the calling folder as skipped when its output holds VORN_SKIP_LINE.
function(vorn_skip_tests_that_cannot_run)
  if(NOT VORN_SKIP_LINE)
    return()
  endif()
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests)
    set_tests_properties(${tests} PROPERTIES SKIP_REGULAR_EXPRESSION "${VORN_SKIP_LINE}")
  endif()
endfunction()

# Whether Windows' sockets start here, for vorn-host.exe's --web and --router: probed once, when
# the build is configured, by a small program of this build's width run through the emulator.
# Where they cannot start (Wine's 32-bit mode), the router and browser tests are not made, and a
# test of the one line vorn-host prints there is made instead; so too where this build's
# programs cannot run at all, and that test reports itself skipped. Elsewhere they start.
set(VORN_WINDOWS_SOCKETS_START TRUE)
if(VORN_SKIP_LINE)
  set(VORN_WINDOWS_SOCKETS_START FALSE)
elseif(CMAKE_CROSSCOMPILING_EMULATOR AND WIN32)
  try_run(VORN_SOCKETS_PROBE_RUN VORN_SOCKETS_PROBE_BUILT ${CMAKE_BINARY_DIR}/windows_sockets_probe
    ${CMAKE_CURRENT_LIST_DIR}/windows_sockets_probe.cpp)
  if(NOT VORN_SOCKETS_PROBE_BUILT OR NOT VORN_SOCKETS_PROBE_RUN STREQUAL "0")
    set(VORN_WINDOWS_SOCKETS_START FALSE)
    message(STATUS "Windows' sockets do not start here: vorn-host.exe's --web and --router are tested for saying so")
  endif()
endif()
