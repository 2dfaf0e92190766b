#pragma once
// The process's allocation functions, replaced by a host that wants to watch a module's memory
// (vorn-host's checks, and the test suite): every allocation is counted, live blocks are tracked,
// and one chosen allocation can be made to fail, as SQLite's malloc tests do. On Linux a module
// and the string library allocate through the process's functions, so they count too; a
// Windows DLL carries its own allocator, which no host can replace. Blocks come from malloc,
// so memory checkers still see every one.
#include <cstddef>

namespace module_allocator {

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

}  // namespace module_allocator
