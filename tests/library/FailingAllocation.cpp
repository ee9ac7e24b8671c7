#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int64_t tAllowed = -1;  // -1: not armed
thread_local bool tRefused = false;

void* allocate(std::size_t size) {
    if (tAllowed == 0) {
        tRefused = true;
        throw std::bad_alloc();
    }
    if (tAllowed > 0) --tAllowed;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

namespace trelmtest {

FailingAllocation::FailingAllocation(int64_t allowed) {
    tAllowed = allowed;
    tRefused = false;
}
FailingAllocation::~FailingAllocation() { tAllowed = -1; }
bool FailingAllocation::refused() const { return tRefused; }

}  // namespace trelmtest

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The no-throw forms belong to the same family: the library's own no-throw buffers are freed by
// the replaced delete and may be refused like any other allocation.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
