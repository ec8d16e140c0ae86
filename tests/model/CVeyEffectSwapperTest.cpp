#include "model/CVeyEffectSwapper.h"
#include "model/CVeyFadeRangeClipper.h"

#include "model/CVeyTable.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace
{
// fm (root at 10 00 00 00)
//   mfx (leaf, 5 bytes): type 0..3, then p1..p4 with defaults 10, 20, 30, 40
//   rng (leaf, 4 bytes): lo1, hi1, lo2, hi2
class CEffectModelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetModel();
        AddStructType(MakeType("mfxT", {{"name", "$name"}, {"address", "$address"}}, {},
                               {
                                   MakeElement("int1x7", {{"name", "type"}, {"range", "0,3"}}),
                                   MakeElement("int1x7", {{"name", "p1"}, {"default", "10"}}),
                                   MakeElement("int1x7", {{"name", "p2"}, {"default", "20"}}),
                                   MakeElement("int1x7", {{"name", "p3"}, {"default", "30"}}),
                                   MakeElement("int1x7", {{"name", "p4"}, {"default", "40"}}),
                               }));
        AddStructType(MakeType("rngT", {{"name", "$name"}, {"address", "$address"}}, {},
                               {
                                   MakeElement("int1x7", {{"name", "lo1"}}),
                                   MakeElement("int1x7", {{"name", "hi1"}}),
                                   MakeElement("int1x7", {{"name", "lo2"}}),
                                   MakeElement("int1x7", {{"name", "hi2"}}),
                               }));
        AddStructType(MakeType("fmT", {{"name", "$name"}, {"address", "$address"}},
                               {MakeElement("mfxT", {{"name", "mfx"}, {"address", "00 00 00 00"}}),
                                MakeElement("rngT", {{"name", "rng"}, {"address", "00 00 10 00"}})},
                               {}));
        AddRootStruct(MakeElement("fmT", {{"name", "fm"}, {"address", "10 00 00 00"}}));
        ASSERT_TRUE(Manager().CreateStructs());
        root = static_cast<CVeyRootStruct*>(Manager().FindStructOrNull("fm"));
        ASSERT_TRUE(root->SetMidiOut(&midiOut));
        mfx = Manager().FindStructOrNull("fm.mfx");
        type = Value("fm.mfx.type");
    }
    void TearDown() override { ResetModel(); }

    static CVeyBufferManager& Manager() { return CVeyBufferManager::GetInstance(); }
    static CVeyValue* Value(const std::string& path)
    {
        CVeyValue* value = Manager().FindValueOrNull(path);
        EXPECT_NE(nullptr, value) << path;
        return value;
    }
    std::string Parameters() const
    {
        const std::vector<uint8_t>& data = *mfx->GetData();
        return Hex(std::vector<uint8_t>(data.begin() + 1, data.end()));
    }
    void SetParameters(std::initializer_list<int32_t> numbers)
    {
        int i = 1;
        for (int32_t number : numbers)
            Value("fm.mfx.p" + std::to_string(i++))->SetNumber(number);
    }
    // Three types: 0 sets p1 and p2, 1 (adds) p1 again, 2 adds p3; a stray path is skipped.
    CVeyEffectSwapper* AddSwapper()
    {
        auto* swapper = new CVeyEffectSwapper;
        Manager().GetHandlers().Append(swapper);
        EXPECT_TRUE(swapper->AddEffect(type, mfx, 0, 1));
        CVeyStringTable table;
        for (const char* path : {"fm.mfx.p1", "p2", "DELIMITER", "mfx.p1", "nowhere", "DELIMITER", "p3", "DELIMITER"})
            table.Append(path);
        EXPECT_TRUE(swapper->SetValuePaths(0, &table));
        return swapper;
    }
    void ChangeType(int32_t number)
    {
        Manager().SetValue(type, number);
    }

    CRecordingTransmitter midiOut;
    CVeyRootStruct* root = nullptr;
    CVeyStruct* mfx = nullptr;
    CVeyValue* type = nullptr;
};
}

TEST_F(CEffectModelTest, BlocksHoldTheDefaultsOfEachTypeInTurn)
{
    SetParameters({1, 2, 3, 4});
    type->SetNumber(2);
    CVeyEffectSwapper* swapper = AddSwapper();
    EXPECT_EQ(3u, swapper->GetBlockCount(0));
    // Building sends nothing and lists nothing; the current type's block is put in place.
    EXPECT_EQ("0A 14 1E 04", Parameters());
    EXPECT_TRUE(midiOut.sent.empty());
    EXPECT_TRUE(Manager().GetChangeList().empty());

    // The unit is found by its struct when one is given, else by slot.
    CVeyStringTable one;
    one.Append("DELIMITER");
    EXPECT_TRUE(swapper->SetValuePaths(99, &one, mfx));
    EXPECT_EQ(1u, swapper->GetBlockCount(0));
    EXPECT_FALSE(swapper->SetValuePaths(5, &one));
    EXPECT_FALSE(swapper->SetValuePaths(0, nullptr));
}

