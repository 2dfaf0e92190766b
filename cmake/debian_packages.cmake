# The Debian packages each kind of build needs, and the one step that makes sure they are there
# before anything looks for them, so that a fresh machine builds with the README's commands alone.
#
# vorn_require_debian_packages(NEED...): the packages of each NEED (the lists below). Missing
# ones are installed with apt-get, saying so, when this runs as root on Debian; otherwise
# configuring stops with one line that names the apt-get install to run. Set
# VORN_INSTALL_PACKAGES=OFF (cache or environment) to be told instead of having them installed.
#
# A package that a NEED lists as PACKAGE=COMMAND counts as present when COMMAND is on the PATH:
# Node.js and npm, say, may come from elsewhere than Debian.
include_guard(GLOBAL)

set(VORN_NEED_host             make libcli11-dev nlohmann-json3-dev libasio-dev)
set(VORN_NEED_tests            libgtest-dev googletest python3 libcpp-httplib-dev pkg-config)
set(VORN_NEED_browser_tests    chromium nodejs=node npm=npm)
set(VORN_NEED_memcheck         valgrind)
set(VORN_NEED_mutation         python3)
set(VORN_NEED_clang            clang)
set(VORN_NEED_sanitizers       clang libclang-rt-14-dev)
set(VORN_NEED_benchmarks       libbenchmark-dev valgrind)
set(VORN_NEED_linux_i386       g++-multilib qemu-user googletest)
set(VORN_NEED_windows_i686     g++-mingw-w64-i686-posix wine64 clang lld python3)
set(VORN_NEED_windows_x86_64   g++-mingw-w64-x86-64-posix wine64 clang lld)

# Sets OUT to the packages of NEEDS that are not installed.
function(_vorn_missing_packages out)
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

# True in CAN when this process may install Debian packages: Debian's tools, root, not refused.
function(_vorn_can_install can)
  set(${can} FALSE PARENT_SCOPE)
  if(DEFINED ENV{VORN_INSTALL_PACKAGES} AND NOT "$ENV{VORN_INSTALL_PACKAGES}")
    return()
  endif()
  if(DEFINED VORN_INSTALL_PACKAGES AND NOT VORN_INSTALL_PACKAGES)
    return()
  endif()
  find_program(_vorn_apt_get apt-get NO_CACHE)
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_vorn_apt_get AND uid STREQUAL "0")
    set(${can} TRUE PARENT_SCOPE)
  endif()
endfunction()

function(_vorn_apt_get log)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
                          apt-get -o DPkg::Lock::Timeout=600 ${ARGN}
    OUTPUT_FILE ${log} ERROR_FILE ${log}.err RESULT_VARIABLE failed)
  if(failed)
    file(READ ${log}.err why)
    string(STRIP "${why}" why)
    message(FATAL_ERROR "apt-get ${ARGN} failed (${log}.err):\n${why}")
  endif()
endfunction()

function(vorn_require_debian_packages)
  find_program(_vorn_dpkg_query dpkg-query NO_CACHE)
  if(NOT _vorn_dpkg_query)
    return()  # not Debian: the finds that follow name what is missing
  endif()
  _vorn_missing_packages(missing ${ARGN})
  if(NOT missing)
    return()
  endif()
  list(JOIN missing " " listed)
  _vorn_can_install(can_install)
  if(NOT can_install)
    # The command on a line of its own, as it is to be typed (FATAL_ERROR would wrap it).
    message(NOTICE "This build needs Debian packages that are not installed. Install them with:\n"
                   "  sudo apt-get install --no-install-recommends ${listed}")
    message(FATAL_ERROR "missing Debian packages: ${listed}")
  endif()
  message(STATUS "Installing the Debian packages this build needs: ${listed}")
  set(log ${CMAKE_BINARY_DIR}/vorn-apt-get.log)
  _vorn_apt_get(${log} update -qq)
  _vorn_apt_get(${log} install -y -qq --no-install-recommends ${missing})
  _vorn_missing_packages(still_missing ${ARGN})
  if(still_missing)
    message(FATAL_ERROR "apt-get installed, yet these are still missing: ${still_missing}")
  endif()
endfunction()
