#include "platform/WindowPlacement.h"

#include "platform/Wnd_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace
{
QWidget* WidgetOf(const CWnd* window)
{
    return window && window->GetImpl() ? window->GetImpl()->widget.data() : nullptr;
}

// The frame around a top-level window's client area. On X11 it is known only once the window
// manager has framed the window, and the native window is not made here: one made before its
// first move would take that move as the client area's position, not the frame's. Elsewhere the
// platform knows the frame as soon as the native window exists.
QMargins FrameMargins(QWidget* w)
{
    if (!w->isWindow())
        return QMargins();
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        w->winId();
    if (!w->testAttribute(Qt::WA_WState_Created) || !w->windowHandle())
        return QMargins();
    return w->windowHandle()->frameMargins();
}

// The screen's room for windows, panels excluded.
QRect AvailableScreenRect()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QRect ScreenRect()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
}

void FitRectIntoBounds(RECT& rect, const RECT& bounds)
{
    const int32_t boundsWidth = bounds.right - bounds.left;
    const int32_t boundsHeight = bounds.bottom - bounds.top;
    if (rect.right - rect.left > boundsWidth)
        rect.right = rect.left + boundsWidth;
    if (rect.bottom - rect.top > boundsHeight)
        rect.bottom = rect.top + boundsHeight;
    auto shift = [&](int32_t dx, int32_t dy) {
        rect.left += dx;
        rect.right += dx;
        rect.top += dy;
        rect.bottom += dy;
    };
    if (rect.left < bounds.left)
        shift(bounds.left - rect.left, 0);
    if (rect.top < bounds.top)
        shift(0, bounds.top - rect.top);
    if (rect.right > bounds.right)
        shift(bounds.right - rect.right, 0);
    if (rect.bottom > bounds.bottom)
        shift(0, bounds.bottom - rect.bottom);
}

BOOL IsIconic(const CWnd* window)
{
    QWidget* w = WidgetOf(window);
    return w && w->isMinimized();
}

BOOL IsZoomed(const CWnd* window)
{
    QWidget* w = WidgetOf(window);
    return w && w->isMaximized();
}

BOOL ShowWindowState(CWnd* window, int command)
{
    QWidget* w = WidgetOf(window);
    if (!w)
        return FALSE;
    switch (command)
    {
    case SW_MINIMIZE: w->showMinimized(); break;
    case SW_MAXIMIZE: w->showMaximized(); break;
    case SW_RESTORE: w->showNormal(); break;
    default: return window->ShowWindow(command);
    }
    return TRUE;
}

BOOL GetWindowPlacement(const CWnd* window, WINDOWPLACEMENT* placement)
{
    QWidget* w = WidgetOf(window);
    if (!w || !placement)
        return FALSE;
    QRect normal = (w->isMinimized() || w->isMaximized()) && w->normalGeometry().isValid() ? w->normalGeometry()
                                                                                           : w->geometry();
    // The rectangle is the outer one, frame included, as SetWindowPlacement takes it.
    normal = normal.marginsAdded(FrameMargins(w));
    placement->showCmd = w->isMinimized() ? SW_MINIMIZE : w->isMaximized() ? SW_MAXIMIZE : SW_SHOWNORMAL;
    placement->rcNormalPosition = RECT{normal.left(), normal.top(), normal.left() + normal.width(),
                                       normal.top() + normal.height()};
    return TRUE;
}

BOOL SetWindowPlacement(CWnd* window, const WINDOWPLACEMENT* placement)
{
    QWidget* w = WidgetOf(window);
    if (!w || !placement)
        return FALSE;
    RECT rect = placement->rcNormalPosition;
    // A stored rectangle may come from another screen or be garbage: keep it at least one pixel
    // large and, for a top-level window, on the screen.
    if (rect.right - rect.left < 1)
        rect.right = rect.left + 1;
    if (rect.bottom - rect.top < 1)
        rect.bottom = rect.top + 1;
    if (w->isWindow())
    {
        const QRect screen = ScreenRect();
        FitRectIntoBounds(rect, RECT{screen.left(), screen.top(), screen.left() + screen.width(),
                                     screen.top() + screen.height()});
    }
    if (w->isMaximized() || w->isMinimized())
        w->showNormal();
    SetWindowOuterRect(window, rect);
    if (placement->showCmd == SW_MAXIMIZE)
        w->showMaximized();
    else if (placement->showCmd == SW_MINIMIZE)
        w->showMinimized();
    return TRUE;
}

