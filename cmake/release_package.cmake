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
# The SDK for Windows script authors: everything the install tree holds (the package targets'
# component, "Unspecified"), with the toolchain file, the wine runner and a README of its own.
set(VORN_SDK_NAME Router-sdk-${PROJECT_VERSION}-win32)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/sdk/README.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/toolchains/i686-w64-mingw32.cmake
              ${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake
  DESTINATION ${VORN_PACKAGE_DIR}/toolchains)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian_packages.cmake DESTINATION ${VORN_PACKAGE_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/cmake/wine/wine-run ${PROJECT_SOURCE_DIR}/cmake/wine/fetch-wine32-dlls.sh
  DESTINATION ${VORN_PACKAGE_DIR}/wine)
set(CPACK_COMPONENTS_ALL release Unspecified)
set(CPACK_ARCHIVE_UNSPECIFIED_FILE_NAME ${VORN_SDK_NAME})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_RELEASE_FILE_NAME ${VORN_RELEASE_NAME})
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The same sources give the same zip: its files carry one fixed time.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/release_file_times.cmake)
include(CPack)
