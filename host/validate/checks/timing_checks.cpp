// The check of how long each call into the module takes. The host makes every call on its
// operator-interface thread, so a slow one stalls the panel.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "check_module.h"
#include "vorn_boundary_words.h"
#include "contract_rules.h"
#include "event_record.h"
#include "processor_time.h"

namespace vorn_host {

namespace {

// Each call is made this many times, on as many scripts, and judged by its quickest: the first
// time may pay for loading code, and an emulator pays for translating it.
const int kTimes = 3;

struct module_call {
    std::string what;
    int code;
    std::string panel, control, text;  // the event's, or the request's text
    intptr_t number = 0;               // a timer's id
};

std::vector<module_call> everyKindOfCall(const module_vocabulary& vocabulary) {
    std::vector<module_call> calls;
    for (const auto& [panel, control] : vocabulary.controlsToExercise()) {
        for (const char* text : {"value=1", "value=2", "press"}) {
            calls.push_back({"event " + panel + " " + control + " " + text, kCodeControlEvent, panel, control, text});
        }
    }
    for (const std::string& request : vocabulary.requests("12")) {
        calls.push_back({"request " + request, kCodeParameterRequest, "", "", request});
    }
    for (intptr_t timer : {1, 7}) calls.push_back({"timer " + std::to_string(timer), kCodeTimer, "", "", "", timer});
    return calls;
}

std::chrono::microseconds timeOf(direct_script& script, const module_call& call) {
    std::string text = call.text;
    event_record event(call.panel, call.control, call.text);
    void* param = call.code == kCodeControlEvent       ? static_cast<void*>(event.record())
                  : call.code == kCodeParameterRequest ? static_cast<void*>(&text[0])
                                                       : vorn_param_carrying(call.number);
    const auto start = threadProcessorTime();
    script.call(call.what, param, call.code);
    return threadProcessorTime() - start;
}

}  // namespace

check_outcome checkQuickCallbacks(const check_context& context) {
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    const std::vector<module_call> calls = everyKindOfCall(learnVocabulary(opened.setup));
    std::vector<std::chrono::microseconds> quickest(calls.size(), std::chrono::microseconds::max());
    for (int time = 0; time < kTimes; ++time) {
        direct_script script(opened.setup, "");
        if (!script.created()) return check_outcome::failed(kNoScript);
        for (size_t c = 0; c < calls.size(); ++c) quickest[c] = std::min(quickest[c], timeOf(script, calls[c]));
        script.remove();
        if (!script.clean()) return check_outcome::failed(firstLine(script.problems()));
    }
    const auto slowest = std::max_element(quickest.begin(), quickest.end());
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(*slowest).count();
    if (ms > static_cast<long long>(kSlowCallbackMs)) {
        return check_outcome::failed(calls[static_cast<size_t>(slowest - quickest.begin())].what + " took " +
                                     std::to_string(ms) + " ms of processor time at its quickest of " +
                                     std::to_string(kTimes) + " (the limit is " + std::to_string(kSlowCallbackMs) +
                                     " ms)");
    }
    return check_outcome::passed();
}

}  // namespace vorn_host
