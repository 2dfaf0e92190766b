# The mutation score as a test: a seeded sample of mutants of the module's code and of the
# checker's code, each area scored on its own, failing below the threshold. The sample is kept
# small for CI; `tools/mutation/mutate.py --sample 60` measures more.
set(VORN_MUTATION_SAMPLE 20 CACHE STRING "Valid mutants tried in each area")
set(VORN_MUTATION_SEED 1 CACHE STRING "Seed of the mutant sample")
set(VORN_MUTATION_THRESHOLD 90 CACHE STRING "Lowest passing mutation score, in percent")
find_program(VORN_PYTHON NAMES python3 REQUIRED)
enable_testing()
add_test(NAME mutation_score
  COMMAND ${VORN_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/mutate.py --source ${PROJECT_SOURCE_DIR}
          --work ${CMAKE_BINARY_DIR}/work --area module checker --sample ${VORN_MUTATION_SAMPLE}
          --seed ${VORN_MUTATION_SEED} --threshold ${VORN_MUTATION_THRESHOLD}
          --report ${CMAKE_BINARY_DIR}/mutation.json)
set_tests_properties(mutation_score PROPERTIES TIMEOUT 5400)
