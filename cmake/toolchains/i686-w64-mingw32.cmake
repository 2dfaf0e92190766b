# 32-bit Windows: the product. Its programs run under wine64 in WoW64 mode (cmake/wine).
set(VORN_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/../debian_packages.cmake)
vorn_require_debian_packages(windows_i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine/wine-run 32)
