# Runs COMMAND (a list) with Wine's relay trace and checks that Router.dll's entry point, on
# process attach, asked to hear of no threads and that Windows granted it: the relay line of
# DisableThreadLibraryCalls for the module's own base address returns 1. Prints those lines.
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=+relay ${COMMAND}
  OUTPUT_VARIABLE out ERROR_VARIABLE relay RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program failed (${status}):\n${out}")
endif()
string(REGEX MATCH "Call PE DLL \\(proc=[0-9A-Fa-f]+,module=([0-9A-Fa-f]+) L\"Router.dll\",reason=PROCESS_ATTACH"
       attach "${relay}")
if(NOT attach)
  message(FATAL_ERROR "the relay trace shows no process attach of Router.dll")
endif()
string(TOLOWER "${CMAKE_MATCH_1}" base)
string(REGEX REPLACE "^0+" "" base "${base}")  # the 64-bit relay prints arguments without leading zeros
string(REGEX MATCH "([0-9a-f]+):Call KERNEL32.DisableThreadLibraryCalls\\(${base}\\)[^\n]*"
       call "${relay}")
if(NOT call)
  message(FATAL_ERROR "Router.dll (at ${base}) never called DisableThreadLibraryCalls")
endif()
set(thread ${CMAKE_MATCH_1})
string(FIND "${relay}" "${call}" at)
string(SUBSTRING "${relay}" ${at} -1 after)
string(REGEX MATCH "${thread}:Ret  KERNEL32.DisableThreadLibraryCalls\\(\\) retval=([0-9a-f]+)[^\n]*"
       returned "${after}")
message("${call}\n${returned}")
if(NOT CMAKE_MATCH_1 MATCHES "^0*1$")
  message(FATAL_ERROR "DisableThreadLibraryCalls returned ${CMAKE_MATCH_1}, not 1")
endif()
