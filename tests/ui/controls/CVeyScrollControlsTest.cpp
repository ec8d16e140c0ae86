#include "ControlResourceSupport.h"

#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "ui/controls/CVeyScrollControls.h"

#include <gtest/gtest.h>

namespace
{
// The four range ends are the cutoffs of tones 0..3 (indexes 0..127); operated is the page.
const char* const kLower = "fm.pat.tone[0].cutoff";
const char* const kUpper = "fm.pat.tone[1].cutoff";

struct Scroll : ControlFixture
{
    void SetUp() override
    {
        ControlFixture::SetUp();
        SetRanges(0, 7, 0, 127);
        Value("fm.pat.common.page")->SetNumber(0);
    }
    static void SetRanges(int32_t cl, int32_t cu, int32_t sl, int32_t su)
    {
        const int32_t ends[] = {cl, cu, sl, su};
        for (int i = 0; i < 4; ++i)
            Value("fm.pat.tone[" + std::to_string(i) + "].cutoff")->SetIndex(ends[i]);
    }
    static CVeyElementDefinition::CAttributes RangeAttributes()
    {
        return {{"currentRangeLowerValueRef", kLower},
                {"currentRangeUpperValueRef", kUpper},
                {"scrollRangeLowerValueRef", "fm.pat.tone[2].cutoff"},
                {"scrollRangeUpperValueRef", "fm.pat.tone[3].cutoff"},
                {"operatedValueRef", "fm.pat.common.page"}};
    }
    // A scroll control at client (110, 70) of the given size.
    bool BuildScroll(CVeyScrollControl& scroll, const std::string& size, const char* direction = "0",
                     CVeyElementDefinition::CAttributes extra = {})
    {
        CVeyElementDefinition::CAttributes attributes = RangeAttributes();
        attributes.push_back({"direction", direction});
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        CVeyElementDefinition::CAttributes all =
            TestAttributes({{"name", "b"}, {"position", "10,20"}, {"size", size}});
        all.insert(all.end(), attributes.begin(), attributes.end());
        if (!scroll.LoadAttributes(all) || !scroll.Create(&parent))
            return false;
        recorder.views.push_back(&scroll);
        scroll.Refresh();
        return true;
    }
    static bool Mouse(CVeyControl& control, UINT message, CPoint point)
    {
        UL::CMouseInfo info(message, point, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
        return control.OnMouse(info);
    }
    static int32_t Lower() { return Value(kLower)->GetIndex(); }
    static int32_t Upper() { return Value(kUpper)->GetIndex(); }
    static int32_t Operated() { return Value("fm.pat.common.page")->GetIndex(); }
};
}

TEST_F(Scroll, KnobGeometry)
{
    const struct
    {
        const char* name;
        const char* size;
        const char* direction;
        int32_t cl, cu, sl, su;
        CRect knob;
    } cases[] = {
        {"at the start, at least 10 long", "10,127", "0", 0, 7, 0, 127, CRect(110, 70, 120, 80)},
        {"in the middle", "10,127", "0", 60, 67, 0, 127, CRect(110, 129, 120, 139)},
        {"at the end", "10,127", "0", 120, 127, 0, 127, CRect(110, 187, 120, 197)},
        {"covering everything", "10,127", "0", 0, 127, 0, 127, CRect(110, 70, 120, 197)},
        {"wider than everything", "10,127", "0", 0, 127, 3, 5, CRect(110, 70, 120, 197)},
        {"horizontal, proportional", "100,10", "1", 0, 63, 0, 127, CRect(110, 70, 160, 80)},
        {"horizontal, at the end", "100,10", "1", 64, 127, 0, 127, CRect(160, 70, 210, 80)},
        {"shorter than the minimum knob", "10,6", "0", 50, 57, 0, 127, CRect(110, 70, 120, 76)},
        {"no extent at all", "0,0", "0", 50, 57, 0, 127, CRect(110, 70, 110, 70)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        recorder.views.clear();
        SetRanges(c.cl, c.cu, c.sl, c.su);
        CVeyScrollControl scroll;
        ASSERT_TRUE(BuildScroll(scroll, c.size, c.direction));
        EXPECT_EQ(scroll.GetKnobRect(), c.knob);
        recorder.views.clear();
    }
}

TEST_F(Scroll, DraggingTheKnobMovesTheRangeAndEndsOperated)
{
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    EXPECT_TRUE(Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 75)));   // grabbed 5 below the knob's top
    EXPECT_TRUE(Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 133)));
    EXPECT_EQ(Lower(), 59);   // 58 of 117 pixels of 120 rows of room
    EXPECT_EQ(Upper(), 66);
    EXPECT_EQ(scroll.GetKnobRect().top, 128);
    EXPECT_TRUE(Mouse(scroll, WM_MOUSEMOVE, CPoint(300, 1000)));   // far past the end
    EXPECT_EQ(Lower(), 120);
    EXPECT_EQ(Upper(), 127);
    EXPECT_TRUE(Mouse(scroll, WM_MOUSEMOVE, CPoint(115, -500)));
    EXPECT_EQ(Lower(), 0);
    EXPECT_EQ(Operated(), 0);
    EXPECT_TRUE(Mouse(scroll, WM_LBUTTONUP, CPoint(115, -500)));
    EXPECT_EQ(Operated(), 1);
    EXPECT_FALSE(scroll.IsCapturing());
}

