# Counts the instructions of 1000 module runs of CASE (take or request) and 1000 floor runs
# with callgrind, prints the ratio, and fails when it is above LIMIT percent (when given).
set(runs 1000)
foreach(side IN ITEMS module floor)
  set(mode ${side})
  set(function ${side}Takes)
  if(CASE STREQUAL request)
    set(mode ${side}-request)
    set(function ${side}Requests)
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/callgrind.${CASE}.${side}.out)
  execute_process(
    COMMAND valgrind --tool=callgrind --callgrind-out-file=${out} "--toggle-collect=${function}*"
            ${PROGRAM} ${mode} ${runs}
    OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "callgrind failed on ${PROGRAM} ${mode}")
  endif()
  file(STRINGS ${out} totals REGEX "^(summary|totals):")
  list(GET totals 0 total)
  string(REGEX REPLACE "^[a-z]+: *([0-9]+).*" "\\1" ${side}_instructions "${total}")
endforeach()
math(EXPR percent "100 * ${module_instructions} / ${floor_instructions}")
math(EXPR per_module "${module_instructions} / ${runs}")
math(EXPR per_floor "${floor_instructions} / ${runs}")
message("${CASE}: module ${per_module} instructions, floor ${per_floor}, ratio ${percent}%")
if(DEFINED LIMIT AND percent GREATER LIMIT)
  message(FATAL_ERROR "${CASE} costs ${percent}% of the floor, above the limit of ${LIMIT}%")
endif()
