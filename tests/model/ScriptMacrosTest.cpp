#include "model/CVeyElementDefinition.h"

#include <gtest/gtest.h>

namespace
{
using CAttributes = CVeyElementDefinition::CAttributes;
}

TEST(ResolveMacros, SubstitutesTheFirstFittingMacro)
{
    const struct
    {
        const char* name;
        CAttributes macros;
        CAttributes attributes;
        bool ok;
        CAttributes resolved;
    } cases[] = {
        {"plain reference", {{"name", "fm"}}, {{"name", "$name"}}, true, {{"name", "fm"}}},
        {"text around references", {{"a", "1"}, {"b", "2"}}, {{"x", "<$a|$b>"}}, true, {{"x", "<1|2>"}}},
        {"first macro wins over a longer one", {{"a", "1"}, {"ab", "2"}}, {{"x", "$ab"}}, true, {{"x", "1b"}}},
        {"longer name listed first", {{"ab", "2"}, {"a", "1"}}, {{"x", "$ab"}}, true, {{"x", "2"}}},
        {"inserted text is not rescanned", {{"a", "$b"}, {"b", "2"}}, {{"x", "$a$b"}}, true, {{"x", "$b2"}}},
        {"duplicate macro names: the first counts", {{"a", "1"}, {"a", "2"}}, {{"x", "$a"}}, true, {{"x", "1"}}},
        {"no dollar leaves the value", {}, {{"x", "plain"}}, true, {{"x", "plain"}}},
        {"names in the attribute list are not substituted", {{"a", "1"}}, {{"$a", "v"}}, true, {{"$a", "v"}}},
        {"trailing dollar needs an empty macro name", {{"a", "1"}}, {{"x", "v$"}}, false, {{"x", "v$"}}},
        {"empty macro name fits anywhere", {{"", "E"}}, {{"x", "v$"}, {"y", "$z"}}, true, {{"x", "vE"}, {"y", "Ez"}}},
        {"reference longer than the text", {{"address", "1"}}, {{"x", "$addr"}}, false, {{"x", "$addr"}}},
        {"failure keeps earlier results and stops",
         {{"a", "1"}},
         {{"x", "$a"}, {"y", "$a$q"}, {"z", "$a"}},
         false,
         {{"x", "1"}, {"y", "$a$q"}, {"z", "$a"}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CAttributes attributes = c.attributes;
        EXPECT_EQ(VeyResolveMacros(c.macros, attributes), c.ok);
        EXPECT_EQ(attributes, c.resolved);
    }
}

TEST(FindTypeDefinition, FirstExactMatch)
{
    CVeyTypeDefinitions types(3);
    types[0].SetTypeName("toneT");
    types[1].SetTypeName("patT");
    types[2].SetTypeName("patT");
    types[2].Add("marker", "second");
    EXPECT_EQ(VeyFindTypeDefinition(types, "patT"), &types[1]);
    EXPECT_EQ(VeyFindTypeDefinition(types, "patt"), nullptr);
    EXPECT_EQ(VeyFindTypeDefinition(types, ""), nullptr);
    const CVeyTypeDefinitions& constTypes = types;
    EXPECT_EQ(VeyFindTypeDefinition(constTypes, "toneT"), &types[0]);
}

TEST(ElementDefinition, FindsFirstAndLastOfRepeatedNames)
{
    CVeyElementDefinition definition;
    definition.Add("address", "01");
    definition.Add("name", "n");
    definition.Add("address", "02");
    ASSERT_NE(definition.FindFirst("address"), nullptr);
    EXPECT_EQ(*definition.FindFirst("address"), "01");
    EXPECT_EQ(*definition.FindLast("address"), "02");
    EXPECT_EQ(definition.FindLast("size"), nullptr);
}
