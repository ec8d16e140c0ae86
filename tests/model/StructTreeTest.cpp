#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/TextOut.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
CVeyBufferManager& Manager()
{
    return CVeyBufferManager::GetInstance();
}

std::unique_ptr<CVeyStruct> MakeStruct(int kind, const std::string& name, int32_t begin, int32_t end)
{
    std::unique_ptr<CVeyStruct> s = CreateStruct(kind);
    s->SetDefinition(Manager().InternStructDefinition({name, {begin, end}}));
    return s;
}

// A leaf of `count` int1x7 values named <prefix>0, <prefix>1, ...
std::unique_ptr<CVeyStruct> MakeLeaf(const std::string& name, int32_t begin, int32_t count, const std::string& prefix)
{
    std::unique_ptr<CVeyStruct> leaf = MakeStruct(CVeyStruct::kLeaf, name, begin, begin + count);
    for (int32_t i = 0; i < count; ++i)
    {
        CVeyValueDefinition definition;
        definition.name = prefix + std::to_string(i);
        definition.range = {i, i + 1};
        leaf->AddValue(Manager().InternValueDefinition(definition));
    }
    return leaf;
}

class StructTreeTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetModel(); }
    void TearDown() override { ResetModel(); }

    // fm (root at 10 00 00 00, 16 bytes) > pat (node, 0..8) > A (leaf 0..4), B (leaf 4..8)
    CVeyRootStruct& BuildTwoLeaves()
    {
        auto root = MakeStruct(CVeyStruct::kRoot, "fm", 0x2000000, 0x2000010);
        auto pat = MakeStruct(CVeyStruct::kNode, "pat", 0, 8);
        pat->AddChild(MakeLeaf("A", 0, 4, "a"));
        pat->AddChild(MakeLeaf("B", 4, 4, "b"));
        root->AddChild(std::move(pat));
        CVeyStruct& added = *root;
        Manager().AddRootStruct(std::move(root));
        EXPECT_TRUE(added.Attach(nullptr));
        return static_cast<CVeyRootStruct&>(added);
    }
};

TEST_F(StructTreeTest, PathsAndAbsoluteRangesFollowTheParentChain)
{
    ASSERT_TRUE(BuildSampleModel());
    CVeyValue* name = Manager().FindValueOrNull("fm.pat.common.patchName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetPathName(), "fm.pat.common.patchName");
    CVeyStruct* root = Manager().FindStructOrNull("fm");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetPathName(), "fm");
    EXPECT_EQ(name->GetRoot(), root);
    CVeyValue* cutoff = Manager().FindValueOrNull("fm.pat.tone[1].cutoff");
    ASSERT_NE(cutoff, nullptr);
    EXPECT_EQ(cutoff->GetAbsoluteAddressRange(), CVeyAddressRange(0x2001081, 0x2001083));
    EXPECT_EQ(CVeyAddress(cutoff->GetAbsoluteAddressRange().begin).ToBytes(4), (std::vector<uint8_t>{0x10, 0x00, 0x21, 0x01}));
}

TEST_F(StructTreeTest, FindMatchesWholeComponents)
{
    ASSERT_TRUE(BuildSampleModel());
    struct CCase
    {
        const char* path;
        bool isStruct;
        bool found;
    } cases[] = {
        {"fm", true, true},          {"fm", false, false},     {"fmx.pat", true, false},
        {"fm.pat", true, true},      {"fm.pat.tone[1]", true, true},
        {"fm.pat.tone[1]", false, false}, {"fm.pat.tone[1].cutoff", false, true},
        {"fm.pat.tone[2].cutoff", false, false}, {"fm.pat.tone[1].cutoff.x", false, false},
        {"fm.pat.common.level", true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.path) + (c.isStruct ? " struct" : " value"));
        if (c.isStruct)
        {
            CVeyStruct* s = nullptr;
            EXPECT_EQ(Manager().FindStruct(c.path, s), c.found);
            if (c.found)
            {
                EXPECT_EQ(s->GetPathName(), c.path);
            }
        }
        else
        {
            CVeyValue* v = nullptr;
            EXPECT_EQ(Manager().FindValue(c.path, v), c.found);
            if (c.found)
            {
                EXPECT_EQ(v->GetPathName(), c.path);
            }
        }
    }
}

