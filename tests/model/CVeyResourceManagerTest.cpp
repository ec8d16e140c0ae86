#include "model/CVeyResourceManager.h"

#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
using CAttributes = CVeyResource::CAttributes;

// Stands in for the state bitmap: it resolves its offset table while it loads, as the real one does.
class CTestBitmap : public CVeyResource
{
public:
    bool Load(CAttributes& attributes) override
    {
        if (!CVeyResource::Load(attributes))
            return false;
        for (const std::string& name : TakeAttributes(attributes, "xOffsetNumberTableRef"))
        {
            m_offsets = CVeyResourceManager::GetInstance().GetIntegerTables().Find(name);
            if (m_offsets == nullptr)
            {
                ReportError("Unable to find number table.");
                return false;
            }
        }
        TakeAttributes(attributes, "stateCount");
        return true;
    }
    const CVeyIntegerTable* m_offsets = nullptr;
};

class CTestTextWriter : public CVeyResource
{
public:
    bool Load(CAttributes& attributes) override
    {
        if (!CVeyResource::Load(attributes))
            return false;
        for (const std::string& name : TakeAttributes(attributes, "bitmapRef"))
        {
            m_bitmapFont = CVeyResourceManager::GetInstance().GetBitmaps().FindResource(name);
            if (m_bitmapFont == nullptr)
                return false;
        }
        return TakeAttributes(attributes, "fontHeight").size() < 2;
    }
    const CVeyResource* m_bitmapFont = nullptr;
};

class CTestFactory : public IVeyResourceFactory
{
public:
    std::unique_ptr<CVeyResource> CreateBitmap() override { return std::make_unique<CTestBitmap>(); }
    std::unique_ptr<CVeyResource> CreateTextWriter() override { return std::make_unique<CTestTextWriter>(); }
    std::unique_ptr<CVeyGraphDrawer> CreateGraphDrawer() override { return {}; }
};

CVeyElementDefinition Element(const std::string& typeName, const CAttributes& attributes)
{
    CVeyElementDefinition definition(typeName);
    for (const auto& attribute : attributes)
        definition.Add(attribute.first, attribute.second);
    return definition;
}

class CVeyResourceManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Manager().Clear();
        CVeyScriptDefinitions::GetInstance().Clear();
        Manager().SetResourceFactory(std::make_unique<CTestFactory>());
    }
    void TearDown() override
    {
        Manager().Clear();
        CVeyScriptDefinitions::GetInstance().Clear();
    }

    static CVeyResourceManager& Manager() { return CVeyResourceManager::GetInstance(); }
    static CVeyScriptDefinitions::CResourceGroup& Definitions()
    {
        return CVeyScriptDefinitions::GetInstance().GetResourceGroup();
    }
};
}

TEST_F(CVeyResourceManagerTest, CreatesEveryKindAndFindsItByName)
{
    Definitions().bitmaps.push_back(
        Element("", {{"name", "knob"}, {"stateCount", "64"}, {"xOffsetNumberTableRef", "offsets"}}));
    Definitions().textWriters.push_back(Element("", {{"name", "font"}, {"bitmapRef", "knob"}}));
    Definitions().stringTables.push_back(Element("", {{"name", "onOff"}, {"table", "OFF, ON"}}));
    // A number table may share its name with a string table.
    Definitions().numberTables.push_back(Element("", {{"name", "onOff"}, {"table", "0,127"}}));
    Definitions().numberTables.push_back(Element("", {{"name", "offsets"}, {"table", "0,4,8"}}));

    CTraceCapture trace;
    ASSERT_TRUE(Manager().Create());
    EXPECT_EQ("", trace.Text());

    EXPECT_EQ(2, Manager().GetStringTables().Find("onOff")->GetCount());
    EXPECT_EQ(127, *Manager().GetIntegerTables().Find("onOff")->GetAt(1));
    // The bitmap, made after the number tables, found its offset table.
    const auto* bitmap = dynamic_cast<CTestBitmap*>(Manager().GetBitmaps().FindResource("knob"));
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(Manager().GetIntegerTables().Find("offsets"), bitmap->m_offsets);
    const auto* writer = dynamic_cast<CTestTextWriter*>(Manager().GetTextWriters().FindResource("font"));
    ASSERT_NE(nullptr, writer);
    EXPECT_EQ(bitmap, writer->m_bitmapFont);
    EXPECT_EQ(nullptr, Manager().GetStringTables().Find("missing"));
    EXPECT_TRUE(Definitions().IsEmpty());

    Manager().Clear();
    EXPECT_EQ(nullptr, Manager().GetStringTables().Find("onOff"));
    EXPECT_EQ(0u, Manager().GetBitmaps().GetCount());
    EXPECT_EQ(nullptr, Manager().GetResourceFactory());
}

