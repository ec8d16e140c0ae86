// The input's lock-free rings under real concurrency: one producer, one consumer, nothing lost
// or reordered while the consumer keeps up. Also run under ThreadSanitizer.
#include "midi/ml/CIn.h"
#include "platform/VirtualMidiBackend.h"

#include <gtest/gtest.h>

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

// An input whose handlers record what they get, from the worker thread.
class CRecordingIn final : public ML::CIn
{
public:
    ~CRecordingIn() override { Close(); }

    std::vector<std::vector<BYTE>> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_seen);
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

private:
    std::mutex m_mutex;
    std::vector<std::vector<BYTE>> m_seen;
};

TEST(BufferedInput, BurstFromAnotherThreadArrivesCompleteAndInOrder)
{
    CVirtualMidiBackend backend;
    backend.AddInput("Keys");
    CScopedMidiBackend scoped(&backend);
    CRecordingIn input;
    ASSERT_TRUE(input.Open("Keys"));
    ASSERT_TRUE(input.Start());

    // 1000 messages, short and long mixed, sent by a driver thread in bursts of 20: fewer than
    // the 32 buffers the input keeps queued, as a 3125-byte-per-second wire would allow.
    std::vector<std::vector<BYTE>> sent;
    for (int i = 0; i < 1000; ++i)
    {
        if (i % 3 == 0)
            sent.push_back({0xF0, 0x41, static_cast<BYTE>(i & 0x7F), static_cast<BYTE>((i >> 7) & 0x7F), 0xF7});
        else
            sent.push_back({0xB0, static_cast<BYTE>(i & 0x7F), static_cast<BYTE>((i >> 7) & 0x7F)});
    }
    std::thread driver([&] {
        for (size_t i = 0; i < sent.size(); ++i)
        {
            backend.Send("Keys", sent[i]);
            if (i % 20 == 19)
                input.WaitUntilHandled(10000);
        }
    });
    driver.join();
    ASSERT_TRUE(input.WaitUntilHandled(10000));
    EXPECT_EQ(input.Take(), sent);
    EXPECT_EQ(input.GetOverrunCount(), 0u);

    // Once Stop has returned no handler runs, whatever still arrives.
    ASSERT_TRUE(input.Stop());
    backend.Send("Keys", {0x90, 0x40, 0x40});
    backend.Send("Keys", {0xF0, 0x01, 0xF7});
    EXPECT_TRUE(input.Take().empty());
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
}
