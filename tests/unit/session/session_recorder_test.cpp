// The session recorder: a played session written back with what the module sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session.h"
#include "session_recorder.h"

using namespace vorn_host;

namespace {

TEST(SessionRecorder, TheDiffKeepsCommonLinesAndMarksTheRest) {
    EXPECT_EQ(lineDiff({"a", "b", "c"}, {"a", "x", "c"}), lineDiff({"a", "b", "c"}, {"a", "x", "c"}));
    const std::string diff = lineDiff({"keep", "old", "same"}, {"keep", "new", "same"});
    EXPECT_NE(diff.find("-old"), std::string::npos) << diff;
    EXPECT_NE(diff.find("+new"), std::string::npos) << diff;
    EXPECT_EQ(diff.find("-keep"), std::string::npos) << diff;
    EXPECT_EQ(diff.find("-same"), std::string::npos) << diff;
    EXPECT_EQ(lineDiff({"a", "b"}, {"a", "b"}), "");
}

// The diff is the shortest there is: it keeps the longest run of lines the two have in common,
// removing before it adds, so that an update shows only what changed.
TEST(SessionRecorder, TheDiffIsTheShortestThatTurnsOneIntoTheOther) {
    EXPECT_EQ(lineDiff({"a", "b", "c", "d"}, {"b", "c", "d", "a"}), "-a\n+a\n");
    EXPECT_EQ(lineDiff({"x", "a", "b"}, {"a", "b", "y"}), "-x\n+y\n");
    EXPECT_EQ(lineDiff({"a", "b", "a", "b"}, {"b", "a", "b", "a"}), "-a\n+a\n");
    EXPECT_EQ(lineDiff({"a", "b", "c"}, {"c", "b", "a"}), "-a\n-b\n+b\n+a\n");
    EXPECT_EQ(lineDiff({"t", "a", "t", "b"}, {"a", "t", "b", "t"}), "-t\n+t\n");
    EXPECT_EQ(lineDiff({}, {"new"}), "+new\n");
    EXPECT_EQ(lineDiff({"old"}, {}), "-old\n");
    // A line added before lines that repeat: the repeats are kept, not removed and added again.
    EXPECT_EQ(lineDiff({"a", "a"}, {"b", "a", "a"}), "+b\n");
    EXPECT_EQ(lineDiff({"RC 1 2 3", "RC 1 2 3", "AS"}, {"PS", "RC 1 2 3", "RC 1 2 3", "AS"}), "+PS\n");
}

TEST(SessionRecorder, KeepsWhatCreationSentBeforeThePlayedActions) {
    session_recorder recorder;
    recorder.created({"PS '1' 'p1.vorn_ui'"});
    const parsed_line timer = parseSessionLine("timer 7", 1);
    ASSERT_TRUE(timer.action);
    recorder.played(*timer.action, {"ET 7"}, std::nullopt);
    const parsed_line request = parseSessionLine("request _events", 2);
    recorder.played(*request.action, {}, std::string("notify=*"));
    EXPECT_EQ(recorder.lines(), (std::vector<std::string>{"expect PS '1' 'p1.vorn_ui'", "timer 7", "expect ET 7",
                                                          "request _events", "answer notify=*"}));
}

TEST(SessionRecorder, AnUpdateWritesTheCreationLinesOnceBeforeTheFirstAction) {
    session_recorder recorder;
    recorder.created({"PS '1' 'p1.vorn_ui'"});
    const std::vector<std::string> session = {"timer 7", "timer 8"};
    for (int number = 1; number <= 2; ++number) {
        const parsed_line timer = parseSessionLine(session[static_cast<size_t>(number - 1)], number);
        ASSERT_TRUE(timer.action);
        recorder.played(*timer.action, {"ET " + std::to_string(6 + number)}, std::nullopt);
    }
    EXPECT_EQ(recorder.updated(session), (std::vector<std::string>{"expect PS '1' 'p1.vorn_ui'", "timer 7",
                                                                   "expect ET 7", "timer 8", "expect ET 8"}));
}

}  // namespace
