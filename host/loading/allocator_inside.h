#pragma once
// Inside the counting allocator (module_allocator): what its common part shares with its
// platform side (posix/ or windows/ allocator_forms.cpp), which adds the allocation forms only
// that platform has. Not for anyone else.
#include <cstddef>

namespace vorn_host::module_allocator::inside {

// Counts one allocation, and says whether it is to fail.
bool countAndFail();
// One block more is live (one a platform form took itself).
void countLive();
// operator new's block: counted, failed when chosen, from malloc.
void* allocate(std::size_t size);
void release(void* p);
// A C block is tracked from when a watched function made it until one freed it.
void* tracked(void* p);
bool untrack(void* p);

struct watched_form {
    const char* name;
    void* function;
};
// The watched C functions only this platform has, by the names a module imports them under. A
// fixed table: looking a name up allocates nothing.
struct watched_forms {
    const watched_form* first;
    std::size_t count;
    const watched_form* begin() const { return first; }
    const watched_form* end() const { return first + count; }
};
watched_forms platformForms();

}  // namespace vorn_host::module_allocator::inside
