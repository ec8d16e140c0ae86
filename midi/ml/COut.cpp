#include "midi/ml/COut.h"

#include "platform/Clock.h"

#include <cstring>

namespace ML
{
namespace
{
constexpr DWORD kDonePollInterval = 10;
}

COut::COut()
{
    m_sendTimeout.SetDuration(kSendTimeout);
    m_sendTimeout.Start();
    m_pacing.Start();
}

COut::~COut()
{
    Close();
}

bool COut::Open(const std::string& name)
{
    Close();
    return OpenByName(name, 0, 0, CALLBACK_NULL);
}

bool COut::Close()
{
    Reset();
    if (m_prepared && UnprepareHeader(m_packet.GetHeader()))
        m_prepared = false;
    const bool closed = CMMOut::Close();
    if (closed)
        m_prepared = false;
    return closed;
}

// A closed output sends nothing, and says so.
bool COut::SendShort(DWORD message)
{
    return HasHandle() && ShortMsg(message);
}

bool COut::SendLong(const BYTE* data, size_t size)
{
    if (!HasHandle() || !data || size == 0 || size > CPacket::kSize)
        return false;
    MIDIHDR* header = m_packet.GetHeader();
    std::memcpy(m_packet.GetData(), data, size);
    header->dwBufferLength = static_cast<DWORD>(size);
    header->dwBytesRecorded = 0;
    // The header stays prepared from one message to the next while all goes well, as a driver
    // allows for a header that is done.
    if (!m_prepared)
    {
        header->dwFlags = 0;
        if (!PrepareHeader(header))
            return false;
        m_prepared = true;
    }

    // The clock is read once for the pacing and both starts, again only after a wait.
    DWORD now = GetTickCount();
    const int32_t left = m_pacing.RemainingAt(now);
    if (left > 0)
    {
        Sleep(static_cast<DWORD>(left));
        now = GetTickCount();
    }

    const int64_t duration = static_cast<int64_t>(size) * 1000 / kWireBytesPerSecond + m_extraGap;
    m_pacing.SetDuration(duration > 0 ? static_cast<uint32_t>(duration) : 0);
    m_sendTimeout.StartAt(now);
    m_pacing.StartAt(now);

    if (!LongMsg(header))
    {
        if (UnprepareHeader(header))
            m_prepared = false;
        return false;
    }
    while (!(MidiHeaderFlags(header) & MHDR_DONE))
    {
        Sleep(kDonePollInterval);
        if (m_sendTimeout.IsExpired())
        {
            Reset();
            if (UnprepareHeader(header))
                m_prepared = false;
            return false;
        }
    }
    return true;
}
}
