# vorn-host.exe and its sockets, as a Windows machine meets them:
#   CHECK=imports: OBJDUMP, PROGRAM: the program imports none of Windows' sockets (they live in
#     vorn-host-sockets.dll, which it loads only for --web or --router), so it starts where they
#     cannot.
#   CHECK=refusal: HOST (a list: the emulator and the program), MODULE: where Windows' sockets
#     cannot start (a 32-bit Wine without its DLLs' Unix side), --web and --router each end at
#     once, exit 2, with one line that names why. Where they start, there is no refusal to see:
#     the test says so as a skip, and the router and browser tests run in full instead; with
#     MUST_REFUSE, the HOST was set up so that they cannot start, and a start is a failure.
if(CHECK STREQUAL imports)
  execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${listing}")
  string(REPLACE "DLL Name: " "" dlls "${dlls}")
  string(TOUPPER "${dlls}" upper)
  if(NOT status EQUAL 0 OR NOT dlls OR upper MATCHES "WS2_32|MSWSOCK|WSOCK32")
    message(FATAL_ERROR "${PROGRAM} imports [${dlls}]: it must import no sockets")
  endif()
  message("${PROGRAM} imports ${dlls}")
  return()
endif()

set(cannot_start "vorn-host: [^\n]*Windows' sockets cannot start in this process: [^\n]+")
# 192.0.2.1 is no address of this machine, and nothing listens on port 1: where sockets start,
# each option fails at once for that instead.
foreach(option IN ITEMS "--web;192.0.2.1:8080" "--router;1=videohub://127.0.0.1:1")
  execute_process(COMMAND ${HOST} ${MODULE} --quiet ${option} INPUT_FILE /dev/null
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REPLACE "\r" "" out "${out}")
  string(STRIP "${out}" out)
  if(out MATCHES "cannot listen on 192.0.2.1|cannot connect to 127.0.0.1:1")
    if(MUST_REFUSE)
      message(FATAL_ERROR "${option}: Windows' sockets started where they were set up not to:\n${out}")
    endif()
    message("SKIPPED: Windows' sockets start here; the router and browser tests run in full instead")
    return()
  endif()
  if(NOT status EQUAL 2 OR NOT out MATCHES "^${cannot_start}$")
    message(FATAL_ERROR "${option}: exit ${status}, not 2 with one line that names why sockets cannot start:\n${out}")
  endif()
  message("${option}: exit 2: ${out}")
endforeach()
