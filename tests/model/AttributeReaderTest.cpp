#include "model/CVeyAttributeReader.h"

#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

namespace
{
using CAttributes = CVeyElementDefinition::CAttributes;

// The fields a small owner reads, at their defaults.
struct SOwner
{
    std::string name = "unnamed";
    std::string label;
    int32_t offset = 7;
    int32_t direction = 0;
    bool flat = false;
    GT::CPoint32 position{-1, -1};
    GT::CShortTriple colour{1, 2, 3};

    CVeyAttributeReader Reader(std::vector<std::string>& said)
    {
        auto says = [&said](const char* what) {
            return [&said, what](const std::string& value) { said.push_back(std::string(what) + ":" + value); };
        };
        CVeyAttributeReader reader;
        reader.Text("name", name)
            .EscapedText("label", label)
            .Number("offset", offset, says("offset"))
            .NumberIn("direction", direction, 0, 1, says("direction"), says("direction range"))
            .Flag("flat", flat, says("flat"))
            .Point("position", position)
            .Colour("colour", colour, says("colour"));
        return reader;
    }
};
}

TEST(AttributeReader, ReadsDeclaredKindsInFileOrderAndLeavesTheRest)
{
    SOwner owner;
    std::vector<std::string> said;
    CAttributes attributes = {{"offset", "1"},      {"shape", "round"},   {"label", "a&amp;b"}, {"offset", "0x10"},
                              {"direction", "1"},   {"flat", "2"},        {"position", "3,4"},  {"colour", "9,8,7"},
                              {"name", "knob"},     {"size", "1,1"}};
    ASSERT_TRUE(owner.Reader(said).Read(attributes));
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(attributes, (CAttributes{{"shape", "round"}, {"size", "1,1"}}));
    EXPECT_EQ(owner.name, "knob");
    EXPECT_EQ(owner.label, "a&b");
    EXPECT_EQ(owner.offset, 16);   // read twice: the last one stands
    EXPECT_EQ(owner.direction, 1);
    EXPECT_TRUE(owner.flat);
    EXPECT_EQ(owner.position.x, 3);
    EXPECT_EQ(owner.position.y, 4);
    EXPECT_EQ(owner.colour, (GT::CShortTriple{9, 8, 7}));
}

TEST(AttributeReader, AbsentAttributesKeepTheDefaults)
{
    SOwner owner;
    std::vector<std::string> said;
    CAttributes attributes;
    ASSERT_TRUE(owner.Reader(said).Read(attributes));
    EXPECT_EQ(owner.name, "unnamed");
    EXPECT_EQ(owner.offset, 7);
    EXPECT_EQ(owner.position.x, -1);
    EXPECT_EQ(owner.colour, (GT::CShortTriple{1, 2, 3}));
}

TEST(AttributeReader, StopsAtTheFirstBadValue)
{
    const struct
    {
        const char* name;
        CAttributes attributes;
        std::vector<std::string> said;
        CAttributes left;
    } cases[] = {
        {"not a number", {{"offset", "x"}, {"flat", "y"}}, {"offset:x"}, {{"flat", "y"}}},
        {"out of range", {{"direction", "2"}}, {"direction range:2"}, {}},
        {"not a number in a range", {{"direction", "one"}}, {"direction:one"}, {}},
        {"bad switch", {{"flat", "yes"}}, {"flat:yes"}, {}},
        {"bad colour", {{"colour", "1,2"}}, {"colour:1,2"}, {}},
        {"unknown before, bad, rest unread",
         {{"shape", "round"}, {"colour", "x"}, {"name", "late"}, {"offset", "z"}},
         {"colour:x"},
         {{"shape", "round"}, {"name", "late"}, {"offset", "z"}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SOwner owner;
        std::vector<std::string> said;
        CAttributes attributes = c.attributes;
        EXPECT_FALSE(owner.Reader(said).Read(attributes));
        EXPECT_EQ(said, c.said);
        EXPECT_EQ(attributes, c.left);
        EXPECT_EQ(owner.name, "unnamed");
    }
}

TEST(AttributeReader, ABadPointWithoutReportIsPassedOver)
{
    SOwner owner;
    std::vector<std::string> said;
    CAttributes attributes = {{"position", "nowhere"}};
    EXPECT_TRUE(owner.Reader(said).Read(attributes));
    EXPECT_EQ(owner.position.x, -1);
    EXPECT_TRUE(attributes.empty());
}

TEST(AttributeReader, ReportsUnknownTagsOnOneLine)
{
    CTraceCapture trace;
    CVeyAttributeReader::ReportUnknownTags("Control", "k1", {{"colour", "1"}, {"shape", "2"}});
    EXPECT_EQ(trace.Text(), "Control k1 unknown tags. : colour, shape, \n");
}
