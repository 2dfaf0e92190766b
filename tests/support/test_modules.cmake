# vorn_add_test_module(NAME SOURCE [UNLOADABLE] [PANEL FILE]): a module for the tests that is not
# built on the script base. It sees only interfaces/ and exports only what it marks as exported.
# UNLOADABLE: no GNU unique symbols (std::to_string makes some), which would keep it loaded after
# its last dlclose. PANEL: a panel file copied beside it, where the host looks for panels.
function(vorn_add_test_module name source)
  cmake_parse_arguments(PARSE_ARGV 2 arg "UNLOADABLE" "PANEL" "")
  add_library(${name} MODULE ${source})
  target_link_libraries(${name} PRIVATE vorn_interfaces)
  set_target_properties(${name} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden)
  if(arg_UNLOADABLE)
    target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  endif()
  if(arg_PANEL)
    get_filename_component(panel_name ${arg_PANEL} NAME)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${arg_PANEL} $<TARGET_FILE_DIR:${name}>/${panel_name})
  endif()
endfunction()
