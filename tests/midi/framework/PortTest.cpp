#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "midi/ml/CSmfReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/midi/ml/SmfFixtures.h"
#include "tests/midi/ml/HexBytes.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
CVeyValue* Value(const char* path)
{
    CVeyValue* value = CVeyBufferManager::GetInstance().FindValueOrNull(path);
    EXPECT_NE(value, nullptr) << path;
    return value;
}

int32_t Number(const char* path)
{
    CVeyValue* value = Value(path);
    return value ? value->GetNumber() : -999;
}

CVeyMidiIn& Input()
{
    return *CVeyMidiInputs::GetInstance().Find("in");
}

CVeyMidiOut& Output()
{
    return *CVeyMidiOutputs::GetInstance().Find("out");
}

class CRecordingViews : public IVeyViewUpdater
{
public:
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        std::string line;
        for (CVeyValue* value : changes)
            line += (line.empty() ? "" : " ") + value->GetPathName();
        updates.push_back(line);
        return true;
    }
    std::vector<std::string> updates;
};

const char* kDataSet = "F0 41 10 00 00 3C 12 10 00 00 00 41 42 6D F7";
}

// ---------------------------------------------------------------------------------------------
// Creation from the script

TEST_F(CPortTest, CreatesAndResolvesThePorts)
{
    CTraceCapture trace;
    ASSERT_TRUE(Create());
    EXPECT_EQ(trace.Text(), "");

    ASSERT_EQ(CVeyMidiInputs::GetInstance().size(), 1u);
    ASSERT_EQ(CVeyMidiOutputs::GetInstance().size(), 2u);
    CVeyMidiIn& in = Input();
    EXPECT_EQ(ToHex(in.GetModelId()), "00 00 3C");
    EXPECT_EQ(in.GetDeviceId(), 0x10);
    EXPECT_EQ(in.GetAddressSize(), 4);
    ASSERT_EQ(in.GetReceivers().size(), 1u);
    EXPECT_EQ(in.GetReceivers()[0]->GetName(), "fm");
    ASSERT_NE(in.GetMidiStruct(), nullptr);
    EXPECT_EQ(in.GetMidiStruct()->GetName(), "ms");
    EXPECT_EQ(in.GetThruOutput(), CVeyMidiOutputs::GetInstance().Find("thru"));

    EXPECT_EQ(in.GetReceivers()[0]->GetMidiOut(), &Output());
    EXPECT_EQ(in.GetMidiStruct()->GetMidiOut(), &Output());
    EXPECT_EQ(CVeyBufferManager::GetInstance().GetMidiMessageValueLinks().size(), 1u);
    EXPECT_EQ(CVeyMidiOutputs::GetInstance().Find("nope"), nullptr);
}

