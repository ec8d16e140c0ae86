#include "toolkit/gt/Timeout.h"

#include "platform/Clock.h"

namespace GT
{
void CTimeout::Start()
{
    m_start = ::GetTickCount();
    m_started = true;
}

int32_t CTimeout::Remaining() const
{
    return m_started ? RemainingAt(::GetTickCount()) : 0;
}

int32_t CTimeout::RemainingAt(uint32_t now) const
{
    if (!m_started)
        return 0;
    return TickDifference(m_start + m_duration, now);
}

void CTimeoutTable::Start(int32_t id, uint32_t duration)
{
    m_entries[id] = SEntry{::GetTickCount(), duration};
}

uint32_t CTimeoutTable::Elapsed(int32_t id) const
{
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return 0;
    return ::GetTickCount() - found->second.start;
}

int32_t CTimeoutTable::Remaining(int32_t id) const
{
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return 0;
    return TickDifference(found->second.start + found->second.duration, ::GetTickCount());
}

void CTimeoutTable::Erase(int32_t id)
{
    m_entries.erase(id);
}

void CTimeoutTable::Clear()
{
    m_entries.clear();
}

void Sleep(uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}
}
