# Installs the pinned npm packages of SOURCE (a package.json) into TARGET with the npm package
# INSTALLER (npm@VERSION, run by the machine's NPM), once per version set.
file(MAKE_DIRECTORY ${TARGET})
file(READ ${SOURCE} wanted)
string(APPEND wanted "installed with ${INSTALLER}\n")
set(stamp ${TARGET}/installed.json)
if(EXISTS ${stamp})
  file(READ ${stamp} installed)
  if(installed STREQUAL wanted AND EXISTS ${TARGET}/node_modules)
    return()
  endif()
endif()
configure_file(${SOURCE} ${TARGET}/package.json COPYONLY)
execute_process(COMMAND ${NPM} exec --yes --package=${INSTALLER} -- npm install --no-audit --no-fund --no-package-lock --loglevel=error
  WORKING_DIRECTORY ${TARGET} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "npm install failed:\n${out}")
endif()
file(WRITE ${stamp} "${wanted}")
