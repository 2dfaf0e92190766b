// The alarm group handling, driven through callback as the host drives it.
#include <map>

#include <gtest/gtest.h>

#include "debugger_output.h"
#include "host_event.h"
#include "recording_host.h"
#include "test_script.h"

namespace {

using commands = std::vector<std::string>;

// A host whose "XI" reply lists the group, and whose "TG" replies give each control's value.
class alarm_host : public recording_host {
public:
    alarm_host(std::optional<std::string> group, std::map<std::string, std::string> values) {
        reply = [group, values](const std::string& command) -> std::optional<std::string> {
            if (command.rfind("XI ", 0) == 0) return group;
            for (const auto& [control, value] : values) {
                if (command == "TG '1' '" + control + "' 'value'") return "value=" + value;
            }
            return std::nullopt;
        };
    }
};

class AlarmGroup : public ::testing::Test {
protected:
    commands play(alarm_host& host, const char* panel, const char* control, const char* eventText) {
        {
            test_script script(&host, "");
            script.alarmHandling = true;
            host_event event(panel, control, eventText);
            script.callback(event.record(), kCodeControlEvent);
            reachedScript = script.controls.size();
        }
        EXPECT_TRUE(host.everyReplyHandedBackOnce());
        EXPECT_EQ(host.commands.back(), "AS");
        return commands(host.commands.begin(), host.commands.end() - 1);
    }

    size_t reachedScript = 0;
};

}  // namespace

TEST_F(AlarmGroup, ActionAllSetsEveryControlToTheLevel) {
    alarm_host host(std::string("alm_a,alm_b"), {});
    EXPECT_EQ(play(host, "1", "ActionAll", "alarm=2"),
              (commands{"XI '1' 'alm_'", "TP 'alarm=2' '1' 'alm_a'", "TP 'value=2' '1' 'alm_a'",
                        "TP 'alarm=2' '1' 'alm_b'", "TP 'value=2' '1' 'alm_b'"}));
    EXPECT_EQ(reachedScript, 0u);
}

TEST_F(AlarmGroup, AckAllPutsFourOnlyWhereTheReadingIsUnsettled) {
    alarm_host host(std::string("alm_a,alm_b"), {{"alm_a", "1"}, {"alm_b", "3"}});
    EXPECT_EQ(play(host, "1", "AckAll", "press=1"),
              (commands{"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_a'", "TG '1' 'alm_a' 'value'",
                        "TP 'value=4' '1' 'alm_a'", "TP 'alarm=4' '1' 'alm_b'", "TG '1' 'alm_b' 'value'"}));
    EXPECT_EQ(reachedScript, 0u);
}

TEST_F(AlarmGroup, AcknowledgementReadingTable) {
    const std::map<std::string, bool> putsFour = {{"-1", true}, {"0", false}, {"1", true}, {"2", false}, {"3", false},
                                                  {"4", false}, {"5", false}, {"6", true}, {"99", true}};
    for (const auto& [readingText, expectPut] : putsFour) {
        alarm_host host(std::string("alm_x"), {{"alm_x", readingText}});
        const commands sent = play(host, "1", "AckAll", "");
        EXPECT_EQ(sent.back() == "TP 'value=4' '1' 'alm_x'", expectPut) << "reading " << readingText;
    }
}

TEST_F(AlarmGroup, AnUnreadableValueReadsAsZeroAndIsLeft) {
    alarm_host host(std::string("alm_x"), {});
    EXPECT_EQ(play(host, "1", "AckAll", ""),
              (commands{"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_x'", "TG '1' 'alm_x' 'value'"}));
}

