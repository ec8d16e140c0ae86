#pragma once
// Millisecond timeouts on the platform tick counter. Tick differences are taken modulo 2^32 and
// read as signed, so a wrap of the counter between start and now does not disturb results below
// about 24.8 days.
#include <cstdint>
#include <map>

namespace GT
{
// One timeout whose owner sets the duration and starts it.
class CTimeout
{
public:
    void SetDuration(uint32_t milliseconds) { m_duration = milliseconds; }
    uint32_t GetDuration() const { return m_duration; }

    // Starts (or restarts) the timeout now; the duration stays.
    void Start();
    // The same with the tick count `now` the caller has just read, so that timeouts started
    // together read the clock once.
    void StartAt(uint32_t now)
    {
        m_start = now;
        m_started = true;
    }
    // Milliseconds left, negative once passed. A timeout that was never started has nothing left.
    int32_t Remaining() const;
    // The same at the tick count `now`.
    int32_t RemainingAt(uint32_t now) const;
    bool IsExpired() const { return Remaining() < 1; }

private:
    uint32_t m_duration = 0;
    uint32_t m_start = 0xFFFFFFFFu;
    // Without this flag an unstarted timeout would read as running once the tick counter passes
    // 2^31, because its start value would then lie in the "future".
    bool m_started = false;
};

// Timeouts keyed by an id; each user owns its own table.
class CTimeoutTable
{
public:
    // Sets the entry of `id` to start now with `duration` ms, creating or restarting it.
    void Start(int32_t id, uint32_t duration);
    // Milliseconds since the entry's start; 0 for an id without entry.
    uint32_t Elapsed(int32_t id) const;
    // Milliseconds left (negative once passed); 0 for an id without entry.
    int32_t Remaining(int32_t id) const;
    // True once less than 1 ms is left; also true for an id without entry.
    bool IsExpired(int32_t id) const { return Remaining(id) < 1; }

    void Erase(int32_t id);
    void Clear();

private:
    struct SEntry
    {
        uint32_t start;
        uint32_t duration;
    };
    std::map<int32_t, SEntry> m_entries;
};

// Record of one timer tick, passed from a window to the controls it hosts.
class CTimerInfo
{
public:
    virtual ~CTimerInfo() = default;
};

// Suspends the calling thread (through the platform clock, so tests run it in virtual time).
void Sleep(uint32_t milliseconds);
}
