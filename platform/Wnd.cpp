#include "platform/Wnd.h"

#include "platform/Gdi_p.h"
#include "platform/TextCodec_p.h"
#include "platform/WinApp.h"
#include "platform/Wnd_p.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFile>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>

// Gives the platform's event code access to the protected handlers.
struct CWndDispatch
{
    static void LButtonDown(CWnd* w, UINT f, CPoint p) { w->OnLButtonDown(f, p); }
    static void LButtonUp(CWnd* w, UINT f, CPoint p) { w->OnLButtonUp(f, p); }
    static void LButtonDblClk(CWnd* w, UINT f, CPoint p) { w->OnLButtonDblClk(f, p); }
    static void RButtonDown(CWnd* w, UINT f, CPoint p) { w->OnRButtonDown(f, p); }
    static void RButtonUp(CWnd* w, UINT f, CPoint p) { w->OnRButtonUp(f, p); }
    static void RButtonDblClk(CWnd* w, UINT f, CPoint p) { w->OnRButtonDblClk(f, p); }
    static void MouseMove(CWnd* w, UINT f, CPoint p) { w->OnMouseMove(f, p); }
    static BOOL MouseWheel(CWnd* w, UINT f, short delta, CPoint p) { return w->OnMouseWheel(f, delta, p); }
    static void KeyDown(CWnd* w, UINT vk, UINT f) { w->OnKeyDown(vk, 1, f); }
    static void KeyUp(CWnd* w, UINT vk, UINT f) { w->OnKeyUp(vk, 1, f); }
    static void Paint(CWnd* w) { w->OnPaint(); }
    static void Activate(CWnd* w, UINT state, BOOL minimized) { w->OnActivate(state, nullptr, minimized); }
    static void Enable(CWnd* w, BOOL enable) { w->OnEnable(enable); }
    static void Move(CWnd* w, int x, int y) { w->OnMove(x, y); }
    static void Size(CWnd* w, int cx, int cy) { w->OnSize(0, cx, cy); }
    static void SetFocus(CWnd* w) { w->OnSetFocus(nullptr); }
    static void KillFocus(CWnd* w) { w->OnKillFocus(nullptr); }
    static void Close(CWnd* w) { w->OnClose(); }
    static void DropFiles(CWnd* w, const std::vector<std::string>& paths) { w->OnDropFiles(paths); }
    static void NcDestroy(CWnd* w) { w->PostNcDestroy(); }
    static LRESULT Proc(CWnd* w, UINT m, WPARAM wp, LPARAM lp) { return w->WindowProc(m, wp, lp); }
};

namespace
{
HWND g_capture = nullptr;
std::vector<CWnd*> g_topLevels;   // creation order; GUI thread only

QString FromBytes(const char* text) { return PlatformDetail::TextFromBytes(text); }

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

// Message for a mouse event: 0 when Windows would send none (the middle button has no handler here).
UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    const bool right = button == Qt::RightButton;
    if (button != Qt::LeftButton && !right)
        return 0;
    switch (type)
    {
    case QEvent::MouseButtonPress: return right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    case QEvent::MouseButtonRelease: return right ? WM_RBUTTONUP : WM_LBUTTONUP;
    case QEvent::MouseButtonDblClick: return right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
    default: return 0;
    }
}

// The window a mouse event goes to, and the point in its client coordinates: the capture window
// takes every mouse message while it is set.
CWnd* MouseTarget(CWnd* owner, QMouseEvent* event, CPoint* point)
{
    CWnd* target = owner;
    const QPoint local = event->position().toPoint();
    const QPoint origin = owner->GetImpl()->ClientOrigin();
    *point = CPoint(local.x() - origin.x(), local.y() - origin.y());
    if (CWnd* capture = PlatformDetail::LookupWindow(g_capture))
    {
        if (capture != owner && capture->GetImpl()->widget)
        {
            const QPoint mapped = capture->GetImpl()->widget->mapFromGlobal(event->globalPosition().toPoint());
            const QPoint captureOrigin = capture->GetImpl()->ClientOrigin();
            *point = CPoint(mapped.x() - captureOrigin.x(), mapped.y() - captureOrigin.y());
            target = capture;
        }
    }
    return target;
}

