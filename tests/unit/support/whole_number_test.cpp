// Whole numbers as the host reads them from commands and session lines: all of the text, or none.
#include <gtest/gtest.h>

#include "whole_number.h"

using namespace vorn_host;

namespace {

TEST(WholeNumber, IsTheWholeTextOrNothing) {
    EXPECT_FALSE(wholeNumber("").has_value());
    EXPECT_FALSE(wholeNumber("1x").has_value());
    EXPECT_EQ(wholeNumber("-12"), -12);
}

}  // namespace
