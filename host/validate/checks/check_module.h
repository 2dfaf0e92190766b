#pragma once
// The module as a check opens it, with what the checks drive it with.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "checks.h"
#include "module_library.h"
#include "module_run.h"
#include "module_vocabulary.h"

namespace vorn_host {

const char kNotWatched[] = "the module imports no C runtime allocation function the host can watch (a static runtime?)";

// What a check that drives a script says when the factory gives it none: it has nothing to
// exercise, and passes nothing.
const char kNoScript[] = "the factory made no script";

struct opened_module {
    std::unique_ptr<module_library> library;
    module_setup setup;
    std::string error;
};

opened_module openModule(const check_context& context);

// A check that passes when the script kept every rule, and fails with the first breach.
check_outcome outcomeOf(const direct_script& script, const std::string& passReason = "");

}  // namespace vorn_host
