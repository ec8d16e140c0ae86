#include "ControlFaultTable.h"
#include "DragTestSupport.h"

#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeySliderControl.h"

namespace
{
// Over r.d.level (128 indexes) in the parent at (100, 50). Horizontal: track (110, 70, 210, 80)
// with a 10 x 6 knob; vertical: track (110, 70, 120, 170) with a 6 x 10 knob.
struct Slider : DragTest
{
    void SetUp() override
    {
        DragTest::SetUp();
        AddBitmap("wide", 1, 10, 6);
        AddBitmap("tall", 1, 6, 10);
    }
    bool MakeSlider(CVeySliderControl& slider, bool horizontal, CVeyElementDefinition::CAttributes more = {})
    {
        auto attributes = TestAttributes({{"name", "s"},
                                          {"position", "10,20"},
                                          {"size", horizontal ? "100,10" : "10,100"},
                                          {"valueRef", "r.d.level"},
                                          {"bitmapRef", horizontal ? "wide" : "tall"},
                                          {"direction", horizontal ? "1" : "0"}});
        attributes.insert(attributes.end(), more.begin(), more.end());
        return Make(slider, attributes);
    }
    int32_t Index() { return Value("level")->GetIndex(); }
    void Press(CVeySliderControl& slider, int x, int y, uint32_t flags = 0)
    {
        auto info = Mouse(UL::MOUSE_DOWN, x, y, flags);
        EXPECT_TRUE(slider.OnMouse(info));
    }
    void Move(CVeySliderControl& slider, int x, int y)
    {
        auto info = Mouse(UL::MOUSE_MOVE, x, y);
        slider.OnMouse(info);
    }
};
}

TEST_F(Slider, IndexesPlaceTheKnobAlongTheTrack)
{
    const struct
    {
        bool horizontal;
        int32_t index;
        CPoint knob;
    } cases[] = {
        {true, 0, {110, 72}},  {true, 127, {200, 72}}, {true, 64, {155, 72}},  {true, 200, {200, 72}},
        {false, 0, {112, 160}}, {false, 127, {112, 70}}, {false, 64, {112, 115}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << (c.horizontal ? "horizontal " : "vertical ") << c.index);
        CVeySliderControl slider;
        ASSERT_TRUE(MakeSlider(slider, c.horizontal));
        CPoint knob;
        slider.IndexToPosition(knob, c.index);
        EXPECT_EQ(knob, c.knob);
    }

    CVeySliderControl slider;
    ASSERT_TRUE(MakeSlider(slider, true));
    Value("level")->SetNumber(127);
    slider.UpdateFromValue();
    CCanvas canvas(300, 200);
    slider.Draw(canvas.info);
    EXPECT_EQ(canvas.At(200, 72), StateColour(0));
    EXPECT_EQ(canvas.At(209, 77), StateColour(0));
    EXPECT_EQ(canvas.At(199, 72), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(200, 78), RGB(0, 0, 0));
}

TEST_F(Slider, DraggingTheKnobKeepsTheGrabOffset)
{
    CVeySliderControl slider;
    ASSERT_TRUE(MakeSlider(slider, true));
    Value("level")->SetNumber(0);
    slider.UpdateFromValue();
    Press(slider, 112, 75);   // on the knob: no jump
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(CVeySliderControl::GrabOffset(), CPoint(2, 3));
    const struct
    {
        const char* name;
        int x, y;
        int32_t index;
    } moves[] = {
        {"half way", 157, 75, 64},
        {"to the end", 202, 75, 127},
        {"past the end", 400, 75, 127},
        // 100 pixels above: the track counts 90 pixels longer at each end.
        {"far above", 202, -25, 85},
        {"far above, back", 157, -25, 64},
        {"before the start", 0, 75, 0},
    };
    for (const auto& m : moves)
    {
        SCOPED_TRACE(m.name);
        Move(slider, m.x, m.y);
        EXPECT_EQ(Index(), m.index);
    }
    auto release = Mouse(UL::MOUSE_UP, 0, 75);
    EXPECT_TRUE(slider.OnMouse(release));
    EXPECT_FALSE(slider.IsCapturing());
    EXPECT_EQ(CVeySliderControl::LastPoint(), CVeyDragControl::NoPoint());
}

TEST_F(Slider, APressBesideTheKnobCentresItUnderThePointer)
{
    const struct
    {
        bool horizontal;
        int x, y;
        int32_t index;
        CPoint grab;
    } cases[] = {
        {true, 160, 75, 64, {5, 3}},
        {false, 115, 100, 92, {3, 5}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.horizontal ? "horizontal" : "vertical");
        CVeySliderControl slider;
        ASSERT_TRUE(MakeSlider(slider, c.horizontal));
        Value("level")->SetNumber(0);
        slider.UpdateFromValue();
        Press(slider, c.x, c.y);
        EXPECT_EQ(Index(), c.index);
        EXPECT_EQ(CVeySliderControl::GrabOffset(), c.grab);
        slider.SetFocus(false);
    }
}

