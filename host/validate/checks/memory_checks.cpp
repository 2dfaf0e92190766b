// Checks of the module's memory, through the allocator this host puts under it: the process's
// operator new, and the module's own imports of the C allocation functions. A Windows DLL with
// a static C runtime imports none, and there these checks are skipped.
#include <string>
#include <vector>

#include "check_module.h"
#include "isolated_run.h"
#include "module_allocator.h"
#include "random_session.h"

namespace vorn_host {

namespace {

const unsigned long kMostAllocationPoints = 5000;
const char kReached[] = "reached";

// A session that takes a module through long texts, answers and timers.
std::string memorySession(const module_vocabulary& vocabulary) {
    const std::string longText(100, 'x');
    std::vector<std::string> lines;
    for (const auto& [panel, control] : vocabulary.controlsToExercise()) {
        lines.push_back("event " + panel + " " + control + " value=7");
        lines.push_back("event " + panel + " " + control + " value=" + longText);
    }
    for (const std::string& request : vocabulary.requests("12")) lines.push_back("request " + request);
    for (const std::string& request : vocabulary.settings(longText)) lines.push_back("request " + request);
    lines.push_back("request " + longText + "=" + longText);
    lines.push_back("timer 3");
    return joinLines(lines);
}

// Every request the module answers, with long values too, three times over.
std::vector<std::string> answeredRequests(const module_vocabulary& vocabulary) {
    const std::string longText(200, 'a');
    std::vector<std::string> texts = vocabulary.requests("12");
    for (const std::string& request : vocabulary.settings(longText)) texts.push_back(request);
    texts.push_back(longText + "=" + longText);
    return texts;
}

}  // namespace

check_outcome checkAnswersFreed(const check_context& context) {
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    if (!opened.library->allocationsWatched()) return check_outcome::skipped(kNotWatched);
    const std::vector<std::string> requests = answeredRequests(learnVocabulary(opened.setup));
    const long before = module_allocator::liveBlocks();
    std::string problems;
    {
        direct_script script(opened.setup, "");
        if (!script.created()) return check_outcome::failed(kNoScript);
        for (std::string text : requests) {
            for (int times = 0; times < 3; ++times) script.call("request " + text, &text[0], kCodeParameterRequest);
        }
        script.remove();
        if (!script.clean()) problems = firstLine(script.problems());
    }
    if (!problems.empty()) return check_outcome::failed(problems);
    const long held = module_allocator::liveBlocks() - before;
    if (held != 0) {
        return check_outcome::failed(std::to_string(held) +
                                     " blocks the module allocated were still held after delete");
    }
    return check_outcome::passed();
}

namespace {

// One play of the session with allocation N failing, alone or with every one after it too.
struct failing_run {
    std::string problems;  // the first, if the run broke a rule
    long held = 0;         // blocks held afterwards that were not before
    bool reached = false;  // whether the session made allocation N at all
};

enum class failing { none, one, fromThenOn };

failing_run playFailing(const module_setup& setup, const std::string& session, unsigned long n, failing mode) {
    switch (mode) {
    case failing::none:
        module_allocator::failAllocation(0);
        break;
    case failing::one:
        module_allocator::failAllocation(n);
        break;
    case failing::fromThenOn:
        module_allocator::failAllocationsFrom(n);
        break;
    }
    failing_run run;
    const long before = module_allocator::liveBlocks();
    {
        const played_session played = playSessionText(setup, session);
        if (!played.clean) run.problems = firstLine(played.problems);
    }
    run.reached = module_allocator::failureReached();
    module_allocator::failAllocation(0);
    run.held = module_allocator::liveBlocks() - before;
    return run;
}

// A failure may hold no more than the same session holds with nothing failed: what it holds
// then is answers-freed's to judge.
check_outcome judge(const failing_run& run, long heldWhenNothingFails) {
    if (!run.problems.empty()) return check_outcome::failed(run.problems);
    if (run.held > heldWhenNothingFails) {
        return check_outcome::failed(std::to_string(run.held - heldWhenNothingFails) + " blocks leaked");
    }
    return check_outcome::passed(run.reached ? kReached : "");
}

}  // namespace

// Fails allocation N inside the module, for N = 1, 2, ... until the session runs with nothing
// failed: first allocation N alone, then every allocation from N on, as when memory runs out.
// Each N runs in a process of its own, which must end cleanly, leak nothing and keep every rule:
// forked, or this program started again for that one point.
check_outcome checkAllocationFailure(const check_context& context) {
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    if (!opened.library->allocationsWatched()) return check_outcome::skipped(kNotWatched);
    if (!direct_script(opened.setup, "").created()) return check_outcome::failed(kNoScript);
    const std::string session = memorySession(learnVocabulary(opened.setup));
    module_setup setup = opened.setup;
    setup.factoryMayFail = true;
    // One way of failing allocation N; the same run once before counting, so that whatever the
    // runtime sets up once (on its first exception, say) is in place and does not count as the
    // module's.
    const auto failPoint = [&](unsigned long n, failing mode) {
        playFailing(setup, session, n, mode);
        const long heldWhenNothingFails = playFailing(setup, session, n, failing::none).held;
        return judge(playFailing(setup, session, n, mode), heldWhenNothingFails);
    };
    if (context.failingPoint) {
        return failPoint(context.failingPoint->n,
                         context.failingPoint->fromThenOn ? failing::fromThenOn : failing::one);
    }
    const auto isolated = [&](unsigned long n, failing mode) {
        std::vector<std::string> arguments = context.checkArguments;
        arguments.insert(arguments.end(), {"--fail-allocation", std::to_string(n)});
        if (mode == failing::fromThenOn) arguments.push_back("--fail-from-then-on");
        return runApart([&] { return failPoint(n, mode); }, arguments, context.timeLimitMs);
    };
    for (unsigned long n = 1; n <= kMostAllocationPoints; ++n) {
        const check_outcome alone = isolated(n, failing::one);
        if (alone.status != check_status::pass) {
            return check_outcome::failed("allocation " + std::to_string(n) + " failed: " + alone.reason, session);
        }
        const check_outcome onwards = isolated(n, failing::fromThenOn);
        if (onwards.status != check_status::pass) {
            return check_outcome::failed(
                "allocation " + std::to_string(n) + " and every one after it failed: " + onwards.reason, session);
        }
        if (alone.reason != kReached) {
            return check_outcome::passed(std::to_string(n - 1) +
                                         " allocation points, each failed alone and from then on");
        }
    }
    return check_outcome::passed("stopped after " + std::to_string(kMostAllocationPoints) + " allocation points");
}

}  // namespace vorn_host
