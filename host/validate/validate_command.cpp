#include "validate_command.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>

#include <nlohmann/json.hpp>

#include "check_process.h"
#include "checks.h"
#include "exit_status.h"
#include "text_files.h"
#include "isolated_run.h"

namespace vorn_host {

namespace {


struct check_result {
    const validate_check* check;
    check_outcome outcome;
    double seconds;
};

bool listed(const std::vector<std::string>& ids, const char* id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The checks that --include and --exclude select, or null naming an unknown id in `error`.
std::optional<std::vector<const validate_check*>> selectChecks(const validate_options& options, std::string& error) {
    for (const auto* ids : {&options.include, &options.exclude}) {
        for (const std::string& id : *ids) {
            const auto& all = validateChecks();
            if (std::none_of(all.begin(), all.end(), [&](const validate_check& c) { return id == c.id; })) {
                error = "no check named " + id + " (vorn-host validate --list)";
                return std::nullopt;
            }
        }
    }
    std::vector<const validate_check*> selected;
    for (const validate_check& check : validateChecks()) {
        if (!options.include.empty() && !listed(options.include, check.id)) continue;
        if (listed(options.exclude, check.id)) continue;
        selected.push_back(&check);
    }
    return selected;
}

uint32_t seedFromClock() {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// A failing check's session, kept beside the run for `vorn-host MODULE SESSION`.
std::string writeSession(const check_result& result, uint32_t seed) {
    const std::string file = std::string("vorn-host-") + result.check->id + "-" + std::to_string(seed) + ".session";
    std::ofstream out(file);
    out << "# " << result.check->id << ", seed " << seed << ": " << result.outcome.reason << "\n"
        << result.outcome.session;
    return out ? file : "";
}

void printForPeople(const std::vector<check_result>& results, const validate_options& options, uint32_t seed) {
    int failed = 0, skipped = 0;
    for (const check_result& r : results) {
        const check_outcome& o = r.outcome;
        std::cout << (o.status == check_status::pass ? "PASS " : o.status == check_status::skip ? "SKIP " : "FAIL ")
                  << r.check->id << ": " << r.check->description;
        if (!o.reason.empty()) std::cout << " (" << o.reason << ")";
        std::cout << "\n";
        if (o.status == check_status::skip) ++skipped;
        if (o.status != check_status::fail) continue;
        ++failed;
        std::cout << "     hint: " << r.check->hint << "\n";
        if (o.session.empty()) continue;
        std::cout << "     session that reproduces it (replay: --seed " << seed << "):\n";
        const std::string file = writeSession(r, seed);
        std::cout << o.session;
        if (!file.empty()) std::cout << "     written to " << file << "; run: vorn-host " << options.module << " " << file << "\n";
    }
    std::cout << results.size() << " checks: " << results.size() - failed - skipped << " passed, " << failed
              << " failed, " << skipped << " skipped (seed " << seed << ")\n";
}

nlohmann::json asJson(const std::vector<check_result>& results, const validate_options& options, uint32_t seed) {
    nlohmann::json checks = nlohmann::json::array();
    for (const check_result& r : results) {
        checks.push_back({{"id", r.check->id}, {"description", r.check->description},
                          {"status", statusName(r.outcome.status)}, {"reason", r.outcome.reason},
                          {"hint", r.check->hint}, {"session", r.outcome.session}, {"seconds", r.seconds}});
    }
    const bool passed = std::none_of(results.begin(), results.end(),
                                     [](const check_result& r) { return r.outcome.status == check_status::fail; });
    return {{"module", options.module}, {"seed", seed}, {"passed", passed}, {"checks", checks}};
}

std::string xmlText(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (c < 0x20 && c != '\n' && c != '\t') {
                out += '?';
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

bool writeJunit(const std::string& file, const std::vector<check_result>& results, uint32_t seed) {
    int failures = 0, skipped = 0;
    double seconds = 0;
    for (const check_result& r : results) {
        failures += r.outcome.status == check_status::fail;
        skipped += r.outcome.status == check_status::skip;
        seconds += r.seconds;
    }
    std::ofstream out(file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuites>\n<testsuite name=\"vorn-host validate\" tests=\"" << results.size() << "\" failures=\""
        << failures << "\" errors=\"0\" skipped=\"" << skipped << "\" time=\"" << seconds << "\">\n"
        << "  <properties><property name=\"seed\" value=\"" << seed << "\"/></properties>\n";
    for (const check_result& r : results) {
        out << "  <testcase classname=\"validate\" name=\"" << r.check->id << "\" time=\"" << r.seconds << "\">";
        if (r.outcome.status == check_status::fail) {
            out << "<failure message=\"" << xmlText(r.outcome.reason) << "\">" << xmlText(r.check->hint)
                << (r.outcome.session.empty() ? "" : "\n" + xmlText(r.outcome.session)) << "</failure>";
        } else if (r.outcome.status == check_status::skip) {
            out << "<skipped message=\"" << xmlText(r.outcome.reason) << "\"/>";
        }
        out << "</testcase>\n";
    }
    out << "</testsuite>\n</testsuites>\n";
    return static_cast<bool>(out);
}

// The arguments that run one check in a new vorn-host process, as the parent's were given.
std::vector<std::string> checkArguments(const validate_check& check, const validate_options& options,
                                        const check_context& context) {
    std::vector<std::string> arguments = {"validate", options.module, "--run-check", check.id,
                                          "--seed", std::to_string(context.seed),
                                          "--timeout", std::to_string(context.timeLimitMs)};
    for (const std::string& folder : options.panelDirs) {
        arguments.push_back("--panel-dir");
        arguments.push_back(folder);
    }
    return arguments;
}

// In that process: the one check, its outcome written for the parent.
int runOneCheckHere(const std::vector<const validate_check*>& selected, const check_context& context,
                    const std::string& outcomeFile) {
    endOnUnhandledException();
    if (selected.size() != 1 || outcomeFile.empty()) {
        std::cerr << "vorn-host validate: --run-check needs one check's id and --outcome-file\n";
        return kExitUnusable;
    }
    const check_outcome outcome = runHere([&] { return selected.front()->run(context); });
    std::ofstream file(outcomeFile, std::ios::binary);
    file << encodeOutcome(outcome);
    return file ? kExitClean : kExitUnusable;
}

}  // namespace

int runValidate(const validate_options& options) {
    std::string error;
    validate_options chosen = options;
    if (!options.runCheck.empty()) chosen.include = {options.runCheck}, chosen.exclude.clear();
    const auto selected = selectChecks(chosen, error);
    if (!selected) {
        std::cerr << "vorn-host validate: " << error << "\n";
        return kExitUnusable;
    }
    if (options.list) {
        for (const validate_check* check : *selected) std::cout << check->id << "  " << check->description << "\n";
        return kExitClean;
    }
    if (options.module.empty()) {
        std::cerr << "vorn-host validate: a module is needed\n";
        return kExitUnusable;
    }
    check_context context;
    context.modulePath = options.module;
    context.panelDirs = options.panelDirs;
    context.panelDirs.push_back(directoryOf(options.module));
    context.seed = options.seed ? *options.seed : seedFromClock();
    context.timeLimitMs = options.timeLimitMs;

    if (!options.runCheck.empty()) {
        context.checkArguments = checkArguments(*selected->front(), options, context);
        if (options.failAllocation) context.failingPoint = allocation_point{options.failAllocation, options.failFromThenOn};
        return runOneCheckHere(*selected, context, options.outcomeFile);
    }

    std::vector<check_result> results;
    for (const validate_check* check : *selected) {
        const auto start = std::chrono::steady_clock::now();
        context.checkArguments = checkArguments(*check, options, context);
        check_outcome outcome = runApart([&] { return check->run(context); }, context.checkArguments, context.timeLimitMs);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        results.push_back({check, std::move(outcome), took.count()});
    }
    if (options.json) {
        std::cout << asJson(results, options, context.seed).dump(2) << "\n";
    } else {
        printForPeople(results, options, context.seed);
    }
    if (!options.junitFile.empty() && !writeJunit(options.junitFile, results, context.seed)) {
        std::cerr << "vorn-host validate: cannot write " << options.junitFile << "\n";
        return kExitUnusable;
    }
    const bool failed = std::any_of(results.begin(), results.end(),
                                    [](const check_result& r) { return r.outcome.status == check_status::fail; });
    return failed ? kExitProblems : kExitClean;
}

}  // namespace vorn_host
