#pragma once
// The log window: a read-only text control that keeps the last lines written to it, hosted in a
// window the user cannot close. The diagnostic output is forwarded to it by ShowTraceWindow.
#include "platform/RichEdit.h"
#include "toolkit/gt/TextOut.h"

#include <functional>
#include <mutex>
#include <string>

namespace UL
{
class CTextOutControl : public CRichEditCtrl, public GT::ATextOut
{
public:
    static constexpr int32_t kDefaultLineLimit = 10000;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    void SetLineLimit(int32_t limit) { m_lineLimit = limit; }
    int32_t GetLineLimit() const { return m_lineLimit; }

    // Appends the text (line ends become CR LF) and drops the oldest lines beyond the limit.
    void WriteRaw(const std::string& text) override;

private:
    int32_t m_lineLimit = kDefaultLineLimit;
};

class CTextOutWindow : public CWnd, public GT::ATextOut
{
public:
    static constexpr UINT kControlId = 59648;
    using ProfileWriter = std::function<void(const std::string& section, const std::string& entry, const std::string& value)>;

    CTextOutWindow();
    ~CTextOutWindow() override;

    // A top-level window with the given client rectangle (screen coordinates).
    BOOL Create(const char* title, const RECT& rect, CWnd* owner);
    CTextOutControl& GetControl() { return m_control; }
    // Where the placement goes when the window is destroyed ("TextOutWindow", "Position").
    void SetProfileWriter(ProfileWriter writer) { m_writeProfile = std::move(writer); }
    void SetMinimized(bool minimized) { m_minimized = minimized; }

    // Callable from any thread: text written off the GUI thread is handed over through the
    // message queue.
    void WriteRaw(const std::string& text) override;

    std::string m_section = "TextOutWindow";
    std::string m_entry = "Position";

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(CWnd* oldWindow) override;
    void OnClose() override;   // the user cannot close it
    void OnDestroy() override;

private:
    static constexpr UINT kFlushMessage = WM_USER + 0x1F0;
    void Flush();

    CTextOutControl m_control;
    ProfileWriter m_writeProfile;
    bool m_minimized = false;
    std::mutex m_pendingMutex;
    std::string m_pending;   // written off the GUI thread, waiting for the flush message
};

// Creates the log window (hidden, with the given title), fills it with what the diagnostic output
// holds so far and forwards every later line to it. The window goes at the platform's shutdown
// (or by HideTraceWindow). A second call gives the window made by the first.
CTextOutWindow* CreateTraceWindow(const RECT& rect, const char* title);
// As CreateTraceWindow, titled "Trace", and shown without being activated.
CTextOutWindow* ShowTraceWindow(const RECT& rect);
// The log window, or null while there is none.
CTextOutWindow* GetTraceWindow();
void HideTraceWindow();
}
