#pragma once
// Moves a window's controls for a new client size: each control's rectangle comes from its
// rectangle in the dialog template, the client rectangle and anchor flags, and all moves are
// applied in one deferred pass.
#include "librarian/gp/DlgTempl.h"

#include <cstdint>
#include <vector>

class CWnd;

namespace GP
{
// Anchor flags: an anchored edge keeps its distance from that side of the client area; the
// proportional flags scale the edges that are not anchored (both, with both anchors) with the
// client size.
constexpr UINT kAnchorLeft = 0x01;
constexpr UINT kAnchorRight = 0x02;
constexpr UINT kAnchorTop = 0x04;
constexpr UINT kAnchorBottom = 0x08;
constexpr UINT kProportionalX = 0x10;
constexpr UINT kProportionalY = 0x20;

class CDlgLayout
{
public:
    struct SMove
    {
        int32_t id;
        int32_t left, top, right, bottom;
    };

    CDlgLayout(CWnd* window, const CDlgTempl& dialogTemplate);
    // Applies what is still queued.
    ~CDlgLayout();
    CDlgLayout(const CDlgLayout&) = delete;
    CDlgLayout& operator=(const CDlgLayout&) = delete;

    // Queues the move of control `id`; nothing when the template does not hold the id exactly once.
    void Calculate(uint32_t id, UINT anchors);
    void Apply();
    const std::vector<SMove>& GetQueue() const { return m_queue; }

    // The control's new rectangle: `dialog` and `item` are the template's rectangles in pixels,
    // `client` the client rectangle, `scroll` the scroll position.
    static RECT ComputeRect(const RECT& dialog, const RECT& client, const RECT& item, UINT anchors, POINT scroll);

private:
    CWnd* m_window;
    const CDlgTempl& m_template;
    std::vector<SMove> m_queue;
};
}
