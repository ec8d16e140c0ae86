// The input's lock-free rings under real concurrency: one producer, one consumer, nothing lost
// or reordered while the consumer keeps up. Also run under ThreadSanitizer.
#include "midi/ml/CIn.h"
#include "platform/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
TEST(EventRing, HoldsOneWordLessThanItsSize)
{
    ML::CIn::CEventRing ring;
    for (uint32_t i = 0; i < ML::CIn::CEventRing::kSize - 1; ++i)
        ASSERT_TRUE(ring.Push(static_cast<int32_t>(i)));
    EXPECT_FALSE(ring.Push(12345)) << "a full ring refuses instead of overwriting unread words";
    EXPECT_EQ(ring.Pop(), 0);
    EXPECT_TRUE(ring.Push(7));
    for (uint32_t i = 1; i < ML::CIn::CEventRing::kSize - 1; ++i)
        ASSERT_EQ(ring.Pop(), static_cast<int32_t>(i));
    EXPECT_EQ(ring.Pop(), 7);
    EXPECT_EQ(ring.Pop(), ML::CIn::kEmpty);
}

TEST(EventRing, OneProducerOneConsumerKeepOrderAcrossManyWraps)
{
    ML::CIn::CEventRing ring;
    constexpr int32_t kCount = 200000;
    std::thread producer([&] {
        for (int32_t i = 0; i < kCount;)
            if (ring.Push(i))
                ++i;
            else
                std::this_thread::yield();
    });
    int32_t expected = 0;
    while (expected < kCount)
    {
        const int32_t word = ring.Pop();
        if (word == ML::CIn::kEmpty)
        {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(word, expected);
        ++expected;
    }
    producer.join();
    EXPECT_EQ(ring.Pop(), ML::CIn::kEmpty);
}

// An input whose handlers record what they get, from the worker thread or a claiming one, and
// which counts the driver's calls for a claiming thread.
class CRecordingIn final : public ML::CIn
{
public:
    ~CRecordingIn() override { Close(); }

    std::vector<std::vector<BYTE>> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_seen);
    }

    int GetArrivalCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_arrivals;
    }

    // Sleeps until OnArrival has been called `count` times in all, or the time is up.
    void WaitForArrivals(int count, std::chrono::milliseconds longest)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait_for(lock, longest, [&] { return m_arrivals >= count; });
    }

protected:
    void OnShortMessage(DWORD message) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.push_back({static_cast<BYTE>(message), static_cast<BYTE>(message >> 8),
                          static_cast<BYTE>(message >> 16)});
    }

    void OnLongMessage(const BYTE* data, DWORD count) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.emplace_back(data, data + count);
    }

    void OnArrival() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_arrivals;
        }
        m_arrived.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::vector<BYTE>> m_seen;
    int m_arrivals = 0;
};

// 1000 messages, short and long mixed.
std::vector<std::vector<BYTE>> MixedMessages()
{
    std::vector<std::vector<BYTE>> messages;
    for (int i = 0; i < 1000; ++i)
    {
        if (i % 3 == 0)
            messages.push_back({0xF0, 0x41, static_cast<BYTE>(i & 0x7F), static_cast<BYTE>((i >> 7) & 0x7F), 0xF7});
        else
            messages.push_back({0xB0, static_cast<BYTE>(i & 0x7F), static_cast<BYTE>((i >> 7) & 0x7F)});
    }
    return messages;
}

// A started input on the virtual backend.
class RunningInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_backend.AddInput("Keys");
        ASSERT_TRUE(m_input.Open("Keys"));
        ASSERT_TRUE(m_input.Start());
    }

    // Sends `messages` from a driver thread in bursts of 20: fewer than the 32 buffers the input
    // keeps queued, as a 3125-byte-per-second wire would allow. `done` is set at the end.
    std::thread SendFromDriverThread(const std::vector<std::vector<BYTE>>& messages, std::atomic<bool>& done)
    {
        return std::thread([this, &messages, &done] {
            for (size_t i = 0; i < messages.size(); ++i)
            {
                m_backend.Send("Keys", messages[i]);
                if (i % 20 == 19)
                    m_input.WaitUntilHandled(10000);
            }
            done = true;
        });
    }

    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CRecordingIn m_input;
};

