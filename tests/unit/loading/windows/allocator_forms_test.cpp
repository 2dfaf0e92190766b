// The counting allocator's Windows side: the C runtime's own name for strdup is watched; what
// the runtime holds, and its aligned blocks, cannot be.
#include <gtest/gtest.h>

#include "module_allocator.h"

namespace {

// glibc's mallinfo2 tells how much the C library holds; Windows' C runtimes have no such count,
// so that a freed block is given back is shown on Linux only.
TEST(WatchedAllocations, WhatTheCLibraryHoldsIsCountedByGlibcOnly) {
    GTEST_SKIP() << "Windows' C runtimes do not count what they hold (glibc's mallinfo2 does, on Linux)";
}

TEST(WatchedAllocations, TheRuntimesOwnStrdupIsWatched) {
    void* strdupForm = vorn_host::module_allocator::watchedFormOf("_strdup");
    ASSERT_NE(strdupForm, nullptr);
    const long live = vorn_host::module_allocator::liveBlocks();
    char* copy = reinterpret_cast<char* (*)(const char*)>(strdupForm)("text");
    EXPECT_STREQ(copy, "text");
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live + 1);
    vorn_host::module_allocator::watchedFree(copy);
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live);
}

// An aligned block of a Windows C runtime is freed with a function of the runtime's own
// (_aligned_free), which a module calls directly: it is left unwatched, not half counted.
TEST(WatchedAllocations, AlignedBlocksAreWatchedOnPosixOnly) {
    EXPECT_EQ(vorn_host::module_allocator::watchedFormOf("_aligned_malloc"), nullptr);
    EXPECT_EQ(vorn_host::module_allocator::watchedFormOf("aligned_alloc"), nullptr);
}

}  // namespace
