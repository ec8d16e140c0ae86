#include "ControlResourceSupport.h"

#include "midi/framework/CVeyFunctorRegistry.h"
#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeyControlFactory.h"

#include <gtest/gtest.h>

namespace
{
// Registered once with the process-wide registry; each test resets it.
class CSpyFunctor : public IVeyFunctor
{
public:
    static CSpyFunctor& Get()
    {
        static CSpyFunctor spy;
        static const bool registered = CVeyFunctorRegistry::GetInstance().Register("testSpy", &spy);
        (void)registered;
        return spy;
    }
    void Run(std::string& result, const std::string& argument) override
    {
        arguments.push_back(argument);
        result = "1";
    }
    std::vector<std::string> arguments;
};

// The button's rectangle is (110, 70) - (130, 80) for every 20 x 10 bitmap of the fixture.
const CPoint kInside(115, 75);
const CPoint kOutside(150, 75);

struct Buttons : ControlFixture
{
    void SetUp() override
    {
        ControlFixture::SetUp();
        CSpyFunctor::Get().arguments.clear();
        Value("fm.pat.common.page")->SetNumber(0);
        Value("fm.pat.common.idx")->SetNumber(1);
    }
    void TearDown() override
    {
        CVeyFunctorRegistry::GetInstance().RunDueCalls();   // drops what a test left queued
        ControlFixture::TearDown();
    }
    static bool Mouse(CVeyControl& control, UINT message, CPoint point)
    {
        UL::CMouseInfo info(message, point, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
        return control.OnMouse(info);
    }
    static bool Click(CVeyControl& control, CPoint press, CPoint release)
    {
        const bool down = Mouse(control, WM_LBUTTONDOWN, press);
        if (release != press)
            Mouse(control, WM_MOUSEMOVE, release);
        const bool up = Mouse(control, WM_LBUTTONUP, release);
        return down && up;
    }
    static int32_t Page() { return Value("fm.pat.common.page")->GetNumber(); }
};

// A hover button whose cursor the test places (client coordinates of the test parent).
class CHoverButton : public CVeyUnlatchButton
{
public:
    CPoint cursor;

protected:
    CPoint GetCursorScreenPoint() const override
    {
        return CPoint(cursor.x + CTestParentView::kScreenOffset.x, cursor.y + CTestParentView::kScreenOffset.y);
    }
};
}

TEST_F(Buttons, TheFactoryMakesTheThreeTypes)
{
    for (const char* type : {"latchButton", "unlatchButton", "incrementButton"})
    {
        CVeyElementDefinition definition;
        definition.SetTypeName(type);
        auto control = CVeyControlFactory::GetInstance().CreateControl(definition);
        ASSERT_TRUE(control) << type;
        EXPECT_EQ(control->GetTypeName(), type);
    }
}

TEST_F(Buttons, BadAttributesFailTheLoadWithTheirLine)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* line;
    } cases[] = {
        {"unknown bitmap", {{"bitmapRef", "none"}}, "Unable to find bitmap for button. : b : none\n"},
        {"unknown writer", {{"bitmapRef", "s4"}, {"textWriterRef", "wx"}},
         "Unable to find text writer for button. : b : wx.\n"},
        {"flat label", {{"bitmapRef", "s4"}, {"flatLabel", "yes"}}, "Flat label is invalid for button. : b\n"},
        {"feedback", {{"bitmapRef", "s4"}, {"feedback", "hover"}}, "Feedback is invalid for button. : b\n"},
        {"no bitmap", {}, "There is no bitmap reference for button. : b\n"},
        {"condition", {{"bitmapRef", "s5"}, {"enableCondition", "fm.pat.none,1,=="}},
         "Unable to interpret enable condition for button. : b : fm.pat.none,1,==\n"},
        {"on value", {{"bitmapRef", "s4"}, {"onValue", "1,+"}},
         "Unable to interpret on value for latch button. : b : 1,+\n"},
        {"off value", {{"bitmapRef", "s4"}, {"offValue", "x.y"}},
         "Unable to interpret off value for latch button. : b : x.y\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CVeyLatchButton button;
        auto attributes = c.attributes;
        attributes.push_back({"valueRef", "fm.pat.common.page"});
        EXPECT_FALSE(Build(button, attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
    {
        CTraceCapture trace;
        CVeyLatchButton button;
        EXPECT_FALSE(Build(button, {{"bitmapRef", "s5"}, {"enableCondition", "fm.pat.common.idx,0,&gt;"}}));
        EXPECT_EQ(trace.Text(), "There is no value reference for latch button. : b\n");
    }
    {
        CTraceCapture trace;
        CVeyIncrementButton button;
        EXPECT_FALSE(Build(button, {{"bitmapRef", "s2"}, {"deltaValue", "two"}}));
        EXPECT_EQ(trace.Text(), "Increment button delta value is invalid. : b : two\n");
    }
}

TEST_F(Buttons, StateCountsRequiredByCreate)
{
    const struct
    {
        bool latch;
        const char* bitmap;
        const char* condition;   // null: none given
        const char* line;        // null: creates
    } cases[] = {
        {true, "s4", nullptr, nullptr},
        {true, "s4", "1", nullptr},
        {true, "s3", nullptr, "Latch button bitmap must have 4 states. : main.b\n"},
        {true, "s4", "fm.pat.common.idx,0,&gt;", "Latch button bitmap must have 5 states. : main.b\n"},
        {true, "s5", "fm.pat.common.idx,0,&gt;", nullptr},
        {false, "s2", nullptr, nullptr},
        {false, "s2", "fm.pat.common.idx", "Unlatch button bitmap must have 3 states. : main.b\n"},
        {false, "s3", "fm.pat.common.idx", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.latch ? "latch " : "unlatch ") + c.bitmap + " " + (c.condition ? c.condition : "-"));
        CTraceCapture trace;
        std::unique_ptr<CVeyButton> button;
        if (c.latch)
            button = std::make_unique<CVeyLatchButton>();
        else
            button = std::make_unique<CVeyUnlatchButton>();
        CVeyElementDefinition::CAttributes attributes = {{"bitmapRef", c.bitmap},
                                                         {"valueRef", "fm.pat.common.page"}};
        if (c.condition)
            attributes.push_back({"enableCondition", c.condition});
        EXPECT_EQ(Build(*button, attributes), c.line == nullptr);
        EXPECT_EQ(trace.Text(), c.line ? c.line : "");
        recorder.views.clear();
    }
}

TEST_F(Buttons, CreateTakesTheSizeOfOneStateAndSetRectKeepsIt)
{
    CVeyLatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s4"}, {"valueRef", "fm.pat.common.page"}}));
    EXPECT_EQ(button.GetRect(), CRect(110, 70, 130, 80));
    button.SetRect(CRect(5, 6, 500, 600));
    EXPECT_EQ(button.GetRect(), CRect(5, 6, 25, 16));
    EXPECT_EQ(button.GetBitmap()->GetRefCount(), 1);
}

TEST_F(Buttons, LatchRequiresANumberValue)
{
    CTraceCapture trace;
    CVeyLatchButton button;
    EXPECT_FALSE(Build(button, {{"bitmapRef", "s4"}, {"valueRef", "fm.pat.common.patchName"}}));
    EXPECT_EQ(trace.Text(), "Referred value type must be integer for latch button. : main.b\n");
}

TEST_F(Buttons, LatchTogglesOnAReleaseInside)
{
    CVeyLatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s4"}, {"valueRef", "fm.pat.common.page"}}));
    EXPECT_EQ(button.GetDisplayState(), 0);

    // Pressed: the look bit is on while the pointer stays inside, off outside.
    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_EQ(button.GetDisplayState(), 1);
    EXPECT_TRUE(button.IsCapturing());
    EXPECT_TRUE(button.HasFocus());
    EXPECT_TRUE(Mouse(button, WM_MOUSEMOVE, kOutside));
    EXPECT_EQ(button.GetDisplayState(), 0);
    EXPECT_TRUE(Mouse(button, WM_MOUSEMOVE, kInside));
    EXPECT_TRUE(Mouse(button, WM_LBUTTONUP, kInside));
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(button.GetDisplayState(), 2);
    EXPECT_FALSE(button.IsCapturing());
    EXPECT_FALSE(button.HasFocus());
    ASSERT_EQ(recorder.commits.size(), 1u);
    EXPECT_EQ(recorder.commits[0], std::vector<CVeyValue*>{Value("fm.pat.common.page")});
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());

    EXPECT_TRUE(Click(button, kInside, kInside));
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(button.GetDisplayState(), 0);

    // Released outside: nothing changes, nothing is sent.
    EXPECT_TRUE(Click(button, kInside, kOutside));
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(recorder.commits.size(), 2u);

    // A press outside is not the button's; nor is the up that follows.
    EXPECT_FALSE(Mouse(button, WM_LBUTTONDOWN, kOutside));
    EXPECT_FALSE(Mouse(button, WM_LBUTTONUP, kInside));
}

TEST_F(Buttons, LatchNumbers)
{
    const struct
    {
        const char* name;
        const char* on;
        const char* off;
        int32_t before;
        int32_t after;
    } cases[] = {
        {"off to on", "1", "0", 0, 1},
        {"on to off", "1", "0", 1, 0},
        {"neither goes to on", "1", "0", 3, 1},
        {"on value clipped to the maximum", "9", "0", 0, 3},
        {"off value clipped to the minimum", "2", "-5", 2, 0},
        {"expression over another value", "fm.pat.common.idx,1,+", "0", 0, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        recorder.views.clear();
        CVeyLatchButton button;
        ASSERT_TRUE(Build(button, {{"bitmapRef", "s4"},
                                   {"valueRef", "fm.pat.common.page"},
                                   {"onValue", c.on},
                                   {"offValue", c.off}}));
        Value("fm.pat.common.page")->SetNumber(c.before);
        Click(button, kInside, kInside);
        EXPECT_EQ(Page(), c.after);
        recorder.views.clear();
    }
}

TEST_F(Buttons, LatchWithAnOnValueThatCannotBeWorkedOutChangesNothing)
{
    CVeyLatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s4"},
                               {"valueRef", "fm.pat.common.page"},
                               {"onValue", "2,fm.pat.common.idx,/"}}));
    Value("fm.pat.common.idx")->SetNumber(0);   // division by zero from now on
    EXPECT_TRUE(Click(button, kInside, kInside));
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(recorder.commits.empty());
}

