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
# The boundary's declarations and the script base's public headers, each folder whole.
install(DIRECTORY interfaces/ script_helper/public/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorn
  FILES_MATCHING PATTERN "*.h")
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
