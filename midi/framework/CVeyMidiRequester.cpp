#include "midi/framework/CVeyMidiRequester.h"

#include "midi/framework/CVeyMidi.h"
#include "midi/ml/CLongMessage.h"
#include "midi/ml/CVantorMessage.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "platform/Clock.h"
#include "toolkit/gt/Timeout.h"
#include "toolkit/ul/Cursor.h"

namespace
{
CVeyMidiRequester::FShowMessage& Shower()
{
    static CVeyMidiRequester::FShowMessage shower;
    return shower;
}

constexpr int32_t kWaitKey = 0;
}

void CVeyMidiRequester::SetMessageShower(FShowMessage shower)
{
    Shower() = std::move(shower);
}

void CVeyMidiRequester::ShowMessage(int32_t id)
{
    if (Shower())
        Shower()(id);
    else
        CVeyErrorOut::ShowMessage(id);
}

bool CVeyMidiRequester::OnShortMessage(const ML::CShortMessage&)
{
    return true;
}

bool CVeyMidiRequester::OnLongMessage(const ML::CLongMessage& message)
{
    if (m_state != kWaitingForReply || message.GetByte3() != m_expectedReplyByte)
        return false;
    m_state = kReplyReceived;
    return true;
}

bool CVeyMidiRequester::OnDt1(const ML::CVantorMessage& message)
{
    if (m_state != kWaitingForDt1)
        return false;
    if (message.GetAddress() != m_expectedAddress ||
        message.GetDataLength() != static_cast<size_t>(m_expectedSize))
        return false;
    m_state = kDt1Received;
    return true;
}

bool CVeyMidiRequester::Wait(EState waiting, EState done, const std::function<bool()>& send)
{
    if (m_attempts < 1)
    {
        ShowMessage(kFailureMessage);
        m_state = kIdle;
        return false;
    }
    {
        // A silent instrument keeps the user waiting through every attempt: the wait shows, and
        // is gone before the failure is told.
        UL::CWaitCursor wait;
        GT::CTimeoutTable timeouts;
        for (int32_t attempt = 0; attempt < m_attempts; ++attempt)
        {
            m_state = waiting;
            send();
            timeouts.Start(kWaitKey, static_cast<uint32_t>(m_timeout));
            while (!timeouts.IsExpired(kWaitKey))
            {
                const DWORD before = GetTickCount();
                // The device sleeps until something arrives, up to the time left.
                m_midiIn->PollDevice(static_cast<uint32_t>(timeouts.Remaining(kWaitKey)));
                if (m_state == done)
                {
                    m_state = kIdle;
                    return true;
                }
                // An input without a device has nothing to pump: let time pass instead of spinning.
                if (GetTickCount() == before)
                    Sleep(1);
            }
        }
    }
    ShowMessage(kFailureMessage);
    m_state = kIdle;
    return false;
}

bool CVeyMidiRequester::Request(const CVeyAddress& address, int32_t size)
{
    if (!m_midiIn || !m_midiOut)
        return false;
    m_expectedAddress = address.ToBytes(m_midiOut->GetAddressSize());
    m_expectedSize = size;
    return Wait(kWaitingForDt1, kDt1Received, [&] { return m_midiOut->SendRq1(address, CVeyAddress(size)); });
}

bool CVeyMidiRequester::SendAndWait(const ML::CLongMessage& message)
{
    if (!m_midiIn || !m_midiOut)
        return false;
    // A question too short to have a byte 3 can have no answer.
    const int byte3 = message.GetByte3();
    if (byte3 < 0)
        return false;
    m_expectedAddress.clear();
    m_expectedSize = 0;
    m_expectedReplyByte = static_cast<uint8_t>(byte3);
    const std::vector<uint8_t> bytes(message.begin(), message.end());
    return Wait(kWaitingForReply, kReplyReceived, [&] { return m_midiOut->SendToDevices(bytes); });
}

bool CVeyMidiRequester::RequestValue(CVeyValue& value, GT::IProgress* progress)
{
    if (progress)
        progress->Step();
    const CVeyAddressRange range = value.GetAbsoluteAddressRange();
    return Request(CVeyAddress(range.begin), range.GetSize());
}

bool CVeyMidiRequester::RequestStruct(CVeyStruct& structure, GT::IProgress* progress)
{
    if (CVeyStructList* children = structure.GetChildStructs())
    {
        for (const std::unique_ptr<CVeyStruct>& child : *children)
            if (!child || !RequestStruct(*child, progress))
                return false;
        return true;
    }
    if (progress)
        progress->Step();
    const CVeyAddressRange range = structure.GetAbsoluteAddressRange();
    return Request(CVeyAddress(range.begin), range.GetSize());
}
