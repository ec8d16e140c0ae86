#include "librarian/gp/MDIFrameWndEx.h"

#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/Numbers.h"
#include "librarian/gp/VersionStrings.h"
#include "platform/Profile.h"
#include "platform/WindowPlacement.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace GP
{
int CMDIFrameWndEx::OnCreate()
{
    if (CMDIFrameWnd::OnCreate() == -1)
        return -1;
    WINDOWPLACEMENT placement;
    GetWindowPlacement(this, &placement);
    const std::string position = GetProfileString("Window", "Position", "0,0,800,600");
    // Fields that do not scan keep the current placement.
    RECT& normal = placement.rcNormalPosition;
    std::sscanf(position.c_str(), "%d,%d,%d,%d", &normal.left, &normal.top, &normal.right, &normal.bottom);
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(this, &placement);
    if (GetProfileInt("Window", "Maximized", 0) != 0)
        PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    return 0;
}

void CMDIFrameWndEx::OnClose()
{
    WriteProfileInt("Window", "Maximized", IsZoomed(this) ? 1 : 0);
    StoreFileVersion();
    // The platform's frames carry no dockable bars, so there is no bar state to save.
    CMDIFrameWnd::OnClose();
}

void CMDIFrameWndEx::OnDestroy()
{
    WINDOWPLACEMENT placement;
    if (GetWindowPlacement(this, &placement))
    {
        const RECT& r = placement.rcNormalPosition;
        WriteProfileString("Window", "Position", Format("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom));
    }
    CMDIFrameWnd::OnDestroy();
}

void CMDIFrameWndEx::LoadBarState() {}

void CMDIFrameWndEx::RecalcLayout()
{
    SendMessage(WM_MDIICONARRANGE);
    CMDIFrameWnd::RecalcLayout();
}

int CMDIFrameWndEx::CollectChildren(std::vector<CMDIChildWnd*>& children) const
{
    children.clear();
    CMDIChildWnd* active = MDIGetActive();
    int activeIndex = -1;
    for (CMDIChildWnd* child : GetMDIChildren())
    {
        if (!dynamic_cast<CMDIChildWndEx*>(child))
            continue;
        children.push_back(child);
    }
    std::stable_sort(children.begin(), children.end(), [](CMDIChildWnd* a, CMDIChildWnd* b) {
        return std::strcmp(a->GetWindowText().c_str(), b->GetWindowText().c_str()) < 0;
    });
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == active)
            activeIndex = static_cast<int>(i);
    return activeIndex;
}

bool CMDIFrameWndEx::ActivateChild(int index)
{
    std::vector<CMDIChildWnd*> children;
    CollectChildren(children);
    if (index < 0 || index >= static_cast<int>(children.size()))
        return false;
    CMDIChildWnd* child = children[static_cast<size_t>(index)];
    child->ActivateFrame(-1);
    if (child->IsIconic())
        child->MDIRestore();
    return true;
}

BOOL CMDIFrameWndEx::OnCommand(UINT id)
{
    if (id >= ID_WINDOW_GO_FIRST && id <= ID_WINDOW_GO_LAST)
    {
        ActivateChild(static_cast<int>(id - ID_WINDOW_GO_FIRST));
        return TRUE;
    }
    return CMDIFrameWnd::OnCommand(id);
}
}
