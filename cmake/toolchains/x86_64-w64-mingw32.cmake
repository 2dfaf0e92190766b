# 64-bit Windows: its programs run under wine64 (cmake/wine).
set(VORN_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/../debian_packages.cmake)
vorn_require_debian_packages(windows_x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine/wine-run 64)