TEST_F(Scroll, EveryRowIsReachableByDragging)
{
    // Room 120 over a travel of 120 pixels: one row per pixel, odd rows included.
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,130"));
    ASSERT_EQ(scroll.GetKnobRect().Height(), 10);
    Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 75));
    for (int32_t row : {1, 3, 7, 119, 120})
    {
        Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 75 + row));
        EXPECT_EQ(Lower(), row);
    }
    Mouse(scroll, WM_LBUTTONUP, CPoint(115, 75));
}

TEST_F(Scroll, AKnobThatFillsTheControlNeverMoves)
{
    SetRanges(0, 127, 0, 127);
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 100));
    Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 150));
    UL::CWheelInfo wheel(WM_MOUSEWHEEL, -120, CPoint(115, 100), 0);
    EXPECT_TRUE(scroll.OnMouseWheel(wheel));
    EXPECT_EQ(Lower(), 0);
    EXPECT_EQ(Upper(), 127);
    Mouse(scroll, WM_LBUTTONUP, CPoint(115, 150));
    EXPECT_EQ(Operated(), 1);   // a finished gesture, moved or not
}

TEST_F(Scroll, PagingRepeatsTowardsThePointerAndStopsThere)
{
    CVirtualClock clock;
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    const GT::CTimerInfo tick;
    // The pointer at y 100 stands for row 26 (knob centred on it).
    EXPECT_TRUE(Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 100)));
    EXPECT_EQ(Lower(), 6);   // a page is the range's width minus 1
    EXPECT_EQ(Upper(), 13);
    for (int t = 0; t < 3; ++t)
    {
        clock.Advance(50);
        EXPECT_FALSE(scroll.OnTimer(tick));
    }
    EXPECT_EQ(Lower(), 6);
    std::vector<int32_t> lowers;
    for (int t = 0; t < 4; ++t)
    {
        clock.Advance(50);
        scroll.OnTimer(tick);
        lowers.push_back(Lower());
    }
    EXPECT_EQ(lowers, (std::vector<int32_t>{12, 18, 24, 26}));
    // The next page finds the knob at the pointer: paging stops and waits for the release.
    clock.Advance(50);
    scroll.OnTimer(tick);
    EXPECT_EQ(Lower(), 26);
    EXPECT_EQ(scroll.GetPageDirection(), 0);
    Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 180));
    clock.Advance(50);
    EXPECT_FALSE(scroll.OnTimer(tick));
    EXPECT_EQ(Lower(), 26);
    EXPECT_EQ(Operated(), 0);
    Mouse(scroll, WM_LBUTTONUP, CPoint(115, 180));
    EXPECT_EQ(Operated(), 1);
    EXPECT_EQ(Lower(), 26);
}

TEST_F(Scroll, MovingWhilePagingMovesWherePagingStops)
{
    CVirtualClock clock;
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 100));
    Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 85));   // row 10
    EXPECT_EQ(Lower(), 6);
    clock.Advance(200);
    scroll.OnTimer(GT::CTimerInfo());
    EXPECT_EQ(Lower(), 10);
    // Back behind the knob: paging stops where it is instead of turning round.
    Mouse(scroll, WM_MOUSEMOVE, CPoint(115, 72));
    clock.Advance(50);
    scroll.OnTimer(GT::CTimerInfo());
    EXPECT_EQ(Lower(), 10);
    EXPECT_EQ(scroll.GetPageDirection(), 0);
    Mouse(scroll, WM_LBUTTONUP, CPoint(115, 72));
}

TEST_F(Scroll, PagingBackwards)
{
    SetRanges(100, 107, 0, 127);
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    Mouse(scroll, WM_LBUTTONDOWN, CPoint(115, 72));
    EXPECT_EQ(Lower(), 94);
    EXPECT_EQ(scroll.GetPageDirection(), -1);
    Mouse(scroll, WM_LBUTTONUP, CPoint(115, 72));
}

