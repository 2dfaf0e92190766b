// A command line split into its word and fields, and read against a command's shape.
#include <gtest/gtest.h>

#include "command_text.h"
#include "vorn_boundary_words.h"

using namespace vorn_host;

TEST(CommandText, QuotedFieldsKeepTheirBlanksAndBareOnesEndAtABlank) {
    const auto command = splitCommandText("RC 12 7  3 ', x' 0");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->word, "RC");
    const auto fields = command->fieldsShaped(kRouterConnectCommand.fields);
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, (std::vector<std::string>{"12", "7", "3", ", x", "0"}));
}

TEST(CommandText, AnOpenQuoteIsNoCommand) {
    EXPECT_FALSE(splitCommandText("TP 'index=0' '1' 'Sources"));
    EXPECT_TRUE(splitCommandText("TP 'index=0' '1' 'Sources'"));
}

TEST(CommandText, FieldsMustHaveTheShapeExactly) {
    const auto command = splitCommandText("PS '1' 'p1.vorn_ui'");
    ASSERT_TRUE(command);
    EXPECT_TRUE(command->fieldsShaped(kPanelShowCommand.fields));
    EXPECT_FALSE(command->fieldsShaped(kPanelShowCommand.fieldsWithExtra));
    EXPECT_FALSE(command->fieldsShaped("qb"));
    const auto detach = splitCommandText("AS");
    ASSERT_TRUE(detach);
    EXPECT_EQ(detach->word, "AS");
    EXPECT_TRUE(detach->fieldsShaped(kHostDetachCommand.fields));
}

TEST(CommandText, FormatsBeginWithTheirCommandsWord) {
    EXPECT_TRUE(beginsWithWord("ET 1", kTimerStopCommand));
    EXPECT_TRUE(beginsWithWord("AS", kHostDetachCommand));
    EXPECT_FALSE(beginsWithWord("ETX 1", kTimerStopCommand));
    EXPECT_FALSE(beginsWithWord("E 1", kTimerStopCommand));
}
