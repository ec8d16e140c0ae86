#include "PopControlTestSupport.h"

#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/controls/CVeyComboControl.h"
#include "ui/controls/CVeyEditControl.h"

#include <gtest/gtest.h>

namespace
{
CVeyValue* Num() { return FindTestValue("fm.c.num"); }

COLORREF PixelAfterDraw(CVeyControl& control, CPoint point)
{
    CBitmap canvas;
    canvas.CreateBitmap(400, 300);
    CDC dc;
    dc.SelectObject(&canvas);
    dc.FillSolidRect(RECT{0, 0, 400, 300}, RGB(255, 255, 255));
    UL::CDrawInfo info(&dc, nullptr, nullptr);
    control.Draw(info);
    return dc.GetPixel(point.x, point.y);
}
}

TEST_F(PopControlTest, BadAttributesFailWithTheirOwnLines)
{
    const struct
    {
        const char* name;
        const char* type;
        CVeyElementDefinition::CAttributes attributes;
        std::string line;
    } cases[] = {
        {"useWheel out of range", "combo", {{"useWheel", "3"}}, "useWheel value must be [0,2] for pop control. : pop : 3\n"},
        {"useWheel no number", "combo", {{"useWheel", "x"}}, "useWheel is invalid for pop control. : pop : x\n"},
        {"unknown string table", "edit", {{"stringTableRef", "nope"}},
         "Unable to find string table for pop control\x81\x44: pop : nope\n"},
        {"unknown text writer", "edit", {{"textWriterRef", "nope"}}, "Unable to find text writer for pop control. : pop : nope\n"},
        {"bad division item offset", "combo", {{"divisionItemOffset", "z"}},
         "Division item offset value is invalid for pop combo control. : pop : z\n"},
        {"unknown division table", "combo", {{"divisionStringTableRef", "nope"}},
         "Unable to find division string table for pop combo control\x81\x44: pop : nope\n"},
        {"division value 0", "editDouble", {{"divisionValue", "0"}}, "pop divisionValue is invalid. : 0\n"},
        {"precision no number", "editDouble", {{"precision", "p"}}, "pop precision is invalid. : p\n"},
        {"operator control useWheel", "comboA", {{"textWriterRef", "w"}, {"useWheel", "x"}},
         "useWheel value must be [0,2]. : comboA : pop : x\n"},
        {"editable out of range", "display", {{"textWriterRef", "w"}, {"editable", "2"}},
         "editable value must be [0,1]. : display : pop : 2\n"},
        {"operator control without text writer", "comboA", {}, "Unable to convert text operator. : comboA : pop\n"},
        {"bad division offset of comboA", "comboA", {{"textWriterRef", "w"}, {"divisionItemOffset", "z"}},
         "Division item offset value is invalid. : comboA : pop : z\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CVeyControl> control = CVeyControlFactory::GetInstance().CreateControl(
            CVeyElementDefinition(c.type));
        ASSERT_TRUE(control);
        auto attributes = TestAttributes({{"name", "pop"}, {"valueRef", "fm.c.num"}});
        if (std::string(c.type) != "comboA" && std::string(c.type) != "display")
            attributes.push_back({"textWriterRef", "w"});
        attributes.insert(attributes.end(), c.attributes.begin(), c.attributes.end());
        CTraceCapture trace;
        EXPECT_FALSE(control->LoadAttributes(attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST_F(PopControlTest, CreationChecks)
{
    AddStrings("short", {"/A", "3"});
    const struct
    {
        const char* name;
        const char* type;
        CVeyElementDefinition::CAttributes attributes;
        std::string line;
    } cases[] = {
        {"pop control without text writer", "edit", {{"valueRef", "fm.c.num"}},
         "There is no text writer reference for pop control. : main.pop\n"},
        {"edit without value", "edit", {{"textWriterRef", "w"}}, "There is no value reference. : edit : main.pop\n"},
        {"combo on a text", "combo", {{"textWriterRef", "w"}, {"valueRef", "fm.c.name"}},
         "Referred value type must be integer for combo control. : main.pop\n"},
        {"string table on a text", "edit", {{"textWriterRef", "w"}, {"valueRef", "fm.c.name"}, {"stringTableRef", "names"}},
         "Referred value type must be integer when string table is referred for pop control. : main.pop\n"},
        {"division table without string table", "combo",
         {{"textWriterRef", "w"}, {"valueRef", "fm.c.page"}, {"divisionStringTableRef", "short"}},
         "String table must be specified when using division string table for combo control. : main.pop\n"},
        {"division counts one short", "combo",
         {{"textWriterRef", "w"}, {"valueRef", "fm.c.page"}, {"stringTableRef", "steps"}, {"divisionStringTableRef", "short"}},
         "Summation of element count in division string table must be same as string table element count for combo "
         "control. : main.pop\n"},
        {"text outside the edit", "edit", {{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"textPosition", "150,0"}},
         "Text position is invalid for edit control. : main.pop\n"},
        {"button outside the combo", "combo",
         {{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"bitmapRef", "button"}, {"buttonPosition", "100,0"}},
         "Button position is invalid for combo control. : main.pop\n"},
        {"editDouble on a text", "editDouble", {{"textWriterRef", "w"}, {"valueRef", "fm.c.name"}}, "value type is not integer.\n"},
        {"comboA on a text", "comboA", {{"textWriterRef", "w"}, {"valueRef", "fm.c.name"}},
         "Referred value type must be integer. : comboA : main.pop\n"},
        {"comboA division counts one short", "comboA",
         {{"textWriterRef", "w"}, {"valueRef", "fm.c.page"}, {"stringTableRef", "steps"}, {"divisionStringTableRef", "short"}},
         "Summation of element count in division string table must be same as string table element count. : comboA : "
         "main.pop\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CVeyControl> control = CVeyControlFactory::GetInstance().CreateControl(
            CVeyElementDefinition(c.type));
        auto attributes = TestAttributes({{"name", "pop"}, {"position", "100,50"}, {"size", "100,20"}});
        attributes.insert(attributes.end(), c.attributes.begin(), c.attributes.end());
        ASSERT_TRUE(control->LoadAttributes(attributes));
        CTraceCapture trace;
        EXPECT_FALSE(control->Create(&parent));
        EXPECT_EQ(trace.Text().substr(0, c.line.size()), c.line);
    }
}

TEST_F(PopControlTest, ButtonAndTextDefaultsFollowTheControl)
{
    const auto button = TestAttributes({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"bitmapRef", "button"}});
    auto combo = Make<CVeyPopComboControl>(button);
    EXPECT_EQ(combo->GetButtonRect(), CRect(284, 100, 300, 110)) << "top-right corner";
    EXPECT_EQ(combo->GetTextRect(), CRect(200, 100, 284, 120)) << "up to the button";

    auto edit = Make<CVeyPopEditControl>(button);
    EXPECT_EQ(edit->GetButtonRect(), CRect(200, 100, 216, 110)) << "top-left corner";
    EXPECT_EQ(edit->GetTextRect(), CRect(216, 100, 300, 120)) << "from the button's right edge";

    auto comboA = Make<CVeyComboControl>(button);
    EXPECT_EQ(comboA->GetButtonRect(), CRect(284, 100, 300, 110));
    EXPECT_EQ(comboA->GetTextOperator()->GetTextRect(), CRect(200, 100, 284, 120));

    auto display = Make<CVeyDisplayControl>(button);
    EXPECT_EQ(display->GetTextOperator()->GetTextRect(), CRect(216, 100, 300, 120));

    // A position given in the script is relative to the control, also for the operator controls.
    auto placed = button;
    placed.push_back({"buttonPosition", "10,2"});
    placed.push_back({"textPosition", "30,0"});
    placed.push_back({"textSize", "40,20"});
    auto placedComboA = Make<CVeyComboControl>(placed);
    EXPECT_EQ(placedComboA->GetButtonPosition(), CPoint(210, 102));
    EXPECT_EQ(placedComboA->GetTextOperator()->GetTextRect(), CRect(230, 100, 270, 120));
    auto placedCombo = Make<CVeyPopComboControl>(placed);
    EXPECT_EQ(placedCombo->GetButtonPosition(), CPoint(210, 102));
    EXPECT_EQ(placedCombo->GetTextRect(), CRect(230, 100, 270, 120));

    // Widening by 10 pixels stretches the text and leaves the button where it is.
    combo->SetRect(CRect(200, 100, 310, 120));
    EXPECT_EQ(combo->GetTextRect(), CRect(200, 100, 294, 120));
    EXPECT_EQ(combo->GetButtonPosition(), CPoint(284, 100));
    comboA->SetRect(CRect(200, 100, 310, 120));
    EXPECT_EQ(comboA->GetTextOperator()->GetTextRect(), CRect(200, 100, 294, 120));
    EXPECT_EQ(comboA->GetButtonPosition(), CPoint(284, 100));
}

TEST_F(PopControlTest, PressOpensThePopupOnlyOnTheButton)
{
    auto control = Make<CVeyPopEditControl>(
        {{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"bitmapRef", "button"}});
    COLORREF duringPopup = 0;
    bool pressedDuringPopup = false;
    edit.during = [&] {
        pressedDuringPopup = control->IsButtonPressed();
        duringPopup = PixelAfterDraw(*control, CPoint(201, 101));
    };
    EXPECT_EQ(PixelAfterDraw(*control, CPoint(201, 101)), kUp);

    UL::CMouseInfo outside = Press(CPoint(250, 110));
    EXPECT_FALSE(control->OnMouse(outside)) << "inside the control, outside the button";
    EXPECT_TRUE(control->HasFocus());
    EXPECT_TRUE(edit.calls.empty());

    UL::CMouseInfo up(WM_LBUTTONUP, CPoint(201, 101), 0);
    EXPECT_FALSE(control->OnMouse(up));
    UL::CMouseInfo elsewhere = Press(CPoint(10, 10));
    EXPECT_FALSE(control->OnMouse(elsewhere));

    UL::CMouseInfo onButton = Press(CPoint(201, 101));
    EXPECT_TRUE(control->OnMouse(onButton));
    ASSERT_EQ(edit.calls.size(), 1u);
    EXPECT_TRUE(pressedDuringPopup);
    EXPECT_EQ(duringPopup, kPressed) << "the button is drawn pressed while the popup is open";
    EXPECT_FALSE(control->IsButtonPressed());
    EXPECT_FALSE(control->HasFocus()) << "the focus goes with the popup";
    EXPECT_EQ(PixelAfterDraw(*control, CPoint(201, 101)), kUp);

    UL::CMouseInfo doubleClick = Press(CPoint(205, 105), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(control->OnMouse(doubleClick));
    EXPECT_EQ(edit.calls.size(), 2u);

    auto plain = Make<CVeyPopEditControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}});
    UL::CMouseInfo anywhere = Press(CPoint(295, 118));
    EXPECT_TRUE(plain->OnMouse(anywhere)) << "without a bitmap the whole control is the button";
    EXPECT_EQ(edit.calls.size(), 3u);
}

TEST_F(PopControlTest, WheelStepsAsConfiguredAndReadOnlyDisplayIgnoresInput)
{
    const struct
    {
        const char* useWheel;
        short delta;
        bool taken;
        int32_t number;
    } cases[] = {{"1", 120, true, 36}, {"2", 120, true, 34}, {"0", 120, false, 35}, {"1", -240, true, 33}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string("useWheel ") + c.useWheel + " delta " + std::to_string(c.delta));
        Num()->SetNumber(35);
        auto control = Make<CVeyPopEditControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"useWheel", c.useWheel}});
        UL::CWheelInfo wheel(WM_MOUSEWHEEL, c.delta, CPoint(250, 110), 0);
        EXPECT_EQ(control->OnMouseWheel(wheel), c.taken);
        EXPECT_EQ(Num()->GetNumber(), c.number);
        EXPECT_FALSE(control->HasFocus());
    }

    Num()->SetNumber(35);
    auto display = Make<CVeyDisplayControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"editable", "0"}});
    UL::CWheelInfo wheel(WM_MOUSEWHEEL, 120, CPoint(250, 110), 0);
    UL::CMouseInfo press = Press(CPoint(250, 110));
    EXPECT_FALSE(display->OnMouseWheel(wheel));
    EXPECT_FALSE(display->OnMouse(press));
    EXPECT_TRUE(edit.calls.empty());
    EXPECT_EQ(Num()->GetNumber(), 35);
    CVeyBufferManager::GetInstance().SetValue(Num(), 70);
    CVeyBufferManager::GetInstance().UpdateViews();
    CVeyBufferManager::GetInstance().ClearChanges();
    EXPECT_EQ(display->GetText(), "70") << "a read-only display still follows its value";
}

