// The script's memory against the simulated Talvarix built from the same script: every parameter
// changed through the model arrives at the instrument byte for byte, and the instrument behaves as
// the editor expects (program change, user patches, write handshake, identity, faults). The
// librarian's initial file holds the same initial patch.
#include "generated/TalvarixMemoryMap.h"
#include "librarian/app/Data.h"
#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/LibrarianFile.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;

// The instrument at the far end of the script's first output port.
class CInstrumentCable : public CVeyMidiOutDevice
{
public:
    explicit CInstrumentCable(CSimulatedInstrument& instrument) : CVeyMidiOutDevice("cable"), m_instrument(instrument) {}
    bool Send(const std::vector<uint8_t>& bytes) override
    {
        m_instrument.Receive(bytes);
        return true;
    }

private:
    CSimulatedInstrument& m_instrument;
};

void ForEachLeaf(CVeyStruct& s, const std::function<void(CVeyStruct&)>& visit)
{
    if (s.GetKind() == CVeyStruct::kLeaf)
        visit(s);
    else if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            ForEachLeaf(*child, visit);
}

// A number other than the value's current one, inside its range.
int32_t Different(const CVeyValue& value)
{
    const CVeyValueDefinition& d = *value.GetDefinition();
    return value.GetNumber() != d.GetMax() ? d.GetMax() : d.GetMin();
}
}

TEST(InstrumentMemory, EveryParameterChangedInTheModelIsStoredByTheInstrumentByteForByte)
{
    CTraceCapture trace;
    CBundledScript script;
    ASSERT_TRUE(script.Read()) << trace.Text();
    CSimulatedTalvarix instrument;
    CInstrumentCable cable(instrument);
    CVeyMidiOut* out = CVeyMidiOutputs::GetInstance().Find("Talvarix");
    ASSERT_NE(out, nullptr);
    out->AttachDevice(&cable);

    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyStruct* fm = buffers.FindStructOrNull("fm");
    ASSERT_NE(fm, nullptr);
    size_t changed = 0;
    ForEachLeaf(*fm, [&](CVeyStruct& leaf) {
        for (CVeyValue& value : *leaf.GetValues())
        {
            if (value.GetDefinition()->GetMin() == value.GetDefinition()->GetMax())
                continue;   // reserved bytes have one value only
            if (value.GetDefinition()->GetEncoding() == CVeyValueDefinition::kString)
                buffers.SetText(&value, std::string(value.GetAddressRange().GetSize(), 'Q'));
            else
                buffers.SetValue(&value, Different(value));
            ++changed;
        }
    });
    // A change to the view state is the editor's own and goes nowhere.
    buffers.SetValue(buffers.FindValueOrNull("vs.control.effectPage"), 2);
    ASSERT_TRUE(buffers.Flush());
    buffers.ClearChanges();
    EXPECT_GT(changed, 400u) << "the whole patch, setup and system";
    EXPECT_EQ(instrument.GetAcceptedDataSets().size(), changed) << "one data set per changed parameter";

    ForEachLeaf(*fm, [&](CVeyStruct& leaf) {
        Bytes stored;
        ASSERT_TRUE(instrument.Read(uint32_t(CBundledScript::AbsoluteBegin(leaf)), uint32_t(leaf.GetData()->size()), stored))
            << leaf.GetName();
        EXPECT_EQ(stored, *leaf.GetData()) << leaf.GetName();
    });
    out->DetachDevice(&cable);
    EXPECT_EQ(trace.Text(), "");
}

TEST(SimulatedTalvarix, AProgramChangeToAUserPatchMakesItTheTemporaryPatch)
{
    CSimulatedTalvarix instrument;
    const Bytes name = {'S', 'l', 'o', 't', ' ', '1', '3', '3', ' ', ' ', ' ', ' '};
    ASSERT_TRUE(instrument.Write(CSimulatedTalvarix::UserPatchAddress(133), name));
    const uint32_t msb = (1 << 21) | 4;

    struct SCase
    {
        Bytes program;   // MSB, LSB, program number
        int slot;
        bool copied;
    };
    const SCase cases[] = {
        {{87, 1, 5}, 133, true},    // 1 x 128 + 5
        {{81, 0, 5}, -1, false},    // not a user bank
        {{87, 2, 5}, -1, false},    // LSB past the user banks
    };
    for (const SCase& c : cases)
    {
        CSimulatedTalvarix fresh;
        ASSERT_TRUE(fresh.Write(CSimulatedTalvarix::UserPatchAddress(133), name));
        // One data set for the three values, as the editor's program selection sends them.
        fresh.Receive(fresh.MakeDataSet(msb, c.program, 0x10));
        EXPECT_EQ(fresh.GetCurrentSlot(), c.slot);
        EXPECT_EQ(fresh.IsRegularTone(), c.slot >= 0);
        Bytes current;
        ASSERT_TRUE(fresh.Read(CSimulatedTalvarix::kTemporaryPatch, 12, current));
        EXPECT_EQ(current == name, c.copied);
    }

    // The three values one by one, as separate data sets: the patch follows the last of them.
    instrument.Receive(instrument.MakeDataSet(msb, {87}, 0x10));
    instrument.Receive(instrument.MakeDataSet(msb + 1, {1}, 0x10));
    instrument.Receive(instrument.MakeDataSet(msb + 2, {5}, 0x10));
    Bytes current;
    ASSERT_TRUE(instrument.Read(CSimulatedTalvarix::kTemporaryPatch, 12, current));
    EXPECT_EQ(current, name);
    // Answers of the regular-tone check.
    instrument.ClearLogs();
    std::vector<Bytes> sent;
    instrument.SetTransport([&sent](const Bytes& bytes) { sent.push_back(bytes); });
    instrument.Receive(instrument.MakeRequest(msb, 2));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], instrument.MakeDataSet(msb, {87, 1}, 0x10));
}