TEST_F(CVeyResourceManagerTest, FirstBadDefinitionStopsCreation)
{
    struct Case
    {
        const char* name;
        void (*fill)(CVeyScriptDefinitions::CResourceGroup&);
        const char* trace;
    };
    const Case cases[] = {
        {"duplicate string tables",
         [](auto& d) {
             d.stringTables.push_back(Element("", {{"name", "A"}, {"table", "x"}}));
             d.stringTables.push_back(Element("", {{"name", "A"}, {"table", "y"}}));
         },
         "String table A is duplicated.\n"},
        {"duplicate number tables use the string table line",
         [](auto& d) {
             d.numberTables.push_back(Element("", {{"name", "N"}, {"table", "1"}}));
             d.numberTables.push_back(Element("", {{"name", "N"}, {"table", "2"}}));
         },
         "String table N is duplicated.\n"},
        {"duplicate bitmaps",
         [](auto& d) {
             d.bitmaps.push_back(Element("", {{"name", "b"}}));
             d.bitmaps.push_back(Element("", {{"name", "b"}}));
         },
         "Bitmap b is duplicated.\n"},
        {"duplicate text writers",
         [](auto& d) {
             d.textWriters.push_back(Element("", {{"name", "w"}}));
             d.textWriters.push_back(Element("", {{"name", "w"}}));
         },
         "Text writer w is duplicated.\n"},
        {"unknown tags of a string table",
         [](auto& d) { d.stringTables.push_back(Element("", {{"name", "S"}, {"table", "x"}, {"colour", "1"}, {"size", "2"}})); },
         "String Table S unknown tags. : colour, size, \n"},
        {"unknown tags of a number table",
         [](auto& d) { d.numberTables.push_back(Element("", {{"name", "N"}, {"table", "1"}, {"x", ""}})); },
         "Integer Table N unknown tags. : x, \n"},
        {"unknown tags of a bitmap",
         [](auto& d) { d.bitmaps.push_back(Element("", {{"name", "b"}, {"wide", "1"}})); },
         "Bitmap b unknown tags. : wide, \n"},
        {"unknown tags of a text writer",
         [](auto& d) { d.textWriters.push_back(Element("", {{"name", "w"}, {"bold", "1"}})); },
         "Text Writer w unknown tags. : bold, \n"},
        {"string table that fails to load",
         [](auto& d) { d.stringTables.push_back(Element("T", {{"name", "S"}, {"table", ","}})); },
         "String table %s has no element. : S\nUnable to convert element definitions T to string table.\n"},
        {"number table that fails to load",
         [](auto& d) { d.numberTables.push_back(Element("", {{"name", "N"}, {"table", "x"}})); },
         "Number table has invalid element. : N : x\nUnable to convert element definitions  to integer table.\n"},
        {"bitmap naming a missing offset table",
         [](auto& d) { d.bitmaps.push_back(Element("B", {{"name", "b"}, {"xOffsetNumberTableRef", "none"}})); },
         "Unable to find number table. : b\nUnable to convert bitmap definition B to bitmap.\n"},
        {"text writer that fails to load",
         [](auto& d) { d.textWriters.push_back(Element("W", {{"name", "w"}, {"bitmapRef", "none"}})); },
         "Unable to convert element definitions W to text writer.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Manager().Clear();
        Manager().SetResourceFactory(std::make_unique<CTestFactory>());
        c.fill(Definitions());
        CTraceCapture trace;
        EXPECT_FALSE(Manager().Create());
        EXPECT_EQ(c.trace, trace.Text());
        // The definitions stay for the teardown to clear.
        EXPECT_FALSE(Definitions().IsEmpty());
    }
}

TEST_F(CVeyResourceManagerTest, ResourcesBuiltBeforeAFailureStayUntilClear)
{
    Definitions().stringTables.push_back(Element("", {{"name", "A"}, {"table", "x"}}));
    Definitions().numberTables.push_back(Element("", {{"name", "N"}, {"table", "q"}}));
    EXPECT_FALSE(Manager().Create());
    EXPECT_NE(nullptr, Manager().GetStringTables().Find("A"));
    Manager().Clear();
    EXPECT_EQ(nullptr, Manager().GetStringTables().Find("A"));
    EXPECT_TRUE(Definitions().IsEmpty());
}

TEST_F(CVeyResourceManagerTest, WithoutFactoryBitmapsAndTextWritersCannotBeMade)
{
    Manager().SetResourceFactory(nullptr);
    Definitions().textWriters.push_back(Element("", {{"name", "w"}}));
    CTraceCapture trace;
    EXPECT_FALSE(Manager().Create());
    EXPECT_EQ("Unable to convert element definitions  to text writer.\n", trace.Text());

    Manager().Clear();
    Definitions().bitmaps.push_back(Element("K", {{"name", "b"}}));
    CTraceCapture bitmapTrace;
    EXPECT_FALSE(Manager().Create());
    EXPECT_EQ("Unable to convert bitmap definition K to bitmap.\n", bitmapTrace.Text());
}

TEST_F(CVeyResourceManagerTest, IsTheResourceStepOfTheManagers)
{
    CVeyResourceManager::RegisterManagerStep();
    Definitions().stringTables.push_back(Element("", {{"name", "A"}, {"table", "x"}}));
    ASSERT_TRUE(VeyCreateManagers());
    EXPECT_NE(nullptr, Manager().GetStringTables().Find("A"));
    VeyDestroyManagers();
    EXPECT_EQ(nullptr, Manager().GetStringTables().Find("A"));

    Definitions().stringTables.push_back(Element("", {{"name", "A"}, {"table", ""}}));
    CTraceCapture trace;
    EXPECT_FALSE(VeyCreateManagers());
    EXPECT_NE(std::string::npos, trace.Text().find("Unable to create resource manager.\n"));
    EXPECT_EQ(0u, Manager().GetStringTables().GetCount());
    VeySetManagerStep(EVeyManager::kResource, {}, {});
}

TEST_F(CVeyResourceManagerTest, RandomDefinitionsNeverCrashCreation)
{
    std::mt19937 random(7);
    const char* names[] = {"name", "table", "stateCount", "bitmapRef", "xOffsetNumberTableRef", "fontHeight", "x"};
    auto randomText = [&random] {
        std::string text(random() % 24, '\0');
        for (char& c : text)
            c = char(random() % 256);
        return text;
    };
    for (int round = 0; round < 200; ++round)
    {
        Manager().Clear();
        Manager().SetResourceFactory(std::make_unique<CTestFactory>());
        CVeyElementDefinitions* kinds[] = {&Definitions().bitmaps, &Definitions().textWriters,
                                           &Definitions().stringTables, &Definitions().numberTables};
        for (int element = 0; element < 6; ++element)
        {
            CVeyElementDefinition definition(randomText());
            for (int attribute = int(random() % 4); attribute > 0; --attribute)
                definition.Add(names[random() % 7], random() % 3 == 0 ? randomText() : std::string("1,2"));
            kinds[random() % 4]->push_back(definition);
        }
        Manager().Create();
    }
}

TEST_F(CVeyResourceManagerTest, ValuesFindTheirNumberTablesHere)
{
    ResetModel();
    CVeyResourceManager::RegisterManagerStep();
    CVeyBufferManager::RegisterManagerStep();
    Definitions().numberTables.push_back(Element("", {{"name", "rates"}, {"table", "0,1,2,4,8"}}));
    AddStructType(MakeType("toneT", {{"name", "$name"}, {"address", "$address"}}, {},
                           {MakeElement("int1x7", {{"name", "rate"}, {"range", "0,8"}, {"numberTableRef", "rates"}})}));
    AddStructType(MakeType("fmT", {{"name", "$name"}, {"address", "$address"}},
                           {MakeElement("toneT", {{"name", "tone"}, {"address", "00 00 00 00"}})}, {}));
    AddRootStruct(MakeElement("fmT", {{"name", "fm"}, {"address", "10 00 00 00"}}));

    ASSERT_TRUE(VeyCreateManagers());
    CVeyValue* rate = CVeyBufferManager::GetInstance().FindValueOrNull("fm.tone.rate");
    ASSERT_NE(nullptr, rate);
    EXPECT_EQ(Manager().GetIntegerTables().Find("rates"), rate->GetDefinition()->GetNumberTable());
    rate->SetIndex(4);
    EXPECT_EQ(8, rate->GetNumber());

    VeyDestroyManagers();
    EXPECT_EQ(nullptr, CVeyBufferManager::GetInstance().GetNumberTableProvider());
    VeySetManagerStep(EVeyManager::kResource, {}, {});
    VeySetManagerStep(EVeyManager::kBuffer, {}, {});
    ResetModel();
}
