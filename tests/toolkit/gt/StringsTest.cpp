#include "toolkit/gt/Strings.h"

#include <gtest/gtest.h>

#include <algorithm>

using Items = std::vector<std::string>;

TEST(Strings, CuttingClipsToTheText)
{
    EXPECT_EQ(GT::Left("abc", 2), "ab");
    EXPECT_EQ(GT::Left("abc", 9), "abc");
    EXPECT_EQ(GT::Left("abc", -1), "");
    EXPECT_EQ(GT::Right("abc", 2), "bc");
    EXPECT_EQ(GT::Right("abc", 9), "abc");
    EXPECT_EQ(GT::Right("abc", -1), "");
    EXPECT_EQ(GT::Mid("abcdef", 2, 3), "cde");
    EXPECT_EQ(GT::Mid("abcdef", 4, 9), "ef");
    EXPECT_EQ(GT::Mid("abcdef", 9, 1), "");
    EXPECT_EQ(GT::Mid("abcdef", -2, 2), "ab");
    EXPECT_EQ(GT::MakeLower("AbZ\xC4"), "abz\xC4");
}

TEST(Strings, TrimRemovesSpaceTabAndLineFeedOnly)
{
    std::string out = "x";
    EXPECT_TRUE(GT::Trim(" \t a b\n", out));
    EXPECT_EQ(out, "a b");
    EXPECT_FALSE(GT::Trim(" \n\t", out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(GT::TrimCopy("\ra\r"), "\ra\r");
}

TEST(Strings, ReplaceAll)
{
    const struct
    {
        const char* name;
        const char* text;
        const char* find;
        const char* replacement;
        bool found;
        const char* out;
    } cases[] = {
        {"every occurrence", "a.b.c", ".", "::", true, "a::b::c"},
        {"replacement holding the pattern", "aa", "a", "aa", true, "aaaa"},
        {"overlapping occurrences left to right", "aaa", "aa", "b", true, "ba"},
        {"absent pattern copies", "abc", "x", "y", false, "abc"},
        {"empty pattern copies without looping", "abc", "", "y", false, "abc"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string out = "stale";
        EXPECT_EQ(GT::ReplaceAll(c.text, c.find, c.replacement, out), c.found);
        EXPECT_EQ(out, c.out);
    }
}

TEST(Strings, LineEndsAndEscapes)
{
    EXPECT_EQ(GT::ConvertLineEnds("a\r\nb\rc\nd\n\r", "|"), "a|b|c|d||");
    EXPECT_EQ(GT::ToCrLf("a\nb"), "a\r\nb");
    EXPECT_EQ(GT::UnescapeBackslashes(R"(\"q\" \\ \n \)"), R"("q" \ \n \)");
    EXPECT_EQ(GT::Unquote(R"("a\"b")", true), R"(a"b)");
    EXPECT_EQ(GT::Unquote(R"("a\"b")", false), R"(a\"b)");
    EXPECT_EQ(GT::Unquote("\"", false), "\"");
    EXPECT_EQ(GT::Unquote("\"\"", false), "");
    EXPECT_EQ(GT::UnquoteCString(nullptr, true), "");
}

TEST(Strings, UnescapeXmlDecodesAmpersandLast)
{
    EXPECT_EQ(GT::UnescapeXml("&amp;quot;"), "&quot;");
    EXPECT_EQ(GT::UnescapeXml("&amp;lt;"), "&lt;");
    EXPECT_EQ(GT::UnescapeXml("&lt;a&gt; &quot;&apos;&amp;&amp;"), "<a> \"'&&");
    std::string out;
    GT::UnescapeXmlTo("x&gt;1", out);
    EXPECT_EQ(out, "x>1");
}

TEST(Strings, SplitListTrimsAndSkipsEmptyItems)
{
    const struct
    {
        const char* name;
        std::string text;
        Items items;
    } cases[] = {
        {"plain", "OFF, ON", {"OFF", "ON"}},
        {"blank and empty items", " a ,, \t,b\r\n", {"a", "b"}},
        {"inner blanks stay", "a b , c", {"a b", "c"}},
        {"Latin-1 letters at the edges stay", "\xE9t\xE9, \xC4", {"\xE9t\xE9", "\xC4"}},
        {"UTF-8 letters at the edges stay", "caf\xC3\xA9,\xC3\xA4x", {"caf\xC3\xA9", "\xC3\xA4x"}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Items items{"kept"};
        EXPECT_TRUE(GT::SplitList(c.text, items));
        Items expected{"kept"};
        expected.insert(expected.end(), c.items.begin(), c.items.end());
        EXPECT_EQ(items, expected);
        Items fromCString;
        EXPECT_TRUE(GT::SplitListCString(c.text.c_str(), fromCString));
        EXPECT_EQ(fromCString, c.items);
    }
    Items items;
    EXPECT_FALSE(GT::SplitListCString(nullptr, items));
}

TEST(Strings, SplitEscapedListDecodesAfterSplitting)
{
    Items items;
    EXPECT_TRUE(GT::SplitEscapedList(R"(a\cb, ,\sx)", items));
    EXPECT_EQ(items, (Items{"a,b", " x"}));
    items.clear();
    EXPECT_TRUE(GT::SplitEscapedList(R"(\\c,\q,x\)", items));
    EXPECT_EQ(items, (Items{R"(\c)", R"(\q)", R"(x\)"}));
    items.clear();
    EXPECT_TRUE(GT::SplitEscapedList(static_cast<const char*>(nullptr), items));
    EXPECT_TRUE(items.empty());
}

TEST(Strings, OrderingsOfTextsThatMayHoldNumbers)
{
    EXPECT_TRUE(GT::NumericLess("x", "1"));
    EXPECT_FALSE(GT::NumericLess("1", "x"));
    EXPECT_FALSE(GT::NumericLess("1 ms", "-2.5 s"));
    EXPECT_TRUE(GT::NumericLess("2 ms", "10 ms"));

    EXPECT_FALSE(GT::SmartLess("10", "9x"));   // both numbers: 10 > 9
    EXPECT_TRUE(GT::SmartLess("5", "apple"));
    EXPECT_FALSE(GT::SmartLess("apple", "5"));
    EXPECT_TRUE(GT::SmartLess("Apple", "banana"));

    // Texts glibc would read as NaN or infinity sort as words, so the order stays a strict weak one.
    std::vector<std::string> texts{"Nano", "inf", "10", "2", "Info", "nan", "-1", "Zeta", "alpha"};
    std::sort(texts.begin(), texts.end(), GT::SmartLess);
    EXPECT_EQ(texts, (std::vector<std::string>{"-1", "2", "10", "alpha", "inf", "Info", "nan", "Nano", "Zeta"}));
}

TEST(Strings, Distances)
{
    EXPECT_EQ(GT::TextDistance("abc", "ABC"), 0);
    EXPECT_EQ(GT::TextDistance("abc", "abd"), 2);
    EXPECT_EQ(GT::TextDistance("ab", "abcd"), 2);
    EXPECT_EQ(GT::TextDistance("a", "\x80"), ('a' + 128) + 1);   // signed character codes
    EXPECT_DOUBLE_EQ(GT::ValueDistance("1.5", "4"), 2.5);
    EXPECT_DOUBLE_EQ(GT::ValueDistance("x", "1"), ('x' - '1') + 1);
}
