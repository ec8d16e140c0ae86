#include "platform/Messages.h"

#include "platform/Clock.h"
#include "platform/Messages_p.h"
#include "platform/Wnd_p.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <deque>
#include <limits>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <semaphore.h>

namespace
{
struct CPostedMessage
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Which posted messages and ticks the running pump lets through.
struct CPumpFilter
{
    UINT first;
    UINT last;
    bool timers;   // deliver due ticks; when false they are dropped
    bool quit;     // WM_QUIT may end the main loop
};

constexpr CPumpFilter kMainLoop{0, std::numeric_limits<UINT>::max(), true, true};
constexpr CPumpFilter kEverythingButQuit{0, std::numeric_limits<UINT>::max(), true, false};
constexpr CPumpFilter kBelowUser{0, WM_USER - 1, true, false};
constexpr CPumpFilter kRequestWait{WM_USER, WM_USER + 255, false, false};

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::User + 0x51);

struct CTimer
{
    HWND window;
    UINT_PTR id;
    UINT interval;
    DWORD due;
};

// Shared with posting threads: the window registry and the queue.
std::mutex g_mutex;
std::unordered_map<uintptr_t, CWnd*> g_windows;
uintptr_t g_nextHandle = 1;
std::deque<CPostedMessage> g_queue;
std::atomic<bool> g_wakePending{false};
bool g_requestWake = false;   // WakeRequestWait was called since the last wait returned

// A request's wait sleeps on a semaphore rather than on a condition variable over g_mutex: a
// condition variable's waiter takes the mutex back marked contended, so every wait would end in a
// futile wake-up call of the kernel when it unlocks. Posters post once per registered waiter, only
// when they queued what the wait is for, and outside g_mutex, so the woken thread finds it free.
// A post that comes after its waiter has left costs the next wait one more look at the queue.
class CRequestSemaphore
{
public:
    CRequestSemaphore() { sem_init(&m_semaphore, 0, 0); }
    ~CRequestSemaphore() { sem_destroy(&m_semaphore); }
    CRequestSemaphore(const CRequestSemaphore&) = delete;
    CRequestSemaphore& operator=(const CRequestSemaphore&) = delete;

    void Post(int count)
    {
        while (count-- > 0)
            sem_post(&m_semaphore);
    }
    // False once `deadline` (on the monotonic clock) has passed.
    bool WaitUntil(const timespec& deadline)
    {
        for (;;)
        {
            if (sem_clockwait(&m_semaphore, CLOCK_MONOTONIC, &deadline) == 0)
                return true;
            if (errno != EINTR)
                return false;
        }
    }
    void Drain()
    {
        while (sem_trywait(&m_semaphore) == 0)
        {
        }
    }

private:
    sem_t m_semaphore;
};
CRequestSemaphore g_requestPosted;
int g_requestWaiters = 0;   // threads asleep in WaitForRequestMessages; guarded by g_mutex

// Posts made by this thread inside a CDeferredQueueWake leave the main loop asleep: the scope's
// own pump delivers them, and the scope wakes the loop at its end for what is left.
struct CWakeDeferral
{
    bool active = false;
    bool skipped = false;   // a post left the loop asleep
};
thread_local CWakeDeferral t_wakeDeferral;

// Code a pump calls out to (Qt's event handlers, window procedures) may run an event loop of its
// own, which must be woken by what it posts: the deferral does not reach into it.
class CWakeDeferralSuspended
{
public:
    CWakeDeferralSuspended() : m_active(t_wakeDeferral.active) { t_wakeDeferral.active = false; }
    ~CWakeDeferralSuspended() { t_wakeDeferral.active = m_active; }
    CWakeDeferralSuspended(const CWakeDeferralSuspended&) = delete;
    CWakeDeferralSuspended& operator=(const CWakeDeferralSuspended&) = delete;

private:
    bool m_active;
};

// GUI thread only.
CPumpFilter g_filter = kMainLoop;
// Posted messages and timer ticks delivered so far, wherever the delivery ran: a pump's pass
// compares it to learn whether it delivered anything, including what the dispatcher delivered
// while Qt processed its events.
uint64_t g_deliveries = 0;
std::vector<CTimer> g_timers;
QPointer<QEventLoop> g_mainLoop;
std::vector<std::function<void()>> g_shutdownHandlers;

bool Allows(const CPumpFilter& filter, const CPostedMessage& m)
{
    if (m.message == WM_QUIT)
        return filter.quit && g_mainLoop;
    return m.message >= filter.first && m.message <= filter.last;
}

class CMessageDispatcher;
// Guarded by g_mutex: posting threads wake it, and it goes away with the application object.
QObject* g_dispatcher = nullptr;

void ScheduleTimerCheck();

