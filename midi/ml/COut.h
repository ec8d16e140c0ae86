#pragma once
// A MIDI output. Short messages go out at once; system-exclusive messages go through one buffer,
// each waiting until the previous one has had its transmission time on the wire (3125 bytes per
// second), and each must be reported done by the driver within 2000 ms.
#include "midi/ml/CMMDevice.h"
#include "toolkit/gt/Timeout.h"

#include <string>
#include <vector>

namespace ML
{
class COut : public CMMOut
{
public:
    static constexpr DWORD kSendTimeout = 2000;
    static constexpr DWORD kWireBytesPerSecond = 3125;

    COut();
    ~COut() override;

    bool Open(const std::string& name);
    bool Close();
    bool SendShort(DWORD message);
    // True when the driver reported the message done. A message longer than the send buffer
    // (2048 bytes) is refused: nothing is sent and the result is false.
    bool SendLong(const BYTE* data, size_t size);
    bool SendLong(const std::vector<BYTE>& message) { return SendLong(message.data(), message.size()); }

    // Milliseconds added to every message's wire time.
    void SetExtraGap(int32_t milliseconds) { m_extraGap = milliseconds; }

private:
    CPacket m_packet;
    GT::CTimeout m_sendTimeout;
    GT::CTimeout m_pacing;    // the previous long message's wire time, from its hand-over
    int32_t m_extraGap = 0;
    bool m_prepared = false;  // m_packet's header is prepared for the open handle
};
}