TEST(SimulatedTalvarix, StoresUserPatchesAndAnswersTheWriteHandshakeAndTheIdentityRequest)
{
    CSimulatedTalvarix instrument;
    std::vector<Bytes> sent;
    instrument.SetTransport([&sent](const Bytes& bytes) { sent.push_back(bytes); });

    // Every leaf of the last user patch takes a data set and answers a request for it.
    for (const auto& [offset, size] : CSimulatedTalvarix::PatchLeaves())
    {
        const uint32_t address = CSimulatedTalvarix::UserPatchAddress(255) + offset;
        const Bytes data(size, 0x33);
        instrument.Receive(instrument.MakeDataSet(address, data, 0x10));
        sent.clear();
        instrument.Receive(instrument.MakeRequest(address, size));
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0], instrument.MakeDataSet(address, data, 0x10));
    }
    EXPECT_EQ(CSimulatedTalvarix::PatchLeaves().size(), 9u) << "common, effects, tone mix and four tones";

    // The write handshake: write start, then write complete with 7 bytes, 5A 00 7F at 3 to 5.
    CBundledScript script;
    ASSERT_TRUE(script.Read());
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    auto addressOf = [&buffers](const char* path) {
        CVeyValue* value = buffers.FindValueOrNull(path);
        return uint32_t(CBundledScript::AbsoluteBegin(*value->GetParent()) + value->GetAddressRange().begin);
    };
    sent.clear();
    instrument.Receive(instrument.MakeRequest(addressOf("cm.command.writeRequest"), (0x5A << 21) | (0x7F << 7) | 0x7F));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], instrument.MakeDataSet(addressOf("cm.command.writeStart"), {0x00}, 0x10));
    const Bytes complete = instrument.MakeDataSet(addressOf("cm.command.writeComplete"), {0, 0, 0, 0x5A, 0x00, 0x7F, 0}, 0x10);
    EXPECT_EQ(sent[1], complete);
    EXPECT_EQ(instrument.GetWriteCount(), 1);

    // Identity: 15 bytes of the family 3C 02; another device ID gets nothing.
    sent.clear();
    instrument.Receive({0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7});
    instrument.Receive({0xF0, 0x7E, 0x11, 0x06, 0x01, 0xF7});
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 15u);
    EXPECT_EQ(Bytes(sent[0].begin() + 5, sent[0].begin() + 8), (Bytes{0x41, 0x3C, 0x02}));
}

TEST(SimulatedTalvarix, FaultSwitchesBendItsAnswers)
{
    CSimulatedTalvarix instrument;
    std::vector<Bytes> sent;
    instrument.SetTransport([&sent](const Bytes& bytes) { sent.push_back(bytes); });
    const uint32_t name = CSimulatedTalvarix::kTemporaryPatch;
    const Bytes good = instrument.MakeDataSet(name, Bytes{'I', 'N', 'I', 'T', ' ', 'P', 'A', 'T', 'C', 'H', ' ', ' '}, 0x10);

    instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::Duplicated);
    instrument.Receive(instrument.MakeRequest(name, 12));
    EXPECT_EQ(sent, (std::vector<Bytes>{good, good}));

    sent.clear();
    instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::WrongDeviceId);
    instrument.Receive(instrument.MakeRequest(name, 12));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][2], 0x11);

    sent.clear();
    instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::None);
    instrument.DropNextReplies(1);
    instrument.Receive(instrument.MakeRequest(name, 12));
    instrument.Receive(instrument.MakeRequest(name, 12));
    EXPECT_EQ(sent, std::vector<Bytes>{good});
}

TEST(InitialFiles, TheLibrariansInitialFileHolds256CopiesOfTheScriptsInitialPatch)
{
    std::ifstream file(Q9EL_SCRIPT_FOLDER "/InitialData.q9l", std::ios::binary);
    ASSERT_TRUE(file.good());
    CPatchArray patches;
    ASSERT_EQ(ReadLibrarianFile(file, patches), kFileMessageNone);
    ASSERT_EQ(patches.GetSize(), 256u);

    // The patch leaves of the script in address order are the librarian's blocks in part order.
    std::vector<Bytes> leaves;
    for (const TalvarixMemory::SLeaf& leaf : TalvarixMemory::kLeaves)
        if (std::string(leaf.path).rfind("fm.pat.", 0) == 0)
            leaves.emplace_back(TalvarixMemory::kDefaults + leaf.firstDefault,
                                TalvarixMemory::kDefaults + leaf.firstDefault + leaf.size);
    for (size_t i = 0; i < patches.GetSize(); i += 85)
    {
        SCOPED_TRACE(i);
        const CPatch& patch = patches.At(i);
        EXPECT_EQ(patch.GetName(), "INIT PATCH  ");
        std::vector<Bytes> blocks;
        for (const auto& part : patch.GetParts())
            for (const auto& block : part)
                blocks.emplace_back(block.begin(), block.end());
        EXPECT_EQ(blocks, leaves);
    }

    // The librarian takes it as its template for initialised patches.
    CInitialFileDocument& initial = CInitialFileDocument::GetInstance();
    EXPECT_TRUE(initial.Load(Q9EL_SCRIPT_FOLDER "/InitialData.q9l"));
    ASSERT_NE(initial.GetFirstPatch(), nullptr);
    EXPECT_EQ(initial.GetFirstPatch()->GetName(), "INIT PATCH  ");
    initial.Reset();
}