TEST_F(RunningInput, BurstFromAnotherThreadArrivesCompleteAndInOrder)
{
    const std::vector<std::vector<BYTE>> sent = MixedMessages();
    std::atomic<bool> done{false};
    SendFromDriverThread(sent, done).join();
    ASSERT_TRUE(m_input.WaitUntilHandled(10000));
    EXPECT_EQ(m_input.Take(), sent);
    EXPECT_EQ(m_input.GetOverrunCount(), 0u);

    // Once Stop has returned no handler runs, whatever still arrives.
    ASSERT_TRUE(m_input.Stop());
    m_backend.Send("Keys", {0x90, 0x40, 0x40});
    m_backend.Send("Keys", {0xF0, 0x01, 0xF7});
    EXPECT_TRUE(m_input.Take().empty());
}

TEST(BufferedInput, RestartAfterStopDeliversAgain)
{
    CVirtualMidiBackend backend;
    backend.AddInput("Keys");
    CScopedMidiBackend scoped(&backend);
    CRecordingIn input;
    ASSERT_TRUE(input.Open("Keys"));
    for (int round = 0; round < 3; ++round)
    {
        SCOPED_TRACE(round);
        ASSERT_TRUE(input.Start());
        backend.Send("Keys", {0xF0, 0x10, static_cast<BYTE>(round), 0xF7});
        backend.Send("Keys", {0xC0, static_cast<BYTE>(round)});
        ASSERT_TRUE(input.WaitUntilHandled(10000));
        ASSERT_TRUE(input.Stop());
        const std::vector<std::vector<BYTE>> expected{{0xF0, 0x10, static_cast<BYTE>(round), 0xF7},
                                                      {0xC0, static_cast<BYTE>(round), 0x00}};
        EXPECT_EQ(input.Take(), expected);
    }
}

// A thread that claims the events is called once per round, not once per event, and what it has
// not taken when it lets go reaches the handlers through the worker.
TEST_F(RunningInput, AClaimIsCalledOncePerRoundAndHandsLeftEventsToTheWorker)
{
    // The worker has started and gone to sleep: from here only a wake-up makes it handle.
    m_backend.Send("Keys", {0xFE});
    ASSERT_TRUE(m_input.WaitUntilHandled(10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    m_input.Take();

    m_input.ClaimArrivals();
    m_backend.Send("Keys", {0xF0, 0x01, 0xF7});
    m_backend.Send("Keys", {0x90, 0x40, 0x40});
    EXPECT_EQ(m_input.GetArrivalCount(), 1) << "told once until it has handled";
    m_input.HandleArrivals();
    EXPECT_FALSE(m_input.HandleArrivals()) << "nothing new since";
    m_backend.Send("Keys", {0xF0, 0x02, 0xF7});
    EXPECT_EQ(m_input.GetArrivalCount(), 2) << "told again after handling";
    m_input.ReleaseArrivals();
    ASSERT_TRUE(m_input.WaitUntilHandled(2000)) << "the event left in the ring went to the worker";
    m_backend.Send("Keys", {0xC0, 0x05});
    EXPECT_EQ(m_input.GetArrivalCount(), 2) << "no claim, no call";
    ASSERT_TRUE(m_input.WaitUntilHandled(10000));
    const std::vector<std::vector<BYTE>> expected{
        {0xF0, 0x01, 0xF7}, {0x90, 0x40, 0x40}, {0xF0, 0x02, 0xF7}, {0xC0, 0x05, 0x00}};
    EXPECT_EQ(m_input.Take(), expected);
}

// A driver thread sends while this thread keeps claiming, handling and letting go, as a request's
// wait does: every message arrives once, whole and in order, whichever thread handled it.
TEST_F(RunningInput, ClaimsWhileTheDriverSendsLoseNothingAndKeepOrder)
{
    const std::vector<std::vector<BYTE>> sent = MixedMessages();
    std::atomic<bool> done{false};
    std::thread driver = SendFromDriverThread(sent, done);
    while (!done)
    {
        m_input.ClaimArrivals();
        m_input.WaitForArrivals(m_input.GetArrivalCount() + 1, std::chrono::milliseconds(2));
        m_input.HandleArrivals();
        m_input.ReleaseArrivals();
    }
    driver.join();
    ASSERT_TRUE(m_input.WaitUntilHandled(10000));
    EXPECT_EQ(m_input.Take(), sent);
    EXPECT_EQ(m_input.GetOverrunCount(), 0u);
}
}