TEST_F(Scroll, WheelScrollsByRows)
{
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127"));
    const struct
    {
        short delta;
        int32_t lower;
    } turns[] = {{-120, 1}, {-360, 4}, {120, 3}, {1200, 0}, {-120 * 200, 120}};
    for (const auto& turn : turns)
    {
        UL::CWheelInfo wheel(WM_MOUSEWHEEL, turn.delta, CPoint(115, 100), 0);
        EXPECT_TRUE(scroll.OnMouseWheel(wheel));
        EXPECT_EQ(Lower(), turn.lower) << turn.delta;
    }
    UL::CWheelInfo reserved(WM_MOUSEWHEEL, 120, CPoint(115, 100), 0);
    reserved.m_reserved = 1;
    EXPECT_TRUE(scroll.OnMouseWheel(reserved));
    EXPECT_EQ(Lower(), 120);
}

TEST_F(Scroll, BitmapKnobIsDrawnIntoTheKnob)
{
    CVeyScrollControl scroll;
    ASSERT_TRUE(BuildScroll(scroll, "10,127", "0", {{"bitmapRef", "s2"}}));
    CCanvas canvas(200, 220);
    scroll.Draw(canvas.info);
    EXPECT_EQ(canvas.dc.GetPixel(110, 70), StateColour(0));
    EXPECT_EQ(canvas.dc.GetPixel(119, 79), StateColour(0));
    EXPECT_EQ(canvas.dc.GetPixel(120, 79), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(110, 80), RGB(0, 0, 0));
}

TEST_F(Scroll, LoadAndCreateFailures)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes extra;
        const char* line;
    } cases[] = {
        {"direction", {{"direction", "up"}}, "Direction is invalid for scroll. : b : up\n"},
        {"direction range", {{"direction", "2"}}, "Direction must be 0 or 1 for scroll. : b : 2\n"},
        {"knob colour", {{"knobColor", "red"}}, "Knob color red is invalid for scroll. : b\n"},
        {"knob bitmap", {{"bitmapRef", "none"}}, "Knob bitmap none is invalid for scroll. : b\n"},
        {"a value reference of its own", {{"valueRef", "fm.pat.common.level"}}, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CVeyScrollControl scroll;
        CVeyElementDefinition::CAttributes all = TestAttributes({{"name", "b"}, {"size", "10,100"}});
        all.insert(all.end(), c.extra.begin(), c.extra.end());
        EXPECT_FALSE(scroll.LoadAttributes(all));
        EXPECT_EQ(trace.Text(), c.line);
    }
    // An omitted range reference names no value: creation fails.
    CVeyScrollControl scroll;
    auto attributes = TestAttributes({{"name", "b"}, {"currentRangeLowerValueRef", kLower}});
    ASSERT_TRUE(scroll.LoadAttributes(attributes));
    EXPECT_EQ(scroll.GetValueRefCount(), 5);
    CTraceCapture trace;
    EXPECT_FALSE(scroll.Create(&parent));
    EXPECT_NE(trace.Text().find("Unable to create scroll. : b\n"), std::string::npos);
}

TEST_F(Scroll, ScrollButtonStepsTheRangeAndEndsOperated)
{
    CVirtualClock clock;
    CVeyScrollButton button;
    CVeyElementDefinition::CAttributes attributes = RangeAttributes();
    attributes.insert(attributes.end(), {{"bitmapRef", "s2"}, {"deltaValue", "3"}});
    ASSERT_TRUE(Build(button, attributes));
    const CPoint inside(115, 75);
    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, inside));
    EXPECT_EQ(Lower(), 3);
    EXPECT_EQ(Upper(), 10);
    clock.Advance(200);
    EXPECT_TRUE(button.OnTimer(GT::CTimerInfo()));
    EXPECT_EQ(Lower(), 6);
    EXPECT_TRUE(Mouse(button, WM_LBUTTONUP, inside));
    EXPECT_EQ(Operated(), 1);

    // At the end of the scroll range nothing moves, but the release still counts.
    SetRanges(120, 127, 0, 127);
    Value("fm.pat.common.page")->SetNumber(0);
    const size_t commits = recorder.commits.size();
    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, inside));
    EXPECT_TRUE(Mouse(button, WM_LBUTTONUP, inside));
    EXPECT_EQ(Lower(), 120);
    EXPECT_EQ(Operated(), 1);
    EXPECT_EQ(recorder.commits.size(), commits + 1);

    CVeyScrollButton withValue;
    attributes.push_back({"valueRef", "fm.pat.common.level"});
    CTraceCapture trace;
    EXPECT_FALSE(Build(withValue, attributes));
    EXPECT_EQ(trace.Text(), "");
}
