#pragma once
// Dialog units: dialog resources measure in quarters of the dialog font's average character width
// and eighths of its height. MapDialogRect turns such a rectangle into pixels.
#include "platform/Wnd.h"

// The base units (average character width, character height) of the dialog font, in pixels.
SIZE GetDialogBaseUnits();
// Fixes the base units (tests, and programs that want the layout independent of the fonts
// installed); {0, 0} returns to the dialog font's.
void SetDialogBaseUnits(SIZE units);
// Converts a rectangle in dialog units to pixels, as Windows does (rounded to the nearest pixel).
// The window is the dialog whose font counts; all of this system's dialogs share one font.
void MapDialogRect(const CWnd* window, RECT* rect);

// Deferred window positioning: the moves are collected and applied together, with the parents'
// painting held until all are done, so a re-layout never shows half-moved controls.
struct DeferredWindowPositions;
using HDWP = DeferredWindowPositions*;
HDWP BeginDeferWindowPos(int count);
// Returns the same handle, or null (the batch then is dropped) when `hdwp` or the window is null.
HDWP DeferWindowPos(HDWP hdwp, CWnd* window, const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP hdwp);

constexpr UINT SWP_NOOWNERZORDER = 0x0200;
