#include "platform/MouseHook.h"

#include "platform/Wnd_p.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <cstring>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace
{
struct CHook
{
    HOOKPROC procedure;
};

// The installed hooks, latest first; each is a heap object whose address is its handle.
std::vector<CHook*>& Hooks()
{
    // Kept past the end of main: a process-wide object may unhook from its destructor.
    static auto* hooks = new std::vector<CHook*>;
    return *hooks;
}

const char* ClassNameOf(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget())
    {
        // The drop-down list of a combo box is a separate top-level window under the combo box.
        if (qobject_cast<QAbstractItemView*>(w) && w->window() != w && w->window()->parentWidget() &&
            qobject_cast<QComboBox*>(w->window()->parentWidget()))
            return "ComboLBox";
        if (w->isWindow() && w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget()))
            return "ComboLBox";
        if (qobject_cast<QMenu*>(w))
            return "#32768";
        if (qobject_cast<QLineEdit*>(w))
            return "Edit";
        if (qobject_cast<QComboBox*>(w))
            return "ComboBox";
        if (qobject_cast<QAbstractButton*>(w))
            return "Button";
        if (qobject_cast<QLabel*>(w))
            return "Static";
        if (dynamic_cast<CWndWidget*>(w))
            return "";
    }
    return "";
}

UINT HookMessage(QEvent* event)
{
    switch (event->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        break;
    default:
        return 0;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool right = mouse->button() == Qt::RightButton;
    const bool left = mouse->button() == Qt::LeftButton;
    switch (event->type())
    {
    case QEvent::MouseButtonPress: return left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : 0;
    case QEvent::MouseButtonDblClick: return left ? WM_LBUTTONDBLCLK : right ? WM_RBUTTONDBLCLK : 0;
    case QEvent::MouseButtonRelease: return left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : 0;
    case QEvent::MouseMove: return WM_MOUSEMOVE;
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return left ? WM_NCLBUTTONDOWN : right ? WM_NCRBUTTONDOWN : 0;
    default: return 0;
    }
}

// One application-wide event filter stands for the thread's hook chain while any hook is set.
class CHookFilter final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (Hooks().empty() || !watched->isWidgetType())
            return false;
        UINT message = HookMessage(event);
        if (message == 0)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // A child frame's title bar and border are its frame, as the window system's frames are:
        // presses there arrive as frame presses.
        if (qobject_cast<QMdiSubWindow*>(widget))
            message = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK   ? WM_NCLBUTTONDOWN
                      : message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK ? WM_NCRBUTTONDOWN
                                                                                 : message;
        auto* mouse = static_cast<QMouseEvent*>(event);
        MOUSEHOOKSTRUCT info{};
        const QPoint global = mouse->globalPosition().toPoint();
        info.pt = POINT{global.x(), global.y()};
        CWnd* target = OwnerOfWidget(widget);
        info.hwnd = target ? target->GetSafeHwnd() : nullptr;
        std::strncpy(info.className, ClassNameOf(widget), sizeof(info.className) - 1);
        return CallNextHookEx(nullptr, HC_ACTION, message, reinterpret_cast<LPARAM>(&info)) != 0;
    }
};

QPointer<CHookFilter> g_filter;
}

HHOOK SetWindowsHookEx(int hookType, HOOKPROC procedure, void*, DWORD threadId)
{
    if (hookType != WH_MOUSE || !procedure || !QApplication::instance() || (threadId != 0 && threadId != GetCurrentThreadId()))
        return nullptr;
    if (!g_filter)
    {
        g_filter = new CHookFilter;
        g_filter->setParent(QApplication::instance());
        QApplication::instance()->installEventFilter(g_filter);
    }
    auto* hook = new CHook{procedure};
    Hooks().insert(Hooks().begin(), hook);
    return reinterpret_cast<HHOOK>(hook);
}

BOOL UnhookWindowsHookEx(HHOOK handle)
{
    auto& hooks = Hooks();
    for (auto it = hooks.begin(); it != hooks.end(); ++it)
        if (reinterpret_cast<HHOOK>(*it) == handle)
        {
            delete *it;
            hooks.erase(it);
            return TRUE;
        }
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK current, int code, WPARAM message, LPARAM hookStruct)
{
    // Walk a copy: a procedure may unhook itself or others.
    const std::vector<CHook*> hooks = Hooks();
    size_t start = 0;
    if (current)
    {
        while (start < hooks.size() && reinterpret_cast<HHOOK>(hooks[start]) != current)
            ++start;
        ++start;
    }
    if (start >= hooks.size())
        return 0;
    CHook* next = hooks[start];
    // The procedure may remove hooks; call it only while it is still installed.
    const auto& live = Hooks();
    if (std::find(live.begin(), live.end(), next) == live.end())
        return 0;
    return next->procedure(code, message, hookStruct);
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

BOOL IsChild(HWND parent, HWND child)
{
    CWnd* p = CWnd::FromHandle(parent);
    for (CWnd* c = CWnd::FromHandle(child); c && p; c = c->GetParent())
        if (c == p)
            return TRUE;
    return FALSE;
}