TEST_F(StructTreeTest, AttachChecksThatEveryChildFitsItsParent)
{
    struct CCase
    {
        const char* name;
        int32_t begin, end;
        bool fits;
    } cases[] = {
        {"end equals parent size", 4, 8, true},
        {"one byte more", 5, 9, false},
        {"negative offset", -1, 3, false},
        {"inverted range", 6, 2, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto root = MakeStruct(CVeyStruct::kRoot, "fm", 0, 8);
        root->AddChild(MakeStruct(CVeyStruct::kLeaf, "leaf", c.begin, c.end));
        CTraceCapture trace;
        EXPECT_EQ(root->Attach(nullptr), c.fits);
        EXPECT_EQ(trace.Text(), c.fits ? "" : "Struct fm.leaf address range exceeds parent struct's one.\n");
    }

    auto outside = MakeStruct(CVeyStruct::kRoot, "far", 0xFFFFFF0, 0x10000010);
    CTraceCapture trace;
    EXPECT_FALSE(outside->Attach(nullptr));
    EXPECT_EQ(trace.Text(), "Struct far address range exceeds 28 bits.\n");
}

TEST_F(StructTreeTest, ReceivedDataSpanningTwoLeavesMarksEveryTouchedValue)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    CRecordingViewUpdater views;
    // F0 41 10 00 00 3C 12 | 10 00 00 02 | 01 02 03 04 | 64 F7
    EXPECT_TRUE(root.ReceiveDt1({0x10, 0x00, 0x00, 0x02}, {0x01, 0x02, 0x03, 0x04}));

    std::vector<std::string> changed;
    for (CVeyValue* value : Manager().GetChangeList())
        changed.push_back(value->GetPathName());
    EXPECT_EQ(changed, (std::vector<std::string>{"fm.pat.A.a2", "fm.pat.A.a3", "fm.pat.B.b0", "fm.pat.B.b1"}));
    EXPECT_EQ(Hex(*Manager().FindStructOrNull("fm.pat.A")->GetData()), "00 00 01 02");
    EXPECT_EQ(Hex(*Manager().FindStructOrNull("fm.pat.B")->GetData()), "03 04 00 00");
    EXPECT_TRUE(root.IsModified());
}

TEST_F(StructTreeTest, ReceivedDataOutsideTheRootIsIgnored)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    EXPECT_FALSE(root.ReceiveDt1({0x11, 0x00, 0x00, 0x00}, {0x01}));
    EXPECT_FALSE(root.ReceiveDt1({0x10, 0x00, 0x00, 0x08}, {0x01})) << "inside the root, outside every leaf";
    EXPECT_FALSE(root.ReceiveDt1({0x7F, 0x7F, 0x7F, 0x7F, 0x7F}, {0x01})) << "address wraps negative";
    EXPECT_FALSE(root.ReceiveDt1({0x10, 0x00, 0x00, 0x00}, {}));
    EXPECT_TRUE(Manager().GetChangeList().empty());
    EXPECT_FALSE(root.IsModified());

    // A block running past the root's end keeps only the part inside.
    EXPECT_TRUE(root.ReceiveDt1({0x10, 0x00, 0x00, 0x06}, {0x05, 0x06, 0x07, 0x08}));
    EXPECT_EQ(Hex(*Manager().FindStructOrNull("fm.pat.B")->GetData()), "00 00 05 06");
}

TEST_F(StructTreeTest, TransmitSendsEachLeafAsOneMessageThroughTheRootsOutput)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    CVeyStruct* a = Manager().FindStructOrNull("fm.pat.A");
    EXPECT_FALSE(a->Transmit()) << "no MIDI output bound";
    EXPECT_FALSE(root.Transmit());

    CRecordingTransmitter out;
    ASSERT_TRUE(root.SetMidiOut(&out));
    (*a->GetData())[1] = 0x11;
    EXPECT_TRUE(root.Transmit());
    ASSERT_EQ(out.sent.size(), 2u);
    EXPECT_EQ(out.sent[0], (CSentDt1{0x2000000, {0x00, 0x11, 0x00, 0x00}}));
    EXPECT_EQ(out.sent[1].address, 0x2000004);

    out.refuse = true;
    EXPECT_FALSE(a->Transmit()) << "a refused send is a failure";
    EXPECT_FALSE(root.Transmit());
    CVeyValue* value = Manager().FindValueOrNull("fm.pat.A.a1");
    ASSERT_NE(value, nullptr);
    EXPECT_FALSE(value->Transmit());
}

