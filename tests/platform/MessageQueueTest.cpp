#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace
{
// Records every message and tick it receives, in order.
class CRecordingWindow : public CWnd
{
public:
    std::vector<std::pair<UINT, WPARAM>> received;
    std::function<void(UINT, WPARAM)> onMessage;
    int ncDestroyed = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.emplace_back(message, wParam);
        if (onMessage)
            onMessage(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++ncDestroyed; }
};

class MessageQueue : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateMessageWindow());
        Drain();
    }
    void TearDown() override { Drain(); }
    static void Drain()
    {
        while (PumpAllMessages())
        {
        }
    }
    CVirtualClock clock;
    CRecordingWindow window;
};

using Received = std::vector<std::pair<UINT, WPARAM>>;
}

TEST_F(MessageQueue, PostedMessagesArriveInPostingOrderAcrossKinds)
{
    window.PostMessage(WM_USER + 1, 1);
    window.PostMessage(WM_USER + 300, 2);
    window.PostMessage(WM_USER + 1, 3);
    window.PostMessage(WM_COMMAND, 4);
    EXPECT_EQ(GetQueuedMessageCount(), 4u);
    Drain();
    EXPECT_EQ(window.received, (Received{{WM_USER + 1, 1}, {WM_USER + 300, 2}, {WM_USER + 1, 3}, {WM_COMMAND, 4}}));
}

TEST_F(MessageQueue, PostingFromOtherThreadsKeepsEachThreadsOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    std::vector<std::thread> threads;
    const HWND handle = window.GetSafeHwnd();
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([=] {
            for (int i = 0; i < kPerThread; ++i)
                ::PostMessage(handle, WM_USER + static_cast<UINT>(t), static_cast<WPARAM>(i), 0);
        });
    for (auto& thread : threads)
        thread.join();
    Drain();
    ASSERT_EQ(window.received.size(), static_cast<size_t>(kThreads * kPerThread));
    std::vector<WPARAM> next(kThreads, 0);
    for (const auto& [message, index] : window.received)
    {
        const UINT thread = message - WM_USER;
        ASSERT_LT(thread, static_cast<UINT>(kThreads));
        EXPECT_EQ(index, next[thread]++);
    }
}

TEST_F(MessageQueue, ProgressPumpLeavesUserMessagesQueuedInOrder)
{
    window.PostMessage(WM_USER + 5, 1);
    window.PostMessage(WM_COMMAND, 2);
    window.PostMessage(WM_USER + 6, 3);
    PumpMessagesBelowUser();
    EXPECT_EQ(window.received, (Received{{WM_COMMAND, 2}}));
    EXPECT_EQ(GetQueuedMessageCount(), 2u);
    Drain();
    EXPECT_EQ(window.received, (Received{{WM_COMMAND, 2}, {WM_USER + 5, 1}, {WM_USER + 6, 3}}));
}

TEST_F(MessageQueue, RequestWaitTakesOnlyTheFirst256UserMessages)
{
    window.PostMessage(WM_USER + 256, 1);
    window.PostMessage(WM_COMMAND, 2);
    window.PostMessage(WM_USER + 255, 3);
    window.PostMessage(WM_USER, 4);
    PumpRequestWaitMessages();
    EXPECT_EQ(window.received, (Received{{WM_USER + 255, 3}, {WM_USER, 4}}));
    Drain();
    EXPECT_EQ(window.received.size(), 4u);
}

// A pass says whether it delivered anything, including what Qt's event processing delivered on
// the queue's behalf: a request's wait sleeps after a pass that says no, and must not sleep
// after the answer has come.
TEST_F(MessageQueue, APumpPassSaysWhetherItDeliveredAnything)
{
    window.PostMessage(WM_USER + 1, 1);
    EXPECT_TRUE(PumpRequestWaitMessages());
    EXPECT_FALSE(PumpRequestWaitMessages()) << "nothing was left";
    window.PostMessage(WM_COMMAND, 2);
    EXPECT_FALSE(PumpRequestWaitMessages()) << "a message the pump holds back is not a delivery";
    EXPECT_TRUE(PumpMessagesBelowUser());
    window.PostMessage(WM_USER + 2, 3);
    EXPECT_TRUE(PumpAllMessages());
    EXPECT_EQ(window.received, (Received{{WM_USER + 1, 1}, {WM_COMMAND, 2}, {WM_USER + 2, 3}}));
}

TEST_F(MessageQueue, HeldBackMessagesReachTheMainLoopAfterTheNestedPump)
{
    // A handler that waits for a request: the nested pump holds the command back, and the main
    // loop must still deliver it afterwards without anything else waking it.
    window.onMessage = [&](UINT message, WPARAM) {
        if (message == WM_USER + 1)
        {
            window.PostMessage(WM_COMMAND, 9);
            PumpRequestWaitMessages();
            PostQuitMessage(0);
        }
    };
    CWinApp app("Test");
    window.PostMessage(WM_USER + 1, 0);
    app.Run();
    EXPECT_EQ(window.received, (Received{{WM_USER + 1, 0}, {WM_COMMAND, 9}}));
}

