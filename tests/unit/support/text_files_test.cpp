// Paths and lines.
#include <gtest/gtest.h>

#include <string>

#include "text_files.h"

using namespace vorn_host;

namespace {

TEST(TextFiles, TheFolderOfAPathAndLinesJoined) {
    EXPECT_EQ(directoryOf("bin/Router.so"), "bin");
    EXPECT_EQ(directoryOf("C:\\panels\\p1.vorn_ui"), "C:\\panels");
    EXPECT_EQ(directoryOf("Router.so"), ".");
    EXPECT_EQ(joinLines({"a", "b"}), "a\nb\n");
}

}  // namespace
