// The counting allocator's POSIX side: glibc's view of what it holds, POSIX's aligned forms and
// the over-aligned operator new, all watched.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include <malloc.h>

#include "module_allocator.h"

namespace {

// What the watched free takes back is given back to the C library, not only uncounted.
TEST(WatchedAllocations, AFreedBlockIsGivenBackToTheCLibrary) {
    vorn_host::module_allocator::watchedFree(vorn_host::module_allocator::watchedMalloc(64));  // the block table made
    const size_t inUse = mallinfo2().uordblks;
    vorn_host::module_allocator::watchedFree(vorn_host::module_allocator::watchedMalloc(100000));
    EXPECT_EQ(mallinfo2().uordblks, inUse);
}

// POSIX's aligned form says it failed by its result, as the C library's does.
TEST(WatchedAllocations, AFailedAlignedAllocationSaysSoByItsResult) {
    vorn_host::module_allocator::armed_scope armed(true);
    vorn_host::module_allocator::failAllocation(1);
    void* block = nullptr;
    EXPECT_EQ(vorn_host::module_allocator::watchedPosixMemalign(&block, 64, 8), ENOMEM);
    EXPECT_TRUE(vorn_host::module_allocator::failureReached());
    EXPECT_EQ(block, nullptr);
    vorn_host::module_allocator::failAllocation(0);
    EXPECT_EQ(vorn_host::module_allocator::watchedPosixMemalign(&block, 64, 8), 0);
    vorn_host::module_allocator::watchedFree(block);
}

TEST(WatchedAllocations, OverAlignedNewAndDeleteBalance) {
    struct alignas(64) wide {
        char bytes[64];
    };
    const long live = vorn_host::module_allocator::liveBlocks();
    wide* one = new wide;
    wide* many = new wide[3];
    const long whileHeld = vorn_host::module_allocator::liveBlocks();
    const bool aligned = (reinterpret_cast<std::uintptr_t>(one) | reinterpret_cast<std::uintptr_t>(many)) % 64 == 0;
    delete one;
    delete[] many;
    const long afterwards = vorn_host::module_allocator::liveBlocks();
    EXPECT_TRUE(aligned);
    EXPECT_EQ(whileHeld, live + 2);
    EXPECT_EQ(afterwards, live);
}

}  // namespace
