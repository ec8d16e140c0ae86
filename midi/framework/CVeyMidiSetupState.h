#pragma once
// Whether the last attempt to open every MIDI device succeeded; a change is told to the user
// ("MIDI connect error." or "MIDI reconnected.", messages 7 and 8 of the message table).
#include <string>

namespace GT
{
class ITextOut;
}

class CVeyMidiSetupState
{
public:
    static constexpr int kConnectErrorMessage = 7;
    static constexpr int kReconnectedMessage = 8;

    // The installed state when one is set, else the default one.
    static CVeyMidiSetupState& GetInstance();
    static void SetInstance(CVeyMidiSetupState* state);

    virtual ~CVeyMidiSetupState() = default;
    virtual void SetStateSilently(bool allOpen);
    // Shows message 8 (true) or 7 (false) when the flag changes; an unchanged flag shows nothing.
    virtual void SetState(bool allOpen);
    bool GetState() const { return m_allOpen; }

    // Where the messages are written: the application's timed text window. Until one is set
    // they go to the diagnostic output.
    static void SetMessageOut(GT::ITextOut* out);

private:
    bool m_allOpen = false;
};
