#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "model/CVeyValueRef.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

namespace
{
CVeyBufferManager& Manager()
{
    return CVeyBufferManager::GetInstance();
}

// One value at byte 0 of a 16-byte leaf under a root "r".
class CSingleValue
{
public:
    explicit CSingleValue(CVeyValueDefinition definition)
    {
        if (definition.range.end == 0)
            definition.range = {0, CVeyValueDefinition::GetEncodingSize(definition.encoding)};
        m_root = CreateStruct(CVeyStruct::kRoot);
        m_root->SetDefinition(Manager().InternStructDefinition({"r", {0, 16}}));
        auto leaf = CreateStruct(CVeyStruct::kLeaf);
        leaf->SetDefinition(Manager().InternStructDefinition({"l", {0, 16}}));
        value = leaf->AddValue(Manager().InternValueDefinition(definition));
        m_root->AddChild(std::move(leaf));
        EXPECT_TRUE(m_root->Attach(nullptr));
    }
    std::string Bytes() const { return Hex(value->GetBytes(), static_cast<size_t>(value->GetSize())); }

    CVeyValue* value;

private:
    std::unique_ptr<CVeyStruct> m_root;
};

CVeyValueDefinition Definition(int32_t encoding, int32_t min, int32_t max)
{
    CVeyValueDefinition definition;
    definition.name = "v";
    definition.encoding = encoding;
    definition.min = min;
    definition.max = max;
    return definition;
}

class ValueTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetModel(); }
    void TearDown() override { ResetModel(); }
};

TEST_F(ValueTest, EncodingsWriteAndReadTheirBytes)
{
    using D = CVeyValueDefinition;
    struct CCase
    {
        const char* name;
        int32_t encoding, min, max, number;
        const char* bytes;
        int32_t readBack;
    } cases[] = {
        {"int1x7", D::kInt1x7, 0, 127, 100, "64", 100},
        {"int1x7 signed -1", D::kInt1x7, -64, 63, -1, "7F", -1},
        {"int1x7 unsigned reads 127", D::kInt1x7, 0, 127, -1, "7F", 127},
        {"int2x7 1000", D::kInt2x7, 0, 16383, 1000, "07 68", 1000},
        {"int3x7", D::kInt3x7, -1048576, 1048575, -2, "7F 7F 7E", -2},
        {"int5x7 12345678h", D::kInt5x7, 0, 127, 0x12345678, "01 11 51 2C 78", 0x12345678},
        {"int5x7 -1 whatever its range", D::kInt5x7, 0, 127, -1, "7F 7F 7F 7F 7F", -1},
        {"int5x7 INT_MIN", D::kInt5x7, 0, 127, INT32_MIN, "78 00 00 00 00", INT32_MIN},
        {"int2x4 -3", D::kInt2x4, -128, 127, -3, "0F 0D", -3},
        {"int3x4 -200", D::kInt3x4, -2048, 2047, -200, "0F 03 08", -200},
        {"int4x4 1234h", D::kInt4x4, 0, 65535, 0x1234, "01 02 03 04", 0x1234},
        {"bits that do not fit are dropped", D::kInt1x7, 0, 127, 0x1FF, "7F", 127},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSingleValue v(Definition(c.encoding, c.min, c.max));
        v.value->SetNumber(c.number);
        EXPECT_EQ(v.Bytes(), c.bytes);
        EXPECT_EQ(v.value->GetNumber(), c.readBack);
        EXPECT_EQ(v.value->GetKind(), CVeyValue::kNumber);
    }
}

TEST_F(ValueTest, ClippedSettersClampIntoTheRangeEitherWayRound)
{
    CSingleValue v(Definition(CVeyValueDefinition::kInt1x7, 10, 20));
    v.value->SetNumberClipped(99);
    EXPECT_EQ(v.value->GetNumber(), 20);
    v.value->SetNumberClipped(-5);
    EXPECT_EQ(v.value->GetNumber(), 10);
    CSingleValue reversed(Definition(CVeyValueDefinition::kInt1x7, 20, 10));
    reversed.value->SetNumberClipped(99);
    EXPECT_EQ(reversed.value->GetNumber(), 20);
    v.value->SetIndex(3);
    EXPECT_EQ(v.value->GetNumber(), 13);
    EXPECT_EQ(v.value->GetIndex(), 3);
}