TEST_F(CPortTest, ScriptErrorsStopWithOneDiagnosticLine)
{
    using Edit = void (*)(CFixtureScript&);
    struct Case
    {
        const char* name;
        Edit edit;
        std::string trace;
    };
    const Case cases[] = {
        {"address size too large", [](CFixtureScript& s) { s.Input().Add("addressSize", "5"); },
         "MIDI in addressSize must be 1 through 4.\nUnable to convert element definitions  to MIDI input.\n"},
        {"address size zero", [](CFixtureScript& s) { s.Output().Add("addressSize", "0"); },
         "MIDI out addressSize must be 1 through 4.\nUnable to convert element definitions  to MIDI output.\n"},
        {"address size no number", [](CFixtureScript& s) { s.Input().Add("addressSize", "abc"); },
         "MIDI in addressSize is invalid. : abc\nUnable to convert element definitions  to MIDI input.\n"},
        {"name read after the bad value",
         [](CFixtureScript& s) {
             auto& attributes = s.Input().GetAttributes();
             attributes.insert(attributes.begin(), {"addressSize", "9"});
             s.Input().SetTypeName("midiType");
         },
         "MIDI  addressSize must be 1 through 4.\nUnable to convert element definitions midiType to MIDI input.\n"},
        {"model ID not hex", [](CFixtureScript& s) { s.Output().Add("modelID", "00 0G"); },
         "MIDI out modelID is invalid. : 00 0G\nUnable to convert element definitions  to MIDI output.\n"},
        {"model ID byte not 7-bit", [](CFixtureScript& s) { s.Output().Add("modelID", "00 80"); },
         "MIDI out modelID is invalid. : 00 80\nUnable to convert element definitions  to MIDI output.\n"},
        {"unknown attribute", [](CFixtureScript& s) { s.Input().Add("channel", "1"); },
         "Midi in unknown tags. : channel, \n"},
        {"input-only attribute on an output", [](CFixtureScript& s) { s.Output(1).Add("midiOutRef", "out"); },
         "Midi thru unknown tags. : midiOutRef, \n"},
        {"unknown root struct", [](CFixtureScript& s) { s.Input().Add("rootStruct", "xx"); },
         "Unable to convert root struct name xx to struct.\nUnable to create MIDI input in.\n"},
        {"node is no root struct", [](CFixtureScript& s) { s.Input().Add("rootStructRef", "fm.common"); },
         "Unable to convert root struct name fm.common to struct.\nUnable to create MIDI input in.\n"},
        {"unknown MIDI struct", [](CFixtureScript& s) { s.Input().Add("midiStructRef", "fm"); },
         "Unable to convert MIDI struct name fm to struct.\nUnable to create MIDI input in.\n"},
        {"unknown thru output", [](CFixtureScript& s) { s.Input().Add("midiOutRef", "nope"); },
         "Unable to convert MIDI output name nope to MIDI output.\nUnable to create MIDI input in.\n"},
        {"one output names a root twice", [](CFixtureScript& s) { s.Output().Add("rootStructRef", "fm"); },
         "Unable to associate root struct fm to plural MIDI outputs.\nUnable to create MIDI output out.\n"},
        {"two outputs name one root", [](CFixtureScript& s) { s.Output(1).Add("rootStructRef", "fm"); },
         "Unable to associate root struct fm to plural MIDI outputs.\nUnable to create MIDI output thru.\n"},
        {"unknown message value", [](CFixtureScript& s) { s.Output().Add("midiMessageValueRef", "fm.nope"); },
         "Unable to create MIDI message value operator fm.nope.\nUnable to create MIDI output out.\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CFixtureScript script;
        c.edit(script);
        CTraceCapture trace;
        EXPECT_FALSE(Create(script));
        EXPECT_EQ(trace.Text(), c.trace + "Unable to create MIDI manager.\n");
        TearDown();
    }
}

TEST_F(CPortTest, AttributeForms)
{
    CFixtureScript script;
    script.Input().Add("addressSize", "0x3");
    script.Output(1).GetAttributes() = {{"name", "thru"}, {"addressSize", "02"}};   // octal, no model ID
    ASSERT_TRUE(Create(script));
    EXPECT_EQ(Input().GetAddressSize(), 3);
    CVeyMidiOut& thru = *CVeyMidiOutputs::GetInstance().Find("thru");
    EXPECT_EQ(thru.GetAddressSize(), 2);
    EXPECT_TRUE(thru.GetModelId().empty());

    // Without a model ID the port sends 42h, and accepts no data set on receipt (no parsed model ID
    // is ever empty).
    CRecordingOutDevice device;
    thru.AttachDevice(&device);
    EXPECT_TRUE(thru.SendDt1(CVeyAddress(0x80), Hex("05")));
    EXPECT_EQ(device.sent, std::vector<std::string>{"F0 41 10 42 12 01 00 05 7A F7"});
}

// ---------------------------------------------------------------------------------------------
// Sending

TEST_F(CPortTest, BuildsDataRequestAndDataSetMessages)
{
    CreateWired();
    CVeyMidiOut& out = Output();
    EXPECT_TRUE(out.SendRq1(CVeyAddress(0x2000000), CVeyAddress(4)));
    EXPECT_TRUE(out.SendDt1(CVeyAddress(0x3E00000), Hex("41 42")));
    out.SetDeviceId(0x11);
    EXPECT_TRUE(out.SendDt1(CVeyAddress(0x3E00002), Hex("43 44")));
    const std::vector<std::string> expected = {
        "F0 41 10 00 00 3C 11 10 00 00 00 00 00 00 04 6C F7",
        "F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7",
        "F0 41 11 00 00 3C 12 1F 00 00 02 43 44 58 F7",
    };
    EXPECT_EQ(m_out.sent, expected);
    EXPECT_EQ(ToHex(out.GetLastMessage()), expected.back());
    EXPECT_TRUE(m_thru.sent.empty());
}

TEST_F(CPortTest, ChangedValueTransmitsItselfAsADataSet)
{
    CreateWired();
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(Value("fm.tone.pan"), 64);
    manager.Flush();
    manager.ClearChanges();
    EXPECT_EQ(m_out.sent, std::vector<std::string>{"F0 41 10 00 00 3C 12 10 00 01 01 40 2E F7"});
    EXPECT_TRUE(m_thru.sent.empty());
}

// A device's send may pump messages, and a value sent from there goes through the same port
// while the first message is still being handed round: neither may see the other's bytes.
TEST_F(CPortTest, DataSetSentWhileAnotherIsHandedRoundKeepsBothIntact)
{
    class CEchoingDevice : public CRecordingOutDevice
    {
    public:
        explicit CEchoingDevice(CVeyMidiOut& port) : CRecordingOutDevice("echo"), m_port(port) {}
        bool Send(const std::vector<uint8_t>& bytes) override
        {
            CRecordingOutDevice::Send(bytes);
            if (sent.size() == 1)
                m_port.SendDt1(CVeyAddress(0x3E00002), Hex("43 44 45 46"));
            return true;
        }

    private:
        CVeyMidiOut& m_port;
    };
    CreateWired();
    CVeyMidiOut& out = Output();
    out.DetachAllDevices();
    CEchoingDevice echo(out);
    out.AttachDevice(&echo);
    out.AttachDevice(&m_out);
    EXPECT_TRUE(out.SendDt1(CVeyAddress(0x3E00000), Hex("41 42")));
    const std::string outer = "F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7";
    const std::string inner = "F0 41 10 00 00 3C 12 1F 00 00 02 43 44 45 46 4D F7";
    EXPECT_EQ(echo.sent, (std::vector<std::string>{outer, inner}));
    EXPECT_EQ(m_out.sent, (std::vector<std::string>{inner, outer})) << "the later device still gets the first message whole";
    EXPECT_EQ(ToHex(out.GetLastMessage()), outer);
    EXPECT_TRUE(out.SendDt1(CVeyAddress(0x3E00000), Hex("41 42")));
    EXPECT_EQ(m_out.sent.back(), outer) << "the port's own buffer is whole again after a nested send";
}

TEST_F(CPortTest, SendToDevicesReportsWhetherEveryDeviceTookTheMessage)
{
    CreateWired();
    CVeyMidiOut& out = Output();
    CRecordingOutDevice second("second");
    out.AttachDevice(&second);
    out.AttachDevice(&second);   // listed once
    EXPECT_EQ(out.GetDevices().size(), 2u);

    EXPECT_TRUE(out.SendToDevices(Hex("B0 07 64")));
    second.accept = false;
    EXPECT_FALSE(out.SendToDevices(Hex("B0 07 65")));
    EXPECT_EQ(m_out.sent.size(), 2u) << "a refusing device does not keep the others from sending";
    EXPECT_EQ(second.sent.size(), 2u);

    out.DetachAllDevices();
    EXPECT_TRUE(out.SendToDevices(Hex("B0 07 66")));
    EXPECT_EQ(ToHex(out.GetLastMessage()), "B0 07 66") << "kept even without a device";
}

TEST_F(CPortTest, RefusesDataSetsThatAreNoValidSysex)
{
    CreateWired();
    CVeyMidiOut& out = Output();
    // An 8-bit character in a text value, or a device ID above 7Fh, would end the message early
    // on the wire: nothing is sent.
    EXPECT_FALSE(out.SendDt1(CVeyAddress(0x4000200), Hex("41 E9 42")));
    out.SetDeviceId(0x80);
    EXPECT_FALSE(out.SendRq1(CVeyAddress(0x4000200), CVeyAddress(1)));
    EXPECT_TRUE(m_out.sent.empty());
    EXPECT_TRUE(out.GetLastMessage().empty());
}

TEST_F(CPortTest, MessageValueShowsTheLastMessage)
{
    CreateWired();
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CVeyValue* message = Value("fm.display.message");
    ASSERT_EQ(message->GetSize(), 20);
    const auto& link = manager.GetMidiMessageValueLinks().at(0);
    struct Case
    {
        const char* name;
        const char* bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"6 bytes padded", "F0 41 10 42 12 F7", "F0 41 10 42 12 F7   "},
        {"7 bytes fit exactly", "F0 41 10 42 12 01 F7", "F0 41 10 42 12 01 F7"},
        {"8 bytes do not fit", "F0 41 10 42 12 01 02 F7", "F0 41 10 42 12 01 F7"},
        {"empty message", "", "F0 41 10 42 12 01 F7"},
        {"short message", "B0 07 64", "B0 07 64            "},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Output().SendToDevices(Hex(c.bytes));
        manager.ClearChanges();
        manager.Flush();
        EXPECT_EQ(message->GetText(), c.shown);
        EXPECT_EQ(link->GetText(), c.shown.substr(0, c.shown.find_last_not_of(' ') + 1));
    }
    // The change list holds the value only when the text changed.
    manager.ClearChanges();
    manager.Flush();
    EXPECT_TRUE(manager.GetChangeList().empty());
}

