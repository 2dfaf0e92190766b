#include "validate_command.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>

#include "checks.h"
#include "exit_status.h"
#include "isolated_run.h"
#include "text_files.h"
#include "validate_reports.h"

namespace vorn_host {

namespace {

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

// The arguments that run one check in a new vorn-host process, as the parent's were given.
std::vector<std::string> checkArguments(const validate_check& check, const validate_options& options,
                                        const check_context& context) {
    std::vector<std::string> arguments = {"validate",    options.module,
                                          "--run-check", check.id,
                                          "--seed",      std::to_string(context.seed),
                                          "--timeout",   std::to_string(context.timeLimitMs)};
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
        if (options.failAllocation)
            context.failingPoint = allocation_point{options.failAllocation, options.failFromThenOn};
        return runOneCheckHere(*selected, context, options.outcomeFile);
    }

    std::vector<check_result> results;
    for (const validate_check* check : *selected) {
        const auto start = std::chrono::steady_clock::now();
        context.checkArguments = checkArguments(*check, options, context);
        check_outcome outcome =
            runApart([&] { return check->run(context); }, context.checkArguments, context.timeLimitMs);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        results.push_back({check, std::move(outcome), took.count()});
    }
    if (options.json) {
        std::cout << asJson(results, options.module, context.seed).dump(2) << "\n";
    } else {
        printForPeople(results, options.module, context.seed);
    }
    if (!options.junitFile.empty() && !writeJunit(options.junitFile, results, context.seed)) {
        std::cerr << "vorn-host validate: cannot write " << options.junitFile << "\n";
        return kExitUnusable;
    }
    return anyFailed(results) ? kExitProblems : kExitClean;
}

}  // namespace vorn_host
