#pragma once
// Writing to the instrument: one data set (DT1), then a pause of 20 ms so the instrument can
// store it before the next one.
#include "model/CVeyAddress.h"

#include <cstdint>
#include <vector>

class CVeyMidiOut;

class CVeyMidiSender
{
public:
    static constexpr uint32_t kPauseAfterDt1 = 20;

    CVeyMidiSender() = default;
    virtual ~CVeyMidiSender() = default;

    // True only when every device of the output took the message, so that a writer stops at a
    // failed send; false without an output.
    bool SendDt1(const CVeyAddress& address, const std::vector<uint8_t>& data);

    void SetMidiOut(CVeyMidiOut* midiOut) { m_midiOut = midiOut; }
    CVeyMidiOut* GetMidiOut() const { return m_midiOut; }

private:
    CVeyMidiOut* m_midiOut = nullptr;
};
