#pragma once
// The output device over a paced MIDI output. Every send first tries to open every device, so an
// instrument that was unplugged and plugged in again reconnects on the next send, and the user is
// told when the connection state changes.
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/ml/COut.h"

class CMidiOutDevice : public CVeyMidiOutDevice, private ML::COut
{
public:
    explicit CMidiOutDevice(const std::string& name);
    ~CMidiOutDevice() override;

    bool Open() override;
    bool IsOpen() override;
    // True only when this device is open and the message went out (a system-exclusive message
    // within the send time-out).
    bool Send(const std::vector<uint8_t>& bytes) override;
};
