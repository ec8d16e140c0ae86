#include "platform/SliderCtrl.h"

#include "platform/Controls_p.h"
#include "platform/Wnd_p.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

struct CSliderEvents final : public QObject
{
    CSliderEvents(CSliderCtrl* slider, QSlider* control) : m_slider(slider), m_control(control) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            return MousePress(*static_cast<QMouseEvent*>(event));
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        return m_slider->PreTranslateKey(VirtualKeyFromQt(key->key(), key->modifiers())) != FALSE;
    }
    bool MousePress(const QMouseEvent& mouse)
    {
        if (m_control->isSliderDown())
        {
            m_slider->OnTrackbarOtherButton();
            return true;
        }
        if (mouse.button() != Qt::RightButton)
            return false;
        // The slider itself answers the left button only; the moves and the release that follow
        // carry no button it checks.
        QMouseEvent left(QEvent::MouseButtonPress, mouse.position(), mouse.globalPosition(), Qt::LeftButton,
                         (mouse.buttons() & ~Qt::RightButton) | Qt::LeftButton, mouse.modifiers());
        QCoreApplication::sendEvent(m_control, &left);
        return true;
    }
    void Scroll(UINT code) { m_slider->OnTrackbarScroll(code, m_control->sliderPosition()); }
    CSliderCtrl* m_slider;
    QSlider* m_control;
};

namespace
{
QSlider* SliderOf(const CWnd& window) { return qobject_cast<QSlider*>(window.GetImpl()->content.data()); }
}

CSliderCtrl::CSliderCtrl() = default;
CSliderCtrl::~CSliderCtrl() = default;

BOOL CSliderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    m_style = style;
    const bool popup = (style & WS_POPUP) != 0;
    if (!CreateEx(popup ? WS_EX_TOOLWINDOW : 0, "", (style & ~WS_VISIBLE) | (popup ? 0 : WS_CHILD), rect, parent, id))
        return FALSE;
    auto* control = new QSlider(IsVertical() ? Qt::Vertical : Qt::Horizontal);
    control->setTickPosition(QSlider::NoTicks);
    // Windows' vertical trackbar counts from the top.
    control->setInvertedAppearance(IsVertical());
    control->setInvertedControls(IsVertical());
    PlatformDetail::AttachContent(*this, control, nullptr);
    auto* events = new CSliderEvents(this, control);
    events->setParent(control);
    control->installEventFilter(events);
    QObject::connect(control, &QAbstractSlider::actionTriggered, control, [events, control](int action) {
        switch (action)
        {
        case QAbstractSlider::SliderSingleStepSub: events->Scroll(TB_LINEUP); break;
        case QAbstractSlider::SliderSingleStepAdd: events->Scroll(TB_LINEDOWN); break;
        case QAbstractSlider::SliderPageStepSub: events->Scroll(TB_PAGEUP); break;
        case QAbstractSlider::SliderPageStepAdd: events->Scroll(TB_PAGEDOWN); break;
        case QAbstractSlider::SliderToMinimum: events->Scroll(TB_TOP); break;
        case QAbstractSlider::SliderToMaximum: events->Scroll(TB_BOTTOM); break;
        case QAbstractSlider::SliderMove:
            if (control->isSliderDown())
                events->Scroll(TB_THUMBTRACK);
            break;
        default: break;
        }
    });
    QObject::connect(control, &QAbstractSlider::sliderReleased, control, [events] {
        events->Scroll(TB_THUMBPOSITION);
        events->Scroll(TB_ENDTRACK);
    });
    if (style & WS_VISIBLE)
        ShowWindow(popup ? SW_SHOWNA : SW_SHOW);
    return TRUE;
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL)
{
    if (QSlider* control = SliderOf(*this))
        control->setRange(minimum, maximum);
}

void CSliderCtrl::SetPos(int position)
{
    if (QSlider* control = SliderOf(*this))
    {
        const QSignalBlocker quiet(control);
        control->setSliderPosition(position);
        control->setValue(position);
    }
}

int CSliderCtrl::GetPos() const
{
    QSlider* control = SliderOf(*this);
    return control ? control->sliderPosition() : 0;
}

void CSliderCtrl::SetLineSize(int size)
{
    if (QSlider* control = SliderOf(*this))
        control->setSingleStep(size);
}

void CSliderCtrl::SetPageSize(int size)
{
    if (QSlider* control = SliderOf(*this))
        control->setPageStep(size);
}

void CSliderCtrl::GetThumbRect(RECT* rect) const
{
    QSlider* control = SliderOf(*this);
    if (!rect || !control)
        return;
    QStyleOptionSlider option;
    option.initFrom(control);
    option.orientation = control->orientation();
    option.minimum = control->minimum();
    option.maximum = control->maximum();
    option.sliderPosition = control->sliderPosition();
    option.sliderValue = control->value();
    option.upsideDown = control->invertedAppearance() != (control->orientation() == Qt::Vertical);
    const QRect thumb = control->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, control);
    const QRect inWindow = thumb.translated(control->pos());
    *rect = RECT{inWindow.left(), inWindow.top(), inWindow.right() + 1, inWindow.bottom() + 1};
}

void CSliderCtrl::PressThumb()
{
    QSlider* control = SliderOf(*this);
    if (!control)
        return;
    RECT thumb;
    GetThumbRect(&thumb);
    const QPointF local((thumb.left + thumb.right) / 2.0 - control->x(), (thumb.top + thumb.bottom) / 2.0 - control->y());
    QMouseEvent press(QEvent::MouseButtonPress, local, control->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(control, &press);
}

void CSliderCtrl::OnTrackbarScroll(UINT, int) {}
BOOL CSliderCtrl::PreTranslateKey(UINT) { return FALSE; }
void CSliderCtrl::OnTrackbarOtherButton() {}
