// The whole module under any sequence of host calls: every code, control-event records with any
// texts or null pointers, requests of any text whose answers are held for a while, timers, and
// panels the host can or cannot show. The calls go through vorn-host's own direct driver and
// simulated host, so its ledger and rules judge them: each query reply handed back once, each
// code-3 answer the module's own and handed back once, nothing sent after "AS", every command
// one line, whatever the texts the host handed in held. A broken rule stops the run with the
// host's report of it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AlarmPanel.h"
#include "contract_rules.h"
#include "event_record.h"
#include "fuzz_input.h"
#include "module_run.h"
#include "vorn_boundary_words.h"
#include "vorn_module_export.h"

namespace {

const int kMaxCalls = 256;

vorn_client_callback* newAlarmPanel(vorn_host_command* host, const char* path) {
    return new AlarmPanel(host, path);
}

void controlEvent(vorn_host::direct_script& script, fuzz_input& in) {
    const uint8_t nulls = in.byte();
    const std::string panel = in.text(), control = in.text(), eventText = in.text();
    if (nulls & 8) {
        script.call("event record null", nullptr, kCodeControlEvent);
        return;
    }
    vorn_host::event_record event(panel, control, eventText);  // parsed as the host parses it
    host_control_event record = *event.record();
    record.hostReserved1 = in.integer();
    if (nulls & 1) record.panel = nullptr;
    if (nulls & 2) record.control = nullptr;
    if (nulls & 4) record.event = nullptr;
    script.call("event", &record, kCodeControlEvent);
}

void play(vorn_host::direct_script& script, fuzz_input& in) {
    // Request texts stay in place while their answers are held.
    std::vector<std::vector<char>> requests;
    for (int call = 0; call < kMaxCalls && !in.done(); ++call) {
        switch (in.byte() % 7) {
        case 0:
            controlEvent(script, in);
            break;
        case 1: {
            const std::string text = in.text();
            requests.emplace_back(text.c_str(), text.c_str() + text.size() + 1);
            script.call("request", requests.back().data(), kCodeParameterRequest);
            break;
        }
        case 2:
            script.handBackAnswers();
            break;
        case 3:
            script.call("timer", vorn_param_carrying(in.integer()), kCodeTimer);
            break;
        case 4: {
            const int codes[] = {kCodeRecord, kCodeAuxRecord, kCodeWord};
            script.call("record", vorn_param_carrying(in.integer()), codes[in.byte() % 3]);
            break;
        }
        case 5: {
            const int code = in.integer();
            if (code != kCodeControlEvent && code != kCodeParameterRequest && code != kCodeRelease) {
                script.call("code " + std::to_string(code), vorn_param_carrying(in.integer()), code);
            }
            break;
        }
        default:
            script.call("hand back null", nullptr, kCodeRelease);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input in(data, size);
    const uint8_t setup = in.byte();
    vorn_host::module_setup module;
    module.factory = setup & 1 ? newAlarmPanel : load_vorn_client_script;
    // A host that finds the panel files, or one that cannot show any panel.
    if (setup & 2) module.panelDirs = {VORN_ROUTER_PANEL_DIR, VORN_ALARM_PANEL_DIR};
    // Fields go out exactly as the host gave them, an apostrophe too, and the host then reads the
    // command's fields wrongly: that is the texts' doing, not the module's. When the input holds
    // an apostrophe, those rules only warn; every other rule stays an error.
    if (std::memchr(data, '\'', size)) {
        for (const char* rule : {vorn_host::kRuleFieldContainsApostrophe, vorn_host::kRuleUnbalancedQuotes,
                                 vorn_host::kRuleMalformedCommand, vorn_host::kRuleUnknownCommand}) {
            std::string unused;
            module.rules.set(std::string(rule) + "=warning", unused);
        }
    }
    const std::string path = in.text();
    vorn_host::direct_script script(module, path.c_str());
    if (!script.created()) __builtin_trap();
    script.holdAnswers(true);
    play(script, in);
    script.remove();
    if (!script.clean()) {
        std::fputs(script.problems().c_str(), stderr);
        __builtin_trap();
    }
    return 0;
}
