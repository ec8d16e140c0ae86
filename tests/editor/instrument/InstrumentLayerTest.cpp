// The editor's instrument layer against the simulated Talvarix on the virtual MIDI backend, in
// virtual time: binding the bundled script, reading and writing the whole image, the write
// handshake, Standard MIDI Files, faults of the instrument, the view state and the messages.
#include "editor/instrument/AReader.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CEditContext.h"
#include "editor/instrument/CLayerInstrumentLink.h"
#include "editor/instrument/CPatchClipboard.h"
#include "editor/instrument/InstrumentHandlers.h"
#include "editor/instrument/CWriter.h"
#include "editor/instrument/UserPatchAddresses.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SaveFault.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/Progress.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;
constexpr uint32_t kMsbAddress = CInstrumentRig::kMsbAddress;

void ForEachLeaf(CVeyStruct& s, const std::function<void(CVeyStruct&)>& visit)
{
    if (s.GetData())
        visit(s);
    else if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            ForEachLeaf(*child, visit);
}

std::string Hex(const Bytes& bytes, size_t from, size_t count)
{
    std::string text;
    char buffer[4];
    for (size_t i = from; i < from + count && i < bytes.size(); ++i)
    {
        std::snprintf(buffer, sizeof buffer, "%s%02X", text.empty() ? "" : " ", bytes[i]);
        text += buffer;
    }
    return text;
}

std::string AddressText(uint32_t packed)
{
    return Hex(CSimulatedInstrument::AddressBytes(packed, 4), 0, 4);
}

// A format 0 file of one track: the system-exclusive events at delta 0, then a text event that
// pads the file to `size` bytes when it is given, then the end of the track.
std::string MakeSmf(const std::vector<Bytes>& events, size_t size = 0)
{
    Bytes track;
    for (const Bytes& event : events)
    {
        track.push_back(0x00);
        track.push_back(0xF0);
        track.push_back(BYTE(event.size() - 1));   // short events: one length byte
        track.insert(track.end(), event.begin() + 1, event.end());
    }
    const size_t fixed = 14 + 8 + track.size() + 5 + 4;   // header, track header, text head, end
    if (size > fixed)
    {
        const size_t text = size - fixed;
        track.insert(track.end(), {0x00, 0xFF, 0x01, BYTE(0x80 | (text >> 7)), BYTE(text & 0x7F)});
        track.insert(track.end(), text, 'x');
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(BYTE(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    return std::string(file.begin(), file.end());
}

class CRecordingProgress : public GT::IProgress
{
public:
    void Begin() override { ++begun; }
    void End() override { ++ended; }
    void SetRange(int32_t value) override { range = value; }
    int32_t GetRange() const override { return range; }
    void SetPos(int32_t value) override { pos = value; }
    int32_t GetPos() const override { return pos; }
    void SetMessage(const std::string& message) override
    {
        messages.push_back(message);
        if (onMessage)
            onMessage();
    }

    std::function<void()> onMessage;
    int begun = 0;
    int ended = 0;
    int32_t range = 0;
    int32_t pos = 0;
    std::vector<std::string> messages;
};
}

class InstrumentLayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_accessor.SetProgress(&m_progress);
        CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back(id); });
        ASSERT_TRUE(m_rig.SetUp(m_folder.Path() + "/ViewState.txt")) << m_trace.Text();
        m_accessor.SetProgress(&m_progress);
    }

    void TearDown() override
    {
        CVeyMidiRequester::SetMessageShower(nullptr);
        m_rig.TearDown();
    }

    CVeyStruct& Struct(const char* path) { return *CVeyBufferManager::GetInstance().FindStructOrNull(path); }
    CVeyValue& Value(const char* path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }

    // "address size" of every data request the instrument accepted, in order.
    std::vector<std::string> Requests() const
    {
        std::vector<std::string> requests;
        for (const auto& entry : m_instrument.GetAcceptedRequests())
            requests.push_back(Hex(entry.bytes, 7, 4) + " / " + Hex(entry.bytes, 11, 4));
        return requests;
    }

    // The requests a read of the struct makes: one per block, its absolute range.
    static std::vector<std::string> BlockRequests(CVeyStruct& s, int32_t offset = 0)
    {
        std::vector<std::string> requests;
        ForEachLeaf(s, [&](CVeyStruct& leaf) {
            const CVeyAddressRange range = leaf.GetAbsoluteAddressRange();
            requests.push_back(AddressText(uint32_t(range.begin + offset)) + " / " + AddressText(uint32_t(range.GetSize())));
        });
        return requests;
    }

    // Puts a recognisable name into the instrument's temporary patch.
    void NameInstrumentPatch(const std::string& name)
    {
        CVeyValue& nameValue = Value("fm.pat.common.patchName");
        const uint32_t address = uint32_t(nameValue.GetAbsoluteAddressRange().begin);
        ASSERT_TRUE(m_instrument.Write(address, Bytes(name.begin(), name.end())));
    }

    CTraceCapture m_trace;
    CInstrumentRig m_rig;
    CVirtualClock& m_clock = m_rig.clock;
    CSimulatedTalvarix& m_instrument = m_rig.instrument;
    CTempDir m_folder;
    CRecordingProgress m_progress;
    std::vector<int32_t> m_shown;
    CBufferAccessor& m_accessor = m_rig.accessor;
};

