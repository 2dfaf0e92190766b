# The Windows module, inspected as a native host will meet it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(dll_format pei-i386)
else()
  set(dll_format pei-x86-64)
endif()
set(dll_checks file imports version signature vtable)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND dll_checks thiscall)
endif()
find_program(VORN_STRINGS NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-strings strings REQUIRED)
foreach(check IN LISTS dll_checks)
  add_test(NAME windows_dll.${check}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DSTRINGS=${VORN_STRINGS} -DDLL=$<TARGET_FILE:Router>
            -DFORMAT=${dll_format} -DPOINTER=${CMAKE_SIZEOF_VOID_P} -DCHECK=${check}
            "-DOBJECTS=$<TARGET_OBJECTS:vorn_script_helper>"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/inspect_windows_dll.cmake)
endforeach()

# Each shipped DLL exports exactly the list kept beside its sources: what scripts link against
# changes only where that list does.
foreach(dll IN ITEMS Router vorn_string)
  get_target_property(dll_sources ${dll} SOURCE_DIR)
  add_test(NAME windows_dll.export_list.${dll}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:${dll}> -DLIST=${dll_sources}/exports.txt
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/export_list.cmake)
endforeach()

# A host built with Microsoft's C++ ABI (clang for the MSVC target, linked by lld-link against
# KERNEL32 alone) drives Router.dll under wine: the transcript must equal the one of the same
# host built for Linux.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VORN_CLANG NAMES clang++ REQUIRED)
  find_program(VORN_LLD_LINK NAMES lld-link REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(native_target i686-pc-windows-msvc)
    # mingw's import libraries carry no safe exception handler tables.
    set(native_link_options /safeseh:no)
  else()
    set(native_target x86_64-pc-windows-msvc)
    set(native_link_options "")
  endif()
  find_file(VORN_KERNEL32_IMPORTS libkernel32.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH REQUIRED)
  set(native_dir ${CMAKE_CURRENT_SOURCE_DIR}/windows/native_host)
  set(native_object ${CMAKE_CURRENT_BINARY_DIR}/native_host.obj)
  set(native_exe ${CMAKE_BINARY_DIR}/bin/native_host.exe)
  add_custom_command(OUTPUT ${native_exe}
    COMMAND ${VORN_CLANG} --target=${native_target} -ffreestanding -nostdinc++ -fno-rtti
            -fno-exceptions -O1 -Wall -Werror -isystem ${native_dir}/freestanding
            -I ${PROJECT_SOURCE_DIR}/interfaces -c ${native_dir}/native_host.cpp -o ${native_object}
    COMMAND ${VORN_LLD_LINK} /nologo /entry:entry /subsystem:console /nodefaultlib ${native_link_options}
            /out:${native_exe} ${native_object} ${VORN_KERNEL32_IMPORTS}
    DEPENDS ${native_dir}/native_host.cpp ${native_dir}/kernel32.h ${PROJECT_SOURCE_DIR}/interfaces/vorn_client_callback.h
            ${PROJECT_SOURCE_DIR}/interfaces/vorn_module_export.h
            ${PROJECT_SOURCE_DIR}/interfaces/vorn_records.h
    COMMENT "Building the native-ABI host")
  add_custom_target(native_host ALL DEPENDS ${native_exe})
  add_test(NAME native_abi_host_transcript
    COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${CMAKE_CROSSCOMPILING_EMULATOR};${native_exe}"
            -DEXPECTED=${native_dir}/typical_take.transcript
            -P ${CMAKE_CURRENT_SOURCE_DIR}/support/compare_transcript.cmake)

  # A host that reloads its panels: 200 loads and unloads of Router.dll, each playing the take,
  # leave no heap block behind after the first, counted over every heap of the process. Once
  # with the string library coming and going with the module, once with the host holding it.
  foreach(variant IN ITEMS both_unloaded string_library_kept)
    set(arguments --reloads)
    if(variant STREQUAL string_library_kept)
      list(APPEND arguments --keep-string-library)
    endif()
    add_test(NAME windows_reloads_leave_no_block_behind.${variant}
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${native_exe} ${arguments}
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set_tests_properties(windows_reloads_leave_no_block_behind.${variant} PROPERTIES
      PASS_REGULAR_EXPRESSION "reloads after the first left 0 blocks")
  endforeach()

  # The entry point runs on process attach and its request to hear of no threads succeeds:
  # Wine's relay trace shows the call and its return value.
  if(VORN_RELEASE_NAME)
    add_test(NAME release_zip_holds_the_product
      COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBINARY=${CMAKE_BINARY_DIR}
              -DNAME=${VORN_RELEASE_NAME} -DWORK=${CMAKE_BINARY_DIR}/release_zip_contents
              -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/release_zip.cmake)
    # Two builds of the same sources give the same DLLs and the same zip, byte for byte.
    add_test(NAME release_build_is_reproducible
      COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DBINARY=${CMAKE_BINARY_DIR}
              -DWORK=${CMAKE_BINARY_DIR}/reproduced -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE}
              -DBUILD_TYPE=${CMAKE_BUILD_TYPE} -DCPACK=${CMAKE_CPACK_COMMAND} -DNAME=${VORN_RELEASE_NAME}
              -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/release_reproducible.cmake)
    # The SDK builds the example from an empty folder, and its vorn-host.exe runs the tests.
    add_test(NAME sdk_zip_builds_and_tests_the_example
      COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBINARY=${CMAKE_BINARY_DIR}
              -DNAME=${VORN_SDK_NAME} -DWORK=${CMAKE_BINARY_DIR}/sdk_zip
              -DSOURCE=${PROJECT_SOURCE_DIR}/examples/alarm_panel "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
              -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/sdk_zip.cmake)
    add_test(NAME release_zip_runs_the_native_host
      COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBINARY=${CMAKE_BINARY_DIR}
              -DNAME=${VORN_RELEASE_NAME} -DWORK=${CMAKE_BINARY_DIR}/release_zip_run -DHOST=${native_exe}
              "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
              -DEXPECTED=${native_dir}/typical_take.transcript
              -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/release_zip.cmake)
  endif()

  add_test(NAME windows_entry_point_turns_off_thread_notifications
    COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${CMAKE_CROSSCOMPILING_EMULATOR};${native_exe}"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/relay_entry_point.cmake)
endif()

# vorn-host.exe starts without Windows' sockets, and says why --web and --router cannot work
# where they cannot start. A 32-bit Wine whose DLLs lack their Unix side is such a place, as a
# user's may be: the 32-bit vorn-host.exe is run in one, and must refuse.
add_test(NAME windows_host_imports_no_sockets
  COMMAND ${CMAKE_COMMAND} -DCHECK=imports -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:vorn-host>
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/windows_sockets.cmake)
if(CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME windows_host_names_why_sockets_cannot_start
    COMMAND ${CMAKE_COMMAND} -E env VORN_WINE32_UNIX_SIDE=absent
            ${CMAKE_COMMAND} -DCHECK=refusal -DMUST_REFUSE=ON "-DHOST=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
            -DMODULE=$<TARGET_FILE:Router> -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/windows_sockets.cmake)
elseif(CMAKE_CROSSCOMPILING_EMULATOR AND NOT VORN_WINDOWS_SOCKETS_START)
  add_test(NAME windows_host_names_why_sockets_cannot_start
    COMMAND ${CMAKE_COMMAND} -DCHECK=refusal "-DHOST=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
            -DMODULE=$<TARGET_FILE:Router> -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/windows_sockets.cmake)
  set_tests_properties(windows_host_names_why_sockets_cannot_start PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED: ")
endif()

# Traces of the script base reach the Windows debugger channel, as wine shows it.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_executable(trace_probe windows/trace_probe/trace_probe.cpp)
  target_include_directories(trace_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(trace_probe PRIVATE vorn_script_helper)
  add_test(NAME windows_trace_reaches_the_debugger_channel
    COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=+debugstr ${CMAKE_CROSSCOMPILING_EMULATOR}
            $<TARGET_FILE:trace_probe>)
  set_tests_properties(windows_trace_reaches_the_debugger_channel PROPERTIES
    PASS_REGULAR_EXPRESSION "OutputDebugStringA \"trace probe: reached the debugger\"")
endif()
