#pragma once
// The librarian's main-frame base: its placement, maximized state and bar state live in the
// application's profile, and it reaches its open children through the Window menu's sub-menu,
// a popup at the cursor and the window-list dialog.
#include "platform/MdiFrame.h"
#include "platform/Menu.h"

#include <memory>
#include <vector>

class CFrameBars;

namespace GP
{
constexpr UINT ID_WINDOW_LIST = 57111;
constexpr UINT ID_WINDOW_GO_POPUP = 57112;
constexpr UINT ID_WINDOW_GO_FIRST = 57113;
constexpr UINT ID_WINDOW_GO_LAST = 57148;
constexpr int kWindowGoItems = ID_WINDOW_GO_LAST - ID_WINDOW_GO_FIRST + 1;

class CMDIChildWndEx;

class CMDIFrameWndEx : public CMDIFrameWnd
{
public:
    CMDIFrameWndEx() = default;

    // Restores the bars' state from section "ControlBar", saved there on closing; false when
    // the frame has no bars or nothing is stored.
    bool LoadBarState();
    // Fills `children` with the open child frames and returns the index of the active one, -1
    // when none.
    int CollectChildren(std::vector<CMDIChildWnd*>& children) const;
    // Activates child `index` of CollectChildren's list, restoring it when minimized.
    bool ActivateChild(int index);
    // Fills `popup` with one entry per child, at most 36: "&0".."&9", "&A".."&Z", a tab and the
    // title, command ID_WINDOW_GO_FIRST + index, the active child checked. False when no child.
    bool BuildWindowGoMenu(CMenu& popup) const;
    // The Window menu of the frame's menu bar. Its owner keeps it alive and sends WM_INITMENUPOPUP
    // with the menu as wParam when it opens, so the list of children is always current.
    void SetWindowMenu(CMenu* windowMenu) { m_windowMenu = windowMenu; }
    CMenu* GetWindowMenu() const { return m_windowMenu; }
    // Rebuilds the Window menu's window-go sub-menu: everything after "Arrange Icons" goes, and the
    // entry at the window-go position becomes the list of children under the same text. Nothing
    // happens without a Window menu or a window-go position.
    void RebuildWindowMenu();
    int32_t GetWindowGoPosition() const { return m_windowGoPosition; }

    void RecalcLayout() override;
    // Besides the Window menu's commands, ID_VIEW_TOOLBAR and ID_VIEW_STATUS_BAR show or hide
    // the bars (checked while shown).
    BOOL OnCommand(UINT id) override;
    void OnUpdateCommandUI(CCmdUI* ui) override;

protected:
    int OnCreate() override;
    void OnClose() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The frame's tool and status bars, whose state is kept; none by default.
    virtual CFrameBars* GetControlBars() { return nullptr; }

    // Position of the Window menu's window-go sub-menu; -1: the frame keeps none.
    int32_t m_windowGoPosition = -1;

private:
    CMenu* m_windowMenu = nullptr;
    std::unique_ptr<CMenu> m_windowGoMenu;
};
}
