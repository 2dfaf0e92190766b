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
