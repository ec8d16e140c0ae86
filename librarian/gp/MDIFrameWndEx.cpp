#include "librarian/gp/MDIFrameWndEx.h"

#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/Numbers.h"
#include "librarian/gp/VersionStrings.h"
#include "librarian/gp/WindowListDlg.h"
#include "platform/DocView.h"
#include "platform/FrameBars.h"
#include "platform/Menu.h"
#include "platform/Profile.h"
#include "platform/WindowPlacement.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace GP
{
namespace
{
const char* const kBarStateSection = "ControlBar";
}

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
    if (CFrameBars* bars = GetControlBars())
        bars->SaveBarState(kBarStateSection);
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

bool CMDIFrameWndEx::LoadBarState()
{
    CFrameBars* bars = GetControlBars();
    return bars && bars->LoadBarState(kBarStateSection);
}

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
    const std::vector<CDocTemplate*>& templates = AfxGetDocTemplates();
    if (!templates.empty())
    {
        for (CDocTemplate* docTemplate : templates)
            for (CDocument* document : docTemplate->GetDocuments())
                for (CView* view : document->GetViews())
                {
                    CMDIChildWnd* frame = view->GetParentFrame();
                    if (!frame || !frame->GetSafeHwnd() ||
                        std::find(children.begin(), children.end(), frame) != children.end())
                        continue;
                    if (frame == active)
                        activeIndex = static_cast<int>(children.size());
                    children.push_back(frame);
                }
        return activeIndex;
    }
    for (CMDIChildWnd* child : GetMDIChildren())
        if (dynamic_cast<CMDIChildWndEx*>(child))
            children.push_back(child);
    std::stable_sort(children.begin(), children.end(), [](CMDIChildWnd* a, CMDIChildWnd* b) {
        return std::strcmp(a->GetWindowText().c_str(), b->GetWindowText().c_str()) < 0;
    });
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == active)
            activeIndex = static_cast<int>(i);
    return activeIndex;
}

bool CMDIFrameWndEx::BuildWindowGoMenu(CMenu& popup) const
{
    std::vector<CMDIChildWnd*> children;
    const int active = CollectChildren(children);
    if (children.empty())
        return false;
    static const char kMnemonics[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (popup.IsNull())
        popup.CreatePopupMenu();
    const int count = std::min(static_cast<int>(children.size()), kWindowGoItems);
    for (int i = 0; i < count; ++i)
    {
        CMDIChildWnd* child = children[static_cast<size_t>(i)];
        auto* ex = dynamic_cast<CMDIChildWndEx*>(child);
        const std::string text =
            Format("&%c\t%s", kMnemonics[i], (ex ? ex->GetTitle() : child->GetWindowText()).c_str());
        popup.AppendMenu(MF_STRING | (i == active ? MF_CHECKED : 0), ID_WINDOW_GO_FIRST + static_cast<UINT>(i),
                         text.c_str());
    }
    return true;
}

void CMDIFrameWndEx::RebuildWindowMenu()
{
    if (m_windowGoPosition < 0 || !m_windowMenu || m_windowMenu->IsNull())
        return;
    CMenu& menu = *m_windowMenu;
    int arrange = -1;
    for (int i = menu.GetMenuItemCount() - 1; i >= 0 && arrange < 0; --i)
        if (menu.GetMenuItemID(i) == ID_WINDOW_ARRANGE)
            arrange = i;
    // Without "Arrange Icons" there is no tail to clear: nothing of the menu is guessed away.
    if (arrange >= 0)
        for (int i = menu.GetMenuItemCount() - 1; i > arrange; --i)
            menu.DeleteMenu(static_cast<UINT>(i), MF_BYPOSITION);
    const UINT position = static_cast<UINT>(m_windowGoPosition);
    if (static_cast<int>(position) >= menu.GetMenuItemCount())
        return;
    std::string text = menu.GetMenuString(position, MF_BYPOSITION);
    text.resize(std::min<size_t>(text.size(), 1024));
    auto popup = std::make_unique<CMenu>();
    popup->CreatePopupMenu();
    BuildWindowGoMenu(*popup);
    menu.DeleteMenu(position, MF_BYPOSITION);
    menu.InsertMenu(position, MF_BYPOSITION | MF_POPUP, popup.get(), text.c_str());
    // The old sub-menu is out of the menu now and can go.
    m_windowGoMenu = std::move(popup);
}

LRESULT CMDIFrameWndEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP && m_windowMenu && wParam == reinterpret_cast<WPARAM>(m_windowMenu))
        RebuildWindowMenu();
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
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
    if (id == ID_WINDOW_GO_POPUP)
    {
        RebuildWindowMenu();
        CMenu popup;
        if (!BuildWindowGoMenu(popup))
            return TRUE;
        POINT cursor{0, 0};
        GetCursorPos(&cursor);
        const UINT chosen = static_cast<UINT>(
            popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, this));
        if (chosen != 0)
            SendMessage(WM_COMMAND, chosen);
        return TRUE;
    }
    if (id == ID_WINDOW_LIST)
    {
        CWindowListDlg dialog(this, this);
        dialog.DoModal();
        return TRUE;
    }
    if (CFrameBars* bars = GetControlBars())
    {
        if (id == ID_VIEW_TOOLBAR)
        {
            bars->ShowToolBar(!bars->IsToolBarShown());
            return TRUE;
        }
        if (id == ID_VIEW_STATUS_BAR)
        {
            bars->ShowStatusBar(!bars->IsStatusBarShown());
            return TRUE;
        }
    }
    return CMDIFrameWnd::OnCommand(id);
}

void CMDIFrameWndEx::OnUpdateCommandUI(CCmdUI* ui)
{
    CFrameBars* bars = GetControlBars();
    if (bars && ui->m_nID == ID_VIEW_TOOLBAR)
        ui->SetCheck(bars->IsToolBarShown() ? 1 : 0);
    else if (bars && ui->m_nID == ID_VIEW_STATUS_BAR)
        ui->SetCheck(bars->IsStatusBarShown() ? 1 : 0);
    else
        CMDIFrameWnd::OnUpdateCommandUI(ui);
}
}
