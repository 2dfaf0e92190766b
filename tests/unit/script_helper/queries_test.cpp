#include <map>

#include <gtest/gtest.h>

#include "debugger_output.h"
#include "recording_host.h"
#include "test_script.h"

namespace {

using commands = std::vector<std::string>;

std::vector<std::string> items(const vorn_stringlist& list) {
    std::vector<std::string> out;
    for (const vorn_string& item : list) out.push_back(static_cast<const char*>(item));
    return out;
}

// Reads `property` of control alm_1 on panel 1 with the host replying `reply`; returns the
// value read and what went to the debugger output.
struct reading {
    std::string value;
    std::string trace;
};

reading readWithReply(const char* property, std::optional<std::string> reply, recording_host& host) {
    host.reply = [reply](const std::string& command) { return command.rfind("TG ", 0) == 0 ? reply : std::nullopt; };
    query_script script(&host, "");
    vorn_string value("stale");
    captureDebugOutput();
    script.textGet(property, "1", "alm_1", value);
    return {static_cast<const char*>(value), capturedDebugOutput()};
}

}  // namespace

TEST(TextGet, SendsPanelControlPropertyAndReadsTheValue) {
    recording_host host;
    const reading r = readWithReply("value", "value=3", host);
    EXPECT_EQ(r.value, "3");
    EXPECT_EQ(r.trace, "");
    EXPECT_EQ(host.commands, (commands{"TG '1' 'alm_1' 'value'", "AS"}));
    EXPECT_TRUE(host.everyReplyHandedBackOnce());
}

TEST(TextGet, AReplyNamingAnotherPropertyIsTracedAndReadsEmpty) {
    recording_host host;
    const reading r = readWithReply("value", "colour=3", host);
    EXPECT_EQ(r.value, "");
    EXPECT_EQ(r.trace,
              "textGet: value returned \"colour\" was not the value requested \"value\" "
              "(value returned was \"colour=3\" from control \"alm_1\", on panel \"1\")\n");
    EXPECT_TRUE(host.everyReplyHandedBackOnce());
}

TEST(TextGet, TheNameCheckHeedsCaseAndLength) {
    for (const char* reply : {"Value=1", "valu=1", "values=1", "1"}) {
        recording_host host;
        const reading r = readWithReply("value", std::string(reply), host);
        EXPECT_EQ(r.value, "") << reply;
        EXPECT_NE(r.trace, "") << reply;
    }
}

TEST(TextGet, AllPassesTheWholeReplyOn) {
    recording_host host;
    const reading r = readWithReply("all", "value=3\ncolour=red=x", host);
    EXPECT_EQ(r.value, "value=3\ncolour=red=x");
    EXPECT_EQ(r.trace, "");
    EXPECT_EQ(host.commands[0], "TG '1' 'alm_1' 'all'");
    EXPECT_TRUE(host.everyReplyHandedBackOnce());
}

TEST(TextGet, EmptyValuesNullRepliesAndNoHostReadEmptyWithoutTrace) {
    recording_host host;
    EXPECT_EQ(readWithReply("value", "value=", host).value, "");
    EXPECT_EQ(readWithReply("value", "value=a=b", host).value, "a=b");
    const reading none = readWithReply("value", std::nullopt, host);
    EXPECT_EQ(none.value, "");
    EXPECT_EQ(none.trace, "");
    EXPECT_TRUE(host.everyReplyHandedBackOnce());

    query_script detached(nullptr, "");
    vorn_string value("stale");
    detached.textGet("value", "1", "alm_1", value);
    EXPECT_EQ(value.length(), 0u);
}

TEST(ControlIdList, ListsTheReplyAndHandsItBack) {
    recording_host host;
    host.reply = [](const std::string& command) -> std::optional<std::string> {
        if (command.rfind("XI ", 0) == 0) return "alm_a,alm_b";
        return std::nullopt;
    };
    {
        query_script script(&host, "");
        EXPECT_EQ(items(script.controlIdList("1", "alm_")), (std::vector<std::string>{"alm_a", "alm_b"}));
    }
    EXPECT_EQ(host.commands[0], "XI '1' 'alm_'");
    EXPECT_TRUE(host.everyReplyHandedBackOnce());
}