TEST_F(InstrumentLayerTest, BindsEveryPathOfTheBundledScriptAndSetsUpTheImage)
{
    EXPECT_TRUE(m_accessor.GetMissingPaths().empty());
    const CBufferAccessor::CBindings& b = m_accessor.Bound();
    for (int tone = 0; tone < 4; ++tone)
        EXPECT_EQ(b.tones[tone], &Struct(("fm.pat.tone[" + std::to_string(tone) + "]").c_str()));
    for (int channel = 0; channel < 16; ++channel)
        EXPECT_EQ(b.channelNotes[channel], &Value(("ms.ch[" + std::to_string(channel) + "].note").c_str()));
    EXPECT_EQ(b.writeComplete, &Value("cm.command.writeComplete"));
    EXPECT_EQ(Value("vs.control.moduleType").GetNumber(), 0);
    EXPECT_FALSE(m_accessor.GetRootStruct()->IsModified()) << "the initial data is no change of the user's";
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());

    // User patch n is entity (0, 0, n / 32, n % 32) with program (87, n / 128, n % 128).
    CVeyEntityManager& entities = m_accessor.GetEntityManager();
    EXPECT_EQ(entities.ToEntityId(CVeyProgramId(87, 1, 127)), CVeyEntityId(0, 0, 7, 31));
    EXPECT_EQ(entities.ToProgramId(CVeyEntityId(0, 0, 4, 0)), CVeyProgramId(87, 1, 0));
    EXPECT_EQ(entities.ToEntityId(CVeyProgramId(0, 0, 5)), CVeyEntityId(2, 1, 0, 5));
    // The MFX types and the internal waves have their names.
    CVeyEntityManager::IBank* types = entities.FindBank(CVeyEntityId(2, 1, 0, 0));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->GetInformationCount(), 79);
    EXPECT_EQ(types->GetInformation(5).GetName(), "SUPER FILTER");
    EXPECT_EQ(types->GetInformation(78).GetCategory(), 10);
    CVeyEntityManager::IBank* waves = entities.FindBank(CVeyEntityId(1, 1, 0, 0));
    ASSERT_NE(waves, nullptr);
    ASSERT_EQ(m_accessor.GetWaveCounts(1).size(), 1u);
    EXPECT_EQ(waves->GetInformationCount(), m_accessor.GetWaveCounts(1)[0] + 1);
    EXPECT_EQ(waves->GetInformation(0).GetName(), "Off");
    EXPECT_EQ(waves->GetInformation(1).GetName(), "Grand Piano pp");
    EXPECT_EQ(entities.ToEntityId(CVeyProgramId(81, 64, 1)), CVeyEntityId(1, 1, 0, 1));
    EXPECT_EQ(m_accessor.GetPanelBanks().size(), 1u);
    EXPECT_EQ(m_accessor.GetPanelBanks().at(0), 8);
}

TEST_F(InstrumentLayerTest, AScriptWithoutAPathFailsTheSetUpAndNamesThePath)
{
    std::ifstream in(CBundledScript::Folder() + "Script.xml", std::ios::binary);
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string name = "<name>writeComplete</name>";
    const size_t at = script.find(name);
    ASSERT_NE(at, std::string::npos);
    script.replace(at, name.size(), "<name>writeFinished</name>");
    const std::string path = m_folder.Path() + "/Script.xml";
    std::ofstream(path, std::ios::binary) << script;

    TearDown();
    m_rig.script.reset();
    CBundledScript damaged;
    ASSERT_TRUE(damaged.ReadFile(path)) << m_trace.Text();
    m_trace = CTraceCapture();
    EXPECT_FALSE(m_accessor.Initialize());
    EXPECT_EQ(m_accessor.GetMissingPaths(), std::vector<std::string>{"cm.command.writeComplete"});
    EXPECT_NE(m_trace.Text().find("cm.command.writeComplete"), std::string::npos) << m_trace.Text();
}

TEST_F(InstrumentLayerTest, ReadAllAsksForIdentityBankSelectThenSetupSystemAndPatchBlockByBlock)
{
    NameInstrumentPatch("From synth 6");
    m_progress.messages.clear();
    // A read started while one runs (from the progress window's pump) ends at once.
    std::vector<bool> nested;
    m_progress.onMessage = [this, &nested] {
        const size_t before = m_instrument.GetReceived().size();
        nested.push_back(m_accessor.ReadAll());
        EXPECT_EQ(m_instrument.GetReceived().size(), before);
    };
    ASSERT_TRUE(m_accessor.ReadAll()) << ::testing::PrintToString(m_shown);
    m_progress.onMessage = nullptr;
    EXPECT_FALSE(nested.empty());
    EXPECT_EQ(std::count(nested.begin(), nested.end(), true), 0);
    EXPECT_TRUE(m_shown.empty());
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "From synth 6");
    EXPECT_EQ(Value("fm.setup.kbdPatchProgramNumber").GetNumber(), 5);

    // The wire: Identity Request first, then MSB and LSB, then every block in tree order.
    const std::vector<CSimulatedInstrument::CLogEntry> received = m_instrument.GetReceived();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().bytes, (Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}));
    std::vector<std::string> expected = {AddressText(kMsbAddress) + " / 00 00 00 01", AddressText(kMsbAddress + 1) + " / 00 00 00 01"};
    for (const char* group : {"fm.setup", "fm.system", "fm.pat"})
        for (const std::string& request : BlockRequests(Struct(group)))
            expected.push_back(request);
    EXPECT_EQ(Requests(), expected);
    // Every request carries its checksum.
    for (const auto& entry : m_instrument.GetAcceptedRequests())
        EXPECT_EQ(entry.bytes[15], CSimulatedInstrument::Checksum(entry.bytes.data() + 7, 8));
    EXPECT_EQ(m_progress.messages.back(), "Now, getting data.");
    EXPECT_EQ(m_progress.begun, 1);
    EXPECT_EQ(m_progress.ended, 1);
}

