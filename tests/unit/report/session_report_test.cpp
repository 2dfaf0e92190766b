// What a session's report keeps of each instance.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "session_report.h"

using namespace vorn_host;

namespace {

TEST(SessionReport, EachInstanceSentOnlyItsOwnCommands) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    report.moduleSends(0, "PS '1' 'p1.vorn_ui'", nullptr);
    report.moduleSends(1, "ET 1", nullptr);
    report.moduleSends(0, "AS", nullptr);
    EXPECT_EQ(report.sentBy(0), (std::vector<std::string>{"PS '1' 'p1.vorn_ui'", "AS"}));
    EXPECT_EQ(report.sentBy(1), (std::vector<std::string>{"ET 1"}));
    EXPECT_TRUE(report.sentBy(2).empty());
}

}  // namespace
