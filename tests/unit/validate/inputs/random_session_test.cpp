// Random sessions made from a module's vocabulary, and cut down to their shortest failing part.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "random_session.h"
#include "session.h"

using namespace vorn_host;

namespace {

TEST(RandomSession, TheSeedGivesTheLinesAndEventsGoToTheModulesControls) {
    module_vocabulary vocabulary;
    vocabulary.shownControls = {{"3", "Go"}};
    vocabulary.parameters = {"Device"};
    const auto lines = randomSessionLines(7, vocabulary, 200);
    EXPECT_EQ(lines, randomSessionLines(7, vocabulary, 200));
    EXPECT_NE(lines, randomSessionLines(8, vocabulary, 200));
    bool deviceSet = false;
    for (const std::string& line : lines) {
        const parsed_line parsed = parseSessionLine(line, 1);
        ASSERT_TRUE(parsed.action) << line << ": " << parsed.error;
        if (line.rfind("event ", 0) == 0) {
            EXPECT_EQ(line.rfind("event 3 Go ", 0), 0u) << line;
        }
        deviceSet = deviceSet || line.rfind("request Device=", 0) == 0;
    }
    EXPECT_TRUE(deviceSet);
}

TEST(RandomSession, GivesAsManyLinesAsAsked) {
    EXPECT_EQ(randomSessionLines(1, module_vocabulary(), 60).size(), 60u);
    EXPECT_TRUE(randomSessionLines(1, module_vocabulary(), 0).empty());
}

TEST(RandomSession, TheShortestFailingPartKeepsOnlyTheLinesThatFail) {
    const std::vector<std::string> lines = {"a", "crash", "b", "c", "then", "d"};
    const auto fails = [](const std::vector<std::string>& session) {
        const auto crash = std::find(session.begin(), session.end(), "crash");
        return crash != session.end() && std::find(crash, session.end(), "then") != session.end();
    };
    EXPECT_EQ(shortestFailing(lines, fails), (std::vector<std::string>{"crash", "then"}));
}

}  // namespace
