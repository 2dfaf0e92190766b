# The house style: the format_check test fails when a source differs from .clang-format, and the
# format target formats every source.
find_program(VORN_CLANG_FORMAT NAMES clang-format-14 clang-format REQUIRED)
add_test(NAME format_check
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DCLANG_FORMAT=${VORN_CLANG_FORMAT}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/format/check_format.cmake)
add_custom_target(format
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DCLANG_FORMAT=${VORN_CLANG_FORMAT} -DFIX=ON
          -P ${CMAKE_CURRENT_SOURCE_DIR}/format/check_format.cmake)
