#include "librarian/gp/MDIChildWndEx.h"

#include "librarian/gp/Numbers.h"
#include "platform/Profile.h"
#include "platform/WindowPlacement.h"

#include <cstdio>

namespace GP
{
int32_t ChildPlacementMode = 0;

CMDIChildWndEx::CMDIChildWndEx(int32_t placementIndex) : m_placementIndex(placementIndex) {}

std::string CMDIChildWndEx::GetPlacementEntry() const
{
    return Format("%s%d", "Position", m_placementIndex);
}

BOOL CMDIChildWndEx::Create(const char* title, CMDIFrameWnd* frame, const RECT&)
{
    // PreCreateWindow decides the place.
    if (!CMDIChildWnd::Create(title, frame, rectDefault))
        return FALSE;
    // Close shows greyed where it would do nothing.
    if (!CanUserClose())
        EnableSystemClose(FALSE);
    return TRUE;
}

BOOL CMDIChildWndEx::PreCreateWindow(CREATESTRUCT& cs)
{
    if (RestoresPlacement() && cs.x == CW_USEDEFAULT && cs.y == CW_USEDEFAULT && cs.cx == 0 && cs.cy == 0)
    {
        const std::string stored = GetProfileString(
            "Window", GetPlacementEntry(), Format("%d,%d,%d,%d", CW_USEDEFAULT, CW_USEDEFAULT, 0, 0));
        // Fields that do not scan keep the system's choice; the frame keeps the result reachable.
        std::sscanf(stored.c_str(), "%d,%d,%d,%d", &cs.x, &cs.y, &cs.cx, &cs.cy);
    }
    return CMDIChildWnd::PreCreateWindow(cs);
}

std::string CMDIChildWndEx::GetTitle() const
{
    return GetWindowText();
}

bool CMDIChildWndEx::RestoresPlacement() const
{
    return ChildPlacementMode == 2;
}

bool CMDIChildWndEx::CanStayOnTop() const
{
    return false;
}

bool CMDIChildWndEx::CanUserClose() const
{
    return true;
}

void CMDIChildWndEx::OnClose()
{
    if (CanUserClose())
        CMDIChildWnd::OnClose();
}

void CMDIChildWndEx::FitToClient(UINT command)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    CRect client;
    frame->GetMDIClientRect(&client);
    // A row of minimized children stays visible below.
    client.bottom -= GetSystemMetrics(SM_CYMINIMIZED);
    CRect rect;
    GetFrameRect(&rect);
    if (command == ID_WINDOW_FULL)
        rect = client;
    else if (command == ID_WINDOW_FULL_HEIGHT)
    {
        rect.top = client.top;
        rect.bottom = client.bottom;
    }
    else
    {
        rect.left = client.left;
        rect.right = client.right;
    }
    MoveFrame(rect, TRUE);
}

BOOL CMDIChildWndEx::OnCommand(UINT id)
{
    switch (id)
    {
    case ID_WINDOW_FULL:
    case ID_WINDOW_FULL_HEIGHT:
    case ID_WINDOW_FULL_WIDTH:
        if (!IsIconic() && !IsZoomed())
            FitToClient(id);
        return TRUE;
    case ID_WINDOW_SAVE_POSITION:
    {
        CRect normal;
        GetNormalRect(&normal);
        WriteProfileString("Window", GetPlacementEntry(),
                           Format("%d,%d,%d,%d", normal.left, normal.top, normal.Width(), normal.Height()));
        return TRUE;
    }
    case ID_WINDOW_ALWAYS_ON_TOP:
        if (CanStayOnTop())
        {
            m_onTop = !m_onTop;
            SetStayOnTop(m_onTop);
            BringToTop();
        }
        return TRUE;
    default: return CMDIChildWnd::OnCommand(id);
    }
}

void CMDIChildWndEx::OnUpdateCommandUI(CCmdUI* ui)
{
    switch (ui->m_nID)
    {
    case ID_WINDOW_FULL:
    case ID_WINDOW_FULL_HEIGHT:
    case ID_WINDOW_FULL_WIDTH: ui->Enable(!IsIconic() && !IsZoomed()); break;
    case ID_WINDOW_ALWAYS_ON_TOP:
        ui->Enable(CanStayOnTop());
        ui->SetCheck(m_onTop ? 1 : 0);
        break;
    default: CMDIChildWnd::OnUpdateCommandUI(ui); break;
    }
}
}
