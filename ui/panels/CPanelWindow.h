#pragma once
// The window side of root panels. CPanelWindow is the host window that shows one root panel: it
// ticks timer 1 every 50 ms, turns mouse, wheel and key messages into the library's records for
// the panel, paints by letting the panel draw over the invalid region, and turns activation,
// moving, enabling and the user's close into the panel's operations. CWindowRootPanel is the root
// panel that creates its host window when it opens and destroys it when it closes.
#include "platform/Wnd.h"
#include "ui/panels/CVeyPanel.h"

class CWindowRootPanel;

class CPanelWindow : public CWnd
{
public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriod = 50;
    // Posted on deactivation: the panel hears of the lost mouse once the current handlers (which
    // may be in the middle of a commit) are done.
    static constexpr UINT kEndCaptureMessage = WM_USER + 1;

    explicit CPanelWindow(CWindowRootPanel* panel);

    // A top-level window whose client area is the panel's size at the panel's window position.
    virtual bool Create();
    // The panel no longer has this window: later messages reach nobody. Called before the window
    // is destroyed, which may happen inside one of its own handlers.
    void Detach() { m_panel = nullptr; }
    CWindowRootPanel* GetPanel() const { return m_panel; }
    // The panel's size changed by `dw` by `dh`: the window changes by as much, so that its client
    // area stays the panel.
    virtual void OnPanelResized(int32_t dw, int32_t dh);

protected:
    // Input messages sent to the window (as the system would) reach the handlers below too.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnRButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    void OnKeyUp(UINT virtualKey, UINT repeatCount, UINT flags) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
    void OnEnable(BOOL enable) override;
    void OnMove(int x, int y) override;
    // The user's close writes the panel's close value instead of destroying the window; the window
    // goes when the panel closes.
    void OnClose() override;
    void PostNcDestroy() override;

    void Mouse(UINT message, UINT flags, CPoint point);

    CWindowRootPanel* m_panel;
};

class CWindowRootPanel : public CVeyRootPanel
{
public:
    ~CWindowRootPanel() override;

    // Creates the host window (a modal panel disables the other windows first), then opens.
    bool Open() override;
    // Records where the window is, destroys it (a modal panel enables the others again), then closes.
    bool Close() override;
    // The view's capture, then the window's.
    void SetCapture(bool capture) override;
    CPoint& ClientToScreen(CPoint& out, const CPoint& point) const override;
    CPoint& ScreenToClient(CPoint& out, const CPoint& point) const override;
    // Both do nothing while the panel has no window.
    void Invalidate(const CRect* rect) override;
    void Redraw(const CRect* rect) override;
    // The panel's, then the window is resized by the same change of width and height.
    void SetRect(const RECT& rect) override;

    CPanelWindow* GetWindow() const { return m_window; }

protected:
    // The host window object; tests and the application may supply their own kind.
    virtual CPanelWindow* NewWindow();
    void DestroyHostWindow();

    CPanelWindow* m_window = nullptr;   // deletes itself once its native window is gone
};

// The framework's panel factory: window root panels and plain node panels.
class CWindowPanelFactory : public CVeyPanelFactory
{
public:
    std::unique_ptr<CVeyRootPanel> CreateRootPanel() override;
};
