// Cutting what a Videohub router sends into blocks, and the limit on what a router can make
// the reader hold.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "videohub_reader.h"

using vorn_host::videohub_reader;

namespace {

bool take(videohub_reader& reader, const std::string& bytes) {
    return reader.take(bytes.data(), bytes.size());
}

}  // namespace

TEST(VideohubReader, BlocksEndAtABlankLineHoweverTheBytesArrive) {
    videohub_reader reader;
    const std::string sent = "ACK\n\nVIDEO OUTPUT ROUTING:\r\n1 6\n\n";
    for (char c : sent) ASSERT_TRUE(take(reader, std::string(1, c)));
    EXPECT_EQ(*reader.next(), (std::vector<std::string>{"ACK"}));
    EXPECT_EQ(*reader.next(), (std::vector<std::string>{"VIDEO OUTPUT ROUTING:", "1 6"}));
    EXPECT_FALSE(reader.next());
}

TEST(VideohubReader, ABlockNotYetEndedIsHeldAndEmptyBlocksArePassedOver) {
    videohub_reader reader;
    ASSERT_TRUE(take(reader, "\n\n\n\nNAK\n"));
    EXPECT_FALSE(reader.next());
    ASSERT_TRUE(take(reader, "\n"));
    EXPECT_EQ(*reader.next(), (std::vector<std::string>{"NAK"}));
}

TEST(VideohubReader, ABlockBeyondTheLimitStopsTheReaderForGood) {
    videohub_reader reader;
    EXPECT_TRUE(take(reader, std::string(videohub_reader::kMaxBlockBytes, 'x')));
    EXPECT_FALSE(take(reader, "x"));
    EXPECT_TRUE(reader.overrun());
    EXPECT_FALSE(take(reader, "\n\n"));
    EXPECT_FALSE(reader.next());
}

TEST(VideohubReader, WholeBlocksPastWhatMayBeHeldStopTheReader) {
    videohub_reader reader;
    const std::string block = std::string(1000, 'y') + "\n\n";
    bool taken = true;
    for (std::size_t held = 0; taken && held <= videohub_reader::kMaxHeldBytes; held += block.size()) {
        taken = take(reader, block);
    }
    EXPECT_FALSE(taken);
    EXPECT_TRUE(reader.overrun());
}
