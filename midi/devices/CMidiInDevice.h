#pragma once
// The input device over a buffered MIDI input. The input's worker thread posts each message to the
// device's message window (WM_USER for a short message, WM_USER+1 for a system-exclusive one);
// the window's handlers run on the GUI thread and deliver to the served ports, so every port sees
// the messages in arrival order and all parsing happens on the GUI thread.
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/ml/CIn.h"
#include "platform/Wnd.h"

#include <deque>
#include <mutex>

class CMidiInDevice : public CWnd, public CVeyMidiInDevice, private ML::CIn
{
public:
    // The longest system-exclusive message put back together from pieces; longer ones are dropped.
    static constexpr size_t kMaxSysex = 65536;

    explicit CMidiInDevice(const std::string& name);
    ~CMidiInDevice() override;

    bool Open() override;
    bool IsOpen() override;
    // One pass of the request wait's pump, once everything the driver has delivered has been
    // posted; a pass that finds nothing waits 1 ms, so a caller's wait does not spin the
    // processor. PollAndWait first sleeps until something is posted or the driver delivers, as
    // long as the caller says.
    void Poll() override;
    void PollAndWait(uint32_t longestWait) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnShortMessage(DWORD message) override;
    void OnLongMessage(const BYTE* data, DWORD count) override;
    void OnArrival() override;
    void DeliverShort(DWORD message);
    void DeliverLong(std::vector<uint8_t> piece);

    std::atomic<HWND> m_window{nullptr};
    std::mutex m_mutex;
    // Copies of the long messages posted and not yet handled, oldest first: the bytes travel with
    // the message, so the input's buffers can be refilled at once.
    std::deque<std::vector<uint8_t>> m_longMessages;
    std::vector<uint8_t> m_partial;   // a system-exclusive message that came in pieces (GUI thread)
};
