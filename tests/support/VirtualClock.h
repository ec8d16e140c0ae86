#pragma once
// A clock for tests: time stands still until a test advances it or code sleeps on it, and then
// moves by exactly the time asked for. Actions can be scheduled at a tick; they run, in tick order,
// when time passes that tick (from the thread that advanced it).
#include "platform/Clock.h"

#include <functional>
#include <map>
#include <mutex>

class CVirtualClock final : public IClock
{
public:
    explicit CVirtualClock(DWORD start = 1000);
    ~CVirtualClock() override;

    DWORD GetTickCount() override;
    void Sleep(DWORD milliseconds) override;

    void Advance(DWORD milliseconds);
    // Runs `action` once the clock reaches `delay` ms from now.
    void After(DWORD delay, std::function<void()> action);

    // Total virtual time slept through Sleep since construction.
    uint64_t SleptMilliseconds() const;

private:
    mutable std::recursive_mutex m_mutex;
    DWORD m_now;
    uint64_t m_elapsed = 0;   // un-wrapped time since construction, orders the schedule
    uint64_t m_slept = 0;
    std::multimap<uint64_t, std::function<void()>> m_schedule;
    IClock* m_previous;
};
