#include "midi/framework/CVeyMidiSender.h"

#include "midi/framework/CVeyMidi.h"
#include "platform/Clock.h"

bool CVeyMidiSender::SendDt1(const CVeyAddress& address, const std::vector<uint8_t>& data)
{
    if (!m_midiOut)
        return false;
    const bool sent = m_midiOut->SendDt1(address, data);
    Sleep(kPauseAfterDt1);
    return sent;
}