// A value's root and address are kept between sends; every move of a struct above it, and
// every copy of the tree, must show in the next send.
TEST_F(StructTreeTest, SendsFollowTheTreeWhenAStructAboveMovesOrTheTreeIsCopied)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    CRecordingTransmitter out;
    ASSERT_TRUE(root.SetMidiOut(&out));
    CVeyStruct* pat = Manager().FindStructOrNull("fm.pat");
    CVeyStruct* a = Manager().FindStructOrNull("fm.pat.A");
    CVeyValue* a1 = Manager().FindValueOrNull("fm.pat.A.a1");
    ASSERT_NE(a1, nullptr);

    ASSERT_TRUE(a1->Transmit());
    ASSERT_TRUE(pat->SetAddressRange({8, 16}));
    ASSERT_TRUE(a1->Transmit());
    ASSERT_TRUE(a->Transmit());
    ASSERT_TRUE(root.SetAddressRange({0x3000000, 0x3000010}));
    ASSERT_TRUE(a1->Transmit());

    std::unique_ptr<CVeyStruct> copy = root.Clone();
    ASSERT_TRUE(copy->SetAddressRange({0x4000000, 0x4000010}));
    ASSERT_TRUE(copy->Attach(nullptr));
    CVeyValue* copied = nullptr;
    ASSERT_TRUE(copy->FindValue("fm.pat.A.a1", copied));
    CRecordingTransmitter copyOut;
    ASSERT_TRUE(static_cast<CVeyRootStruct&>(*copy).SetMidiOut(&copyOut));
    ASSERT_TRUE(copied->Transmit());
    ASSERT_TRUE(a1->Transmit());

    const std::vector<int64_t> expected = {0x2000001, 0x2000009, 0x2000008, 0x3000009, 0x3000009};
    std::vector<int64_t> addresses;
    for (const CSentDt1& sent : out.sent)
        addresses.push_back(sent.address);
    EXPECT_EQ(addresses, expected);
    ASSERT_EQ(copyOut.sent.size(), 1u);
    EXPECT_EQ(copyOut.sent[0].address, 0x4000009) << "the copy's value sends through its own root";
}

TEST_F(StructTreeTest, ALeafThatCannotGoOutAsOneMessageIsRefused)
{
    auto root = MakeStruct(CVeyStruct::kRoot, "big", 0, 0x1000);
    root->AddChild(MakeStruct(CVeyStruct::kLeaf, "fits", 0, 2048 - 15));
    root->AddChild(MakeStruct(CVeyStruct::kLeaf, "block", 0x800, 0x800 + 2048 - 14));
    ASSERT_TRUE(root->Attach(nullptr));
    auto& rootStruct = static_cast<CVeyRootStruct&>(*root);
    CRecordingTransmitter out(15);
    CTraceCapture trace;
    EXPECT_FALSE(rootStruct.SetMidiOut(&out));
    EXPECT_EQ(trace.Text(), "Struct big.block is too large for one data-set message.\n");
    EXPECT_EQ(rootStruct.GetMidiOut(), nullptr);

    CRecordingTransmitter smallFrame(14);
    ASSERT_TRUE(rootStruct.SetMidiOut(&smallFrame));
    EXPECT_TRUE(rootStruct.Transmit());
    EXPECT_EQ(smallFrame.sent.size(), 2u);
}

