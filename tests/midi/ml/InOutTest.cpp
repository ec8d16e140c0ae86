// The buffered input and the paced output over the virtual MIDI backend, in virtual time.
#include "midi/ml/CIn.h"
#include "midi/ml/COut.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <mutex>

namespace
{
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

class MidiInOut : public ::testing::Test
{
protected:
    MidiInOut() : m_scoped(&m_backend)
    {
        m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) {
            m_clock.After(delay, std::move(action));
        });
        m_backend.AddOutput("Synth", [this](const std::vector<BYTE>& bytes) {
            m_handOffs.push_back({GetTickCount(), bytes});
        });
        m_backend.AddInput("Synth");
    }

    struct CHandOff
    {
        DWORD tick;
        std::vector<BYTE> bytes;
    };

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped;
    std::vector<CHandOff> m_handOffs;
};

std::vector<BYTE> Sysex(size_t size)
{
    std::vector<BYTE> bytes(size, 0x01);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

TEST_F(MidiInOut, LongMessagesArePacedByTheWireTimeOfThePreviousOne)
{
    ML::COut out;
    ASSERT_TRUE(out.Open("Synth"));
    struct CStep
    {
        const char* name;
        size_t size;
        DWORD expectedGap;   // since the previous long message was handed over
    };
    const CStep steps[] = {
        {"first message is not delayed", 312, 0},
        {"312 bytes take 99 ms on the wire", 3, 99},
        {"3 bytes take 0 ms", 2048, 0},
        {"2048 bytes take 655 ms", 6, 655},
    };
    DWORD previous = GetTickCount();
    for (const CStep& step : steps)
    {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(out.SendLong(Sysex(step.size)));
        EXPECT_EQ(m_handOffs.back().tick - previous, step.expectedGap);
        previous = m_handOffs.back().tick;
    }
    // Short messages neither wait nor move the pacing timer.
    ASSERT_TRUE(out.SendLong(Sysex(312)));
    const DWORD before = GetTickCount();
    ASSERT_TRUE(out.SendShort(0x004007B3));
    EXPECT_EQ(GetTickCount(), before);
    EXPECT_EQ(m_handOffs.back().bytes, (std::vector<BYTE>{0xB3, 0x07, 0x40}));
    m_clock.Advance(50);
    ASSERT_TRUE(out.SendLong(Sysex(6)));
    EXPECT_EQ(m_handOffs.back().tick - before, 99u);
}

TEST_F(MidiInOut, SendLongWaitsForTheDriverAndGivesUpAfterTwoSeconds)
{
    ML::COut out;
    ASSERT_TRUE(out.Open("Synth"));
    m_backend.SetDoneDelay("Synth", 300);
    DWORD start = GetTickCount();
    EXPECT_TRUE(out.SendLong(Sysex(10)));
    EXPECT_GE(GetTickCount() - start, 300u);

    m_backend.SetNeverDone("Synth", true);
    start = GetTickCount();
    EXPECT_FALSE(out.SendLong(Sysex(10)));
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_LT(GetTickCount() - start, 2100u);
    // The output was reset, so the buffer is free for the next message.
    m_backend.SetNeverDone("Synth", false);
    m_backend.SetDoneDelay("Synth", 0);
    EXPECT_TRUE(out.SendLong(Sysex(10)));
}

TEST_F(MidiInOut, FailedAndImpossibleSendsAreFailures)
{
    ML::COut out;
    EXPECT_FALSE(out.SendShort(0x90)) << "a closed output sends nothing";
    EXPECT_FALSE(out.SendLong(Sysex(10)));
    EXPECT_TRUE(out.Close()) << "closing a closed output is harmless";

    ASSERT_TRUE(out.Open("Synth"));
    EXPECT_FALSE(out.SendLong(Sysex(2049))) << "longer than the send buffer: refused";
    EXPECT_TRUE(m_handOffs.empty());

    m_backend.SetPresent("Synth", false);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_FALSE(out.SendShort(0x90));
    EXPECT_FALSE(out.SendLong(Sysex(10)));
    m_backend.SetPresent("Synth", true);
    EXPECT_FALSE(out.IsOpen()) << "an unplugged device stays dead until it is opened again";
    ASSERT_TRUE(out.Open("Synth"));
    EXPECT_TRUE(out.IsOpen());
    EXPECT_TRUE(out.SendLong(Sysex(10)));
}

TEST_F(MidiInOut, DevicesAreFoundByExactNameInDeviceOrder)
{
    m_backend.AddOutput("Twin", [this](const std::vector<BYTE>&) { m_handOffs.push_back({1, {1}}); });
    m_backend.AddOutput("Twin", [this](const std::vector<BYTE>&) { m_handOffs.push_back({2, {2}}); });
    m_backend.AddOutput("Hidden", nullptr);
    m_backend.SetCapsReadable("Hidden", false);
    EXPECT_EQ(ML::CMMOut::GetOutputNames(), (std::vector<std::string>{"Synth", "Twin", "Twin"}));

    ML::COut out;
    ASSERT_TRUE(out.Open("Twin"));
    ASSERT_TRUE(out.SendShort(0xFE));
    EXPECT_EQ(m_handOffs.back().tick, 1u) << "two devices of one name: the lower number opens";
    EXPECT_FALSE(out.Open("Hidden"));
    EXPECT_FALSE(out.Open("Twi"));
    EXPECT_FALSE(out.Open("Twin "));
}

TEST_F(MidiInOut, InputReportsEachReturnedBufferOnceSoLongSysexArrivesInPieces)
{
    CRecordingIn in;
    EXPECT_TRUE(in.Stop()) << "stopping an input that does not run does nothing";
    ASSERT_TRUE(in.Open("Synth"));
    ASSERT_TRUE(in.Start());
    std::vector<BYTE> big = Sysex(5000);
    big[2048] = 0x22;
    m_backend.Send("Synth", big);
    m_backend.Send("Synth", {0x90, 0x3C, 0x64});
    ASSERT_TRUE(in.WaitUntilHandled(10000));
    const std::vector<std::vector<BYTE>> seen = in.Take();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], std::vector<BYTE>(big.begin(), big.begin() + 2048));
    EXPECT_EQ(seen[1], std::vector<BYTE>(big.begin() + 2048, big.begin() + 4096));
    EXPECT_EQ(seen[2], std::vector<BYTE>(big.begin() + 4096, big.end()));
    EXPECT_EQ(seen[3], (std::vector<BYTE>{0x90, 0x3C, 0x64}));
    EXPECT_TRUE(in.Close());
    EXPECT_EQ(m_backend.GetOpenCount("Synth"), 0);
}

