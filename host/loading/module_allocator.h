#pragma once
// The process's allocation functions, replaced by a host that wants to watch a module's memory
// (vorn-host's checks, and the test suite): every allocation is counted, live blocks are tracked,
// and one chosen allocation can be made to fail, or every one from it on, as SQLite's malloc
// tests do. On Linux a module and the string library allocate through the process's operator
// new, so they count too; their calls to the C functions count once module_imports has pointed
// them at the watched forms below. A Windows DLL carries its own operator new, which allocates
// through its C runtime's malloc: module_imports points that at the watched form too. Blocks come from malloc, so
// memory checkers still see every one.
//
// All of this is process-wide state by nature: there is one allocator per process. It is used
// from one thread, the one that calls into the module.
#include <cstddef>

namespace vorn_host::module_allocator {

// Allocations made since the process started, and blocks not yet freed.
unsigned long allocations();
long liveBlocks();

// Makes the `n`-th allocation counted from now fail (1 is the next one), while armed.
// 0 fails none. Reports whether that allocation has been reached.
void failAllocation(unsigned long n);
// The same, but every allocation from the `n`-th on fails too, as when memory has run out.
void failAllocationsFrom(unsigned long n);
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

// The C allocation functions as a module's imports reach them once rewritten: counted, and
// failed, like operator new. A block is counted as live only when one of these made it, so a
// module freeing what the C library made for it (getline's buffer, say) is no miscount.
extern "C" {
void* watchedMalloc(std::size_t size);
void* watchedCalloc(std::size_t count, std::size_t size);
void* watchedRealloc(void* block, std::size_t size);
void* watchedReallocarray(void* block, std::size_t count, std::size_t size);
void watchedFree(void* block);
void* watchedAlignedAlloc(std::size_t alignment, std::size_t size);
void* watchedMemalign(std::size_t alignment, std::size_t size);
int watchedPosixMemalign(void** block, std::size_t alignment, std::size_t size);
char* watchedStrdup(const char* text);
char* watchedStrndup(const char* text, std::size_t most);
}

// The watched form of the C allocation function a module imports as `name`, in the platform's
// names (strdup is also _strdup in a Windows C runtime), or null for any other function.
void* watchedFormOf(const char* name);

}  // namespace vorn_host::module_allocator