TEST_F(InstrumentLayerTest, BlockCountsFollowWhatAReadOfTheMaskRequests)
{
    const int32_t setup = CBufferCounter::CountBlocks(&Struct("fm.setup"));
    const int32_t system = CBufferCounter::CountBlocks(&Struct("fm.system"));
    const int32_t patch = CBufferCounter::CountBlocks(&Struct("fm.pat"));
    ASSERT_GT(setup, 0);
    ASSERT_GT(patch, 1);
    // Bit 8 is the writer's and counts nothing; the patch counts only while it is a user patch.
    struct SCase
    {
        uint8_t mask;
        int32_t userPatch;
        int32_t otherProgram;
    };
    const SCase cases[] = {
        {0, 0, 0},
        {1, setup, setup},
        {2, system, system},
        {4, patch, 0},
        {7, setup + system + patch, setup + system},
        {8, 0, 0},
        {15, setup + system + patch, setup + system},
    };
    CVeyValue& msb = Value("fm.setup.kbdPatchBankSelectMsb");
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(int(c.mask));
        msb.SetNumber(87);
        ASSERT_TRUE(m_accessor.GetEditContext().IsCurrentUserPatch());
        EXPECT_EQ(CBufferCounter::CountGroups(m_accessor.Bound(), m_accessor.GetEditContext(), c.mask), c.userPatch);
        msb.SetNumber(81);
        ASSERT_FALSE(m_accessor.GetEditContext().IsCurrentUserPatch());
        EXPECT_EQ(CBufferCounter::CountGroups(m_accessor.Bound(), m_accessor.GetEditContext(), c.mask), c.otherProgram);
    }
    msb.SetNumber(87);
}

TEST_F(InstrumentLayerTest, FaultsOfTheInstrumentFailTheReadWithItsMessageAndLeaveTheImageAsItWas)
{
    struct SCase
    {
        const char* name;
        std::function<void(CSimulatedTalvarix&)> arrange;
        bool succeeds;
        int32_t message;
    };
    using Fault = CSimulatedInstrument::EReplyFault;
    const SCase cases[] = {
        {"silent", [](CSimulatedTalvarix& i) { i.SetIdentity(CSimulatedInstrument::EIdentity::Silent); }, false, 2},
        {"another model", [](CSimulatedTalvarix& i) { i.SetIdentity(CSimulatedInstrument::EIdentity::WrongFamily); }, false, 2},
        {"identity one byte short", [](CSimulatedTalvarix& i) { i.SetIdentity(CSimulatedInstrument::EIdentity::Short); }, false, 2},
        {"bad checksum", [](CSimulatedTalvarix& i) { i.SetReplyFault(Fault::BadChecksum); }, false, 2},
        {"one byte short", [](CSimulatedTalvarix& i) { i.SetReplyFault(Fault::OneByteShort); }, false, 2},
        {"wrong device", [](CSimulatedTalvarix& i) { i.SetReplyFault(Fault::WrongDeviceId); }, false, 2},
        {"unplugged", [](CSimulatedTalvarix& i) { i.SetPresent(false); }, false, 2},
        // Pulled out after the setup was read, while the patch is being read.
        {"unplugged mid-transfer", [this](CSimulatedTalvarix& i) { m_clock.After(60, [&i] { i.SetPresent(false); }); }, false, 2},
        {"not a user patch", [](CSimulatedTalvarix& i) { i.Receive(i.MakeDataSet(kMsbAddress, {81, 64, 3}, 0x10)); }, false, 16},
        // A reply later than the first attempt's 3000 ms is taken by the second attempt.
        {"late", [](CSimulatedTalvarix& i) { i.SetReplyDelay(3500); }, true, 0},
        {"duplicate replies", [](CSimulatedTalvarix& i) { i.SetReplyFault(Fault::Duplicated); }, true, 0},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_shown.clear();
        m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Normal);
        m_instrument.SetReplyFault(Fault::None);
        m_instrument.SetReplyDelay(0);
        m_instrument.SetPresent(true);
        m_instrument.Receive(m_instrument.MakeDataSet(kMsbAddress, {87, 0, 5}, 0x10));
        NameInstrumentPatch("Instrument  ");
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        buffers.SetText(&Value("fm.pat.common.patchName"), "Edited      ");
        buffers.SetValue(&Value("fm.setup.kbdPatchProgramNumber"), 9);
        buffers.ClearChanges();
        m_accessor.GetRootStruct()->SetModified(true);
        m_instrument.ClearLogs();
        c.arrange(m_instrument);

        const DWORD start = m_clock.GetTickCount();
        EXPECT_EQ(m_accessor.ReadAll(), c.succeeds);
        if (std::string(c.name) == "unplugged mid-transfer")
        {
            EXPECT_GE(m_instrument.GetAcceptedRequests().size(), 4u) << "the setup and system were read";
        }
        EXPECT_LT(m_clock.GetTickCount() - start, 60000u) << "no hang";
        if (c.succeeds)
        {
            EXPECT_TRUE(m_shown.empty());
            EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Instrument  ");
            continue;
        }
        EXPECT_EQ(m_shown, std::vector<int32_t>{c.message});
        EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Edited      ");
        EXPECT_EQ(Value("fm.setup.kbdPatchProgramNumber").GetNumber(), 9);
        EXPECT_TRUE(m_accessor.GetRootStruct()->IsModified());
        EXPECT_FALSE(m_accessor.IsTransferring());
        EXPECT_EQ(m_progress.begun, m_progress.ended);
    }
}

