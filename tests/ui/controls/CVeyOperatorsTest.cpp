#include "ViewTestSupport.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyInputOperators.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyTextOperator.h"
#include "ui/controls/VeyTipBar.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace
{
class CRecordingTextWriter : public CVeyTextWriter
{
public:
    bool SetFont(const CVeyFontSettings&) override { return true; }
    bool GetFont(CVeyFontSettings&) const override { return true; }
    void Draw(const UL::CDrawInfo&, const CRect& rect, const std::string& text) override
    {
        drawn.push_back({rect, text});
    }
    std::vector<std::pair<CRect, std::string>> drawn;
};

// A control at (110, 70) with size 60 x 20 inside the test parent, bound to `path`.
struct Operators : ::testing::Test
{
    void SetUp() override
    {
        parent.SetName("main");
        ASSERT_TRUE(BuildViewTestModel());
        CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
        AddStrings("tens", {"10", "13"});
        AddStrings("names", {"off", "low", "mid"});
        AddStrings("pictures", {"min", "max"});
        AddStrings("three", {"a", "b", "c"});
        for (const char* name : {"w0", "w1"})
        {
            auto writer = std::make_unique<CRecordingTextWriter>();
            writers.push_back(writer.get());
            resources.GetTextWriters().Insert(name, std::move(writer));
        }
        // "arrows.bmp": two states of 8 x 6, state s filled with RGB(200 + s, 0, 0).
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CBitmap strip;
        strip.CreateBitmap(8, 12);
        CDC dc;
        dc.SelectObject(&strip);
        dc.FillSolidRect(RECT{0, 0, 8, 6}, RGB(200, 0, 0));
        dc.FillSolidRect(RECT{0, 6, 8, 12}, RGB(201, 0, 0));
        ASSERT_TRUE(strip.SaveFile(folder.File("arrows.bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        auto attributes = TestAttributes({{"name", "arrows"}, {"stateCount", "2"}});
        ASSERT_TRUE(bitmap->Load(attributes));
        resources.GetBitmaps().Insert("arrows", std::move(bitmap));
    }
    void TearDown() override
    {
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        ClearViewTestModel();
    }
    void AddStrings(const std::string& name, std::vector<std::string> entries)
    {
        auto table = CVeyStringTable::Create();
        for (const std::string& entry : entries)
            table->Append(entry);
        CVeyResourceManager::GetInstance().GetStringTables().Insert(name, std::move(table));
    }
    // Reads the control's and then the operator's attributes, creates the control, checks.
    std::unique_ptr<CTestControl> MakeControl(const std::string& path)
    {
        auto control = std::make_unique<CTestControl>();
        auto attributes = TestAttributes({{"name", "t"}, {"position", "10,20"}, {"size", "60,20"}});
        if (!path.empty())
            attributes.push_back({"valueRef", path});
        EXPECT_TRUE(control->LoadAttributes(attributes));
        EXPECT_TRUE(control->Create(&parent));
        return control;
    }

    CTempDir folder;
    CTestParentView parent;
    std::vector<CRecordingTextWriter*> writers;
};

struct TextCase
{
    const char* name;
    CVeyElementDefinition::CAttributes attributes;
};
}

TEST_F(Operators, ValuesBecomeTextOrPictures)
{
    // idx has 8 indexes; with two pictorial states, 6 and 7 are pictures.
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        int32_t number;
        const char* text;
        int32_t state;
    } cases[] = {
        {"number plus offset", {{"offsetValue", "-1"}}, 3, "2", -1},
        {"string table entry", {{"stringTableRef", "names"}}, 1, "low", -1},
        {"string table clipped", {{"stringTableRef", "names"}}, 5, "mid", -1},
        {"text below the pictures", {{"pictorialBitmapRef", "arrows"}}, 5, "5", -1},
        {"first picture", {{"pictorialBitmapRef", "arrows"}, {"pictorialStringTableRef", "pictures"}}, 6, "min", 0},
        {"last picture", {{"pictorialBitmapRef", "arrows"}, {"pictorialStringTableRef", "pictures"}}, 7, "max", 1},
        {"picture without names", {{"pictorialBitmapRef", "arrows"}}, 7, "", 1},
        // Data from outside the range: no picture strip, so the number shows.
        {"out of range without pictures", {}, 12, "12", -1},
        {"out of range with a table", {{"stringTableRef", "names"}}, 12, "mid", -1},
        {"out of range with pictures", {{"pictorialBitmapRef", "arrows"}}, 12, "", 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl("fm.pat.common.idx");
        CVeySingleTextOperator text(control.get());
        auto attributes = c.attributes;
        attributes.push_back({"textWriterRef", "w0"});
        ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
        ASSERT_TRUE(text.Check());
        FindTestValue("fm.pat.common.idx")->SetNumber(c.number);
        text.UpdateFromValue();
        EXPECT_EQ(text.GetText(), c.text);
        EXPECT_EQ(text.GetPictorialState(), c.state);
    }

    auto control = MakeControl("fm.pat.common.patchName");
    CVeySingleTextOperator text(control.get());
    auto attributes = TestAttributes({{"textWriterRef", "w0"}});
    ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
    text.UpdateFromValue();
    EXPECT_EQ(text.GetText(), "INIT");
}

TEST_F(Operators, TextAttributesAndChecksReportTheirFaults)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* path;
        int32_t loaded;
        bool checked;
        const char* trace;
    } cases[] = {
        {"no writer: no text", {{"textPosition", "200,200"}}, "fm.pat.common.idx", 1, true, ""},
        {"unknown writer", {{"textWriterRef", "w9"}}, "fm.pat.common.idx", 0, false,
         "Unable to find text writer. : testControl : main.t : w9\n"},
        {"unknown table", {{"textWriterRef", "w0"}, {"stringTableRef", "x"}}, "fm.pat.common.idx", 0, false,
         "Unable to find string table. : testControl : main.t : x\n"},
        {"bad offset", {{"textWriterRef", "w0"}, {"offsetValue", "ten"}}, "fm.pat.common.idx", 0, false,
         "Offset value is invalid. : testControl : main.t : ten\n"},
        {"unknown picture", {{"textWriterRef", "w0"}, {"pictorialBitmapRef", "x"}}, "fm.pat.common.idx", 0, false,
         "Unable to find pictorial bitmap. : testControl : main.t : x\n"},
        {"text outside the control", {{"textWriterRef", "w0"}, {"textPosition", "70,0"}}, "fm.pat.common.idx", 2,
         false, "Text position is invalid. : testControl : main.t\n"},
        {"no value", {{"textWriterRef", "w0"}}, "", 2, false, "There is no value reference. : testControl : main.t\n"},
        {"names without pictures", {{"textWriterRef", "w0"}, {"pictorialStringTableRef", "pictures"}},
         "fm.pat.common.idx", 2, false,
         "The pictorial bitmap reference is necessary for pictorial string table. : testControl : main.t\n"},
        {"names and pictures differ",
         {{"textWriterRef", "w0"}, {"pictorialBitmapRef", "arrows"}, {"pictorialStringTableRef", "three"}},
         "fm.pat.common.idx", 2, false,
         "'Pictorial bitmap state count and pictorial string table element count must be same. : testControl : main.t\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl(c.path);
        CVeySingleTextOperator text(control.get());
        auto attributes = c.attributes;
        CTraceCapture trace;
        const int32_t loaded = text.LoadAttributes(attributes);
        EXPECT_EQ(loaded, c.loaded);
        if (loaded != CVeyControlOperator::kFailed)
        {
            EXPECT_EQ(text.Check(), c.checked);
        }
        EXPECT_EQ(trace.Text(), c.trace);
    }
}

TEST_F(Operators, TheTextRectangleFollowsTheControlIntoItsParent)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        CRect rect;
    } cases[] = {
        {"defaults fill the control", {}, CRect(110, 70, 170, 90)},
        {"position and size inside the parent", {{"textPosition", "5,2"}, {"textSize", "30,10"}}, CRect(115, 72, 145, 82)},
        {"position without size runs to the control's edges", {{"textPosition", "5,2"}}, CRect(115, 72, 170, 90)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl("fm.pat.common.idx");
        CVeySingleTextOperator text(control.get());
        auto attributes = c.attributes;
        attributes.push_back({"textWriterRef", "w0"});
        attributes.push_back({"unit", "Hz"});
        ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
        ASSERT_TRUE(text.Check());
        EXPECT_EQ(text.GetTextRect(), c.rect);
    }

    // Drawing: the chosen writer (the first for an index past the list) with the unit appended.
    auto control = MakeControl("fm.pat.common.idx");
    CVeySingleTextOperator text(control.get());
    auto attributes = TestAttributes({{"textWriterRef", "w0"}, {"textWriterRef", "w1"}, {"unit", "Hz"}});
    ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
    ASSERT_TRUE(text.Check());
    FindTestValue("fm.pat.common.idx")->SetNumber(4);
    text.UpdateFromValue();
    CBitmap canvas;
    canvas.CreateBitmap(200, 120);
    CDC dc;
    dc.SelectObject(&canvas);
    UL::CDrawInfo info(&dc, nullptr, nullptr);
    text.Draw(info, 1);
    text.Draw(info, 7);
    ASSERT_EQ(writers[1]->drawn.size(), 1u);
    EXPECT_EQ(writers[1]->drawn[0].second, "4Hz");
    ASSERT_EQ(writers[0]->drawn.size(), 1u);
    EXPECT_EQ(writers[0]->drawn[0].first, CRect(110, 70, 170, 90));

    // Moving the control moves the text edge by edge.
    text.OnControlRectChanged(CRect(120, 75, 190, 95));
    EXPECT_EQ(text.GetTextRect(), CRect(120, 75, 190, 95));
}

TEST_F(Operators, PicturesAreDrawnRightAlignedAndCentred)
{
    auto control = MakeControl("fm.pat.common.idx");
    CVeySingleTextOperator text(control.get());
    auto attributes = TestAttributes({{"textWriterRef", "w0"}, {"pictorialBitmapRef", "arrows"}});
    ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
    ASSERT_TRUE(text.Check());
    FindTestValue("fm.pat.common.idx")->SetNumber(7);
    text.UpdateFromValue();
    CBitmap canvas;
    canvas.CreateBitmap(200, 120);
    CDC dc;
    dc.SelectObject(&canvas);
    UL::CDrawInfo info(&dc, nullptr, nullptr);
    text.Draw(info, 0);
    // Text rectangle (110, 70)-(170, 90): the 8 x 6 state sits at x 162..169, y 77..82.
    EXPECT_EQ(dc.GetPixel(162, 77), RGB(201, 0, 0));
    EXPECT_EQ(dc.GetPixel(169, 82), RGB(201, 0, 0));
    EXPECT_EQ(dc.GetPixel(161, 77), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(162, 76), RGB(0, 0, 0));
    EXPECT_TRUE(writers[0]->drawn.empty());
}

TEST_F(Operators, TypedTextFindsTheNearestEntryOrTheNumber)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* typed;
        int32_t index;
    } cases[] = {
        {"nearer entry above", {{"stringTableRef", "tens"}}, "12", 1},
        {"tie goes to the earlier entry", {{"stringTableRef", "tens"}}, "11.5", 0},
        {"below every entry", {{"stringTableRef", "tens"}}, "-4", 0},
        {"above every entry", {{"stringTableRef", "tens"}}, "99", 1},
        {"a word", {{"stringTableRef", "names"}}, "mid", 2},
        {"picture name maps to the top", {{"stringTableRef", "names"}, {"pictorialBitmapRef", "arrows"},
                                          {"pictorialStringTableRef", "pictures"}}, "max", 7},
        {"pictures only, a name", {{"pictorialBitmapRef", "arrows"}, {"pictorialStringTableRef", "pictures"}}, "min", 6},
        {"pictures only, a number", {{"pictorialBitmapRef", "arrows"}, {"pictorialStringTableRef", "pictures"}}, "3", 3},
        {"number with offset", {{"offsetValue", "1"}}, "5", 4},
        {"number above the range", {}, "2147483647", 7},
        {"number below the range with offset", {{"offsetValue", "-1"}}, "-2147483648", 0},
        {"not a number", {}, "abc", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl("fm.pat.common.idx");
        CVeySingleTextOperator text(control.get());
        auto attributes = c.attributes;
        attributes.push_back({"textWriterRef", "w0"});
        ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
        EXPECT_EQ(text.TextToIndex(c.typed), c.index);
    }
}