TEST_F(Buttons, EnableConditionDisablesAndFollowsItsValue)
{
    CVeyLatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s5"},
                               {"valueRef", "fm.pat.common.page"},
                               {"enableCondition", "fm.pat.common.idx,2,&lt;"}}));
    EXPECT_EQ(button.GetDisplayState(), 0);
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(Value("fm.pat.common.idx"), 5);
    manager.UpdateViews();
    manager.ClearChanges();
    EXPECT_EQ(button.GetDisplayState(), 4);
    EXPECT_FALSE(button.IsEnabled());
    EXPECT_FALSE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_FALSE(button.IsCapturing());

    // Drawn as state 4 with nothing added.
    CCanvas canvas(200, 100);
    button.Draw(canvas.info);
    EXPECT_EQ(canvas.dc.GetPixel(115, 75), StateColour(4));
}

TEST_F(Buttons, ButtonDisabledWhileHeldStillLetsGoOfTheMouse)
{
    for (bool latch : {true, false})
    {
        SCOPED_TRACE(latch ? "latch" : "unlatch");
        recorder.views.clear();
        Value("fm.pat.common.idx")->SetNumber(1);
        std::unique_ptr<CVeyButton> button;
        if (latch)
            button = std::make_unique<CVeyLatchButton>();
        else
            button = std::make_unique<CVeyUnlatchButton>();
        CVeyElementDefinition::CAttributes attributes = {{"bitmapRef", "s5"},
                                                         {"valueRef", "fm.pat.common.page"},
                                                         {"enableCondition", "fm.pat.common.idx"}};
        if (!latch)
            attributes.insert(attributes.end(), {{"function", "testSpy"}, {"action", "1"}});
        ASSERT_TRUE(Build(*button, attributes));
        ASSERT_TRUE(Mouse(*button, WM_LBUTTONDOWN, kInside));
        Value("fm.pat.common.idx")->SetNumber(0);
        button->UpdateFromValue();
        ASSERT_FALSE(button->IsEnabled());
        EXPECT_TRUE(Mouse(*button, WM_LBUTTONUP, kInside));
        EXPECT_FALSE(button->IsCapturing());
        EXPECT_FALSE(button->HasFocus());
        EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, nullptr);
        EXPECT_EQ(Page(), 0);
        EXPECT_EQ(CVeyFunctorRegistry::GetInstance().GetQueuedCount(), 0u);
        recorder.views.clear();
    }
}