TEST_F(CEffectModelTest, SwitchingTypesBackRestoresEveryParameter)
{
    SetParameters({1, 2, 3, 4});
    AddSwapper();
    ASSERT_EQ("0A 14 03 04", Parameters());
    Value("fm.mfx.p1")->SetNumber(77);

    ChangeType(1);
    EXPECT_EQ(1, type->GetNumber());
    EXPECT_EQ("0A 14 03 04", Parameters());
    // The type is listed for the flush and the whole struct was sent once.
    ASSERT_EQ(1u, Manager().GetChangeList().size());
    EXPECT_EQ(type, Manager().GetChangeList()[0]);
    ASSERT_EQ(1u, midiOut.sent.size());
    EXPECT_EQ("01 0A 14 03 04", Hex(midiOut.sent[0].data));

    Value("fm.mfx.p2")->SetNumber(55);
    ChangeType(0);
    EXPECT_EQ("4D 14 03 04", Parameters());
    ChangeType(1);
    EXPECT_EQ("0A 37 03 04", Parameters());
    ChangeType(0);
    EXPECT_EQ("4D 14 03 04", Parameters());
}

TEST_F(CEffectModelTest, ChangesTheSwapperLeavesAlone)
{
    AddSwapper();
    const std::string before = Parameters();

    // The type it already has: taken over, nothing sent or listed.
    ChangeType(0);
    EXPECT_TRUE(midiOut.sent.empty());
    EXPECT_TRUE(Manager().GetChangeList().empty());

    // A type without a block: taken over, the type stays.
    ChangeType(3);
    EXPECT_EQ(0, type->GetNumber());
    EXPECT_EQ(before, Parameters());
    EXPECT_TRUE(midiOut.sent.empty());

    // A batch of two values is stored as it is, without swapping.
    CVeyValue* p4 = Value("fm.mfx.p4");
    Manager().SetValues({{type, 2}, {p4, 9}});
    EXPECT_EQ(2, type->GetNumber());
    EXPECT_EQ(9, p4->GetNumber());
    EXPECT_EQ(2u, Manager().GetChangeList().size());

    // A value that is no type value passes through.
    Manager().SetValue(p4, 8);
    EXPECT_EQ(8, p4->GetNumber());
}

TEST_F(CEffectModelTest, TypeWithoutBlockDoesNotTrapTheUser)
{
    AddSwapper();
    // The instrument reports a type the table does not cover.
    type->SetNumber(3);
    SetParameters({5, 6, 7, 8});
    ChangeType(2);
    EXPECT_EQ(2, type->GetNumber());
    EXPECT_EQ("0A 14 1E 28", Parameters());
    EXPECT_EQ(1u, midiOut.sent.size());
}

TEST_F(CEffectModelTest, RegistrationChecksTheParameterRange)
{
    CVeyEffectSwapper swapper;
    EXPECT_FALSE(swapper.AddEffect(type, mfx, 0, 6));
    EXPECT_FALSE(swapper.AddEffect(type, mfx, 0, -1));
    EXPECT_FALSE(swapper.AddEffect(type, root, 0, 1));
    EXPECT_FALSE(swapper.AddEffect(nullptr, mfx, 0, 1));
    // A block that starts at the struct's end is empty but valid.
    EXPECT_TRUE(swapper.AddEffect(type, mfx, 0, 5));
    CVeyStringTable table;
    table.Append("DELIMITER");
    EXPECT_TRUE(swapper.SetValuePaths(0, &table));
}

TEST_F(CEffectModelTest, ClipperKeepsPairsOrdered)
{
    auto* clipper = new CVeyFadeRangeClipper;
    Manager().GetHandlers().Append(clipper);
    CVeyValue* lo1 = Value("fm.rng.lo1");
    CVeyValue* hi1 = Value("fm.rng.hi1");
    CVeyValue* lo2 = Value("fm.rng.lo2");
    CVeyValue* hi2 = Value("fm.rng.hi2");
    clipper->AddPair(lo1, hi1);
    lo1->SetNumber(40);
    hi1->SetNumber(60);

    Manager().SetValue(lo1, 70);
    EXPECT_EQ(70, hi1->GetNumber());
    EXPECT_EQ((CVeyValueList{lo1, hi1}), Manager().GetChangeList());
    Manager().ClearChanges();

    Manager().SetValue(hi1, 30);
    EXPECT_EQ(30, lo1->GetNumber());
    EXPECT_EQ((CVeyValueList{hi1, lo1}), Manager().GetChangeList());
    Manager().ClearChanges();

    // An ordered change moves nothing else.
    Manager().SetValue(hi1, 50);
    EXPECT_EQ(30, lo1->GetNumber());
    EXPECT_EQ(1u, Manager().GetChangeList().size());

    // A pair added after the first change is found as well; values in no pair are left alone.
    clipper->AddPair(lo2, hi2);
    Manager().SetValue(lo2, 9);
    EXPECT_EQ(9, hi2->GetNumber());
    EXPECT_FALSE(clipper->OnValuesChanged({type}));
    EXPECT_TRUE(clipper->OnValuesChanged({hi2}));
}
