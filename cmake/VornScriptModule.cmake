# vorn_add_script_module(NAME SOURCES...): a script module as a panel host loads it: a shared
# library named NAME (no "lib" prefix) that links the script base into itself and exports
# nothing but load_vorn_client_script.
set(VORN_SCRIPT_EXPORTS_MAP "${CMAKE_CURRENT_LIST_DIR}/vorn_script_exports.map")

function(vorn_add_script_module name)
  add_library(${name} SHARED ${ARGN})
  target_link_libraries(${name} PRIVATE vorn::script_helper)
  if(WIN32)
    target_link_libraries(${name} PRIVATE vorn::library_entry)
  endif()
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32)
    target_link_options(${name} PRIVATE "LINKER:--version-script=${VORN_SCRIPT_EXPORTS_MAP}")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS "${VORN_SCRIPT_EXPORTS_MAP}")
  endif()
endfunction()

# vorn_add_session_test(NAME MODULE_TARGET SESSION...): a test for each session file, played by
# vorn-host on the module (through the cross build's emulator, wine for Windows); a failed expect line or a contract breach fails it. Session files
# are taken relative to the calling folder.
function(vorn_add_session_test name module)
  foreach(session IN LISTS ARGN)
    get_filename_component(session_path ${session} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(session_name ${session} NAME_WE)
    add_test(NAME ${name}.${session_name}
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:vorn::host> $<TARGET_FILE:${module}> ${session_path} --quiet)
  endforeach()
endfunction()

# vorn_add_validate_test(MODULE_TARGET): vorn-host's named checks on the module, as one test
# that fails when any check fails; its JUnit file lands beside the module.
function(vorn_add_validate_test module)
  add_test(NAME ${module}.validate
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:vorn::host> validate $<TARGET_FILE:${module}>
            --junit $<TARGET_FILE_DIR:${module}>/${module}.validate.xml)
endfunction()
