#include "toolkit/ul/TimerTextOut.h"

#include "platform/Gdi.h"
#include "platform/WinApp.h"

namespace UL
{
namespace
{
constexpr UINT_PTR kHideTimer = 1;

CSize TextSize(const std::string& text)
{
    CDC dc;
    dc.SelectObject(GetDefaultGuiFont());
    RECT r{0, 0, 0, 0};
    dc.DrawText(text, &r, DT_CALCRECT | DT_NOPREFIX);
    return CSize(r.right - r.left + 1, r.bottom - r.top);
}
}

CTimerTextOutWindow::CTimerTextOutWindow()
{
    Create();
}

CTimerTextOutWindow::~CTimerTextOutWindow()
{
    Destroy();
}

bool CTimerTextOutWindow::Create()
{
    m_window = std::make_unique<CWindowX>(this);
    return true;
}

bool CTimerTextOutWindow::Destroy()
{
    if (m_window)
        m_window->DestroyWindow();
    m_window.reset();
    return true;
}

void CTimerTextOutWindow::WriteRaw(const std::string& text)
{
    if (!m_window)
        return;
    CWindowX& window = *m_window;
    window.m_text = text;
    CWinApp* app = AfxGetApp();
    CWnd* owner = app ? app->m_pMainWnd : nullptr;
    if (!window.GetSafeHwnd() &&
        !window.CreateEx(WS_EX_TOOLWINDOW, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, RECT{0, 0, 1, 1}, owner))
        return;
    if (window.m_timer)
        window.KillTimer(window.m_timer);
    window.m_timer = window.SetTimer(kHideTimer, GetDuration());

    const int32_t* margins = GetMargins();
    const CSize text_size = TextSize(text);
    const int width = text_size.cx + margins[0] + margins[2];
    const int height = text_size.cy + margins[1] + margins[3];
    CRect area(0, 0, 640, 480);
    if (owner && owner->GetSafeHwnd())
        owner->GetWindowRect(&area);
    const int left = area.left + (area.Width() - width) / 2;
    const int top = area.top + (area.Height() - height) / 2;
    window.SetWindowPos(nullptr, left, top, width, height, SWP_SHOWWINDOW);
    window.SetActiveWindow();
    window.Invalidate();
}

void CTimerTextOutWindow::CWindowX::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, RGB(255, 255, 255));
    dc.SelectObject(GetDefaultGuiFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    const int32_t* margins = m_owner->GetMargins();
    RECT r{margins[0], margins[1], client.right, client.bottom};
    dc.DrawText(m_text, &r, DT_NOPREFIX | DT_NOCLIP);
}

void CTimerTextOutWindow::CWindowX::OnTimer(UINT_PTR id)
{
    if (id != kHideTimer)
        return;
    KillTimer(kHideTimer);
    m_timer = 0;
    ShowWindow(SW_HIDE);
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd)
        app->m_pMainWnd->UpdateWindow();
}
}
