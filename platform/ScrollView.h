#pragma once
// A view whose content may be larger than its window: it knows the content's total size and the
// scroll position, and scrolling moves its child windows (as ScrollWindow does). Scroll bars show
// while the content does not fit.
#include "platform/Wnd.h"

class CScrollView : public CWnd
{
public:
    CScrollView();
    ~CScrollView() override;

    void SetScrollSizes(SIZE total);
    CSize GetTotalSize() const { return m_total; }
    CPoint GetScrollPosition() const { return m_position; }
    // Scrolls to the position, kept within the content; the children move by the difference.
    void ScrollToPosition(POINT position);

protected:
    void OnSize(UINT type, int cx, int cy) override;

private:
    void UpdateScrollBars();

    CSize m_total;
    CPoint m_position;
    struct Bars;
    std::unique_ptr<Bars> m_bars;
};
