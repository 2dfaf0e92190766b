#include "session_run.h"

#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

#include "exit_status.h"
#include "module_library.h"
#include "session.h"
#include "session_recorder.h"
#include "terminal.h"
#include "text_files.h"
#include "web_view.h"

namespace vorn_host {

namespace {

const char kPrompt[] = "vorn-host> ";

// The next action to play, or nothing when there are no more.
using action_source = std::function<std::optional<session_action>()>;

action_source listed(const std::vector<session_action>& actions) {
    return [&actions, next = size_t{0}]() mutable -> std::optional<session_action> {
        if (next == actions.size()) return std::nullopt;
        return actions[next++];
    };
}

// Lines typed on `in`, with a prompt when it is a terminal; a line that does not parse is
// reported and skipped.
action_source typed(std::istream& in, std::ostream& out, std::ostream& err) {
    const bool terminal = &in == &std::cin && standardInputIsTerminal();
    return [&in, &out, &err, terminal, number = 0]() mutable -> std::optional<session_action> {
        std::string line;
        while (true) {
            if (terminal) out << kPrompt << std::flush;
            if (!std::getline(in, line)) return std::nullopt;
            const parsed_line parsed = parseSessionLine(line, ++number);
            if (!parsed.error.empty()) err << "vorn-host: " << parsed.error << "\n";
            if (parsed.action) return parsed.action;
        }
    };
}

std::vector<session_action> withoutExpectations(const std::vector<session_action>& actions) {
    std::vector<session_action> kept;
    for (const session_action& action : actions) {
        if (!action.isExpectation()) kept.push_back(action);
    }
    return kept;
}

// The one play loop: each run loads the module, plays what the source gives, serves the page
// when asked, and deletes the scripts and unloads the module.
int play(const session_run_options& options, const std::function<action_source()>& actionsOfRun, session_report& report,
         std::ostream& out, std::ostream& err) {
    for (int run = 1; run <= options.repeat; ++run) {
        if (options.repeat > 1) report.note("run " + std::to_string(run) + " of " + std::to_string(options.repeat));
        std::string error;
        const std::unique_ptr<module_library> module = module_library::open(options.module, error);
        if (!module) {
            err << "vorn-host: " << options.module << ": " << error << "\n";
            return kExitUnusable;
        }
        session_player player(module->factory(), options.player, report);
        const action_source next = actionsOfRun();
        while (const std::optional<session_action> action = next()) player.play(*action);
        if (options.web) {
            std::string error;
            const std::optional<web_door> door = doorFor(*options.web, options.webTokenFile, error);
            if (!door) err << "vorn-host: " << error << "\n";
            if (!door || !serveWeb(player, report, *door, out, err)) return kExitUnusable;
        }
        player.finish();
    }
    return report.clean() ? kExitClean : kExitProblems;
}

// Every action of the session file; the lines are kept for --update.
std::optional<std::vector<session_action>> readSessionFile(const std::string& path, std::vector<std::string>& lines,
                                                           std::ostream& err) {
    const auto read = readLines(path);
    if (!read) {
        err << "vorn-host: " << path << ": cannot read the session file\n";
        return std::nullopt;
    }
    lines = *read;
    std::istringstream text(joinLines(lines));
    std::string error;
    auto actions = readSession(text, path, error);
    if (!actions) err << "vorn-host: " << error << "\n";
    return actions;
}

}  // namespace

int runSessions(session_run_options options, std::istream& in, std::ostream& out, std::ostream& err) {
    options.player.panelDirs = {directoryOf(options.module)};
    session_recorder recorder;
    if (!options.recordFile.empty() || options.update) options.player.recorder = &recorder;
    router_links routers;
    for (const std::string& assignment : options.routers) {
        std::string error;
        if (!routers.add(assignment, options.routerTimeoutMs, error)) {
            err << "vorn-host: " << error << "\n";
            return kExitUnusable;
        }
    }
    options.player.routers = &routers;

    session_report report(out, options.mode, options.rules);
    std::vector<std::string> lines;
    std::optional<std::vector<session_action>> actions;
    if (options.sessionFile) {
        actions = readSessionFile(*options.sessionFile, lines, err);
        if (!actions) return kExitUnusable;
        // An update plays the actions alone: the expectations are what it rewrites.
        if (options.update) actions = withoutExpectations(*actions);
        options.player.panelDirs.push_back(directoryOf(*options.sessionFile));
    }
    options.player.panelDirs.push_back(".");
    const std::vector<session_action> none;
    const auto actionsOfRun = [&]() -> action_source {
        if (actions) return listed(*actions);
        return options.web ? listed(none) : typed(in, out, err);
    };
    const int status = play(options, actionsOfRun, report, out, err);
    if (options.update && status != kExitUnusable) {
        const std::vector<std::string> updated = recorder.updated(lines);
        out << lineDiff(lines, updated);
        if (!writeLines(*options.sessionFile, updated)) {
            err << "vorn-host: " << *options.sessionFile << ": cannot write the session file\n";
            return kExitUnusable;
        }
    }
    report.finish();
    if (!options.recordFile.empty() && !writeLines(options.recordFile, recorder.lines())) {
        err << "vorn-host: " << options.recordFile << ": cannot write the session file\n";
        return kExitUnusable;
    }
    return status;
}

}  // namespace vorn_host
