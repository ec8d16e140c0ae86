#include "platform/MdiFrame.h"

#include "platform/Wnd_p.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace
{
constexpr int kCascadeStep = 24;
// Some of a child's title bar always stays inside the client, so the user can reach it.
constexpr int kReachable = 40;
constexpr int32_t kLargestSide = 16384;

CMDIChildWnd* ChildOf(QMdiSubWindow* sub)
{
    if (!sub || !sub->widget())
        return nullptr;
    auto* widget = dynamic_cast<CWndWidget*>(sub->widget());
    return widget ? dynamic_cast<CMDIChildWnd*>(widget->Owner()) : nullptr;
}

// The Close entry of a child's system menu: Qt gives it the close key.
QAction* CloseAction(QMdiSubWindow* sub)
{
    QMenu* menu = sub ? sub->systemMenu() : nullptr;
    if (!menu)
        return nullptr;
    const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    if (closeKeys.isEmpty())
        return nullptr;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->shortcuts() == closeKeys)
            return action;
    return nullptr;
}

// The title bar of a child whose Close is greyed: Qt draws and hits the close button by the style
// alone, so the style draws it greyed and lets no press reach it.
class CClosedTitleBarStyle final : public QProxyStyle
{
public:
    CClosedTitleBarStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
        if (control != CC_TitleBar || !bar || !(bar->subControls & SC_TitleBarCloseButton))
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        QStyleOptionTitleBar rest(*bar);
        rest.subControls &= ~SC_TitleBarCloseButton;
        rest.activeSubControls &= ~SC_TitleBarCloseButton;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
        const QRect button = subControlRect(control, bar, SC_TitleBarCloseButton, widget);
        if (button.isValid())
            standardIcon(SP_TitleBarCloseButton, bar, widget).paint(painter, button, Qt::AlignCenter, QIcon::Disabled);
    }

    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option, const QPoint& point,
                                     const QWidget* widget) const override
    {
        const SubControl hit = QProxyStyle::hitTestComplexControl(control, option, point, widget);
        return control == CC_TitleBar && hit == SC_TitleBarCloseButton ? SC_None : hit;
    }
};
}

// Qt activates no child while the frame's window is inactive, as it is under a modal dialog (the
// window list's Open): the child asked for then becomes the active one once the window is again.
class CPendingActivation final : public QObject
{
public:
    CPendingActivation(QWidget* window, QMdiArea* area) : QObject(area), m_window(window), m_area(area)
    {
        window->installEventFilter(this);
    }
    void Set(QMdiSubWindow* sub) { m_sub = sub; }
    QMdiSubWindow* Get() const { return m_sub; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowActivate && m_sub)
        {
            // After the area has put its own current child back.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_sub && m_area)
                        m_area->setActiveSubWindow(m_sub);
                    m_sub = nullptr;
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QPointer<QMdiArea> m_area;
    QPointer<QMdiSubWindow> m_sub;
};

struct CMDIFrameWnd::FrameImpl
{
    QPointer<QMdiArea> area;
    CPendingActivation* pending = nullptr;   // owned by the area
    int created = 0;   // children made so far, for the default cascade
    int topInset = 0;
    int bottomInset = 0;
};

// Remembers where a child returns when it is restored: Qt keeps no normal rectangle for children.
class CNormalRectTracker final : public QObject
{
public:
    explicit CNormalRectTracker(QMdiSubWindow* sub) : QObject(sub), m_sub(sub) { m_normal = sub->geometry(); }
    QRect Normal() const { return m_normal; }
    void Set(const QRect& rect) { m_normal = rect; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_sub && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            !m_sub->isMinimized() && !m_sub->isMaximized())
            m_normal = m_sub->geometry();
        return false;
    }

private:
    QMdiSubWindow* m_sub;
    QRect m_normal;
};

struct CMDIChildWnd::ChildImpl
{
    QPointer<QMdiSubWindow> sub;
    CNormalRectTracker* tracker = nullptr;
    bool onTop = false;
    QPointer<QStyle> closedStyle;   // set while Close is greyed
};

