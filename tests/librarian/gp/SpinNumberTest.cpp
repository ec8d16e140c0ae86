#include "librarian/gp/SpinNumber.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace GP::SpinNumber;

TEST(SpinNumber, FormatsIntegersAndReals)
{
    EXPECT_EQ(FormatInteger(-26, SignedHexadecimal), "-0x1A");
    EXPECT_EQ(FormatInteger(-26, Hexadecimal), "0xFFFFFFE6");
    EXPECT_EQ(FormatInteger(-26, Decimal), "-26");
    EXPECT_EQ(FormatInteger(INT32_MIN, SignedHexadecimal), "-0x80000000");
    struct Case { const char* name; double value; int32_t format; int32_t precision; uint32_t flags; const char* text; };
    const Case cases[] = {
        {"trailing zeros dropped with the point", 2.0, Decimal, 3, 1, "2"},
        {"one zero kept after the point", 2.0, Decimal, 3, 5, "2.0"},
        {"whole value loses its decimals", 2.0, Decimal, 3, 2, "2"},
        {"fraction kept", 2.5, Decimal, 3, 1, "2.5"},
        {"plain precision", 1.25, Decimal, 2, 0, "1.25"},
        {"signed hex with fraction", -1.5, SignedHexadecimal, 3, 0, "-0x1.800"},
        {"signed hex whole", 26.0, SignedHexadecimal, 0, 0, "0x1A"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatReal(c.value, c.format, c.precision, c.flags), c.text);
    }
}

TEST(SpinNumber, ReadsNumbersAndRefusesText)
{
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {" -0x1.8", true, -1.5}, {"12abc", true, 12}, {"0x1A", true, 26}, {"  -3.25", true, -3.25},
        {"abc", false, 0}, {"", false, 0}, {"0x", false, 0}, {"-", false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        double value = 99;
        EXPECT_EQ(ParseReal(c.text, value), c.ok);
        EXPECT_DOUBLE_EQ(value, c.value);
    }
}

// The shown text leaves room for the stepping digit, and the caret lands right after that digit.
TEST(SpinNumber, PadsAndPlacesTheCaretForTheDigit)
{
    struct Case { const char* text; int32_t digit; const char* padded; int caret; };
    const Case cases[] = {
        {"10", 0, "10", 2},      // units: caret after the 0
        {"10", 1, "10", 1},      // tens
        {"9", 1, "  9", 2},      // no tens place yet: room in front
        {"2.5", -1, "2.5", 3},   // first decimal
        {"2", -1, "2  ", 3},     // no decimals yet: room behind
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.text) + " digit " + std::to_string(c.digit));
        const std::string padded = PadForDigit(c.text, c.digit);
        EXPECT_EQ(padded, c.padded);
        EXPECT_EQ(CaretAfterDigit(padded, c.digit), c.caret);
        EXPECT_EQ(DigitFromCaret(padded, c.caret, c.digit >= 0), c.digit);
    }
    EXPECT_EQ(DigitFromCaret("2.5", 2, false), 0) << "a caret on the point counts as the units";
    EXPECT_EQ(DigitFromCaret("2.5", 3, true), 0) << "integer mode has no decimals";
    EXPECT_LE(PadForDigit("1", 1000000).size(), 70u) << "a far-off digit must not grow the text without bound";
}

TEST(SpinNumber, StepsAndClamps)
{
    EXPECT_DOUBLE_EQ(9 + StepSize(Decimal, 0, 0), 10);
    EXPECT_DOUBLE_EQ(9 + StepSize(Decimal, 1, 0), 19);
    EXPECT_DOUBLE_EQ(StepSize(Decimal, 0, 1), 10) << "acceleration steps the next digit";
    EXPECT_DOUBLE_EQ(StepSize(SignedHexadecimal, 1, 0), 16);
    EXPECT_DOUBLE_EQ(StepSize(Decimal, -1, 0), 0.1);

    struct Case { const char* name; double value, minimum, maximum; bool integer; double result; };
    const Case cases[] = {
        {"integer range rounds inward, low", 0, 0.5, 10.7, true, 1},
        {"integer range rounds inward, high", 11, 0.5, 10.7, true, 10},
        {"half rounds away from zero", -2.5, -10, 10, true, -3},
        {"bounds in either order", 50, 10, 0, false, 10},
        {"real inside", 2.25, 0, 10, false, 2.25},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(Clamp(c.value, c.minimum, c.maximum, c.integer), c.result);
    }
}

TEST(SpinNumber, RepeatTimingFollowsTheKeyboardSettings)
{
    EXPECT_DOUBLE_EQ(RepeatDelay(0), 250);
    EXPECT_DOUBLE_EQ(RepeatDelay(1), 500);
    EXPECT_DOUBLE_EQ(RepeatDelay(3), 1000);
    EXPECT_DOUBLE_EQ(RepeatInterval(0), 400);
    EXPECT_EQ(RepeatPeriod(RepeatInterval(31), 1), 33u);
    EXPECT_EQ(RepeatPeriod(RepeatInterval(31), 2), 16u);
    EXPECT_EQ(RepeatPeriod(RepeatInterval(31), 1000), 10u) << "a huge factor must not make a 0 ms timer";
}

TEST(SpinNumber, SpeedFactorFileIsUntrusted)
{
    CTempDir dir;
    struct Case { const char* name; const char* content; double factor; };
    const Case cases[] = {
        {"a factor", "2\nignored\n", 2}, {"negative", "-3\n", 1}, {"text", "fast\n", 1},
        {"zero", "0", 1}, {"empty", "", 1}, {"one very long line", nullptr, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("SpinEdit.ini");
        ASSERT_TRUE(WriteFileBytes(path, c.content ? c.content : std::string(100000, 'x')));
        EXPECT_DOUBLE_EQ(ReadSpeedFactor(path), c.factor);
    }
    EXPECT_DOUBLE_EQ(ReadSpeedFactor(dir.File("missing.ini")), 1);
}

// The popup trackbar's thumb: vertical sliders have the maximum on top; an empty range must not
// divide by zero.
TEST(SpinNumber, ThumbPositions)
{
    EXPECT_EQ(ThumbFromValue(5, 0, 10, false), 16384);
    EXPECT_EQ(ThumbFromValue(10, 0, 10, true), 0);
    EXPECT_EQ(ThumbFromValue(0, 0, 10, true), ThumbRange);
    EXPECT_EQ(ThumbFromValue(7, 7, 7, false), 0);
    EXPECT_DOUBLE_EQ(ValueFromThumb(ThumbRange, 0, 10, false), 10);
    EXPECT_DOUBLE_EQ(ValueFromThumb(ThumbRange, 0, 10, true), 0);
    EXPECT_DOUBLE_EQ(ValueFromThumb(1000, 7, 7, true), 7);
}
