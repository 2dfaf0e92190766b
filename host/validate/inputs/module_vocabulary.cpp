#include "module_vocabulary.h"

#include <algorithm>
#include <sstream>

#include "module_allocator.h"
#include "session_report.h"
#include "simulated_host.h"
#include "vorn_client_callback.h"

namespace vorn_host {

const char* const kHostRequests[3] = {"return=all", "_events", "_commands"};

namespace {

const panel_control kGenericControl{"1", "1"};

// Asks one question and hands the answer back, as a host does.
std::string answerTo(vorn_client_callback& script, simulated_host& host, std::string request) {
    char* answer = nullptr;
    {
        module_allocator::armed_scope module(true);
        answer = script.callback(&request[0], kCodeParameterRequest);
    }
    if (!answer) return "";
    std::string text = answer;
    if (host.acceptAnswer(answer, request.c_str())) {
        for (char* held : host.takeHeldAnswers()) {
            module_allocator::armed_scope module(true);
            script.callback(held, kCodeRelease);
        }
    }
    return text;
}

void addOnce(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

std::vector<std::string> parameterNames(const std::string& answer) {
    std::vector<std::string> names;
    std::istringstream lines(answer);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == 0 || equals == std::string::npos) continue;
        addOnce(names, line.substr(0, equals));
    }
    return names;
}

module_vocabulary learnVocabulary(const module_setup& setup) {
    module_vocabulary vocabulary;
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    simulated_host host(0, setup.panelDirs, report);
    vorn_client_callback* script = nullptr;
    {
        module_allocator::armed_scope module(true);
        script = setup.factory(&host, setup.path.c_str());
    }
    if (!script) return vocabulary;
    vocabulary.shownControls = host.panels().controls();
    for (const char* request : {"return=all", "_commands"}) {
        for (const std::string& name : parameterNames(answerTo(*script, host, request))) {
            addOnce(vocabulary.parameters, name);
        }
    }
    module_allocator::armed_scope module(true);
    vorn_delete_script(script);
    return vocabulary;
}

std::vector<panel_control> module_vocabulary::controlsToExercise() const {
    if (shownControls.empty()) return {kGenericControl};
    return shownControls;
}

std::vector<std::string> module_vocabulary::requests(const std::string& value) const {
    std::vector<std::string> texts(std::begin(kHostRequests), std::end(kHostRequests));
    texts.push_back(std::string(kInstanceRequest) + "=" + value);
    for (const std::string& name : parameters) {
        texts.push_back(name + "=" + value);
        texts.push_back("return=" + name);
    }
    return texts;
}

std::vector<std::string> module_vocabulary::settings(const std::string& value) const {
    std::vector<std::string> texts = {std::string(kInstanceRequest) + "=" + value};
    for (const std::string& name : parameters) texts.push_back(name + "=" + value);
    return texts;
}

}  // namespace vorn_host