TEST_F(StructTreeTest, CloneAfterAttachOwnsItsBytes)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    std::unique_ptr<CVeyStruct> copy = root.Clone();
    ASSERT_TRUE(copy->Attach(nullptr));
    CVeyValue* original = nullptr;
    CVeyValue* cloned = nullptr;
    ASSERT_TRUE(root.FindValue("fm.pat.B.b1", original));
    ASSERT_TRUE(copy->FindValue("fm.pat.B.b1", cloned));
    ASSERT_NE(original, cloned);
    cloned->SetNumber(9);
    EXPECT_EQ(original->GetNumber(), 0);
    EXPECT_EQ(cloned->GetNumber(), 9);
    EXPECT_EQ(cloned->GetRoot(), copy.get());
}

TEST_F(StructTreeTest, AnAttachedLeafKeepsItsStorageWhereItIs)
{
    BuildTwoLeaves();
    CVeyStruct* a = Manager().FindStructOrNull("fm.pat.A");
    CVeyValue* a0 = Manager().FindValueOrNull("fm.pat.A.a0");
    const uint8_t* bytes = a->GetData()->data();
    EXPECT_EQ(a->AddValue(nullptr), nullptr) << "no value is added once pointers into the leaf exist";
    EXPECT_FALSE(a->SetAddressRange({0, 5})) << "a leaf keeps its size";
    EXPECT_TRUE(a->SetAddressRange({4, 8}));
    EXPECT_TRUE(a->Attach(a->GetParent()));
    EXPECT_EQ(a->GetData()->data(), bytes);
    EXPECT_EQ(Manager().FindValueOrNull("fm.pat.A.a0"), a0);
}

// New leaves of the same values take the default bytes of the first one encoded; a clone given
// one more value before it is attached is no longer of the same values and encodes its own, even
// under the same name, place and size.
TEST_F(StructTreeTest, NewDefaultsFollowEachLeafsOwnValues)
{
    CVeyValueDefinition v;
    v.name = "v";
    v.range = {0, 1};
    v.defaultNumber = 5;
    CVeyValueDefinition w = v;
    w.name = "w";
    w.range = {1, 2};
    w.defaultNumber = 7;
    std::unique_ptr<CVeyStruct> first = MakeStruct(CVeyStruct::kLeaf, "x", 0, 2);
    first->AddValue(Manager().InternValueDefinition(v));
    std::unique_ptr<CVeyStruct> same = first->Clone();
    std::unique_ptr<CVeyStruct> grown = first->Clone();
    ASSERT_NE(grown->AddValue(Manager().InternValueDefinition(w)), nullptr);
    std::unique_ptr<CVeyStruct> grownCopy = grown->Clone();

    auto root = MakeStruct(CVeyStruct::kRoot, "fm", 0, 2);
    std::vector<CVeyStruct*> leaves;
    for (auto* leaf : {&first, &same, &grown, &grownCopy})
    {
        leaves.push_back(leaf->get());
        root->AddChild(std::move(*leaf));
    }
    ASSERT_TRUE(root->Attach(nullptr));
    WriteNewStructDefaults(*root);
    EXPECT_EQ(Hex(*leaves[0]->GetData()), "05 00");
    EXPECT_EQ(Hex(*leaves[1]->GetData()), "05 00");
    EXPECT_EQ(Hex(*leaves[2]->GetData()), "05 07");
    EXPECT_EQ(Hex(*leaves[3]->GetData()), "05 07");
}

