#include "toolkit/gt/Tokenizer.h"

#include <gtest/gtest.h>

namespace
{
std::vector<std::string> Tokens(const std::string& text, char delimiter, bool collapse)
{
    GT::CTokenizer tokenizer(text, delimiter, collapse);
    std::vector<std::string> tokens;
    for (int i = 0; i < tokenizer.GetCount(); ++i)
        tokens.push_back(tokenizer.GetToken(i));
    return tokens;
}
}

TEST(Tokenizer, SplitsOutsideQuotesAndEscapes)
{
    using T = std::vector<std::string>;
    const struct
    {
        const char* name;
        std::string text;
        bool collapse;
        T tokens;
    } cases[] = {
        {"network path", "//server/share", false, {"", "", "server", "share"}},
        {"network path collapsed", "//server/share", true, {"", "server", "share"}},
        {"trailing delimiter", "a/", false, {"a", ""}},
        {"trailing run collapsed", "a//", true, {"a", ""}},
        {"inner run", "a//b", false, {"a", "", "b"}},
        {"quoted delimiter", R"(a/"b/c"/d)", false, {"a", R"("b/c")", "d"}},
        {"escaped quote inside quotes", R"("x\"/y"/z)", false, {R"("x\"/y")", "z"}},
        {"escaped quote outside quotes", R"(a\"/b)", false, {R"(a\")", "b"}},
        {"unterminated quote", R"(a/"b/c)", false, {"a", R"("b/c)"}},
        {"empty text", "", false, {""}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Tokens(c.text, '/', c.collapse), c.tokens);
    }
}

TEST(Tokenizer, FallbackOutsideTheRange)
{
    GT::CTokenizer tokenizer("a/b", '/', false);
    EXPECT_STREQ(tokenizer.GetToken(1, "none"), "b");
    EXPECT_STREQ(tokenizer.GetToken(2, "none"), "none");
    EXPECT_STREQ(tokenizer.GetToken(-1, "none"), "none");
    EXPECT_EQ(tokenizer.GetToken(5), nullptr);

    const GT::CTokenizer empty(static_cast<const char*>(nullptr), '/', false);
    EXPECT_EQ(empty.GetCount(), 1);
    EXPECT_STREQ(empty.GetToken(0), "");
}
