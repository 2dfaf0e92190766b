// Allocation failure at every point of a whole session, in the manner of SQLite's malloc tests:
// allocation N inside the module fails, for N = 1, 2, ... until a session completes with
// nothing failed. The sessions are played by vorn-host's own player and simulated host, so every
// rule of the boundary is kept by the host's ledger. After each run no exception may have reached
// the host, nothing may have leaked, no rule may have been broken, and the script (or, when the
// factory returned none, a new one) must still act: a second session's expect lines, played
// with nothing failing, must hold.
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "loaded_module.h"
#include "module_allocator.h"
#include "session.h"
#include "session_player.h"
#include "session_report.h"
#include "vorn_module_export.h"

namespace {

namespace allocator = vorn_host::module_allocator;
using vorn_host::session_action;

std::vector<session_action> parsed(const std::string& text) {
    std::istringstream in(text);
    std::string error;
    const auto actions = vorn_host::readSession(in, "session", error);
    EXPECT_TRUE(actions) << error;
    return actions ? *actions : std::vector<session_action>();
}

struct sweep_result {
    unsigned long points = 0;  // allocations the session makes inside the module
    unsigned endedHost = 0, leaked = 0, rulesBroken = 0, unableToAct = 0;
    std::string firstFault;

    void note(unsigned& count, unsigned long n, const std::string& what) {
        ++count;
        if (firstFault.empty()) firstFault = what + " at allocation " + std::to_string(n);
    }
};

// A module, the sessions that sweep it, and where its panel files are.
struct sweep_plan {
    load_vorn_client_script_fn factory;
    std::string path;
    std::vector<std::string> panelDirs;
    std::vector<session_action> armed;    // played with allocation N failing
    std::vector<session_action> actsNow;  // played after it with nothing failing
};

// What the report holds of one kind, first line first.
std::string firstOf(const vorn_host::session_report& report, const std::string& kind) {
    for (const auto& entry : report.entries()) {
        if (entry.kind == kind) return entry.text + (entry.detail.empty() ? "" : ": " + entry.detail);
    }
    return "";
}

class sweep_point {
public:
    sweep_point(const sweep_plan& plan, unsigned long n) : m_plan(plan), m_n(n) {}

    // Everything the run makes is gone by the count of live blocks, but the texts of its faults:
    // those can only add to a count when there is a fault to report already.
    void play(sweep_result& result) {
        std::string unableToAct, ruleBroken;
        bool threw = false;
        const long liveBefore = allocator::liveBlocks();
        {
            std::ostringstream out;
            vorn_host::session_report report(out, vorn_host::output_mode::quiet);
            std::optional<vorn_host::session_player> player;
            allocator::failAllocation(m_n);
            threw |= !guarded([&] { player.emplace(m_plan.factory, options(), report); });
            for (const session_action& action : m_plan.armed) threw |= !guarded([&] { player->play(action); });
            m_reached = allocator::failureReached();
            if (!m_reached) result.points = allocator::armedAllocations();
            allocator::failAllocation(0);
            const std::string brokenWhileArmed = firstOf(report, "failure");
            if (!player->hasScript(0)) player.emplace(m_plan.factory, options(), report);
            for (const session_action& action : m_plan.actsNow) threw |= !guarded([&] { player->play(action); });
            threw |= !guarded([&] { player->finish(); });
            if (brokenWhileArmed.empty()) unableToAct = firstOf(report, "failure");
            ruleBroken = firstOf(report, "breach");
        }
        const bool leaked = allocator::liveBlocks() != liveBefore;
        if (threw) result.note(result.endedHost, m_n, "exception reached the host");
        if (!ruleBroken.empty()) result.note(result.rulesBroken, m_n, "rule broken: " + ruleBroken);
        if (!unableToAct.empty()) result.note(result.unableToAct, m_n, "unable to act: " + unableToAct);
        if (leaked) result.note(result.leaked, m_n, "leak");
    }

    bool reached() const { return m_reached; }

private:
    // A call into the player: an exception that leaves the module is caught here, as a host
    // without exception handling would have died of it.
    template <typename Call>
    static bool guarded(Call call) {
        try {
            call();
            return true;
        } catch (...) {
            return false;
        }
    }

