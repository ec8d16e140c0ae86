#include "toolkit/gt/IndexedStringTable.h"

#include <gtest/gtest.h>

TEST(IndexedStringTable, LooksUpInTheSelectedSetOnly)
{
    GT::CIndexedStringTable table;
    table.Set(0, 4, "The file could not be loaded.");
    table.Set(1, 4, "Japanese 4");
    table.Set(1, 9, "only in set 1");
    EXPECT_EQ(table.Find(4), "The file could not be loaded.");
    EXPECT_EQ(table.Find(9), "");
    table.SelectSet(1);
    EXPECT_EQ(table.Find(4), "Japanese 4");
    EXPECT_EQ(table.Find(9), "only in set 1");
}

TEST(IndexedStringTable, SecondTextOfAnIdWins)
{
    GT::CIndexedStringTable table;
    table.Set(0, -5, "first");
    table.Set(0, -5, "second");
    EXPECT_EQ(table.Find(-5), "second");
}

TEST(IndexedStringTable, MissingIdsShareOneEmptyString)
{
    GT::CIndexedStringTable table;
    table.Set(0, 1, "x");
    const std::string& a = table.Find(2);
    const std::string& b = table.Find(3);
    table.SelectSet(1);
    const std::string& c = table.Find(1);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(&a, &c);
}

TEST(IndexedStringTable, LanguageStringSelectsTheSet)
{
    const struct
    {
        const char* language;
        uint32_t set;
    } cases[] = {{"English", 0}, {"Japanese", 1}, {"", 1}, {"english", 1}, {"English ", 1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.language);
        GT::CIndexedStringTable table;
        table.Set(0, 6, "Updating.");
        table.Set(1, 6, "J6");
        table.SelectLanguage(c.language);
        EXPECT_EQ(table.GetSelectedSet(), c.set);
        EXPECT_EQ(table.Find(6), c.set == 0 ? "Updating." : "J6");
    }
}

TEST(IndexedStringTable, OutOfRangeSetsAreRefused)
{
    GT::CIndexedStringTable table;
    table.Set(0, 1, "kept");
    table.Set(2, 1, "ignored");
    table.SelectSet(2);
    EXPECT_EQ(table.GetSelectedSet(), 0u);
    EXPECT_EQ(table.Find(1), "kept");
}

TEST(IndexedStringTable, ClearEmptiesBothSetsAndKeepsTheSelection)
{
    GT::CIndexedStringTable table;
    table.Set(0, 1, "a");
    table.Set(1, 1, "b");
    table.SelectSet(1);
    table.Clear();
    EXPECT_EQ(table.Find(1), "");
    EXPECT_EQ(table.GetSelectedSet(), 1u);
    table.Set(1, 1, "c");
    EXPECT_EQ(table.Find(1), "c");
}

TEST(IndexedStringTable, MessageTableIsOneProcessWideObject)
{
    EXPECT_EQ(&GetMessageTable(), &GetMessageTable());
}
