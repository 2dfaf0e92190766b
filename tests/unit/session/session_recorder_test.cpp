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
