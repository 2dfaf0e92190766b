// The session player: a module's script driven by a session's lines, and what its expectations
// report.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "session.h"
#include "session_player.h"
#include "session_report.h"
#include "vorn_boundary_words.h"

using namespace vorn_host;

namespace {

// A script that stops timer 1, and timers 1 and 2 when timer 2 fires.
class timer_script final : public vorn_native_script {
public:
    explicit timer_script(vorn_host_command* host) : m_host(host) {}
    ~timer_script() { m_host->hostCommand("AS", kHostPerform); }
    char* callback(void* param, int code) override {
        if (code != kCodeTimer) return nullptr;
        if (vorn_number_in(param) == 2) m_host->hostCommand("ET 1", kHostPerform);
        m_host->hostCommand(vorn_number_in(param) == 2 ? "ET 2" : "ET 1", kHostPerform);
        return nullptr;
    }

private:
    vorn_host_command* m_host;
};

vorn_client_callback* timerScript(vorn_host_command* host, const char*) {
    return new timer_script(host);
}

void play(session_player& player, const std::string& sessionText) {
    std::istringstream in(sessionText);
    std::string error;
    const auto actions = readSession(in, "session", error);
    for (const session_action& action : actions.value()) player.play(action);
}

// The failures a session's expectations draw, each once, as "line N: text".
std::vector<std::string> failuresOf(const std::string& sessionText, int instances = 1) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    {
        player_options options;
        options.instances = instances;
        session_player player(timerScript, options, report);
        play(player, sessionText);
        player.finish();
    }
    std::vector<std::string> failures;
    for (const auto& entry : report.entries()) {
        if (entry.kind == "failure") failures.push_back("line " + std::to_string(entry.line) + ": " + entry.text);
    }
    return failures;
}

TEST(SessionPlayer, EachUnmetExpectationIsReportedOnceAtItsLine) {
    EXPECT_TRUE(failuresOf("timer 1\nexpect ET 1\ntimer 2\nexpect ET 1\nexpect ET 2\n").empty());
    EXPECT_EQ(failuresOf("timer 1\nexpect nothing\ntimer 1\nexpect ET 1\n"),
              (std::vector<std::string>{"line 2: expected nothing, received \"ET 1\""}));
    EXPECT_EQ(failuresOf("timer 2\nexpect ET 1\ntimer 1\nexpect ET 1\n"),
              (std::vector<std::string>{"line 2: received \"ET 2\" after the expected commands"}));
    EXPECT_EQ(failuresOf("timer 1\nexpect ET 1\nexpect ET 2\n"),
              (std::vector<std::string>{"line 3: expected \"ET 2\", received nothing more"}));
    EXPECT_EQ(failuresOf("timer 1\nexpect ET 2\n", 2),
              (std::vector<std::string>{"line 2: expected \"ET 2\", received \"ET 1\" (instance 0)",
                                        "line 2: expected \"ET 2\", received \"ET 1\" (instance 1)"}));
}

// A timer event is a timer the host started, which runs until the script stops it; no other
// code starts one.
TEST(SessionPlayer, ATimerEventStartsATimerThatRunsUntilTheScriptStopsIt) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    session_player player(timerScript, player_options(), report);
    play(player, "timer 3\ncode 1 9\ncode 6 8\ntimer 1\n");
    EXPECT_EQ(player.host(0).runningTimers(), (std::set<long>{3}));
    play(player, "timer 2\n");
    EXPECT_EQ(player.host(0).runningTimers(), (std::set<long>{3}));
    player.finish();
}

TEST(SessionPlayer, FinishingTwiceShowsTheEndStateOnce) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    {
        player_options options;
        options.instances = 2;
        session_player player(timerScript, options, report);
        player.finish();
        player.finish();
    }
    const auto entries = report.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.kind == "state"; }), 2);
    EXPECT_TRUE(report.clean()) << out.str();
}

}  // namespace
