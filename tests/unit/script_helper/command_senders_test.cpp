#include <climits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "debugger_output.h"
#include "filled_text.h"
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

    // The same with the script's path, and with an extra field.
    recording_host silent;
    test_script withPath(&silent, "panels");
    EXPECT_FALSE(withPath.panelShow("1", "f", ""));
    EXPECT_FALSE(withPath.panelShow("1", "f", "x"));
    silent.reply = [](const std::string&) { return std::string(); };
    EXPECT_TRUE(withPath.panelShow("1", "f", ""));
    EXPECT_TRUE(withPath.panelShow("1", "f", "x"));
}

// Only CR and LF stop a command: the other control characters below them go out as they are.
TEST(TextPut, TabsAndOtherControlCharactersGoOut) {
    EXPECT_EQ(sentBy("", [](test_script& s) { s.textPut("text", "a\tb\x0b\x0c\x01", "1", "x"); }),
              std::vector<std::string>{"TP 'text=a\tb\x0b\x0c\x01' '1' 'x'"});
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
    EXPECT_EQ(sentBy("",
                     [](test_script& s) {
                         s.timerStop(1);
                         s.timerStop(-1);
                         s.timerStop(INT_MIN);
                     }),
              (std::vector<std::string>{"ET 1", "ET -1", "ET -2147483648"}));
}

TEST(CommandSenders, NothingIsSentWithoutAHostAndRepliesAreNeverHandedBack) {
    test_script detached(nullptr, "p");
    captureDebugOutput();
    detached.textPut("a", "b", "1", "2");
    detached.routerConnect(1, 2, 3, "", false);
    detached.timerStop(4);
    EXPECT_TRUE(detached.panelShow("1", "f", ""));
    EXPECT_EQ(capturedDebugOutput(), "");

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

// Every field is inserted once and never read again for placeholders.
constexpr char kAllPlaceholders[] = "%1%2%3%4%5%6%7%8%9";

TEST(CommandSenders, PlaceholdersInEveryFieldGoOutAsGiven) {
    const std::string f = kAllPlaceholders;
    EXPECT_EQ(sentBy(kAllPlaceholders,
                     [](test_script& s) {
                         s.panelShow(kAllPlaceholders, kAllPlaceholders, kAllPlaceholders);
                         s.panelShow(kAllPlaceholders, kAllPlaceholders, "");
                         s.textPut(kAllPlaceholders, kAllPlaceholders, kAllPlaceholders, kAllPlaceholders);
                         s.routerConnect(12, 3, 7, kAllPlaceholders, true);
                     }),
              (std::vector<std::string>{
                  "PS '" + f + "' '" + f + "/" + f + "' '" + f + "'", "PS '" + f + "' '" + f + "/" + f + "'",
                  "TP '" + f + "=" + f + "' '" + f + "' '" + f + "'", "RC 12 3 7 '," + f + "' 1"}));
    EXPECT_EQ(sentBy("", [](test_script& s) { s.panelShow("%2", "%3", "%4"); }),
              std::vector<std::string>{"PS '%2' '%3' '%4'"});
}

TEST(CommandSenders, LongFieldsGoOutWhole) {
    recording_host host;
    test_script script(&host, "");
    const std::string big(5000, 'v');
    script.textPut("p", big.c_str(), "1", "c");
    EXPECT_EQ(host.commands, std::vector<std::string>{"TP 'p=" + big + "' '1' 'c'"});
}

TEST(CommandSenders, ALineBreakInAFieldIsTracedNotSent) {
    recording_host host;
    test_script script(&host, "");
    captureDebugOutput();
    script.textPut("alarm", "1\nAS", "1", "alm_a");
    script.textPut("alarm", "1\r", "1", "alm_a");
    EXPECT_FALSE(script.panelShow("1", "p1\r\nXX", ""));
    script.routerConnect(1, 2, 3, "x\ny", false);
    script.textPut("alarm", "it's", "1", "alm_a");
    EXPECT_EQ(capturedDebugOutput(),
              "command not sent, a field holds a line break: TP 'alarm=1\n"
              "command not sent, a field holds a line break: TP 'alarm=1\n"
              "command not sent, a field holds a line break: PS '1' 'p1\n"
              "command not sent, a field holds a line break: RC 1 2 3 ',x\n");
    // Apostrophes still go out unchanged.
    EXPECT_EQ(host.commands, std::vector<std::string>{"TP 'alarm=it's' '1' 'alm_a'"});
}

// Commands filled when the module is compiled read exactly as the senders make them at run time.
TEST(FixedCommands, ReadAsTheSendersMakeThemAtRunTime) {
    static constexpr char kProperty[] = "index", kValue[] = "0", kPanel[] = "1", kControl[] = "Sources";
    static constexpr auto kFixed = fixedTextPut(kProperty, kValue, kPanel, kControl);
    static constexpr auto kPlaceholders = fixedTextPut(kAllPlaceholders, "", "%2", "it's");
    const auto fixedAndRunTime = [](test_script& s) {
        s.sendCommand(kFixed);
        s.textPut(kProperty, kValue, kPanel, kControl);
        s.sendCommand(kPlaceholders);
        s.textPut(kAllPlaceholders, "", "%2", "it's");
    };
    const std::vector<std::string> sent = sentBy("", fixedAndRunTime);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0], "TP 'index=0' '1' 'Sources'");
    EXPECT_EQ(sent[0], sent[1]);
    EXPECT_EQ(sent[2], sent[3]);
    EXPECT_EQ(kFixed.length, sent[0].size());
}

