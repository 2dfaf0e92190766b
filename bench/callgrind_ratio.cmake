# Counts with callgrind the instructions of 1000 rounds of CASE (take_cost.cpp names them)
# through the module and through each floor of SIDES (strict, and formatted where it exists),
# prints the ratios, and fails when the module costs more than LIMIT percent of the strict floor
# (when LIMIT is given). Every side must send the same bytes and answer the same.
set(runs 1000)
if(NOT SIDES)
  set(SIDES strict)
endif()
foreach(side IN ITEMS module ${SIDES})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/callgrind.${CASE}.${side}.out)
  execute_process(
    COMMAND valgrind --tool=callgrind --callgrind-out-file=${out} "--toggle-collect=${side}_${CASE}*"
            ${PROGRAM} ${CASE} ${side} ${runs}
    OUTPUT_VARIABLE ${side}_output ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "callgrind failed on ${PROGRAM} ${CASE} ${side}")
  endif()
  file(STRINGS ${out} totals REGEX "^(summary|totals):")
  list(GET totals 0 total)
  string(REGEX REPLACE "^[a-z]+: *([0-9]+).*" "\\1" ${side}_instructions "${total}")
  math(EXPR ${side}_per_round "${${side}_instructions} / ${runs}")
endforeach()
set(line "${CASE}: module ${module_per_round} instructions a round")
foreach(side IN LISTS SIDES)
  if(NOT module_output STREQUAL ${side}_output)
    message(FATAL_ERROR "the module and the ${side} floor sent different texts: ${module_output} / ${${side}_output}")
  endif()
  math(EXPR ${side}_percent "100 * ${module_instructions} / ${${side}_instructions}")
  string(APPEND line "; ${side} floor ${${side}_per_round} (ratio ${${side}_percent}%)")
endforeach()
message("${line}")
if(DEFINED LIMIT AND strict_percent GREATER LIMIT)
  message(FATAL_ERROR "${CASE} costs ${strict_percent}% of the strict floor, above the limit of ${LIMIT}%")
endif()