// READ and SYNC with no instrument answering: the wait cursor shows through every attempt, and
// is gone when the failure is told and afterwards.
TEST_F(InstrumentLayerTest, ASilentInstrumentShowsTheWaitUntilTheFailureIsTold)
{
    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent);
    const std::pair<const char*, std::function<bool()>> transfers[] = {
        {"read", [this] { return m_accessor.ReadAll(); }},
        {"sync", [this] { return m_accessor.WriteAllChecked(); }},
    };
    for (const auto& [name, transfer] : transfers)
    {
        SCOPED_TRACE(name);
        std::vector<int> whileWaiting;
        std::vector<int> whenTold;
        CVeyMidiRequester::SetMessageShower([&](int32_t id) {
            m_shown.push_back(id);
            whenTold.push_back(GetProgramCursor());
        });
        for (DWORD after : {500u, 4000u})
            m_clock.After(after, [&] { whileWaiting.push_back(GetProgramCursor()); });
        EXPECT_FALSE(transfer());
        EXPECT_EQ(whileWaiting, (std::vector<int>{IDC_WAIT, IDC_WAIT})) << "both attempts show the wait";
        EXPECT_EQ(whenTold, std::vector<int>{-1});
        EXPECT_EQ(GetProgramCursor(), -1);
    }
    CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back(id); });
}

TEST_F(InstrumentLayerTest, WriteAllSendsSetupSystemAndPatchAsDataSets20MsApart)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetText(&Value("fm.pat.common.patchName"), "Document    ");
    buffers.ClearChanges();
    // Values waiting to be sent stay waiting, in their order.
    const CVeyValueList pending = {&Value("fm.pat.tone[1].toneLevel"), &Value("fm.pat.tone[0].toneLevel"),
                                   &Value("fm.setup.kbdPatchProgramNumber")};
    buffers.GetChangeList() = pending;
    ASSERT_TRUE(m_accessor.WriteAllChecked());
    EXPECT_EQ(buffers.GetChangeList(), pending);
    buffers.ClearChanges();

    std::vector<std::string> expected;
    for (const char* group : {"fm.setup", "fm.system", "fm.pat"})
        ForEachLeaf(Struct(group), [&](CVeyStruct& leaf) { expected.push_back(AddressText(uint32_t(leaf.GetAbsoluteAddressRange().begin))); });
    const auto dataSets = m_instrument.GetAcceptedDataSets();
    std::vector<std::string> addresses;
    for (const auto& entry : dataSets)
        addresses.push_back(Hex(entry.bytes, 7, 4));
    EXPECT_EQ(addresses, expected);
    for (size_t i = 1; i < dataSets.size(); ++i)
        EXPECT_GE(dataSets[i].tick - dataSets[i - 1].tick, 20u) << i;
    for (const char* group : {"fm.setup", "fm.system", "fm.pat"})
        ForEachLeaf(Struct(group), [&](CVeyStruct& leaf) {
            Bytes stored;
            ASSERT_TRUE(m_instrument.Read(uint32_t(leaf.GetAbsoluteAddressRange().begin), uint32_t(leaf.GetData()->size()), stored));
            EXPECT_EQ(stored, *leaf.GetData()) << leaf.GetPathName();
        });
    EXPECT_EQ(m_progress.messages.back(), "Now, synchronizing data.");

    // Without an instrument the checked write stops at the identity check, sending no data.
    m_instrument.ClearLogs();
    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent);
    EXPECT_FALSE(m_accessor.WriteAllChecked());
    EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
    EXPECT_EQ(m_shown, std::vector<int32_t>{2});
}

