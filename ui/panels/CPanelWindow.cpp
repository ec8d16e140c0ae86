#include "ui/panels/CPanelWindow.h"

#include "platform/Gdi.h"
#include "platform/WindowPlacement.h"
#include "toolkit/gt/Timeout.h"
#include "toolkit/ul/Input.h"
#include "ui/panels/CPanelWindowGroup.h"

#include <algorithm>

namespace
{
CPoint PointFromLParam(LPARAM lParam)
{
    return CPoint(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}
}

CPanelWindow::CPanelWindow(CWindowRootPanel* panel) : m_panel(panel) {}

bool CPanelWindow::Create()
{
    if (!m_panel)
        return false;
    const CRect& panelRect = m_panel->GetRect();
    const CPoint& position = m_panel->GetWindowPosition();
    // A window needs at least one pixel; a panel without size still gets one to stand in.
    const CRect client(position.x, position.y, position.x + std::max(1, panelRect.Width()),
                       position.y + std::max(1, panelRect.Height()));
    DWORD style = WS_CAPTION | WS_SYSMENU;
    if (!m_panel->IsModal())
        style |= WS_MINIMIZEBOX;
    if (!CreateEx(0, m_panel->GetName().c_str(), style, client, nullptr))
        return false;
    // The window position is the frame's top-left, as it was recorded when the window went.
    SetWindowPos(nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetTimer(kTimerId, kTimerPeriod);
    ShowWindow(SW_SHOWNA);
    return true;
}

LRESULT CPanelWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const UINT flags = static_cast<UINT>(wParam & 0xFFFF);
    switch (message)
    {
    case WM_LBUTTONDOWN: OnLButtonDown(flags, PointFromLParam(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, PointFromLParam(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, PointFromLParam(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, PointFromLParam(lParam)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(flags, PointFromLParam(lParam)); return 0;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, PointFromLParam(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(flags, PointFromLParam(lParam)); return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(flags, static_cast<short>((wParam >> 16) & 0xFFFF), PointFromLParam(lParam));
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), 1, static_cast<UINT>((lParam >> 16) & 0xFFFF)); return 0;
    case WM_KEYUP: OnKeyUp(static_cast<UINT>(wParam), 1, static_cast<UINT>((lParam >> 16) & 0xFFFF)); return 0;
    case WM_ACTIVATE: OnActivate(static_cast<UINT>(wParam & 0xFFFF), nullptr, FALSE); return 0;
    case WM_MOVE: OnMove(PointFromLParam(lParam).x, PointFromLParam(lParam).y); return 0;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return 0;
    case kEndCaptureMessage:
        if (m_panel)
            m_panel->EndCapture();
        return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CPanelWindow::Mouse(UINT message, UINT flags, CPoint point)
{
    if (!m_panel)
        return;
    UL::CMouseInfo info(message, point, flags);
    m_panel->OnMouse(info);
}

void CPanelWindow::OnLButtonDown(UINT flags, CPoint point) { Mouse(WM_LBUTTONDOWN, flags, point); }
void CPanelWindow::OnLButtonUp(UINT flags, CPoint point) { Mouse(WM_LBUTTONUP, flags, point); }
void CPanelWindow::OnLButtonDblClk(UINT flags, CPoint point) { Mouse(WM_LBUTTONDBLCLK, flags, point); }
void CPanelWindow::OnRButtonDown(UINT flags, CPoint point) { Mouse(WM_RBUTTONDOWN, flags, point); }
void CPanelWindow::OnRButtonUp(UINT flags, CPoint point) { Mouse(WM_RBUTTONUP, flags, point); }
void CPanelWindow::OnRButtonDblClk(UINT flags, CPoint point) { Mouse(WM_RBUTTONDBLCLK, flags, point); }
void CPanelWindow::OnMouseMove(UINT flags, CPoint point) { Mouse(WM_MOUSEMOVE, flags, point); }

BOOL CPanelWindow::OnMouseWheel(UINT flags, short delta, CPoint point)
{
    if (!m_panel)
        return FALSE;
    // The wheel arrives in screen coordinates; the panels work in client coordinates.
    ScreenToClient(&point);
    UL::CWheelInfo info(WM_MOUSEWHEEL, delta, point, flags);
    return m_panel->OnMouseWheel(info) ? TRUE : FALSE;
}

void CPanelWindow::OnKeyDown(UINT virtualKey, UINT, UINT flags)
{
    // The key operators repeat held keys themselves; the keyboard's own repeats would double them.
    if (!m_panel || (flags & KF_REPEAT))
        return;
    m_panel->OnKey(UL::MakeKeyInfo(WM_KEYDOWN, virtualKey));
}

void CPanelWindow::OnKeyUp(UINT virtualKey, UINT, UINT)
{
    if (m_panel)
        m_panel->OnKey(UL::MakeKeyInfo(WM_KEYUP, virtualKey));
}

void CPanelWindow::OnTimer(UINT_PTR id)
{
    if (!m_panel || id != kTimerId)
        return;
    GT::CTimerInfo info;
    m_panel->OnTimer(info);
}

void CPanelWindow::OnPaint()
{
    CPaintDC dc(this);
    if (!m_panel)
        return;
    std::vector<CRect> clip;
    UL::GetRegionRects(dc, clip);
    std::vector<CRect> direct;
    UL::CDrawInfo info(&dc, &clip, &direct);
    m_panel->Draw(info);
}

void CPanelWindow::OnActivate(UINT state, CWnd*, BOOL)
{
    // Coming forward is the nearest this platform tells of a z-order change. A disabled window
    // lets the modal windows above it again; an enabled one brings the group up behind it.
    if (state != WA_INACTIVE)
    {
        CPanelWindowGroup& group = CPanelWindowGroup::GetInstance();
        group.OnWindowPosChanging(this, 0);
        group.OnWindowPosChanged(this, 0);
    }
    if (m_panel)
        m_panel->OnActivate(state != WA_INACTIVE);
    // A window that loses the activation loses the mouse too: the button-up goes elsewhere.
    if (state == WA_INACTIVE)
        PostMessage(kEndCaptureMessage);
}

void CPanelWindow::OnEnable(BOOL enable)
{
    CPanelWindowGroup::GetInstance().OnEnable(enable != FALSE);
}

void CPanelWindow::OnPanelResized(int32_t dw, int32_t dh)
{
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + dw, window.Height() + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPanelWindow::OnMove(int, int)
{
    if (m_panel)
        m_panel->KillViewFocus();
}

void CPanelWindow::OnClose()
{
    if (m_panel)
        m_panel->WriteCloseValue();
}

void CPanelWindow::PostNcDestroy()
{
    delete this;
}

// CWindowRootPanel

CWindowRootPanel::~CWindowRootPanel()
{
    DestroyHostWindow();
}

CPanelWindow* CWindowRootPanel::NewWindow()
{
    return new CPanelWindow(this);
}

void CWindowRootPanel::DestroyHostWindow()
{
    if (!m_window)
        return;
    CPanelWindow* window = m_window;
    m_window = nullptr;
    window->Detach();
    if (window->GetSafeHwnd())
        window->DestroyWindow();   // the window deletes itself at the next turn of the main loop
    else
        delete window;
}

bool CWindowRootPanel::Open()
{
    if (m_modal)
        CPanelWindowGroup::GetInstance().DisableOthers();
    m_window = NewWindow();
    if (!m_window->Create())
    {
        DestroyHostWindow();
        // The windows disabled for this panel come back when it cannot show.
        if (m_modal)
            CPanelWindowGroup::GetInstance().Restore();
        return false;
    }
    return CVeyRootPanel::Open();
}

bool CWindowRootPanel::Close()
{
    if (m_modal)
        CPanelWindowGroup::GetInstance().Restore();
    // The normal rectangle's corner: a window closed maximised opens where it stood before.
    WINDOWPLACEMENT placement;
    if (m_window && m_window->GetSafeHwnd() && GetWindowPlacement(m_window, &placement))
        m_windowPosition = CRect(placement.rcNormalPosition).TopLeft();
    DestroyHostWindow();
    return CVeyRootPanel::Close();
}

void CWindowRootPanel::SetCapture(bool capture)
{
    CVeyRootPanel::SetCapture(capture);
    if (!m_window || !m_window->GetSafeHwnd())
        return;
    if (capture)
        m_window->SetCapture();
    else if (CWnd::GetCapture() == m_window)
        ReleaseCapture();
}

CPoint& CWindowRootPanel::ClientToScreen(CPoint& out, const CPoint& point) const
{
    out = point;
    if (m_window && m_window->GetSafeHwnd())
        m_window->ClientToScreen(&out);
    return out;
}

CPoint& CWindowRootPanel::ScreenToClient(CPoint& out, const CPoint& point) const
{
    out = point;
    if (m_window && m_window->GetSafeHwnd())
        m_window->ScreenToClient(&out);
    return out;
}

void CWindowRootPanel::Invalidate(const CRect* rect)
{
    if (m_window && m_window->GetSafeHwnd())
        m_window->InvalidateRect(rect ? rect : &m_rect, TRUE);
}

void CWindowRootPanel::Redraw(const CRect* rect)
{
    if (!m_window || !m_window->GetSafeHwnd())
        return;
    m_window->InvalidateRect(rect ? rect : &m_rect, TRUE);
    m_window->UpdateWindow();
}

void CWindowRootPanel::SetRect(const RECT& rect)
{
    const int32_t dw = (rect.right - rect.left) - m_rect.Width();
    const int32_t dh = (rect.bottom - rect.top) - m_rect.Height();
    CVeyRootPanel::SetRect(rect);
    if (m_window && m_window->GetSafeHwnd())
        m_window->OnPanelResized(dw, dh);
}

std::unique_ptr<CVeyRootPanel> CWindowPanelFactory::CreateRootPanel()
{
    return std::make_unique<CWindowRootPanel>();
}
