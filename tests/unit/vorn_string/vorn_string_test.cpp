#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vorn_string.h"
#include "vorn_string_texts.h"

TEST(VornString, NullTextIsEmptyInConstructionAndAssignment) {
    vorn_string fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.length(), 0u);
    vorn_string assigned("x");
    assigned = static_cast<const char*>(nullptr);
    EXPECT_EQ(text(assigned), "");
}

TEST(VornString, IntegerFormIsPlainDecimal) {
    EXPECT_EQ(text(vorn_string(12, 0, 0, 10)), "12");
    EXPECT_EQ(text(vorn_string(-7, 0, 0, 10)), "-7");
    EXPECT_EQ(text(vorn_string(INT_MIN, 0, 0, 10)), "-2147483648");
    EXPECT_EQ(text(vorn_string(255, '0', 4, 16)), "00ff");
    EXPECT_EQ(text(vorn_string(5, 0, 3, 10)), "  5");
    // A base outside 2 to 36 counts as 10.
    for (int base : {-2, 0, 1, 37}) EXPECT_EQ(text(vorn_string(255, 0, 0, base)), "255") << base;
    EXPECT_EQ(text(vorn_string(35, 0, 0, 36)), "z");
    EXPECT_EQ(text(vorn_string(5, 0, 0, 2)), "101");
}

TEST(VornString, CopiesAreIndependentAcrossTheInlineLimit) {
    const std::string longText(200, 'a');
    for (const std::string& original : {std::string("short"), longText}) {
        vorn_string a(original.c_str());
        vorn_string b(a);
        vorn_string c;
        c = a;
        a = "changed";
        EXPECT_EQ(text(b), original);
        EXPECT_EQ(text(c), original);
    }
}

TEST(VornString, AppendingGrowsPastTheInlineLimitAndToItself) {
    vorn_string s("0123456789");
    for (int i = 0; i < 4; ++i) s += s;
    EXPECT_EQ(s.length(), 160u);
    EXPECT_EQ(text(s).substr(150), "0123456789");
    EXPECT_EQ(text(vorn_string("a") + "b" + vorn_string("c")), "abc");
    EXPECT_EQ(text("x" + vorn_string("y")), "xy");
}

TEST(VornString, ToIntReadsBlanksSignAndDigitsAndSaturates) {
    EXPECT_EQ(vorn_string("42").toInt(), 42);
    EXPECT_EQ(vorn_string("  -17x9").toInt(), -17);
    EXPECT_EQ(vorn_string("+8").toInt(), 8);
    EXPECT_EQ(vorn_string("abc").toInt(), 0);
    EXPECT_EQ(vorn_string("").toInt(), 0);
    EXPECT_EQ(vorn_string("-").toInt(), 0);
    EXPECT_EQ(vorn_string("99999999999999999999").toInt(), INT_MAX);
    EXPECT_EQ(vorn_string("-2147483648").toInt(), INT_MIN);
    EXPECT_EQ(vorn_string("-99999999999999999999").toInt(), INT_MIN);
    EXPECT_EQ(static_cast<int>(vorn_string("500")), 500);
}

TEST(VornString, EqualityWithTextHeedsCaseAndLength) {
    EXPECT_TRUE(vorn_string("Sources") == "Sources");
    EXPECT_FALSE(vorn_string("Sources") == "sources");
    EXPECT_FALSE(vorn_string("Source") == "Sources");
    EXPECT_TRUE(vorn_string("") == static_cast<const char*>(nullptr));
    EXPECT_TRUE(vorn_string("a") != vorn_string("b"));
    EXPECT_TRUE(vorn_string("a") != vorn_string("ab"));
    EXPECT_FALSE(vorn_string("ab") != vorn_string("ab"));
}

TEST(VornString, EqualityWithIntegerNeedsTheWholeTextToBeThatNumber) {
    EXPECT_TRUE(vorn_string("1") == 1);
    EXPECT_TRUE(vorn_string("01") == 1);
    EXPECT_TRUE(vorn_string("-3") == -3);
    EXPECT_FALSE(vorn_string("2") == 1);
    EXPECT_FALSE(vorn_string("1x") == 1);
    EXPECT_FALSE(vorn_string(" 1") == 1);
    EXPECT_FALSE(vorn_string("") == 0);
    EXPECT_FALSE(vorn_string("-") == 0);
    EXPECT_FALSE(vorn_string("4294967297") == 1);
    EXPECT_TRUE(vorn_string("-2147483648") == INT_MIN);
    EXPECT_TRUE(vorn_string("2147483647") == INT_MAX);
    EXPECT_TRUE(vorn_string("0000000000000000000000012") == 12);
    // Every digit starts a number, the first and the last of them too.
    EXPECT_TRUE(vorn_string("9") == 9);
    EXPECT_TRUE(vorn_string("-0") == 0);
    EXPECT_FALSE(vorn_string("/") == 0);
    EXPECT_FALSE(vorn_string(":") == 0);
    // Digits past 32 bits never wrap or stop being read.
    EXPECT_FALSE(vorn_string("-21474836480") == INT_MIN);
    EXPECT_FALSE(vorn_string("-2147483648999") == INT_MIN);
    EXPECT_FALSE(vorn_string("2147483648") == INT_MIN);
    EXPECT_FALSE(vorn_string("99999999999999999999999999999") == INT_MAX);
}

