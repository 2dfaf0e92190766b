# 32-bit Windows: the product. Its programs run under wine64 in WoW64 mode (cmake/wine).
set(VORN_MINGW_ARCH i686)
# What this toolchain needs from Debian. The presets install it before the compilers are looked
# for (cmake/provision); anywhere else a missing package stops configuring with the command that
# installs it.
set(VORN_TOOLCHAIN_NEEDS windows_i686)
if(NOT CMAKE_PROJECT_TOP_LEVEL_INCLUDES)
  include(${CMAKE_CURRENT_LIST_DIR}/../debian_packages.cmake)
  vorn_require_debian_packages(${VORN_TOOLCHAIN_NEEDS})
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine/wine-run 32)
