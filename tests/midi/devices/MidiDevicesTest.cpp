// The devices over the virtual backend and the simulated instrument, in virtual time: delivery on
// the GUI thread in arrival order, the request wait's pump, sends and the connection state.
#include "midi/devices/CMidiInDevice.h"
#include "midi/devices/CMidiOutDevice.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "platform/Messages.h"
#include "platform/VirtualMidiBackend.h"
#include "platform/Wnd.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SimulatedInstrument.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
using Bytes = std::vector<uint8_t>;

class CRecordingPort final : public CVeyMidiIn
{
public:
    void OnMessage(const Bytes& bytes) override
    {
        EXPECT_EQ(std::this_thread::get_id(), m_guiThread) << "ports run on the GUI thread";
        messages.push_back(bytes);
    }
    std::vector<Bytes> messages;

private:
    std::thread::id m_guiThread = std::this_thread::get_id();
};

class CTickWindow final : public CWnd
{
public:
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR) override { ++ticks; }
};

// The setup block and two patches of the instrument's memory.
const std::vector<CSimulatedInstrument::CRange> kMemory = {
    {0x0200000, 0x40, 0x05}, {0x6000000, 0x200, 0x22}, {0x6004000, 0x200, 0x33}};

class MidiDevices : public ::testing::Test
{
protected:
    MidiDevices() : m_scoped(&m_backend), m_instrument(kMemory)
    {
        m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) {
            m_clock.After(delay, std::move(action));
        });
        m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
        GetMessageTable().Set(0, 7, "MIDI connect error.");
        GetMessageTable().Set(0, 8, "MIDI reconnected.");
        CVeyMidiSetupState::GetInstance().SetStateSilently(true);
    }

    ~MidiDevices() override
    {
        CVeyMidiInDevices::GetInstance().DeleteAll();
        CVeyMidiOutDevices::GetInstance().DeleteAll();
        while (PumpAllMessages())
        {
        }
    }

    CMidiInDevice* AddInput(const std::string& name)
    {
        auto* device = static_cast<CMidiInDevice*>(CNormalMidiDeviceFactory::GetInstance().CreateInputDevice(name));
        CVeyMidiInDevices::GetInstance().push_back(device);
        device->AttachPort(&m_port);
        return device;
    }

    CVeyMidiOutDevice* AddOutput(const std::string& name)
    {
        CVeyMidiOutDevice* device = CNormalMidiDeviceFactory::GetInstance().CreateOutputDevice(name);
        CVeyMidiOutDevices::GetInstance().push_back(device);
        return device;
    }

    // Pumps until the port has `count` messages or `limit` ms of virtual time have passed.
    bool PollUntil(CVeyMidiInDevice* device, size_t count, DWORD limit = 6000)
    {
        const DWORD start = GetTickCount();
        while (m_port.messages.size() < count)
        {
            if (TickDifference(GetTickCount(), start) >= static_cast<int32_t>(limit))
                return false;
            device->Poll();
        }
        return true;
    }

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped;
    CSimulatedInstrument m_instrument;
    CRecordingPort m_port;
};

TEST_F(MidiDevices, ReceivedMessagesReachThePortsOnTheGuiThreadInArrivalOrder)
{
    CMidiInDevice* input = AddInput("Talvarix");
    ASSERT_TRUE(input->Open());
    Bytes big(5000, 0x11);   // longer than one input buffer: arrives in three pieces
    big.front() = 0xF0;
    big.back() = 0xF7;
    const std::vector<Bytes> sent = {
        {0xB0, 0x07, 0x64}, {0xFE},             // active sensing stops at the device
        {0xF0, 0x41, 0x10, 0xF7}, {0xC0, 0x05}, big,
        {0x40, 0x41, 0x42},                     // stray data bytes: no status, dropped
        {0xF8}, {0x90, 0x3C, 0x7F}};
    for (const Bytes& bytes : sent)
        m_instrument.SendRaw(bytes);
    ASSERT_TRUE(PollUntil(input, 5));
    for (int i = 0; i < 20; ++i)
        input->Poll();
    const std::vector<Bytes> expected = {
        {0xB0, 0x07, 0x64}, {0xF0, 0x41, 0x10, 0xF7}, {0xC0, 0x05}, big, {0x90, 0x3C, 0x7F}};
    EXPECT_EQ(m_port.messages, expected);
}