TEST_F(PopControlTest, EditCommitsTypedTextClampedIntoTheValue)
{
    AddStrings("tens", {"0", "10", "20", "30", "40", "50", "60", "70"});
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* typed;
        const char* path;
        std::string stored;
    } cases[] = {
        {"number plus offset", {{"offsetValue", "1"}}, "64", "fm.c.num", "63"},
        {"above the range", {{"offsetValue", "1"}}, "200", "fm.c.num", "127"},
        {"no number gives the minimum", {{"offsetValue", "1"}}, "abc", "fm.c.num", "0"},
        {"far beyond 32 bits does not wrap", {{"offsetValue", "-100"}}, "2147483600", "fm.c.num", "127"},
        {"nearest table entry", {{"stringTableRef", "tens"}}, "25", "fm.c.page", "2"},
        {"table longer than the range", {{"stringTableRef", "tens"}}, "70", "fm.c.page", "3"},
        {"text padded with the minimum", {}, "ABCD", "fm.c.name", "ABCD        "},
        {"text cut and clamped", {}, "abcdefghijk\x01\xF0" "xyz", "fm.c.name", "abcdefghijk "},
        {"double: tenths", {{"divisionValue", "10"}, {"precision", "1"}}, "2.75", "fm.c.num", "27"},
        {"double: binary rounding", {{"divisionValue", "100"}, {"precision", "2"}}, "0.29", "fm.c.num", "29"},
        {"double: trailing text", {{"divisionValue", "10"}}, "4.5kHz", "fm.c.num", "45"},
        {"double: huge", {{"divisionValue", "10"}}, "1e20", "fm.c.num", "127"},
        {"double: no number", {{"divisionValue", "10"}}, "x", "fm.c.num", "0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto attributes = TestAttributes({{"textWriterRef", "w"}, {"valueRef", c.path}});
        attributes.insert(attributes.end(), c.attributes.begin(), c.attributes.end());
        const bool isDouble = std::string(c.name).rfind("double", 0) == 0;
        std::unique_ptr<CVeyPopEditControl> control =
            isDouble ? std::unique_ptr<CVeyPopEditControl>(Make<CVeyEditDoubleControl>(attributes))
                     : Make<CVeyPopEditControl>(attributes);
        ASSERT_TRUE(control);
        updater.commits.clear();
        edit.replies = {{true, c.typed}};
        UL::CMouseInfo press = Press(CPoint(250, 110));
        ASSERT_TRUE(control->OnMouse(press));
        CVeyValue* value = FindTestValue(c.path);
        EXPECT_EQ(value->GetKind() == CVeyValue::kText ? value->GetText()
                  : std::string(c.path) == "fm.c.page" ? std::to_string(value->GetIndex())
                                                       : std::to_string(value->GetNumber()),
                  c.stored);
        ASSERT_EQ(updater.commits.size(), 1u) << "one commit: flush, views, clear";
        EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    }
}

