#include "tests/support/VirtualClock.h"

CVirtualClock::CVirtualClock(DWORD start) : m_now(start), m_previous(SetClock(this))
{
}

CVirtualClock::~CVirtualClock()
{
    SetClock(m_previous);
}

DWORD CVirtualClock::GetTickCount()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_now;
}

void CVirtualClock::Sleep(DWORD milliseconds)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_slept += milliseconds;
    }
    Advance(milliseconds);
}

void CVirtualClock::Advance(DWORD milliseconds)
{
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    const uint64_t target = m_elapsed + milliseconds;
    // Actions run at their own tick, so one that reads the clock sees the time it was due.
    while (!m_schedule.empty() && m_schedule.begin()->first <= target)
    {
        auto due = m_schedule.begin();
        const uint64_t at = due->first;
        std::function<void()> action = std::move(due->second);
        m_schedule.erase(due);
        m_now += static_cast<DWORD>(at - m_elapsed);
        m_elapsed = at;
        action();
    }
    m_now += static_cast<DWORD>(target - m_elapsed);
    m_elapsed = target;
}

void CVirtualClock::After(DWORD delay, std::function<void()> action)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_schedule.emplace(m_elapsed + delay, std::move(action));
}

uint64_t CVirtualClock::SleptMilliseconds() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_slept;
}
