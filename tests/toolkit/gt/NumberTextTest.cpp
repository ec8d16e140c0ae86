#include "toolkit/gt/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>

namespace
{
constexpr int32_t kUntouched = 12345;

struct CLongCase
{
    const char* name;
    const char* text;
    bool ok;
    int32_t value;
};
}

TEST(StringToLong, ReadsAsTheScriptWritesNumbers)
{
    const CLongCase cases[] = {
        {"decimal", "42", true, 42},
        {"blanks and negative hex", "  -0x10", true, -16},
        {"leading zero is octal", "010", true, 8},
        {"octal stops at 8", "08", true, 0},
        {"upper-case hex prefix", " 0X1F", true, 31},
        {"bare 0x reads zero", "0x", true, 0},
        {"trailing text ignored", "12abc", true, 12},
        {"plus sign", "+5", true, 5},
        {"double minus negates twice", "--5", true, 5},
        {"blank after own minus is skipped", "- 5", true, -5},
        {"all 32 bits read as negative", "0xFFFFFFFF", true, -1},
        {"wraps beyond 32 bits", "0x100000001", true, 1},
        {"wraps beyond 64 bits", "0x10000000000000002", true, 2},
        {"most negative", "-0x80000000", true, std::numeric_limits<int32_t>::min()},
        {"letters", "abc", false, kUntouched},
        {"empty", "", false, kUntouched},
        {"only minus", "-", false, kUntouched},
        {"blank between sign and digits", "-+ 5", false, kUntouched},
    };
    for (const CLongCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        int32_t value = kUntouched;
        EXPECT_EQ(GT::StringToLong(c.text, &value), c.ok);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(GT::StringToLong(std::string(c.text), nullptr), c.ok);
        EXPECT_EQ(GT::ToLong(c.text), c.ok ? c.value : 0);
    }
    EXPECT_FALSE(GT::StringToLong(static_cast<const char*>(nullptr), nullptr));
    EXPECT_EQ(GT::ToLong(static_cast<const char*>(nullptr)), 0);
}