BOOL BringWindowToTop(CWnd* window)
{
    QWidget* w = WidgetOf(window);
    if (!w)
        return FALSE;
    w->raise();
    return TRUE;
}

BOOL SetForegroundWindow(CWnd* window)
{
    QWidget* w = WidgetOf(window);
    if (!w)
        return FALSE;
    w->raise();
    w->activateWindow();
    return TRUE;
}

int GetSystemMetrics(int index)
{
    switch (index)
    {
    case SM_CXSCREEN: return ScreenRect().width();
    case SM_CYSCREEN: return ScreenRect().height();
    // The height of a minimized child's title bar.
    case SM_CYMINIMIZED: return QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) : 28;
    default: return 0;
    }
}

BOOL SetWindowOuterRect(CWnd* window, const RECT& rect, UINT flags)
{
    QWidget* w = WidgetOf(window);
    if (!w)
        return FALSE;
    const QMargins frame = FrameMargins(w);
    if (!(flags & SWP_NOSIZE))
        w->resize(std::max(rect.right - rect.left - frame.left() - frame.right(), 0),
                  std::max(rect.bottom - rect.top - frame.top() - frame.bottom(), 0));
    if (!(flags & SWP_NOMOVE))
        w->move(rect.left, rect.top);
    if (w->isWindow() && !(flags & SWP_NOMOVE))
        PlatformDetail::RequestFramePosition(*window->GetImpl(), QPoint(rect.left, rect.top),
                                             (flags & SWP_NOSIZE) ? QSize()
                                                                  : QSize(rect.right - rect.left, rect.bottom - rect.top));
    return TRUE;
}

void PlatformDetail::RequestFramePosition(CWnd::Impl& d, QPoint position, QSize outerSize)
{
    QWidget* w = d.widget;
    d.framePending = false;
    // Only X11 window managers frame a window after it is shown.
    if (!w || !w->isWindow() || QGuiApplication::platformName() != QLatin1String("xcb") || !FrameMargins(w).isNull())
        return;
    d.framePending = true;
    d.pendingFramePos = position;
    d.pendingOuterSize = outerSize;
}

void PlatformDetail::ApplyPendingFrame(CWnd::Impl& d)
{
    QWidget* w = d.widget;
    if (!d.framePending || !w || !w->isVisible())
        return;
    const QMargins frame = FrameMargins(w);
    if (frame.isNull())
        return;
    d.framePending = false;
    const QSize outerSize = d.pendingOuterSize.isValid()
                                ? d.pendingOuterSize
                                : w->size().grownBy(frame);
    RECT outer{d.pendingFramePos.x(), d.pendingFramePos.y(), d.pendingFramePos.x() + outerSize.width(),
               d.pendingFramePos.y() + outerSize.height()};
    const QRect screen = AvailableScreenRect();
    FitRectIntoBounds(outer, RECT{screen.left(), screen.top(), screen.left() + screen.width(),
                                  screen.top() + screen.height()});
    // The client area's rectangle: the window manager puts the frame around it.
    w->setGeometry(outer.left + frame.left(), outer.top + frame.top(),
                   std::max(outer.right - outer.left - frame.left() - frame.right(), 1),
                   std::max(outer.bottom - outer.top - frame.top() - frame.bottom(), 1));
}

void ShowWindowCaption(CWnd* window, bool show)
{
    QWidget* w = WidgetOf(window);
    if (!w || !w->isWindow() || w->windowFlags().testFlag(Qt::FramelessWindowHint) == !show)
        return;
    // Qt hides a window whose frame changes; it is shown again in the state it had. The state
    // changes on the way are the platform's, not the user's.
    CWnd::Impl* d = window->GetImpl();
    const bool visible = w->isVisible();
    d->changingFrame = true;
    w->setWindowFlag(Qt::FramelessWindowHint, !show);
    if (visible)
        w->show();
    d->changingFrame = false;
}

void CenterClientArea(CWnd* window, SIZE size)
{
    QWidget* w = WidgetOf(window);
    if (!w)
        return;
    CWnd::Impl* d = window->GetImpl();
    const QSize centred = size.cx > 0 && size.cy > 0 ? QSize(size.cx, size.cy) : QSize();
    if (centred == d->centredClient)
        return;
    d->centredClient = centred;
    d->backBuffer = QImage();
    window->Invalidate(FALSE);
    w->update();
}
