#include "model/CVeyTable.h"

#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
using CAttributes = CVeyResource::CAttributes;

CAttributes NamedTable(const std::string& name, std::initializer_list<std::string> tables)
{
    CAttributes attributes{{"name", name}};
    for (const auto& table : tables)
        attributes.emplace_back("table", table);
    return attributes;
}
}

TEST(CVeyTableTest, StringTableLoadsItsElements)
{
    struct Case
    {
        const char* name;
        std::initializer_list<std::string> tables;
        std::vector<std::string> elements;
    };
    const Case cases[] = {
        {"items trimmed, blank escape kept", {"OFF, ON, \\sA\\cB"}, {"OFF", "ON", " A,B"}},
        {"entities undone before splitting", {"&lt;1&gt;, a&amp;b"}, {"<1>", "a&b"}},
        {"a doubled backslash gives one", {"C:\\\\x"}, {"C:\\x"}},
        {"an escaped entity stays an entity", {"&amp;lt;"}, {"&lt;"}},
        {"several table entries add up", {"1,2", "3"}, {"1", "2", "3"}},
        {"empty items dropped", {",a,, ,b,"}, {"a", "b"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyStringTable table;
        CAttributes attributes = NamedTable("T", c.tables);
        attributes.emplace_back("other", "x");
        ASSERT_TRUE(table.Load(attributes));
        EXPECT_EQ(c.elements, table.GetElements());
        EXPECT_EQ("T", table.GetName());
        // Only the entries the table knows are taken.
        ASSERT_EQ(1u, attributes.size());
        EXPECT_EQ("other", attributes[0].first);
    }
}

TEST(CVeyTableTest, TableWithoutElementsFails)
{
    struct Case
    {
        const char* name;
        bool numbers;
        CAttributes attributes;
        const char* trace;
    };
    const Case cases[] = {
        {"string table of commas and blanks", false, NamedTable("A", {" , ,, "}),
         "String table %s has no element. : A\n"},
        {"string table without entry", false, NamedTable("A", {}), "String table %s has no element. : A\n"},
        {"number table without entry", true, NamedTable("N", {}), "Number table %s has no element. : N\n"},
        {"number table with a word", true, NamedTable("N", {"1, two, 3"}),
         "Number table has invalid element. : N : 1, two, 3\n"},
        {"number table with a trailing comma", true, NamedTable("N", {"1,2,"}),
         "Number table has invalid element. : N : 1,2,\n"},
        {"number table with an empty value", true, NamedTable("N", {""}),
         "Number table has invalid element. : N : \n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CAttributes attributes = c.attributes;
        std::unique_ptr<CVeyResource> table;
        if (c.numbers)
            table = std::make_unique<CVeyIntegerTable>();
        else
            table = std::make_unique<CVeyStringTable>();
        EXPECT_FALSE(table->Load(attributes));
        EXPECT_EQ(c.trace, trace.Text());
    }
}

TEST(CVeyTableTest, NumberTableReadsEveryNumberForm)
{
    CVeyIntegerTable table;
    CAttributes attributes = NamedTable("rates", {"0, 1,0x10, -3", "010,2147483647"});
    ASSERT_TRUE(table.Load(attributes));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 16, -3, 8, 2147483647}), table.GetElements());
}

TEST(CVeyTableTest, InvalidNumberDetailIsCutTo400Characters)
{
    CTraceCapture trace;
    CVeyIntegerTable table;
    const std::string value = "x" + std::string(450, '1');
    CAttributes attributes = NamedTable("N", {value});
    EXPECT_FALSE(table.Load(attributes));
    EXPECT_EQ("Number table has invalid element. : N : " + value.substr(0, 400) + "\n", trace.Text());
}

TEST(CVeyTableTest, LookupsStayInsideTheTable)
{
    CVeyStringTable table;
    CAttributes attributes = NamedTable("steps", {"1, 2, 5, 10, 20"});
    ASSERT_TRUE(table.Load(attributes));

    EXPECT_EQ("5", *table.GetAt(2));
    EXPECT_EQ(nullptr, table.GetAt(5));
    EXPECT_EQ(nullptr, table.GetAt(-1));
    EXPECT_EQ(3, table.IndexOf("10"));
    EXPECT_EQ(5, table.IndexOf("7"));
    EXPECT_EQ(0, CVeyStringTable().IndexOf("x"));

    struct Case
    {
        const char* text;
        int32_t index;
    };
    const Case cases[] = {{"0", 0}, {"1", 0}, {"4", 1}, {"5", 2}, {"19.5", 3}, {"99", 4}, {"abc", 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.index, table.FindNearestIndex(c.text));
    }
    EXPECT_EQ(0, CVeyStringTable().FindNearestIndex("3"));
}

TEST(CVeyTableTest, StoreWritesWhatLoadReadsBack)
{
    CVeyStringTable strings;
    strings.SetName("S");
    for (const char* element : {"OFF", "a,b", "back\\slash"})
        strings.Append(element);
    CAttributes stored;
    ASSERT_TRUE(strings.Store(stored));
    ASSERT_EQ(2u, stored.size());
    EXPECT_EQ(CAttributes::value_type("name", "S"), stored[0]);
    EXPECT_EQ(CAttributes::value_type("table", "OFF, a\\cb, back\\\\slash"), stored[1]);
    CVeyStringTable reloaded;
    ASSERT_TRUE(reloaded.Load(stored));
    EXPECT_EQ(strings.GetElements(), reloaded.GetElements());

    CVeyIntegerTable numbers;
    CAttributes numberAttributes = NamedTable("N", {"0x10,-2,3"});
    ASSERT_TRUE(numbers.Load(numberAttributes));
    CAttributes numbersStored;
    ASSERT_TRUE(numbers.Store(numbersStored));
    EXPECT_EQ(CAttributes::value_type("table", "16,-2,3"), numbersStored[1]);
}

TEST(CVeyTableTest, RandomBytesNeverCrashATable)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 500; ++round)
    {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes)
            c = char(random() % 256);
        CAttributes attributes = NamedTable(bytes, {bytes, bytes.substr(0, bytes.size() / 2)});
        CVeyStringTable strings;
        CAttributes copy = attributes;
        strings.Load(copy);
        strings.FindNearestIndex(bytes);
        CVeyIntegerTable numbers;
        numbers.Load(attributes);
    }
}
