// Reads from a file's bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "file_bytes.h"

using namespace vorn_host;

namespace {

// Reads from a file's bytes: a value ending at the last byte is read, one byte further is not,
// nor is an offset so large that adding the size would wrap around.
TEST(FileBytes, ReadsOnlyWhatLiesWhollyInsideTheFile) {
    const file_bytes file(std::vector<char>{1, 2, 3, 4, 5, 6});
    uint32_t value = 0;
    EXPECT_TRUE(file.read(2, value));
    EXPECT_EQ(value, 0x06050403u);
    value = 7;
    EXPECT_FALSE(file.read(3, value));
    EXPECT_FALSE(file.read(UINT64_MAX - 1, value));
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b', '\0', 'c'}).textAt(0), "ab");
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b'}).textAt(1), "b");
    EXPECT_EQ(file_bytes(std::vector<char>{'a', 'b'}).textAt(2), "");
}

}  // namespace