TEST(ControlIdList, OneItemEmptyItemsNullReplyAndNoHost) {
    std::map<std::string, std::optional<std::string>> replies = {
        {"one", std::string("alm_a")}, {"gaps", std::string("a,,b,")}, {"null", std::nullopt}};
    recording_host host;
    host.reply = [&replies](const std::string& command) -> std::optional<std::string> {
        if (command.rfind("XI '", 0) != 0) return std::nullopt;
        return replies[command.substr(4, command.find('\'', 4) - 4)];
    };
    query_script script(&host, "");
    EXPECT_EQ(items(script.controlIdList("one", "")), (std::vector<std::string>{"alm_a"}));
    EXPECT_EQ(items(script.controlIdList("gaps", "")), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_TRUE(items(script.controlIdList("null", "")).empty());
    EXPECT_TRUE(host.everyReplyHandedBackOnce());

    query_script detached(nullptr, "");
    EXPECT_TRUE(items(detached.controlIdList("1", "alm_")).empty());
}

TEST(DebugTrace, FillsNinePlaceholdersInOrderOneLineATrace) {
    captureDebugOutput();
    query_script::debugTrace("%1 %2 %3 %4 %5 %6 %7 %8 %9", "a", "b", "c", "d", "e", "f", "g", "h", "i");
    query_script::debugTrace("only %1", "x", "", "", "", "", "", "", "", "");
    EXPECT_EQ(capturedDebugOutput(), "a b c d e f g h i\nonly x\n");
}

TEST(Queries, PlaceholdersInFieldsRepliesAndTraceTextsGoOutAsGiven) {
    const std::string f = "%1%2%3%4%5%6%7%8%9";
    recording_host host;
    host.reply = [&f](const std::string& command) -> std::optional<std::string> {
        if (command.rfind("TG ", 0) == 0) return "%5=" + f;
        return "%2," + f;
    };
    query_script script(&host, "");
    vorn_string value;
    captureDebugOutput();
    script.textGet(f.c_str(), f.c_str(), f.c_str(), value);
    const std::string trace = capturedDebugOutput();
    EXPECT_EQ(items(script.controlIdList("%2", "alm_")), (std::vector<std::string>{"%2", f}));
    EXPECT_EQ(host.commands, (commands{"TG '" + f + "' '" + f + "' '" + f + "'", "XI '%2' 'alm_'"}));
    EXPECT_EQ(trace, "textGet: value returned \"%5\" was not the value requested \"" + f +
                         "\" (value returned was \"%5=" + f + "\" from control \"" + f + "\", on panel \"" + f +
                         "\")\n");
    EXPECT_TRUE(host.everyReplyHandedBackOnce());
}

// A trace reads as the chain format.arg(a1).arg(a2)...arg(a9) of the string library reads, as
// long as no argument holds a placeholder: each argument fills the lowest number still there.
TEST(DebugTrace, GivesWhatAChainOfSingleFillsGivesOnGapsRepeatsAndZero) {
    const char* formats[] = {"%2 %3", "%3 %1 %3", "%0 %1 %9", "a%5b%5c%7", "%1%1%1", "100% %2", "%9", "%%1", "none"};
    for (const char* format : formats) {
        const char* a[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
        const vorn_string chained =
            vorn_string(format).arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]).arg(a[4]).arg(a[5]).arg(a[6]).arg(a[7]).arg(
                a[8]);
        captureDebugOutput();
        query_script::debugTrace(format, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
        EXPECT_EQ(capturedDebugOutput(), std::string(chained) + "\n") << format;
    }
}

// A trace is no command: a field's line break goes out with the rest of the text.
TEST(DebugTrace, FieldsWithLineBreaksGoOutWhole) {
    captureDebugOutput();
    query_script::debugTrace("[%1] [%2]", "one\ntwo", "three\r\nfour", "", "", "", "", "", "", "");
    EXPECT_EQ(capturedDebugOutput(), "[one\ntwo] [three\r\nfour]\n");
}

TEST(DebugTrace, ArgumentsHoldingPlaceholdersGoInOnce) {
    captureDebugOutput();
    query_script::debugTrace("%2 %1 %2 %9", "%2", "%1", "", "", "", "", "", "", "last");
    query_script::debugTrace("%0 %10 100%", "a", "", "", "", "", "", "", "", "");
    EXPECT_EQ(capturedDebugOutput(), "%1 %2 %1 \n%0 a0 100%\n");
}
