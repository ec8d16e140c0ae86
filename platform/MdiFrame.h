#pragma once
// The multiple-document frame family with MFC's shapes: a main frame whose client area (the MDI
// client) holds child frames, which can be activated, minimized, maximized, restored, tiled and
// kept on top. Commands (WM_COMMAND) go to the active child first, then to the frame; the
// frame answers update requests the same way. A child's title bar and border are its frame (its
// non-client area): a right click there reaches OnNcRButtonDown and then OnContextMenu.
#include "platform/Wnd.h"

#include <memory>
#include <string>
#include <vector>

constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000);

// Where on a child's frame a press lies (OnNcRButtonDown's hit-test code).
constexpr UINT HTCAPTION = 2;
constexpr UINT HTBORDER = 18;

// Window-menu commands of the frame.
constexpr UINT ID_WINDOW_ARRANGE = 57649;
constexpr UINT ID_WINDOW_CASCADE = 57650;
constexpr UINT ID_WINDOW_TILE_HORZ = 57651;
constexpr UINT ID_WINDOW_TILE_VERT = 57652;

// The creation record a frame may change before its window is made.
struct CREATESTRUCT
{
    int32_t x;
    int32_t y;
    int32_t cx;
    int32_t cy;
    std::string name;
};

// A command's state for its menu entry or tool-bar button.
class CCmdUI
{
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    void Enable(BOOL enable = TRUE) { m_enabled = enable != FALSE; m_handled = true; }
    void SetCheck(int check = 1) { m_check = check; m_handled = true; }

    UINT m_nID;
    bool m_enabled = true;
    int m_check = 0;
    bool m_handled = false;
};

class CMDIChildWnd;

class CMDIFrameWnd : public CWnd
{
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // Creates the frame as a top-level window with its MDI client, then runs OnCreate; FALSE (and
    // no window) when that returns -1.
    BOOL Create(const char* title, const RECT& rect);
    BOOL DestroyWindow() override;

    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    void MDIActivate(CMDIChildWnd* child);
    // The children in z-order, the top first.
    std::vector<CMDIChildWnd*> GetMDIChildren() const;
    // The MDI client's client rectangle (the area the children live in).
    void GetMDIClientRect(RECT* rect) const;
    // ID_WINDOW_TILE_HORZ puts the normal children one above the other, ID_WINDOW_TILE_VERT side
    // by side; minimized children stay in their row at the bottom.
    void MDITile(UINT how);
    void MDICascade();
    void MDIIconArrange();

    // Re-fits the MDI client and the bars into the frame.
    virtual void RecalcLayout();
    // Room kept free above and below the MDI client for the frame's bars, in pixels.
    void SetClientInsets(int top, int bottom);
    // The command `id` (a menu entry, a button, an accelerator): TRUE when handled.
    virtual BOOL OnCommand(UINT id);
    // The state of command `id`; the default leaves it enabled and unchecked.
    virtual void OnUpdateCommandUI(CCmdUI* ui);
    // Asks the active child, then the frame, for the state of a command.
    void UpdateCommandUI(CCmdUI* ui);

    struct FrameImpl;
    FrameImpl* GetFrameImpl() const { return m_frame.get(); }

protected:
    // Runs when the window exists: 0 to go on, -1 to fail the creation.
    virtual int OnCreate();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keeps the bars' room free when the frame has any.
    void OnSize(UINT type, int cx, int cy) override;

private:
    std::unique_ptr<FrameImpl> m_frame;
};

class CMDIChildWnd : public CWnd
{
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // The default rectangle: the system chooses the child's place and size.
    static const RECT rectDefault;

    // Creates the child in the frame's MDI client: the rectangle (MDI client coordinates) goes
    // into the creation record, PreCreateWindow may change it, and CW_USEDEFAULT (or a size of 0)
    // leaves the choice to the system. Places that lie outside the client are brought into it.
    virtual BOOL Create(const char* title, CMDIFrameWnd* frame, const RECT& rect = rectDefault);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    BOOL DestroyWindow() override;

    CMDIFrameWnd* GetMDIFrame() const { return m_frameWnd; }
    // Activates the child; a minimized one stays minimized unless `command` says otherwise.
    void ActivateFrame(int command = -1);
    void MDIRestore();
    void MDIMaximize();
    void MDIMinimize();
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    // The child's frame rectangle in MDI client coordinates, and where it returns when restored.
    void GetFrameRect(RECT* rect) const;
    void GetNormalRect(RECT* rect) const;
    void MoveFrame(const RECT& rect, BOOL repaint = TRUE);
    void BringToTop();
    // Keeps the child above its siblings that are not kept on top.
    void SetStayOnTop(bool onTop);
    bool IsStayOnTop() const;
    // Greys the Close entry of the child's system menu, and with it the close button of its title
    // bar and its close key, as greying SC_CLOSE in a window's system menu does; TRUE enables them
    // again. A close request the program sends (WM_CLOSE) still reaches OnClose.
    void EnableSystemClose(BOOL enable);
    BOOL IsSystemCloseEnabled() const;

    void SetTitle(const char* title);

    virtual BOOL OnCommand(UINT id);
    virtual void OnUpdateCommandUI(CCmdUI* ui);

    struct ChildImpl;
    ChildImpl* GetChildImpl() const { return m_child.get(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keeps the view (the child with AFX_IDW_PANE_FIRST) filling the client area.
    void OnSize(UINT type, int cx, int cy) override;
    // A press of the right button on the child's frame: `hitTest` HTCAPTION for the title bar,
    // HTBORDER for the border; `point` in screen coordinates. The default does nothing.
    virtual void OnNcRButtonDown(UINT hitTest, CPoint point);
    // The user asked for the context menu of the child's title bar (a right click there), at
    // `point` in screen coordinates. The default shows the child's system menu.
    virtual void OnContextMenu(CWnd* window, CPoint point);

private:
    friend class CChildFrameEvents;
    CMDIFrameWnd* m_frameWnd = nullptr;
    std::unique_ptr<ChildImpl> m_child;
};
