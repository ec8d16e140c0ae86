#pragma once
// Window messages with their Windows meaning: one process-wide queue of posted messages, kept in
// arrival order and safe to post to from any thread; synchronous sends on the GUI thread; timers
// that tick like WM_TIMER (a due tick is delivered once, never queued up); and the three message
// pumps the system runs (the main loop in CWinApp, the progress window's and a request's wait here).
#include "platform/Win32Types.h"

#include <functional>

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Window handle: an opaque number that stays invalid once the window is gone, so a message
// posted to a destroyed window is dropped instead of reaching freed memory.
struct HWND__;
using HWND = HWND__*;
using UINT_PTR = uintptr_t;
using LONG = int32_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_USER = 0x0400;

// Posts a message to a window's queue and returns at once; callable from any thread. Messages are
// delivered on the GUI thread in the order they were posted. FALSE when the window does not exist
// or there is no application object.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Calls the window's message handler now (GUI thread only) and returns its result; 0 when the
// window does not exist.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the main loop once the messages posted before it have been delivered.
void PostQuitMessage(int exitCode);

BOOL IsWindow(HWND window);

// True on the thread that runs the windows (the one that created the application object).
bool IsGuiThread();

// Number of posted messages not yet delivered (any thread).
size_t GetQueuedMessageCount();

// Pump 2, the progress window's: one pass that handles input, paint, timers and posted messages
// below WM_USER; posted messages from WM_USER up stay queued, in order, for later.
// Returns true when anything was delivered.
bool PumpMessagesBelowUser();

// Pump 3, a request's wait: one pass that handles paint and posted messages WM_USER..WM_USER+255
// only. User input stays queued; timer ticks that fall due meanwhile are dropped, not delayed.
bool PumpRequestWaitMessages();

// A request's wait before a pass of its pump: returns at once when a message that pump delivers is
// queued, else sleeps until one is posted or `milliseconds` pass (100 ms at most, so the windows'
// paint requests are not held back long), using no processor time meanwhile. On a test's clock it
// returns at once: there only moving time makes anything arrive, and the caller moves it.
void WaitForRequestMessages(DWORD milliseconds);
// Ends a request's wait (the current one, or else the next) as a posted message would: for a
// driver's thread that has something the waiting thread will fetch itself. Any thread.
void WakeRequestWait();

// For a thread that posts and then delivers what it posted with a pump pass of its own, as a
// request's wait does with the driver's messages: while the object lives, this thread's posts do
// not wake the main loop, which would only find them gone; at its end the loop is woken if any
// posted message is still queued. Posts from the handlers and Qt events a pump runs meanwhile wake
// it as usual, since they may run an event loop of their own.
class CDeferredQueueWake
{
public:
    CDeferredQueueWake();
    ~CDeferredQueueWake();
    CDeferredQueueWake(const CDeferredQueueWake&) = delete;
    CDeferredQueueWake& operator=(const CDeferredQueueWake&) = delete;

private:
    bool m_outerActive;
    bool m_outerSkipped;
};

// One non-blocking pass of everything the main loop handles (no idle pass). For tests and for
// code that must let the queue drain, such as a modal wait.
bool PumpAllMessages();

// Timers. The platform keeps the timer table and measures due times on the process clock
// (GetTickCount), so tests drive ticks in virtual time. In the running program a Qt timer calls
// FireDueTimers; tests advance the virtual clock and call it themselves.
// Delivers WM_TIMER once to every timer whose time has come (or drops the tick inside a request's
// wait) and schedules its next tick one interval from now. Returns the number of ticks delivered.
int FireDueTimers();

// Handlers run when the platform shuts down, latest first, before the Qt application object ends:
// process-wide objects that own windows register their destruction here.
void AddShutdownHandler(std::function<void()> handler);
void RunShutdownHandlers();
