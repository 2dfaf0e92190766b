#pragma once
// The process's allocation functions, replaced for tests: every allocation is counted, live
// blocks are tracked, and one chosen allocation can be made to fail, as SQLite's malloc tests
// do. The module and the string library allocate through these too.
#include <cstddef>

namespace counting_allocator {

// Allocations made since the process started, and blocks not yet freed.
unsigned long allocations();
long liveBlocks();

// Makes the `n`-th allocation counted from now fail (1 is the next one), while armed.
// 0 fails none. Reports whether that allocation has been reached.
void failAllocation(unsigned long n);
bool failureReached();
// Allocations counted since failAllocation, while armed.
unsigned long armedAllocations();

// Only the module's own allocations count towards the failure: a host disarms while it runs
// its side of a call, and the test arms around each call into the module.
class armed_scope {
public:
    explicit armed_scope(bool armed);
    ~armed_scope();
    armed_scope(const armed_scope&) = delete;
    armed_scope& operator=(const armed_scope&) = delete;

private:
    bool m_previous;
};

}  // namespace counting_allocator