TEST_F(InstrumentLayerTest, WritePatchRunsTheHandshakeAndStoresThePatchInTheUserSlot)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetText(&Value("fm.pat.common.patchName"), "Slot 256    ");
    buffers.ClearChanges();
    AReader& reader = *m_accessor.GetReader();
    EXPECT_TRUE(reader.RequestWrite());
    EXPECT_TRUE(reader.WasWriteCompleted());
    EXPECT_EQ(m_instrument.GetWriteCount(), 1);
    EXPECT_EQ(reader.GetTimeout(), CVeyMidiRequester::kDefaultTimeout);
    EXPECT_EQ(reader.GetAttempts(), CVeyMidiRequester::kDefaultAttempts);

    m_instrument.ClearLogs();
    ASSERT_TRUE(m_accessor.GetWriter()->WritePatchTo(CVeyEntityId(0, 0, 7, 31)));
    std::vector<std::string> addresses;
    for (const auto& entry : m_instrument.GetAcceptedDataSets())
        addresses.push_back(Hex(entry.bytes, 7, 4));
    const int32_t offset = UserPatchArea::SlotAddress(255) - Struct("fm.pat").GetAbsoluteAddressRange().begin;
    std::vector<std::string> expected;
    ForEachLeaf(Struct("fm.pat"), [&](CVeyStruct& leaf) { expected.push_back(AddressText(uint32_t(leaf.GetAbsoluteAddressRange().begin + offset))); });
    ASSERT_GE(addresses.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(addresses.begin(), addresses.begin() + long(expected.size())), expected);
    EXPECT_EQ(expected.front(), "31 7F 00 00");
    Bytes stored;
    ASSERT_TRUE(m_instrument.Read(uint32_t(UserPatchArea::SlotAddress(255)), 12, stored));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "Slot 256    ");
    // The instrument now plays the written slot, and its name is known.
    EXPECT_EQ(Value("fm.setup.kbdPatchBankSelectLsb").GetNumber(), 1);
    EXPECT_EQ(Value("fm.setup.kbdPatchProgramNumber").GetNumber(), 127);
    EXPECT_EQ(m_accessor.GetEntityManager().FindBank(CVeyEntityId(0, 0, 7, 31))->GetInformation(31).GetName(), "Slot 256    ");

    // Refused outside the user patches: nothing sent.
    m_instrument.ClearLogs();
    EXPECT_FALSE(m_accessor.GetWriter()->WritePatchTo(CVeyEntityId(0, 0, 8, 0)));
    EXPECT_FALSE(m_accessor.GetWriter()->WritePatchTo(CVeyEntityId(0, 1, 0, 0)));
    EXPECT_FALSE(m_accessor.GetWriter()->WritePatchTo(CVeyEntityId(0, 0, 0, 40))) << "number 41 of bank 1 is no slot";
    EXPECT_TRUE(m_instrument.GetReceived().empty());

    // An instrument that never completes: message 2 after the 10 s wait, and no write.
    m_instrument.SetPresent(false);
    const DWORD start = m_clock.GetTickCount();
    EXPECT_TRUE(reader.RequestWrite());
    EXPECT_FALSE(reader.WasWriteCompleted());
    EXPECT_GE(m_clock.GetTickCount() - start, 10000u);
    EXPECT_EQ(m_shown, std::vector<int32_t>{2});
}

TEST_F(InstrumentLayerTest, SelectingAProgramSendsItWaitsThenChecksAndReadsThePatch)
{
    const std::string name = "Slot 36     ";
    ASSERT_TRUE(m_instrument.Write(uint32_t(UserPatchArea::SlotAddress(35)), Bytes(name.begin(), name.end())));
    CEditContext& context = m_accessor.GetEditContext();
    ASSERT_TRUE(context.SelectProgram(CVeyEntityId(0, 0, 1, 3), true, true)) << ::testing::PrintToString(m_shown);
    EXPECT_EQ(m_instrument.GetCurrentSlot(), 35);
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), name);

    const auto dataSets = m_instrument.GetAcceptedDataSets();
    ASSERT_EQ(dataSets.size(), 3u);
    std::vector<std::string> sent;
    for (const auto& entry : dataSets)
        sent.push_back(Hex(entry.bytes, 7, 5));
    EXPECT_EQ(sent, (std::vector<std::string>{AddressText(kMsbAddress) + " 57", AddressText(kMsbAddress + 1) + " 00",
                                               AddressText(kMsbAddress + 2) + " 23"}));
    const auto requests = m_instrument.GetAcceptedRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_GE(requests.front().tick - dataSets.back().tick, 50u) << "the instrument is given time to switch";
    std::vector<std::string> expected = {AddressText(kMsbAddress) + " / 00 00 00 01", AddressText(kMsbAddress + 1) + " / 00 00 00 01"};
    for (const std::string& request : BlockRequests(Struct("fm.pat")))
        expected.push_back(request);
    EXPECT_EQ(Requests(), expected);

    // An entity no bank holds selects nothing and sends nothing.
    m_instrument.ClearLogs();
    EXPECT_FALSE(context.SelectProgram(CVeyEntityId(5, 5, 5, 5), true, true));
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    EXPECT_EQ(Value("fm.setup.kbdPatchProgramNumber").GetNumber(), 35);
}