// A child's frame as Windows reports it: a right press on the title bar or border reaches
// OnNcRButtonDown (and then goes on to Qt, which ignores it), and the context menu Qt asks for
// over the title bar reaches OnContextMenu instead of Qt's own system menu.
class CChildFrameEvents final : public QObject
{
public:
    CChildFrameEvents(QMdiSubWindow* sub, CMDIChildWnd* child) : QObject(sub), m_sub(sub), m_child(child)
    {
        sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_sub || !m_child->GetSafeHwnd())
            return false;
        if (event->type() == QEvent::MouseButtonPress)
        {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint pos = mouse->position().toPoint();
            if (mouse->button() == Qt::RightButton && OnFrame(pos))
            {
                const QPoint global = mouse->globalPosition().toPoint();
                m_child->OnNcRButtonDown(HitTest(pos), CPoint(global.x(), global.y()));
            }
            return false;
        }
        if (event->type() == QEvent::ContextMenu)
        {
            auto* request = static_cast<QContextMenuEvent*>(event);
            if (!OnFrame(request->pos()) || HitTest(request->pos()) != HTCAPTION)
                return false;
            m_child->OnContextMenu(m_child, CPoint(request->globalPos().x(), request->globalPos().y()));
            return true;
        }
        return false;
    }

private:
    // Presses the child's own window ignores come up to the frame too; only the frame's count.
    bool OnFrame(QPoint pos) const
    {
        const QWidget* content = m_sub->widget();
        return m_sub->rect().contains(pos) && !(content && content->geometry().contains(pos));
    }
    UINT HitTest(QPoint pos) const
    {
        const QWidget* content = m_sub->widget();
        return pos.y() < (content ? content->geometry().top() : m_sub->contentsRect().top()) ? HTCAPTION : HTBORDER;
    }

    QMdiSubWindow* m_sub;
    CMDIChildWnd* m_child;
};

// ---- frame ----

CMDIFrameWnd::CMDIFrameWnd() : m_frame(std::make_unique<FrameImpl>()) {}

CMDIFrameWnd::~CMDIFrameWnd()
{
    DestroyWindow();
}