TEST_F(Operators, TypedNumbersOfATableValueAreLookedUpInTheTable)
{
    // rate shows 0, 10, 20, 30: the text a user sees and types is the table's number.
    auto control = MakeControl("fm.pat.common.rate");
    CVeySingleTextOperator text(control.get());
    auto attributes = TestAttributes({{"textWriterRef", "w0"}});
    ASSERT_EQ(text.LoadAttributes(attributes), CVeyControlOperator::kConfigured);
    control->GetValue(0)->SetIndex(2);
    text.UpdateFromValue();
    EXPECT_EQ(text.GetText(), "20");
    const struct
    {
        const char* typed;
        int32_t index;
    } cases[] = {{"20", 2}, {"0", 0}, {"14", 1}, {"16", 2}, {"300", 3}, {"-5", 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(text.TextToIndex(c.typed), c.index);
    }
}

TEST_F(Operators, FittedTextHasTheValuesSizeAndRange)
{
    auto control = MakeControl("fm.pat.common.patchName");
    CVeySingleTextOperator text(control.get());
    EXPECT_EQ(text.FitText("AB"), "AB  ") << "padded with the smallest character, a blank";
    EXPECT_EQ(text.FitText("ABCDEFG"), "ABCD");
    EXPECT_EQ(text.FitText(std::string("A\x01\x80", 3)), "A   ") << "0x80 reads as -128";
}

TEST_F(Operators, TipBarShowsTheValueAtTheControlsCorner)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        int32_t loaded;
        const char* trace;
    } cases[] = {
        {"default", {}, 2, ""},
        {"switched off", {{"useTipBar", "0"}}, 1, ""},
        {"not 0 or 1", {{"useTipBar", "2"}}, 0, "Use tip bar value must be 0 or 1. : main.t : 2\n"},
        {"not a number", {{"useTipBar", "yes"}}, 0, "Use tip bar description is invalid. : main.t : yes\n"},
        {"bad offset", {{"offsetValue", "x"}}, 0, "Offset value is invalid for tip bar. : main.t : x\n"},
        {"unknown table", {{"stringTableRef", "x"}}, 0, "Unable to find string table for tip bar. : main.t : x\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl("fm.pat.common.idx");
        CVeySingleTipBarOperator tip(control.get());
        auto attributes = c.attributes;
        CTraceCapture trace;
        EXPECT_EQ(tip.LoadAttributes(attributes), c.loaded);
        EXPECT_EQ(trace.Text(), c.trace);
    }

    auto control = MakeControl("fm.pat.common.idx");
    CVeySingleTipBarOperator tip(control.get());
    auto attributes = TestAttributes({{"stringTableRef", "names"}});
    ASSERT_EQ(tip.LoadAttributes(attributes), 2);
    ASSERT_TRUE(tip.Check());
    CVeyRecordingTipBar& bar = VeyGetRecordingTipBar();
    bar.SetText("");
    FindTestValue("fm.pat.common.idx")->SetNumber(1);
    tip.UpdateText();
    EXPECT_EQ(bar.GetText(), "") << "only while the control has the focus";
    UL::CMouseInfo click(WM_LBUTTONDOWN, CPoint(115, 75), MK_LBUTTON);
    EXPECT_FALSE(tip.OnMouse(click));
    EXPECT_TRUE(control->HasFocus());
    tip.Show(true);
    EXPECT_TRUE(bar.IsShown());
    EXPECT_EQ(bar.GetText(), "low");
    EXPECT_EQ(bar.GetPoint(), CPoint(110 + CTestParentView::kScreenOffset.x, 90 + CTestParentView::kScreenOffset.y));
    tip.Show(false);
    EXPECT_FALSE(bar.IsShown());
    control->SetFocus(false);

    // A string table needs a number to index it.
    auto textControl = MakeControl("fm.pat.common.patchName");
    CVeySingleTipBarOperator textTip(textControl.get());
    attributes = TestAttributes({{"stringTableRef", "names"}});
    ASSERT_EQ(textTip.LoadAttributes(attributes), 2);
    CTraceCapture trace;
    EXPECT_FALSE(textTip.Check());
    EXPECT_EQ(trace.Text(), "Referred value type must be integer when string table is referred for tip bar. : main.t\n");
}

