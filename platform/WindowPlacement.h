#pragma once
// Window states and placement with Win32's shapes: minimized (iconic) and maximized (zoomed)
// windows, the normal rectangle a window returns to, restoring and raising, and the screen size.
#include "platform/Wnd.h"

constexpr int SW_MAXIMIZE = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYMINIMIZED = 58;

struct WINDOWPLACEMENT
{
    UINT showCmd = SW_SHOWNORMAL;
    // The rectangle of the restored window (outer rectangle, screen coordinates for a top-level
    // window, parent client coordinates for a child).
    RECT rcNormalPosition{0, 0, 0, 0};
};

BOOL IsIconic(const CWnd* window);
BOOL IsZoomed(const CWnd* window);
// SW_MINIMIZE, SW_MAXIMIZE and SW_RESTORE besides CWnd::ShowWindow's commands.
BOOL ShowWindowState(CWnd* window, int command);
BOOL GetWindowPlacement(const CWnd* window, WINDOWPLACEMENT* placement);
// Sets the normal rectangle and the state. A top-level window's rectangle is kept on the screen.
BOOL SetWindowPlacement(CWnd* window, const WINDOWPLACEMENT* placement);
// Brings the window to the top of its siblings and, for a top-level window, to the foreground.
BOOL BringWindowToTop(CWnd* window);
BOOL SetForegroundWindow(CWnd* window);

int GetSystemMetrics(int index);

// Moves and shrinks `rect` so that it lies inside `bounds`, as far as it fits.
void FitRectIntoBounds(RECT& rect, const RECT& bounds);

// Moves and sizes a window by its outer rectangle (GetWindowRect's), frame included, as Windows'
// SetWindowPos and MoveWindow do for top-level windows. SWP_NOMOVE and SWP_NOSIZE as there.
BOOL SetWindowOuterRect(CWnd* window, const RECT& rect, UINT flags = 0);

// Removes a top-level window's caption and border (WS_CAPTION taken from its style) or puts them
// back. The window keeps its state; a hidden window stays hidden until it is shown.
void ShowWindowCaption(CWnd* window, bool show);
// Keeps the window's client area at `size`, centred between its bars, with black around it; a
// size of 0 by 0 lets the client area fill the room between the bars again.
void CenterClientArea(CWnd* window, SIZE size);
