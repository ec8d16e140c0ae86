#pragma once
// The size grip at a resizable window's bottom-right corner (a SBS_SIZEGRIP scroll bar): dragging
// it resizes the top-level window it sits in.
#include "platform/Wnd.h"

constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD SBS_SIZEGRIP = 0x0010;
constexpr DWORD SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004;

class CSizeGrip : public CWnd
{
public:
    // `rect` is the parent's client rectangle; the grip takes its standard size in that corner.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    static SIZE StandardSize();

protected:
    void OnPaint() override;
};

// The smallest size the user may give the window by dragging its frame (WM_GETMINMAXINFO's
// minimum tracking size).
void SetMinTrackSize(CWnd* window, SIZE size);
