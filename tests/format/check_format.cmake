# The C++ sources against the house style (.clang-format at the top of the tree).
#
#   cmake -DSOURCE=TOP -DCLANG_FORMAT=clang-format [-DFIX=ON] -P check_format.cmake
#
# Without FIX it fails, naming each file and line that differs; with FIX it formats them.
cmake_minimum_required(VERSION 3.25)
set(folders interfaces vorn_string platform script_helper router host examples tests fuzz bench)
set(files "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE found ${SOURCE}/${folder}/*.cpp ${SOURCE}/${folder}/*.h)
  list(APPEND files ${found})
endforeach()
list(FILTER files EXCLUDE REGEX "/node_modules/")
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "no source file found below ${SOURCE}")
endif()
if(FIX)
  execute_process(COMMAND ${CLANG_FORMAT} -i ${files} WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} WORKING_DIRECTORY ${SOURCE}
                  RESULT_VARIABLE status ERROR_VARIABLE differences)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${differences}\nThese sources differ from .clang-format; "
                      "cmake --build BUILD --target format formats them.")
endif()
message(STATUS "${count} sources follow .clang-format")