TEST_F(MidiInOut, InputOfAnAbsentOrRefusingDeviceDoesNotOpen)
{
    CRecordingIn in;
    EXPECT_FALSE(in.Open("Nothing"));
    m_backend.FailNextOpens("Synth", 1);
    EXPECT_FALSE(in.Open("Synth"));
    EXPECT_FALSE(in.IsOpen());
    EXPECT_TRUE(in.Open("Synth"));
    EXPECT_TRUE(in.IsOpen());
    m_backend.SetPresent("Synth", false);
    EXPECT_FALSE(in.IsOpen());
}

TEST_F(MidiInOut, AFailedStartLeavesTheInputStoppedSoItCanBeStartedLater)
{
    CRecordingIn in;
    // Not open: the buffers cannot be prepared, and every attempt says so.
    EXPECT_FALSE(in.Start());
    EXPECT_FALSE(in.IsRunning());
    EXPECT_FALSE(in.Start()) << "a second call must not report an input that does not run";
    EXPECT_FALSE(in.IsRunning());

    ASSERT_TRUE(in.Open("Synth"));
    ASSERT_TRUE(in.Start());
    m_backend.Send("Synth", {0x90, 0x3C, 0x64});
    ASSERT_TRUE(in.WaitUntilHandled(10000));
    EXPECT_EQ(in.Take(), (std::vector<std::vector<BYTE>>{{0x90, 0x3C, 0x64}}));
}
}