TEST(FixedCommands, FillAsTheOnePassFillerDoes) {
    static constexpr auto kFilled = fixedCommand("A %1 %1 %0 %9 % %2 %", "x", "%1");
    EXPECT_STREQ(kFilled.text, "A x x %0 %9 % %1 %");
    static constexpr auto kGaps = fixedCommand("%3 %5 %3 %9", "x", "y");
    EXPECT_STREQ(kGaps.text, "x y x %9");
    static constexpr auto kEmpty = fixedCommand("ET %1", "");
    EXPECT_STREQ(kEmpty.text, "ET ");
}

TEST(FixedCommands, ALineBreakIsTracedNotSent) {
    static constexpr auto kBroken = fixedTextPut("alarm", "1\nAS", "1", "alm_a");
    recording_host host;
    test_script script(&host, "");
    captureDebugOutput();
    script.sendCommand(kBroken);
    EXPECT_EQ(capturedDebugOutput(), "command not sent, a field holds a line break: TP 'alarm=1\n");
    EXPECT_TRUE(host.commands.empty());

    test_script detached(nullptr, "");
    captureDebugOutput();
    detached.sendCommand(kBroken);
    EXPECT_EQ(capturedDebugOutput(), "");
}

// The filler itself, where the senders cannot reach: placeholders beyond the fields it was
// given stay as they are, and nothing past the last field is read.
TEST(FilledText, PlaceholdersBeyondTheFieldsStayAsTheyAre) {
    EXPECT_STREQ(filled_text("%1 %2 %3", {"a"}).text(), "a %2 %3");
    EXPECT_EQ(filled_text("%1 %2 %3", {"a"}).length(), 7u);
    EXPECT_STREQ(filled_text("%3 %5", {"a"}).text(), "a %5");
    EXPECT_STREQ(filled_text("%1%1", {}).text(), "%1%1");
    const std::string longField(300, 'L');
    const filled_text big("<%1|%2>", {longField.c_str()});
    EXPECT_EQ(std::string(big.text()), "<" + longField + "|%2>");
    EXPECT_EQ(big.length(), longField.size() + 5);
}

// A format compiled with the module gives the text the run-time filler gives, with the same
// length and the same first line break, whatever its placeholders and fields: in and beyond
// the object's own storage, a placeholder at either end, gaps, repeats and a '%' of its own.
TEST(FilledText, ACompiledFormatGivesTheTextOfTheRunTimeFiller) {
    static const char kEnds[] = "%1 middle %2";
    static const char kGaps[] = "[%3|%5|%3]";
    static const char kOwnPercents[] = "100% %0 %% %1%";
    static const char kBeyond[] = "%1 %2 %3";
    static const char kNone[] = "no placeholder";
    static const char kEmpty[] = "";
    const std::string atTheEdge(filled_text::kInlineText - 10, 'e');  // "%1 middle %2" fills it exactly
    const std::string overTheEdge = atTheEdge + "o";
    const std::string longField(300, 'L');
    const struct {
        const compiled_format format;
        const char* runTime;
        std::vector<std::string> fields;
    } cases[] = {
        {compiledFormat(kEnds), kEnds, {"a", "b"}},
        {compiledFormat(kEnds), kEnds, {atTheEdge, ""}},
        {compiledFormat(kEnds), kEnds, {overTheEdge, ""}},
        {compiledFormat(kEnds), kEnds, {longField, longField}},
        {compiledFormat(kEnds), kEnds, {"x\ny", "\rz"}},
        {compiledFormat(kGaps), kGaps, {"first", "second\n"}},
        {compiledFormat(kOwnPercents), kOwnPercents, {"f"}},
        {compiledFormat(kBeyond), kBeyond, {"only"}},
        {compiledFormat(kBeyond), kBeyond, {}},
        {compiledFormat(kNone), kNone, {"unused"}},
        {compiledFormat(kEmpty), kEmpty, {}},
    };
    for (const auto& c : cases) {
        std::vector<text_view> views;
        for (const std::string& field : c.fields) views.push_back(field.c_str());
        const auto fill = [&](const auto& format) {
            switch (views.size()) {
            case 0:
                return std::make_unique<filled_text>(format, std::initializer_list<text_view>{});
            case 1:
                return std::make_unique<filled_text>(format, std::initializer_list<text_view>{views[0]});
            default:
                return std::make_unique<filled_text>(format, std::initializer_list<text_view>{views[0], views[1]});
            }
        };
        const auto compiled = fill(c.format);
        const auto runTime = fill(c.runTime);
        EXPECT_STREQ(compiled->text(), runTime->text()) << c.runTime;
        EXPECT_EQ(compiled->length(), runTime->length()) << c.runTime;
        EXPECT_EQ(compiled->lineBreakAt(), runTime->lineBreakAt()) << c.runTime;
    }
}

// A number's digits are copied without a look for line breaks; any other field is looked at.
TEST(FilledText, ACompiledFormatNotesTheFirstLineBreakAFieldBrings) {
    static const char kLine[] = "TP '%1=%2' '%3'";
    const filled_text text(compiledFormat(kLine), {decimal_number(-12), "a\rb", "c\n"});
    EXPECT_STREQ(text.text(), "TP '-12=a\rb' 'c\n'");
    EXPECT_EQ(text.lineBreakAt(), 9u);
}
