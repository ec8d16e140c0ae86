#pragma once
// What the common controls share with their parents: WM_NOTIFY and its header record, the NM_
// codes, WM_SETTEXT, the keyboard's auto-repeat settings as SystemParametersInfo gives them, and
// the window that has the keyboard focus.
#include "platform/Wnd.h"

constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_NOTIFY = 0x004E;

// The header every WM_NOTIFY record starts with.
struct NMHDR
{
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_RETURN = static_cast<UINT>(-4);
constexpr UINT NM_RCLICK = static_cast<UINT>(-5);

constexpr UINT CBN_SELENDOK = 9;

constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;   // 0 (about 2.5 repeats a second) to 31 (about 30)
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;   // 0 (250 ms) to 3 (1 s)

// Only the two keyboard queries; `value` points to an int. FALSE for anything else.
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);
// Replaces the desktop's keyboard settings for this process (tests; values are clamped to the
// ranges above). A negative value returns to the desktop's setting.
void SetKeyboardRepeatSettings(int delay, int speed);

// The window that has the keyboard focus (the control whose Qt widget has it), or null.
CWnd* GetFocus();
