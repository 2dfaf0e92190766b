# The product's release: Router-<version>-win32.zip (`cmake --build --preset win32 --target
# package`) with the module, the string library it imports, its panel file and how to install
# them. The version is the project's.
install(FILES $<TARGET_FILE:Router> $<TARGET_FILE:vorn_string>
              ${PROJECT_SOURCE_DIR}/router/p1.vorn_ui ${PROJECT_SOURCE_DIR}/router/INSTALL.txt
  DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)

set(VORN_RELEASE_NAME Router-${PROJECT_VERSION}-win32)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Router)
set(CPACK_PACKAGE_VENDOR "Router team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${VORN_RELEASE_NAME})
set(CPACK_COMPONENTS_ALL release)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_RELEASE_FILE_NAME ${VORN_RELEASE_NAME})
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The same sources give the same zip: its files carry one fixed time.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/release_file_times.cmake)
include(CPack)
