#include "model/CVeyAddress.h"

#include <gtest/gtest.h>

namespace
{
struct CPackingCase
{
    const char* name;
    std::vector<uint8_t> bytes;
    int32_t number;
};

TEST(AddressTest, SetFromBytesPacksSevenBitsPerByte)
{
    const CPackingCase cases[] = {
        {"zero", {0, 0, 0, 0}, 0},
        {"third byte", {0, 0, 0x10, 0}, 0x800},
        {"second byte", {0, 1, 0, 0}, 0x4000},
        {"first byte", {0x1F, 0, 0, 0}, 0x3E00000},
        {"user area", {0x30, 0, 0, 0}, 0x6000000},
        {"all ones", {0x7F, 0x7F, 0x7F, 0x7F}, 0xFFFFFFF},
        {"empty", {}, 0},
        {"unmasked byte adds its full value", {0x01, 0x80}, 0x100},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyAddress address;
        address.SetFromBytes(c.bytes);
        EXPECT_EQ(address.Get(), c.number);
    }
}

TEST(AddressTest, SetFromBytesOfOverlongInputWrapsWithoutOverflow)
{
    // Six bytes of 7F are 42 bits: the result wraps (the sanitizer checks there is no overflow).
    CVeyAddress address;
    address.SetFromBytes(std::vector<uint8_t>(6, 0x7F));
    EXPECT_EQ(address.Get(), -1);
}

TEST(AddressTest, ToBytesWritesTheChosenWidth)
{
    struct CCase
    {
        const char* name;
        int32_t number;
        int size;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"four bytes", 0x2000800, 4, {0x10, 0x00, 0x10, 0x00}},
        {"data size 180h", 0x180, 4, {0x00, 0x00, 0x03, 0x00}},
        {"three bytes drop the first", 0x2000800, 3, {0x00, 0x10, 0x00}},
        {"size 1 keeps the low 7 bits", 0x800, 1, {0x00}},
        {"size below 1 gives one byte", 0x85, 0, {0x05}},
        {"size above 4 gives four", 0x7F, 9, {0x00, 0x00, 0x00, 0x7F}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CVeyAddress(c.number).ToBytes(c.size), c.bytes);
    }
}

TEST(AddressTest, ParseBytesRefusesWhatTheWireCannotCarry)
{
    int32_t value = -7;
    EXPECT_TRUE(CVeyAddress::ParseBytes({0x7F, 0x7F, 0x7F, 0x7F}, value));
    EXPECT_EQ(value, 0xFFFFFFF);
    value = -7;
    EXPECT_FALSE(CVeyAddress::ParseBytes({0, 0, 0, 0, 1}, value)) << "five bytes";
    EXPECT_FALSE(CVeyAddress::ParseBytes({0xFF, 0xFF, 0xFF, 0xFF}, value)) << "past 28 bits";
    EXPECT_EQ(value, -7);
}

TEST(AddressRangeTest, ContainsOverlapsAndIntersect)
{
    const CVeyAddressRange empty(5, 5);
    EXPECT_FALSE(empty.Contains(5));
    EXPECT_FALSE(empty.Overlaps(CVeyAddressRange(0, 10)));
    EXPECT_FALSE(CVeyAddressRange(0, 10).Overlaps(empty));
    CVeyAddressRange result;
    EXPECT_FALSE(result.Intersect(empty, CVeyAddressRange(0, 10)));

    const CVeyAddressRange a(0, 4), b(4, 8);
    EXPECT_TRUE(a.Contains(0));
    EXPECT_FALSE(a.Contains(4));
    EXPECT_FALSE(a.Overlaps(b));
    EXPECT_FALSE(result.Intersect(a, b));
    EXPECT_EQ(result, CVeyAddressRange(4, 4)) << "fields are written even when empty";

    EXPECT_TRUE(result.Intersect(CVeyAddressRange(2, 6), a));
    EXPECT_EQ(result, CVeyAddressRange(2, 4));
    EXPECT_EQ(result.GetSize(), 2);
    EXPECT_TRUE(CVeyAddressRange(2, 6).Overlaps(a));
}

TEST(PathTest, MatchPathPrefixTakesWholeComponents)
{
    struct CCase
    {
        const char* path;
        const char* name;
        bool match;
        const char* rest;
    } cases[] = {
        {"fm", "fm", true, ""},
        {"fm.pat.common", "fm", true, "pat.common"},
        {"fmx.pat", "fm", false, ""},
        {"fm.", "fm", false, ""},
        {"f", "fm", false, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.path) + " / " + c.name);
        std::string rest = "untouched";
        EXPECT_EQ(MatchPathPrefix(c.path, c.name, rest), c.match);
        if (c.match)
        {
            EXPECT_EQ(rest, c.rest);
        }
    }
}

TEST(PathTest, ArrayElementNamesAndPathComponents)
{
    EXPECT_EQ(MakeArrayElementName("tone", 2), "tone[2]");
    EXPECT_EQ(GetPathComponents("fm.pat.common.level", 1, 2), "pat.common");
    EXPECT_EQ(GetPathComponents("fm.pat.common.level", 2, -1), "common.level");
    EXPECT_EQ(GetPathComponents("fm.pat", 2, 1), "");
}
}
