// vorn-host: loads a script module as a panel host does, plays a session against it, shows the
// exchange and checks the host contract.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "module_library.h"
#include "session.h"
#include "session_player.h"
#include "session_recorder.h"
#include "session_report.h"
#include "validate/validate_command.h"
#if defined(VORN_WEB_VIEW)
#  include "web/web_view.h"
#endif

#if defined(_WIN32)
#  include <io.h>
#  define isatty _isatty
#else
#  include <unistd.h>
#endif

namespace {

const int kExitClean = 0;
const int kExitProblems = 1;
const int kExitUnusable = 2;

const char kUsage[] =
    "usage: vorn-host MODULE [SESSION] [--path TEXT] [--instances N] [--repeat N] [--quiet | --json]\n"
    "       vorn-host validate MODULE [--panel-dir DIR] [--seed N] [--include IDS] [--exclude IDS]\n"
    "                              [--list] [--json] [--junit FILE] [--timeout MS]\n"
    "       vorn-host rules\n"
    "       vorn-host --version\n"
    "  Loads MODULE, creates its script with the path TEXT (default empty), plays SESSION (or\n"
    "  actions typed on standard input), deletes the script and shows the exchange.\n"
    "  --instances N  play on N script objects at once, interleaved\n"
    "  --repeat N     load, play, delete and unload the module N times\n"
    "  --quiet        show only failed expectations and contract breaches\n"
    "  --json         print the exchange and the breaches as one JSON document\n"
    "  --rule ID=error|warning|ignore   how much a contract rule weighs (vorn-host rules)\n"
    "  --slow-callback-ms N             a call into the module over N ms is slow (50)\n"
    "  --record FILE  save the actions played, with what the module did, as a session\n"
    "  --update       rewrite SESSION's expect and answer lines from what the module did\n"
    "  --web [ADDRESS:PORT]  after SESSION, serve a page that shows the panels, crosspoints and\n"
    "                 exchange, and plays what is clicked (127.0.0.1:8080; post /quit to end);\n"
    "                 every request needs the run's token, which the page carries, or which\n"
    "                 the printed address carries when ADDRESS is not loopback\n"
    "  --web-token-file FILE  the token in FILE's first line instead of a random one\n"
    "  --router DEVICE=videohub://HOST:PORT   send DEVICE's routes to a router speaking the\n"
    "                 Videohub protocol (--router-timeout-ms: how long to wait for its word)\n"
    "  Exit status: 0 clean, 1 failed expectation or breach, 2 unusable arguments or files.\n"
    "  validate runs named checks on MODULE, each in a process of its own (--list names them);\n"
    "  --timeout MS is the processor time a check may use (20000); exit 0 when every check\n"
    "  passes, 1 when one fails.\n";

const char kPrompt[] = "vorn-host> ";
// Where --web listens unless told: loopback only.
const char kWebHost[] = "127.0.0.1";
const int kWebPort = 8080;

struct arguments {
    std::string module;
    std::optional<std::string> session;
    player_options player;
    int repeat = 1;
    output_mode mode = output_mode::people;
    rule_settings rules;
    std::string recordFile;  // --record: the session played, with what the module did
    std::vector<std::string> routers;  // --router DEVICE=videohub://HOST:PORT
    std::optional<std::string> web;    // --web [ADDRESS:PORT]
    std::string webTokenFile;          // --web-token-file: a fixed token instead of a random one
    unsigned routerTimeoutMs = 2000;
    bool update = false;     // --update: rewrite the session's expect and answer lines
};

// What the command line asks for: a session (the default), the checks, or the version.
struct command_line {
    enum class what { session, validate, rules, version } run = what::session;
    arguments session;
    validate_options validate;
};

// Null, with the reason in `error` (empty for --help), when the arguments cannot be used.
std::optional<command_line> parseArguments(int argc, char** argv, std::string& error) {
    command_line parsed;
    arguments& args = parsed.session;
    std::vector<std::string> positional;
    bool quiet = false, json = false, version = false;

    CLI::App app("vorn-host");
    app.set_help_flag("-h,--help");
    app.allow_windows_style_options(false);  // "/path" is a path, as on every platform
    app.add_option("module-and-session", positional);
    app.add_option("--path", args.player.path);
    app.add_option("--instances", args.player.instances)->check(CLI::PositiveNumber);
    app.add_option("--repeat", args.repeat)->check(CLI::PositiveNumber);
    app.add_flag("--quiet", quiet);
    app.add_flag("--json", json);
    app.add_flag("--version", version);
    std::vector<std::string> ruleAssignments;
    app.add_option("--rule", ruleAssignments);
    app.add_option("--record", args.recordFile);
    app.add_flag("--update", args.update);
    app.add_option("--router", args.routers);
    std::string webAddress;
    CLI::Option* webOption = app.add_option("--web", webAddress)->expected(0, 1);
    app.add_option("--web-token-file", args.webTokenFile);
    app.add_option("--router-timeout-ms", args.routerTimeoutMs)->check(CLI::PositiveNumber);
    app.add_option("--slow-callback-ms", args.player.slowCallbackMs)->check(CLI::PositiveNumber);
    CLI::App* rules = app.add_subcommand("rules", "list the contract rules with their severities");

    validate_options& checks = parsed.validate;
    uint32_t seed = 0;
    CLI::App* validate = app.add_subcommand("validate", "run the named checks on a module");
    validate->add_option("module", checks.module);
    validate->add_option("--panel-dir", checks.panelDirs);
    CLI::Option* seedOption = validate->add_option("--seed", seed);
    validate->add_option("--include", checks.include)->delimiter(',');
    validate->add_option("--exclude", checks.exclude)->delimiter(',');
    validate->add_flag("--list", checks.list);
    validate->add_flag("--json", checks.json);
    validate->add_option("--junit", checks.junitFile);
    validate->add_option("--timeout", checks.timeLimitMs)->check(CLI::PositiveNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        error = "";
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return std::nullopt;
    }
    if (rules->parsed()) {
        parsed.run = command_line::what::rules;
        return parsed;
    }
    for (const std::string& assignment : ruleAssignments) {
        if (!args.rules.set(assignment, error)) return std::nullopt;
    }
    if (validate->parsed()) {
        parsed.run = command_line::what::validate;
        if (*seedOption) checks.seed = seed;
        return parsed;
    }
    if (version) {
        parsed.run = command_line::what::version;
        return parsed;
    }
    if (quiet && json) {
        error = "--quiet and --json exclude each other";
        return std::nullopt;
    }
    if (*webOption) args.web = webAddress.empty() ? kWebHost + (":" + std::to_string(kWebPort)) : webAddress;
    if (args.web && (args.repeat > 1 || args.update)) {
        error = "--web plays on, so it goes with neither --repeat nor --update";
        return std::nullopt;
    }
    if (quiet) args.mode = output_mode::quiet;
    if (json) args.mode = output_mode::json;
    if (positional.empty() || positional.size() > 2) {
        error = "expected a module and at most one session";
        return std::nullopt;
    }
    args.module = positional[0];
    if (positional.size() == 2) args.session = positional[1];
    if (!args.session && args.repeat > 1) {
        error = "--repeat needs a session file";
        return std::nullopt;
    }
    if (args.update && (!args.session || args.repeat > 1 || args.player.instances > 1)) {
        error = "--update needs a session file, played once on one instance";
        return std::nullopt;
    }
    return parsed;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::optional<std::vector<std::string>> readLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream file(path, std::ios::binary);
    file << joined(lines);
    return static_cast<bool>(file);
}

std::vector<session_action> withoutExpectations(const std::vector<session_action>& actions) {
    std::vector<session_action> kept;
    for (const session_action& action : actions) {
        if (!action.isExpectation()) kept.push_back(action);
    }
    return kept;
}

// The module, or null after saying why it did not load.
std::unique_ptr<module_library> openModule(const std::string& path) {
    std::string error;
    std::unique_ptr<module_library> module = module_library::open(path, error);
    if (!module) std::cerr << "vorn-host: " << path << ": " << error << "\n";
    return module;
}

int playSession(const arguments& args, const std::vector<session_action>& actions, session_report& report) {
    for (int run = 1; run <= args.repeat; ++run) {
        if (args.repeat > 1) report.note("run " + std::to_string(run) + " of " + std::to_string(args.repeat));
        const std::unique_ptr<module_library> module = openModule(args.module);
        if (!module) return kExitUnusable;
        session_player player(module->factory(), args.player, report);
        for (const session_action& action : actions) player.play(action);
        player.finish();
    }
    return report.clean() ? kExitClean : kExitProblems;
}

// Plays the session's actions, then what is clicked on the page, until the page ends it.
int playOnTheWeb(const arguments& args, const std::vector<session_action>& actions, session_report& report) {
#if defined(VORN_WEB_VIEW)
    const std::unique_ptr<module_library> module = openModule(args.module);
    if (!module) return kExitUnusable;
    web_door door;
    const size_t colon = args.web->rfind(':');
    door.listenHost = colon == std::string::npos ? *args.web : args.web->substr(0, colon);
    door.port = colon == std::string::npos ? kWebPort : std::atoi(args.web->c_str() + colon + 1);
    std::string error;
    door.token = args.webTokenFile.empty() ? newToken() : tokenFromFile(args.webTokenFile, error);
    if (door.token.empty()) {
        std::cerr << "vorn-host: " << error << "\n";
        return kExitUnusable;
    }
    session_player player(module->factory(), args.player, report);
    for (const session_action& action : actions) player.play(action);
    if (!serveWeb(player, report, door, std::cout, std::cerr)) return kExitUnusable;
    player.finish();
    return report.clean() ? kExitClean : kExitProblems;
#else
    (void)actions;
    (void)report;
    std::cerr << "vorn-host: --web " << *args.web << ": this vorn-host was built without the browser view\n";
    return kExitUnusable;
#endif
}

int playInteractively(const arguments& args, session_report& report) {
    const std::unique_ptr<module_library> module = openModule(args.module);
    if (!module) return kExitUnusable;
    const bool terminal = isatty(0);
    session_player player(module->factory(), args.player, report);
    std::string line;
    for (int number = 1;; ++number) {
        if (terminal) std::cout << kPrompt << std::flush;
        if (!std::getline(std::cin, line)) break;
        const parsed_line parsed = parseSessionLine(line, number);
        if (!parsed.error.empty()) {
            std::cerr << "vorn-host: " << parsed.error << "\n";
            continue;
        }
        if (parsed.action) player.play(*parsed.action);
    }
    player.finish();
    return report.clean() ? kExitClean : kExitProblems;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<command_line> parsed = parseArguments(argc, argv, error);
    if (!parsed) {
        if (!error.empty()) std::cerr << "vorn-host: " << error << "\n";
        std::cerr << kUsage;
        return kExitUnusable;
    }
    if (parsed->run == command_line::what::version) {
        std::cout << "vorn-host " << VORN_VERSION << "\n";
        return kExitClean;
    }
    if (parsed->run == command_line::what::validate) return runValidate(parsed->validate);
    if (parsed->run == command_line::what::rules) {
        for (const contract_rule& rule : contractRules()) {
            std::cout << rule.id << "  " << severityName(rule.severity) << "  " << rule.description << "\n";
        }
        return kExitClean;
    }
    arguments* args = &parsed->session;
    args->player.panelDirs = {directoryOf(args->module)};
    session_recorder recorder;
    if (!args->recordFile.empty() || args->update) args->player.recorder = &recorder;
    router_links routers;
    for (const std::string& assignment : args->routers) {
        if (!routers.add(assignment, args->routerTimeoutMs, error)) {
            std::cerr << "vorn-host: " << error << "\n";
            return kExitUnusable;
        }
    }
    args->player.routers = &routers;

    session_report report(std::cout, args->mode, args->rules);
    int status = kExitClean;
    if (args->session) {
        const std::optional<std::vector<std::string>> lines = readLines(*args->session);
        if (!lines) {
            std::cerr << "vorn-host: " << *args->session << ": cannot read the session file\n";
            return kExitUnusable;
        }
        std::istringstream text(joined(*lines));
        std::optional<std::vector<session_action>> actions = readSession(text, *args->session, error);
        if (!actions) {
            std::cerr << "vorn-host: " << error << "\n";
            return kExitUnusable;
        }
        // An update plays the actions alone: the expectations are what it rewrites.
        if (args->update) actions = withoutExpectations(*actions);
        args->player.panelDirs.push_back(directoryOf(*args->session));
        args->player.panelDirs.push_back(".");
        status = args->web ? playOnTheWeb(*args, *actions, report) : playSession(*args, *actions, report);
        if (args->update && status != kExitUnusable) {
            const std::vector<std::string> updated = recorder.updated(*lines);
            std::cout << lineDiff(*lines, updated);
            if (!writeLines(*args->session, updated)) {
                std::cerr << "vorn-host: " << *args->session << ": cannot write the session file\n";
                return kExitUnusable;
            }
        }
    } else {
        args->player.panelDirs.push_back(".");
        status = args->web ? playOnTheWeb(*args, {}, report) : playInteractively(*args, report);
    }
    report.finish();
    if (!args->recordFile.empty() && !writeLines(args->recordFile, recorder.lines())) {
        std::cerr << "vorn-host: " << args->recordFile << ": cannot write the session file\n";
        return kExitUnusable;
    }
    return status;
}
