#pragma once
// The trackbar, as CSliderCtrl: a range, a thumb position, line and page sizes, and the scroll
// notifications of a drag or a key (TB_ codes) to OnTrackbarScroll, where MFC would reflect
// WM_HSCROLL and WM_VSCROLL. A vertical trackbar has its lowest position at the top. The right
// mouse button drags the thumb as the left one does.
#include "platform/CommonControls.h"

constexpr DWORD TBS_VERT = 0x0002;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD TBS_NOTICKS = 0x0010;
constexpr DWORD WS_DLGFRAME = 0x00400000;

constexpr UINT TB_LINEUP = 0;
constexpr UINT TB_LINEDOWN = 1;
constexpr UINT TB_PAGEUP = 2;
constexpr UINT TB_PAGEDOWN = 3;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_TOP = 6;
constexpr UINT TB_BOTTOM = 7;
constexpr UINT TB_ENDTRACK = 8;

class CSliderCtrl : public CWnd
{
public:
    CSliderCtrl();
    ~CSliderCtrl() override;
    // With WS_POPUP a top-level window at `rect` (screen coordinates), shown without activation.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    void SetPos(int position);
    int GetPos() const;
    void SetLineSize(int size);
    void SetPageSize(int size);
    // The thumb's rectangle in client coordinates.
    void GetThumbRect(RECT* rect) const;
    // Starts a drag of the thumb as a left press on it does.
    void PressThumb();
    bool IsVertical() const { return (m_style & TBS_VERT) != 0; }

protected:
    // A scroll notification: the TB_ code and the thumb's position.
    virtual void OnTrackbarScroll(UINT code, int position);
    // A key press reaching the trackbar; TRUE eats it.
    virtual BOOL PreTranslateKey(UINT virtualKey);
    // A press of the other mouse button while the thumb is being dragged; the drag goes on.
    virtual void OnTrackbarOtherButton();

private:
    friend struct CSliderEvents;
    DWORD m_style = 0;
};