TEST(StringToLong, DecimalAndListFormsFollowTheirConversions)
{
    int32_t value = kUntouched;
    EXPECT_TRUE(GT::StringToLongDecimal(" -010", &value));
    EXPECT_EQ(value, -10);
    EXPECT_TRUE(GT::StringToLongDecimal("0x10", &value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(GT::StringToLongDecimal("x", &value));

    int32_t a = kUntouched, b = kUntouched;
    EXPECT_TRUE(GT::StringToLongPair("0x10, -3", &a, &b));
    EXPECT_EQ(a, 16);
    EXPECT_EQ(b, -3);
    a = b = kUntouched;
    EXPECT_FALSE(GT::StringToLongPair("1 ,2", &a, &b));   // the comma must follow directly
    EXPECT_FALSE(GT::StringToLongPair("1", &a, &b));
    EXPECT_EQ(a, kUntouched);

    GT::CPoint32 point;
    EXPECT_TRUE(GT::StringToPoint("10,20", &point));
    EXPECT_EQ(point, (GT::CPoint32{10, 20}));
    GT::CRect32 rect;
    EXPECT_TRUE(GT::StringToRect("1,2,3,4", &rect));
    EXPECT_EQ(rect, (GT::CRect32{1, 2, 3, 4}));
    EXPECT_FALSE(GT::StringToRect("1,2,3", &rect));
    EXPECT_EQ(rect, (GT::CRect32{1, 2, 3, 4}));

    GT::CShortTriple colour;
    EXPECT_TRUE(GT::StringToShortTriple("65280,0,0x8000", &colour));
    EXPECT_EQ(colour, (GT::CShortTriple{-256, 0, -32768}));
    EXPECT_FALSE(GT::StringToShortTriple("1,2", &colour));
}

TEST(LongToString, ModesAndThirtyTwoBitPatterns)
{
    EXPECT_EQ(GT::LongToString(-16, 0), "-16");
    EXPECT_EQ(GT::LongToString(-16, 1), "0xFFFFFFF0");
    EXPECT_EQ(GT::LongToString(-16, 2), "-0x10");
    EXPECT_EQ(GT::LongToString(255, 2), "0xFF");
    EXPECT_EQ(GT::LongToString(std::numeric_limits<int32_t>::min(), 2), "-0x80000000");
    EXPECT_EQ(GT::LongToString(1, 3), "");
    EXPECT_EQ(GT::LongToString(1, -1), "");
}

TEST(StringToDouble, DecimalAndHexFixedPoint)
{
    const struct
    {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"-2.5", true, -2.5},
        {"  3", true, 3.0},
        {".5", true, 0.5},
        {"1e3", true, 1000.0},
        {"1e", true, 1.0},
        {"0x1.8", true, 1.5},
        {"-0x10", true, -16.0},
        {"0x1.0000001", true, 1.0 + 1.0 / (1 << 28)},
        {"0x2.12345678", true, 2.0 + 0x1234567 / double(1 << 28)},   // cut to seven digits
        {"0x.8", false, 0},
        {"0x", false, 0},
        {"nan", false, 0},
        {"inf", false, 0},
        {"-Infinity", false, 0},
        {"Nano", false, 0},
        {"1e999", false, 0},
        {"1e-999", true, 0.0},
        {"abc", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        double value = -99;
        EXPECT_EQ(GT::StringToDouble(c.text, &value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : -99);
    }
    EXPECT_TRUE(GT::StringToDouble("7", nullptr));
    EXPECT_FALSE(GT::StringToDouble(static_cast<const char*>(nullptr), nullptr));
}

TEST(StringToDouble, IgnoresTheProcessLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german)
        GTEST_SKIP() << "no comma-decimal locale installed";
    double value = 0;
    const bool ok = GT::StringToDouble("2.5", &value);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_TRUE(ok);
    EXPECT_EQ(value, 2.5);
}

TEST(HexStringToBytes, OneOrTwoDigitsSeparatedBySpaces)
{
    const struct
    {
        const char* text;
        bool ok;
        GT::CBytes bytes;
    } cases[] = {
        {"F0 41 10", true, {0xF0, 0x41, 0x10}},
        {"F0  41", true, {0xF0, 0x41}},
        {"7", true, {0x07}},
        {" a b ", true, {0x0A, 0x0B}},
        {"", true, {}},
        {"F041", false, {}},
        {"F0 4G", false, {0xF0}},
        {"00\t10", false, {}},
        {"10 20\r", false, {0x10}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        GT::CBytes bytes;
        EXPECT_EQ(GT::HexStringToBytes(c.text, bytes), c.ok);
        EXPECT_EQ(bytes, c.bytes);
    }
    GT::CBytes bytes;
    EXPECT_FALSE(GT::HexStringToBytes(static_cast<const char*>(nullptr), bytes));
    EXPECT_EQ(GT::HexDigitValue('f'), 15);
    EXPECT_EQ(GT::HexDigitValue('G'), 255);
}

TEST(StringToLongList, EveryItemMustBeANumber)
{
    const struct
    {
        const char* text;
        bool ok;
        std::vector<int32_t> values;
    } cases[] = {
        {"1,2,3", true, {1, 2, 3}},
        {" 0x10,-1, 010", true, {16, -1, 8}},
        {"", false, {}},
        {"1,,2", false, {1}},
        {"1,2,", false, {1, 2}},
        {"1, x", false, {1}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        std::vector<int32_t> values;
        EXPECT_EQ(GT::StringToLongList(c.text, values), c.ok);
        EXPECT_EQ(values, c.values);
    }
    // An item longer than any line buffer is read whole.
    std::vector<int32_t> values;
    EXPECT_TRUE(GT::StringToLongList("1," + std::string(5000, '0') + "7,2", values));
    EXPECT_EQ(values, (std::vector<int32_t>{1, 7, 2}));   // leading zeros: octal 7
}

TEST(Bytes, FoldingAndSerialising)
{
    EXPECT_EQ(GT::BytesToLong({0x12, 0x34}, true), 0x1234u);
    EXPECT_EQ(GT::BytesToLong({0x12, 0x34}, false), 0x3412u);
    EXPECT_EQ(GT::BytesToLong({}, true), 0u);
    EXPECT_EQ(GT::BytesToLong({1, 2, 3, 4, 5}, true), 0x02030405u);
    EXPECT_EQ(GT::BytesToLong({1, 2, 3, 4, 5}, false), 0x04030201u);

    EXPECT_EQ(GT::StringListToBytes({"ab", ""}),
              (GT::CBytes{0, 0, 0, 2, 0, 0, 0, 2, 'a', 'b', 0, 0, 0, 0}));
    const std::string withNul("a\0\xFF", 3);
    EXPECT_EQ(GT::BytesToString(GT::StringToBytes(withNul)), withNul);
}

TEST(InterpolateColor, TruncatesTowardZeroAndClamps)
{
    const GT::CShortTriple from{0, 100, -100};
    const GT::CShortTriple to{65280 - 65536, 0, 100};
    GT::CShortTriple out;
    GT::InterpolateColor(from, to, 0.0, out);
    EXPECT_EQ(out, from);
    GT::InterpolateColor(from, to, 1.0, out);
    EXPECT_EQ(out, to);
    GT::InterpolateColor({0, 0, 0}, {3, -3, 10}, 0.5, out);
    EXPECT_EQ(out, (GT::CShortTriple{1, -1, 5}));
    GT::InterpolateColor({0, 0, 0}, {30000, -30000, 0}, 2.0, out);
    EXPECT_EQ(out, (GT::CShortTriple{32767, -32768, 0}));
}
