#include "module_allocator.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace module_allocator {
namespace {

unsigned long gAllocations = 0;
long gLiveBlocks = 0;
bool gArmed = false;
unsigned long gArmedAllocations = 0;
unsigned long gFailAt = 0;
bool gFailFromThenOn = false;
bool gFailureReached = false;

// The blocks the watched C functions handed out. Its own storage comes straight from malloc,
// never from the counted operator new, so keeping it counts nothing.
template <typename T>
struct malloc_storage {
    using value_type = T;
    malloc_storage() = default;
    template <typename U>
    malloc_storage(const malloc_storage<U>&) {}
    T* allocate(std::size_t n) {
        void* p = std::malloc(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    bool operator==(const malloc_storage&) const { return true; }
    bool operator!=(const malloc_storage&) const { return false; }
};
using block_set = std::unordered_set<void*, std::hash<void*>, std::equal_to<void*>, malloc_storage<void*>>;

// Made on first use. Modules are unloaded before the process exits, so none frees through it
// after its destruction.
block_set& cBlocks() {
    static block_set blocks;
    return blocks;
}

// Counts one allocation, and says whether it is to fail.
bool countAndFail() {
    ++gAllocations;
    if (!gArmed || !gFailAt) return false;
    ++gArmedAllocations;
    const bool fails = gArmedAllocations == gFailAt || (gFailFromThenOn && gArmedAllocations > gFailAt);
    if (fails) gFailureReached = true;
    return fails;
}

void* allocate(std::size_t size) {
    if (countAndFail()) return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p) ++gLiveBlocks;
    return p;
}

#if !defined(_WIN32)
void* allocateAligned(std::size_t size, std::size_t alignment) {
    if (countAndFail()) return nullptr;
    void* p = nullptr;
    if (posix_memalign(&p, alignment < sizeof(void*) ? sizeof(void*) : alignment, size ? size : 1) != 0) return nullptr;
    ++gLiveBlocks;
    return p;
}

#endif

void release(void* p) {
    if (!p) return;
    --gLiveBlocks;
    std::free(p);
}

// A C block is tracked from when a watched function made it until one freed it.
void* tracked(void* p) {
    if (p) cBlocks().insert(p);
    return p;
}

bool untrack(void* p) {
    if (!p || cBlocks().erase(p) == 0) return false;
    --gLiveBlocks;
    return true;
}

}  // namespace

unsigned long allocations() { return gAllocations; }
long liveBlocks() { return gLiveBlocks; }

void failAllocation(unsigned long n) {
    gFailAt = n;
    gFailFromThenOn = false;
    gArmedAllocations = 0;
    gFailureReached = false;
}
void failAllocationsFrom(unsigned long n) {
    failAllocation(n);
    gFailFromThenOn = true;
}
bool failureReached() { return gFailureReached; }
unsigned long armedAllocations() { return gArmedAllocations; }

armed_scope::armed_scope(bool armed) : m_previous(gArmed) { gArmed = armed; }
armed_scope::~armed_scope() { gArmed = m_previous; }

extern "C" {

void* watchedMalloc(std::size_t size) {
    return tracked(allocate(size));
}

void* watchedCalloc(std::size_t count, std::size_t size) {
    if (size && count > SIZE_MAX / size) return errno = ENOMEM, nullptr;
    void* p = allocate(count * size);
    if (p) std::memset(p, 0, count * size);
    return tracked(p);
}

// A grown block is a new allocation (it may fail, leaving the old one held); a shrink to
// nothing frees, as glibc's realloc does.
void* watchedRealloc(void* block, std::size_t size) {
    if (!block) return watchedMalloc(size);
    if (size == 0) {
        watchedFree(block);
        return nullptr;
    }
    if (countAndFail()) return errno = ENOMEM, nullptr;
    const bool ours = cBlocks().erase(block) != 0;
    void* moved = std::realloc(block, size);
    if (!moved) {
        if (ours) cBlocks().insert(block);
        return nullptr;
    }
    if (!ours) ++gLiveBlocks;
    return tracked(moved);
}

void* watchedReallocarray(void* block, std::size_t count, std::size_t size) {
    if (size && count > SIZE_MAX / size) return errno = ENOMEM, nullptr;
    return watchedRealloc(block, count * size);
}

void watchedFree(void* block) {
    untrack(block);
    std::free(block);
}

// The aligned forms are POSIX's; a Windows runtime frees its aligned blocks with a function
// of their own.
#if !defined(_WIN32)
void* watchedAlignedAlloc(std::size_t alignment, std::size_t size) {
    return tracked(allocateAligned(size, alignment));
}

void* watchedMemalign(std::size_t alignment, std::size_t size) {
    return tracked(allocateAligned(size, alignment));
}

int watchedPosixMemalign(void** block, std::size_t alignment, std::size_t size) {
    void* p = tracked(allocateAligned(size, alignment));
    if (!p) return ENOMEM;
    *block = p;
    return 0;
}
#endif

char* watchedStrdup(const char* text) {
    return watchedStrndup(text, SIZE_MAX);
}

char* watchedStrndup(const char* text, std::size_t most) {
    const std::size_t length = strnlen(text, most);
    auto* copy = static_cast<char*>(watchedMalloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

}  // extern "C"

namespace {

struct watched_form {
    const char* name;
    void* function;
};

// The C allocation functions by the names a module imports them under.
const watched_form kWatchedForms[] = {
    {"malloc", reinterpret_cast<void*>(&watchedMalloc)},
    {"calloc", reinterpret_cast<void*>(&watchedCalloc)},
    {"realloc", reinterpret_cast<void*>(&watchedRealloc)},
    {"reallocarray", reinterpret_cast<void*>(&watchedReallocarray)},
    {"free", reinterpret_cast<void*>(&watchedFree)},
#if defined(_WIN32)
    {"_strdup", reinterpret_cast<void*>(&watchedStrdup)},
#else
    {"aligned_alloc", reinterpret_cast<void*>(&watchedAlignedAlloc)},
    {"memalign", reinterpret_cast<void*>(&watchedMemalign)},
    {"posix_memalign", reinterpret_cast<void*>(&watchedPosixMemalign)},
#endif
    {"strdup", reinterpret_cast<void*>(&watchedStrdup)},
    {"strndup", reinterpret_cast<void*>(&watchedStrndup)},
};

}  // namespace

void* watchedFormOf(const char* name) {
    for (const watched_form& form : kWatchedForms) {
        if (std::strcmp(form.name, name) == 0) return form.function;
    }
    return nullptr;
}

}  // namespace module_allocator

void* operator new(std::size_t size) {
    void* p = module_allocator::allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return module_allocator::allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return module_allocator::allocate(size);
}
#if !defined(_WIN32)
void* operator new(std::size_t size, std::align_val_t alignment) {
    void* p = module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
}
#endif
void operator delete(void* p) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p) noexcept {
    module_allocator::release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    module_allocator::release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    module_allocator::release(p);
}
#if !defined(_WIN32)
void operator delete(void* p, std::align_val_t) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    module_allocator::release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    module_allocator::release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    module_allocator::release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    module_allocator::release(p);
}
#endif
