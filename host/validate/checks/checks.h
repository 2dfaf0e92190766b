#pragma once
// The named checks of `vorn-host validate`: each needs only the module, runs in a process of
// its own, and says pass, fail or skip with a one-line reason.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check_outcome.h"

namespace vorn_host {

// How much processor time a check may use, unless told.
const unsigned kCheckTimeLimitMs = 20000;

// One allocation point of allocation-failure: the Nth allocation fails, alone or with every
// one after it.
struct allocation_point {
    unsigned long n = 0;
    bool fromThenOn = false;
};

struct check_context {
    std::string modulePath;
    std::vector<std::string> panelDirs;
    uint32_t seed = 0;
    unsigned timeLimitMs = kCheckTimeLimitMs;
    // Where a check's work runs apart by starting this program again: the arguments that run
    // the current check once more in a process of its own.
    std::vector<std::string> checkArguments;
    // Set in a process started for one allocation point of allocation-failure.
    std::optional<allocation_point> failingPoint;
};

struct validate_check {
    const char* id;
    const char* description;
    const char* hint;  // what to look at when it fails
    check_outcome (*run)(const check_context&);
};

const std::vector<validate_check>& validateChecks();

// Each check, by area.
check_outcome checkModuleLoads(const check_context&);
check_outcome checkExportsOnlyFactory(const check_context&);
check_outcome checkFactoryPaths(const check_context&);
check_outcome checkDeleteAfterCreate(const check_context&);
check_outcome checkCallbackCodes(const check_context&);
check_outcome checkControlEventTexts(const check_context&);
check_outcome checkRequestTexts(const check_context&);
check_outcome checkAnswersFreed(const check_context&);
check_outcome checkAllocationFailure(const check_context&);
check_outcome checkInstancesSeparate(const check_context&);
check_outcome checkLoadUnload(const check_context&);
check_outcome checkQuickCallbacks(const check_context&);
check_outcome checkRandomSession(const check_context&);

}  // namespace vorn_host