BOOL CMDIFrameWnd::Create(const char* title, const RECT& rect)
{
    if (!CreateEx(0, title, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, rect, nullptr))
        return FALSE;
    QWidget* widget = GetImpl()->widget.data();
    auto* area = new QMdiArea(widget);
    area->setGeometry(widget->rect());
    area->show();
    GetImpl()->content = area;
    m_frame->area = area;
    m_frame->pending = new CPendingActivation(widget, area);
    // Children kept on top go back above the others whenever another child comes forward.
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [area](QMdiSubWindow*) {
        const auto list = area->subWindowList(QMdiArea::StackingOrder);
        for (QMdiSubWindow* sub : list)
            if (CMDIChildWnd* child = ChildOf(sub))
                if (child->IsStayOnTop())
                    sub->raise();
    });
    if (OnCreate() == -1)
    {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CMDIFrameWnd::DestroyWindow()
{
    if (!GetSafeHwnd())
        return FALSE;
    for (CMDIChildWnd* child : GetMDIChildren())
        child->DestroyWindow();
    return CWnd::DestroyWindow();
}

int CMDIFrameWnd::OnCreate()
{
    return 0;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const
{
    CMDIChildWnd* child = m_frame->area ? ChildOf(m_frame->area->currentSubWindow()) : nullptr;
    if (child && !child->GetSafeHwnd())
        child = nullptr;
    if (maximized)
        *maximized = child && child->IsZoomed();
    return child;
}

void CMDIFrameWnd::MDIActivate(CMDIChildWnd* child)
{
    if (child)
        child->ActivateFrame();
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetMDIChildren() const
{
    std::vector<CMDIChildWnd*> children;
    if (!m_frame->area)
        return children;
    const auto list = m_frame->area->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (CMDIChildWnd* child = ChildOf(*it))
            if (child->GetSafeHwnd())
                children.push_back(child);
    return children;
}

void CMDIFrameWnd::GetMDIClientRect(RECT* rect) const
{
    if (!rect)
        return;
    const QRect r = m_frame->area ? m_frame->area->viewport()->rect() : QRect();
    *rect = RECT{0, 0, r.width(), r.height()};
}

void CMDIFrameWnd::MDITile(UINT how)
{
    std::vector<CMDIChildWnd*> normal;
    for (CMDIChildWnd* child : GetMDIChildren())
    {
        if (child->IsZoomed())
            child->MDIRestore();
        if (!child->IsIconic())
            normal.push_back(child);
    }
    if (normal.empty())
        return;
    std::reverse(normal.begin(), normal.end());   // the top child takes the first place
    CRect client;
    GetMDIClientRect(&client);
    const int count = static_cast<int>(normal.size());
    for (int i = 0; i < count; ++i)
    {
        CRect place;
        if (how == ID_WINDOW_TILE_VERT)
            place.SetRect(client.Width() * i / count, 0, client.Width() * (i + 1) / count, client.Height());
        else
            place.SetRect(0, client.Height() * i / count, client.Width(), client.Height() * (i + 1) / count);
        normal[static_cast<size_t>(i)]->MoveFrame(place);
    }
}

void CMDIFrameWnd::MDICascade()
{
    if (m_frame->area)
        m_frame->area->cascadeSubWindows();
}

void CMDIFrameWnd::MDIIconArrange()
{
    CRect client;
    GetMDIClientRect(&client);
    int x = 0;
    for (CMDIChildWnd* child : GetMDIChildren())
    {
        QMdiSubWindow* sub = child->GetChildImpl()->sub;
        if (!sub || !sub->isMinimized())
            continue;
        const QSize size = sub->size();
        sub->move(x, client.Height() - size.height());
        x += size.width();
    }
}

void CMDIFrameWnd::RecalcLayout()
{
    QWidget* widget = GetImpl() ? GetImpl()->widget.data() : nullptr;
    if (widget && m_frame->area)
        m_frame->area->setGeometry(widget->rect().adjusted(0, m_frame->topInset, 0, -m_frame->bottomInset));
}

void CMDIFrameWnd::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    if (m_frame->topInset || m_frame->bottomInset)
        RecalcLayout();
}

void CMDIFrameWnd::SetClientInsets(int top, int bottom)
{
    m_frame->topInset = std::max(top, 0);
    m_frame->bottomInset = std::max(bottom, 0);
    RecalcLayout();
}

BOOL CMDIFrameWnd::OnCommand(UINT id)
{
    switch (id)
    {
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT: MDITile(id); return TRUE;
    case ID_WINDOW_CASCADE: MDICascade(); return TRUE;
    case ID_WINDOW_ARRANGE: MDIIconArrange(); return TRUE;
    default: return FALSE;
    }
}

void CMDIFrameWnd::OnUpdateCommandUI(CCmdUI*) {}

void CMDIFrameWnd::UpdateCommandUI(CCmdUI* ui)
{
    if (!ui)
        return;
    if (CMDIChildWnd* child = MDIGetActive())
    {
        child->OnUpdateCommandUI(ui);
        if (ui->m_handled)
            return;
    }
    OnUpdateCommandUI(ui);
}

LRESULT CMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
    {
        const UINT id = static_cast<UINT>(wParam & 0xFFFF);
        if (CMDIChildWnd* child = MDIGetActive())
            if (child->OnCommand(id))
                return 0;
        OnCommand(id);
        return 0;
    }
    case WM_MDIICONARRANGE: MDIIconArrange(); return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- child ----

const RECT CMDIChildWnd::rectDefault{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

CMDIChildWnd::CMDIChildWnd() : m_child(std::make_unique<ChildImpl>()) {}

CMDIChildWnd::~CMDIChildWnd()
{
    DestroyWindow();
    delete m_child->sub.data();
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CMDIChildWnd::Create(const char* title, CMDIFrameWnd* frame, const RECT& rect)
{
    if (!frame || !frame->GetFrameImpl()->area || GetSafeHwnd())
        return FALSE;
    CREATESTRUCT cs;
    cs.name = title ? title : "";
    if (CRect(rect) == rectDefault)
        cs = CREATESTRUCT{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, cs.name};
    else
    {
        const auto extent = [](int32_t lo, int32_t hi) {
            return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(hi) - lo, 0, kLargestSide));
        };
        cs = CREATESTRUCT{rect.left, rect.top, extent(rect.left, rect.right), extent(rect.top, rect.bottom), cs.name};
    }
    if (!PreCreateWindow(cs))
        return FALSE;

    QMdiArea* area = frame->GetFrameImpl()->area;
    if (!CreateEx(0, cs.name.c_str(), WS_CHILD, CRect(0, 0, 1, 1), frame))
        return FALSE;
    m_frameWnd = frame;
    QWidget* widget = GetImpl()->widget.data();
    QMdiSubWindow* sub = area->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowTitle(widget->windowTitle());
    m_child->sub = sub;

    // The place: what the record says, the system's choice for CW_USEDEFAULT or a zero size, and
    // never out of the user's reach.
    const QRect client = area->viewport()->rect();
    const int index = frame->GetFrameImpl()->created++;
    int32_t cx = cs.cx, cy = cs.cy;
    if (cx <= 0 || cx == CW_USEDEFAULT || cy <= 0 || cy == CW_USEDEFAULT)
    {
        cx = std::max(client.width() * 3 / 4, 100);
        cy = std::max(client.height() * 3 / 4, 60);
    }
    cx = std::clamp<int32_t>(cx, 1, kLargestSide);
    cy = std::clamp<int32_t>(cy, 1, kLargestSide);
    int32_t x = cs.x, y = cs.y;
    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT)
    {
        const int steps = std::max(1, std::min(client.width(), client.height()) / 2 / kCascadeStep);
        x = y = (index % steps) * kCascadeStep;
    }
    x = std::clamp<int32_t>(x, kReachable - cx, std::max(0, client.width() - kReachable));
    y = std::clamp<int32_t>(y, 0, std::max(0, client.height() - kReachable / 2));
    sub->setGeometry(x, y, cx, cy);
    m_child->tracker = new CNormalRectTracker(sub);
    sub->installEventFilter(m_child->tracker);
    new CChildFrameEvents(sub, this);
    widget->show();
    sub->show();
    area->setActiveSubWindow(sub);
    return TRUE;
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!GetSafeHwnd())
        return FALSE;
    QPointer<QMdiSubWindow> sub = m_child->sub;
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    // The active child closed while the frame's window is inactive (from the window list, a
    // modal dialog): Qt activates no other child then, so the one before it comes forward when
    // the window is active again, as it does when the frame's own menu closes the child.
    // A child still waiting to come forward is not brought back once it is closed.
    CPendingActivation* pending = m_frameWnd && area ? m_frameWnd->GetFrameImpl()->pending : nullptr;
    if (pending && pending->Get() == sub)
        pending->Set(nullptr);
    if (pending && area->currentSubWindow() == sub && !area->window()->isActiveWindow())
    {
        const auto history = area->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = history.rbegin(); it != history.rend(); ++it)
            if (*it != sub && (*it)->isVisible() && ChildOf(*it) && ChildOf(*it)->GetSafeHwnd())
            {
                pending->Set(*it);
                break;
            }
    }
    if (sub)
        sub->hide();
    const BOOL result = CWnd::DestroyWindow();
    // The frame around the child goes at the next turn of the loop, with the child's native window.
    if (sub)
        sub->deleteLater();
    return result;
}