TEST_F(PopControlTest, EditShowsItsValueAndOpensBelowItself)
{
    Num()->SetNumber(35);
    auto control = Make<CVeyPopEditControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"offsetValue", "1"}});
    EXPECT_EQ(control->GetTextRecord(), "36");
    textWriter->drawn.clear();
    PixelAfterDraw(*control, CPoint(0, 0));
    ASSERT_EQ(textWriter->drawn.size(), 1u);
    EXPECT_EQ(textWriter->drawn[0], std::make_pair(CRect(200, 100, 300, 120), std::string("36")));

    edit.replies = {{false, "99"}};
    UL::CMouseInfo press = Press(CPoint(250, 110));
    ASSERT_TRUE(control->OnMouse(press));
    ASSERT_EQ(edit.calls.size(), 1u);
    EXPECT_EQ(edit.calls[0].rect, CRect(200, 122, 300, 142)) << "own size, two pixels below";
    EXPECT_EQ(edit.calls[0].text, "36");
    EXPECT_EQ(edit.calls[0].writer, textWriter);
    EXPECT_EQ(Num()->GetNumber(), 35) << "a cancelled edit commits nothing";
    EXPECT_TRUE(updater.commits.empty());
    EXPECT_FALSE(control->IsButtonPressed());

    auto tenths = Make<CVeyEditDoubleControl>(
        {{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"divisionValue", "10"}, {"precision", "1"}});
    EXPECT_EQ(tenths->GetTextRecord(), "3.5");
    // A signed value stored around its centre shows signed, and its text typed back in stores the
    // number it came from.
    auto centred = Make<CVeyEditDoubleControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"},
                                                {"divisionValue", "10"}, {"precision", "1"}, {"offsetValue", "-64"}});
    EXPECT_EQ(centred->GetTextRecord(), "-2.9");
    edit.replies = {{true, centred->GetTextRecord()}};
    UL::CMouseInfo again = Press(CPoint(250, 110));
    ASSERT_TRUE(centred->OnMouse(again));
    EXPECT_EQ(Num()->GetNumber(), 35);
    auto wild = Make<CVeyEditDoubleControl>(
        {{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"divisionValue", "-7"}, {"precision", "2000000000"}});
    EXPECT_EQ(wild->GetTextRecord().substr(0, 5), "-5.00") << "a huge precision is bounded";
}

TEST_F(PopControlTest, DisplayCommitsThroughItsTextOperator)
{
    auto number = Make<CVeyDisplayControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.num"}, {"offsetValue", "-64"}});
    Num()->SetNumber(64);
    number->Refresh();
    EXPECT_EQ(number->GetText(), "0");
    edit.replies = {{true, "-4"}};
    UL::CMouseInfo press = Press(CPoint(250, 110));
    ASSERT_TRUE(number->OnMouse(press));
    EXPECT_EQ(Num()->GetNumber(), 60);
    EXPECT_EQ(edit.calls.back().text, "0");
    EXPECT_EQ(number->GetText(), "-4") << "the commit redraws the display";

    auto name = Make<CVeyDisplayControl>({{"textWriterRef", "w"}, {"valueRef", "fm.c.name"}, {"bitmapRef", "button"}});
    EXPECT_NE(PixelAfterDraw(*name, CPoint(201, 101)), kUp) << "a display draws no button";
    edit.replies = {{true, "Bell"}};
    UL::CMouseInfo onButton = Press(CPoint(201, 101));
    ASSERT_TRUE(name->OnMouse(onButton));
    EXPECT_EQ(FindTestValue("fm.c.name")->GetText(), "Bell        ");
}
