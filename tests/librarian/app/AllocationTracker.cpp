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
