#include "ViewTestSupport.h"

#include "ui/controls/CVeyControlFactory.h"

#include <gtest/gtest.h>

namespace
{
class CAppControl : public CTestControl
{
public:
    const std::string& GetTypeName() const override
    {
        static const std::string name("appControl");
        return name;
    }
};

// The application's factory: its own type, everything else from the framework's.
class CAppFactory : public CVeyControlFactory
{
public:
    CAppFactory() { Register(this); }
    ~CAppFactory() override { Register(nullptr); }
    std::unique_ptr<CVeyControl> CreateControl(const CVeyElementDefinition& definition) override
    {
        if (definition.GetTypeName() == "appControl")
            return std::make_unique<CAppControl>();
        return CVeyControlFactory::CreateControl(definition);
    }
};

std::string TypeOf(const std::unique_ptr<CVeyControl>& control)
{
    return control ? control->GetTypeName() : "(none)";
}

struct ControlFactory : ::testing::Test
{
    // "knob" stands for a built class and "slider" for one left out; the real creators come back.
    void SetUp() override
    {
        for (const auto& type : CVeyControlFactory::GetFrameworkTypes())
            saved.push_back(type);
        CVeyControlFactory::SetFrameworkType("knob", &CVeyControlFactory::Make<CTestControl>);
        CVeyControlFactory::SetFrameworkType("slider", nullptr);
    }
    void TearDown() override
    {
        for (const auto& type : saved)
            CVeyControlFactory::SetFrameworkType(type.name, type.create);
    }
    std::vector<CVeyControlFactory::CControlType> saved;
};
}

TEST_F(ControlFactory, TypeNamesMatchExactly)
{
    CVeyControlFactory& factory = CVeyControlFactory::GetInstance();
    const struct
    {
        const char* typeName;
        const char* made;
    } cases[] = {
        {"knob", "testControl"},
        {"Knob", "(none)"},
        {"knob ", "(none)"},
        {"", "(none)"},
        {"appControl", "(none)"},
        {"slider", "(none)"},   // a framework name whose class is not part of this build
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typeName);
        EXPECT_EQ(TypeOf(factory.CreateControl(CVeyElementDefinition(c.typeName))), c.made);
    }
}

TEST_F(ControlFactory, FrameworkTypesAreTriedInTheirOrder)
{
    const std::vector<std::string> expected = {
        "slider", "knob", "staticText", "picture", "staticTextPicture", "combo", "comboA", "unlatchButton",
        "latchButton", "incrementButton", "bias", "envelope", "fadeRange", "lfo", "keyboard", "listControl",
        "scroll", "scrollButton", "label", "barGraph", "edit", "editDouble", "display", "barSlider"};
    std::vector<std::string> names;
    for (const auto& type : CVeyControlFactory::GetFrameworkTypes())
        names.push_back(type.name);
    EXPECT_EQ(names, expected);
}

TEST_F(ControlFactory, TheApplicationsFactoryServesWhileItLives)
{
    CVeyControlFactory* framework = &CVeyControlFactory::GetInstance();
    {
        CAppFactory application;
        EXPECT_EQ(&CVeyControlFactory::GetInstance(), &application);
        EXPECT_EQ(TypeOf(CVeyControlFactory::GetInstance().CreateControl(CVeyElementDefinition("appControl"))),
                  "appControl");
        EXPECT_EQ(TypeOf(CVeyControlFactory::GetInstance().CreateControl(CVeyElementDefinition("knob"))),
                  "testControl");
    }
    EXPECT_EQ(&CVeyControlFactory::GetInstance(), framework);
    EXPECT_EQ(TypeOf(framework->CreateControl(CVeyElementDefinition("appControl"))), "(none)");
}