TEST(VornString, ArgFillsTheLowestPlaceholderEverywhere) {
    EXPECT_EQ(text(vorn_string("%2-%1-%1").arg("a")), "%2-a-a");
    EXPECT_EQ(text(vorn_string("%1=%2").arg("x").arg(5, 0, 0, 10)), "x=5");
    EXPECT_EQ(text(vorn_string("no placeholder").arg("a")), "no placeholder");
    EXPECT_EQ(text(vorn_string("%0 %10 %").arg("a")), "%0 a0 %");
    EXPECT_EQ(text(vorn_string("100%").arg("a")), "100%");
    // A filled-in text is not searched again by the same call.
    EXPECT_EQ(text(vorn_string("%1 %2").arg("%1")), "%1 %2");
}

TEST(VornString, ArgFillsEveryOneOfManyPlaceholders) {
    std::string format, expected;
    for (int i = 0; i < 40; ++i) {
        format += "%1%2,";
        expected += "x%2,";
    }
    EXPECT_EQ(text(vorn_string(format.c_str()).arg("x")), expected);
}

// The lowest placeholder's places are remembered up to a count, and a text with more is walked
// again: each count at the edge, once tracked in full and once one past it, fills every place.
TEST(VornString, ArgFillsEveryPlaceAtAndPastThePlacesItRemembers) {
    for (int occurrences : {15, 16, 17}) {
        std::string format, expected;
        for (int i = 0; i < occurrences; ++i) {
            format += "(%1)%3";
            expected += "(x)%3";
        }
        EXPECT_EQ(text(vorn_string(format.c_str()).arg("x")), expected) << occurrences;
        EXPECT_EQ(vorn_string(format.c_str()).arg("x").length(), expected.size()) << occurrences;
    }
}

TEST(VornString, ArgOnLongTexts) {
    const std::string body(1000, 'z');
    const vorn_string filled = vorn_string(("<%1>" + body + "<%1>").c_str()).arg(body.c_str());
    EXPECT_EQ(text(filled), "<" + body + ">" + body + "<" + body + ">");
}

TEST(VornString, SplitDividesAtTheFirstSeparator) {
    vorn_string left, right;
    EXPECT_EQ(vorn_string("name=value=more").split('=', left, right), 1);
    EXPECT_EQ(text(left), "name");
    EXPECT_EQ(text(right), "value=more");
    EXPECT_EQ(vorn_string("plain").split('=', left, right), 0);
    EXPECT_EQ(text(left), "plain");
    EXPECT_EQ(text(right), "");
    vorn_string self("a=b");
    self.split('=', self, right);
    EXPECT_EQ(text(self), "a");
    EXPECT_EQ(text(right), "b");
}

// Each part holds exactly its characters: a terminator counted in would not show in the text.
TEST(VornString, SplitPartsHaveExactlyTheirLengths) {
    const struct {
        const char* text;
        unsigned left, right;
    } cases[] = {{"key=value", 3, 5}, {"key=", 3, 0}, {"=v", 0, 1}, {"plain", 5, 0}};
    for (const auto& c : cases) {
        vorn_string left, right;
        vorn_string(c.text).split('=', left, right);
        EXPECT_EQ(left.length(), c.left) << c.text;
        EXPECT_EQ(right.length(), c.right) << c.text;
    }
}

TEST(VornStringList, SplitsKeepingEmptyItems) {
    EXPECT_EQ(items(vorn_stringlist("a,b,c", ',')), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(items(vorn_stringlist("a,,b,", ',')), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(items(vorn_stringlist("alone", ',')), (std::vector<std::string>{"alone"}));
    EXPECT_TRUE(items(vorn_stringlist("", ',')).empty());
    // A NUL separator never occurs inside a text: the whole text is the one item.
    EXPECT_EQ(items(vorn_stringlist("a,b", '\0')), (std::vector<std::string>{"a,b"}));
    EXPECT_TRUE(items(vorn_stringlist("", '\0')).empty());
}

TEST(VornStringList, JoinsWithTheSeparator) {
    vorn_stringlist one;
    one << "RouterDeviceNo=12";
    EXPECT_EQ(text(one.toString('\n')), "RouterDeviceNo=12");
    vorn_stringlist many("a,b,c", ',');
    EXPECT_EQ(text(many.toString('\n')), "a\nb\nc");
    EXPECT_EQ(text(vorn_stringlist().toString('\n')), "");
}

TEST(VornStringList, AssignmentReplacesTheItemsAndSelfAssignmentKeepsThem) {
    vorn_stringlist list("a,b,c", ',');
    list = vorn_stringlist("x", ',');
    EXPECT_EQ(items(list), (std::vector<std::string>{"x"}));
    const vorn_stringlist& same = list;
    list = same;
    EXPECT_EQ(items(list), (std::vector<std::string>{"x"}));
    // Back in its own storage after the larger list, it grows again as it fills.
    for (int i = 0; i < 40; ++i) list << vorn_string(i, 0, 0, 10);
    const std::vector<std::string> grown = items(list);
    ASSERT_EQ(grown.size(), 41u);
    EXPECT_EQ(grown[1], "0");
    EXPECT_EQ(grown[40], "39");
}

TEST(VornStringList, GrowsAndCopiesThousandsOfItems) {
    std::string joined;
    for (int i = 0; i < 5000; ++i) joined += (i ? "," : "") + std::to_string(i);
    vorn_stringlist list(joined.c_str(), ',');
    vorn_stringlist copy(list);
    list << list.toString(',');
    const std::vector<std::string> copied = items(copy);
    ASSERT_EQ(copied.size(), 5000u);
    EXPECT_EQ(copied[4999], "4999");
    EXPECT_EQ(text(copy.toString(',')), joined);
    EXPECT_EQ(items(list).back(), joined);
}
