// The example alarm panel, built against the installed package, driven through its export.
#include <map>

#include <gtest/gtest.h>

#include "host_event.h"
#include "loaded_module.h"
#include "recording_host.h"

namespace {

using commands = std::vector<std::string>;

class AlarmPanelModule : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(module.factory(), nullptr) << module.error();
        host.reply = [this](const std::string& command) -> std::optional<std::string> {
            if (command == "XI '1' 'alm_'") return "alm_a,alm_b";
            if (command == "TG '1' 'alm_a' 'value'") return "value=" + readings["alm_a"];
            if (command == "TG '1' 'alm_b' 'value'") return "value=" + readings["alm_b"];
            return std::nullopt;
        };
        script = module.factory()(&host, "");
        ASSERT_NE(script, nullptr);
        host.commands.clear();
    }

    commands playThenDelete(const char* panel, const char* control, const char* eventText) {
        host_event event(panel, control, eventText);
        EXPECT_EQ(script->callback(event.record(), kCodeControlEvent), nullptr);
        vorn_delete_script(script);
        EXPECT_EQ(host.commands.back(), "AS");
        EXPECT_TRUE(host.everyReplyHandedBackOnce());
        return commands(host.commands.begin(), host.commands.end() - 1);
    }

    loaded_module module{ALARM_PANEL_MODULE_PATH};
    recording_host host;
    std::map<std::string, std::string> readings;
    vorn_client_callback* script = nullptr;
};

}  // namespace

TEST_F(AlarmPanelModule, ActionAllAlarmTwoSetsTheWholeGroup) {
    EXPECT_EQ(playThenDelete("1", "ActionAll", "alarm=2"),
              (commands{"XI '1' 'alm_'", "TP 'alarm=2' '1' 'alm_a'", "TP 'value=2' '1' 'alm_a'",
                        "TP 'alarm=2' '1' 'alm_b'", "TP 'value=2' '1' 'alm_b'"}));
}

TEST_F(AlarmPanelModule, AckAllAcknowledgesOnlyUnsettledControls) {
    readings = {{"alm_a", "1"}, {"alm_b", "3"}};
    EXPECT_EQ(playThenDelete("1", "AckAll", "press=1"),
              (commands{"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_a'", "TG '1' 'alm_a' 'value'",
                        "TP 'value=4' '1' 'alm_a'", "TP 'alarm=4' '1' 'alm_b'", "TG '1' 'alm_b' 'value'"}));
}

TEST_F(AlarmPanelModule, OtherControlsReachTheScript) {
    EXPECT_EQ(playThenDelete("1", "Horn", "press=1"), (commands{"TP 'text=Horn' '1' 'Status'"}));
}
