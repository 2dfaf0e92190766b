// Checks over whole sessions: interleaved instances, repeated loading, and random sessions.
#include <string>
#include <vector>

#include "check_module.h"
#include "event_record.h"
#include "isolated_run.h"
#include "module_allocator.h"
#include "module_imports.h"
#include "random_session.h"

namespace vorn_host {

namespace {

const int kInstances = 3;
// Instances that only answer requests are compared on requests alone: the check says so.
const char kNoControls[] =
    "the module showed no panel whose file (beside the module, or in --panel-dir) lists a control: "
    "control events not exercised";
const int kLoads = 100;
const char kStaysLoaded[] =
    "the module stays in the process after it is unloaded, so a new load keeps the old one's statics "
    "(GNU unique symbols keep a module: build with -fno-gnu-unique)";
const unsigned kRandomLines = 60;

// The actions of one instance, each with values of that instance's own: its name, every parameter
// it names, and a value of its own for every control it picks.
struct instance_action {
    bool isRequest;
    std::string panel, control, text;
};

std::vector<instance_action> actionsOf(int instance, const module_vocabulary& vocabulary) {
    const std::string own = std::to_string(11 + 10 * instance);
    const std::vector<panel_control>& controls = vocabulary.shownControls;
    std::vector<instance_action> actions;
    for (const std::string& setting : vocabulary.settings(own)) actions.push_back({true, "", "", setting});
    for (int round = 0; round < 2; ++round) {
        for (size_t c = 0; c < controls.size(); ++c) {
            actions.push_back({false, controls[c].first, controls[c].second,
                               "value=" + std::to_string(11 + 10 * instance + static_cast<int>(c))});
        }
    }
    for (const std::string& request : vocabulary.requests(own)) actions.push_back({true, "", "", request});
    return actions;
}

void perform(direct_script& script, const instance_action& action) {
    if (action.isRequest) {
        std::string text = action.text;
        script.call("request " + text, &text[0], kCodeParameterRequest);
        return;
    }
    event_record event(action.panel, action.control, action.text);
    script.call("event", event.record(), kCodeControlEvent);
}

std::string quoted(const std::vector<std::string>& commands, size_t at) {
    return at < commands.size() ? "\"" + commands[at] + "\"" : "nothing";
}

}  // namespace

check_outcome checkInstancesSeparate(const check_context& context) {
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    const module_vocabulary vocabulary = learnVocabulary(opened.setup);
    if (vocabulary.shownControls.empty()) return check_outcome::skipped(kNoControls);

    std::vector<std::unique_ptr<direct_script>> together;
    std::vector<std::vector<instance_action>> actions;
    for (int i = 0; i < kInstances; ++i) {
        together.push_back(std::make_unique<direct_script>(opened.setup, ""));
        if (!together.back()->created()) return check_outcome::failed(kNoScript);
        actions.push_back(actionsOf(i, vocabulary));
    }
    for (size_t a = 0; a < actions[0].size(); ++a) {
        for (int i = 0; i < kInstances; ++i) perform(*together[i], actions[i][a]);
    }
    for (int i = 0; i < kInstances; ++i) {
        together[i]->remove();
        if (!together[i]->clean()) return check_outcome::failed(firstLine(together[i]->problems()));
        direct_script alone(opened.setup, "");
        for (const instance_action& action : actions[i]) perform(alone, action);
        alone.remove();
        const std::vector<std::string> mixed = together[i]->sent(), own = alone.sent();
        for (size_t k = 0; k < mixed.size() || k < own.size(); ++k) {
            if (k < mixed.size() && k < own.size() && mixed[k] == own[k]) continue;
            return check_outcome::failed(std::string("instance ").append(std::to_string(i)) + " sent " +
                                         quoted(mixed, k) + " among others where it sends " + quoted(own, k) +
                                         " alone");
        }
    }
    return check_outcome::passed();
}

// Each load after the first must leave the host's memory as it found it: what the first leaves
// may be the runtime's own one-time setup.
check_outcome checkLoadUnload(const check_context& context) {
    long afterFirst = 0;
    bool watched = false;
    for (int load = 1; load <= kLoads; ++load) {
        {
            const opened_module opened = openModule(context);
            if (!opened.library) return check_outcome::failed("load " + std::to_string(load) + ": " + opened.error);
            watched = opened.library->allocationsWatched();
            direct_script script(opened.setup, "");
            if (!script.created()) return check_outcome::failed("load " + std::to_string(load) + ": " + kNoScript);
            script.remove();
            if (!script.clean())
                return check_outcome::failed("load " + std::to_string(load) + ": " + firstLine(script.problems()));
        }
        if (load == 1) afterFirst = module_allocator::liveBlocks();
        if (module_imports::isLoaded(context.modulePath)) return check_outcome::failed(kStaysLoaded);
    }
    const long leftBehind = module_allocator::liveBlocks() - afterFirst;
    if (watched && leftBehind > 0) {
        return check_outcome::failed(std::to_string(leftBehind) + " blocks were left behind by " +
                                     std::to_string(kLoads - 1) + " loads after the first");
    }
    return check_outcome::passed();
}

// A session from the seed, played in a process of its own; a failing one is cut down to the
// shortest part that still fails, which is what the check reports.
check_outcome checkRandomSession(const check_context& context) {
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    const std::string seed = "seed " + std::to_string(context.seed);
    const auto lines = randomSessionLines(context.seed, learnVocabulary(opened.setup), kRandomLines);
    const auto play = [&](const std::vector<std::string>& session) {
        return runIsolated(
            [&] {
                const played_session played = playSessionText(opened.setup, joinLines(session));
                return played.clean ? check_outcome::passed() : check_outcome::failed(firstLine(played.problems));
            },
            context.timeLimitMs);
    };
    const check_outcome whole = play(lines);
    if (whole.status == check_status::pass) return check_outcome::passed(seed);
    const auto shortest = shortestFailing(
        lines, [&](const std::vector<std::string>& session) { return play(session).status == check_status::fail; });
    return check_outcome::failed(seed + ": " + play(shortest).reason, joinLines(shortest));
}

}  // namespace vorn_host
