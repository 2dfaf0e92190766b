// Allocation failure at every point of a whole session, in the manner of SQLite's malloc tests:
// allocation N inside the module fails, for N = 1, 2, ... until a session completes with
// nothing failed. After each run the host must have seen no exception, nothing may have leaked,
// every reply must have been handed back once, and the script must still act.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "module_allocator.h"
#include "vorn_boundary_words.h"
#include "host_event.h"
#include "loaded_module.h"
#include "recording_host.h"
#include "vorn_module_export.h"

namespace {

using vorn_host::module_allocator::armed_scope;

// A recording host whose own allocations never fail: only the module's count.
class sweep_host : public recording_host {
public:
    char* hostCommand(const char* text, int code) override {
        armed_scope hostSide(false);
        return recording_host::hostCommand(text, code);
    }
};

// One run of a session as a host plays it: every call into the module is armed, and an
// exception that leaves the module is caught here and counted, as a host without exception
// handling would have died of it.
class sweep_run {
public:
    explicit sweep_run(load_vorn_client_script_fn factory) : m_factory(factory) {}
    ~sweep_run() { destroy(); }

    void create(const char* path) {
        m_script = intoModule<vorn_client_callback*>([&] { return m_factory(&host, path); });
    }
    void event(const char* panel, const char* control, const char* text) {
        if (!m_script) return;
        host_event e(panel, control, text);
        intoModule<char*>([&] { return m_script->callback(e.record(), kCodeControlEvent); });
    }
    // A non-null answer is handed back at once, as the host does.
    void request(const std::string& text) {
        if (!m_script) return;
        char* answer = intoModule<char*>(
            [&] { return m_script->callback(const_cast<char*>(text.c_str()), kCodeParameterRequest); });
        if (answer) intoModule<char*>([&] { return m_script->callback(answer, kCodeRelease); });
    }
    void timer(int id) {
        if (!m_script) return;
        intoModule<char*>([&] { return m_script->callback(vorn_param_carrying(id), kCodeTimer); });
    }
    void destroy() {
        if (!m_script) return;
        intoModule<bool>([&] {
            vorn_delete_script(m_script);
            return true;
        });
        m_script = nullptr;
    }
    bool created() const { return m_script != nullptr; }

    sweep_host host;
    bool exceptionReachedHost = false;

private:
    template <typename Result, typename Call>
    Result intoModule(Call call) {
        armed_scope moduleSide(true);
        try {
            return call();
        } catch (...) {
            exceptionReachedHost = true;
            return Result();
        }
    }

    load_vorn_client_script_fn m_factory;
    vorn_client_callback* m_script = nullptr;
};

struct sweep_result {
    unsigned long points = 0;  // allocations the session makes inside the module
    unsigned endedHost = 0, leaked = 0, repliesOwed = 0, unableToAct = 0;
    std::string firstFault;
};

// The session runs armed with allocation N failing; then, unarmed, `actsAfterwards` must show
// that the script (or, when the factory returned null, a new one) still does its job.
using session_fn = std::function<void(sweep_run&)>;
using check_fn = std::function<bool(sweep_run&)>;

void noteFault(sweep_result& result, unsigned long n, const char* what) {
    if (result.firstFault.empty()) result.firstFault = std::string(what) + " at allocation " + std::to_string(n);
}

sweep_result sweep(load_vorn_client_script_fn factory, const char* path, const session_fn& session,
                   const check_fn& actsAfterwards) {
    sweep_result result;
    for (unsigned long n = 1;; ++n) {
        const long liveBefore = vorn_host::module_allocator::liveBlocks();
        bool reached = false, acted = false, exception = false, repliesBack = false;
        {
            sweep_run run(factory);
            vorn_host::module_allocator::failAllocation(n);
            run.create(path);
            session(run);
            reached = vorn_host::module_allocator::failureReached();
            if (!reached) result.points = vorn_host::module_allocator::armedAllocations();
            vorn_host::module_allocator::failAllocation(0);
            if (!run.created()) run.create(path);
            acted = actsAfterwards(run);
            run.destroy();
            exception = run.exceptionReachedHost;
            repliesBack = run.host.everyReplyHandedBackOnce();
        }
        const bool leaked = vorn_host::module_allocator::liveBlocks() != liveBefore;
        if (exception) ++result.endedHost, noteFault(result, n, "exception reached the host");
        if (leaked) ++result.leaked, noteFault(result, n, "leak");
        if (!repliesBack) ++result.repliesOwed, noteFault(result, n, "reply owed");
        if (!acted) ++result.unableToAct, noteFault(result, n, "unable to act");
        if (!reached) return result;
    }
}

void report(const char* module, const sweep_result& result) {
    std::printf(
        "%s: %lu allocation points; %u ended the host, %u leaked, %u owed a reply, "
        "%u left the module unable to act\n",
        module, result.points, result.endedHost, result.leaked, result.repliesOwed, result.unableToAct);
}

bool sentSince(const sweep_run& run, size_t from, const std::string& command) {
    for (size_t i = from; i < run.host.commands.size(); ++i) {
        if (run.host.commands[i] == command) return true;
    }
    return false;
}

const std::string kLongText(100, 'x');

// A whole Router session with texts long enough to leave the objects' inline storage.
void routerSession(sweep_run& run) {
    run.request("RouterDeviceNo=12");
    for (int take = 0; take < 3; ++take) {
        run.event("1", "Sources", "value=7");
        run.event("1", "Destinations", "value=3");
        run.event("1", "500", "value=1");
    }
    run.request("return=all");
    run.request("instance=" + kLongText);
    run.request("return=RouterDeviceNo");
    run.request("_events");
    run.timer(3);
    run.event("1", "500", "value=1");
}

bool routerTakes(sweep_run& run) {
    const size_t from = run.host.commands.size();
    run.request("RouterDeviceNo=12");
    run.event("1", "Sources", "value=7");
    run.event("1", "Destinations", "value=3");
    run.event("1", "500", "value=1");
    return sentSince(run, from, "RC 12 7 3 ',' 0") && sentSince(run, from, "TP 'selected=0' '1' 'Destinations'");
}

}  // namespace

