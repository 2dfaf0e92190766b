// Checks of the module's memory, through the allocator this host puts under it. A Windows DLL
// carries an allocator of its own, so there these checks are skipped.
#include <string>
#include <vector>

#include "check_module.h"
#include "isolated_run.h"
#include "module_allocator.h"
#include "random_session.h"

namespace {

#if defined(_WIN32)
const bool kAllocatorWatched = false;
#else
const bool kAllocatorWatched = true;
#endif
const char kNotWatched[] = "a Windows DLL allocates with its own runtime, which the host cannot watch";

const unsigned long kMostAllocationPoints = 5000;
const char kReached[] = "reached";

// A session that takes a module through long texts, answers and timers.
std::string memorySession(const module_setup& setup) {
    const std::string longText(100, 'x');
    std::vector<std::string> lines;
    for (const auto& [panel, control] : shownControls(setup)) {
        lines.push_back("event " + panel + " " + control + " value=7");
        lines.push_back("event " + panel + " " + control + " value=" + longText);
    }
    for (const char* request : {"RouterDeviceNo=12", "return=all", "return=RouterDeviceNo", "_events", "_commands"}) {
        lines.push_back(std::string("request ") + request);
    }
    lines.push_back("request instance=" + longText);
    lines.push_back("request " + longText + "=" + longText);
    lines.push_back("timer 3");
    return joinLines(lines);
}

}  // namespace

check_outcome checkAnswersFreed(const check_context& context) {
    if (!kAllocatorWatched) return check_outcome::skipped(kNotWatched);
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    const std::string longText(200, 'a');
    const long before = module_allocator::liveBlocks();
    std::string problems;
    {
        direct_script script(opened.setup, "");
        for (std::string text : {std::string("return=all"), std::string("return=RouterDeviceNo"),
                                 std::string("_events"), std::string("_commands"), "instance=" + longText,
                                 longText + "=" + longText}) {
            for (int times = 0; times < 3; ++times) script.call("request " + text, &text[0], kCodeParameterRequest);
        }
        script.remove();
        if (!script.clean()) problems = firstLine(script.problems());
    }
    if (!problems.empty()) return check_outcome::failed(problems);
    const long held = module_allocator::liveBlocks() - before;
    if (held != 0) {
        return check_outcome::failed(std::to_string(held) + " blocks the module allocated were still held after delete");
    }
    return check_outcome::passed();
}

// Fails allocation N inside the module, for N = 1, 2, ... until the session runs with nothing
// failed: each run in a process of its own, which must end cleanly, leak nothing and keep every
// rule.
check_outcome checkAllocationFailure(const check_context& context) {
    if (!kAllocatorWatched) return check_outcome::skipped(kNotWatched);
    const opened_module opened = openModule(context);
    if (!opened.library) return check_outcome::failed(opened.error);
    const std::string session = memorySession(opened.setup);
    module_setup failing = opened.setup;
    failing.factoryMayFail = true;
    for (unsigned long n = 1; n <= kMostAllocationPoints; ++n) {
        const check_outcome run = runIsolated(
            [&] {
                // The same run once before counting, so that whatever the runtime sets up once (on
                // its first exception, say) is in place and does not count as the module's.
                module_allocator::failAllocation(n);
                playSessionText(failing, session);
                const long before = module_allocator::liveBlocks();
                module_allocator::failAllocation(n);
                std::string problems;
                {
                    const played_session played = playSessionText(failing, session);
                    if (!played.clean) problems = firstLine(played.problems);
                }
                const bool reached = module_allocator::failureReached();
                module_allocator::failAllocation(0);
                if (!problems.empty()) return check_outcome::failed(problems);
                const long held = module_allocator::liveBlocks() - before;
                if (held != 0) return check_outcome::failed(std::to_string(held) + " blocks leaked");
                return check_outcome::passed(reached ? kReached : "");
            },
            context.timeLimitMs);
        if (run.status != check_status::pass) {
            return check_outcome::failed("allocation " + std::to_string(n) + " failed: " + run.reason, session);
        }
        if (run.reason != kReached) {
            return check_outcome::passed(std::to_string(n - 1) + " allocation points, each failed in turn");
        }
    }
    return check_outcome::passed("stopped after " + std::to_string(kMostAllocationPoints) + " allocation points");
}