// ---------------------------------------------------------------------------------------------
// Receiving

TEST_F(CPortTest, ReceivePath)
{
    struct Case
    {
        const char* name;
        const char* bytes;
        std::vector<std::string> heard;
        bool thru;
        int32_t level = 0, pan = 0;
        int32_t cc7 = 0;
        bool viewsRefreshed = false;
    };
    const char* identityRequest = "F0 7E 10 06 01 F7";
    const Case cases[] = {
        {"data set", kDataSet, {std::string("dt1 ") + kDataSet}, true, 0x41, 0x42, 0, true},
        {"wrong checksum", "F0 41 10 00 00 3C 12 10 00 00 00 41 42 6C F7", {}, false},
        {"broadcast device ID", "F0 41 7F 00 00 3C 12 10 00 00 00 41 42 6D F7", {}, false},
        {"other device ID", "F0 41 11 00 00 3C 12 10 00 00 00 41 42 6D F7", {}, false},
        {"other model ID", "F0 41 10 00 00 3D 12 10 00 00 00 41 42 6D F7", {}, false},
        {"shorter model ID", "F0 41 10 00 3C 12 10 00 00 00 41 42 6D F7", {}, false},
        {"data request", "F0 41 10 00 00 3C 11 10 00 00 00 00 00 00 02 6E F7", {}, false},
        {"other command", "F0 41 10 00 00 3C 13 10 00 00 00 41 42 6D F7", {}, false},
        {"data set too short to parse", "F0 41 10 00 00 3C 12 10 00 F7", {}, false},
        {"data set with a status byte inside", "F0 41 10 00 00 3C 12 10 00 00 00 C1 42 6D F7", {}, false},
        {"data set outside the model", "F0 41 10 00 00 3C 12 20 00 00 00 41 42 5D F7",
         {"dt1 F0 41 10 00 00 3C 12 20 00 00 00 41 42 5D F7"}, true},
        {"identity request", identityRequest, {}, false},
        {"universal of three bytes", "F0 7E F7", {"long F0 7E F7"}, true},
        {"universal of five bytes", "F0 7E 10 06 F7", {"long F0 7E 10 06 F7"}, true},
        {"universal real-time", "F0 7F 7F 04 01 00 7F F7", {"long F0 7F 7F 04 01 00 7F F7"}, true},
        {"other maker", "F0 43 10 4C 00 00 7E 00 F7", {}, false},
        {"unterminated sysex", "F0 7E 10 06 01", {}, false},
        {"lone F0", "F0", {}, false},
        {"active sensing", "FE", {}, true},
        {"control change", "B0 07 64", {"short B0 07 64"}, true, 0, 0, 100, true},
        {"program change", "C0 05", {"short C0 05"}, true, 0, 0, 0, true},
        {"continuation piece of a long sysex", "41 42 43 44 F7", {}, false},
        {"data byte 80h", "B0 87 40", {}, false},
        {"channel message cut short", "B0 07", {}, false},
        {"channel message too long", "B0 07 40 41", {}, false},
        {"empty", "", {}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CreateWired();
        CRecordingViews views;
        CVeyBufferManager::GetInstance().SetViewUpdater(&views);
        Input().OnMessage(Hex(c.bytes));
        CVeyBufferManager::GetInstance().SetViewUpdater(nullptr);

        EXPECT_EQ(m_listener.heard, c.heard);
        EXPECT_EQ(m_thru.sent, c.thru ? std::vector<std::string>{ToHex(Hex(c.bytes))} : std::vector<std::string>{});
        EXPECT_EQ(Number("fm.common.level"), c.level);
        EXPECT_EQ(Number("fm.common.pan"), c.pan);
        EXPECT_EQ(Number("ms.ch[0].cc[7]"), c.cc7);
        EXPECT_EQ(!views.updates.empty(), c.viewsRefreshed);
        // Received data is never sent back, and the thru output's last message stays its own.
        EXPECT_TRUE(m_out.sent.empty());
        EXPECT_TRUE(CVeyMidiOutputs::GetInstance().Find("thru")->GetLastMessage().empty());
        EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());

        TearDown();
        m_thru.sent.clear();
        m_listener.heard.clear();
    }
}