TEST_F(ValueTest, TextsAreClippedPaddedAndNeverWrittenPastTheValue)
{
    CVeyValueDefinition definition = Definition(CVeyValueDefinition::kString, 32, 127);
    definition.range = {0, 4};
    CSingleValue v(definition);
    v.value->SetTextClipped("AB");
    EXPECT_EQ(v.value->GetText(), "AB  ");
    v.value->SetTextClipped("ABCDEF");
    EXPECT_EQ(v.value->GetText(), "ABCD");
    v.value->SetTextClipped(std::string("\x01z\xC8", 3));
    EXPECT_EQ(v.value->GetText(), std::string(" z\x7F ", 4));
    EXPECT_EQ(v.value->GetKind(), CVeyValue::kText);

    // The leaf's next bytes stay untouched by an over-long plain text.
    v.value->SetText("WXYZ-overflow");
    EXPECT_EQ(v.value->GetText(), "WXYZ");
    EXPECT_EQ(v.value->GetParent()->GetData()->at(4), 0);
    EXPECT_EQ(v.value->GetNumber(), 0) << "texts read as 0";
}

TEST_F(ValueTest, NumberTablesMapIndexesAndStayInBounds)
{
    CFakeNumberTable table({0, 1, 2, 4, 8});
    CVeyValueDefinition definition = Definition(CVeyValueDefinition::kInt1x7, 0, 8);
    definition.numberTable = &table;
    CSingleValue v(definition);
    const CVeyValueDefinition& d = *v.value->GetDefinition();
    EXPECT_EQ(d.GetValueCount(), 5);
    v.value->SetIndex(3);
    EXPECT_EQ(v.value->GetNumber(), 4);
    EXPECT_EQ(v.value->GetIndex(), 3);
    v.value->SetNumber(5);
    EXPECT_EQ(v.value->GetIndex(), 5) << "a number not in the table gives the count";
    // Indexes outside the table (such as that count) are kept inside it instead of read past it.
    EXPECT_EQ(d.IndexToValue(5), 8);
    EXPECT_EQ(d.IndexToValue(-1), 0);
    v.value->SetIndexClipped(100);
    EXPECT_EQ(v.value->GetNumber(), 8);
}

TEST_F(ValueTest, ValueCountOfAFullWidthRangeDoesNotOverflow)
{
    const CVeyValueDefinition d = Definition(CVeyValueDefinition::kInt5x7, INT32_MIN, INT32_MAX);
    EXPECT_EQ(d.GetValueCount(), INT32_MAX);
    EXPECT_EQ(d.IndexToValue(0), INT32_MIN);
}

TEST_F(ValueTest, ParseNumberAndRangeReadTheScriptForms)
{
    using D = CVeyValueDefinition;
    struct CCase
    {
        const char* text;
        int32_t encoding;
        bool ok;
        int32_t min, max;
    } ranges[] = {
        {"0,127", D::kInt1x7, true, 0, 127},
        {"0,127S", D::kInt1x7, true, 0, 191},
        {"-64S,63S", D::kInt1x7, true, 0, 127},
        {"-10S,20", D::kInt2x4, true, 118, 20},
        {"0x10,010", D::kInt1x7, true, 16, 8},
        {"5", D::kInt1x7, false, 0, 0},
        {"0 ,127", D::kInt1x7, false, 0, 0},
        {"0,127 ", D::kInt1x7, false, 0, 0},
        {"0,127X", D::kInt1x7, false, 0, 0},
        {"a,b", D::kInt1x7, false, 0, 0},
        {"+5,-5", D::kInt1x7, true, 5, -5},
        {"-64S,63", D::kInt1x7, true, 0, 63},
        {"0,127SS", D::kInt1x7, true, 0, 191},
        {"08,9", D::kInt1x7, false, 0, 0},
        {"5,", D::kInt1x7, false, 0, 0},
        {"5S,S", D::kInt1x7, false, 0, 0},
        {"5S", D::kInt1x7, false, 0, 0},
    };
    for (const auto& c : ranges)
    {
        SCOPED_TRACE(c.text);
        int32_t min = -1, max = -1;
        EXPECT_EQ(D::ParseRange(c.encoding, c.text, min, max), c.ok);
        if (c.ok)
        {
            EXPECT_EQ(min, c.min);
            EXPECT_EQ(max, c.max);
        }
    }
    int32_t n = 0;
    EXPECT_TRUE(D::ParseNumber(D::kInt1x7, "-10S", n));
    EXPECT_EQ(n, 54);
    EXPECT_TRUE(D::ParseNumber(D::kInt4x4, "0S", n));
    EXPECT_EQ(n, 32768);
    EXPECT_TRUE(D::ParseNumber(D::kInt2x7, "5S", n));
    EXPECT_EQ(n, 5) << "no center for int2x7";
    EXPECT_TRUE(D::ParseNumber(D::kInt5x7, "0xFFFFFFFF", n));
    EXPECT_EQ(n, -1) << "wraps like a 32-bit long";
    EXPECT_FALSE(D::ParseNumber(D::kInt1x7, "10 ", n));
    EXPECT_FALSE(D::ParseNumber(D::kInt1x7, "", n));
    // The forms scanf's "%li%c" takes, whether or not the text is digits, signs and S alone.
    const struct
    {
        const char* text;
        bool ok;
        int32_t number;
    } numbers[] = {
        {"010", true, 8},         {"08", false, 0},      {"+7", true, 7},      {"-0", true, 0},
        {"5SS", true, 69},        {"5Sx", true, 69},     {"S", false, 0},      {"-", false, 0},
        {"+-5", false, 0},        {" 5", true, 5},       {"5-", false, 0},     {"0x10S", true, 80},
        {"4294967297", true, 1},  {"99999999999999999999", true, -1},
    };
    for (const auto& c : numbers)
    {
        SCOPED_TRACE(c.text);
        n = -7;
        EXPECT_EQ(D::ParseNumber(D::kInt1x7, c.text, n), c.ok);
        if (c.ok)
        {
            EXPECT_EQ(n, c.number);
        }
    }
}

