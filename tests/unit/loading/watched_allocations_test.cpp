// The counting allocator under a loaded module.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "module_allocator.h"

using namespace vorn_host;

namespace {

// The C functions a module's imports are pointed at: counted, failed on demand, and a block
// counted as live until it is freed.
TEST(WatchedAllocations, AreCountedFailedAndFreed) {
    const long live = vorn_host::module_allocator::liveBlocks();
    void* zeroed = vorn_host::module_allocator::watchedCalloc(4, 8);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(static_cast<const char*>(zeroed)[31], 0);
    char* copy = vorn_host::module_allocator::watchedStrdup("text");
    EXPECT_STREQ(copy, "text");
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live + 2);
    void* grown = vorn_host::module_allocator::watchedRealloc(zeroed, 4096);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live + 2);
    vorn_host::module_allocator::watchedFree(grown);
    vorn_host::module_allocator::watchedFree(copy);
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live);

    errno = 0;
    EXPECT_EQ(vorn_host::module_allocator::watchedCalloc(SIZE_MAX / 4 + 2, 4), nullptr);  // 4 once wrapped
    EXPECT_EQ(errno, ENOMEM);
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live);

    void* array = vorn_host::module_allocator::watchedReallocarray(nullptr, 4, 8);
    ASSERT_NE(array, nullptr);
    errno = 0;
    EXPECT_EQ(vorn_host::module_allocator::watchedReallocarray(array, SIZE_MAX / 4 + 2, 4), nullptr);
    EXPECT_EQ(errno, ENOMEM);
    vorn_host::module_allocator::watchedFree(array);
    EXPECT_EQ(vorn_host::module_allocator::liveBlocks(), live);
}

TEST(WatchedAllocations, AFailedAllocationSaysSoAndEveryOneFromItOnFailsWhenAsked) {
    vorn_host::module_allocator::armed_scope armed(true);
    vorn_host::module_allocator::failAllocation(2);
    void* first = vorn_host::module_allocator::watchedMalloc(8);
    EXPECT_NE(first, nullptr);
    errno = 0;
    EXPECT_EQ(vorn_host::module_allocator::watchedCalloc(1, 8), nullptr);
    EXPECT_EQ(errno, ENOMEM);
    EXPECT_TRUE(vorn_host::module_allocator::failureReached());
    void* third = vorn_host::module_allocator::watchedMalloc(8);
    EXPECT_NE(third, nullptr);
    vorn_host::module_allocator::failAllocation(1);
    EXPECT_EQ(vorn_host::module_allocator::watchedRealloc(third, 4096), nullptr);  // the old block stays
    static_cast<char*>(third)[7] = 'x';
    vorn_host::module_allocator::failAllocationsFrom(1);
    EXPECT_EQ(vorn_host::module_allocator::watchedMalloc(8), nullptr);
    EXPECT_EQ(vorn_host::module_allocator::watchedStrdup("x"), nullptr);
    vorn_host::module_allocator::failAllocation(0);
    vorn_host::module_allocator::watchedFree(first);
    vorn_host::module_allocator::watchedFree(third);
}

// Every form of operator delete gives its block back, whichever form of new made it.
TEST(WatchedAllocations, EveryFormOfDeleteGivesTheBlockBack) {
    std::vector<long> after;
    after.reserve(10);  // no allocation of the test's own among those counted
    const long live = vorn_host::module_allocator::liveBlocks();
    const std::align_val_t wide{64};
    const std::nothrow_t quietly;
    const auto counted = [&] { after.push_back(vorn_host::module_allocator::liveBlocks() - live); };
    ::operator delete(::operator new(8), quietly);
    counted();
    ::operator delete[](::operator new[](8, quietly), quietly);
    counted();
    ::operator delete(::operator new(8, wide), wide);
    counted();
    ::operator delete[](::operator new[](8, wide), wide);
    counted();
    ::operator delete(::operator new(8, wide), wide, quietly);
    counted();
    ::operator delete[](::operator new[](8, wide), wide, quietly);
    counted();
#if defined(__cpp_sized_deallocation)
    ::operator delete (::operator new(8), std::size_t{8});
    counted();
    ::operator delete[](::operator new[](8), std::size_t{8});
    counted();
    ::operator delete (::operator new(8, wide, quietly), std::size_t{8}, wide);
    counted();
    ::operator delete[](::operator new[](8, wide, quietly), std::size_t{8}, wide);
    counted();
#endif
    EXPECT_EQ(after, std::vector<long>(after.size(), 0));
}

}  // namespace
