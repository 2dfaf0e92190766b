# 32-bit Linux (the pointer width of the real target), run through qemu-i386.
# What this toolchain needs from Debian. The presets install it before the compilers are looked
# for (cmake/provision); anywhere else a missing package stops configuring with the command that
# installs it.
set(VORN_TOOLCHAIN_NEEDS linux_i386)
if(NOT CMAKE_PROJECT_TOP_LEVEL_INCLUDES)
  include(${CMAKE_CURRENT_LIST_DIR}/../debian_packages.cmake)
  vorn_require_debian_packages(${VORN_TOOLCHAIN_NEEDS})
endif()
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i386)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
