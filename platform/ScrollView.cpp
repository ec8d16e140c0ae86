#include "platform/ScrollView.h"

#include "platform/Wnd_p.h"

#include <QScrollBar>

#include <algorithm>

struct CScrollView::Bars
{
    QPointer<QScrollBar> horizontal;
    QPointer<QScrollBar> vertical;
};

CScrollView::CScrollView() : m_bars(std::make_unique<Bars>()) {}

CScrollView::~CScrollView()
{
    delete m_bars->horizontal.data();
    delete m_bars->vertical.data();
}

void CScrollView::SetScrollSizes(SIZE total)
{
    m_total = CSize(std::max(total.cx, 0), std::max(total.cy, 0));
    ScrollToPosition(m_position);
    UpdateScrollBars();
}

void CScrollView::ScrollToPosition(POINT position)
{
    CRect client;
    GetClientRect(&client);
    const CPoint limit(std::max(0, m_total.cx - client.Width()), std::max(0, m_total.cy - client.Height()));
    const CPoint target(std::clamp(position.x, 0, limit.x), std::clamp(position.y, 0, limit.y));
    const int dx = m_position.x - target.x;
    const int dy = m_position.y - target.y;
    m_position = target;
    QWidget* widget = GetImpl() ? GetImpl()->widget.data() : nullptr;
    if (widget && (dx || dy))
        for (QObject* child : widget->children())
        {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && w != m_bars->horizontal && w != m_bars->vertical && !w->isWindow())
                w->move(w->pos() + QPoint(dx, dy));
        }
    if (m_bars->horizontal)
        m_bars->horizontal->setValue(m_position.x);
    if (m_bars->vertical)
        m_bars->vertical->setValue(m_position.y);
}

void CScrollView::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    ScrollToPosition(m_position);
    UpdateScrollBars();
}

void CScrollView::UpdateScrollBars()
{
    QWidget* widget = GetImpl() ? GetImpl()->widget.data() : nullptr;
    if (!widget)
        return;
    CRect client;
    GetClientRect(&client);
    auto place = [&](QPointer<QScrollBar>& bar, Qt::Orientation orientation, int total, int page, int position) {
        if (total <= page)
        {
            delete bar.data();
            return;
        }
        if (!bar)
        {
            bar = new QScrollBar(orientation, widget);
            QObject::connect(bar.data(), &QScrollBar::valueChanged, widget, [this, orientation](int value) {
                CPoint p = m_position;
                (orientation == Qt::Horizontal ? p.x : p.y) = value;
                if (p != m_position)
                    ScrollToPosition(p);
            });
        }
        bar->setRange(0, total - page);
        bar->setPageStep(page);
        bar->setValue(position);
        const int thickness = bar->sizeHint().width();
        if (orientation == Qt::Horizontal)
            bar->setGeometry(0, client.Height() - bar->sizeHint().height(), client.Width(), bar->sizeHint().height());
        else
            bar->setGeometry(client.Width() - thickness, 0, thickness, client.Height());
        bar->show();
        bar->raise();
    };
    place(m_bars->horizontal, Qt::Horizontal, m_total.cx, client.Width(), m_position.x);
    place(m_bars->vertical, Qt::Vertical, m_total.cy, client.Height(), m_position.y);
}