// A leaf given its default bytes before it is attached hands them to its clones. A clone made
// another size before its first Attach starts from zeros and gets its defaults written anew; a
// leaf with a value that does not fit is not prepared, and Attach reports the value as before.
TEST_F(StructTreeTest, DefaultBytesPreparedBeforeAttachGoToClonesOfTheSameSize)
{
    CVeyValueDefinition v;
    v.name = "v";
    v.range = {1, 2};
    v.defaultNumber = 5;
    std::unique_ptr<CVeyStruct> first = MakeStruct(CVeyStruct::kLeaf, "x", 0, 2);
    first->AddValue(Manager().InternValueDefinition(v));
    auto& prepared = static_cast<CVeyLeafStruct&>(*first);
    ASSERT_TRUE(prepared.PrepareDefaultBytes());
    EXPECT_EQ(Hex(*first->GetData()), "00 05");
    EXPECT_FALSE(prepared.PrepareDefaultBytes()) << "only once";
    std::unique_ptr<CVeyStruct> same = first->Clone();
    std::unique_ptr<CVeyStruct> wider = first->Clone();
    wider->SetDefinition(Manager().InternStructDefinition({"y", {2, 5}}));

    auto root = MakeStruct(CVeyStruct::kRoot, "fm", 0, 5);
    std::vector<CVeyStruct*> leaves;
    for (auto* leaf : {&first, &same, &wider})
    {
        leaves.push_back(leaf->get());
        root->AddChild(std::move(*leaf));
    }
    ASSERT_TRUE(root->Attach(nullptr));
    WriteNewStructDefaults(*root);
    EXPECT_EQ(Hex(*leaves[0]->GetData()), "00 05");
    EXPECT_EQ(Hex(*leaves[1]->GetData()), "00 05");
    EXPECT_EQ(Hex(*leaves[2]->GetData()), "00 05 00");
    for (CVeyStruct* leaf : leaves)
    {
        CVeyValue& value = leaf->GetValues()->front();
        EXPECT_EQ(value.GetParent(), leaf);
        EXPECT_EQ(value.GetBytes(), leaf->GetData()->data() + 1);
    }

    std::unique_ptr<CVeyStruct> narrow = MakeStruct(CVeyStruct::kLeaf, "z", 0, 1);
    narrow->AddValue(Manager().InternValueDefinition(v));
    EXPECT_FALSE(static_cast<CVeyLeafStruct&>(*narrow).PrepareDefaultBytes());
    EXPECT_TRUE(narrow->GetData()->empty());
    auto parent = MakeStruct(CVeyStruct::kRoot, "fm2", 0, 1);
    parent->AddChild(std::move(narrow));
    CTraceCapture trace;
    EXPECT_FALSE(parent->Attach(nullptr));
    EXPECT_EQ(trace.Text(), "Value address range exceeds parent struct's one. : fm2.z.v\n");
}

TEST_F(StructTreeTest, RevertWriteAndWalkGoDepthFirstInChildOrder)
{
    ASSERT_TRUE(BuildSampleModel());
    CVeyStruct* fm = Manager().FindStructOrNull("fm");
    CVeyValue* level = Manager().FindValueOrNull("fm.pat.common.level");
    level->SetNumber(5);
    RevertStructDefaults(*fm);
    EXPECT_EQ(level->GetNumber(), 100);
    EXPECT_TRUE(Manager().GetChangeList().empty()) << "reverting bypasses the manager";

    std::ostringstream body;
    EXPECT_TRUE(WriteStructData(*fm, body));
    EXPECT_EQ(body.str().size(), 23u);
    EXPECT_EQ(GetStructDataSize(*fm), 23u);
    EXPECT_EQ(Hex(reinterpret_cast<const uint8_t*>(body.str().data()), 23),
              "49 4E 49 54 20 50 41 54 43 48 20 20 64 40 08 00 00 00 04 00 00 04 00");

    struct CRecorder : CVeyBufferOperation::IVisitor
    {
        void Enter(CVeyStruct& s) override { order += "<" + s.GetName(); }
        void Leave(CVeyStruct& s) override { order += ">" + s.GetName(); }
        std::string order;
    } recorder;
    CVeyBufferOperation::Walk(*fm, recorder);
    EXPECT_EQ(recorder.order, "<fm<pat<common>common<tone[0]>tone[0]<tone[1]>tone[1]>pat>fm");
}

TEST_F(StructTreeTest, DumpsNameEveryStructAndValue)
{
    CVeyRootStruct& root = BuildTwoLeaves();
    class CCollect : public GT::ATextOut
    {
    public:
        std::string text;
    protected:
        void WriteRaw(const std::string& t) override { text += t; }
    };
    CCollect names;
    root.DumpAbsoluteNames(names);
    EXPECT_NE(names.text.find("fm.pat.B.b3\n"), std::string::npos);
    CCollect contents;
    root.DumpContents(contents);
    EXPECT_NE(contents.text.find("fm.pat.A, address=02000000 02000004, data=00 00 00 00 \n"), std::string::npos);
    EXPECT_NE(contents.text.find("fm.pat.A.a1, address=02000001 02000002, type=0, range=0 127, default=0, value=0\n"),
              std::string::npos);
}
}