TEST_F(MidiDevices, TheRequestWaitPumpDropsTimerTicksAndAnswersArriveWithinIt)
{
    CMidiInDevice* input = AddInput("Talvarix");
    CVeyMidiOutDevice* output = AddOutput("Talvarix");
    CTickWindow panel;
    ASSERT_TRUE(panel.CreateMessageWindow());
    panel.SetTimer(1, 50);

    m_instrument.SetReplyDelay(500);
    ASSERT_TRUE(output->Send(m_instrument.MakeRequest(0x0200000, 4)));
    EXPECT_TRUE(input->IsOpen()) << "the first send opened the factory-made input";
    ASSERT_TRUE(PollUntil(input, 1));
    EXPECT_EQ(m_port.messages[0], m_instrument.MakeDataSet(0x0200000, {5, 5, 5, 5}, 0x10));
    EXPECT_GE(GetTickCount() - 1000, 500u);
    EXPECT_EQ(panel.ticks, 0) << "ticks that fell due while waiting were dropped";
    m_clock.Advance(50);
    FireDueTimers();
    PumpAllMessages();
    EXPECT_EQ(panel.ticks, 1) << "and the timer goes on afterwards, one tick at a time";
}

TEST_F(MidiDevices, SendsAreRefusedWhenTheyCannotGoOutAndTheStateIsToldOnce)
{
    CTraceCapture trace;
    m_backend.AddOutput("Thru", nullptr);
    CVeyMidiOutDevice* instrument = AddOutput("Talvarix");
    CVeyMidiOutDevice* thru = AddOutput("Thru");
    const Bytes dataSet = m_instrument.MakeDataSet(0x0200000, {1, 2}, 0x10);

    EXPECT_TRUE(instrument->Send(dataSet));
    m_backend.SetPresent("Thru", false);
    EXPECT_TRUE(instrument->Send(dataSet)) << "the open device still sends";
    EXPECT_FALSE(thru->Send(dataSet)) << "an unplugged device's send is a failure";
    EXPECT_TRUE(instrument->Send(Bytes{0xB0, 0x07, 0x10}));
    EXPECT_FALSE(instrument->Send(Bytes{0x40, 0x41})) << "no status byte: nothing to send";
    EXPECT_EQ(trace.Text(), "MIDI connect error.") << "told once, not on every send";

    m_backend.SetPresent("Thru", true);
    EXPECT_TRUE(thru->Send(dataSet));
    EXPECT_EQ(trace.Text(), "MIDI connect error.MIDI reconnected.");
    EXPECT_EQ(m_instrument.GetAcceptedDataSets().size(), 2u);
}

TEST_F(MidiDevices, UnplugDuringATransferFailsTheSendAndNothingHangs)
{
    CMidiInDevice* input = AddInput("Talvarix");
    CVeyMidiOutDevice* output = AddOutput("Talvarix");
    m_instrument.SetReplyDelay(100);
    ASSERT_TRUE(output->Send(m_instrument.MakeRequest(0x6000000, 0x100)));
    m_instrument.SetPresent(false);
    EXPECT_FALSE(PollUntil(input, 1, 3000)) << "the answer never comes";
    EXPECT_FALSE(output->Send(m_instrument.MakeDataSet(0x6000000, {1}, 0x10)));
    EXPECT_FALSE(input->IsOpen());
    m_instrument.SetPresent(true);
    ASSERT_TRUE(output->Send(m_instrument.MakeRequest(0x6000000, 2)));
    EXPECT_TRUE(PollUntil(input, 1)) << "plugged in again: the next send reopens both devices";
}