TEST_F(InstrumentLayerTest, UserPatchNamesAreReadQuietlyIntoTheEntityBanks)
{
    const std::string name = "Bank 2 no 4";
    ASSERT_TRUE(m_instrument.Write(uint32_t(UserPatchArea::SlotAddress(35)), Bytes(name.begin(), name.end())));
    AReader& reader = *m_accessor.GetReader();
    EXPECT_TRUE(reader.RequestUserPatchNames(1, 3, 2));
    EXPECT_EQ(Requests(), (std::vector<std::string>{"30 23 00 00 / 00 00 00 0C", "30 24 00 00 / 00 00 00 0C"}));
    CVeyEntityManager::IBank* bank = m_accessor.GetEntityManager().FindBank(CVeyEntityId(0, 0, 1, 3));
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->GetInformation(3).GetName(), "Bank 2 no 4 ");
    m_instrument.ClearLogs();
    EXPECT_TRUE(reader.RequestUserPatchNames(0, 0, 0));
    EXPECT_TRUE(reader.RequestUserPatchNames(9, 0, 4));
    EXPECT_FALSE(reader.RequestUserPatchNames(0, -1, 4));
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    // Names stay inside their bank of 32.
    m_instrument.ClearLogs();
    EXPECT_TRUE(reader.RequestUserPatchNames(7, 30, 5));
    EXPECT_EQ(Requests(), (std::vector<std::string>{"31 7E 00 00 / 00 00 00 0C", "31 7F 00 00 / 00 00 00 0C"}));
    EXPECT_FALSE(reader.RequestUserPatchNames(7, 32, 1));

    // A data set that only lies in the user area, or looks like a completed write, answers no
    // other request: the lost answer is asked for again.
    for (const Bytes& stray : {Bytes(12, 'x'), Bytes{0, 0, 0, 0x5A, 0x00, 0x7F, 0}})
    {
        m_instrument.ClearLogs();
        m_instrument.DropNextReplies(1);
        const uint32_t address = stray.size() == 12 ? uint32_t(UserPatchArea::SlotAddress(0))
                                                    : uint32_t(Value("cm.command.writeComplete").GetAbsoluteAddressRange().begin);
        m_clock.After(10, [this, address, stray] { m_instrument.SendDataSet(address, stray); });
        EXPECT_TRUE(reader.RequestValue(Value("fm.setup.kbdPatchBankSelectMsb"), nullptr));
        EXPECT_EQ(m_instrument.GetAcceptedRequests().size(), 2u);
    }

    // The current patch's name is asked for without waiting; a read of it can be reserved.
    m_instrument.ClearLogs();
    EXPECT_TRUE(reader.RequestCurrentPatchName());
    EXPECT_EQ(Requests(), std::vector<std::string>{AddressText(uint32_t(Value("fm.pat.common.patchName").GetAbsoluteAddressRange().begin)) +
                                                   " / 00 00 00 0C"});
    CReadReserved& reserved = CReadReserved::GetInstance();
    reserved.Mark(0);
    reserved.Mark(1);
    reserved.Mark(-1);
    EXPECT_TRUE(reserved.IsMarked(0));
    EXPECT_FALSE(reserved.IsMarked(1)) << "only the current patch can be reserved";
    reserved.Reset();
    EXPECT_FALSE(reserved.IsMarked(0));

    // A silent instrument fails the names without a message.
    m_instrument.SetPresent(false);
    EXPECT_FALSE(reader.RequestUserPatchNames(0, 0, 40));
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(InstrumentLayerTest, TheInstrumentsControlsReachTheInstrumentThroughTheLayer)
{
    // The patch name list asks through the installed link: the same requests the reader sends.
    IInstrumentLink& link = IInstrumentLink::Get();
    EXPECT_NE(dynamic_cast<CLayerInstrumentLink*>(&link), nullptr) << "the layer's link is installed";
    m_instrument.ClearLogs();
    EXPECT_TRUE(link.RequestUserPatchNames(1, 3, 1));
    EXPECT_EQ(Requests(), (std::vector<std::string>{"30 23 00 00 / 00 00 00 0C"}));
    m_instrument.ClearLogs();
    EXPECT_TRUE(link.SelectProgram(CVeyEntityId(0, 0, 1, 3)));
    EXPECT_EQ(link.GetCurrentEntityId(), CVeyEntityId(0, 0, 1, 3));
    EXPECT_TRUE(m_instrument.GetReceived().empty()) << "selection leaves the flush to the caller";

    // The layer's rules run in their order, each once.
    std::vector<std::string> kinds;
    for (IVeyBufferHandler* handler : CVeyBufferManager::GetInstance().GetHandlers())
    {
        if (dynamic_cast<CContextHandler*>(handler))
            kinds.push_back("context");
        else if (dynamic_cast<CToneSynchronizer*>(handler))
            kinds.push_back("tones");
        else if (dynamic_cast<CEntityNameHandler*>(handler))
            kinds.push_back("names");
        else if (dynamic_cast<CFadeRangeClipper*>(handler))
            kinds.push_back("fade");
        else if (dynamic_cast<CEffectSwapper*>(handler))
            kinds.push_back("effects");
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"context", "tones", "names", "fade", "effects"}));

    // A key range's lower bound moved above its upper bound takes the upper bound along.
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyValue& lower = Value("fm.pat.tmt.tmtKeyboardRangeLower[0]");
    CVeyValue& upper = Value("fm.pat.tmt.tmtKeyboardRangeUpper[0]");
    buffers.SetValue(&upper, 60);
    buffers.SetValue(&lower, 70);
    EXPECT_EQ(upper.GetNumber(), 70);
    buffers.ClearChanges();
}

TEST_F(InstrumentLayerTest, AnExportedPatchImportsBackIntoTheImageAndTheInstrument)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetText(&Value("fm.pat.common.patchName"), "Exported    ");
    buffers.ClearChanges();
    std::ostringstream file;
    ASSERT_TRUE(m_accessor.GetWriter()->ExportSmf(file, CBufferCounter::kPatchDirect));
    EXPECT_TRUE(m_instrument.GetReceived().empty()) << "an export sends nothing";
    const std::string bytes = file.str();
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes.substr(0, 4), "MThd");

    buffers.SetText(&Value("fm.pat.common.patchName"), "Changed     ");
    buffers.ClearChanges();
    std::istringstream in(bytes);
    ASSERT_TRUE(m_accessor.ImportSmf(in));
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Exported    ");
    EXPECT_EQ(m_instrument.GetAcceptedDataSets().size(), size_t(CBufferCounter::CountBlocks(&Struct("fm.pat"))));
    EXPECT_EQ(m_progress.begun, 0) << "a small file shows no progress";

    // A file cut short changes nothing.
    buffers.SetText(&Value("fm.pat.common.patchName"), "Changed     ");
    buffers.ClearChanges();
    m_instrument.ClearLogs();
    std::istringstream cut(bytes.substr(0, bytes.size() - 30));
    EXPECT_FALSE(m_accessor.ImportSmf(cut));
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Changed     ");
    EXPECT_TRUE(m_instrument.GetReceived().empty());
}

