#include "tests/librarian/app/AllocationTracker.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> g_tracking{false};
std::atomic<size_t> g_largest{0};

void* Allocate(size_t size)
{
    if (g_tracking.load(std::memory_order_relaxed))
    {
        size_t largest = g_largest.load(std::memory_order_relaxed);
        while (size > largest && !g_largest.compare_exchange_weak(largest, size))
        {
        }
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
}

// The replaceable global allocation functions of this test program.
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
// The no-throw forms too: a reader that asks for its buffer with std::nothrow is measured as well,
// and its memory comes from the same heap as what frees it.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

CAllocationTracker::CAllocationTracker()
{
    g_largest = 0;
    g_tracking = true;
}

CAllocationTracker::~CAllocationTracker()
{
    g_tracking = false;
}

size_t CAllocationTracker::Largest() const
{
    return g_largest.load();
}
