// vorn-host: loads a script module as a panel host does, plays a session against it, shows the
// exchange and checks the host contract; `validate` runs the named checks on a module.
// This file is the command line only: what each command does lives in the checker library.
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "exit_status.h"
#include "session_run.h"
#include "validate_command.h"

namespace {

using namespace vorn_host;

const char kFooter[] =
    "Without SESSION, actions are read from standard input, one a line.\n"
    "Exit status: 0 clean, 1 a failed expectation, breach or check, 2 unusable arguments or files.";

struct command_line {
    CLI::App app{"vorn-host: plays sessions against a script module and checks the host contract", "vorn-host"};
    session_run_options session;
    validate_options validate;
    CLI::App* rules = nullptr;
    CLI::App* validateCommand = nullptr;
    CLI::Option* web = nullptr;
    std::string webAddress;  // empty when --web names none
    CLI::Option* seed = nullptr;
    uint32_t seedValue = 0;
    bool version = false;
};

void addSessionOptions(command_line& line) {
    CLI::App& app = line.app;
    session_run_options& run = line.session;
    app.add_option("module", run.module, "the script module to load");
    app.add_option("session", run.sessionFile, "the session file to play");
    app.add_option("--path", run.player.path, "the path the script is created with (empty)");
    app.add_option("--instances", run.player.instances, "play on N script objects at once, interleaved")
        ->check(CLI::PositiveNumber);
    CLI::Option* repeat =
        app.add_option("--repeat", run.repeat, "load, play, delete and unload N times")->check(CLI::PositiveNumber);
    CLI::Option* quiet = app.add_flag_callback(
        "--quiet", [&run] { run.mode = output_mode::quiet; }, "show only failed expectations and breaches");
    app.add_flag_callback(
           "--json", [&run] { run.mode = output_mode::json; },
           "print the exchange and the breaches as one JSON document")
        ->excludes(quiet);
    app.add_option_function<std::vector<std::string>>(
        "--rule",
        [&run](const std::vector<std::string>& settings) {
            for (const std::string& setting : settings) {
                std::string error;
                if (!run.rules.set(setting, error)) throw CLI::ValidationError("--rule", error);
            }
        },
        "ID=error|warning|ignore: how much a contract rule weighs (see `vorn-host rules`)");
    app.add_option("--slow-callback-ms", run.player.slowCallbackMs, "a call into the module over N ms is slow")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--record", run.recordFile, "save the actions played, with what the module did, as a session");
    CLI::Option* update = app.add_flag("--update", run.update, "rewrite SESSION's expect and answer lines");
    app.add_option("--router", run.routers,
                   "DEVICE=videohub://HOST:PORT or DEVICE=ember://HOST:PORT/PATH: send DEVICE's routes to a router "
                   "(PATH: the matrix, 0.1.0)");
    app.add_option("--router-timeout-ms", run.routerTimeoutMs, "how long to wait for the router's word")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    line.web = app.add_option("--web", line.webAddress,
                              "after SESSION, serve a page that shows and plays the panels on ADDRESS:PORT "
                              "(127.0.0.1:8080; post /quit to end). Every request needs the run's token")
                   ->expected(0, 1);
    app.add_option("--web-token-file", run.webTokenFile, "the token in FILE's first line instead of a random one")
        ->needs(line.web);
    line.web->excludes(repeat)->excludes(update);
    app.add_flag("--version", line.version, "print the version and end");
}

void addValidateCommand(command_line& line) {
    validate_options& checks = line.validate;
    CLI::App* validate = line.app.add_subcommand("validate", "run the named checks on a module (see --list)");
    validate->add_option("module", checks.module, "the script module to check (not with --list)");
    validate->add_option("--panel-dir", checks.panelDirs, "also look for panel files here");
    line.seed = validate->add_option("--seed", line.seedValue, "the random session's seed (a new one each run)");
    validate->add_option("--include", checks.include, "run only these checks")->delimiter(',');
    validate->add_option("--exclude", checks.exclude, "leave these checks out")->delimiter(',');
    validate->add_flag("--list", checks.list, "name the checks and what each checks");
    validate->add_flag("--json", checks.json, "print the outcome as one JSON document");
    validate->add_option("--junit", checks.junitFile, "also write the outcome as a JUnit file");
    validate->add_option("--timeout", checks.timeLimitMs, "the processor time in ms a check may use")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    // How a check gets a process of its own, vorn-host started again: not for people.
    validate->add_option("--run-check", checks.runCheck)->group("");
    validate->add_option("--outcome-file", checks.outcomeFile)->group("")->needs("--run-check");
    CLI::Option* point =
        validate->add_option("--fail-allocation", checks.failAllocation)->group("")->needs("--run-check");
    validate->add_flag("--fail-from-then-on", checks.failFromThenOn)->group("")->needs(point);
    line.validateCommand = validate;
}

// The rules CLI11 cannot state: what a session run needs, whose module is required only when
// no command is named.
void checkSessionRules(const command_line& line) {
    const session_run_options& run = line.session;
    if (run.module.empty()) throw CLI::RequiredError("module");
    if (run.repeat > 1 && !run.sessionFile) throw CLI::ValidationError("--repeat", "needs a session file");
    if (run.update && (!run.sessionFile || run.player.instances > 1)) {
        throw CLI::ValidationError("--update", "needs a session file, played once on one instance");
    }
}

}  // namespace

int main(int argc, char** argv) {
    command_line line;
    line.app.footer(kFooter);
    line.app.allow_windows_style_options(false);  // "/path" is a path, as on every platform
    addSessionOptions(line);
    addValidateCommand(line);
    line.rules = line.app.add_subcommand("rules", "list the contract rules with their severities");
    line.app.require_subcommand(0, 1);
    try {
        line.app.parse(argc, argv);
        const bool commandNamed = line.version || line.rules->parsed() || line.validateCommand->parsed();
        if (!commandNamed) checkSessionRules(line);
        if (line.validateCommand->parsed() && !line.validate.list && line.validate.module.empty()) {
            throw CLI::RequiredError("module");
        }
    } catch (const CLI::ParseError& e) {
        return line.app.exit(e) == 0 ? kExitClean : kExitUnusable;
    }
    if (line.version) {
        std::cout << "vorn-host " << VORN_VERSION << "\n";
        return kExitClean;
    }
    if (line.validateCommand->parsed()) {
        if (*line.seed) line.validate.seed = line.seedValue;
        return runValidate(line.validate);
    }
    if (line.rules->parsed()) {
        for (const contract_rule& rule : contractRules()) {
            std::cout << rule.id << "  " << severityName(rule.severity) << "  " << rule.description << "\n";
        }
        return kExitClean;
    }
    if (*line.web)
        line.session.web = line.webAddress.empty() ? kWebHost + (":" + std::to_string(kWebPort)) : line.webAddress;
    return runSessions(line.session, std::cin, std::cout, std::cerr);
}
