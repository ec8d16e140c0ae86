#include "librarian/gp/DlgLayout.h"

#include "platform/DialogUnits.h"
#include "platform/ScrollView.h"

namespace GP
{
namespace
{
// One axis: `lo`/`hi` are the client's, dialog's and item's near and far edges. `value` is the
// axis's part of the anchor flags, normalised to near = 1, far = 2, proportional = 0x10.
void ComputeAxis(UINT value, int32_t cLo, int32_t cHi, int32_t dLo, int32_t dHi, int32_t iLo, int32_t iHi,
                 int32_t& lo, int32_t& hi)
{
    const int64_t extent = static_cast<int64_t>(cHi) - cLo;
    const int64_t templateExtent = static_cast<int64_t>(dHi) - dLo;
    // A template without extent cannot scale anything: the proportional part is ignored.
    if (templateExtent == 0)
        value &= ~0x10u;
    auto scaled = [&](int32_t v) { return static_cast<int32_t>(extent * v / templateExtent); };
    switch (value)
    {
    case 0x02:
        lo = cHi + (iLo - dHi);
        hi = cHi + (iHi - dHi);
        break;
    case 0x03:
        lo = cLo + (iLo - dLo);
        hi = cHi + (iHi - dHi);
        break;
    case 0x11:
        lo = cLo + (iLo - dLo);
        hi = scaled(iHi);
        break;
    case 0x12:
        lo = scaled(iLo);
        hi = cHi + (iHi - dHi);
        break;
    case 0x13:
        lo = scaled(iLo);
        hi = scaled(iHi);
        break;
    default:
        lo = cLo + (iLo - dLo);
        hi = cLo + (iHi - dLo);
        break;
    }
}
}

CDlgLayout::CDlgLayout(CWnd* window, const CDlgTempl& dialogTemplate) : m_window(window), m_template(dialogTemplate) {}

CDlgLayout::~CDlgLayout()
{
    Apply();
}

RECT CDlgLayout::ComputeRect(const RECT& dialog, const RECT& client, const RECT& item, UINT anchors, POINT scroll)
{
    RECT result{};
    ComputeAxis(anchors & 0x13, client.left, client.right, dialog.left, dialog.right, item.left, item.right,
                result.left, result.right);
    // The vertical flags 0x04, 0x08 and 0x20 map onto the horizontal ones.
    const UINT vertical = ((anchors & 0x04) ? 0x01 : 0) | ((anchors & 0x08) ? 0x02 : 0) | ((anchors & 0x20) ? 0x10 : 0);
    ComputeAxis(vertical, client.top, client.bottom, dialog.top, dialog.bottom, item.top, item.bottom, result.top,
                result.bottom);
    result.left -= scroll.x;
    result.right -= scroll.x;
    result.top -= scroll.y;
    result.bottom -= scroll.y;
    return result;
}

void CDlgLayout::Calculate(uint32_t id, UINT anchors)
{
    const CDlgTempl::CDlgItemTempl* item = m_template.GetItem(id);
    if (!item || !m_window)
        return;
    RECT dialog = m_template.GetRect();
    MapDialogRect(m_window, &dialog);
    CRect client;
    m_window->GetClientRect(&client);
    POINT scroll{0, 0};
    if (const auto* view = dynamic_cast<const CScrollView*>(m_window))
    {
        const CSize total = view->GetTotalSize();
        client.right = std::max(client.right, total.cx);
        client.bottom = std::max(client.bottom, total.cy);
        scroll = view->GetScrollPosition();
    }
    RECT rect = item->GetRect();
    MapDialogRect(m_window, &rect);
    const RECT moved = ComputeRect(dialog, client, rect, anchors, scroll);
    m_queue.push_back(SMove{static_cast<int32_t>(id), moved.left, moved.top, moved.right, moved.bottom});
}

void CDlgLayout::Apply()
{
    if (m_queue.empty() || !m_window)
    {
        m_queue.clear();
        return;
    }
    HDWP batch = BeginDeferWindowPos(static_cast<int>(m_queue.size()));
    for (const SMove& move : m_queue)
        if (CWnd* control = m_window->GetDlgItem(static_cast<UINT>(move.id)))
            batch = DeferWindowPos(batch, control, nullptr, move.left, move.top, move.right - move.left,
                                   move.bottom - move.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    EndDeferWindowPos(batch);
    m_queue.clear();
}
}