TEST_F(AlarmGroup, ActionAllValueTable) {
    struct row {
        const char* eventText;
        commands expected;
    };
    const row rows[] = {
        {"alarm=ack",
         {"XI '1' 'alm_'", "TP 'alarm=ack' '1' 'alm_x'", "TG '1' 'alm_x' 'value'", "TP 'value=4' '1' 'alm_x'"}},
        {"alarm=4",
         {"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_x'", "TG '1' 'alm_x' 'value'", "TP 'value=4' '1' 'alm_x'"}},
        {"alarm=0", {"XI '1' 'alm_'", "TP 'alarm=0' '1' 'alm_x'", "TP 'value=0' '1' 'alm_x'"}},
        {"alarm=x", {"XI '1' 'alm_'", "TP 'alarm=x' '1' 'alm_x'", "TP 'value=0' '1' 'alm_x'"}},
        {"alarm=10", {"XI '1' 'alm_'", "TP 'alarm=10' '1' 'alm_x'"}},
        {"alarm=", {"XI '1' 'alm_'", "TP 'alarm=' '1' 'alm_x'"}},
        {"alarm", {"XI '1' 'alm_'", "TP 'alarm=' '1' 'alm_x'"}},
    };
    for (const row& r : rows) {
        alarm_host host(std::string("alm_x"), {{"alm_x", "1"}});
        EXPECT_EQ(play(host, "1", "ActionAll", r.eventText), r.expected) << r.eventText;
    }
}

TEST_F(AlarmGroup, OtherEventsReachTheScript) {
    for (const char* eventText : {"value=2", "ALARM=2", ""}) {
        alarm_host host(std::string("alm_a"), {});
        EXPECT_TRUE(play(host, "1", "ActionAll", eventText).empty());
        EXPECT_EQ(reachedScript, 1u);
    }
    alarm_host host(std::string("alm_a"), {});
    EXPECT_TRUE(play(host, "1", "alm_a", "alarm=2").empty());
    EXPECT_EQ(reachedScript, 1u);
}

TEST_F(AlarmGroup, AnEmptyOrMissingGroupSendsOnlyTheQuery) {
    alarm_host empty(std::string(""), {});
    EXPECT_EQ(play(empty, "1", "AckAll", ""), commands{"XI '1' 'alm_'"});
    alarm_host none(std::nullopt, {});
    EXPECT_EQ(play(none, "1", "ActionAll", "alarm=2"), commands{"XI '1' 'alm_'"});
}

TEST_F(AlarmGroup, AckAllFromAnotherPanelActsOnPanelOne) {
    alarm_host host(std::string("alm_a"), {{"alm_a", "1"}});
    EXPECT_EQ(play(host, "2", "AckAll", ""), (commands{"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_a'",
                                                       "TG '1' 'alm_a' 'value'", "TP 'value=4' '1' 'alm_a'"}));
}

TEST_F(AlarmGroup, ThousandsOfControlsAreEachHandled) {
    std::string group;
    for (int i = 0; i < 3000; ++i) group += (i ? ",alm_" : "alm_") + std::to_string(i);
    alarm_host host(group, {});
    const commands sent = play(host, "1", "ActionAll", "alarm=3");
    ASSERT_EQ(sent.size(), 1u + 2 * 3000);
    EXPECT_EQ(sent.back(), "TP 'value=3' '1' 'alm_2999'");
}

TEST(AlarmGroupWithoutHost, HandlesTheGroupItselfAndPassesOtherEventsOn) {
    test_script script(nullptr, "");
    script.alarmHandling = true;
    host_event ackAll("1", "AckAll", "");
    host_event actionAll("1", "ActionAll", "alarm=2");
    host_event horn("1", "Horn", "press=1");
    captureDebugOutput();
    script.callback(ackAll.record(), kCodeControlEvent);
    script.callback(actionAll.record(), kCodeControlEvent);
    script.callback(horn.record(), kCodeControlEvent);
    EXPECT_EQ(capturedDebugOutput(), "");
    ASSERT_EQ(script.controls.size(), 1u);
    EXPECT_EQ(script.controls[0].id, "Horn");
}

TEST_F(AlarmGroup, AnAlarmValueWithALineBreakIsNeverSentToTheGroup) {
    alarm_host host(std::string("alm_a,%1"), {});
    captureDebugOutput();
    EXPECT_EQ(play(host, "1", "ActionAll", "alarm=2\nAS"), commands{"XI '1' 'alm_'"});
    EXPECT_EQ(capturedDebugOutput(),
              "command not sent, a field holds a line break: TP 'alarm=2\n"
              "command not sent, a field holds a line break: TP 'alarm=2\n");
    alarm_host plain(std::string("alm_a,%1"), {});
    EXPECT_EQ(play(plain, "1", "ActionAll", "alarm=%2"),
              (commands{"XI '1' 'alm_'", "TP 'alarm=%2' '1' 'alm_a'", "TP 'alarm=%2' '1' '%1'"}));
}
