#pragma once
// A mouse hook of the GUI thread, as SetWindowsHookEx(WH_MOUSE) gives one: the procedure sees
// every mouse message of the program before the window it is meant for, and a non-zero result
// discards the message. Presses on a window's frame arrive as the WM_NC... messages: the title bar
// and border of a child frame; top-level frames belong to the window system and are not seen.
#include "platform/Geometry.h"
#include "platform/Messages.h"

constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr int HC_ACTION = 0;
constexpr int WH_MOUSE = 7;

struct MOUSEHOOKSTRUCT
{
    POINT pt;          // screen coordinates
    HWND hwnd;         // the window the message is meant for (its nearest CWnd), or null
    UINT wHitTestCode;
    uintptr_t dwExtraInfo;
    // The target's window class as GetClassName would name it: "ComboLBox" for the list of a
    // drop-down combo box, "Edit", "ComboBox", "Button", "Static", "#32768" for a menu, else "".
    char className[64];
};

using HHOOK = struct HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM message, LPARAM hookStruct);

// Only WH_MOUSE on the current thread; null on failure.
HHOOK SetWindowsHookEx(int hookType, HOOKPROC procedure, void* module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
// Passes the message to the hooks installed before this one.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM message, LPARAM hookStruct);
DWORD GetCurrentThreadId();
// Whether `child` is `parent` itself or lies inside it.
BOOL IsChild(HWND parent, HWND child);
