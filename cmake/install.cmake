# The package that script authors build on: headers, the script base, the string library and
# a CMake package configuration (find_package(VornScript), target vorn::script_helper).
include(CMakePackageConfigHelpers)

set(VORN_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VornScript)

set_target_properties(vorn_interfaces PROPERTIES EXPORT_NAME interfaces)
set_target_properties(vorn_string PROPERTIES EXPORT_NAME string)
set_target_properties(vorn_platform PROPERTIES EXPORT_NAME platform)
set_target_properties(vorn_script_helper PROPERTIES EXPORT_NAME script_helper)

# vorn-host comes along as vorn::host: script authors test their modules with it.
set_target_properties(vorn-host PROPERTIES EXPORT_NAME host)
set(vorn_package_targets vorn_interfaces vorn_string vorn_platform vorn_script_helper vorn-host)
if(WIN32)
  set_target_properties(vorn_library_entry PROPERTIES EXPORT_NAME library_entry)
  list(APPEND vorn_package_targets vorn_library_entry)
endif()
# On Windows vorn-host's sockets are a DLL beside it, which it loads for --web and --router.
if(WIN32)
  install(FILES $<TARGET_FILE:vorn_host_socket_library> DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS ${vorn_package_targets}
  EXPORT VornScriptTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES
  interfaces/vorn_boundary_words.h
  interfaces/vorn_client_callback.h
  interfaces/vorn_host_command.h
  interfaces/vorn_module_export.h
  interfaces/vorn_records.h
  interfaces/vorn_string.h
  script_helper/command_texts.h
  script_helper/decimal_text.h
  script_helper/fixed_command.h
  script_helper/text_view.h
  script_helper/host_call_guard.h
  script_helper/script_factory.h
  script_helper/message_records.h
  script_helper/vorn_script_helper.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorn)
install(EXPORT VornScriptTargets NAMESPACE vorn:: DESTINATION ${VORN_PACKAGE_DIR})

configure_package_config_file(cmake/VornScriptConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VornScriptConfig.cmake
  INSTALL_DESTINATION ${VORN_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VornScriptConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/VornScriptConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/VornScriptConfigVersion.cmake
  cmake/VornScriptModule.cmake
  cmake/vorn_script_exports.map
  DESTINATION ${VORN_PACKAGE_DIR})