void DispatchMouse(CWnd* owner, QMouseEvent* event, QEvent::Type type)
{
    if (!owner)
        return;
    CPoint point;
    CWnd* target = MouseTarget(owner, event, &point);
    const UINT flags = MouseFlags(event->buttons(), event->modifiers());
    if (type == QEvent::MouseMove)
    {
        CWndDispatch::MouseMove(target, flags, point);
        return;
    }
    switch (MouseMessage(type, event->button()))
    {
    case WM_LBUTTONDOWN: CWndDispatch::LButtonDown(target, flags, point); break;
    case WM_LBUTTONUP: CWndDispatch::LButtonUp(target, flags, point); break;
    case WM_LBUTTONDBLCLK: CWndDispatch::LButtonDblClk(target, flags, point); break;
    case WM_RBUTTONDOWN: CWndDispatch::RButtonDown(target, flags, point); break;
    case WM_RBUTTONUP: CWndDispatch::RButtonUp(target, flags, point); break;
    case WM_RBUTTONDBLCLK: CWndDispatch::RButtonDblClk(target, flags, point); break;
    default: break;
    }
}

CWnd* OwnerOf(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* w = dynamic_cast<CWndWidget*>(widget))
            return w->Owner();
    return nullptr;
}
}

UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier)
    {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0);
        switch (key)
        {
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<UINT>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key)
    {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
    }
}

// ---- the private widget ----

