#include <climits>

#include <gtest/gtest.h>

#include "recording_host.h"
#include "test_script.h"

namespace {

std::vector<std::string> sentBy(const char* path, void (*act)(test_script&)) {
    recording_host host;
    test_script script(&host, path);
    act(script);
    return host.commands;
}

}  // namespace

TEST(PanelShow, FieldsWithAndWithoutPathAndExtra) {
    EXPECT_EQ(sentBy("", [](test_script& s) { s.panelShow("1", "p1.vorn_ui", ""); }),
              std::vector<std::string>{"PS '1' 'p1.vorn_ui'"});
    EXPECT_EQ(sentBy("panels", [](test_script& s) { s.panelShow("1", "p1.vorn_ui", ""); }),
              std::vector<std::string>{"PS '1' 'panels/p1.vorn_ui'"});
    EXPECT_EQ(sentBy("panels", [](test_script& s) { s.panelShow("1", "p1.vorn_ui", "x"); }),
              std::vector<std::string>{"PS '1' 'panels/p1.vorn_ui' 'x'"});
    EXPECT_EQ(sentBy("dir/", [](test_script& s) { s.panelShow("1", "f", ""); }),
              std::vector<std::string>{"PS '1' 'dir//f'"});
}

TEST(PanelShow, TruthFollowsTheReplyPointer) {
    recording_host host;
    test_script script(&host, "");
    EXPECT_FALSE(script.panelShow("1", "f", ""));
    host.reply = [](const std::string&) { return std::string(); };
    EXPECT_TRUE(script.panelShow("1", "f", ""));
    EXPECT_TRUE(host.handedBack.empty());

    test_script detached(nullptr, "");
    EXPECT_TRUE(detached.panelShow("1", "f", ""));
}

TEST(TextPut, FieldsGoOutUnchanged) {
    EXPECT_EQ(sentBy("", [](test_script& s) { s.textPut("colour.background", "#FF9934", "1", "500"); }),
              std::vector<std::string>{"TP 'colour.background=#FF9934' '1' '500'"});
    EXPECT_EQ(sentBy("", [](test_script& s) { s.textPut("index", "", "1", "Sources"); }),
              std::vector<std::string>{"TP 'index=' '1' 'Sources'"});
    EXPECT_EQ(sentBy("", [](test_script& s) { s.textPut(" a", "it's", "1", "x y"); }),
              std::vector<std::string>{"TP ' a=it's' '1' 'x y'"});
}

TEST(RouterConnect, NumbersExtraAndFlag) {
    EXPECT_EQ(sentBy("", [](test_script& s) { s.routerConnect(12, 3, 7, "", false); }),
              std::vector<std::string>{"RC 12 3 7 ',' 0"});
    EXPECT_EQ(sentBy("", [](test_script& s) { s.routerConnect(12, 3, 7, "abc", true); }),
              std::vector<std::string>{"RC 12 3 7 ',abc' 1"});
    EXPECT_EQ(sentBy("", [](test_script& s) { s.routerConnect(-1, INT_MIN, 0, "", false); }),
              std::vector<std::string>{"RC -1 -2147483648 0 ',' 0"});
}

TEST(RouterConnect, PlaceholdersInsideTheExtraTextGoOutAsTheyAre) {
    EXPECT_EQ(sentBy("", [](test_script& s) { s.routerConnect(1, 2, 3, "%1 %4 %5", true); }),
              std::vector<std::string>{"RC 1 2 3 ',%1 %4 %5' 1"});
}

TEST(TimerStop, DecimalIdWithSign) {
    EXPECT_EQ(sentBy("", [](test_script& s) {
                  s.timerStop(1);
                  s.timerStop(-1);
                  s.timerStop(INT_MIN);
              }),
              (std::vector<std::string>{"ET 1", "ET -1", "ET -2147483648"}));
}

TEST(CommandSenders, NothingIsSentWithoutAHostAndRepliesAreNeverHandedBack) {
    test_script detached(nullptr, "p");
    detached.textPut("a", "b", "1", "2");
    detached.routerConnect(1, 2, 3, "", false);
    detached.timerStop(4);

    recording_host host;
    host.reply = [](const std::string&) { return std::string(); };
    {
        test_script script(&host, "");
        script.textPut("a", "b", "1", "2");
        script.routerConnect(1, 2, 3, "", false);
        script.timerStop(4);
    }
    EXPECT_EQ(host.commands.size(), 4u);
    EXPECT_TRUE(host.handedBack.empty());
}