    vorn_host::player_options options() const {
        vorn_host::player_options options;
        options.path = m_plan.path;
        options.panelDirs = m_plan.panelDirs;
        options.factoryMayFail = true;
        // A busy machine must not make a call look slow: time is not what this sweeps.
        options.slowCallbackMs = 1000000;
        return options;
    }

    const sweep_plan& m_plan;
    unsigned long m_n;
    bool m_reached = false;
};

sweep_result sweep(const sweep_plan& plan) {
    sweep_result result;
    // The host makes its tables (the rules) on first use: one run with nothing failing first, so
    // that they are not counted as the module's.
    sweep_result warmUp;
    sweep_point(plan, 0).play(warmUp);
    for (unsigned long n = 1;; ++n) {
        sweep_point point(plan, n);
        point.play(result);
        if (!point.reached()) return result;
    }
}

void expectSurvived(const char* module, const sweep_result& result) {
    std::printf(
        "%s: %lu allocation points; %u ended the host, %u leaked, %u broke a rule, "
        "%u left the module unable to act\n",
        module, result.points, result.endedHost, result.leaked, result.rulesBroken, result.unableToAct);
    EXPECT_GE(result.points, 5u) << "the session no longer reaches the module's allocations";
    EXPECT_EQ(result.endedHost, 0u) << result.firstFault;
    EXPECT_EQ(result.leaked, 0u) << result.firstFault;
    EXPECT_EQ(result.rulesBroken, 0u) << result.firstFault;
    EXPECT_EQ(result.unableToAct, 0u) << result.firstFault;
}

const std::string kLongText(100, 'x');

}  // namespace

// A whole Router session with texts long enough to leave the objects' inline storage.
TEST(AllocationFailure, RouterSurvivesEveryFailedAllocation) {
    sweep_plan plan{load_vorn_client_script, "/opt/panels/" + kLongText, {VORN_ROUTER_PANEL_DIR}, {}, {}};
    plan.armed = parsed(
        "request RouterDeviceNo=12\n"
        "event 1 Sources value=7\nevent 1 Destinations value=3\nevent 1 500 value=1\n"
        "event 1 Sources value=7\nevent 1 Destinations value=3\nevent 1 500 value=1\n"
        "request return=all\nrequest instance=" +
        kLongText +
        "\n"
        "request return=RouterDeviceNo\nrequest _events\ntimer 3\nevent 1 500 value=1\n");
    plan.actsNow = parsed(
        "request RouterDeviceNo=12\nevent 1 Sources value=7\nevent 1 Destinations value=3\n"
        "event 1 500 value=1\n"
        "expect RC 12 7 3 ',' 0\nexpect TP 'index=0' '1' 'Sources'\nexpect TP 'selected=0' '1' 'Destinations'\n");
    expectSurvived("Router", sweep(plan));
}

#if defined(ALARM_PANEL_MODULE_PATH)
// The alarm group holds the host's replies while it works through many controls: its panel here
// (long_alarm_panel/) has six alarm controls named too long for inline storage.
TEST(AllocationFailure, AlarmPanelSurvivesEveryFailedAllocationAndHandsEveryReplyBack) {
    loaded_module module(ALARM_PANEL_MODULE_PATH);
    ASSERT_NE(module.factory(), nullptr) << module.error();
    sweep_plan plan{module.factory(), "", {LONG_ALARM_PANEL_DIR}, {}, {}};
    plan.armed = parsed("event 1 ActionAll alarm=2\nevent 1 AckAll press=1\nevent 1 ActionAll alarm=" + kLongText +
                        "\nevent 1 " + kLongText + " press=1\nrequest _events\n");
    std::string acts =
        "event 1 Horn press=1\nexpect TP 'text=Horn' '1' 'Status'\n"
        "event 1 ActionAll alarm=2\nexpect XI '1' 'alm_'\n";
    for (int i = 0; i < 6; ++i) {
        const std::string control = "alm_" + std::to_string(i) + std::string(70, 'c');
        acts += "expect TP 'alarm=2' '1' '" + control + "'\nexpect TP 'value=2' '1' '" + control + "'\n";
    }
    plan.actsNow = parsed(acts);
    expectSurvived("AlarmPanel", sweep(plan));
}
#endif
