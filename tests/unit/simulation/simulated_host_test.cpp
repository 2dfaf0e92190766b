// The simulated host, driven through hostCommand as a module drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "session_report.h"
#include "simulated_host.h"
#include "vorn_boundary_words.h"

using namespace vorn_host;

namespace {

class SimulatedHost : public ::testing::Test {
protected:
    char* send(const std::string& command) { return host.hostCommand(command.c_str(), kHostPerform); }
    std::ostringstream out;
    session_report report{out, output_mode::quiet};
    simulated_host host{0, {VORN_ROUTER_PANEL_DIR}, report};
};

TEST_F(SimulatedHost, TextGetAllGivesEveryPropertyPutAndEachOneByName) {
    ASSERT_NE(send("PS '1' 'p1.vorn_ui'"), nullptr);
    send("TP 'device=12' '1' 'Sources'");
    send("TP 'index=3' '1' 'Sources'");
    char* all = send("TG '1' 'Sources' 'all'");
    ASSERT_NE(all, nullptr);
    const std::string allText = all;
    host.hostCommand(all, kHostRelease);
    EXPECT_NE(allText.find("device=12"), std::string::npos) << allText;
    EXPECT_NE(allText.find("index=3"), std::string::npos) << allText;
    char* one = send("TG '1' 'Sources' 'device'");
    ASSERT_NE(one, nullptr);
    EXPECT_STREQ(one, "device=12");
    host.hostCommand(one, kHostRelease);
    char* other = send("TG '1' 'Destinations' 'device'");  // as the panel file sets it
    ASSERT_NE(other, nullptr);
    EXPECT_STREQ(other, "device=0");
    host.hostCommand(other, kHostRelease);
    EXPECT_TRUE(report.clean()) << out.str();
}

TEST_F(SimulatedHost, APutWithoutEqualsIsMalformedAndPutsNothing) {
    send("PS '1' 'p1.vorn_ui'");
    send("TP 'colour' '1' 'Sources'");
    EXPECT_FALSE(report.clean());
    EXPECT_NE(out.str().find("malformed"), std::string::npos) << out.str();
    EXPECT_FALSE(host.panels().get("1", "Sources", "colour").has_value());
}

TEST_F(SimulatedHost, AGetWithoutItsThreeFieldsIsMalformedAndGetsNothing) {
    send("PS '1' 'p1.vorn_ui'");
    EXPECT_EQ(send("TG '1' 'Sources'"), nullptr);
    EXPECT_FALSE(report.clean());
    EXPECT_NE(out.str().find("malformed"), std::string::npos) << out.str();
}

TEST_F(SimulatedHost, OnlyAControlThePanelFileDoesNotListDrawsAWarning) {
    send("PS '1' 'p1.vorn_ui'");
    send("TP 'device=1' '1' 'Sources'");
    send("TP 'device=1' '1' '500'");
    EXPECT_EQ(out.str().find(kRuleControlNotOnPanel), std::string::npos) << out.str();
    send("TP 'device=1' '1' 'Nowhere'");
    EXPECT_NE(out.str().find(kRuleControlNotOnPanel), std::string::npos) << out.str();
    EXPECT_TRUE(report.clean());
}

TEST_F(SimulatedHost, APanelFileThatCannotBeReadIsNotedAndShowsNothing) {
    EXPECT_EQ(send("PS '2' 'no_such_panel.vorn_ui'"), nullptr);
    const auto& entries = report.entries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const session_report::shown_entry& e) {
        return e.kind == "note" && e.text.find("cannot read panel file no_such_panel.vorn_ui") != std::string::npos;
    }));
    EXPECT_TRUE(host.panels().view().empty());
}

TEST_F(SimulatedHost, ATimerIdMustBeAWholeNumber) {
    send("ET ");
    EXPECT_FALSE(report.clean());
}

TEST_F(SimulatedHost, TimerStopEndsOnlyThatTimer) {
    host.startTimer(3);
    host.startTimer(7);
    send("ET 3");
    EXPECT_EQ(host.runningTimers(), (std::set<long>{7}));
}

}  // namespace
