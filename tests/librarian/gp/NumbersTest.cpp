#include "librarian/gp/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
TEST(NumbersTest, FormatRealTrimsAndKeepsDigitsByFlags)
{
    struct Case
    {
        const char* name;
        double value;
        int format;
        int precision;
        int flags;
        const char* expected;
    } cases[] = {
        {"trailing zeros and point removed", 2.0, 0, 3, 1, "2"},
        {"one zero kept after the point", 2.0, 0, 3, 5, "2.0"},
        {"whole number loses its fraction", 2.0, 0, 3, 2, "2"},
        {"whole number keeps one digit", 2.0, 0, 3, 6, "2.0"},
        {"fraction trimmed to its digits", 2.5, 0, 3, 1, "2.5"},
        {"no flags keeps precision", 2.5, 0, 3, 0, "2.500"},
        {"precision zero rounds", 2.5, 0, 0, 1, "2"},
        {"hex fraction cut to precision", 1.5, 2, 3, 0, "0x1.800"},
        {"negative hex fraction", -1.5, 2, 2, 1, "-0x1.8"},
        {"hex whole number", -26.0, 2, 0, 0, "-0x1A"},
        {"hex full fraction digits", 0.25, 2, 7, 0, "0x0.4000000"},
        {"no number in hexadecimal", std::nan(""), 2, 3, 1, "0x0"},
        {"infinity in decimal", HUGE_VAL, 0, 1, 0, "0.0"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.expected, GP::FormatReal(c.value, c.format, c.precision, c.flags));
    }
}

TEST(NumbersTest, FormatIntegerInEachFormat)
{
    EXPECT_STREQ("-26", GP::FormatInteger(-26, 0));
    EXPECT_STREQ("0xFFFFFFE6", GP::FormatInteger(-26, 1));
    EXPECT_STREQ("-0x1A", GP::FormatInteger(-26, 2));
    EXPECT_STREQ("0x1A", GP::FormatInteger(26, 2));
    EXPECT_STREQ("-0x80000000", GP::FormatInteger(INT32_MIN, 2));
}

TEST(NumbersTest, ParseIntegerReadsDecimalHexAndOctal)
{
    struct Case
    {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"  42", true, 42},   {"-0x1A", true, -26},     {"010", true, 8},        {"0xFFFFFFE6", true, -26},
        {"12abc", true, 12},  {"", false, 0},           {"  -", false, 0},       {"abc", false, 0},
        {"- 5", true, -5},    {"-2147483648", true, INT32_MIN},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        int32_t value = 0;
        EXPECT_EQ(c.ok, GP::ParseInteger(c.text, value));
        if (c.ok)
        {
            EXPECT_EQ(c.value, value);
        }
        EXPECT_EQ(c.ok ? c.value : 0, GP::ParseInteger(c.text));
    }
    EXPECT_EQ(0, GP::ParseInteger(nullptr));
}

TEST(NumbersTest, ParseRealReadsDecimalAndHexFractions)
{
    struct Case
    {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {" -0x1.8", true, -1.5},
        {"12abc", true, 12.0},
        {"0X10", true, 16.0},
        {"0x0.0000001", true, 1.0 / 268435456.0},
        {"0x1.123456789", true, 1.0 + 0x1234567 / 268435456.0},   // digits after the seventh ignored
        {"-2.25", true, -2.25},
        {"x", false, 0},
        {"", false, 0},
        {"nan", false, 0},
        {"0x", false, 0},
        {"-inf", false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        double value = 0;
        EXPECT_EQ(c.ok, GP::ParseReal(c.text, value));
        if (c.ok)
        {
            EXPECT_DOUBLE_EQ(c.value, value);
        }
    }
    EXPECT_DOUBLE_EQ(0.0, GP::ParseReal("nothing"));
}

TEST(NumbersTest, FormatAndTrimRight)
{
    EXPECT_EQ("a-7-0x1F", GP::Format("%s-%d-0x%X", "a", 7, 31));
    EXPECT_EQ(std::string(3000, 'x'), GP::Format("%s", std::string(3000, 'x').c_str()));
    std::string text = "name \t\r\n";
    GP::TrimRight(text);
    EXPECT_EQ("name", text);
    std::string multibyte = "\x83\x5C  ";   // a two-byte character whose second byte is 0x5C
    GP::TrimRight(multibyte);
    EXPECT_EQ("\x83\x5C", multibyte);
}
}
