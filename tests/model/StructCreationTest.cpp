#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
class StructCreationTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetModel(); }
    void TearDown() override
    {
        ResetModel();
        VeySetMidiStructCreator(nullptr);
    }

    CVeyAddressRange Absolute(const std::string& path)
    {
        CVeyStruct* s = manager.FindStructOrNull(path);
        EXPECT_NE(s, nullptr) << path;
        return s ? s->GetAbsoluteAddressRange() : CVeyAddressRange();
    }

    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
};

TEST_F(StructCreationTest, TheSampleScriptGivesItsLayout)
{
    CTraceCapture trace;
    ASSERT_TRUE(BuildSampleModel());
    EXPECT_EQ(trace.Text(), "");
    EXPECT_EQ(Absolute("fm.pat.common"), CVeyAddressRange(0x2000000, 0x2000011));
    EXPECT_EQ(Absolute("fm.pat.tone[0]"), CVeyAddressRange(0x2001000, 0x2001003));
    EXPECT_EQ(Absolute("fm.pat.tone[1]"), CVeyAddressRange(0x2001080, 0x2001083));
    EXPECT_EQ(Absolute("fm").GetSize(), 4227) << "a struct without size ends at its furthest child";
    EXPECT_EQ(manager.FindStructOrNull("fm.pat.tone"), nullptr) << "array members only";

    CVeyValue* cutoff0 = manager.FindValueOrNull("fm.pat.tone[0].cutoff");
    CVeyValue* cutoff1 = manager.FindValueOrNull("fm.pat.tone[1].cutoff");
    EXPECT_EQ(cutoff0->GetDefinition(), cutoff1->GetDefinition()) << "array members share their records";
    EXPECT_EQ(cutoff1->GetNumber(), 512) << "defaults are set";
    EXPECT_EQ(manager.FindValueOrNull("fm.pat.common.tune")->GetAddressRange(), CVeyAddressRange(14, 16))
        << "values without address follow each other";
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().GetBufferGroup().IsEmpty());
    EXPECT_FALSE(static_cast<CVeyRootStruct*>(manager.FindStructOrNull("fm"))->IsModified());
}

TEST_F(StructCreationTest, ArraysOfStructsAndValuesAreNamedByIndex)
{
    AddStructType(MakeType("leafT", {{"name", "$name"}, {"address", "$at"}, {"size", "08"}}, {},
                           {MakeElement("int1x7", {{"name", "v"}, {"address", "00"}, {"address", "02"}, {"address", "04"}}),
                            MakeElement("int1x7", {{"name", "w"}})}));
    AddStructType(MakeType("rootT", {{"name", "$name"}},
                           {MakeElement("leafT", {{"name", "one"}, {"at", "00 00"}}),
                            MakeElement("leafT", {{"name", "many"}, {"at", "00 10"}, {"at", "00 20"}, {"at", "01 00"}})},
                           {}));
    AddRootStruct(MakeElement("rootT", {{"name", "r"}}));
    ASSERT_TRUE(manager.CreateStructs());
    EXPECT_NE(manager.FindStructOrNull("r.one"), nullptr);
    EXPECT_EQ(Absolute("r.many[0]"), CVeyAddressRange(0x10, 0x18));
    EXPECT_EQ(Absolute("r.many[1]"), CVeyAddressRange(0x20, 0x28));
    EXPECT_EQ(Absolute("r.many[2]"), CVeyAddressRange(0x80, 0x88));
    const std::vector<CVeyValue>& values = *manager.FindStructOrNull("r.many[2]")->GetValues();
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].GetName(), "v[0]");
    EXPECT_EQ(values[1].GetName(), "v[1]");
    EXPECT_EQ(values[2].GetName(), "v[2]");
    EXPECT_EQ(values[2].GetAddressRange(), CVeyAddressRange(4, 5));
    EXPECT_EQ(values[3].GetName(), "w");
    EXPECT_EQ(values[3].GetAddressRange(), CVeyAddressRange(5, 6)) << "after the last member";
}

