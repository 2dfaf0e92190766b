# Provisioning: installs what this build needs from Debian before anything looks for it, so that a
# fresh machine builds with the README's two commands alone. This project's presets name this file
# in CMAKE_PROJECT_TOP_LEVEL_INCLUDES, and CMake runs it in the first project() call: after the
# toolchain file (which says what it needs in VORN_TOOLCHAIN_NEEDS) and before the compilers are
# looked for. It is the only file of the project that runs apt-get or writes outside the build
# and install folders, and it is never installed.
#
# Missing packages are installed with apt-get, saying so, when this runs as root on Debian.
# Otherwise, or with VORN_INSTALL_PACKAGES=OFF (cache or environment), configuring stops with
# one line that names the command to run. A Windows build also gets the Debian sources it
# compiles (cpp-httplib, for the browser view's server).
include(${CMAKE_CURRENT_LIST_DIR}/../debian_packages.cmake)

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

# _vorn_install_debian_packages(NEED...): the missing packages of each NEED installed, or the
# command named.
function(_vorn_install_debian_packages)
  vorn_missing_debian_packages(missing ${ARGN})
  if(NOT missing)
    return()
  endif()
  list(JOIN missing " " listed)
  _vorn_can_install(can_install)
  if(NOT can_install)
    vorn_require_debian_packages(${ARGN})  # stops, naming the command
  endif()
  message(STATUS "Installing the Debian packages this build needs: ${listed}")
  set(log ${CMAKE_BINARY_DIR}/vorn-apt-get.log)
  _vorn_apt_get_update(${log})
  _vorn_apt_get(${log} install -y -qq --no-install-recommends ${missing})
  vorn_missing_debian_packages(still_missing ${ARGN})
  if(still_missing)
    message(FATAL_ERROR "apt-get installed, yet these are still missing: ${still_missing}")
  endif()
endfunction()

# _vorn_fetch_debian_source(PACKAGE): unpacks the Debian source package PACKAGE (Debian's patches
# applied) into the cache that vorn_debian_source reads. The source is fetched through apt's
# deb-src entries for the machine's own suites, added for that moment when there are none.
# Where nothing can be fetched it says why, and what needs the source is not built.
function(_vorn_fetch_debian_source package)
  vorn_debian_source_cache(cache)
  set(folder ${cache}/${package})
  if(EXISTS ${folder}/.unpacked)
    return()
  endif()
  _vorn_can_install(can_install)
  if(NOT can_install)
    message(STATUS "Not fetching the Debian source of ${package}: apt-get as root is needed")
    return()
  endif()
  _vorn_install_debian_packages(debian_sources)
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

vorn_build_needs(vorn_needs)
_vorn_install_debian_packages(${vorn_needs})
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  _vorn_fetch_debian_source(cpp-httplib)
endif()
