# Counts with callgrind the instructions of 1000 rounds of CASE (take or request) through the
# module and through each floor, prints the ratios, and fails when the module costs more than
# LIMIT percent of the strict floor (when LIMIT is given). Every side must send the same bytes.
set(runs 1000)
if(CASE STREQUAL take)
  set(suffix Takes)
else()
  set(suffix Requests)
endif()
foreach(side IN ITEMS module strict formatted)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/callgrind.${CASE}.${side}.out)
  execute_process(
    COMMAND valgrind --tool=callgrind --callgrind-out-file=${out} "--toggle-collect=${side}${suffix}*"
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
foreach(side IN ITEMS strict formatted)
  if(NOT module_output STREQUAL ${side}_output)
    message(FATAL_ERROR "the module and the ${side} floor sent different texts: ${module_output} / ${${side}_output}")
  endif()
  math(EXPR ${side}_percent "100 * ${module_instructions} / ${${side}_instructions}")
endforeach()
message("${CASE}: module ${module_per_round} instructions a round; strict floor ${strict_per_round} "
        "(ratio ${strict_percent}%); formatted floor ${formatted_per_round} (ratio ${formatted_percent}%)")
if(DEFINED LIMIT AND strict_percent GREATER LIMIT)
  message(FATAL_ERROR "${CASE} costs ${strict_percent}% of the strict floor, above the limit of ${LIMIT}%")
endif()
