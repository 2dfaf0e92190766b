#pragma once
// What `vorn-host validate` shows once its checks have run: one line a check for people, one JSON
// document, or a JUnit file for CI dashboards. Each reads the same results and writes nothing else.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "checks.h"

namespace vorn_host {

// One check's outcome, as the run that made it saw it.
struct check_result {
    const validate_check* check;
    check_outcome outcome;
    double seconds;
};

// PASS/SKIP/FAIL lines, a failing check's hint and session (also written to a file beside the
// run for `vorn-host MODULE SESSION`), and a closing count.
void printForPeople(const std::vector<check_result>& results, const std::string& module, uint32_t seed);
nlohmann::json asJson(const std::vector<check_result>& results, const std::string& module, uint32_t seed);
// False when the file cannot be written.
bool writeJunit(const std::string& file, const std::vector<check_result>& results, uint32_t seed);

bool anyFailed(const std::vector<check_result>& results);

}  // namespace vorn_host