TEST_F(MidiDevices, ABurstOfDataSetsIsPacedByWireTime)
{
    CVeyMidiOutDevice* output = AddOutput("Talvarix");
    const Bytes block(0x100, 0x01);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(output->Send(m_instrument.MakeDataSet(0x6000000, block, 0x10)));
    const auto received = m_instrument.GetAcceptedDataSets();
    ASSERT_EQ(received.size(), 4u);
    const DWORD wireTime = static_cast<DWORD>(received[0].bytes.size() * 1000 / 3125);   // 85 ms
    for (size_t i = 1; i < received.size(); ++i)
        EXPECT_EQ(received[i].tick - received[i - 1].tick, wireTime);
}

TEST_F(MidiDevices, DisplayNamesMarkDevicesThatAreNotOpen)
{
    CVeyMidiOutDevice* present = AddOutput("Talvarix");
    CVeyMidiOutDevice* absent = AddOutput("Port A");
    ASSERT_TRUE(present->Open());
    EXPECT_FALSE(absent->Open());
    const struct
    {
        std::string shown;
        std::string stripped;
    } cases[] = {
        {VeyMidiDisplayName(*present), "Talvarix"},
        {VeyMidiDisplayName(*absent), "Port A"},
        {"Port A", "Port A"},
        {"Port A (Unconnected) (Unconnected)", "Port A (Unconnected)"},
    };
    EXPECT_EQ(VeyMidiDisplayName(*absent), "Port A (Unconnected)");
    EXPECT_EQ(VeyMidiDisplayName(*present), "Talvarix");
    for (const auto& c : cases)
        EXPECT_EQ(VeyMidiStripDisplayName(c.shown), c.stripped) << c.shown;
    EXPECT_EQ(CNormalMidiDeviceFactory::GetInstance().GetOutputNames(), (std::vector<std::string>{"Talvarix"}));
}
}

namespace
{
// A MIDI system that cannot be reached.
class CUnreachableBackend final : public IMidiBackend
{
public:
    std::vector<CMidiPortEntry> GetInputPorts() override { return {}; }
    std::vector<CMidiPortEntry> GetOutputPorts() override { return {}; }
    MMRESULT OpenInput(UINT, IMidiInputSink*, std::unique_ptr<IMidiInputConnection>&) override { return MMSYSERR_NODRIVER; }
    MMRESULT OpenOutput(UINT, std::unique_ptr<IMidiOutputConnection>&) override { return MMSYSERR_NODRIVER; }
    std::string GetProblem() override { return "The ALSA sequencer cannot be reached."; }
};

TEST(MidiDeviceFactory, WithoutAMidiSystemTheFactoryListsNothingAndSaysWhy)
{
    CUnreachableBackend backend;
    CScopedMidiBackend scoped(&backend);
    CTraceCapture trace;
    CNormalMidiDeviceFactory& factory = CNormalMidiDeviceFactory::GetInstance();
    EXPECT_TRUE(factory.Open());
    EXPECT_EQ(trace.Text(), "The ALSA sequencer cannot be reached.\n");
    EXPECT_TRUE(factory.GetInputNames().empty());
    EXPECT_TRUE(factory.GetOutputNames().empty());
    std::unique_ptr<CVeyMidiOutDevice> output(factory.CreateOutputDevice("Talvarix"));
    EXPECT_FALSE(output->Open());
    EXPECT_FALSE(output->Send({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
}

// Devices left open in the device lists are closed by static destruction, after the platform's
// own objects made on first use: the process must still end cleanly (under the sanitizers, with
// no use after free), and as well when the devices were deleted first.
TEST(MidiDeviceShutDown, DevicesStillOpenAtExitCloseCleanlyInEitherOrder)
{
    for (const char* mode : {"open", "released"})
    {
        SCOPED_TRACE(mode);
        CChildProcess helper(Q9_EXIT_ORDER_HELPER, {mode});
        EXPECT_EQ(helper.ReadLine(), "opened");
        EXPECT_EQ(helper.Wait(), 0);
    }
}
}