TEST_F(StructCreationTest, ScriptErrorsStopCreationWithTheirLines)
{
    const auto leafType = [](const std::string& type, CAttrs value) {
        return MakeType(type, {{"name", "$name"}, {"address", "$address"}}, {}, {MakeElement("int1x7", value)});
    };
    struct CCase
    {
        const char* name;
        std::vector<CVeyTypeDefinition> types;
        CVeyElementDefinition root;
        const char* lines;
    } cases[] = {
        {"unknown type", {}, MakeElement("nopeT", {{"name", "fm"}}),
         "Unable to find struct type definition. : nopeT\n"
         "Unable to convert root struct definition nopeT to root struct.\n"},
        {"structs and values in a child",
         {MakeType("bothT", {{"name", "$name"}}, {MakeElement("aT", {{"name", "a"}})}, {MakeElement("int1x7", {{"name", "v"}})}),
          MakeType("rootT", {{"name", "$name"}}, {MakeElement("bothT", {{"name", "b"}})}, {}),
          leafType("aT", {{"name", "v"}})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct type can not have both structs and values. : bothT\n"
         "Unable to convert child struct definition : bothT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"values in a root", {leafType("leafT", {{"name", "v"}})}, MakeElement("leafT", {{"name", "fm"}, {"address", "00"}}),
         "Root struct or node struct can not have child values. : leafT\n"
         "Unable to convert root struct definition leafT to root struct.\n"},
        {"macro without argument", {MakeType("rootT", {{"name", "$name"}, {"size", "$size"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Unable to resolve macros. : rootT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"unknown struct tag", {MakeType("rootT", {{"name", "$name"}, {"colour", "red"}, {"shape", "x"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct type contains unknown tags. : rootT : colour, shape, \n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"unknown value tag",
         {MakeType("rootT", {{"name", "$name"}}, {MakeElement("leafT", {{"name", "l"}, {"address", "00"}})}, {}),
          leafType("leafT", {{"name", "v"}, {"colour", "red"}})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Value contains unknown tags. : int1x7 : colour, \n"
         "Unable to convert child struct definition : leafT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"bad value", {MakeType("rootT", {{"name", "$name"}}, {MakeElement("leafT", {{"name", "l"}})}, {}),
                       MakeType("leafT", {{"name", "$name"}}, {}, {MakeElement("int7x1", {{"name", "v"}})})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Value type is unknown. : v : int7x1\n"
         "Unable convert child values from element definitions. : int7x1\n"
         "Unable to convert child struct definition : leafT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"bad struct address", {MakeType("rootT", {{"name", "$name"}, {"address", "$address"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}, {"address", "1G"}}),
         "Struct address is invalid. : fm : 1G\n"
         "Unable convert struct from element definitions. : rootT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"address of five bytes", {MakeType("rootT", {{"name", "$name"}, {"address", "$address"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}, {"address", "00 00 00 00 01"}}),
         "Struct address is invalid. : fm : 00 00 00 00 01\n"
         "Unable convert struct from element definitions. : rootT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"bad struct size", {MakeType("rootT", {{"name", "$name"}, {"size", "-1"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct size is invalid. : fm : -1\n"
         "Unable convert struct from element definitions. : rootT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"a type containing itself",
         {MakeType("loopT", {{"name", "$name"}}, {MakeElement("loopT", {{"name", "again"}})}, {})},
         MakeElement("loopT", {{"name", "fm"}}),
         "Struct type contains itself. : loopT\n"
         "Unable to convert child struct definition : loopT\n"
         "Unable to convert root struct definition loopT to root struct.\n"},
        {"two types containing each other",
         {MakeType("aT", {{"name", "$name"}}, {MakeElement("bT", {{"name", "b"}})}, {}),
          MakeType("bT", {{"name", "$name"}}, {MakeElement("aT", {{"name", "a"}})}, {})},
         MakeElement("aT", {{"name", "fm"}}),
         "Struct type contains itself. : aT\n"
         "Unable to convert child struct definition : aT\n"
         "Unable to convert child struct definition : bT\n"
         "Unable to convert root struct definition aT to root struct.\n"},
        {"child larger than its parent",
         {MakeType("rootT", {{"name", "$name"}, {"size", "02"}}, {MakeElement("leafT", {{"name", "l"}, {"address", "01"}})}, {}),
          MakeType("leafT", {{"name", "$name"}, {"address", "$address"}}, {},
                   {MakeElement("int1x7", {{"name", "v"}}), MakeElement("int1x7", {{"name", "w"}})})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct fm.l address range exceeds parent struct's one.\n"
         "Unable to create root struct fm.\n"},
        {"siblings running past 28 bits",
         {MakeType("rootT", {{"name", "$name"}}, {MakeElement("bigT", {{"name", "a"}}), MakeElement("bigT", {{"name", "b"}})}, {}),
          MakeType("bigT", {{"name", "$name"}, {"size", "7F 7F 7F 7F"}}, {}, {})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct address is invalid. : b : 0FFFFFFF\n"
         "Unable convert struct from element definitions. : bigT\n"
         "Unable to convert child struct definition : bigT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"values running past 28 bits",
         {MakeType("rootT", {{"name", "$name"}}, {MakeElement("leafT", {{"name", "l"}})}, {}),
          MakeType("leafT", {{"name", "$name"}}, {},
                   {MakeElement("string", {{"name", "v"}, {"size", "7F 7F 7F 7F"}}),
                    MakeElement("string", {{"name", "w"}, {"size", "7F 7F 7F 7F"}})})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Value address is invalid. : w : 0FFFFFFF\n"
         "Unable convert child values from element definitions. : string\n"
         "Unable to convert child struct definition : leafT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
        {"leaf too large to hold",
         {MakeType("rootT", {{"name", "$name"}}, {MakeElement("leafT", {{"name", "l"}})}, {}),
          MakeType("leafT", {{"name", "$name"}, {"size", "01 00 00 00"}}, {}, {MakeElement("int1x7", {{"name", "v"}})})},
         MakeElement("rootT", {{"name", "fm"}}),
         "Struct size is invalid. : l : 00200000\n"
         "Unable convert struct from element definitions. : leafT\n"
         "Unable to convert child struct definition : leafT\n"
         "Unable to convert root struct definition rootT to root struct.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ResetModel();
        for (const auto& type : c.types)
            AddStructType(type);
        AddRootStruct(c.root);
        CTraceCapture trace;
        EXPECT_FALSE(manager.CreateStructs());
        EXPECT_EQ(trace.Text(), c.lines);
    }
}

TEST_F(StructCreationTest, StructsMadeBeforeAFailureStayUntilTeardown)
{
    AddStructType(MakeType("rootT", {{"name", "$name"}}, {}, {}));
    AddRootStruct(MakeElement("rootT", {{"name", "first"}}));
    AddRootStruct(MakeElement("missingT", {{"name", "second"}}));
    CVeyBufferManager::RegisterManagerStep();
    CTraceCapture trace;
    EXPECT_FALSE(VeyCreateManagers());
    EXPECT_EQ(trace.Text(),
              "Unable to find struct type definition. : missingT\n"
              "Unable to convert root struct definition missingT to root struct.\n"
              "Unable to create buffer manager.\n");
    EXPECT_TRUE(manager.GetRootStructs().empty()) << "the failed start-up tore the manager down";
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().GetBufferGroup().IsEmpty());

    ResetModel();
    AddStructType(MakeType("rootT", {{"name", "$name"}}, {}, {}));
    AddRootStruct(MakeElement("rootT", {{"name", "first"}}));
    AddRootStruct(MakeElement("missingT", {{"name", "second"}}));
    EXPECT_FALSE(manager.CreateStructs());
    EXPECT_EQ(manager.GetRootStructs().size(), 1u);
    VeySetManagerStep(EVeyManager::kBuffer, {}, {});
}

class CTestMidiStruct : public CVeyRootStruct
{
public:
    int GetKind() const override { return kMidi; }
};

TEST_F(StructCreationTest, MidiStructsTakeNameAddressAndSize)
{
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().midiStructs.push_back(MakeElement("", {{"name", "ms"}}));
    CTraceCapture trace;
    EXPECT_FALSE(manager.CreateStructs()) << "no MIDI struct class installed";
    EXPECT_EQ(trace.Text(), "Unable to convert MIDI struct definition  to MIDI struct.\n");

    ResetModel();
    VeySetMidiStructCreator([]() -> std::unique_ptr<CVeyStruct> { return std::make_unique<CTestMidiStruct>(); });
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().midiStructs.push_back(
        MakeElement("", {{"name", "ms"}, {"address", "01 00"}}));
    ASSERT_TRUE(manager.CreateStructs());
    ASSERT_EQ(manager.GetMidiStructs().size(), 1u);
    EXPECT_EQ(manager.FindStructOrNull("ms")->GetAddressRange(), CVeyAddressRange(0x80, 0x80));

    ResetModel();
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().midiStructs.push_back(
        MakeElement("", {{"name", "ms"}, {"channel", "1"}}));
    CTraceCapture unknown;
    EXPECT_FALSE(manager.CreateStructs());
    EXPECT_EQ(unknown.Text(), "MIDI contains unknown tags. : ms : channel, \n");
}
}

namespace
{
// The parameter part of a small script, as the script reader hands it over.
const char* const kScript = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<script>
<structType><type>commonT</type><name>$name</name><address>$address</address>
  <value><type>string</type><name>patchName</name><size>0C</size><default>INIT PATCH</default></value>
  <value><type>int1x7</type><name>level</name><default>100</default></value>
  <value><type>int1x7</type><name>pan</name><range>-64S,63S</range><default>0S</default></value>
  <value><type>int2x4</type><name>tune</name><range>-100S,100S</range><default>0S</default></value>
  <value><type>int1x7</type><name>rate</name><range>0,8</range><numberTableRef>rates</numberTableRef></value>
</structType>
<structType><type>toneT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>sw</name><range>0,1</range></value>
  <value><type>int2x7</type><name>cutoff</name><range>0,1023</range><default>512</default></value>
</structType>
<structType><type>patT</type><name>$name</name><address>$address</address>
  <struct><type>commonT</type><name>common</name><address>00 00 00 00</address></struct>
  <struct><type>toneT</type><name>tone</name><address>00 00 20 00</address><address>00 00 21 00</address></struct>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>patT</type><name>pat</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
</script>
)";

TEST(StructCreationFromTextTest, ReadScriptBecomesTheTree)
{
    ResetModel();
    CFakeNumberTables tables;
    tables.tables.emplace("rates", CFakeNumberTable({0, 1, 2, 4, 8}));
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetNumberTableProvider(&tables);
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(kScript));
    CTraceCapture trace;
    ASSERT_TRUE(manager.CreateStructs());
    EXPECT_EQ(trace.Text(), "");
    CVeyStruct* fm = manager.FindStructOrNull("fm");
    ASSERT_NE(fm, nullptr);
    EXPECT_EQ(fm->GetAddressRange(), CVeyAddressRange(0x2000000, 0x2001083));
    EXPECT_EQ(GetStructDataSize(*fm), 23u);
    CVeyValue* rate = manager.FindValueOrNull("fm.pat.common.rate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->GetDefinition()->GetValueCount(), 5);
    EXPECT_EQ(manager.FindValueOrNull("fm.pat.common.patchName")->GetText(), "INIT PATCH  ");
    ResetModel();
}

// New leaves share their default bytes with an earlier leaf of the same values; one of the same
// name and place but other values (another type) keeps its own.
TEST(StructCreationFromTextTest, EveryLeafStartsWithItsOwnDefaults)
{
    ResetModel();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(
        "<structType><type>aT</type><name>$name</name><address>$address</address>"
        "<value><type>int1x7</type><name>v</name><default>5</default></value>"
        "<value><type>int2x4</type><name>w</name><range>0,255</range><default>200</default></value></structType>"
        "<structType><type>bT</type><name>$name</name><address>$address</address>"
        "<value><type>int1x7</type><name>v</name><default>9</default></value>"
        "<value><type>int2x4</type><name>w</name><range>0,255</range><default>17</default></value></structType>"
        "<structType><type>nodeAT</type><name>$name</name><address>$address</address>"
        "<struct><type>aT</type><name>x</name><address>00 00</address><address>00 10</address></struct>"
        "</structType>"
        "<structType><type>nodeBT</type><name>$name</name><address>$address</address>"
        "<struct><type>bT</type><name>x</name><address>00 00</address><address>00 10</address></struct>"
        "</structType>"
        "<structType><type>rootT</type><name>$name</name>"
        "<struct><type>nodeAT</type><name>a</name><address>00 00</address><address>01 00</address></struct>"
        "<struct><type>nodeBT</type><name>b</name><address>02 00</address></struct>"
        "</structType><struct><type>rootT</type><name>r</name></struct>"));
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    ASSERT_TRUE(manager.CreateStructs());
    for (const char* leaf : {"r.a[0].x[0]", "r.a[0].x[1]", "r.a[1].x[0]", "r.a[1].x[1]"})
    {
        SCOPED_TRACE(leaf);
        ASSERT_NE(manager.FindStructOrNull(leaf), nullptr);
        EXPECT_EQ(Hex(*manager.FindStructOrNull(leaf)->GetData()), "05 0C 08");
    }
    for (const char* leaf : {"r.b.x[0]", "r.b.x[1]"})
    {
        SCOPED_TRACE(leaf);
        ASSERT_NE(manager.FindStructOrNull(leaf), nullptr);
        EXPECT_EQ(Hex(*manager.FindStructOrNull(leaf)->GetData()), "09 01 01");
    }
    // Every member's values are its own, over its own bytes: a value set in one leaf shows in that
    // leaf alone, however the member was made.
    const char* const leaves[] = {"r.a[0].x[0]", "r.a[0].x[1]", "r.a[1].x[0]", "r.a[1].x[1]", "r.b.x[0]", "r.b.x[1]"};
    for (size_t i = 0; i < std::size(leaves); ++i)
    {
        SCOPED_TRACE(leaves[i]);
        CVeyValue* v = manager.FindValueOrNull(std::string(leaves[i]) + ".v");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->GetParent(), manager.FindStructOrNull(leaves[i]));
        EXPECT_EQ(v->GetBytes(), manager.FindStructOrNull(leaves[i])->GetData()->data());
        v->SetNumber(static_cast<int32_t>(0x20 + i));
    }
    for (size_t i = 0; i < std::size(leaves); ++i)
        EXPECT_EQ(manager.FindStructOrNull(leaves[i])->GetData()->at(0), 0x20 + i) << leaves[i];
    ResetModel();
}

TEST(StructCreationFromTextTest, MovingAStructKeepsTheSharedRecord)
{
    ResetModel();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(
        "<structType><type>leafT</type><name>$name</name><address>$address</address>"
        "<value><type>int1x7</type><name>v</name></value></structType>"
        "<structType><type>rootT</type><name>$name</name>"
        "<struct><type>leafT</type><name>t</name><address>00 00</address><address>00 10</address></struct>"
        "</structType><struct><type>rootT</type><name>r</name></struct>"));
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    ASSERT_TRUE(manager.CreateStructs());
    CVeyStruct* t0 = manager.FindStructOrNull("r.t[0]");
    CVeyStruct* t1 = manager.FindStructOrNull("r.t[1]");
    const CVeyStructDefinition* before = t0->GetDefinition();
    t0->SetAddressRange({0x30, 0x31});
    EXPECT_EQ(t0->GetAbsoluteAddressRange(), CVeyAddressRange(0x30, 0x31));
    EXPECT_EQ(before->range, CVeyAddressRange(0, 1)) << "the pooled record is not changed";
    EXPECT_EQ(t1->GetAddressRange(), CVeyAddressRange(0x10, 0x11));
    t0->SetAddressRange({0, 1});
    EXPECT_EQ(t0->GetDefinition(), before);
    ResetModel();
}
}

namespace
{
// Level 0 is a leaf with one value; every level above holds `children` instances of the level
// below (one child element with that many addresses when `asArray`). The root is the top level.
void AddNestedTypes(int levels, int children, bool asArray)
{
    AddStructType(MakeType("t0", {{"name", "$name"}}, {}, {MakeElement("int1x7", {{"name", "v"}})}));
    for (int level = 1; level <= levels; ++level)
    {
        const std::string below = "t" + std::to_string(level - 1);
        CVeyTypeDefinition type = MakeType("t" + std::to_string(level), {{"name", "$name"}}, {}, {});
        if (asArray)
        {
            CVeyElementDefinition array = MakeElement(below, {{"name", "m"}});
            for (int i = 0; i < children; ++i)
                array.Add("address", std::to_string(10 + i));
            type.GetStructuralChildren().push_back(array);
        }
        else
            for (int i = 0; i < children; ++i)
                type.GetStructuralChildren().push_back(MakeElement(below, {{"name", "c" + std::to_string(i)}}));
        AddStructType(type);
    }
    AddRootStruct(MakeElement("t" + std::to_string(levels), {{"name", "fm"}}));
}
}

TEST_F(StructCreationTest, AModelPastTheSizeLimitIsRefusedBeforeItIsBuilt)
{
    const struct
    {
        const char* name;
        int levels;
        int children;
        bool asArray;
    } cases[] = {
        {"two children over twenty-one levels", 21, 2, false},
        {"structs and values each under the limit, together over it", 19, 2, false},
        {"eight-address arrays over eight levels", 8, 8, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ResetModel();
        AddNestedTypes(c.levels, c.children, c.asArray);
        CTraceCapture trace;
        EXPECT_FALSE(manager.CreateStructs());
        EXPECT_EQ(trace.Text(), "Root structs are too large: more than 1048576 structs and values.\n");
        EXPECT_EQ(manager.FindStructOrNull("fm"), nullptr);
    }

    // A loop of branching types is found on the first path, not walked along all of them.
    ResetModel();
    AddNestedTypes(40, 2, false);
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().structTypes[1].GetStructuralChildren().push_back(
        MakeElement("t40", {{"name", "loop"}}));
    {
        CTraceCapture trace;
        EXPECT_FALSE(manager.CreateStructs());
        EXPECT_NE(trace.Text().find("Struct type contains itself. : t40\n"), std::string::npos) << trace.Text();
    }

    // A model of a few thousand structs, shared types counted once, is built as before.
    ResetModel();
    AddNestedTypes(10, 2, false);
    CTraceCapture trace;
    ASSERT_TRUE(manager.CreateStructs());
    EXPECT_EQ(trace.Text(), "");
    EXPECT_NE(manager.FindValueOrNull("fm.c1.c0.c1.c0.c1.c0.c1.c0.c1.c0.v"), nullptr);
}

namespace
{
// A leaf type of one value on a block of 1 MiB, and `levels` types above it, each an array of
// `members` instances of the level below, all at address 0: every leaf overlaps every other, so
// the address space never runs out while the blocks add up. `roots` roots of the top type.
std::string OverlappingLeavesScript(int levels, int members, int roots)
{
    std::string script = "<script>\n<structType><type>t0</type><name>$name</name><address>$address</address>"
                         "<size>00 40 00 00</size><value><type>int1x7</type><name>v</name></value></structType>\n";
    for (int level = 1; level <= levels; ++level)
    {
        script += "<structType><type>t" + std::to_string(level) + "</type><name>$name</name><address>$address</address>"
                  "<struct><type>t" + std::to_string(level - 1) + "</type><name>m</name>";
        for (int i = 0; i < members; ++i)
            script += "<address>00 00 00 00</address>";
        script += "</struct></structType>\n";
    }
    for (int root = 0; root < roots; ++root)
        script += "<struct><type>t" + std::to_string(levels) + "</type><name>r" + std::to_string(root) +
                  "</name><address>00 00 00 00</address></struct>\n";
    return script + "</script>\n";
}
}

TEST_F(StructCreationTest, AModelHoldingTooManyBytesIsRefusedBeforeTheyAreAllocated)
{
    const struct
    {
        const char* name;
        int levels;
        int members;
        int roots;
    } refused[] = {
        {"4,096 leaves of 1 MiB", 4, 8, 1},
        {"32,768 leaves of 1 MiB", 5, 8, 1},
        {"roots each under the limit, together over it", 1, 12, 2},
    };
    for (const auto& c : refused)
    {
        SCOPED_TRACE(c.name);
        ResetModel();
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(OverlappingLeavesScript(c.levels, c.members, c.roots)));
        CTraceCapture trace;
        EXPECT_FALSE(manager.CreateStructs());
        EXPECT_EQ(trace.Text(), "Root structs are too large: more than 16777216 bytes of data.\n");
        EXPECT_EQ(manager.FindStructOrNull("r1"), nullptr);
    }

    // Sixteen such leaves are within the limit and are built.
    ResetModel();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(OverlappingLeavesScript(2, 4, 1)));
    CTraceCapture trace;
    ASSERT_TRUE(manager.CreateStructs());
    EXPECT_EQ(trace.Text(), "");
    const CVeyStruct* leaf = manager.FindStructOrNull("r0.m[3].m[3]");
    ASSERT_NE(leaf, nullptr);
    ASSERT_NE(leaf->GetData(), nullptr);
    EXPECT_EQ(leaf->GetData()->size(), 0x100000u);
}

#if defined(__SANITIZE_ADDRESS__)
#define Q9_ADDRESS_SPACE_IS_THE_SANITIZERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define Q9_ADDRESS_SPACE_IS_THE_SANITIZERS 1
#endif
#endif

#ifndef Q9_ADDRESS_SPACE_IS_THE_SANITIZERS
namespace
{
// Runs `work` in a child process whose address space is held to `headroom` bytes more than it
// uses; the child exits with `work`'s code, 3 when it could not be held, 4 when `work` threw.
int RunWithAddressSpaceHeadroom(rlim_t headroom, int (*work)())
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
    {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r"))
        {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
        const struct rlimit limit = {room, room};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(3);
        int code = 4;
        try
        {
            code = work();
        }
        catch (...)
        {
        }
        _exit(code);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return -1;
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}
#endif

// A model the machine has no memory for fails with its line instead of ending the program: in a
// child process whose address space is held to a few megabytes more than it uses.
TEST_F(StructCreationTest, AModelWithoutMemoryToHoldItFailsWithItsLine)
{
#ifdef Q9_ADDRESS_SPACE_IS_THE_SANITIZERS
    GTEST_SKIP() << "the address sanitizer reserves terabytes of address space: no limit can be set below it";
#else
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(OverlappingLeavesScript(2, 4, 1)));
    CVeyBufferManager::RegisterManagerStep();
    const int result = RunWithAddressSpaceHeadroom(6u << 20, [] {
        CTraceCapture trace;
        const bool created = VeyCreateManagers();
        const bool told = trace.Text().find("Not enough memory to read the script's structs, MIDI ports and views.\n"
                                            "Unable to create buffer manager.\n") != std::string::npos;
        return created ? 1 : told ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << "1: built anyway, 2: failed without the line, 3: no memory figure";
    VeySetManagerStep(EVeyManager::kBuffer, {}, {});
#endif
}

// Leaves are given their bytes while the model is built only up to the model's byte limit: a
// script of 32,768 leaves of 1 MiB is refused for its size, not for the memory it would take.
TEST_F(StructCreationTest, BytesGivenWhileBuildingStayWithinTheLimit)
{
#ifdef Q9_ADDRESS_SPACE_IS_THE_SANITIZERS
    GTEST_SKIP() << "the address sanitizer reserves terabytes of address space: no limit can be set below it";
#else
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(OverlappingLeavesScript(5, 8, 1)));
    const int result = RunWithAddressSpaceHeadroom(64u << 20, [] {
        CTraceCapture trace;
        const bool created = CVeyBufferManager::GetInstance().CreateStructs();
        return created ? 1 : trace.Text() == "Root structs are too large: more than 16777216 bytes of data.\n" ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << "1: built anyway, 2: failed otherwise, 3: no memory figure, 4: out of memory";
#endif
}
