#include "midi/devices/CMidiInDevice.h"

#include "midi/ml/CShortMessage.h"
#include "platform/Clock.h"
#include "platform/Messages.h"

#include <new>

namespace
{
constexpr UINT kShortMessage = WM_USER;
constexpr UINT kLongMessage = WM_USER + 1;
constexpr DWORD kHandOverWait = 1000;   // real ms for the worker to post what has arrived
}

CMidiInDevice::CMidiInDevice(const std::string& name) : CVeyMidiInDevice(name)
{
}

CMidiInDevice::~CMidiInDevice()
{
    // The worker is joined before anything it uses goes.
    ML::CIn::Close();
    m_window.store(nullptr);
    if (GetSafeHwnd())
        DestroyWindow();
}

bool CMidiInDevice::Open()
{
    if (!GetSafeHwnd())
    {
        if (!CreateMessageWindow())
            return false;
        m_window.store(GetSafeHwnd());
    }
    if (IsOpen())
        return true;
    ML::CIn::Close();
    if (!ML::CIn::Open(GetName()))
        return false;
    if (!ML::CIn::Start())
    {
        ML::CIn::Close();
        return false;
    }
    return true;
}

bool CMidiInDevice::IsOpen()
{
    return ML::CIn::IsOpen();
}

void CMidiInDevice::Poll()
{
    PollAndWait(1);
}

void CMidiInDevice::PollAndWait(uint32_t longestWait)
{
    // Asleep until something comes: the caller's wait costs no processor time while the answer
    // is on its way. Meanwhile this thread takes the input's events itself, so the driver's
    // callback wakes it directly (OnArrival) and the answer is posted here, not by the worker
    // after a wake-up of its own. What this thread posts, its own pump pass below delivers, so
    // the posts need not wake the main loop.
    const CDeferredQueueWake deferred;
    if (IsRunning())
    {
        ClaimArrivals();
        WaitForRequestMessages(longestWait);
        HandleArrivals();
        ReleaseArrivals();
        // What the worker had taken before the claim is posted before the pump runs.
        WaitUntilHandled(kHandOverWait);
    }
    else
    {
        WaitForRequestMessages(longestWait);
    }
    if (!PumpRequestWaitMessages())
        Sleep(1);
}

// Driver's thread, during PollAndWait.
void CMidiInDevice::OnArrival()
{
    WakeRequestWait();
}

// Worker thread (or the waiting thread during PollAndWait): post, nothing else.
void CMidiInDevice::OnShortMessage(DWORD message)
{
    const HWND window = m_window.load();
    if (window)
        ::PostMessage(window, kShortMessage, message, 0);
}

void CMidiInDevice::OnLongMessage(const BYTE* data, DWORD count)
{
    const HWND window = m_window.load();
    if (!window)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    try
    {
        m_longMessages.emplace_back(data, data + count);
    }
    catch (const std::bad_alloc&)
    {
        return;   // with no memory to keep it, the message is lost like one the cable garbled
    }
    if (!::PostMessage(window, kLongMessage, 0, 0))
        m_longMessages.pop_back();
}

LRESULT CMidiInDevice::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kShortMessage)
    {
        DeliverShort(static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == kLongMessage)
    {
        std::vector<uint8_t> piece;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_longMessages.empty())
                return 0;
            piece = std::move(m_longMessages.front());
            m_longMessages.pop_front();
        }
        DeliverLong(std::move(piece));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// Channel messages and the system-exclusive status bytes go to the ports; system common and
// real-time messages stop here, and so does a data byte without a status byte.
void CMidiInDevice::DeliverShort(DWORD message)
{
    const ML::CShortMessage shortMessage(static_cast<uint32_t>(message));
    const uint8_t status = shortMessage.GetStatus();
    if (status < 0x80)
        return;
    if (status >= 0xF0 && status != 0xF0 && status != 0xF7)
        return;
    Deliver(shortMessage);
}

// The input hands over a system-exclusive message longer than its buffers in pieces; the ports
// get it whole or not at all.
void CMidiInDevice::DeliverLong(std::vector<uint8_t> piece)
{
    if (piece.empty())
        return;
    if (piece.front() == 0xF0)
    {
        m_partial.clear();   // a new message: an unfinished one before it is lost
        // Whole in one piece, as nearly every message is: it goes on as it came.
        if (piece.back() == 0xF7 && piece.size() <= kMaxSysex)
        {
            Deliver(piece);
            return;
        }
    }
    else if (m_partial.empty())
    {
        return;   // the rest of a message whose start was dropped
    }
    if (m_partial.size() + piece.size() > kMaxSysex)
    {
        m_partial.clear();
        m_partial.shrink_to_fit();
        return;
    }
    m_partial.insert(m_partial.end(), piece.begin(), piece.end());
    if (m_partial.back() != 0xF7)
        return;
    std::vector<uint8_t> whole;
    whole.swap(m_partial);
    Deliver(whole);
}