TEST_F(InstrumentLayerTest, AnImportTakesOnlyGoodDataSetsForThisInstrumentAndShowsProgressForLargeFiles)
{
    const uint32_t address = uint32_t(Value("fm.pat.common.patchName").GetAbsoluteAddressRange().begin);
    const Bytes name = {'I', 'm', 'p', 'o', 'r', 't', 'e', 'd', ' ', ' ', ' ', ' '};
    const Bytes good = m_instrument.MakeDataSet(address, name, 0x10);
    Bytes otherDevice = m_instrument.MakeDataSet(address, Bytes(12, 'd'), 0x11);
    Bytes otherModel = m_instrument.MakeDataSet(address, Bytes(12, 'm'), 0x10);
    otherModel[5] = 0x3D;
    otherModel[otherModel.size() - 2] = CSimulatedInstrument::Checksum(otherModel.data() + 7, otherModel.size() - 9);
    Bytes badChecksum = m_instrument.MakeDataSet(address, Bytes(12, 'c'), 0x10);
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    const Bytes identity = {0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};

    struct SCase
    {
        std::vector<Bytes> events;
        size_t size;
        bool progress;
    };
    const SCase cases[] = {
        {{otherDevice, good, otherModel, badChecksum, identity}, 0, false},
        {{good}, 16383, false},
        {{good}, 16384, true},
    };
    for (const SCase& c : cases)
    {
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        buffers.SetText(&Value("fm.pat.common.patchName"), "Before      ");
        buffers.ClearChanges();
        m_instrument.ClearLogs();
        m_progress = CRecordingProgress();
        const std::string file = MakeSmf(c.events, c.size);
        if (c.size)
        {
            ASSERT_EQ(file.size(), c.size);
        }
        std::istringstream in(file);
        ASSERT_TRUE(m_accessor.ImportSmf(in));
        EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Imported    ");
        const auto sent = m_instrument.GetReceived();
        ASSERT_EQ(sent.size(), 1u) << "only the good data set goes to the instrument";
        EXPECT_EQ(sent[0].bytes, good);
        EXPECT_EQ(m_progress.begun, c.progress ? 1 : 0) << c.size;
        if (c.progress)
        {
            EXPECT_EQ(m_progress.range, 16384);
            EXPECT_EQ(m_progress.messages, std::vector<std::string>{"Reading SMF."});
            EXPECT_EQ(m_progress.ended, 1);
        }
    }
}

TEST_F(InstrumentLayerTest, TheViewStateSurvivesARestartAndADamagedFileIsIgnored)
{
    CVeyValue& view = Value("vs.system.keyboard.view");
    const int32_t kept = view.GetDefinition()->GetMax();
    CVeyBufferManager::GetInstance().SetValue(&view, kept);
    const std::string path = m_folder.Path() + "/ViewState.txt";
    ASSERT_TRUE(m_accessor.SaveViewState(path));
    std::ifstream written(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "vs.system.keyboard.view\r\n" + std::to_string(kept) + "\r\n");

    CVeyBufferManager::GetInstance().SetValue(&view, view.GetDefinition()->GetMin());
    ASSERT_TRUE(m_accessor.Initialize());
    EXPECT_EQ(view.GetNumber(), kept);

    const std::string damaged[] = {"vs.system.keyboard.view\r\n1 \r\n", "vs.other\r\n1\r\n", std::string(300, 'x') + "\r\n1\r\n",
                                   "\x01\x02garbage"};
    for (const std::string& content : damaged)
    {
        std::ofstream(path, std::ios::binary) << content;
        CVeyBufferManager::GetInstance().SetValue(&view, kept);
        m_trace = CTraceCapture();
        EXPECT_FALSE(m_accessor.LoadViewState(path));
        EXPECT_EQ(view.GetNumber(), kept);
        EXPECT_NE(m_trace.Text().find("ViewState.txt"), std::string::npos);
    }
    // A number out of range is clamped.
    std::ofstream(path, std::ios::binary) << "vs.system.keyboard.view\r\n1000\r\n";
    EXPECT_TRUE(m_accessor.LoadViewState(path));
    EXPECT_EQ(view.GetNumber(), view.GetDefinition()->GetMax());

    // A save that fails (disk full, read-only folder, a file it may not write, a folder at the
    // path) says so and leaves the last good file.
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        CSaveFault fault(kind, folder.File("ViewState.txt"), "vs.system.keyboard.view\r\n0\r\n");
        if (!fault.IsPossible())
            continue;
        EXPECT_FALSE(m_accessor.SaveViewState(folder.File("ViewState.txt")));
        EXPECT_TRUE(fault.IsUntouched());
    }
}

TEST_F(InstrumentLayerTest, MessagesComeInEnglishAndJapanese)
{
    GT::CIndexedStringTable& table = GetMessageTable();
    table.SelectSet(GT::CIndexedStringTable::kJapaneseSet);
    EXPECT_EQ(table.Find(11), "データを取得中です。");
    EXPECT_NE(table.Find(16).find("レギュラー・トーン"), std::string::npos);
    table.SelectSet(GT::CIndexedStringTable::kEnglishSet);
    EXPECT_EQ(table.Find(12), "Now, synchronizing data.");
    EXPECT_EQ(table.Find(4), "The file could not be loaded.");
    // 47 messages: ids 14, 24, 26, 32, 34, 42, 50, 52 and 55 are unused; 18, 21 and 30 are the
    // menus' separators.
    for (int32_t id = 1; id <= 56; ++id)
    {
        const bool unused = id == 14 || id == 24 || id == 26 || id == 32 || id == 34 || id == 42 || id == 50 || id == 52 || id == 55;
        const bool separator = id == 18 || id == 21 || id == 30;
        EXPECT_EQ(table.Find(id).empty(), unused || separator) << id;
    }
}