TEST_F(CPortTest, ReceivedDataSetRefreshesTheViewsOfItsValues)
{
    CreateWired();
    CRecordingViews views;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetViewUpdater(&views);
    Input().OnMessage(Hex(kDataSet));
    manager.SetViewUpdater(nullptr);
    EXPECT_EQ(views.updates, std::vector<std::string>{"fm.common.level fm.common.pan"});
    EXPECT_TRUE(m_out.sent.empty());
    EXPECT_TRUE(manager.GetChangeList().empty());
}

TEST_F(CPortTest, PortWithAddressSizeThreeSplitsTheSameBytesOtherwise)
{
    CFixtureScript script;
    script.Input().Add("addressSize", "3");
    ASSERT_TRUE(Create(script));
    // 10 00 00 with data 00 41 42: three bytes from address 10 00 00 (packed 40000h).
    CRecordingListener listener;
    Input().SetListener(&listener);
    Input().OnMessage(Hex(kDataSet));
    EXPECT_EQ(listener.heard, std::vector<std::string>{std::string("dt1 ") + kDataSet});
    EXPECT_EQ(Number("fm.common.level"), 0);
}

TEST_F(CPortTest, PollDeviceAsksTheServingInputDevice)
{
    class CPolledDevice : public CVeyMidiInDevice
    {
    public:
        explicit CPolledDevice(int& polls) : CVeyMidiInDevice("polled"), m_polls(polls) {}
        void Poll() override { ++m_polls; }

    private:
        int& m_polls;
    };
    CreateWired();
    Input().PollDevice();   // no device: nothing
    int polls = 0;
    auto* device = new CPolledDevice(polls);
    CVeyMidiInDevices::GetInstance().push_back(device);
    Input().PollDevice();
    EXPECT_EQ(polls, 0) << "the device does not serve the port yet";
    device->AttachPort(&Input());
    device->AttachPort(&Input());
    EXPECT_EQ(device->GetPorts().size(), 1u);
    Input().PollDevice();
    EXPECT_EQ(polls, 1);

    device->Deliver(Hex("B0 07 64"));
    EXPECT_EQ(m_listener.heard, std::vector<std::string>{"short B0 07 64"});
    // DestroyPorts deletes the devices of the lists.
    TearDown();
    EXPECT_TRUE(CVeyMidiInDevices::GetInstance().empty());
}

