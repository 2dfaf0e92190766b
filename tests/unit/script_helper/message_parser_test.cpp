#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_event.h"
#include "message_records.h"

namespace {

struct parsed {
    std::string command;
    std::vector<std::string> parts;
    std::string value;
    bool hasValue;
};

parsed parse(const char* text) {
    owned_parsed_message message(text);
    const parsed_message& record = message.record();
    parsed out{record.command, {}, record.value, record.hasValue};
    for (int i = 0; i < record.partCount; ++i) out.parts.push_back(record.parts[i]);
    return out;
}

}  // namespace

TEST(MessageParser, CommandAndValue) {
    const parsed p = parse("RouterDeviceNo=12");
    EXPECT_EQ(p.command, "RouterDeviceNo");
    EXPECT_EQ(p.value, "12");
    EXPECT_TRUE(p.parts.empty());
    EXPECT_TRUE(p.hasValue);
}

TEST(MessageParser, CommandAlone) {
    const parsed p = parse("_events");
    EXPECT_EQ(p.command, "_events");
    EXPECT_EQ(p.value, "");
    EXPECT_FALSE(p.hasValue);
}

TEST(MessageParser, DotsSplitPartsOnlyBeforeTheFirstEquals) {
    const parsed p = parse("a.b.c=d.e");
    EXPECT_EQ(p.command, "a");
    EXPECT_EQ(p.parts, (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(p.value, "d.e");
    EXPECT_EQ(parse("a=b=c").value, "b=c");
}

TEST(MessageParser, EmptyFieldsAtEitherEndAndBetweenDots) {
    const parsed leadingEquals = parse("=rest");
    EXPECT_EQ(leadingEquals.command, "");
    EXPECT_EQ(leadingEquals.value, "rest");
    const parsed leadingDot = parse(".first.second");
    EXPECT_EQ(leadingDot.command, "");
    EXPECT_EQ(leadingDot.parts, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(parse("a.").parts, (std::vector<std::string>{""}));
    EXPECT_EQ(parse("a..b").parts, (std::vector<std::string>{"", "b"}));
}

TEST(MessageParser, TheThirtySecondPartKeepsTheRestOfTheText) {
    std::string text = "c";
    for (int i = 1; i <= 34; ++i) text += "." + std::to_string(i);
    text += "=v";
    const parsed p = parse(text.c_str());
    ASSERT_EQ(p.parts.size(), 32u);
    EXPECT_EQ(p.parts[30], "31");
    EXPECT_EQ(p.parts[31], "32.33.34=v");
    EXPECT_EQ(p.value, "");
    EXPECT_FALSE(p.hasValue);
}

TEST(MessageParser, NullAndEmptyTextsHaveNoBuffer) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        owned_parsed_message message(text);
        const parsed_message& record = message.record();
        EXPECT_EQ(record.buffer, nullptr);
        EXPECT_STREQ(record.command, "");
        EXPECT_STREQ(record.value, "");
        EXPECT_EQ(record.partCount, 0);
        EXPECT_FALSE(record.hasValue);
    }
}

TEST(MessageParser, UnfilledFieldsPointAtAnEmptyTextNeverNull) {
    owned_parsed_message message("a.b");
    const parsed_message& record = message.record();
    for (int i = record.partCount; i < kMaxMessageParts; ++i) {
        ASSERT_NE(record.parts[i], nullptr);
        EXPECT_STREQ(record.parts[i], "");
    }
    ASSERT_NE(record.value, nullptr);
}

TEST(MessageParser, LongTextsAreCopiedWhole) {
    const std::string longValue(100000, 'v');
    const parsed p = parse(("key=" + longValue).c_str());
    EXPECT_EQ(p.command, "key");
    EXPECT_EQ(p.value, longValue);
}

// Only texts shorter than the inline room live inside the object: one of exactly that length,
// with its terminator, would not fit.
TEST(MessageParser, OnlyTextsShorterThanTheInlineRoomLiveInsideTheObject) {
    for (const unsigned length : {owned_parsed_message::kInlineText - 1, owned_parsed_message::kInlineText}) {
        const std::string text = "k=" + std::string(length - 2, 'v');
        const owned_parsed_message message(text.c_str());
        const char* object = reinterpret_cast<const char*>(&message);
        const char* buffer = message.record().buffer;
        const bool inside = buffer >= object && buffer < object + sizeof message;
        EXPECT_EQ(inside, length < owned_parsed_message::kInlineText) << length;
        EXPECT_EQ(std::string(message.record().value), std::string(length - 2, 'v'));
    }
}

TEST(MessageParser, TheRecordReadsItsOwnCopyNotTheCallersText) {
    char text[] = "command=value";
    owned_parsed_message message(text);
    text[0] = 'X';
    EXPECT_STREQ(message.record().command, "command");
}

// Scripts read event texts in place instead of copying them; each reading must answer exactly
// as the string library does on a copy of the same text.
TEST(ControlEventReadings, AgreeWithTheStringLibrarysOperators) {
    const char* texts[] = {"1",
                           "01",
                           "+1",
                           "-1",
                           " 1",
                           "1x",
                           "",
                           "-",
                           "+",
                           "500",
                           "Sources",
                           "2147483647",
                           "2147483648",
                           "-2147483648",
                           "-2147483649",
                           "-21474836480",
                           "99999999999999999999",
                           "\t-7z",
                           "Sources ",
                           "0"};
    const int numbers[] = {1, -1, 0, 500, INT_MAX, INT_MIN, 7, -7};
    for (const char* text : texts) {
        host_event event(text, text, std::string("value=") + text);
        control_event reader(*event.record());
        const vorn_string copy(text);
        EXPECT_EQ(reader.idNumber(), static_cast<int>(copy)) << text;
        EXPECT_EQ(reader.valueNumber(), static_cast<int>(copy)) << text;
        for (const int number : numbers)
            EXPECT_EQ(reader.panelDenotes(number), copy == number) << text << " " << number;
        for (const char* other : texts) EXPECT_EQ(reader.idEquals(other), copy == other) << text << " " << other;
    }
    for (const char* text : texts) {
        owned_parsed_message message((std::string(text) + "=" + text).c_str());
        parameter_request request(message.record());
        EXPECT_EQ(request.valueNumber(), static_cast<int>(request.value())) << text;
        for (const char* other : texts)
            EXPECT_EQ(request.commandEquals(other), request.command() == other) << text << " " << other;
    }
    host_control_event empty{0, 0, nullptr, nullptr, nullptr};
    control_event nothing(empty);
    EXPECT_FALSE(nothing.panelDenotes(0));
    EXPECT_TRUE(nothing.idEquals(""));
    EXPECT_EQ(nothing.valueNumber(), 0);
}