void CMDIChildWnd::ActivateFrame(int command)
{
    QMdiSubWindow* sub = m_child->sub;
    if (!sub || !m_frameWnd)
        return;
    if (command == SW_SHOWNORMAL || command == 9 /* SW_RESTORE */)
        sub->showNormal();
    CMDIFrameWnd::FrameImpl* frame = m_frameWnd->GetFrameImpl();
    frame->area->setActiveSubWindow(sub);
    frame->pending->Set(frame->area->currentSubWindow() == sub ? nullptr : sub);
    BringToTop();
}

void CMDIChildWnd::MDIRestore()
{
    if (m_child->sub)
        m_child->sub->showNormal();
}

void CMDIChildWnd::MDIMaximize()
{
    if (m_child->sub)
        m_child->sub->showMaximized();
}

void CMDIChildWnd::MDIMinimize()
{
    if (m_child->sub)
        m_child->sub->showMinimized();
}

BOOL CMDIChildWnd::IsIconic() const
{
    return m_child->sub && m_child->sub->isMinimized();
}

BOOL CMDIChildWnd::IsZoomed() const
{
    return m_child->sub && m_child->sub->isMaximized();
}

void CMDIChildWnd::GetFrameRect(RECT* rect) const
{
    if (!rect)
        return;
    const QRect r = m_child->sub ? m_child->sub->geometry() : QRect();
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CMDIChildWnd::GetNormalRect(RECT* rect) const
{
    if (!rect)
        return;
    if (!IsIconic() && !IsZoomed())
    {
        GetFrameRect(rect);
        return;
    }
    const QRect r = m_child->tracker ? m_child->tracker->Normal() : QRect();
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CMDIChildWnd::MoveFrame(const RECT& rect, BOOL repaint)
{
    QMdiSubWindow* sub = m_child->sub;
    if (!sub)
        return;
    sub->setGeometry(rect.left, rect.top, std::max(rect.right - rect.left, 0), std::max(rect.bottom - rect.top, 0));
    if (repaint)
        sub->update();
}

void CMDIChildWnd::BringToTop()
{
    if (m_child->sub)
        m_child->sub->raise();
    if (m_frameWnd && !m_child->onTop)
        for (CMDIChildWnd* child : m_frameWnd->GetMDIChildren())
            if (child->IsStayOnTop() && child->m_child->sub)
                child->m_child->sub->raise();
}

void CMDIChildWnd::SetStayOnTop(bool onTop)
{
    m_child->onTop = onTop;
    BringToTop();
}

bool CMDIChildWnd::IsStayOnTop() const
{
    return m_child->onTop;
}

void CMDIChildWnd::EnableSystemClose(BOOL enable)
{
    QMdiSubWindow* sub = m_child->sub;
    if (!sub)
        return;
    if (QAction* close = CloseAction(sub))
        close->setEnabled(enable != FALSE);
    if (enable && m_child->closedStyle)
    {
        sub->setStyle(nullptr);
        delete m_child->closedStyle.data();
    }
    else if (!enable && !m_child->closedStyle)
    {
        auto* style = new CClosedTitleBarStyle;
        style->setParent(sub);
        m_child->closedStyle = style;
        sub->setStyle(style);
    }
    sub->update();
}

BOOL CMDIChildWnd::IsSystemCloseEnabled() const
{
    return !m_child->closedStyle;
}

void CMDIChildWnd::SetTitle(const char* title)
{
    SetWindowText(title);
    if (m_child->sub && GetImpl()->widget)
        m_child->sub->setWindowTitle(GetImpl()->widget->windowTitle());
}

BOOL CMDIChildWnd::OnCommand(UINT)
{
    return FALSE;
}

void CMDIChildWnd::OnUpdateCommandUI(CCmdUI*) {}

void CMDIChildWnd::OnNcRButtonDown(UINT, CPoint) {}

void CMDIChildWnd::OnContextMenu(CWnd*, CPoint point)
{
    if (QMenu* menu = m_child->sub ? m_child->sub->systemMenu() : nullptr)
        menu->exec(QPoint(point.x, point.y));
}

LRESULT CMDIChildWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return OnCommand(static_cast<UINT>(wParam & 0xFFFF)) ? 0 : 1;
    return CWnd::WindowProc(message, wParam, lParam);
}

void CMDIChildWnd::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    if (CWnd* view = GetDlgItem(0xE900))
        view->MoveWindow(CRect(0, 0, cx, cy));
}