TEST_F(InstrumentLayerTest, TheReservedReadSendsOnlyWhenMarkedAndAlwaysClearsTheMarks)
{
    CReadReserved& reserved = CReadReserved::GetInstance();

    // Nothing marked: nothing sent, the marks stay clear, the answer is empty.
    reserved.Reset();
    m_instrument.ClearLogs();
    const std::string result = CVeyFunctorRegistry::GetInstance().Invoke("ReadReservedPatches", "any", CVeyFunctorRegistry::kRunNow);
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    EXPECT_FALSE(reserved.IsMarked(0));
    EXPECT_EQ(result, "");

    // A marked current patch is selected again with sending, and the mark is taken.
    ASSERT_TRUE(IInstrumentLink::Get().SelectProgram(CVeyEntityId(0, 0, 1, 3)));
    reserved.Mark(0);
    m_instrument.ClearLogs();
    CVeyFunctorRegistry::GetInstance().Invoke("ReadReservedPatches", "", CVeyFunctorRegistry::kRunNow);
    EXPECT_FALSE(m_instrument.GetReceived().empty()) << "the program is sent";
    EXPECT_FALSE(reserved.IsMarked(0));
}

TEST_F(InstrumentLayerTest, TheButtonsTransfersCheckTheInstrumentFirstAndNeedMidi)
{
    CVeyFunctorRegistry& functors = CVeyFunctorRegistry::GetInstance();
    const auto run = [&functors](const char* name) { return functors.Invoke(name, "", CVeyFunctorRegistry::kRunNow); };
    const Bytes identityRequest = {0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};

    // Sync: the Identity Request, then the whole image, with no write handshake.
    EXPECT_EQ(run("Sync"), "");
    std::vector<CSimulatedInstrument::CLogEntry> received = m_instrument.GetReceived();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().bytes, identityRequest);
    size_t blocks = 0;
    for (const char* group : {"fm.setup", "fm.system", "fm.pat"})
        blocks += BlockRequests(Struct(group)).size();
    EXPECT_EQ(m_instrument.GetAcceptedDataSets().size(), blocks);
    EXPECT_TRUE(m_shown.empty()) << ::testing::PrintToString(m_shown);

    // WritePatch without a chosen row sends nothing; with row 5 of bank 2 chosen it checks the
    // instrument and writes the patch into slot 2-5, and the write panel closes.
    CommitValue("vs.patchNameList.listCurrentBank", 1);
    CommitValue("vs.patchNameList.currentNumber", 0);
    CommitValue("vs.control.writePanelSw", 2);
    m_instrument.ClearLogs();
    run("WritePatch");
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    EXPECT_EQ(Value("vs.control.writePanelSw").GetNumber(), 2);
    CommitValue("vs.patchNameList.currentNumber", 5);
    m_instrument.ClearLogs();
    run("WritePatch");
    received = m_instrument.GetReceived();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().bytes, identityRequest);
    EXPECT_EQ(m_instrument.GetWriteCount(), 0) << "a user patch needs no handshake";
    const auto dataSets = m_instrument.GetAcceptedDataSets();
    ASSERT_FALSE(dataSets.empty());
    EXPECT_EQ(Hex(dataSets.front().bytes, 7, 4), AddressText(uint32_t(UserPatchArea::SlotAddress(32 + 4))));
    EXPECT_EQ(Value("vs.control.writePanelSw").GetNumber(), 0);

    // An instrument that does not answer: message 2, and neither Sync nor WritePatch writes.
    m_instrument.SetPresent(false);
    m_shown.clear();
    m_instrument.ClearLogs();
    run("Sync");
    run("WritePatch");
    EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
    EXPECT_EQ(m_shown, (std::vector<int32_t>{2, 2}));
    m_instrument.SetPresent(true);

    // Without MIDI devices Read and Sync say so and send nothing; WritePatch stays silent.
    for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
        output.DetachAllDevices();
    m_shown.clear();
    m_instrument.ClearLogs();
    const DWORD start = m_clock.GetTickCount();
    run("Read");
    run("Sync");
    run("WritePatch");
    EXPECT_EQ(m_shown, (std::vector<int32_t>{CBufferAccessor::kMessageMidiNotSetUp, CBufferAccessor::kMessageMidiNotSetUp}));
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    EXPECT_EQ(m_clock.GetTickCount(), start) << "nothing is waited for";
}

TEST_F(InstrumentLayerTest, ChangingTheEditModeTakesTheNavigationToTheSamePlace)
{
    CommitValue("vs.navigation.patpat.editMode", 0);
    CommitValue("vs.navigation.patpat.state", 7);
    CommitValue("vs.navigation.patpat.editMode", 1);
    EXPECT_EQ(Value("vs.navigation.patpat.state").GetNumber(), 14);
    EXPECT_EQ(Value("vs.navigation.patpat.editMode").GetNumber(), 1);
    CommitValue("vs.navigation.patpat.editMode", 0);
    EXPECT_EQ(Value("vs.navigation.patpat.state").GetNumber(), 7);
}
