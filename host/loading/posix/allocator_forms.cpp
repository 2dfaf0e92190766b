// The POSIX side of the counting allocator: the aligned allocation forms, as C functions and as
// the aligned operator new and delete. A Windows runtime frees its aligned blocks with a
// function of their own, so they are watched on POSIX systems only.
#include <cerrno>
#include <cstdlib>
#include <new>

#include "allocator_inside.h"
#include "module_allocator.h"

namespace vorn_host::module_allocator {

using namespace inside;

namespace {

void* allocateAligned(std::size_t size, std::size_t alignment) {
    if (countAndFail()) return nullptr;
    void* p = nullptr;
    if (posix_memalign(&p, alignment < sizeof(void*) ? sizeof(void*) : alignment, size ? size : 1) != 0) return nullptr;
    countLive();
    return p;
}

}  // namespace

extern "C" {

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

}  // extern "C"

namespace {

const inside::watched_form kPlatformForms[] = {
    {"aligned_alloc", reinterpret_cast<void*>(&watchedAlignedAlloc)},
    {"memalign", reinterpret_cast<void*>(&watchedMemalign)},
    {"posix_memalign", reinterpret_cast<void*>(&watchedPosixMemalign)},
};

}  // namespace

inside::watched_forms inside::platformForms() {
    return {kPlatformForms, sizeof kPlatformForms / sizeof kPlatformForms[0]};
}

}  // namespace vorn_host::module_allocator

void* operator new(std::size_t size, std::align_val_t alignment) {
    void* p = vorn_host::module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return vorn_host::module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return vorn_host::module_allocator::allocateAligned(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* p, std::align_val_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    vorn_host::module_allocator::inside::release(p);
}