TEST_F(MessageQueue, TimersTickInVirtualTimeAndDoNotQueueUp)
{
    window.SetTimer(1, 50);
    clock.Advance(49);
    EXPECT_EQ(FireDueTimers(), 0);
    clock.Advance(1);
    EXPECT_EQ(FireDueTimers(), 1);
    clock.Advance(500);   // ten intervals late: still one tick
    EXPECT_EQ(FireDueTimers(), 1);
    EXPECT_EQ(FireDueTimers(), 0);
    EXPECT_EQ(window.received, (Received{{WM_TIMER, 1}, {WM_TIMER, 1}}));
    window.KillTimer(1);
    clock.Advance(100);
    EXPECT_EQ(FireDueTimers(), 0);
}

TEST_F(MessageQueue, TicksDueDuringARequestWaitAreDroppedNotDelayed)
{
    window.SetTimer(7, 50);
    clock.Advance(60);
    PumpRequestWaitMessages();
    EXPECT_TRUE(window.received.empty());
    clock.Advance(10);   // the dropped tick must not arrive late
    EXPECT_EQ(FireDueTimers(), 0);
    clock.Advance(40);   // one interval after the dropped one
    EXPECT_EQ(FireDueTimers(), 1);
    PumpMessagesBelowUser();   // the progress pump delivers ticks
    clock.Advance(50);
    PumpMessagesBelowUser();
    EXPECT_EQ(window.received, (Received{{WM_TIMER, 7}, {WM_TIMER, 7}}));
}

TEST_F(MessageQueue, ATimerHandlerMayKillItsOwnAndAnotherTimer)
{
    window.SetTimer(1, 10);
    window.SetTimer(2, 10);
    window.onMessage = [&](UINT message, WPARAM) {
        if (message == WM_TIMER)
        {
            window.KillTimer(1);
            window.KillTimer(2);
        }
    };
    clock.Advance(10);
    EXPECT_EQ(FireDueTimers(), 1);
}

TEST_F(MessageQueue, MessagesToADestroyedWindowAreDropped)
{
    CRecordingWindow other;
    ASSERT_TRUE(other.CreateMessageWindow());
    const HWND handle = other.GetSafeHwnd();
    EXPECT_TRUE(::PostMessage(handle, WM_USER, 1, 0));
    other.DestroyWindow();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(::PostMessage(handle, WM_USER, 2, 0));
    Drain();
    EXPECT_TRUE(other.received.empty());
    EXPECT_EQ(::SendMessage(handle, WM_USER, 0, 0), 0);
}

TEST_F(MessageQueue, DestructionIsDeferredToTheNextTurnOfTheMainLoop)
{
    auto* doomed = new CRecordingWindow;
    ASSERT_TRUE(doomed->CreateEx(0, "doomed", WS_VISIBLE, RECT{10, 10, 60, 60}, nullptr));
    bool aliveAfterDestroy = false;
    doomed->onMessage = [&](UINT message, WPARAM) {
        if (message == WM_USER)
        {
            doomed->DestroyWindow();
            aliveAfterDestroy = !doomed->IsWindowVisible() && doomed->ncDestroyed == 0;
            PumpAllMessages();   // a nested pump must not finish the destruction
            aliveAfterDestroy = aliveAfterDestroy && doomed->ncDestroyed == 0;
        }
    };
    // Each idle pass wakes the loop once more until the native window is gone.
    struct CQuitWhenGone : CWinApp
    {
        CQuitWhenGone(CRecordingWindow& d, CRecordingWindow& w) : CWinApp("Test"), doomed(d), waker(w) {}
        CRecordingWindow& doomed;
        CRecordingWindow& waker;
        int idles = 0;
        BOOL OnIdle(LONG) override
        {
            if (doomed.ncDestroyed > 0 || ++idles > 20)
                PostQuitMessage(3);
            else
                waker.PostMessage(WM_NULL);
            return FALSE;
        }
    } app(*doomed, window);
    doomed->PostMessage(WM_USER);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_TRUE(aliveAfterDestroy);
    EXPECT_EQ(doomed->ncDestroyed, 1);
    EXPECT_LE(app.idles, 20);
    delete doomed;
}