TEST_F(Buttons, UnlatchOnPressRunsAtOnceAndSpringsBack)
{
    CVeyUnlatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"function", "testSpy"}, {"arguments", "a b"}}));
    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_EQ(CSpyFunctor::Get().arguments, std::vector<std::string>{"a b"});
    EXPECT_EQ(button.GetDisplayState(), 0);
    EXPECT_FALSE(button.IsCapturing());
    EXPECT_FALSE(button.HasFocus());
    EXPECT_FALSE(Mouse(button, WM_LBUTTONUP, kInside));
    EXPECT_EQ(CSpyFunctor::Get().arguments.size(), 1u);
}

TEST_F(Buttons, UnlatchOnReleaseQueuesTheCallForIdleTime)
{
    CVirtualClock clock;
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    CVeyUnlatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"function", "testSpy"}, {"arguments", "x"}, {"action", "1"}}));

    EXPECT_TRUE(Click(button, kInside, kOutside));
    EXPECT_EQ(registry.GetQueuedCount(), 0u);

    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_EQ(button.GetDisplayState(), 1);
    EXPECT_TRUE(CSpyFunctor::Get().arguments.empty());
    EXPECT_TRUE(Mouse(button, WM_LBUTTONUP, kInside));
    EXPECT_EQ(button.GetDisplayState(), 0);
    EXPECT_TRUE(CSpyFunctor::Get().arguments.empty());
    EXPECT_EQ(registry.GetQueuedCount(), 1u);
    clock.Advance(1);
    registry.RunDueCalls();
    EXPECT_EQ(CSpyFunctor::Get().arguments, std::vector<std::string>{"x"});
}

