// Requests and writes through the whole MIDI layer, in virtual time: the script's ports, the
// devices made by the factory, the virtual backend and the simulated instrument behind it.
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/CVeyMidiSender.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "midi/ml/CLongMessage.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "platform/Messages.h"
#include "platform/VirtualMidiBackend.h"
#include "platform/Wnd.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/support/SimulatedInstrument.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr uint32_t kFm = 0x2000000;          // 10 00 00 00
constexpr uint32_t kTone = kFm + 0x80;       // 10 00 01 00

class CTickWindow final : public CWnd
{
public:
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR) override { ++ticks; }
};

class TransferEndToEnd : public CPortTest
{
protected:
    void SetUp() override
    {
        m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) {
            m_clock.After(delay, std::move(action));
        });
        m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
        m_backend.SetDoneAtWireRate("Talvarix", true);
        for (uint32_t i = 0; i < 0x200; ++i)
            m_instrument.Write(kFm + i, {static_cast<uint8_t>(i & 0x7F)});
        ASSERT_TRUE(Create());
        m_in = CVeyMidiInputs::GetInstance().Find("in");
        m_out = CVeyMidiOutputs::GetInstance().Find("out");
        CNormalMidiDeviceFactory& factory = CNormalMidiDeviceFactory::GetInstance();
        CVeyMidiInDevice* input = factory.CreateInputDevice("Talvarix");
        CVeyMidiInDevices::GetInstance().push_back(input);
        input->AttachPort(m_in);
        CVeyMidiOutDevice* output = factory.CreateOutputDevice("Talvarix");
        CVeyMidiOutDevices::GetInstance().push_back(output);
        m_out->AttachDevice(output);
        m_in->SetListener(&m_requester);
        m_requester.SetMidiIn(m_in);
        m_requester.SetMidiOut(m_out);
        m_sender.SetMidiOut(m_out);
        CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back({id, GetTickCount()}); });
        // As the setup's Load does.
        CVeyMidiSetupState::GetInstance().SetStateSilently(input->Open() && output->Open());
    }

    void TearDown() override
    {
        CVeyMidiRequester::SetMessageShower(nullptr);
        for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
            output.DetachAllDevices();
        CVeyMidiInDevices::GetInstance().DeleteAll();
        CVeyMidiOutDevices::GetInstance().DeleteAll();
        while (PumpAllMessages())
        {
        }
        CPortTest::TearDown();
    }

    static int32_t Number(const char* path)
    {
        CVeyValue* value = CVeyBufferManager::GetInstance().FindValueOrNull(path);
        return value ? value->GetNumber() : -1;
    }

    CVeyStruct& Fm() { return *CVeyBufferManager::GetInstance().FindStructOrNull("fm"); }

    // Ticks at which the instrument accepted a request for `address`.
    std::vector<DWORD> RequestTicks(uint32_t address) const
    {
        std::vector<DWORD> ticks;
        for (const auto& entry : m_instrument.GetAcceptedRequests())
            if (CSimulatedInstrument::AddressNumber(entry.bytes.data() + 7, 4) == address)
                ticks.push_back(entry.tick);
        return ticks;
    }

    struct CShown
    {
        int32_t id;
        DWORD tick;
    };

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CSimulatedInstrument m_instrument{{{kFm, 0x200, 0}}};
    CVeyMidiIn* m_in = nullptr;
    CVeyMidiOut* m_out = nullptr;
    CVeyMidiRequester m_requester;
    CVeyMidiSender m_sender;
    std::vector<CShown> m_shown;
};

TEST_F(TransferEndToEnd, ARequestAnsweredAtOnceUpdatesTheModel)
{
    EXPECT_TRUE(m_requester.RequestStruct(Fm(), nullptr));
    EXPECT_EQ(Number("fm.common.pan"), 1);
    EXPECT_EQ(Number("fm.tone.level"), 0x00);   // 10 00 01 00 is byte 80h of the memory
    EXPECT_EQ(Number("fm.tone.pan"), 0x01);
    EXPECT_EQ(m_instrument.GetAcceptedRequests().size(), 3u) << "one request per leaf";
    EXPECT_TRUE(m_shown.empty());
    EXPECT_EQ(m_requester.GetState(), CVeyMidiRequester::kIdle);
}

TEST_F(TransferEndToEnd, RepliesAreJudgedByAddressLengthAndTime)
{
    struct CCase
    {
        const char* name;
        std::function<void(CSimulatedInstrument&)> arrange;
        bool answered;
        size_t requests;   // RQ1s the instrument accepted
    };
    const CCase cases[] = {
        {"answered on the second attempt", [](CSimulatedInstrument& i) { i.DropNextReplies(1); }, true, 2},
        {"never answered", [](CSimulatedInstrument& i) { i.DropNextReplies(100); }, false, 2},
        {"one byte short", [](CSimulatedInstrument& i) { i.SetReplyFault(CSimulatedInstrument::EReplyFault::OneByteShort); }, false, 2},
        {"one byte long", [](CSimulatedInstrument& i) { i.SetReplyFault(CSimulatedInstrument::EReplyFault::OneByteLong); }, false, 2},
        {"bad checksum", [](CSimulatedInstrument& i) { i.SetReplyFault(CSimulatedInstrument::EReplyFault::BadChecksum); }, false, 2},
        {"split in two", [](CSimulatedInstrument& i) { i.SetReplyFault(CSimulatedInstrument::EReplyFault::SplitInTwo); }, false, 2},
        {"answered at 2999 ms", [](CSimulatedInstrument& i) { i.SetReplyDelay(2999); }, true, 1},
        {"answered just after the first time-out: the second attempt takes it", [](CSimulatedInstrument& i) { i.SetReplyDelay(3020); }, true, 2},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_instrument.ClearLogs();
        m_instrument.DropNextReplies(0);
        m_instrument.SetReplyDelay(0);
        m_instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::None);
        m_shown.clear();
        c.arrange(m_instrument);
        const DWORD start = GetTickCount();
        EXPECT_EQ(m_requester.Request(CVeyAddress(kTone), 2), c.answered);
        const std::vector<DWORD> ticks = RequestTicks(kTone);
        ASSERT_EQ(ticks.size(), c.requests);
        // Each time-out starts once the request has been handed over (10 ms for its 17 bytes).
        if (ticks.size() == 2)
        {
            EXPECT_GE(ticks[1] - ticks[0], 3000u) << "the second attempt follows the first's time-out";
            EXPECT_LE(ticks[1] - ticks[0], 3020u);
        }
        if (c.answered)
        {
            EXPECT_TRUE(m_shown.empty());
        }
        else
        {
            ASSERT_EQ(m_shown.size(), 1u) << "message 2, once, after the last attempt";
            EXPECT_EQ(m_shown[0].id, 2);
            EXPECT_GE(m_shown[0].tick - start, 6000u);
            EXPECT_LE(m_shown[0].tick - start, 6040u);
        }
        m_clock.Advance(5000);   // late answers of this case arrive before the next one
        while (PumpAllMessages())
        {
        }
    }
}

