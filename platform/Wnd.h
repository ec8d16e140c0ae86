#pragma once
// The window class the system's windows derive from. A CWnd owns a private Qt widget that feeds
// its protected virtual handlers (mouse with capture, wheel, keys, timers, paint, activation,
// enabling); posted and sent messages reach WindowProc. DestroyWindow hides the window now and
// deletes the native window at the next turn of the main loop, so a handler may destroy its own
// window safely.
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <memory>
#include <string>
#include <vector>

// Mouse and key message flags (wParam of mouse messages).
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Virtual-key codes the system uses; letters and digits are their ASCII capitals.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F12 = 0x7B;

// Key flags of OnKeyDown: the key was already down (an auto-repeat press).
constexpr UINT KF_REPEAT = 0x4000;

// WM_ACTIVATE states.
constexpr UINT WA_INACTIVE = 0;
constexpr UINT WA_ACTIVE = 1;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;

// Window styles understood by Create.
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;   // dwExStyle: no taskbar entry, no activation

// The window menu's commands: WM_SYSCOMMAND's wParam (low four bits aside). A top-level window
// is sent SC_MAXIMIZE and SC_RESTORE when the user maximises or restores it through the window
// manager; the default handling shows the window in that state.
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_RESTORE = 0xF120;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

class CWnd
{
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the native window: a child of `parent` when the style has WS_CHILD, otherwise a
    // top-level window (owned by `parent` when given). `rect` is the client rectangle, in the
    // parent's client coordinates for a child and in screen coordinates otherwise.
    BOOL CreateEx(DWORD exStyle, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0);
    // A window that only receives posted and sent messages and timer ticks; it is never shown.
    BOOL CreateMessageWindow();
    virtual BOOL DestroyWindow();

    HWND GetSafeHwnd() const;
    // The CWnd of a handle, or null when the window no longer exists.
    static CWnd* FromHandle(HWND window);
    UINT GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetDlgItem(UINT id) const;
    // The next sibling in creation order (GW_HWNDNEXT), or null.
    CWnd* GetNextSibling() const;
    // The top-level windows of this process that exist now, in creation order.
    static std::vector<CWnd*> GetTopLevelWindows();

    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable);   // returns TRUE when the window was disabled before
    BOOL IsWindowEnabled() const;
    void SetWindowText(const char* text);
    std::string GetWindowText() const;
    int GetWindowTextLength() const;
    void SetActiveWindow();
    BOOL IsActiveWindow() const;
    void SetFocus();

    void GetClientRect(RECT* rect) const;
    // The outer rectangle in screen coordinates (the client rectangle for windows without frame).
    void GetWindowRect(RECT* rect) const;
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void ClientToScreen(POINT* point) const;
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;

    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    // Paints the pending update region now.
    void UpdateWindow();

    // Files dragged from the desktop may be dropped on the window (OnDropFiles).
    void DragAcceptFiles(BOOL accept = TRUE);

    // Mouse capture: while set, mouse messages go to this window wherever the pointer is.
    CWnd* SetCapture();
    static CWnd* GetCapture();

    // Win32 timers: a tick arrives as OnTimer (WM_TIMER through WindowProc) `elapse` ms after the
    // last one; ticks do not queue up. Setting an existing id restarts it.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);

    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Not part of the interface: the platform's private widget and paint state.
    struct Impl;
    Impl* GetImpl() const { return d.get(); }

protected:
    // Posted and sent messages and timer ticks. The default sends WM_TIMER to OnTimer, WM_CLOSE to
    // OnClose and returns 0 for the rest; overrides call it for what they do not handle.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    // `point` is in screen coordinates, as Windows gives it.
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    virtual void OnKeyUp(UINT virtualKey, UINT repeatCount, UINT flags);
    virtual void OnTimer(UINT_PTR id);
    // Draw with a CPaintDC on this window; what is not drawn keeps its previous content.
    virtual void OnPaint();
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual void OnEnable(BOOL enable);
    virtual void OnMove(int x, int y);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnSetFocus(CWnd* oldWindow);
    virtual void OnKillFocus(CWnd* newWindow);
    // Files dropped on a window that accepts them: their full local paths, in the order given.
    virtual void OnDropFiles(const std::vector<std::string>& paths);
    // The user asked to close the window; the default destroys it.
    virtual void OnClose();
    virtual void OnDestroy();
    // Called at the next turn of the main loop after DestroyWindow, when the native window is gone;
    // a window that deletes itself does it here.
    virtual void PostNcDestroy();

private:
    friend struct CWndDispatch;
    std::unique_ptr<Impl> d;
};

// Win32's key state: the high bit (a negative value) when the key is down now. Knows VK_SHIFT,
// VK_CONTROL and VK_MENU.
short GetKeyState(int virtualKey);
short GetAsyncKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
BOOL ReleaseCapture();
// The primary screen's work area (SystemParametersInfo with SPI_GETWORKAREA); FALSE without a screen.
BOOL GetScreenWorkArea(RECT* rect);
