#pragma once
// Watches the largest single allocation made through operator new while a tracker lives, so tests
// can show that sizes read from a file never turn into huge allocations.
#include <cstddef>

class CAllocationTracker
{
public:
    CAllocationTracker();
    ~CAllocationTracker();
    CAllocationTracker(const CAllocationTracker&) = delete;
    CAllocationTracker& operator=(const CAllocationTracker&) = delete;

    size_t Largest() const;
};
