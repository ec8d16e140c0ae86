#pragma once
// Reading from the instrument is a question and an answer: a data request (RQ1) for an address
// range, then a wait on the GUI thread, pumping only paint and the MIDI messages, until the
// matching data set (DT1) arrives; 3000 ms per attempt, 2 attempts, then message 2 for the user.
// The same wait serves any system-exclusive question whose answer is known by its byte 3.
#include "midi/framework/IVeyMidiListener.h"
#include "model/CVeyAddress.h"
#include "toolkit/gt/Progress.h"

#include <cstdint>
#include <functional>
#include <vector>

class CVeyMidiIn;
class CVeyMidiOut;
class CVeyStruct;
class CVeyValue;

namespace ML
{
class CLongMessage;
}

class CVeyMidiRequester : public IVeyMidiListener
{
public:
    enum EState
    {
        kIdle = 0,
        kWaitingForDt1 = 1,
        kDt1Received = 2,
        kWaitingForReply = 3,
        kReplyReceived = 4,
    };
    static constexpr int32_t kDefaultTimeout = 3000;
    static constexpr int32_t kDefaultAttempts = 2;
    static constexpr int32_t kFailureMessage = 2;   // "Unable to read/write data. ..."

    CVeyMidiRequester() = default;
    ~CVeyMidiRequester() override = default;

    bool OnShortMessage(const ML::CShortMessage& message) override;
    // While waiting for a reply: a message whose byte 3 is the question's.
    bool OnLongMessage(const ML::CLongMessage& message) override;
    // While waiting for a DT1: one with exactly the requested address bytes and data length.
    bool OnDt1(const ML::CVantorMessage& message) override;
    // Sends any system-exclusive message to the output's devices and waits for its reply.
    virtual bool SendAndWait(const ML::CLongMessage& message);
    // True when the matching DT1 arrived.
    virtual bool Request(const CVeyAddress& address, int32_t size);

    // One progress step, then the value's absolute range.
    bool RequestValue(CVeyValue& value, GT::IProgress* progress);
    // Every leaf below the struct in order, one step each, stopping at the first failure.
    bool RequestStruct(CVeyStruct& structure, GT::IProgress* progress);

    void SetMidiIn(CVeyMidiIn* midiIn) { m_midiIn = midiIn; }
    void SetMidiOut(CVeyMidiOut* midiOut) { m_midiOut = midiOut; }
    CVeyMidiIn* GetMidiIn() const { return m_midiIn; }
    CVeyMidiOut* GetMidiOut() const { return m_midiOut; }
    void SetTimeout(int32_t milliseconds) { m_timeout = milliseconds; }
    void SetAttempts(int32_t attempts) { m_attempts = attempts; }
    int32_t GetState() const { return m_state; }
    int32_t GetTimeout() const { return m_timeout; }
    int32_t GetAttempts() const { return m_attempts; }

    // Shows a user message by its message-table id: through the error output (a message box),
    // or through the shower installed in its place.
    using FShowMessage = std::function<void(int32_t id)>;
    static void SetMessageShower(FShowMessage shower);
    static void ShowMessage(int32_t id);

protected:
    // For derived readers that accept an answer the base cannot recognise (a handshake, a reply
    // that ends the wait without being the one asked for).
    void SetState(EState state) { m_state = state; }

private:
    // Sends through `send` and pumps until the state reaches `done`, at most `attempts` times.
    bool Wait(EState waiting, EState done, const std::function<bool()>& send);

    CVeyMidiIn* m_midiIn = nullptr;
    CVeyMidiOut* m_midiOut = nullptr;
    int32_t m_timeout = kDefaultTimeout;
    int32_t m_attempts = kDefaultAttempts;
    int32_t m_state = kIdle;
    std::vector<uint8_t> m_expectedAddress;
    int32_t m_expectedSize = 0;
    uint8_t m_expectedReplyByte = 0;
};
