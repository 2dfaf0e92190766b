# The Windows module, inspected as a native host will meet it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(dll_format pei-i386)
else()
  set(dll_format pei-x86-64)
endif()
set(dll_checks file exports imports version signature vtable)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND dll_checks thiscall)
endif()
find_program(VORN_STRINGS NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-strings strings REQUIRED)
foreach(check IN LISTS dll_checks)
  add_test(NAME windows_dll.${check}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DSTRINGS=${VORN_STRINGS} -DDLL=$<TARGET_FILE:Router>
            -DFORMAT=${dll_format} -DPOINTER=${CMAKE_SIZEOF_VOID_P} -DCHECK=${check}
            "-DOBJECTS=$<TARGET_OBJECTS:vorn_script_helper>"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/inspect_windows_dll.cmake)
endforeach()
