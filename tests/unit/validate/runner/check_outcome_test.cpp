// A check's outcome as the line a check's own process hands back, and what a broken line reads as.
#include <gtest/gtest.h>

#include "check_outcome.h"

using namespace vorn_host;

TEST(CheckOutcome, EveryStatusAndItsTextsComeBackAsTheyWent) {
    for (const check_outcome& sent : {check_outcome::passed("11 allocation points"),
                                      check_outcome::failed("a crash \"quoted\"\nand more", "event 1 x\n"),
                                      check_outcome::skipped("not on this platform")}) {
        const check_outcome read = decodeOutcome(encodeOutcome(sent));
        EXPECT_EQ(read.status, sent.status);
        EXPECT_EQ(read.reason, sent.reason);
        EXPECT_EQ(read.session, sent.session);
    }
    EXPECT_EQ(encodeOutcome(check_outcome::passed()).find('\n'), std::string::npos);
}

TEST(CheckOutcome, ALineThatIsNoOutcomeIsAFailureWithoutAResult) {
    for (const char* text : {"", "{", "[1,2]", "\"pass\"", "pass"}) {
        const check_outcome read = decodeOutcome(text);
        EXPECT_EQ(read.status, check_status::fail) << text;
        EXPECT_EQ(read.reason, "the check ended without a result") << text;
    }
    EXPECT_EQ(decodeOutcome("{\"status\":\"maybe\"}").status, check_status::fail);
}