TEST_F(TransferEndToEnd, TheIdentityRequestWaitsForAReplyWithTheSameByte3)
{
    ML::CLongMessage identity;
    identity.assign({0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7});
    EXPECT_TRUE(m_requester.SendAndWait(identity));
    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent);
    EXPECT_FALSE(m_requester.SendAndWait(identity));
    EXPECT_EQ(m_shown.size(), 1u);
    ML::CLongMessage tooShort;
    tooShort.assign({0xF0, 0x7E, 0xF7});
    EXPECT_FALSE(m_requester.SendAndWait(tooShort)) << "no byte 3: no reply can match";
}

TEST_F(TransferEndToEnd, WithoutPortsOrAttemptsARequestFailsAtOnce)
{
    CVeyMidiRequester lonely;
    EXPECT_FALSE(lonely.Request(CVeyAddress(kFm), 2));
    EXPECT_TRUE(m_shown.empty()) << "no output: false without a message";
    m_requester.SetAttempts(0);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(m_requester.Request(CVeyAddress(kFm), 2));
    EXPECT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(GetTickCount(), start);
    EXPECT_TRUE(m_instrument.GetAcceptedRequests().empty()) << "nothing was sent";
}

TEST_F(TransferEndToEnd, ABurstOfDataSetsTakesWireTimePlus20MsEach)
{
    const Bytes block(112, 0x05);   // 125 bytes on the wire: 40 ms
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(m_sender.SendDt1(CVeyAddress(kFm), block));
    const auto received = m_instrument.GetAcceptedDataSets();
    ASSERT_EQ(received.size(), 5u);
    for (size_t i = 1; i < received.size(); ++i)
        EXPECT_EQ(received[i].tick - received[i - 1].tick, 60u);
    Bytes stored;
    ASSERT_TRUE(m_instrument.Read(kFm, 112, stored));
    EXPECT_EQ(stored, block);
}

TEST_F(TransferEndToEnd, WhileARequestWaitsMidiArrivesAndTimerTicksAreDropped)
{
    CTickWindow panel;
    ASSERT_TRUE(panel.CreateMessageWindow());
    panel.SetTimer(1, 50);
    m_instrument.SetReplyDelay(1000);
    // A knob turned on the instrument, and a controller, while the editor waits.
    m_clock.After(300, [this] { m_instrument.SendDataSet(kFm, {0x11, 0x22}); });
    m_clock.After(400, [this] { m_instrument.SendRaw({0xB0, 0x07, 0x64}); });
    EXPECT_TRUE(m_requester.Request(CVeyAddress(kTone), 2));
    EXPECT_EQ(Number("fm.common.level"), 0x11) << "the unasked data set reached the model during the wait";
    EXPECT_EQ(Number("fm.common.pan"), 0x22);
    EXPECT_EQ(panel.ticks, 0) << "twenty ticks fell due and were dropped";
    m_clock.Advance(50);
    FireDueTimers();
    PumpAllMessages();
    EXPECT_EQ(panel.ticks, 1);
}

TEST_F(TransferEndToEnd, AnUnplugDuringATransferFailsItAndSaysSo)
{
    // The instrument goes away after answering the first leaf.
    m_clock.After(1, [this] { m_instrument.SetPresent(false); });
    m_instrument.SetReplyDelay(0);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(m_requester.RequestStruct(Fm(), nullptr));
    EXPECT_LE(GetTickCount() - start, 6100u) << "two attempts of the failing leaf, nothing more";
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_FALSE(m_sender.SendDt1(CVeyAddress(kFm), {1, 2})) << "a write to a missing instrument fails";
    m_instrument.SetPresent(true);
    EXPECT_TRUE(m_sender.SendDt1(CVeyAddress(kFm), {1, 2})) << "plugged in again: reconnected on the next send";
}

TEST_F(TransferEndToEnd, ASysexLongerThanOneInputBufferArrivesWhole)
{
    Bytes data(2100, 0x00);
    data[0] = 0x31;          // fm.common.level
    data[0x81] = 0x32;       // fm.tone.pan
    m_instrument.SendRaw({0x40, 0x41, 0x42});   // stray data bytes first: ignored
    m_instrument.SendDataSet(kFm, data);
    for (int i = 0; i < 10 && Number("fm.tone.pan") != 0x32; ++i)
        m_in->PollDevice();
    EXPECT_EQ(Number("fm.common.level"), 0x31);
    EXPECT_EQ(Number("fm.tone.pan"), 0x32);
}
}