TEST_F(CPortTest, DestroyPortsUnbindsTheStructs)
{
    CreateWired();
    CVeyStruct* fm = CVeyBufferManager::GetInstance().FindStructOrNull("fm");
    CVeyMidiManager::GetInstance().DestroyPorts();
    EXPECT_TRUE(CVeyMidiInputs::GetInstance().empty());
    EXPECT_TRUE(CVeyMidiOutputs::GetInstance().empty());
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().GetMidiGroup().IsEmpty());
    EXPECT_EQ(dynamic_cast<CVeyRootStruct*>(fm)->GetMidiOut(), nullptr);
    // A value change after the ports are gone goes nowhere, and the message value link is idle.
    CVeyBufferManager::GetInstance().SetValue(Value("fm.common.level"), 5);
    EXPECT_TRUE(CVeyBufferManager::GetInstance().Flush());
}

TEST_F(CPortTest, LibrarianPortsWithoutScript)
{
    CVeyMidiManager& manager = CVeyMidiManager::GetInstance();
    ASSERT_TRUE(manager.CreatePorts(2, 2, "Talvarix", Hex("00 00 3C")));
    EXPECT_FALSE(manager.CreatePorts(1, 1, "again", {}));
    ASSERT_EQ(CVeyMidiInputs::GetInstance().size(), 2u);
    CVeyMidiOut& second = CVeyMidiOutputs::GetInstance()[1];
    EXPECT_EQ(second.GetName(), "Talvarix");
    CRecordingOutDevice device;
    second.AttachDevice(&device);
    EXPECT_TRUE(second.SendRq1(CVeyAddress(0x6094000), CVeyAddress(0x4F)));
    EXPECT_EQ(device.sent, std::vector<std::string>{"F0 41 10 00 00 3C 11 30 25 00 00 00 00 00 4F 5C F7"});
    second.DetachAllDevices();
    manager.DestroyPorts();
}