TEST_F(ValueTest, DeclarationErrorsGiveTheirLines)
{
    CFakeNumberTables tables;
    tables.tables.emplace("rates", CFakeNumberTable({0, 1, 2}));
    Manager().SetNumberTableProvider(&tables);
    struct CCase
    {
        const char* name;
        const char* type;
        CAttrs attributes;
        const char* line;
    } cases[] = {
        {"unknown type", "int9x9", {{"name", "v"}}, "Value type is unknown. : v : int9x9\n"},
        {"bad address", "int1x7", {{"name", "v"}, {"address", "0G"}}, "Value address is invalid. : v : 0G\n"},
        {"address past 28 bits", "int1x7", {{"name", "v"}, {"address", "01 00 00 00 00"}},
         "Value address is invalid. : v : 01 00 00 00 00\n"},
        {"bad size", "string", {{"name", "v"}, {"size", "x"}}, "Value size is invalid. : v : x\n"},
        {"bad range", "int1x7", {{"name", "v"}, {"range", "5"}}, "Value range is invalid. : v : 5\n"},
        {"bad default", "int1x7", {{"name", "v"}, {"default", "ten"}}, "Value default is invalid. : v : ten\n"},
        {"missing table", "int1x7", {{"name", "v"}, {"numberTableRef", "nope"}}, "Unable to find number table. : v : nope.\n"},
        {"default too long", "string", {{"name", "v"}, {"size", "02"}, {"default", "ABC"}},
         "Value default is too long. : v : ABC\n"},
        {"string without size", "string", {{"name", "v"}, {"default", "A"}}, "Value default is too long. : v : A\n"},
        {"wrong size", "int2x7", {{"name", "v"}, {"size", "03"}}, "Value size must be 02. : v : 03\n"},
        {"default out of range", "int1x7", {{"name", "v"}, {"range", "0,10"}, {"default", "11"}},
         "Value default is out of range [0,10]. : v : 11\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyElementDefinition::CAttributes attributes(c.attributes);
        CVeyValue value;
        CTraceCapture trace;
        EXPECT_FALSE(value.LoadDefinition(c.type, attributes, 0));
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST_F(ValueTest, DeclarationTakesKnownAttributesAndPoolsTheRecord)
{
    CFakeNumberTables tables;
    tables.tables.emplace("rates", CFakeNumberTable({0, 1, 2, 4, 8}));
    Manager().SetNumberTableProvider(&tables);
    CVeyElementDefinition::CAttributes attributes{{"name", "x"}, {"range", "0,8"}, {"colour", "red"},
                                                  {"numberTableRef", "rates"}, {"default", "4"}, {"name", "rate"}};
    CVeyValue value;
    ASSERT_TRUE(value.LoadDefinition("", attributes, 7));
    const CVeyValueDefinition& d = *value.GetDefinition();
    EXPECT_EQ(d.name, "rate") << "the last name wins";
    EXPECT_EQ(d.range, CVeyAddressRange(7, 8));
    EXPECT_EQ(d.encoding, CVeyValueDefinition::kInt1x7);
    EXPECT_EQ(d.defaultNumber, 4);
    EXPECT_EQ(d.GetDefaultIndex(), 3);
    EXPECT_EQ(d.numberTable, tables.FindNumberTable("rates"));
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0].first, "colour");

    CVeyElementDefinition::CAttributes again{{"name", "rate"}, {"range", "0,8"}, {"numberTableRef", "rates"},
                                             {"default", "4"}};
    CVeyValue twin;
    ASSERT_TRUE(twin.LoadDefinition("int1x7", again, 7));
    EXPECT_EQ(twin.GetDefinition(), value.GetDefinition()) << "equal records are shared";
}

TEST_F(ValueTest, ValueThatReachesPastItsLeafDoesNotAttach)
{
    auto leaf = CreateStruct(CVeyStruct::kLeaf);
    leaf->SetDefinition(Manager().InternStructDefinition({"l", {0, 2}}));
    CVeyValueDefinition definition = Definition(CVeyValueDefinition::kInt2x7, 0, 127);
    definition.range = {1, 3};
    leaf->AddValue(Manager().InternValueDefinition(definition));
    auto root = CreateStruct(CVeyStruct::kRoot);
    root->SetDefinition(Manager().InternStructDefinition({"r", {0, 2}}));
    root->AddChild(std::move(leaf));
    CTraceCapture trace;
    EXPECT_FALSE(root->Attach(nullptr));
    EXPECT_EQ(trace.Text(), "Value address range exceeds parent struct's one. : r.l.v\n");
}

TEST_F(ValueTest, TransmitSendsTheValuesBytesAtItsAbsoluteAddress)
{
    ASSERT_TRUE(BuildSampleModel());
    CVeyValue* cutoff = Manager().FindValueOrNull("fm.pat.tone[1].cutoff");
    EXPECT_FALSE(cutoff->Transmit()) << "no output yet";
    CRecordingTransmitter out;
    auto* root = static_cast<CVeyRootStruct*>(Manager().FindStructOrNull("fm"));
    ASSERT_TRUE(root->SetMidiOut(&out));
    cutoff->SetNumber(1000);
    EXPECT_TRUE(cutoff->Transmit());
    ASSERT_EQ(out.sent.size(), 1u);
    EXPECT_EQ(out.sent[0], (CSentDt1{0x2001081, {0x07, 0x68}}));
}

TEST_F(ValueTest, ReferencesEvaluateTheirBracketsAndKnowWhatTheyRead)
{
    ASSERT_TRUE(BuildSampleModel());
    CVeyValue* rate = Manager().FindValueOrNull("fm.pat.common.rate");
    rate->SetNumber(1);
    CVeyValueRef ref("fm.pat.tone[fm.pat.common.rate].cutoff");
    ASSERT_TRUE(ref.Resolve());
    EXPECT_EQ(ref.GetValue(), Manager().FindValueOrNull("fm.pat.tone[1].cutoff"));
    EXPECT_EQ(ref.GetReadValues(), (std::vector<CVeyValue*>{rate}));
    EXPECT_TRUE(ref.DependsOnAny({rate}));
    EXPECT_FALSE(ref.DependsOnAny({ref.GetValue()}));

    rate->SetNumber(0);
    ASSERT_TRUE(ref.Resolve());
    EXPECT_EQ(ref.GetValue(), Manager().FindValueOrNull("fm.pat.tone[0].cutoff"));

    CVeyValueRef sum("fm.pat.tone[fm.pat.common.rate,1,+].sw");
    ASSERT_TRUE(sum.Resolve());
    EXPECT_EQ(sum.GetValue()->GetPathName(), "fm.pat.tone[1].sw");

    CVeyValueRef nested("fm.pat.tone[fm.pat.tone[fm.pat.common.rate].sw].sw");
    ASSERT_TRUE(nested.Resolve());
    EXPECT_EQ(nested.GetValue()->GetPathName(), "fm.pat.tone[0].sw");
    EXPECT_EQ(nested.GetReadValues().size(), 2u);
}

TEST_F(ValueTest, ReferencesThatDoNotResolveAreReported)
{
    ASSERT_TRUE(BuildSampleModel());
    CVeyValueRefs refs{CVeyValueRef("fm.pat.common.level"), CVeyValueRef("fm.pat.tone[1,0,/].sw"),
                       CVeyValueRef("fm.pat.common.pan")};
    CTraceCapture trace;
    EXPECT_FALSE(ResolveValueRefs(refs));
    EXPECT_EQ(trace.Text(), "Unable to convert value reference name fm.pat.tone[1,0,/].sw to value.\n");
    EXPECT_NE(refs[0].GetValue(), nullptr);
    EXPECT_EQ(FindValueRefByName(refs, "fm.pat.common.pan"), &refs[2]);
    EXPECT_EQ(FindValueRefByName(refs, "nope"), nullptr);

    CVeyValueRef unmatched("fm.pat.tone[0.sw");
    EXPECT_FALSE(unmatched.Resolve());
    // Deeply nested brackets end the evaluation instead of the stack.
    std::string deep = "0";
    for (int i = 0; i < 200; ++i)
        deep = "fm.pat.tone[" + deep + "].sw";
    CVeyValueRef hostile(deep);
    EXPECT_FALSE(hostile.Resolve());
}
}
