// vorn-host: loads a script module as a panel host does, plays a session against it, shows the
// exchange and checks the host contract.
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "module_library.h"
#include "session.h"
#include "session_player.h"
#include "session_report.h"

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
    "       vorn-host --version\n"
    "  Loads MODULE, creates its script with the path TEXT (default empty), plays SESSION (or\n"
    "  actions typed on standard input), deletes the script and shows the exchange.\n"
    "  --instances N  play on N script objects at once, interleaved\n"
    "  --repeat N     load, play, delete and unload the module N times\n"
    "  --quiet        show only failed expectations and contract breaches\n"
    "  --json         print the exchange and the breaches as one JSON document\n"
    "  Exit status: 0 clean, 1 failed expectation or breach, 2 unusable arguments or files.\n";

const char kPrompt[] = "vorn-host> ";

struct arguments {
    std::string module;
    std::optional<std::string> session;
    player_options player;
    int repeat = 1;
    output_mode mode = output_mode::people;
};

std::optional<int> positiveNumber(const std::string& text) {
    try {
        size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value > 0) return value;
    } catch (...) {
    }
    return std::nullopt;
}

// Null, with the reason in `error`, when the arguments cannot be used.
std::optional<arguments> parseArguments(int argc, char** argv, std::string& error) {
    arguments args;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--path" || arg == "--instances" || arg == "--repeat";
        if (takesValue && i + 1 >= argc) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (arg == "--path") {
            args.player.path = argv[++i];
        } else if (arg == "--instances" || arg == "--repeat") {
            const std::optional<int> n = positiveNumber(argv[++i]);
            if (!n) {
                error = arg + " needs a whole number above 0";
                return std::nullopt;
            }
            (arg == "--instances" ? args.player.instances : args.repeat) = *n;
        } else if (arg == "--quiet") {
            args.mode = output_mode::quiet;
        } else if (arg == "--json") {
            args.mode = output_mode::json;
        } else if (arg == "--help" || arg == "-h") {
            error = "";
            return std::nullopt;
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
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
    return args;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

int playSession(const arguments& args, const std::vector<session_action>& actions, session_report& report) {
    for (int run = 1; run <= args.repeat; ++run) {
        if (args.repeat > 1) report.note("run " + std::to_string(run) + " of " + std::to_string(args.repeat));
        std::string error;
        const std::unique_ptr<module_library> module = module_library::open(args.module, error);
        if (!module) {
            std::cerr << "vorn-host: " << args.module << ": " << error << "\n";
            return kExitUnusable;
        }
        session_player player(module->factory(), args.player, report);
        for (const session_action& action : actions) player.play(action);
        player.finish();
    }
    return report.clean() ? kExitClean : kExitProblems;
}

int playInteractively(const arguments& args, session_report& report) {
    std::string error;
    const std::unique_ptr<module_library> module = module_library::open(args.module, error);
    if (!module) {
        std::cerr << "vorn-host: " << args.module << ": " << error << "\n";
        return kExitUnusable;
    }
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
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "vorn-host " << VORN_VERSION << "\n";
        return kExitClean;
    }
    std::string error;
    std::optional<arguments> args = parseArguments(argc, argv, error);
    if (!args) {
        if (!error.empty()) std::cerr << "vorn-host: " << error << "\n";
        std::cerr << kUsage;
        return kExitUnusable;
    }
    args->player.panelDirs = {directoryOf(args->module)};

    session_report report(std::cout, args->mode);
    int status = kExitClean;
    if (args->session) {
        std::ifstream file(*args->session, std::ios::binary);
        if (!file) {
            std::cerr << "vorn-host: " << *args->session << ": cannot read the session file\n";
            return kExitUnusable;
        }
        const std::optional<std::vector<session_action>> actions = readSession(file, *args->session, error);
        if (!actions) {
            std::cerr << "vorn-host: " << error << "\n";
            return kExitUnusable;
        }
        args->player.panelDirs.push_back(directoryOf(*args->session));
        args->player.panelDirs.push_back(".");
        status = playSession(*args, *actions, report);
    } else {
        args->player.panelDirs.push_back(".");
        status = playInteractively(*args, report);
    }
    report.finish();
    return status;
}