// Delivers queued messages the current filter allows, oldest first, and only as many as were
// queued on entry: a handler that keeps posting cannot starve input and paint.
bool DeliverPostedMessages()
{
    size_t budget;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        budget = g_queue.size();
    }
    bool delivered = false;
    while (budget-- > 0)
    {
        CPostedMessage m{};
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            auto it = std::find_if(g_queue.begin(), g_queue.end(),
                                   [](const CPostedMessage& q) { return Allows(g_filter, q); });
            if (it == g_queue.end())
                break;
            m = *it;
            g_queue.erase(it);
        }
        delivered = true;
        ++g_deliveries;
        if (m.message == WM_QUIT)
        {
            if (g_mainLoop)
                g_mainLoop->exit(static_cast<int>(m.wParam));
            break;
        }
        if (CWnd* window = PlatformDetail::LookupWindow(m.window))
        {
            const CWakeDeferralSuspended suspended;
            window->SendMessage(m.message, m.wParam, m.lParam);
        }
    }
    return delivered;
}

bool HasDeliverableMessages()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return std::any_of(g_queue.begin(), g_queue.end(), [](const CPostedMessage& q) { return Allows(g_filter, q); });
}

// Called with g_mutex held.
void WakeLocked()
{
    if (g_dispatcher && !g_wakePending.exchange(true))
        QCoreApplication::postEvent(g_dispatcher, new QEvent(kWakeEvent));
}

void Wake()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    WakeLocked();
}

class CMessageDispatcher final : public QObject
{
public:
    CMessageDispatcher()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [] { FireDueTimers(); });
    }

    ~CMessageDispatcher() override
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_dispatcher = nullptr;
    }

    void ScheduleTimers(int milliseconds)
    {
        if (!m_timer.isActive() || m_timer.remainingTime() > milliseconds)
            m_timer.start(milliseconds);
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kWakeEvent)
            return QObject::event(e);
        g_wakePending = false;
        DeliverPostedMessages();
        if (HasDeliverableMessages())
            Wake();
        return true;
    }

private:
    QTimer m_timer;
};

// Keeps one Qt timer armed for the earliest due tick, so the running program's timers fire on
// the wall clock; under a virtual clock tests call FireDueTimers themselves.
void ScheduleTimerCheck()
{
    if (g_timers.empty())
        return;
    PlatformDetail::EnsureDispatcher();
    if (!g_dispatcher)
        return;
    const DWORD now = GetTickCount();
    int32_t earliest = std::numeric_limits<int32_t>::max();
    for (const CTimer& t : g_timers)
        earliest = std::min(earliest, TickDifference(t.due, now));
    static_cast<CMessageDispatcher*>(g_dispatcher)->ScheduleTimers(std::max<int32_t>(earliest, 1));
}

// Runs one pass of a pump under `filter`, restoring the outer pump's filter afterwards, and
// wakes the queue again when messages this pump held back are waiting.
bool RunPump(const CPumpFilter& filter, QEventLoop::ProcessEventsFlags flags)
{
    if (!QCoreApplication::instance())
        return false;
    const CPumpFilter outer = g_filter;
    const uint64_t before = g_deliveries;
    g_filter = filter;
    {
        const CWakeDeferralSuspended suspended;
        QCoreApplication::processEvents(flags);
    }
    DeliverPostedMessages();
    FireDueTimers();
    g_filter = outer;
    const bool delivered = g_deliveries != before;
    // Messages this pump held back are due again under the outer pump.
    if (HasDeliverableMessages())
        Wake();
    return delivered;
}
}

namespace PlatformDetail
{
HWND RegisterWindow(CWnd* window)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const uintptr_t handle = g_nextHandle++;
    g_windows[handle] = window;
    return reinterpret_cast<HWND>(handle);
}

void UnregisterWindow(HWND handle)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_windows.erase(reinterpret_cast<uintptr_t>(handle));
}

CWnd* LookupWindow(HWND handle)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_windows.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_windows.end() ? nullptr : it->second;
}

void KillAllTimers(HWND handle)
{
    g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                  [handle](const CTimer& t) { return t.window == handle; }),
                   g_timers.end());
}

void EnsureDispatcher()
{
    if (!g_dispatcher && QCoreApplication::instance())
    {
        // A child of the application object, so it never outlives it.
        auto* dispatcher = new CMessageDispatcher;
        dispatcher->setParent(QCoreApplication::instance());
        std::lock_guard<std::mutex> lock(g_mutex);
        g_dispatcher = dispatcher;
    }
}

void SetMainLoop(QEventLoop* loop)
{
    g_mainLoop = loop;
}