// A thread that delivers its own posts with a pump pass of its own leaves the main loop asleep
// meanwhile; whatever it leaves queued must still wake the loop, or it waits for some unrelated
// event to come along.
TEST_F(MessageQueue, PostsLeftQueuedByADeferredWakeReachTheMainLoop)
{
    struct CCase
    {
        const char* name;
        bool pump;   // a request pump pass runs inside the scope
    };
    for (const CCase& c : {CCase{"no pump pass", false}, CCase{"the pump holds it back", true}})
    {
        SCOPED_TRACE(c.name);
        window.received.clear();
        window.onMessage = [](UINT message, WPARAM) {
            if (message == WM_COMMAND)
                PostQuitMessage(0);
        };
        {
            const CDeferredQueueWake deferred;
            window.PostMessage(WM_USER + 1, 1);
            window.PostMessage(WM_COMMAND, 2);
            if (c.pump)
            {
                EXPECT_TRUE(PumpRequestWaitMessages());
            }
        }
        // Only a guard: the command ends the loop long before.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { PostQuitMessage(1); });
        guard.start(20000);
        CWinApp app("Test");
        EXPECT_EQ(app.Run(), 0);
        EXPECT_EQ(window.received, (Received{{WM_USER + 1, 1}, {WM_COMMAND, 2}}));
        window.onMessage = nullptr;
        Drain();
    }
}

// A handler that the deferring thread's pump runs may wait in an event loop of its own (a modal
// dialog) for what it posts: its posts must wake that loop.
TEST_F(MessageQueue, PostsFromAHandlerInsideADeferredWakeWakeItsOwnLoop)
{
    QEventLoop nested;
    window.onMessage = [&](UINT message, WPARAM) {
        if (message == WM_USER + 1)
        {
            window.PostMessage(WM_USER + 2, 0);
            QTimer::singleShot(20000, &nested, [&] { nested.exit(1); });
            EXPECT_EQ(nested.exec(), 0);
        }
        else if (message == WM_USER + 2)
        {
            nested.exit(0);
        }
    };
    const CDeferredQueueWake deferred;
    window.PostMessage(WM_USER + 1, 0);
    PumpRequestWaitMessages();
    EXPECT_EQ(window.received, (Received{{WM_USER + 1, 0}, {WM_USER + 2, 0}}));
}

// On the system clock a request's wait sleeps; a post or a wake from another thread must end it,
// round after round, with nothing lost and everything in order.
TEST(RequestWait, PostsAndWakesFromAnotherThreadEndTheWait)
{
    CRecordingWindow window;
    ASSERT_TRUE(window.CreateMessageWindow());
    while (PumpAllMessages())
    {
    }
    constexpr int kRounds = 200;
    std::atomic<int> asked{0};
    std::atomic<int> woken{0};
    const HWND handle = window.GetSafeHwnd();
    std::thread answerer([&] {
        for (int round = 1; round <= kRounds; ++round)
        {
            while (asked.load() < round)
                std::this_thread::yield();
            // Every other round only wakes the wait, as the driver's thread does.
            if (round % 2 == 0)
            {
                ::PostMessage(handle, WM_USER + 1, static_cast<WPARAM>(round), 0);
            }
            else
            {
                woken.store(round);
                WakeRequestWait();
            }
        }
    });
    for (int round = 1; round <= kRounds; ++round)
    {
        asked.store(round);
        const size_t before = window.received.size();
        for (;;)
        {
            WaitForRequestMessages(100);
            PumpRequestWaitMessages();
            if (round % 2 == 0 ? window.received.size() > before : woken.load() == round)
                break;
        }
    }
    answerer.join();
    ASSERT_EQ(window.received.size(), static_cast<size_t>(kRounds / 2));
    for (size_t i = 0; i < window.received.size(); ++i)
        EXPECT_EQ(window.received[i], std::make_pair(WM_USER + 1, static_cast<WPARAM>(2 * (i + 1))));
}

TEST_F(MessageQueue, QuitWaitsForMessagesPostedBeforeIt)
{
    CWinApp app("Test");
    window.PostMessage(WM_USER, 1);
    PostQuitMessage(5);
    window.PostMessage(WM_USER, 2);
    EXPECT_EQ(app.Run(), 5);
    EXPECT_EQ(window.received, (Received{{WM_USER, 1}}));
    Drain();
    EXPECT_EQ(window.received.size(), 2u);
}

TEST(MainLoop, TimersTickOnTheSystemClockWhileTheLoopWaits)
{
    // No virtual clock: the platform's own Qt timer must wake the waiting loop for the tick.
    struct CTicking : CWnd
    {
        int ticks = 0;
        void OnTimer(UINT_PTR id) override
        {
            if (id == 4 && ++ticks == 2)
                PostQuitMessage(0);
        }
    } window;
    ASSERT_TRUE(window.CreateMessageWindow());
    window.SetTimer(4, 5);
    // A generous bound in case no tick ever comes.
    struct CGuard : CWnd
    {
        void OnTimer(UINT_PTR) override { PostQuitMessage(1); }
    } guard;
    ASSERT_TRUE(guard.CreateMessageWindow());
    guard.SetTimer(1, 20000);
    CWinApp app("Test");
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(window.ticks, 2);
}