TEST_F(Buttons, UnlatchWithAnUnknownFunctorDoesNothing)
{
    CVeyUnlatchButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"function", "noSuchFunctor"}}));
    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_EQ(button.GetDisplayState(), 0);
    EXPECT_EQ(CVeyFunctorRegistry::GetInstance().GetQueuedCount(), 0u);
}

TEST_F(Buttons, IncrementRepeatsAfter200MsThenEveryTick)
{
    CVirtualClock clock;
    CVeyIncrementButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"valueRef", "fm.pat.common.idx"}, {"deltaValue", "2"}}));
    Value("fm.pat.common.idx")->SetNumber(0);
    const GT::CTimerInfo tick;
    auto idx = [] { return Value("fm.pat.common.idx")->GetNumber(); };

    EXPECT_TRUE(Mouse(button, WM_LBUTTONDOWN, kInside));
    EXPECT_EQ(idx(), 2);
    EXPECT_EQ(button.GetDisplayState(), 1);
    for (int t = 50; t < 200; t += 50)
    {
        clock.Advance(50);
        EXPECT_FALSE(button.OnTimer(tick)) << t;
    }
    EXPECT_EQ(idx(), 2);
    clock.Advance(50);   // 200 ms
    EXPECT_TRUE(button.OnTimer(tick));
    EXPECT_EQ(idx(), 4);
    clock.Advance(50);
    EXPECT_TRUE(button.OnTimer(tick));
    EXPECT_EQ(idx(), 6);

    // Dragged out, the repeat pauses; back inside, it resumes at the next tick.
    EXPECT_TRUE(Mouse(button, WM_MOUSEMOVE, kOutside));
    clock.Advance(50);
    EXPECT_FALSE(button.OnTimer(tick));
    EXPECT_EQ(idx(), 6);
    EXPECT_TRUE(Mouse(button, WM_MOUSEMOVE, kInside));
    clock.Advance(50);
    EXPECT_TRUE(button.OnTimer(tick));
    EXPECT_EQ(idx(), 7);   // clipped to the last index

    // At the end nothing more is committed.
    const size_t commits = recorder.commits.size();
    clock.Advance(50);
    button.OnTimer(tick);
    EXPECT_EQ(idx(), 7);
    EXPECT_EQ(recorder.commits.size(), commits);
    EXPECT_EQ(commits, 4u);

    EXPECT_TRUE(Mouse(button, WM_LBUTTONUP, kInside));
    EXPECT_EQ(button.GetDisplayState(), 0);
    clock.Advance(500);
    EXPECT_FALSE(button.OnTimer(tick));
}

