# The Debian packages each kind of build needs, and the check that they are there before anything
# looks for them. Nothing here installs: where a package is missing, configuring stops with the
# one command that installs them all. This project's presets provision a machine first
# (cmake/provision/provision.cmake), from these same lists.
#
# vorn_require_debian_packages(NEED...): stops, naming the command, when a package of a NEED (the
# lists below) is not installed. Does nothing where the system is not Debian.
#
# A package that a NEED lists as PACKAGE=COMMAND counts as present when COMMAND is on the PATH:
# Node.js and npm, say, may come from elsewhere than Debian.
include_guard(GLOBAL)

set(VORN_NEED_host             make libcli11-dev nlohmann-json3-dev libasio-dev)
set(VORN_NEED_tests            libgtest-dev googletest python3 libcpp-httplib-dev pkg-config clang-format)
set(VORN_NEED_browser_tests    chromium nodejs=node npm=npm)
set(VORN_NEED_memcheck         valgrind)
set(VORN_NEED_mutation         python3)
set(VORN_NEED_clang            clang)
set(VORN_NEED_sanitizers       clang libclang-rt-14-dev)
set(VORN_NEED_benchmarks       libbenchmark-dev valgrind libcpp-httplib-dev pkg-config nodejs=node)
set(VORN_NEED_linux_i386       g++-multilib qemu-user googletest)
set(VORN_NEED_windows_i686     g++-mingw-w64-i686-posix wine64 clang lld python3)
set(VORN_NEED_windows_x86_64   g++-mingw-w64-x86-64-posix wine64 clang lld)
set(VORN_NEED_debian_sources   dpkg-dev)

# Sets OUT to the packages of NEEDS that are not installed; to none where the system is not
# Debian (the finds that follow name what is missing).
function(vorn_missing_debian_packages out)
  set(${out} "" PARENT_SCOPE)
  find_program(_vorn_dpkg_query dpkg-query NO_CACHE)
  if(NOT _vorn_dpkg_query)
    return()
  endif()
  set(missing "")
  foreach(need IN LISTS ARGN)
    foreach(entry IN LISTS VORN_NEED_${need})
      if(entry MATCHES "^([^=]+)=(.+)$")
        set(package ${CMAKE_MATCH_1})
        find_program(_vorn_command_${CMAKE_MATCH_2} ${CMAKE_MATCH_2} NO_CACHE)
        if(_vorn_command_${CMAKE_MATCH_2})
          continue()
        endif()
      else()
        set(package ${entry})
        execute_process(COMMAND dpkg-query -W -f=\${db:Status-Abbrev} ${package}
          OUTPUT_VARIABLE status ERROR_QUIET RESULT_VARIABLE failed)
        if(NOT failed AND status MATCHES "^ii")
          continue()
        endif()
      endif()
      list(APPEND missing ${package})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES missing)
  set(${out} ${missing} PARENT_SCOPE)
endfunction()

function(vorn_require_debian_packages)
  vorn_missing_debian_packages(missing ${ARGN})
  if(NOT missing)
    return()
  endif()
  list(JOIN missing " " listed)
  # The command on a line of its own, as it is to be typed (FATAL_ERROR would wrap it).
  message(NOTICE "This build needs Debian packages that are not installed. Install them with:\n"
                 "  sudo apt install --no-install-recommends ${listed}")
  message(FATAL_ERROR "missing Debian packages: ${listed}")
endfunction()

# vorn_build_needs(OUT): the NEEDs of this project's build as its cache says it is made (tests,
# browser tests, memcheck, clang, sanitizers, benchmarks, mutation), beside the toolchain's own
# (VORN_TOOLCHAIN_NEEDS, which a toolchain file sets).
function(vorn_build_needs out)
  set(needs host)
  if(NOT DEFINED VORN_BUILD_TESTS OR VORN_BUILD_TESTS)
    list(APPEND needs tests)
    # The browser and router tests run on this machine's own build, and on the Windows ones
    # under wine.
    if(NOT VORN_TEST_LAUNCHER AND (NOT CMAKE_TOOLCHAIN_FILE OR CMAKE_TOOLCHAIN_FILE MATCHES "w64-mingw32"))
      list(APPEND needs browser_tests)
    endif()
  endif()
  if(VORN_TEST_LAUNCHER MATCHES "valgrind")
    list(APPEND needs memcheck)
  endif()
  if(CMAKE_CXX_COMPILER MATCHES "clang")
    list(APPEND needs clang)
  endif()
  if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    list(APPEND needs sanitizers)
  endif()
  if(VORN_BUILD_BENCHMARKS)
    list(APPEND needs benchmarks)
  endif()
  if(VORN_MUTATION_TESTING)
    list(APPEND needs mutation)
  endif()
  set(${out} ${needs} ${VORN_TOOLCHAIN_NEEDS} PARENT_SCOPE)
endfunction()

# vorn_debian_source_cache(OUT): where Debian source packages are unpacked for a cross build,
# which needs what Debian ships only built for this machine: ~/.cache/vorn-sources, or
# VORN_SOURCE_CACHE.
function(vorn_debian_source_cache out)
  if(DEFINED ENV{VORN_SOURCE_CACHE})
    set(${out} $ENV{VORN_SOURCE_CACHE} PARENT_SCOPE)
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(${out} $ENV{XDG_CACHE_HOME}/vorn-sources PARENT_SCOPE)
  else()
    set(${out} $ENV{HOME}/.cache/vorn-sources PARENT_SCOPE)
  endif()
endfunction()

# vorn_debian_source(PACKAGE OUT): sets OUT to the folder of Debian's source of PACKAGE (its
# patches applied) where provisioning unpacked it, or to empty, saying so, where it did not.
function(vorn_debian_source package out)
  vorn_debian_source_cache(cache)
  if(EXISTS ${cache}/${package}/.unpacked)
    set(${out} ${cache}/${package} PARENT_SCOPE)
    return()
  endif()
  message(STATUS "No Debian source of ${package} in ${cache}: what needs it is not built "
                 "(the presets provision it)")
  set(${out} "" PARENT_SCOPE)
endfunction()
