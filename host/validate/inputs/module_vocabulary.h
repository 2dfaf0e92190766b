#pragma once
// What the checks say to a module, learned from the module itself rather than from any one
// script: the controls its panel files list, and the parameters it names when it answers the
// host's own requests ("return=all" with NAME=VALUE lines, "_commands" with NAME=[value] lines).
// A module that shows no panel is sent events on a generic control instead.
#include <string>
#include <utility>
#include <vector>

#include "module_run.h"

namespace vorn_host {

using panel_control = std::pair<std::string, std::string>;

struct module_vocabulary {
    std::vector<panel_control> shownControls;  // as the panel files list them; may be empty
    std::vector<std::string> parameters;       // each named once, in the order first answered

    // The shown controls, or the generic one when the module showed none.
    std::vector<panel_control> controlsToExercise() const;
    // The host's own requests, then for each parameter a setting and a question:
    // NAME=VALUE and return=NAME.
    std::vector<std::string> requests(const std::string& value) const;
    // One request setting every parameter to `value`, each.
    std::vector<std::string> settings(const std::string& value) const;
};

// The requests every host may send any module.
extern const char* const kHostRequests[3];
const char kInstanceRequest[] = "instance";

// Makes one script, reads its panels, asks it what it answers, and deletes it.
module_vocabulary learnVocabulary(const module_setup& setup);

// The parameter names in an answer's NAME=VALUE lines.
std::vector<std::string> parameterNames(const std::string& answer);

}  // namespace vorn_host