TEST_F(Operators, WheelStepsCutToWholeNotchesAndShiftMultiplies)
{
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    const struct
    {
        const char* name;
        const char* path;
        int32_t start;
        double amount;
        uint32_t flags;
        int32_t index;
    } cases[] = {
        {"half a notch steps nothing", "fm.pat.common.level", 50, 0.5, 0, 50},
        {"one and a half is one", "fm.pat.common.level", 50, 1.5, 0, 51},
        {"two and nine tenths is two", "fm.pat.common.level", 50, 2.9, 0, 52},
        {"down", "fm.pat.common.level", 50, -1, 0, 49},
        {"down cuts toward zero too", "fm.pat.common.level", 50, -1.7, 0, 49},
        {"a huge amount is clipped, not overflowed", "fm.pat.common.level", 50, 1.0e300, 0, 127},
        {"clipped at the top", "fm.pat.common.page", 3, 2, 0, 3},
        {"shift: ten notches", "fm.pat.common.level", 50, 1, UL::MOUSE_SHIFT, 60},
        {"shift: at most half the count", "fm.pat.common.idx", 0, 1, UL::MOUSE_SHIFT, 4},
        {"shift down is not bounded by the count", "fm.pat.common.idx", 7, -1, UL::MOUSE_SHIFT, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl(c.path);
        CVeyValue* value = control->GetValue(0);
        value->SetIndex(c.start);
        CVeySingleWheelOperator wheel(control.get());
        UL::CWheelInfo info(WM_MOUSEWHEEL, 0, CPoint(115, 75), 0);
        info.m_amount = c.amount;
        info.m_flags = c.flags;
        EXPECT_TRUE(wheel.OnMouseWheel(info));
        EXPECT_EQ(value->GetIndex(), c.index);
    }

    // A record already handled elsewhere steps nothing.
    auto control = MakeControl("fm.pat.common.level");
    CVeySingleWheelOperator wheel(control.get());
    UL::CWheelInfo handled(WM_MOUSEWHEEL, 120, CPoint(115, 75), 0);
    handled.m_reserved = 1;
    const int32_t before = control->GetValue(0)->GetIndex();
    EXPECT_TRUE(wheel.OnMouseWheel(handled));
    EXPECT_EQ(control->GetValue(0)->GetIndex(), before);
}

TEST_F(Operators, ArrowKeysStepByOneOrByTheShiftAmount)
{
    const struct
    {
        const char* name;
        uint32_t key;
        uint32_t modifiers;
        int32_t index;
    } cases[] = {
        {"up", UL::KEY_UP, 0, 2},
        {"right", UL::KEY_RIGHT, 0, 2},
        {"down", UL::KEY_DOWN, 0, 0},
        {"left", UL::KEY_LEFT, 0, 0},
        {"shift up: half of 4 indexes", UL::KEY_UP, UL::KEYMOD_SHIFT, 3},
        {"shift down", UL::KEY_DOWN, UL::KEYMOD_SHIFT, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = MakeControl("fm.pat.common.page");
        control->GetValue(0)->SetIndex(1);
        CVeySingleKeyOperator keys(control.get());
        EXPECT_TRUE(keys.OnKey(UL::KeyInfo{UL::KEYKIND_DOWN, c.key, c.modifiers}));
        EXPECT_EQ(control->GetValue(0)->GetIndex(), c.index);
        EXPECT_EQ(keys.GetPhase(), CVeySingleKeyOperator::kFirstRepeatPhase);
        EXPECT_TRUE(keys.OnKey(UL::KeyInfo{UL::KEYKIND_UP, c.key, c.modifiers}));
        EXPECT_EQ(keys.GetStep(), 0);
        EXPECT_EQ(keys.GetPhase(), CVeySingleKeyOperator::kFocusPhase);
    }
    auto control = MakeControl("fm.pat.common.page");
    CVeySingleKeyOperator keys(control.get());
    EXPECT_FALSE(keys.OnKey(UL::KeyInfo{UL::KEYKIND_DOWN, 'A', 0}));
    keys.OnFocus(false);
    EXPECT_FALSE(keys.IsRepeatDue()) << "a stopped timer is never due";
}