bool HasPostedMessagesForMainLoop()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return !g_queue.empty();
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse)
{
    const DWORD due = GetTickCount() + std::max<UINT>(elapse, 1);
    for (CTimer& t : g_timers)
    {
        if (t.window == window && t.id == id)
        {
            t.interval = std::max<UINT>(elapse, 1);
            t.due = due;
            ScheduleTimerCheck();
            return id;
        }
    }
    g_timers.push_back(CTimer{window, id, std::max<UINT>(elapse, 1), due});
    EnsureDispatcher();
    ScheduleTimerCheck();
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    const auto it = std::find_if(g_timers.begin(), g_timers.end(),
                                 [&](const CTimer& t) { return t.window == window && t.id == id; });
    if (it == g_timers.end())
        return FALSE;
    g_timers.erase(it);
    return TRUE;
}
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int requestWaiters = 0;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!QCoreApplication::instance())
            return FALSE;
        if (message != WM_QUIT && g_windows.count(reinterpret_cast<uintptr_t>(window)) == 0)
            return FALSE;
        const CPostedMessage posted{window, message, wParam, lParam};
        g_queue.push_back(posted);
        if (t_wakeDeferral.active)
            t_wakeDeferral.skipped = true;
        else
            WakeLocked();
        if (Allows(kRequestWait, posted))
            requestWaiters = g_requestWaiters;
    }
    g_requestPosted.Post(requestWaiters);
    return TRUE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* target = PlatformDetail::LookupWindow(window);
    return target ? target->SendMessage(message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

BOOL IsWindow(HWND window)
{
    return PlatformDetail::LookupWindow(window) != nullptr;
}

bool IsGuiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

size_t GetQueuedMessageCount()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_queue.size();
}

bool PumpMessagesBelowUser()
{
    return RunPump(kBelowUser, QEventLoop::AllEvents);
}

bool PumpRequestWaitMessages()
{
    return RunPump(kRequestWait, QEventLoop::ExcludeUserInputEvents);
}

void WaitForRequestMessages(DWORD milliseconds)
{
    constexpr DWORD kLongestPause = 100;
    // Called with g_mutex held.
    const auto mayReturn = [] {
        return g_requestWake ||
               std::any_of(g_queue.begin(), g_queue.end(), [](const CPostedMessage& m) { return Allows(kRequestWait, m); });
    };
    std::unique_lock<std::mutex> lock(g_mutex);
    if (UsesSystemClock() && !mayReturn())
    {
        timespec deadline{};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        const long pause = static_cast<long>(std::min(milliseconds, kLongestPause));
        deadline.tv_sec += pause / 1000;
        deadline.tv_nsec += (pause % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L)
        {
            ++deadline.tv_sec;
            deadline.tv_nsec -= 1000000000L;
        }
        // Posts left over from waits that had already returned would only cost a look each.
        if (g_requestWaiters++ == 0)
            g_requestPosted.Drain();
        bool posted = true;
        while (posted && !mayReturn())
        {
            lock.unlock();
            posted = g_requestPosted.WaitUntil(deadline);
            lock.lock();
        }
        --g_requestWaiters;
    }
    g_requestWake = false;
}

void WakeRequestWait()
{
    int requestWaiters = 0;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_requestWake = true;
        requestWaiters = g_requestWaiters;
    }
    g_requestPosted.Post(requestWaiters);
}

CDeferredQueueWake::CDeferredQueueWake() : m_outerActive(t_wakeDeferral.active), m_outerSkipped(t_wakeDeferral.skipped)
{
    t_wakeDeferral = CWakeDeferral{true, false};
}

CDeferredQueueWake::~CDeferredQueueWake()
{
    if (t_wakeDeferral.skipped)
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_queue.empty())
            WakeLocked();
    }
    t_wakeDeferral = CWakeDeferral{m_outerActive, m_outerSkipped};
}

bool PumpAllMessages()
{
    return RunPump(kEverythingButQuit, QEventLoop::AllEvents);
}

int FireDueTimers()
{
    const DWORD now = GetTickCount();
    // A snapshot: a tick's handler may set or kill timers, its own included.
    const std::vector<CTimer> snapshot = g_timers;
    int delivered = 0;
    for (const CTimer& due : snapshot)
    {
        if (!TickReached(now, due.due))
            continue;
        const auto it = std::find_if(g_timers.begin(), g_timers.end(), [&](const CTimer& t) {
            return t.window == due.window && t.id == due.id && t.due == due.due;
        });
        if (it == g_timers.end())
            continue;
        it->due = now + it->interval;
        if (!g_filter.timers)
            continue;
        if (CWnd* window = PlatformDetail::LookupWindow(due.window))
        {
            ++delivered;
            ++g_deliveries;
            const CWakeDeferralSuspended suspended;
            window->SendMessage(WM_TIMER, due.id, 0);
        }
    }
    ScheduleTimerCheck();
    return delivered;
}

void AddShutdownHandler(std::function<void()> handler)
{
    g_shutdownHandlers.push_back(std::move(handler));
}

void RunShutdownHandlers()
{
    while (!g_shutdownHandlers.empty())
    {
        auto handler = std::move(g_shutdownHandlers.back());
        g_shutdownHandlers.pop_back();
        handler();
    }
    // Windows whose destruction was deferred go now, while the application object still exists.
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
