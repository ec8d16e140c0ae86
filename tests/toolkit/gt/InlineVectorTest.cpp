#include "toolkit/gt/InlineVector.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace
{
using CBytes = GT::CInlineVector<uint8_t, 4>;
// Nested as the patch blocks are: the elements own memory of their own.
using CNested = GT::CInlineVector<GT::CInlineVector<std::string, 2>, 1>;

std::vector<uint8_t> Values(const CBytes& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool IsInside(const CBytes& bytes)
{
    const auto* self = reinterpret_cast<const unsigned char*>(&bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    return data >= self && data < self + sizeof(bytes);
}
}

TEST(InlineVector, GrowsOutOfItselfAndKeepsItsElements)
{
    CBytes bytes{1, 2, 3};
    EXPECT_TRUE(IsInside(bytes));
    bytes.push_back(4);
    EXPECT_TRUE(IsInside(bytes)) << "the inside room is used to the last element";
    bytes.push_back(5);
    EXPECT_FALSE(IsInside(bytes));
    EXPECT_EQ(Values(bytes), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    bytes.resize(9, 7);
    bytes.resize(10);
    EXPECT_EQ(Values(bytes), (std::vector<uint8_t>{1, 2, 3, 4, 5, 7, 7, 7, 7, 0}));
    bytes.resize(2);
    EXPECT_EQ(Values(bytes), (std::vector<uint8_t>{1, 2}));
    bytes.assign(3, 9);
    EXPECT_EQ(Values(bytes), (std::vector<uint8_t>{9, 9, 9}));
    const std::list<uint8_t> listed{6, 5, 4, 3, 2, 1};
    bytes.assign(listed.begin(), listed.end());
    EXPECT_EQ(Values(bytes), (std::vector<uint8_t>(listed.begin(), listed.end())));
    bytes.clear();
    EXPECT_TRUE(bytes.empty());
}

TEST(InlineVector, CopiesAndMovesInsideAndOnTheHeap)
{
    struct CCase
    {
        const char* name;
        size_t size;
    };
    for (const CCase& c : {CCase{"inside", 3}, CCase{"on the heap", 40}})
    {
        SCOPED_TRACE(c.name);
        CNested original(2);
        for (size_t i = 0; i < c.size; ++i)
            original[i % 2].push_back(std::string(30, static_cast<char>('a' + i % 26)));

        CNested copy(original);
        EXPECT_EQ(copy, original);
        copy[1].push_back("changed");
        EXPECT_NE(copy, original) << "a copy shares nothing";

        CNested moved(std::move(copy));
        EXPECT_TRUE(copy.empty());
        EXPECT_EQ(moved[1].back(), "changed");
        moved = original;
        EXPECT_EQ(moved, original);
        CNested assigned;
        assigned = std::move(moved);
        EXPECT_EQ(assigned, original);
        const CNested& same = assigned;
        assigned = same;
        EXPECT_EQ(assigned, original) << "assigned to itself";
    }
}

TEST(InlineVector, AppendsAndResizesFromItsOwnElements)
{
    // As with std::vector, the element given may be one of the vector's own, even when the
    // vector must grow to take it.
    GT::CInlineVector<std::string, 2> texts{std::string(40, 'x'), "y"};
    texts.push_back(texts[0]);
    texts.resize(6, texts[1]);
    EXPECT_EQ(texts[2], std::string(40, 'x'));
    EXPECT_EQ(texts[5], "y");
}
