#include "module_allocator.h"

#include "allocator_inside.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace vorn_host::module_allocator {
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

}  // namespace

namespace inside {

bool countAndFail() {
    ++gAllocations;
    if (!gArmed || !gFailAt) return false;
    ++gArmedAllocations;
    const bool fails = gArmedAllocations == gFailAt || (gFailFromThenOn && gArmedAllocations > gFailAt);
    if (fails) gFailureReached = true;
    return fails;
}

void countLive() {
    ++gLiveBlocks;
}

// A failure made on purpose says so as the C library's does: null, and errno ENOMEM.
void* allocate(std::size_t size) {
    if (countAndFail()) return errno = ENOMEM, nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p) ++gLiveBlocks;
    return p;
}

void release(void* p) {
    if (!p) return;
    --gLiveBlocks;
    std::free(p);
}

void* tracked(void* p) {
    if (p) cBlocks().insert(p);
    return p;
}

bool untrack(void* p) {
    if (!p || cBlocks().erase(p) == 0) return false;
    --gLiveBlocks;
    return true;
}

}  // namespace inside

using namespace inside;

unsigned long allocations() {
    return gAllocations;
}
long liveBlocks() {
    return gLiveBlocks;
}

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
bool failureReached() {
    return gFailureReached;
}
unsigned long armedAllocations() {
    return gArmedAllocations;
}

armed_scope::armed_scope(bool armed) : m_previous(gArmed) {
    gArmed = armed;
}
armed_scope::~armed_scope() {
    gArmed = m_previous;
}

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

// The C allocation functions by the names a module imports them under, on every platform; each
// platform adds its own (platformForms).
const watched_form kWatchedForms[] = {
    {"malloc", reinterpret_cast<void*>(&watchedMalloc)},
    {"calloc", reinterpret_cast<void*>(&watchedCalloc)},
    {"realloc", reinterpret_cast<void*>(&watchedRealloc)},
    {"reallocarray", reinterpret_cast<void*>(&watchedReallocarray)},
    {"free", reinterpret_cast<void*>(&watchedFree)},
    {"strdup", reinterpret_cast<void*>(&watchedStrdup)},
    {"strndup", reinterpret_cast<void*>(&watchedStrndup)},
};

}  // namespace

void* watchedFormOf(const char* name) {
    for (const watched_form& form : kWatchedForms) {
        if (std::strcmp(form.name, name) == 0) return form.function;
    }
    for (const watched_form& form : platformForms()) {
        if (std::strcmp(form.name, name) == 0) return form.function;
    }
    return nullptr;
}

}  // namespace vorn_host::module_allocator

void* operator new(std::size_t size) {
    void* p = vorn_host::module_allocator::inside::allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return vorn_host::module_allocator::inside::allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return vorn_host::module_allocator::inside::allocate(size);
}
void operator delete(void* p) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
