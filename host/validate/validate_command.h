#pragma once
// `vorn-host validate MODULE`: runs the named checks on a module and reports each, for people,
// as JSON, or as a JUnit file for CI dashboards.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checks.h"

namespace vorn_host {

struct validate_options {
    std::string module;
    std::vector<std::string> panelDirs;
    std::optional<uint32_t> seed;
    std::vector<std::string> include, exclude;  // check ids
    bool list = false;
    bool json = false;
    std::string junitFile;
    unsigned timeLimitMs = kCheckTimeLimitMs;
    // Hidden: run this one check here and write its outcome to the file (how a check gets a
    // process of its own: vorn-host started again).
    std::string runCheck;
    std::string outcomeFile;
    // Hidden, with --run-check allocation-failure: only this allocation point.
    unsigned long failAllocation = 0;
    bool failFromThenOn = false;
};

// The exit status: 0 every check passed or was skipped, 1 a check failed, 2 unusable options.
int runValidate(const validate_options& options);

}  // namespace vorn_host
