#include "platform/DialogUnits.h"

#include "platform/Gdi_p.h"
#include "platform/Wnd_p.h"

#include <QFontMetrics>

#include <cmath>
#include <vector>

namespace
{
SIZE g_fixedUnits{0, 0};

int32_t MulDivRound(int32_t value, int32_t numerator, int32_t denominator)
{
    return static_cast<int32_t>(std::lround(static_cast<double>(value) * numerator / denominator));
}
}

SIZE GetDialogBaseUnits()
{
    if (g_fixedUnits.cx > 0 && g_fixedUnits.cy > 0)
        return g_fixedUnits;
    static SIZE measured{0, 0};
    if (measured.cx == 0)
    {
        LOGFONT log;
        GetDefaultGuiFont()->GetLogFont(&log);
        const QFontMetrics metrics(QFontFromLogFont(log));
        const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        measured.cx = std::max(1, (width / 26 + 1) / 2);
        measured.cy = std::max(1, metrics.height());
    }
    return measured;
}

void SetDialogBaseUnits(SIZE units)
{
    g_fixedUnits = units;
}

void MapDialogRect(const CWnd*, RECT* rect)
{
    if (!rect)
        return;
    const SIZE units = GetDialogBaseUnits();
    rect->left = MulDivRound(rect->left, units.cx, 4);
    rect->right = MulDivRound(rect->right, units.cx, 4);
    rect->top = MulDivRound(rect->top, units.cy, 8);
    rect->bottom = MulDivRound(rect->bottom, units.cy, 8);
}

struct DeferredWindowPositions
{
    struct Move
    {
        CWnd* window;
        const CWnd* insertAfter;
        int x, y, cx, cy;
        UINT flags;
    };
    std::vector<Move> moves;
};

HDWP BeginDeferWindowPos(int count)
{
    auto* batch = new DeferredWindowPositions;
    batch->moves.reserve(static_cast<size_t>(std::clamp(count, 0, 4096)));
    return batch;
}

HDWP DeferWindowPos(HDWP hdwp, CWnd* window, const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!hdwp)
        return nullptr;
    if (!window)
    {
        delete hdwp;
        return nullptr;
    }
    hdwp->moves.push_back({window, insertAfter, x, y, cx, cy, flags});
    return hdwp;
}

BOOL EndDeferWindowPos(HDWP hdwp)
{
    if (!hdwp)
        return FALSE;
    std::vector<QPointer<QWidget>> held;
    for (const auto& move : hdwp->moves)
    {
        CWnd* parent = move.window->GetParent();
        QWidget* widget = parent && parent->GetImpl() ? parent->GetImpl()->widget.data() : nullptr;
        if (widget && widget->updatesEnabled())
        {
            widget->setUpdatesEnabled(false);
            held.push_back(widget);
        }
    }
    for (const auto& move : hdwp->moves)
        move.window->SetWindowPos(move.insertAfter, move.x, move.y, move.cx, move.cy, move.flags);
    for (const auto& widget : held)
        if (widget)
            widget->setUpdatesEnabled(true);
    delete hdwp;
    return TRUE;
}