TEST(AllocationFailure, RouterSurvivesEveryFailedAllocation) {
    const std::string path = "/opt/panels/" + kLongText;
    const sweep_result result = sweep(load_vorn_client_script, path.c_str(), routerSession, routerTakes);
    report("Router", result);
    EXPECT_GE(result.points, 5u) << "the session no longer reaches the module's allocations";
    EXPECT_EQ(result.endedHost, 0u) << result.firstFault;
    EXPECT_EQ(result.leaked, 0u) << result.firstFault;
    EXPECT_EQ(result.repliesOwed, 0u) << result.firstFault;
    EXPECT_EQ(result.unableToAct, 0u) << result.firstFault;
}

#if defined(ALARM_PANEL_MODULE_PATH)
namespace {

// The alarm group holds the host's replies while it works through many controls.
void answerAlarmQueries(sweep_host& host) {
    host.reply = [](const std::string& command) -> std::optional<std::string> {
        if (command.rfind("XI ", 0) == 0) {
            std::string controls;
            for (int i = 0; i < 6; ++i) controls += (i ? ",alm_" : "alm_") + std::to_string(i) + std::string(70, 'c');
            return controls;
        }
        if (command.rfind("TG ", 0) == 0) return std::string("value=1");
        return std::nullopt;
    };
}

void alarmSession(sweep_run& run) {
    answerAlarmQueries(run.host);
    run.event("1", "ActionAll", "alarm=2");
    run.event("1", "AckAll", "press=1");
    run.event("1", "ActionAll", ("alarm=" + kLongText).c_str());
    run.event("1", kLongText.c_str(), "press=1");
    run.request("_events");
}

bool alarmPanelActs(sweep_run& run) {
    answerAlarmQueries(run.host);
    const size_t from = run.host.commands.size();
    run.event("1", "Horn", "press=1");
    run.event("1", "AckAll", "press=1");
    return sentSince(run, from, "TP 'text=Horn' '1' 'Status'") && sentSince(run, from, "XI '1' 'alm_'");
}

}  // namespace

TEST(AllocationFailure, AlarmPanelSurvivesEveryFailedAllocationAndHandsEveryReplyBack) {
    loaded_module module(ALARM_PANEL_MODULE_PATH);
    ASSERT_NE(module.factory(), nullptr) << module.error();
    const sweep_result result = sweep(module.factory(), "", alarmSession, alarmPanelActs);
    report("AlarmPanel", result);
    EXPECT_GE(result.points, 5u);
    EXPECT_EQ(result.endedHost, 0u) << result.firstFault;
    EXPECT_EQ(result.leaked, 0u) << result.firstFault;
    EXPECT_EQ(result.repliesOwed, 0u) << result.firstFault;
    EXPECT_EQ(result.unableToAct, 0u) << result.firstFault;
}
#endif
