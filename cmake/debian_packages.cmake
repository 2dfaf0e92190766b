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
set(VORN_NEED_debian_sources   dpkg-dev)

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

# apt-get update, where one index that fails (a mirror in the middle of a sync) is only noted:
# what follows uses the indexes that came, and fails itself when they are not enough.
function(_vorn_apt_get_update log)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
                          apt-get -o DPkg::Lock::Timeout=600 update -qq
    OUTPUT_FILE ${log} ERROR_FILE ${log}.err RESULT_VARIABLE failed)
  if(failed)
    message(STATUS "apt-get update did not fetch every index (${log}.err); going on with those it did")
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
  _vorn_apt_get_update(${log})
  _vorn_apt_get(${log} install -y -qq --no-install-recommends ${missing})
  _vorn_missing_packages(still_missing ${ARGN})
  if(still_missing)
    message(FATAL_ERROR "apt-get installed, yet these are still missing: ${still_missing}")
  endif()
endfunction()

# vorn_require_debian_source(PACKAGE OUT): unpacks the Debian source package PACKAGE (Debian's
# patches applied) into a cache, ~/.cache/vorn-sources or VORN_SOURCE_CACHE, and sets OUT to
# its folder. A cross build needs what Debian ships only built for this machine: the source is
# fetched through apt's deb-src entries for the machine's own suites, added for that moment
# when there are none. Sets OUT to empty, saying why, where nothing can be fetched.
function(vorn_require_debian_source package out)
  if(DEFINED ENV{VORN_SOURCE_CACHE})
    set(cache $ENV{VORN_SOURCE_CACHE})
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(cache $ENV{XDG_CACHE_HOME}/vorn-sources)
  else()
    set(cache $ENV{HOME}/.cache/vorn-sources)
  endif()
  set(folder ${cache}/${package})
  set(${out} ${folder} PARENT_SCOPE)
  if(EXISTS ${folder}/.unpacked)
    return()
  endif()
  _vorn_can_install(can_install)
  if(NOT can_install)
    message(STATUS "Not fetching the Debian source of ${package}: apt-get as root is needed")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  vorn_require_debian_packages(debian_sources)
  message(STATUS "Fetching the Debian source of ${package} into ${cache}")
  set(log ${CMAKE_BINARY_DIR}/vorn-apt-get-source.log)
  _vorn_source_entries(entries)
  _vorn_apt_get_update(${log})
  file(REMOVE_RECURSE ${folder} ${cache}/download)
  file(MAKE_DIRECTORY ${cache}/download)
  execute_process(COMMAND apt-get source -qq ${package} WORKING_DIRECTORY ${cache}/download
    OUTPUT_FILE ${log} ERROR_FILE ${log}.err RESULT_VARIABLE failed)
  file(REMOVE ${entries})
  file(GLOB unpacked LIST_DIRECTORIES true ${cache}/download/${package}-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(dsc|tar\\..*)$")
  if(failed OR NOT unpacked)
    message(STATUS "Not building what needs ${package}'s source: apt-get source failed (${log}.err)")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  file(RENAME ${unpacked} ${folder})
  file(REMOVE_RECURSE ${cache}/download)
  file(TOUCH ${folder}/.unpacked)
endfunction()

# Writes deb-src entries for the suites that the machine's deb entries name, in files of this
# build's own, and sets OUT to those files (to remove once the source is fetched).
function(_vorn_source_entries out)
  set(written "")
  set(deb822 /etc/apt/sources.list.d/debian.sources)
  if(EXISTS ${deb822})
    file(READ ${deb822} text)
    string(REGEX REPLACE "(^|\n)Types: deb\n" "\\1Types: deb-src\n" text "${text}")
    file(WRITE /etc/apt/sources.list.d/vorn-deb-src.sources "${text}")
    list(APPEND written /etc/apt/sources.list.d/vorn-deb-src.sources)
  endif()
  if(EXISTS /etc/apt/sources.list)
    file(STRINGS /etc/apt/sources.list lines REGEX "^deb ")
    list(TRANSFORM lines REPLACE "^deb " "deb-src ")
    list(JOIN lines "\n" text)
    file(WRITE /etc/apt/sources.list.d/vorn-deb-src.list "${text}\n")
    list(APPEND written /etc/apt/sources.list.d/vorn-deb-src.list)
  endif()
  set(${out} ${written} PARENT_SCOPE)
endfunction()
