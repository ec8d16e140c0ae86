#include "toolkit/ul/TextOutWindow.h"

#include "platform/Messages.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/TraceTextOut.h"

#include <memory>

namespace UL
{
namespace
{
std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '\r')
        {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        else if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}
}

BOOL CTextOutControl::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CRichEditCtrl::Create(WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    SetFixedFont(14);
    return TRUE;
}

void CTextOutControl::WriteRaw(const std::string& text)
{
    SetSel(-1, -1);
    ReplaceSel(ToCrLf(text).c_str());
    const int count = GetLineCount();
    if (m_lineLimit > 0 && count > m_lineLimit)
    {
        SetRedraw(FALSE);
        const int firstVisible = GetFirstVisibleLine();
        const long cut = LineIndex(count - m_lineLimit);
        if (cut > 0)
        {
            SetSel(0, cut);
            ReplaceSel("");
        }
        SetSel(-1, -1);
        LineScroll(firstVisible - 1);
        SetRedraw(TRUE);
        Invalidate();
    }
}

CTextOutWindow::CTextOutWindow() = default;

CTextOutWindow::~CTextOutWindow()
{
    DestroyWindow();
}

BOOL CTextOutWindow::Create(const char* title, const RECT& rect, CWnd* owner)
{
    if (!CreateEx(0, title, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, rect, owner))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    return m_control.Create(client, this, kControlId);
}

void CTextOutWindow::WriteRaw(const std::string& text)
{
    if (!IsGuiThread())
    {
        std::lock_guard<std::mutex> lock(m_pendingMutex);
        const bool first = m_pending.empty();
        m_pending += text;
        if (first)
            PostMessage(kFlushMessage);
        return;
    }
    Flush();
    if (!m_minimized && GetSafeHwnd())
        m_control.Write(text);
}

void CTextOutWindow::Flush()
{
    std::string pending;
    {
        std::lock_guard<std::mutex> lock(m_pendingMutex);
        pending.swap(m_pending);
    }
    if (!pending.empty() && !m_minimized && GetSafeHwnd())
        m_control.Write(pending);
}

LRESULT CTextOutWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kFlushMessage)
    {
        Flush();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CTextOutWindow::OnSize(UINT, int cx, int cy)
{
    if (m_control.GetSafeHwnd())
        m_control.MoveWindow(RECT{0, 0, cx, cy});
}

void CTextOutWindow::OnSetFocus(CWnd*)
{
    if (m_control.GetSafeHwnd())
        m_control.SetFocus();
}

void CTextOutWindow::OnClose() {}

void CTextOutWindow::OnDestroy()
{
    if (!m_writeProfile)
        return;
    CRect r;
    GetWindowRect(&r);
    std::string value;
    GT::Format(value, "%ld,%ld,%ld,%ld,%d", static_cast<long>(r.left), static_cast<long>(r.top),
               static_cast<long>(r.right), static_cast<long>(r.bottom), m_minimized ? 1 : 0);
    m_writeProfile(m_section, m_entry, value);
}

namespace
{
std::unique_ptr<CTextOutWindow>& TraceWindow()
{
    static std::unique_ptr<CTextOutWindow> window;
    return window;
}
}

CTextOutWindow* CreateTraceWindow(const RECT& rect, const char* title)
{
    auto& window = TraceWindow();
    if (window)
        return window.get();
    window = std::make_unique<CTextOutWindow>();
    if (!window->Create(title, rect, nullptr))
    {
        window.reset();
        return nullptr;
    }
    const std::string sofar = GetTraceTextOut().GetText();
    if (!sofar.empty())
        window->GetControl().Write(sofar + "\n");
    GetTraceTextOut().SetForward(window.get());
    AddShutdownHandler(&HideTraceWindow);
    return window.get();
}

CTextOutWindow* ShowTraceWindow(const RECT& rect)
{
    CTextOutWindow* window = CreateTraceWindow(rect, "Trace");
    if (window)
        window->ShowWindow(SW_SHOWNA);
    return window;
}

CTextOutWindow* GetTraceWindow() { return TraceWindow().get(); }

void HideTraceWindow()
{
    auto& window = TraceWindow();
    if (!window)
        return;
    GetTraceTextOut().SetForward(nullptr);
    window.reset();
}
}