TEST_F(Slider, ResolutionKeepsTheOffsetWithinAStep)
{
    CVeySliderControl slider;
    ASSERT_TRUE(MakeSlider(slider, true, {{"resolution", "4"}}));
    Value("level")->SetNumber(6);
    CVeySliderControl::GrabOffset() = CPoint(0, 0);
    const struct
    {
        int x;
        int32_t index;
    } cases[] = {{110, 2}, {117, 10}, {155, 66}, {200, 126}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(slider.PositionToIndex(CPoint(c.x, 75)), c.index);
    }
}

TEST_F(Slider, ADefaultMissingFromTheNumberTableResetsToTheLastEntry)
{
    CVeySliderControl slider;
    auto attributes = TestAttributes({{"name", "s"}, {"position", "10,20"}, {"size", "10,100"},
                                      {"valueRef", "r.d.rate"}, {"bitmapRef", "tall"}});
    ASSERT_TRUE(Make(slider, attributes));
    Value("rate")->SetNumber(10);
    Press(slider, 115, 100, UL::MOUSE_CTRL);
    EXPECT_EQ(Value("rate")->GetIndex(), 3);
    EXPECT_EQ(Value("rate")->GetNumber(), 30);
}

TEST_F(Slider, ATrackShrunkBelowTheKnobDoesNotDivideByZero)
{
    CVeySliderControl slider;
    ASSERT_TRUE(MakeSlider(slider, true));
    Value("level")->SetNumber(9);
    slider.SetRect(CRect(110, 70, 120, 80));
    CVeySliderControl::GrabOffset() = CPoint(0, 0);
    EXPECT_EQ(slider.PositionToIndex(CPoint(115, 75)), 9);
}

TEST_F(Slider, ScriptFaultsAreReported)
{
    const CControlFault cases[] = {
        {"no bitmap", {{"name", "s"}, {"valueRef", "r.d.level"}}, "There is no bitmap reference for slider. : s.\n"},
        {"unknown bitmap", {{"name", "s"}, {"bitmapRef", "x"}}, "Unable to find bitmap for slider. : s : x\n"},
        {"direction not a number", {{"name", "s"}, {"bitmapRef", "tall"}, {"direction", "up"}},
         "Direction is invalid for slider. : s : up\n"},
        {"direction 2", {{"name", "s"}, {"bitmapRef", "tall"}, {"direction", "2"}},
         "Direction must be 0 or 1 for slider. : s : 2\n"},
        {"resolution not a number", {{"name", "s"}, {"bitmapRef", "tall"}, {"resolution", "fine"}},
         "Resolution is invalid for slider. : s : fine\n"},
        {"resolution 0", {{"name", "s"}, {"bitmapRef", "tall"}, {"resolution", "0"}},
         "Resolution must be 1 over for slider. : s : 0\n"},
        {"no value", {{"name", "s"}, {"bitmapRef", "tall"}, {"size", "10,100"}},
         "Value references are necessary for slider. : main.s.\n"},
        {"text value", {{"name", "s"}, {"bitmapRef", "tall"}, {"size", "10,100"}, {"valueRef", "r.d.title"}},
         "Referred value must be integer for slider. : main.s\n"},
        {"single index", {{"name", "s"}, {"bitmapRef", "tall"}, {"size", "10,100"}, {"valueRef", "r.d.one"}},
         "Referred value range must be greater than 1 for slider. : main.s\n"},
        {"knob as tall as the track",
         {{"name", "s"}, {"bitmapRef", "tall"}, {"size", "10,10"}, {"valueRef", "r.d.level"}},
         "Knob height must be less than base height for slider. : main.s\n"},
        {"knob as wide as the track",
         {{"name", "s"}, {"bitmapRef", "wide"}, {"direction", "1"}, {"size", "10,100"}, {"valueRef", "r.d.level"}},
         "Knob width must be less than base width for slider. : main.s\n"},
        {"zero size", {{"name", "s"}, {"bitmapRef", "wide"}, {"direction", "1"}, {"valueRef", "r.d.level"}},
         "Knob width must be less than base width for slider. : main.s\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kWhole, [this](const CVeyElementDefinition::CAttributes& attributes) {
        CVeySliderControl slider;
        return !Make(slider, attributes);
    });
}
