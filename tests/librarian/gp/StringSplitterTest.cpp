#include "librarian/gp/StringSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Tokens(const GP::CStringSplitter& splitter)
{
    std::vector<std::string> tokens;
    for (int i = 0; i < splitter.GetTokenCount(); ++i)
        tokens.push_back(splitter.GetToken(i));
    return tokens;
}

TEST(StringSplitterTest, SplitsAtCharacterWithAndWithoutMerging)
{
    struct Case
    {
        const char* name;
        const char* text;
        bool merge;
        std::vector<std::string> expected;
    } cases[] = {
        {"merged separators", "10,,20", true, {"10", "20"}},
        {"empty token kept", "10,,20", false, {"10", "", "20"}},
        {"quoted comma does not split", "\"a,b\",c", false, {"\"a,b\"", "c"}},
        {"escaped quote does not open", "a\\\",b", false, {"a\\\"", "b"}},
        {"empty text gives one empty token", "", false, {""}},
        {"trailing separator", "a,", false, {"a", ""}},
        {"unterminated quote swallows the rest", "\"a,b", false, {"\"a,b"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, Tokens(GP::CStringSplitter(c.text, ',', c.merge)));
    }
}

TEST(StringSplitterTest, SeparatorStringsAndDefaults)
{
    GP::CStringSplitter splitter("a\r\nb\nc", std::vector<std::string>{"\r\n", "\n"}, false);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Tokens(splitter));
    EXPECT_STREQ("none", splitter.GetToken(3, "none"));
    EXPECT_STREQ("none", splitter.GetToken(-1, "none"));

    GP::CStringSplitter merged("a  \t b", std::vector<std::string>{" ", "\t"}, true);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Tokens(merged));
}
}
