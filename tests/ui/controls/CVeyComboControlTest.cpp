#include "PopControlTestSupport.h"

#include "tests/toolkit/ul/InteractiveTestSupport.h"
#include "ui/controls/CVeyComboControl.h"

#include <gtest/gtest.h>

namespace
{
using CShownMenu = std::vector<std::string>;

class ComboTest : public PopControlTest
{
protected:
    void SetUp() override
    {
        PopControlTest::SetUp();
        // Piano holds 0..3, Synth > Lead holds 4..7.
        AddStrings("divs", {"/Piano", "4", "/Synth", "/Lead", "4"});
    }

    // Presses the control while `steps` run inside the menu; the menu is closed after them.
    void PressWithMenu(CVeyControl& control, std::function<void()> steps)
    {
        actions.Post(std::move(steps));
        actions.PostEndEverything();
        UL::CMouseInfo press(WM_LBUTTONDOWN, CPoint(210, 110), MK_LBUTTON);
        EXPECT_TRUE(control.OnMouse(press));
    }

    UlTest::CPostedActions actions;
};
}

TEST_F(ComboTest, FlatMenusSplitIntoTitledDivisions)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        CShownMenu top;
    } cases[] = {
        {"numbers from 1", {{"divisionItemOffset", "1"}}, {"*  1...>", " 26...>", " 51...>", " 76...>"}},
        {"numbers from 0", {}, {"* 0...>", "25...>", "50...>", "75...>"}},
        {"element texts", {{"divisionItemOffset", "2"}}, {"*e0...>", "e25...>", "e50...>", "e75...>"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto attributes = TestAttributes({{"textWriterRef", "w"}, {"valueRef", "fm.c.hundred"}, {"stringTableRef", "hundred"}});
        attributes.insert(attributes.end(), c.attributes.begin(), c.attributes.end());
        auto combo = Make<CVeyPopComboControl>(attributes);
        CShownMenu top;
        PressWithMenu(*combo, [&] { top = UiDriver::DescribePopupMenu(); });
        EXPECT_EQ(top, c.top);
    }

    // Without a string table: the numbers with the offset; four values fit one division.
    FindTestValue("fm.c.page")->SetIndex(2);
    auto numbers = Make<CVeyComboControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.page"}, {"offsetValue", "1"}});
    CShownMenu top;
    PressWithMenu(*numbers, [&] { top = UiDriver::DescribePopupMenu(); });
    EXPECT_EQ(top, (CShownMenu{"1", "2", "*3", "4"})) << "folded, with the current value marked";
}

TEST_F(ComboTest, ChoosingCommitsEvenTheCurrentIndex)
{
    auto combo = Make<CVeyPopComboControl>(
        {{"textWriterRef", "w"}, {"valueRef", "fm.c.hundred"}, {"stringTableRef", "hundred"}, {"divisionItemOffset", "1"}});
    PressWithMenu(*combo, [] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1, 5})); });
    CVeyValue* value = FindTestValue("fm.c.hundred");
    EXPECT_EQ(value->GetIndex(), 30) << "the second division's sixth leaf is value 30";
    EXPECT_EQ(combo->GetTextRecord(), "e30");
    ASSERT_EQ(updater.commits.size(), 1u);

    PressWithMenu(*combo, [] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1, 5})); });
    ASSERT_EQ(updater.commits.size(), 2u) << "the current item commits again";
    EXPECT_EQ(updater.commits[1], (std::vector<CVeyValue*>{value}));

    PressWithMenu(*combo, [] { UiDriver::ClosePopupMenus(); });
    EXPECT_EQ(updater.commits.size(), 2u) << "a cancelled menu commits nothing";
    EXPECT_FALSE(combo->IsButtonPressed());
    EXPECT_FALSE(combo->HasFocus());
}

TEST_F(ComboTest, DivisionTableMenuAndPaths)
{
    auto combo = Make<CVeyPopComboControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"stringTableRef", "names"},
                                            {"divisionStringTableRef", "divs"}, {"delimiter", " - "}});
    FindTestValue("fm.c.num")->SetIndex(5);
    combo->Refresh();
    EXPECT_EQ(combo->GetTextRecord(), "Synth - Lead - n5");
    EXPECT_EQ(combo->GetDivisions().Print(2, nullptr, 10), "12");
    EXPECT_EQ(combo->GetValueCount(), 8) << "the smaller of the value's 128 and the table's 8";

    CShownMenu top, synth, lead;
    PressWithMenu(*combo, [&] {
        top = UiDriver::DescribePopupMenu();
        synth = UiDriver::DescribePopupMenu({1});
        lead = UiDriver::DescribePopupMenu({1, 0});
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1, 0, 2}));
    });
    EXPECT_EQ(top, (CShownMenu{"Piano>", "*Synth>"}));
    EXPECT_EQ(synth, (CShownMenu{"*Lead>"}));
    EXPECT_EQ(lead, (CShownMenu{"n4", "*n5", "n6", "n7"}));
    EXPECT_EQ(FindTestValue("fm.c.num")->GetIndex(), 6);
}

TEST_F(ComboTest, ElementsBeyondTheValueRangeCannotBeChosen)
{
    // page has 4 values; the names table lists 8, and the division table shows all of them.
    auto combo = Make<CVeyComboControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.page"}, {"stringTableRef", "names"},
                                         {"divisionStringTableRef", "divs"}});
    CShownMenu lead;
    PressWithMenu(*combo, [&] {
        lead = UiDriver::DescribePopupMenu({1, 0});
        UiDriver::ChoosePopupMenuItem({1, 0, 1});   // greyed: nothing chosen
    });
    EXPECT_EQ(lead, (CShownMenu{"~n4", "~n5", "~n6", "~n7"}));
    EXPECT_EQ(FindTestValue("fm.c.page")->GetIndex(), 0);
    EXPECT_TRUE(updater.commits.empty());

    combo->SetValue(7);
    EXPECT_EQ(FindTestValue("fm.c.page")->GetIndex(), 3) << "an index is kept within the value";
}