CWndWidget::CWndWidget(CWnd* owner, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_owner(owner)
{
    // Windows sends moves without a button held; hover looks and cursor updates rely on them.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

CWndWidget::~CWndWidget()
{
    if (CWnd* owner = m_owner)
    {
        m_owner = nullptr;
        owner->GetImpl()->widget = nullptr;
        // May delete the owner.
        CWndDispatch::NcDestroy(owner);
    }
}

void CWndWidget::mousePressEvent(QMouseEvent* e) { DispatchMouse(m_owner, e, QEvent::MouseButtonPress); }
void CWndWidget::mouseReleaseEvent(QMouseEvent* e) { DispatchMouse(m_owner, e, QEvent::MouseButtonRelease); }
void CWndWidget::mouseDoubleClickEvent(QMouseEvent* e) { DispatchMouse(m_owner, e, QEvent::MouseButtonDblClick); }
void CWndWidget::mouseMoveEvent(QMouseEvent* e) { DispatchMouse(m_owner, e, QEvent::MouseMove); }

void CWndWidget::wheelEvent(QWheelEvent* e)
{
    if (!m_owner)
        return;
    const int delta = std::clamp(e->angleDelta().y(), -32768, 32767);
    if (delta == 0)
        return;
    const QPoint global = e->globalPosition().toPoint();
    CWndDispatch::MouseWheel(m_owner, MouseFlags(e->buttons(), e->modifiers()), static_cast<short>(delta),
                             CPoint(global.x(), global.y()));
}

void CWndWidget::keyPressEvent(QKeyEvent* e)
{
    const UINT vk = VirtualKeyFromQt(e->key(), e->modifiers());
    if (!m_owner || vk == 0)
        return QWidget::keyPressEvent(e);
    CWndDispatch::KeyDown(m_owner, vk, e->isAutoRepeat() ? KF_REPEAT : 0);
}

void CWndWidget::keyReleaseEvent(QKeyEvent* e)
{
    // Auto-repeat arrives as release+press pairs; Windows sends no release until the key is let go.
    if (e->isAutoRepeat())
        return;
    const UINT vk = VirtualKeyFromQt(e->key(), e->modifiers());
    if (!m_owner || vk == 0)
        return QWidget::keyReleaseEvent(e);
    CWndDispatch::KeyUp(m_owner, vk, 0);
}

void CWndWidget::paintEvent(QPaintEvent* e)
{
    if (!m_owner)
        return;
    // The first paint comes once the window is mapped, framed or not: a frame that moved nothing
    // (the client area stayed where it was asked) is known from here on.
    PlatformDetail::ApplyPendingFrame(*m_owner->GetImpl());
    CWnd::Impl* d = m_owner->GetImpl();
    PlatformDetail::FitBackBuffer(*d, *this, true);
    const QRect client = d->ClientRect();
    const QRegion clientRegion = e->region().translated(-client.topLeft());
    d->invalid -= clientRegion;
    d->paintRegion = clientRegion;
    d->painting = true;
    QPointer<CWndWidget> self(this);
    CWndDispatch::Paint(m_owner);
    if (!self || !m_owner)
        return;
    d->painting = false;
    // The buffer has the widget's ratio, so this copies device pixels one to one.
    QPainter painter(this);
    painter.setClipRegion(e->region());
    // Around a centred client area the window is black.
    if (!d->centredClient.isEmpty())
        for (const QRect& around : e->region() - QRegion(client))
            painter.fillRect(around, Qt::black);
    // The back buffer's pixels replace what the widget showed, as a blit to a window replaces
    // them: seen as opaque pixels, they are copied row by row instead of blended over the old.
    const QImage& buffer = d->backBuffer;
    QImage opaque(buffer.constBits(), buffer.width(), buffer.height(), buffer.bytesPerLine(), QImage::Format_RGB32);
    opaque.setDevicePixelRatio(buffer.devicePixelRatio());
    painter.drawImage(client.topLeft(), opaque);
}

void CWndWidget::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (!m_owner)
        return;
    if (e->type() == QEvent::ActivationChange && isWindow())
        CWndDispatch::Activate(m_owner, isActiveWindow() ? WA_ACTIVE : WA_INACTIVE, isMinimized());
    else if (e->type() == QEvent::EnabledChange)
        CWndDispatch::Enable(m_owner, isEnabled());
    else if (e->type() == QEvent::WindowStateChange && isWindow() && !m_owner->GetImpl()->changingFrame)
    {
        // The window manager maximised or restored the window: the window hears it as the
        // window menu's command.
        const bool wasMaximized = static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMaximized;
        if (!wasMaximized && isMaximized())
            CWndDispatch::Proc(m_owner, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        else if (wasMaximized && !isMaximized() && !isMinimized())
            CWndDispatch::Proc(m_owner, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

void CWndWidget::moveEvent(QMoveEvent*)
{
    // The window manager moves the client area when it frames the window: the frame is known now.
    if (m_owner)
        PlatformDetail::ApplyPendingFrame(*m_owner->GetImpl());
    if (m_owner)
        CWndDispatch::Move(m_owner, x(), y());
}

void CWndWidget::resizeEvent(QResizeEvent*)
{
    if (m_owner)
        PlatformDetail::ApplyPendingFrame(*m_owner->GetImpl());
    if (m_owner && m_owner->GetImpl()->content)
        m_owner->GetImpl()->content->setGeometry(rect());
    if (m_owner)
        CWndDispatch::Size(m_owner, width(), height());
}

void CWndWidget::focusInEvent(QFocusEvent*)
{
    if (m_owner)
        CWndDispatch::SetFocus(m_owner);
}

void CWndWidget::focusOutEvent(QFocusEvent*)
{
    if (m_owner)
        CWndDispatch::KillFocus(m_owner);
}

void CWndWidget::closeEvent(QCloseEvent* e)
{
    // The window decides: OnClose destroys it by default, an override may keep it.
    e->ignore();
    if (m_owner)
        CWndDispatch::Close(m_owner);
}

namespace
{
// The local files of a drag, in the order given; empty when it carries none.
std::vector<std::string> DroppedFiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return paths;
}
}

void CWndWidget::dragEnterEvent(QDragEnterEvent* e)
{
    if (m_owner && !DroppedFiles(e->mimeData()).empty())
        e->acceptProposedAction();
}

void CWndWidget::dragMoveEvent(QDragMoveEvent* e)
{
    if (m_owner && !DroppedFiles(e->mimeData()).empty())
        e->acceptProposedAction();
}

void CWndWidget::dropEvent(QDropEvent* e)
{
    const std::vector<std::string> paths = DroppedFiles(e->mimeData());
    if (!m_owner || paths.empty())
        return;
    e->acceptProposedAction();
    CWndDispatch::DropFiles(m_owner, paths);
}

bool CWndWidget::event(QEvent* e)
{
    // Keys a window handles are not taken by menu shortcuts first.
    if (e->type() == QEvent::ShortcutOverride && m_owner)
    {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier)
        {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

// ---- CWnd ----

namespace
{
// A message window has no widget; this object stands for it until the next turn of the main loop.
class CNcDestroyNotifier final : public QObject
{
public:
    explicit CNcDestroyNotifier(CWnd* owner) : m_owner(owner) {}
    ~CNcDestroyNotifier() override
    {
        if (m_owner)
            CWndDispatch::NcDestroy(m_owner);
    }
    void Detach() { m_owner = nullptr; }

private:
    CWnd* m_owner;
};
}

CWnd::CWnd() : d(std::make_unique<Impl>()) {}

CWnd::~CWnd()
{
    if (d->handle)
    {
        PlatformDetail::KillAllTimers(d->handle);
        PlatformDetail::UnregisterWindow(d->handle);
        if (g_capture == d->handle)
            ReleaseCapture();
        g_topLevels.erase(std::remove(g_topLevels.begin(), g_topLevels.end(), this), g_topLevels.end());
    }
    if (d->notifier)
        static_cast<CNcDestroyNotifier*>(d->notifier.data())->Detach();
    if (CWndWidget* widget = d->widget)
    {
        widget->Detach();
        widget->hide();
        if (QCoreApplication::instance())
            widget->deleteLater();
        else
            delete widget;
    }
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (d->handle || !QCoreApplication::instance())
        return FALSE;
    PlatformDetail::EnsureDispatcher();
    QWidget* parentWidget = parent ? parent->d->widget.data() : nullptr;
    Qt::WindowFlags flags;
    if (style & WS_CHILD)
    {
        if (!parentWidget)
            return FALSE;
    }
    else
    {
        flags = Qt::Window;
        if (exStyle & WS_EX_TOOLWINDOW)
            flags = Qt::Tool;
        if (!(style & WS_CAPTION))
            flags |= Qt::FramelessWindowHint;
    }
    auto* widget = new CWndWidget(this, parentWidget, flags);
    if (exStyle & WS_EX_TOOLWINDOW)
        widget->setAttribute(Qt::WA_ShowWithoutActivating);
    widget->setWindowTitle(FromBytes(windowName));
    const CRect r(rect);
    // A child's rectangle is in its parent's client coordinates, which start below the parent's bar.
    const QPoint parentOrigin = (style & WS_CHILD) && parent ? parent->d->ClientOrigin() : QPoint();
    if ((style & WS_CHILD) || QGuiApplication::platformName() != QLatin1String("xcb"))
        widget->setGeometry(r.left + parentOrigin.x(), r.top + parentOrigin.y(), std::max(r.Width(), 0),
                            std::max(r.Height(), 0));
    else
    {
        // A top-level window's position is its frame's, as on Windows: moved before its native
        // window exists, the window manager puts the frame there, title bar included.
        widget->resize(std::max(r.Width(), 0), std::max(r.Height(), 0));
        widget->move(r.left, r.top);
    }
    d->widget = widget;
    d->parent = parent;
    d->id = id;
    if (!(style & WS_CHILD))
        PlatformDetail::RequestFramePosition(*d, QPoint(r.left, r.top));
    d->handle = PlatformDetail::RegisterWindow(this);
    if (!(style & WS_CHILD))
        g_topLevels.push_back(this);
    if (style & WS_VISIBLE)
        widget->show();
    return TRUE;
}

BOOL CWnd::CreateMessageWindow()
{
    if (d->handle || !QCoreApplication::instance())
        return FALSE;
    PlatformDetail::EnsureDispatcher();
    d->handle = PlatformDetail::RegisterWindow(this);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!d->handle)
        return FALSE;
    // Children go first, as on Windows.
    if (d->widget)
    {
        for (QObject* child : d->widget->children())
            if (auto* w = dynamic_cast<CWndWidget*>(child))
                if (CWnd* owner = w->Owner())
                    owner->DestroyWindow();
    }
    OnDestroy();
    if (!d->handle)
        return TRUE;   // destroyed again from OnDestroy
    const HWND handle = d->handle;
    PlatformDetail::KillAllTimers(handle);
    if (g_capture == handle)
        ReleaseCapture();
    PlatformDetail::UnregisterWindow(handle);
    d->handle = nullptr;
    g_topLevels.erase(std::remove(g_topLevels.begin(), g_topLevels.end(), this), g_topLevels.end());
    // Hide now; the native window goes at the next turn of the main loop, so a handler that
    // destroys its own window returns into a live object.
    if (CWndWidget* widget = d->widget)
    {
        widget->hide();
        widget->deleteLater();
    }
    else
    {
        auto* notifier = new CNcDestroyNotifier(this);
        d->notifier = notifier;
        notifier->deleteLater();
    }
    return TRUE;
}

HWND CWnd::GetSafeHwnd() const { return d->handle; }
CWnd* CWnd::FromHandle(HWND window) { return PlatformDetail::LookupWindow(window); }
UINT CWnd::GetDlgCtrlID() const { return d->id; }
CWnd* CWnd::GetParent() const { return d->handle ? d->parent : nullptr; }

CWnd* CWnd::GetDlgItem(UINT id) const
{
    if (!d->widget)
        return nullptr;
    for (QObject* child : d->widget->children())
        if (auto* w = dynamic_cast<CWndWidget*>(child))
            if (w->Owner() && w->Owner()->d->handle && w->Owner()->d->id == id)
                return w->Owner();
    return nullptr;
}

CWnd* CWnd::GetNextSibling() const
{
    if (!d->widget || !d->widget->parentWidget())
        return nullptr;
    bool passed = false;
    for (QObject* child : d->widget->parentWidget()->children())
    {
        auto* w = dynamic_cast<CWndWidget*>(child);
        if (!w || !w->Owner() || !w->Owner()->d->handle)
            continue;
        if (passed)
            return w->Owner();
        passed = w == d->widget;
    }
    return nullptr;
}

std::vector<CWnd*> CWnd::GetTopLevelWindows() { return g_topLevels; }

BOOL CWnd::ShowWindow(int command)
{
    if (!d->widget)
        return FALSE;
    const BOOL wasVisible = d->widget->isVisible();
    if (command == SW_HIDE)
        d->widget->hide();
    else
    {
        d->widget->setAttribute(Qt::WA_ShowWithoutActivating, command == SW_SHOWNA);
        d->widget->show();
        static bool mainWindowShown = false;
        if (!mainWindowShown && AfxGetApp() && AfxGetApp()->m_pMainWnd == this)
        {
            mainWindowShown = true;
            ReportMilestone("main window shown");
        }
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return d->widget && d->widget->isVisible(); }

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!d->widget)
        return FALSE;
    const BOOL wasDisabled = !d->widget->isEnabled();
    d->widget->setEnabled(enable != FALSE);
    // Windows keeps owned windows' own state: a modal dialog stays usable while its owner is
    // disabled. Qt passes the disabling on to child windows too, so give theirs back.
    if (!enable)
        for (QObject* child : d->widget->children())
            if (auto* window = qobject_cast<QWidget*>(child);
                window && window->isWindow() && !window->testAttribute(Qt::WA_ForceDisabled))
                window->setEnabled(true);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return d->widget && d->widget->isEnabled(); }

void CWnd::SetWindowText(const char* text)
{
    if (d->widget)
        d->widget->setWindowTitle(FromBytes(text));
}

std::string CWnd::GetWindowText() const
{
    return d->widget ? PlatformDetail::TextToBytes(d->widget->windowTitle()) : std::string();
}

int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

void CWnd::SetActiveWindow()
{
    if (d->widget)
        d->widget->activateWindow();
}

BOOL CWnd::IsActiveWindow() const { return d->widget && d->widget->isActiveWindow(); }

void CWnd::SetFocus()
{
    if (d->widget)
        d->widget->setFocus(Qt::OtherFocusReason);
}

void CWnd::GetClientRect(RECT* rect) const
{
    if (!rect)
        return;
    const QRect client = d->ClientRect();
    *rect = RECT{0, 0, client.width(), client.height()};
}

namespace
{
// A child window is placed in its parent's client coordinates, which start below the parent's bar.
QPoint ParentClientOrigin(const std::unique_ptr<CWnd::Impl>& d)
{
    return d->widget && !d->widget->isWindow() && d->parent ? d->parent->GetImpl()->ClientOrigin() : QPoint();
}
}

void CWnd::GetWindowRect(RECT* rect) const
{
    if (!rect)
        return;
    if (!d->widget)
    {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    QRect frame = d->widget->isWindow() ? d->widget->frameGeometry()
                                          : QRect(d->widget->mapToGlobal(QPoint(0, 0)), d->widget->size());
    *rect = RECT{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void CWnd::MoveWindow(const RECT& rect, BOOL)
{
    if (d->widget)
        d->widget->setGeometry(QRect(QPoint(rect.left, rect.top) + ParentClientOrigin(d),
                                     QSize(std::max(rect.right - rect.left, 0), std::max(rect.bottom - rect.top, 0))));
    if (d->widget && d->widget->isWindow())
        PlatformDetail::RequestFramePosition(*d, QPoint(rect.left, rect.top));
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!d->widget)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
    {
        d->widget->move(QPoint(x, y) + ParentClientOrigin(d));
        if (d->widget->isWindow())
            PlatformDetail::RequestFramePosition(*d, QPoint(x, y));
    }
    if (!(flags & SWP_NOSIZE))
        d->widget->resize(std::max(cx, 0), std::max(cy, 0));
    if (!(flags & SWP_NOZORDER) && !insertAfter)
        d->widget->raise();
    if (flags & SWP_SHOWWINDOW)
        ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        d->widget->hide();
    return TRUE;
}

void CWnd::ClientToScreen(POINT* point) const
{
    if (!point || !d->widget)
        return;
    const QPoint p = d->widget->mapToGlobal(QPoint(point->x, point->y) + d->ClientOrigin());
    *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(POINT* point) const
{
    if (!point || !d->widget)
        return;
    const QPoint p = d->widget->mapFromGlobal(QPoint(point->x, point->y)) - d->ClientOrigin();
    *point = POINT{p.x(), p.y()};
}

void CWnd::ClientToScreen(RECT* rect) const
{
    if (!rect)
        return;
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(RECT* rect) const
{
    if (!rect)
        return;
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const RECT* rect, BOOL)
{
    if (!d->widget)
        return;
    const QRect r = rect ? QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top)
                         : QRect(QPoint(), d->ClientRect().size());
    if (r.isEmpty())
        return;
    d->invalid += r;
    d->widget->update(r.translated(d->ClientOrigin()));
}

void CWnd::UpdateWindow()
{
    if (d->widget && !d->invalid.isEmpty() && d->widget->isVisible())
        d->widget->repaint(d->invalid.translated(d->ClientOrigin()));
}

CWnd* CWnd::SetCapture()
{
    CWnd* previous = PlatformDetail::LookupWindow(g_capture);
    if (!d->handle)
        return previous;
    g_capture = d->handle;
    // Outside the window, moves and the release only arrive through a grab (which the headless
    // platform has no use for).
    if (d->widget && d->widget->isVisible() && QWidget::mouseGrabber() != d->widget &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        d->widget->grabMouse();
    return previous;
}

CWnd* CWnd::GetCapture() { return PlatformDetail::LookupWindow(g_capture); }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse)
{
    return d->handle ? PlatformDetail::SetTimer(d->handle, id, elapse) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    return d->handle ? PlatformDetail::KillTimer(d->handle, id) : FALSE;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(d->handle, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return d->handle ? WindowProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); break;
    case WM_CLOSE: OnClose(); break;
    case WM_SYSCOMMAND:
        if (QWidget* widget = d->widget.data(); widget && widget->isWindow())
        {
            const WPARAM command = wParam & 0xFFF0;
            if (command == SC_MAXIMIZE && !widget->isMaximized())
                widget->showMaximized();
            else if (command == SC_MINIMIZE && !widget->isMinimized())
                widget->showMinimized();
            else if (command == SC_RESTORE && (widget->isMaximized() || widget->isMinimized()))
                widget->showNormal();
        }
        break;
    default: break;
    }
    return 0;
}

void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnRButtonDblClk(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return FALSE; }
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnKeyUp(UINT, UINT, UINT) {}
void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnPaint() {}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {}
void CWnd::OnEnable(BOOL) {}
void CWnd::OnMove(int, int) {}
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnKillFocus(CWnd*) {}
void CWnd::OnDropFiles(const std::vector<std::string>&) {}

void CWnd::DragAcceptFiles(BOOL accept)
{
    if (d->widget)
        d->widget->setAcceptDrops(accept != FALSE);
}

void CWnd::OnClose() { DestroyWindow(); }
void CWnd::OnDestroy() {}
void CWnd::PostNcDestroy() {}

short GetKeyState(int virtualKey)
{
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    bool down = false;
    switch (virtualKey)
    {
    case VK_SHIFT: down = modifiers & Qt::ShiftModifier; break;
    case VK_CONTROL: down = modifiers & Qt::ControlModifier; break;
    case VK_MENU: down = modifiers & Qt::AltModifier; break;
    case 0x01: down = QGuiApplication::mouseButtons() & Qt::LeftButton; break;
    case 0x02: down = QGuiApplication::mouseButtons() & Qt::RightButton; break;
    default: break;
    }
    return down ? static_cast<short>(0x8000) : 0;
}

short GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    const QPoint p = QCursor::pos();
    *point = POINT{p.x(), p.y()};
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
    return TRUE;
}

BOOL ReleaseCapture()
{
    CWnd* capture = PlatformDetail::LookupWindow(g_capture);
    g_capture = nullptr;
    if (capture && capture->GetImpl()->widget && QWidget::mouseGrabber() == capture->GetImpl()->widget)
        capture->GetImpl()->widget->releaseMouse();
    return TRUE;
}

CWnd* OwnerOfWidget(QWidget* widget) { return OwnerOf(widget); }

void PlatformDetail::FitBackBuffer(CWnd::Impl& d, const QWidget& widget, bool keepContent)
{
    const qreal ratio = widget.devicePixelRatio();
    const QRect client(QPoint(), d.ClientRect().size());
    const QSize pixels = PixelsFromLogical(client, ratio).size();
    if (d.backBuffer.size() == pixels && d.backBuffer.devicePixelRatio() == ratio)
        return;
    QImage resized(pixels, QImage::Format_ARGB32_Premultiplied);
    resized.setDevicePixelRatio(ratio);
    resized.fill(Qt::black);
    if (keepContent && !d.backBuffer.isNull() && !resized.isNull())
    {
        QPainter copy(&resized);
        copy.drawImage(0, 0, d.backBuffer);
    }
    d.backBuffer = resized;
}

BOOL GetScreenWorkArea(RECT* rect)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!rect || !screen)
        return FALSE;
    const QRect area = screen->availableGeometry();
    *rect = CRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
    return TRUE;
}
