#pragma once
// Not part of the interface: the window family's private state, shared by the platform's window,
// drawing and message code.
#include "platform/Wnd.h"

#include <algorithm>

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

class CMenu;
class CWndWidget;
class QMenu;

struct CWnd::Impl
{
    HWND handle = nullptr;
    UINT id = 0;
    CWnd* parent = nullptr;
    QPointer<CWndWidget> widget;
    QPointer<QObject> notifier;   // a message window's deferred end
    QRegion invalid;              // waiting for paint
    QPointer<QWidget> content;    // a Qt control that fills the window (edit controls)
    bool destroyed = false;
    // The back buffer a CPaintDC draws into during OnPaint; it keeps its content between paints.
    // It covers the client area in device pixels, at the window's device pixel ratio, so the copy
    // to the screen is one to one.
    QImage backBuffer;
    QRegion paintRegion;
    bool painting = false;
    // Height of a bar (a menu bar) that the window shows above its client area; client
    // coordinates start below it.
    int clientTop = 0;
    // Height of the bars (a status bar) below the client area.
    int clientBottom = 0;
    // When not empty, the client area keeps this size, centred in the room between the bars; the
    // rest of that room is painted black (a caption-less maximised frame).
    QSize centredClient;
    // Set while the platform changes the window's frame itself: the state changes that follow
    // are not the user's.
    bool changingFrame = false;
    // Where a top-level window's frame was asked to go before the window manager framed it, and
    // the outer size asked with it (invalid: the client area's size stands): placed again once
    // the frame is known (PlatformDetail::ApplyPendingFrame).
    bool framePending = false;
    QPoint pendingFramePos;
    QSize pendingOuterSize;

    // The client area in widget coordinates.
    QRect ClientRect() const;
    QPoint ClientOrigin() const { return ClientRect().topLeft(); }
};

// The Qt widget behind a CWnd: it turns Qt's events into the CWnd's handlers.
class CWndWidget final : public QWidget
{
public:
    CWndWidget(CWnd* owner, QWidget* parent, Qt::WindowFlags flags);
    ~CWndWidget() override;
    // The owner goes away before the widget: the widget only waits to be deleted.
    void Detach() { m_owner = nullptr; }
    CWnd* Owner() const { return m_owner; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    CWnd* m_owner;
};

inline QRect CWnd::Impl::ClientRect() const
{
    const int width = widget ? widget->width() : 0;
    const int height = widget ? widget->height() : 0;
    const QRect room(0, clientTop, width, std::max(height - clientTop - clientBottom, 0));
    if (centredClient.isEmpty())
        return room;
    const int left = std::max((room.width() - centredClient.width()) / 2, 0);
    const int top = std::max((room.height() - centredClient.height()) / 2, 0);
    return QRect(QPoint(left, room.top() + top), centredClient);
}

// The CWnd whose widget is `widget` or its nearest ancestor, or null.
CWnd* OwnerOfWidget(QWidget* widget);

// The Windows virtual key for a Qt key event, 0 when it has none.
UINT VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

namespace PlatformDetail
{
// Marks a bar that is hidden and waits for deletion at the next turn of the main loop.
constexpr const char* kDisposedProperty = "q9Disposed";
// Makes the window's back buffer cover its client area at the widget's device pixel ratio. A new
// buffer starts black; with `keepContent` what the old one showed is copied in.
void FitBackBuffer(CWnd::Impl& window, const QWidget& widget, bool keepContent);
HWND RegisterWindow(CWnd* window);
void UnregisterWindow(HWND handle);
CWnd* LookupWindow(HWND handle);
void KillAllTimers(HWND handle);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse);
BOOL KillTimer(HWND window, UINT_PTR id);
// Makes sure the object that receives posted messages exists (GUI thread).
void EnsureDispatcher();
// A top-level window's position is its frame's. Until the window manager has framed the window
// the frame's size is unknown: the request is kept and placed again by ApplyPendingFrame, which
// the window's move, resize and paint events call. `outerSize` invalid keeps the client's size.
void RequestFramePosition(CWnd::Impl& window, QPoint position, QSize outerSize = QSize());
// Places the frame where it was asked, kept on the screen with its title bar; nothing when no
// request waits or the frame is not known yet.
void ApplyPendingFrame(CWnd::Impl& window);

// The Qt menu behind a menu, null before CreatePopupMenu.
QMenu* QtMenuOf(const CMenu& menu);
}
