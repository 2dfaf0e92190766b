#include "module_allocator.h"

#include <cstdlib>
#include <new>

namespace module_allocator {
namespace {

unsigned long gAllocations = 0;
long gLiveBlocks = 0;
bool gArmed = false;
unsigned long gArmedAllocations = 0;
unsigned long gFailAt = 0;
bool gFailureReached = false;

void* allocate(std::size_t size) {
    ++gAllocations;
    if (gArmed && gFailAt && ++gArmedAllocations == gFailAt) {
        gFailureReached = true;
        return nullptr;
    }
    void* p = std::malloc(size ? size : 1);
    if (p) ++gLiveBlocks;
    return p;
}

void release(void* p) {
    if (!p) return;
    --gLiveBlocks;
    std::free(p);
}

}  // namespace

unsigned long allocations() { return gAllocations; }
long liveBlocks() { return gLiveBlocks; }

void failAllocation(unsigned long n) {
    gFailAt = n;
    gArmedAllocations = 0;
    gFailureReached = false;
}
bool failureReached() { return gFailureReached; }
unsigned long armedAllocations() { return gArmedAllocations; }

armed_scope::armed_scope(bool armed) : m_previous(gArmed) { gArmed = armed; }
armed_scope::~armed_scope() { gArmed = m_previous; }

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