// Random and mutated messages through the whole receive path: no crash, and nothing reaches the
// output that serves the model.
TEST_F(CPortTest, ReceiveFuzz)
{
    CreateWired();
    std::mt19937 random(4242);
    const std::vector<ML::Bytes> seeds = {Hex(kDataSet), Hex("F0 7E 10 06 01 F7"), Hex("B0 07 64"), Hex("93 3C 64"),
                                          Hex("F0 41 10 00 00 3C 11 10 00 00 00 00 00 00 02 6E F7")};
    for (int round = 0; round < 3000; ++round)
    {
        ML::Bytes bytes = seeds[random() % seeds.size()];
        const int mutations = static_cast<int>(random() % 4);
        for (int m = 0; m < mutations && !bytes.empty(); ++m)
        {
            const size_t at = random() % bytes.size();
            switch (random() % 3)
            {
            case 0: bytes[at] = static_cast<uint8_t>(random()); break;
            case 1: bytes.erase(bytes.begin() + static_cast<long>(at)); break;
            default: bytes.resize(at); break;
            }
        }
        Input().OnMessage(bytes);
    }
    EXPECT_TRUE(m_out.sent.empty());
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
}

// ---------------------------------------------------------------------------------------------
// From script text to the wire and back, with an export through the data-block file writer

namespace
{
const char* kScript = R"(<?xml version="1.0"?><script>
<structType><type>block</type><name>$name</name><address>$address</address>
<value><type>int1x7</type><name>level</name></value>
<value><type>int1x7</type><name>pan</name></value>
</structType>
<structType><type>root</type><name>$name</name><address>$address</address>
<struct><type>block</type><name>common</name><address>00 00 00 00</address></struct>
<struct><type>block</type><name>tone</name><address>00 00 01 00</address></struct>
</structType>
<struct><type>root</type><name>fm</name><address>10 00 00 00</address></struct>
<midiStruct><name>ms</name></midiStruct>
<midiIn><name>in</name><modelID>00 00 3C</modelID><rootStructRef>fm</rootStructRef><midiStructRef>ms</midiStructRef></midiIn>
<midiOut><name>out</name><modelID>00 00 3C</modelID><rootStructRef>fm</rootStructRef><midiStructRef>ms</midiStructRef></midiOut>
</script>)";

// Hands every system-exclusive event of a file to an input, as an import does.
class CImportReader : public ML::CSmfMemoryReader
{
public:
    CImportReader(const ML::Bytes& image, CVeyMidiIn& input) : ML::CSmfMemoryReader(image), m_input(input) {}

protected:
    bool OnSysex(uint32_t, const ML::CSysexView& message) override
    {
        m_input.OnMessage(message.ToBytes());
        return true;
    }

private:
    CVeyMidiIn& m_input;
};
}

TEST_F(CPortTest, ScriptExportAndImport)
{
    CVeyScriptDefinitions::GetInstance().Clear();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(kScript));
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiManager::RegisterManagerStep();
    CTraceCapture trace;
    ASSERT_TRUE(VeyCreateManagers());
    EXPECT_EQ(trace.Text(), "");

    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(Value("fm.common.level"), 0x41);
    manager.SetValue(Value("fm.tone.pan"), 0x42);
    manager.ClearChanges();

    // Export: the writer is the output's only device while the root transmits itself.
    CVeyDataSmfWriter writer;
    Output().AttachDevice(&writer);
    ASSERT_TRUE(writer.Begin());
    ASSERT_TRUE(writer.BeginTrack());
    ASSERT_TRUE(manager.FindStructOrNull("fm")->Transmit());
    ASSERT_TRUE(writer.EndTrack());
    ASSERT_GT(writer.End(), 0u);
    Output().DetachAllDevices();

    CRecordingSmfReader events(writer.GetImage());
    ASSERT_TRUE(events.Parse());
    const std::vector<std::string> expected = {
        "header 00 00 00 01 00 60",
        "track 0",
        "sysex 0 F0 41 10 00 00 3C 12 10 00 00 00 41 00 2F F7",
        "sysex 5 F0 41 10 00 00 3C 12 10 00 01 00 00 42 2D F7",
        "meta 0 2F",
    };
    EXPECT_EQ(events.events, expected);
    EXPECT_EQ(MidiCsvOf(writer.GetImage()).size(), 6u);

    // Import into a cleared model: the data sets arrive through the input as from the instrument.
    manager.SetValue(Value("fm.common.level"), 0);
    manager.SetValue(Value("fm.tone.pan"), 0);
    manager.ClearChanges();
    CImportReader import(writer.GetImage(), Input());
    ASSERT_TRUE(import.Parse());
    EXPECT_EQ(Number("fm.common.level"), 0x41);
    EXPECT_EQ(Number("fm.tone.pan"), 0x42);
}