TEST_F(Buttons, IncrementStopsAtTheFirstIndex)
{
    CVeyIncrementButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"valueRef", "fm.pat.common.idx"}, {"deltaValue", "-5"}}));
    Value("fm.pat.common.idx")->SetNumber(3);
    Click(button, kInside, kInside);
    EXPECT_EQ(Value("fm.pat.common.idx")->GetNumber(), 0);
    Click(button, kInside, kInside);
    EXPECT_EQ(recorder.commits.size(), 1u);
}

TEST_F(Buttons, IncrementNeedsANumberValue)
{
    const struct
    {
        const char* valueRef;
        const char* line;
    } cases[] = {
        {nullptr, "There is no value reference. : incrementButton : main.b\n"},
        {"fm.pat.common.patchName", "Referred value type must be integer for increment button. : main.b\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.valueRef ? c.valueRef : "none");
        CTraceCapture trace;
        CVeyIncrementButton button;
        CVeyElementDefinition::CAttributes attributes = {{"bitmapRef", "s2"}};
        if (c.valueRef)
            attributes.push_back({"valueRef", c.valueRef});
        EXPECT_FALSE(Build(button, attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST_F(Buttons, LabelWriterFollowsTheDisplayState)
{
    // (writers, states) -> writer used in each display state 0 .. states - 1.
    const struct
    {
        int writers;
        int states;
        std::vector<int> expected;
    } cases[] = {
        {1, 4, {0, 0, 0, 0}},
        {2, 4, {0, 0, 1, 1}},
        {3, 4, {0, 0, 1, 1}},
        {4, 4, {0, 1, 2, 3}},
        {5, 5, {0, 1, 2, 3, 4}},
        {2, 5, {0, 0, 1, 1, 1}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.writers) + " writers, " + std::to_string(c.states) + " states");
        recorder.views.clear();
        CVeyLatchButton button;
        CVeyElementDefinition::CAttributes attributes = {{"bitmapRef", "s" + std::to_string(c.states)},
                                                         {"valueRef", "fm.pat.common.page"}};
        if (c.states == 5)
            attributes.push_back({"enableCondition", "fm.pat.common.idx"});
        for (int w = 0; w < c.writers; ++w)
            attributes.push_back({"textWriterRef", "w" + std::to_string(w)});
        ASSERT_TRUE(Build(button, attributes));
        // The states through the value, the press and the condition.
        const struct
        {
            int32_t page;
            bool pressed;
            int32_t idx;
        } setups[] = {{0, false, 1}, {0, true, 1}, {1, false, 1}, {1, true, 1}, {0, false, 0}};
        for (int s = 0; s < c.states; ++s)
        {
            Value("fm.pat.common.page")->SetNumber(setups[s].page);
            Value("fm.pat.common.idx")->SetNumber(setups[s].idx);
            button.UpdateFromValue();
            if (setups[s].pressed)
                Mouse(button, WM_LBUTTONDOWN, kInside);
            ASSERT_EQ(button.GetDisplayState(), s);
            EXPECT_EQ(button.GetLabelWriter(), writers[size_t(c.expected[size_t(s)])]) << "state " << s;
            if (setups[s].pressed)
                Mouse(button, WM_LBUTTONUP, kOutside);
        }
        recorder.views.clear();
    }
}

TEST_F(Buttons, DrawsTheFaceAndTheLabelWhichMovesWhenPressedUnlessFlat)
{
    for (bool flat : {false, true})
    {
        SCOPED_TRACE(flat ? "flat" : "ordinary");
        recorder.views.clear();
        writers[0]->drawn.clear();
        CVeyLatchButton button;
        ASSERT_TRUE(Build(button, {{"bitmapRef", "s4"},
                                   {"valueRef", "fm.pat.common.page"},
                                   {"textWriterRef", "w0"},
                                   {"label", "A &amp; B"},
                                   {"flatLabel", flat ? "1" : "0"}}));
        CCanvas canvas(200, 100);
        button.Draw(canvas.info);
        EXPECT_EQ(canvas.dc.GetPixel(110, 70), StateColour(0));
        EXPECT_EQ(canvas.dc.GetPixel(129, 79), StateColour(0));
        EXPECT_EQ(canvas.dc.GetPixel(130, 80), RGB(0, 0, 0));
        Mouse(button, WM_LBUTTONDOWN, kInside);
        button.Draw(canvas.info);
        EXPECT_EQ(canvas.dc.GetPixel(115, 75), StateColour(1));
        const CRect pressed = flat ? CRect(110, 70, 130, 80) : CRect(111, 71, 131, 81);
        ASSERT_EQ(writers[0]->drawn.size(), 2u);
        EXPECT_EQ(writers[0]->drawn[0], std::make_pair(CRect(110, 70, 130, 80), std::string("A & B")));
        EXPECT_EQ(writers[0]->drawn[1], std::make_pair(pressed, std::string("A & B")));
        Mouse(button, WM_LBUTTONUP, kOutside);
        recorder.views.clear();
    }
}

TEST_F(Buttons, KeysDoNothing)
{
    CVeyIncrementButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"valueRef", "fm.pat.common.idx"}}));
    Mouse(button, WM_LBUTTONDOWN, kInside);
    ASSERT_TRUE(button.HasFocus());
    for (uint32_t key : {uint32_t(UL::KEY_UP), uint32_t(UL::KEY_DOWN), uint32_t(' ')})
    {
        const UL::KeyInfo info{UL::KEYKIND_DOWN, key, 0};
        EXPECT_FALSE(button.OnKey(info));
    }
    EXPECT_EQ(Value("fm.pat.common.idx")->GetNumber(), 2);
    Mouse(button, WM_LBUTTONUP, kInside);
}

TEST_F(Buttons, HoverLookFollowsTheCursorAtEachTick)
{
    CHoverButton button;
    ASSERT_TRUE(Build(button, {{"bitmapRef", "s2"}, {"feedback", "1"}, {"function", "noSuchFunctor"}}));
    const GT::CTimerInfo tick;
    button.cursor = kInside;
    EXPECT_FALSE(button.OnTimer(tick));
    EXPECT_EQ(button.GetDisplayState(), 1);
    // Another view holding the capture takes the hover away.
    CTestControl other;
    other.SetCapture(true);
    button.OnTimer(tick);
    EXPECT_EQ(button.GetDisplayState(), 0);
    other.SetCapture(false);
    button.OnTimer(tick);
    EXPECT_EQ(button.GetDisplayState(), 1);
    // Closed root panel: no hover.
    parent.SetOpenFlag(false);
    button.OnTimer(tick);
    EXPECT_EQ(button.GetDisplayState(), 0);
    parent.SetOpenFlag(true);
    button.cursor = kOutside;
    button.OnTimer(tick);
    EXPECT_EQ(button.GetDisplayState(), 0);
}
