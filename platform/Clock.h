#pragma once
// The process's one clock. GetTickCount and Sleep have their Windows meaning: milliseconds in a
// 32-bit counter that wraps about every 49.7 days, and a pause of the calling thread. Tests install
// a virtual clock so time-outs and pacing run instantly and deterministically.
#include "platform/Win32Types.h"

class IClock
{
public:
    virtual ~IClock() = default;
    virtual DWORD GetTickCount() = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
};

// Installs a clock for the whole process and returns the one it replaces; null restores the
// system clock. The caller keeps ownership and must restore the previous clock before destroying it.
IClock* SetClock(IClock* clock);

DWORD GetTickCount();
void Sleep(DWORD milliseconds);
// True while no test clock is installed: time is the machine's own.
bool UsesSystemClock();

// Milliseconds from `earlier` to `later`, correct across the wrap of the 32-bit counter as long as
// the two are less than 2^31 ms apart.
inline int32_t TickDifference(DWORD later, DWORD earlier)
{
    return static_cast<int32_t>(later - earlier);
}

// True once `now` has reached or passed `deadline`, across the wrap.
inline bool TickReached(DWORD now, DWORD deadline)
{
    return TickDifference(now, deadline) >= 0;
}
