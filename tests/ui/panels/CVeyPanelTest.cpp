#include "PanelTestSupport.h"

#include "model/CVeyErrorOut.h"
#include "model/CVeyResourceManager.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "tests/support/SaveFault.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "tests/ui/controls/ViewTestSupport.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/controls/VeyTipBar.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CPanelWindowGroup.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace
{
// main: two pages (node panels "common" and "tones" at the same place, opened by fm.pat.common.page)
// with a stepping control each, and two overlapping controls on level and idx. sub: a window of its
// own at 300,200 while fm.pat.common.idx is non-zero. dialog: a modal window while page is 3.
const char* const kPanels = R"(<script>
<panelType><type>pageT</type><name>$name</name><position>$position</position><size>100,50</size>
  <openCondition>fm.pat.common.page,$page,==</openCondition>
  <control><type>steppingControl</type><name>cutoff</name><position>5,5</position><size>20,20</size>
    <valueRef>fm.pat.tone[$page].cutoff</valueRef></control>
</panelType>
<panelType><type>mainT</type><name>main</name><position>0,0</position><size>200,100</size>
  <panel><type>pageT</type><name>common</name><position>10,10</position><page>0</page></panel>
  <panel><type>pageT</type><name>tones</name><position>10,10</position><page>1</page></panel>
  <control><type>steppingControl</type><name>level</name><position>150,10</position><size>20,20</size>
    <valueRef>fm.pat.common.level</valueRef><useTipBar>1</useTipBar></control>
  <control><type>steppingControl</type><name>over</name><position>150,40</position><size>20,20</size>
    <valueRef>fm.pat.common.level</valueRef><useTipBar>0</useTipBar></control>
  <control><type>steppingControl</type><name>top</name><position>150,40</position><size>20,20</size>
    <valueRef>fm.pat.common.idx</valueRef><useTipBar>0</useTipBar></control>
</panelType>
<panelType><type>subT</type><name>sub</name><size>60,40</size><windowPosition>300,200</windowPosition>
  <openCondition>fm.pat.common.idx</openCondition>
  <control><type>steppingControl</type><name>name</name><position>0,0</position><size>10,10</size>
    <valueRef>fm.pat.common.page</valueRef></control>
</panelType>
<panelType><type>dialogT</type><name>dialog</name><size>40,40</size><modal>1</modal>
  <openCondition>fm.pat.common.page,3,==</openCondition><closeValueRef>fm.pat.common.page</closeValueRef>
  <closeValue>2</closeValue>
</panelType>
<panel><type>mainT</type></panel>
<panel><type>subT</type></panel>
<panel><type>dialogT</type></panel>
</script>)";

class CRecordingProgress : public IVeyUpdateProgress
{
public:
    void SetRange(int32_t range) override { this->range = range; }
    void SetMessage(const std::string& text) override { message = text; }
    void Begin() override { ++begun; }
    void End() override { ++ended; }
    int32_t range = 0;
    std::string message;
    int begun = 0;
    int ended = 0;
};

LPARAM PointParam(int x, int y)
{
    return static_cast<LPARAM>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

struct Panels : ::testing::Test
{
    void SetUp() override
    {
        CVeyControlFactory::SetFrameworkType(CSteppingControl::TypeName(), &CVeyControlFactory::Make<CSteppingControl>);
        ASSERT_TRUE(BuildViewTestModel());
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(kPanels));
        manager.SetProgressSource(nullptr);
    }
    void TearDown() override
    {
        manager.Clear();
        while (PumpAllMessages())
        {
        }
        ClearViewTestModel();
        CVeyControlFactory::SetFrameworkType(CSteppingControl::TypeName(), nullptr);
    }

    bool Build()
    {
        CVeyBufferManager::GetInstance().SetViewUpdater(&manager);
        return manager.CreateRootPanels();
    }
    CSteppingControl* Control(const std::string& path)
    {
        for (const auto& root : manager.GetRootPanels())
        {
            CVeyControl* control = nullptr;
            if (root->FindControl(path, control))
                return dynamic_cast<CSteppingControl*>(control);
        }
        return nullptr;
    }
    CPanelWindow* Window(const std::string& name)
    {
        auto* panel = dynamic_cast<CWindowRootPanel*>(manager.FindRootPanel(name));
        return panel ? panel->GetWindow() : nullptr;
    }
    // Commits a number as a control would.
    void Commit(const std::string& path, int32_t number)
    {
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        buffers.SetValue(FindTestValue(path), number);
        buffers.Flush();
        buffers.UpdateViews();
        buffers.ClearChanges();
    }
    // The pixel the window shows at a client point after painting what is invalid.
    COLORREF Pixel(CWnd* window, int x, int y)
    {
        // A new window is painted once the platform has shown it.
        while (PumpAllMessages())
        {
        }
        window->UpdateWindow();
        CClientDC dc(window);
        return dc.GetPixel(x, y) & 0xFFFFFF;
    }

    CVeyViewManager& manager = CVeyViewManager::GetInstance();
};
}

TEST_F(Panels, TheScriptBecomesATreeOfPanelsAndControls)
{
    CTraceCapture trace;
    ASSERT_TRUE(Build());
    EXPECT_EQ(trace.Text(), "");
    ASSERT_EQ(manager.GetRootPanels().size(), 3u);

    CSteppingControl* cutoff = Control("main.common.cutoff");
    ASSERT_NE(cutoff, nullptr);
    EXPECT_EQ(cutoff->GetRect(), CRect(15, 15, 35, 35)) << "script positions add up through the parents";
    EXPECT_EQ(cutoff->GetFullName(), "main.common.cutoff");
    EXPECT_EQ(cutoff->GetValue(0), FindTestValue("fm.pat.tone[0].cutoff")) << "macros reach the controls";
    EXPECT_EQ(Control("main.tones.cutoff")->GetValue(0), FindTestValue("fm.pat.tone[1].cutoff"));
    EXPECT_EQ(Control("main.commonX.cutoff"), nullptr);
    CVeyControl* found = nullptr;
    EXPECT_FALSE(manager.FindRootPanel("main")->FindControl("main.commonX", found));

    CVeyPanel* panel = nullptr;
    ASSERT_TRUE(manager.FindRootPanel("main")->FindPanel("main.tones", panel));
    EXPECT_EQ(panel->GetName(), "tones");
    EXPECT_TRUE(panel->IsNodePanel());
    EXPECT_EQ(manager.FindRootPanel("sub")->GetWindowPosition(), CPoint(300, 200));
    EXPECT_EQ(manager.FindRootPanel("dialog")->GetCloseValueIndex(), 1);
    EXPECT_EQ(manager.FindRootPanel("sub")->GetCloseValueIndex(), 0) << "the condition's first value";
    EXPECT_FALSE(Control("main.over")->HasTipBar());
}

TEST_F(Panels, BadDefinitionsStopTheBuildWithTheirLines)
{
    const struct
    {
        const char* name;
        const char* script;
        const char* trace;
    } cases[] = {
        {"unknown panel type", "<panel><type>noSuchT</type></panel>",
         "Unable to find panel definition noSuchT.\n"
         "Unable to convert root panel definition noSuchT to root panel.\n"},
        {"unknown panel tag", "<panelType><type>xT</type><name>x</name><colour>1</colour></panelType><panel><type>xT</type></panel>",
         "Panel x unknown tags. : colour, \n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"unknown control type",
         "<panelType><type>xT</type><name>x</name><control><type>dial</type><name>d</name></control></panelType>"
         "<panel><type>xT</type></panel>",
         "Unable to create child control dial.\n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"unknown control tag",
         "<panelType><type>xT</type><name>x</name><control><type>steppingControl</type><name>d</name>"
         "<valueRef>fm.pat.common.level</valueRef><knobColour>1</knobColour></control></panelType>"
         "<panel><type>xT</type></panel>",
         "Control d unknown tags. : knobColour, \n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"unresolved macro", "<panelType><type>xT</type><name>$nothing</name></panelType><panel><type>xT</type></panel>",
         "Unable to resolve macros xT.\n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"missing child panel type",
         "<panelType><type>xT</type><name>x</name><panel><type>yT</type></panel></panelType><panel><type>xT</type></panel>",
         "Unable to find child panel type definition yT.\n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"panel types containing each other",
         "<panelType><type>xT</type><name>x</name><panel><type>yT</type></panel></panelType>"
         "<panelType><type>yT</type><name>y</name><panel><type>xT</type></panel></panelType>"
         "<panel><type>xT</type></panel>",
         "Panel type contains itself. : xT\n"
         "Unable to convert child panel definition xT to child panel.\n"
         "Unable to convert child panel definition yT to child panel.\n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"bad condition", "<panelType><type>xT</type><name>x</name><openCondition>fm.nothing</openCondition></panelType>"
                          "<panel><type>xT</type></panel>",
         "Unable to interpret open condition for panel. : x : fm.nothing\n"
         "Unable to convert panel from element definitions xT.\n"
         "Unable to convert root panel definition xT to root panel.\n"},
        {"control without its value",
         "<panelType><type>xT</type><name>x</name><control><type>steppingControl</type><name>d</name></control>"
         "</panelType><panel><type>xT</type></panel>",
         "There is no value reference. : steppingControl : x.d\n"
         "Unable to create child control d.\n"
         "Unable to create root panel x.\n"
         "Unable to create root panel x.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        manager.Clear();
        CVeyScriptDefinitions::GetInstance().GetViewGroup().Clear();
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(c.script));
        CTraceCapture trace;
        EXPECT_FALSE(manager.CreateRootPanels());
        EXPECT_EQ(trace.Text(), c.trace);
        EXPECT_EQ(manager.GetRootPanels().size(), 1u) << "the failed panel stays owned";
    }
}

TEST_F(Panels, AScriptOfTooManyPanelsIsRefusedBeforeAnyIsMade)
{
    // Every level holds two panels of the level below: 2^19 panels from a script of a few lines.
    const auto script = [](int levels) {
        std::string text = "<panelType><type>p0</type><name>$name</name></panelType>";
        for (int level = 1; level <= levels; ++level)
        {
            const std::string below = "p" + std::to_string(level - 1);
            text += "<panelType><type>p" + std::to_string(level) + "</type><name>$name</name>" + "<panel><type>" +
                    below + "</type><name>a</name></panel><panel><type>" + below + "</type><name>b</name></panel>" +
                    "</panelType>";
        }
        return text + "<panel><type>p" + std::to_string(levels) + "</type><name>top</name></panel>";
    };
    manager.Clear();
    CVeyScriptDefinitions::GetInstance().GetViewGroup().Clear();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(script(18)));
    CTraceCapture trace;
    EXPECT_FALSE(manager.CreateRootPanels());
    EXPECT_EQ(trace.Text(), "Root panels are too large: more than 262144 panels and controls.\n");
    EXPECT_TRUE(manager.GetRootPanels().empty());

    // A thousand panels of shared types are made as before.
    manager.Clear();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(script(9)));
    ASSERT_TRUE(manager.CreateRootPanels());
    CVeyPanel* panel = nullptr;
    EXPECT_TRUE(manager.FindRootPanel("top")->FindPanel("top.a.b.a.b.a.b.a.b.a", panel));
}

TEST_F(Panels, PagesOpenByTheirConditionAndEveryChangeRedraws)
{
    ASSERT_TRUE(Build());
    EXPECT_FALSE(manager.OpenRootPanel("nothing"));
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    CPanelWindow* window = Window("main");
    ASSERT_NE(window, nullptr);
    CSteppingControl* common = Control("main.common.cutoff");
    CSteppingControl* tones = Control("main.tones.cutoff");
    EXPECT_TRUE(common->IsOpen());
    EXPECT_FALSE(tones->IsOpen());
    EXPECT_EQ(Pixel(window, 20, 20), CSteppingControl::ColourOf(64));

    Commit("fm.pat.tone[1].cutoff", 9);
    Commit("fm.pat.common.page", 1);
    EXPECT_FALSE(common->IsOpen());
    EXPECT_TRUE(tones->IsOpen());
    EXPECT_EQ(Pixel(window, 20, 20), CSteppingControl::ColourOf(9));

    Commit("fm.pat.tone[1].cutoff", 10);
    EXPECT_EQ(Pixel(window, 20, 20), CSteppingControl::ColourOf(10));
    const int drawsBefore = common->draws;
    Commit("fm.pat.tone[0].cutoff", 11);
    EXPECT_EQ(Pixel(window, 20, 20), CSteppingControl::ColourOf(10));
    EXPECT_EQ(common->draws, drawsBefore) << "a closed page is not drawn";
}

TEST_F(Panels, ClicksGoToTheLastControlUnderThePoint)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    CPanelWindow* window = Window("main");
    CVeyValue* level = FindTestValue("fm.pat.common.level");
    CVeyValue* idx = FindTestValue("fm.pat.common.idx");

    window->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(155, 45));
    window->SendMessage(WM_LBUTTONUP, 0, PointParam(155, 45));
    EXPECT_EQ(idx->GetNumber(), 1) << "top lies over over";
    EXPECT_EQ(level->GetNumber(), 100);
    EXPECT_EQ(Control("main.over")->clicks, 0);

    // A capturing control gets the release wherever it happens.
    window->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(155, 15));
    EXPECT_EQ(level->GetNumber(), 101);
    EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, Control("main.level"));
    window->SendMessage(WM_LBUTTONUP, 0, PointParam(-50, 300));
    EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, nullptr);
    EXPECT_EQ(Pixel(window, 155, 15), CSteppingControl::ColourOf(101));
}

TEST_F(Panels, WheelKeysAndTimerStepTheFocusedControlInVirtualTime)
{
    CVirtualClock clock;
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    CPanelWindow* window = Window("main");
    CVeyValue* level = FindTestValue("fm.pat.common.level");
    CSteppingControl* control = Control("main.level");

    POINT screen{155, 15};
    window->ClientToScreen(&screen);
    window->SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(2 * 120)) << 16,
                        PointParam(screen.x, screen.y));
    EXPECT_EQ(level->GetNumber(), 102);
    EXPECT_TRUE(control->HasFocus()) << "the wheel gives the focus";
    EXPECT_TRUE(VeyGetRecordingTipBar().IsShown());
    EXPECT_EQ(VeyGetRecordingTipBar().GetText(), "102");

    // A held arrow: one step at once, the next after 200 ms, then one every 50 ms.
    window->SendMessage(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(level->GetNumber(), 103);
    const int expected[] = {103, 103, 103, 104, 105, 106};
    for (int i = 0; i < 6; ++i)
    {
        clock.Advance(50);
        FireDueTimers();
        EXPECT_EQ(level->GetNumber(), expected[i]) << "after " << (i + 1) * 50 << " ms";
    }
    // The keyboard's own repeats are not passed on: the operator repeats by itself.
    window->SendMessage(WM_KEYDOWN, VK_UP, static_cast<LPARAM>(KF_REPEAT) << 16);
    EXPECT_EQ(level->GetNumber(), 106);
    window->SendMessage(WM_KEYUP, VK_UP, 0);
    clock.Advance(1000);
    FireDueTimers();
    EXPECT_EQ(level->GetNumber(), 106);
    EXPECT_EQ(VeyGetRecordingTipBar().GetText(), "106");

    // Four seconds after the last key the control lets the focus go, and its tip bar with it.
    clock.Advance(2950);
    FireDueTimers();
    EXPECT_TRUE(control->HasFocus());
    clock.Advance(100);
    FireDueTimers();
    EXPECT_FALSE(control->HasFocus());
    EXPECT_FALSE(VeyGetRecordingTipBar().IsShown());

    // Without a focused view keys go nowhere.
    window->SendMessage(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(level->GetNumber(), 106);
}

TEST_F(Panels, DeactivationTakesTheFocus)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    Control("main.level")->SetFocus(true);
    Window("main")->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(manager.GetFocusedView(), nullptr);
    EXPECT_EQ(manager.GetTipBarView(), nullptr);
}

TEST_F(Panels, DeactivationTellsTheViewHoldingTheMouseThatItIsGone)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    Commit("fm.pat.common.idx", 2);
    ASSERT_TRUE(manager.OpenRootPanel("sub"));
    CSteppingControl* level = Control("main.level");
    const auto pump = [] {
        while (PumpAllMessages())
        {
        }
    };
    pump();   // the activation changes of the windows just shown
    Window("main")->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(155, 15));
    ASSERT_TRUE(level->IsCapturing());
    Window("sub")->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    pump();
    EXPECT_EQ(level->capturesLost, 0) << "another window's deactivation";
    Window("main")->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(level->capturesLost, 0) << "told from the message loop, not inside the activation";
    pump();
    EXPECT_EQ(level->capturesLost, 1);
    EXPECT_FALSE(level->IsCapturing());
    EXPECT_EQ(manager.GetCapturingView(), nullptr);
    Window("main")->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    pump();
    EXPECT_EQ(level->capturesLost, 1) << "nothing holds the mouse now";
}

TEST_F(Panels, ClosingASubWindowWritesItsCloseValue)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    ASSERT_TRUE(manager.OpenRootPanel("sub"));
    EXPECT_EQ(Window("sub"), nullptr) << "idx is 0: the condition keeps it closed";

    Commit("fm.pat.common.idx", 2);
    CPanelWindow* window = Window("sub");
    ASSERT_NE(window, nullptr) << "opened by its condition";
    CRect frame;
    window->GetWindowRect(&frame);
    EXPECT_EQ(frame.TopLeft(), CPoint(300, 200));
    EXPECT_EQ(Pixel(window, 5, 5), CSteppingControl::ColourOf(0));

    // The user's close writes 0 into idx, the condition's first value, which closes the panel.
    window->SendMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(FindTestValue("fm.pat.common.idx")->GetNumber(), 0);
    EXPECT_FALSE(manager.FindRootPanel("sub")->IsOpen());
    EXPECT_EQ(Window("sub"), nullptr);
    while (PumpAllMessages())
    {
    }
    EXPECT_TRUE(manager.FindRootPanel("main")->IsOpen());
}

TEST_F(Panels, AClickThatClosesItsOwnWindowIsSafe)
{
    ASSERT_TRUE(Build());
    Commit("fm.pat.common.idx", 2);
    ASSERT_TRUE(manager.OpenRootPanel("sub"));
    CPanelWindow* window = Window("sub");
    ASSERT_NE(window, nullptr);
    // The control's own commit (page 0 -> 1) keeps the window; then idx goes to 0 from inside a
    // click handler of the window that is closing.
    window->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
    Commit("fm.pat.common.idx", 0);
    window->SendMessage(WM_LBUTTONUP, 0, PointParam(5, 5));
    EXPECT_EQ(Window("sub"), nullptr);
    while (PumpAllMessages())
    {
    }
}

TEST_F(Panels, AModalPanelDisablesTheOtherWindowsWhileOpen)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    ASSERT_TRUE(manager.OpenRootPanel("dialog"));
    CPanelWindow* main = Window("main");
    Commit("fm.pat.common.page", 3);
    CPanelWindow* dialog = Window("dialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(main->IsWindowEnabled());
    EXPECT_TRUE(dialog->IsWindowEnabled());
    EXPECT_EQ(CPanelWindowGroup::GetInstance().GetDepth(), 1u);
    // Clicking the disabled main window brings the dialog back above it; nothing else changes.
    main->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(main->IsWindowEnabled());
    EXPECT_TRUE(dialog->IsWindowEnabled());
    EXPECT_EQ(CPanelWindowGroup::GetInstance().GetDepth(), 1u);

    dialog->SendMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(FindTestValue("fm.pat.common.page")->GetNumber(), 2) << "its close value";
    EXPECT_EQ(Window("dialog"), nullptr);
    EXPECT_TRUE(main->IsWindowEnabled());
    EXPECT_EQ(CPanelWindowGroup::GetInstance().GetDepth(), 0u);
}

TEST_F(Panels, NestedModalOpeningsRestoreInReverseOrder)
{
    CWnd first;
    CWnd second;
    ASSERT_TRUE(first.CreateEx(0, "first", WS_CAPTION, CRect(0, 0, 20, 20), nullptr));
    CPanelWindowGroup& group = CPanelWindowGroup::GetInstance();
    group.DisableOthers();
    ASSERT_TRUE(second.CreateEx(0, "second", WS_CAPTION, CRect(0, 0, 20, 20), nullptr));
    group.DisableOthers();
    EXPECT_FALSE(first.IsWindowEnabled());
    EXPECT_FALSE(second.IsWindowEnabled());
    group.Restore();
    EXPECT_TRUE(second.IsWindowEnabled());
    EXPECT_FALSE(first.IsWindowEnabled());
    group.Restore();
    EXPECT_TRUE(first.IsWindowEnabled());
    group.Restore();   // nothing left
    EXPECT_EQ(group.GetDepth(), 0u);
    first.DestroyWindow();
    second.DestroyWindow();
    while (PumpAllMessages())
    {
    }
}

TEST_F(Panels, LongChangeListsGoInChunksWithProgress)
{
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    GetMessageTable().Set(0, CVeyViewManager::kUpdatingMessageId, "Updating.");
    CRecordingProgress progress;
    manager.SetProgressSource([&] { return &progress; });
    CVeyValue* level = FindTestValue("fm.pat.common.level");

    EXPECT_TRUE(manager.UpdateViews(std::vector<CVeyValue*>(8192, level)));
    EXPECT_EQ(progress.begun, 0) << "one chunk shows no progress";

    EXPECT_TRUE(manager.UpdateViews(std::vector<CVeyValue*>(8193, level)));
    EXPECT_EQ(progress.begun, 1);
    EXPECT_EQ(progress.ended, 1);
    EXPECT_EQ(progress.range, 2);
    EXPECT_EQ(progress.GetPos(), 2);
    EXPECT_EQ(progress.message, "Updating.");
    EXPECT_FALSE(manager.UpdateViews({FindTestValue("fm.pat.tone[3].cutoff")}));
}

TEST_F(Panels, WindowPositionsSurviveARunAndBadLinesAreSkipped)
{
    CTempDir folder;
    CVeyFolders::GetInstance().userDataFolder = folder.Path();
    ASSERT_TRUE(Build());
    Commit("fm.pat.common.idx", 1);
    ASSERT_TRUE(manager.OpenRootPanel("sub"));
    ASSERT_TRUE(manager.OpenRootPanel("main"));
    Window("sub")->SetWindowPos(nullptr, 320, 210, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(manager.SaveWindowPositions());
    EXPECT_FALSE(manager.FindRootPanel("sub")->IsOpen()) << "saving closes the panels";
    EXPECT_EQ(ReadFileBytes(folder.File("WindowPosition.txt")), "main\n0,0\nsub\n320,210\ndialog\n0,0\n");

    const struct
    {
        const char* name;
        const char* file;
        CPoint sub;
        CPoint dialog;
    } cases[] = {
        {"round trip", "main\n0,0\nsub\n320,210\ndialog\n0,0\n", CPoint(320, 210), CPoint(0, 0)},
        {"not a point", "sub\nabc\ndialog\n5,6\n", CPoint(300, 200), CPoint(5, 6)},
        {"unknown panel", "nobody\n1,2\ndialog\n7,8\n", CPoint(300, 200), CPoint(7, 8)},
        {"CR LF lines", "sub\r\n11,12\r\n", CPoint(11, 12), CPoint(0, 0)},
        {"name without position", "sub\n", CPoint(300, 200), CPoint(0, 0)},
        {"huge number", "sub\n99999999999999999999,1\n", CPoint(300, 200), CPoint(0, 0)},
        {"lowest 32-bit coordinate", "sub\n-2147483648,5\ndialog\n5,-2147483648\n", CPoint(300, 200), CPoint(0, 0)},
        {"far off the desktop but in range", "sub\n-1000000,1000000\n", CPoint(-1000000, 1000000), CPoint(0, 0)},
        {"empty", "", CPoint(300, 200), CPoint(0, 0)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        manager.FindRootPanel("sub")->SetWindowPosition(CPoint(300, 200));
        manager.FindRootPanel("dialog")->SetWindowPosition(CPoint(0, 0));
        ASSERT_TRUE(WriteFileBytes(folder.File("WindowPosition.txt"), c.file));
        EXPECT_TRUE(manager.LoadWindowPositions());
        EXPECT_EQ(manager.FindRootPanel("sub")->GetWindowPosition(), c.sub);
        EXPECT_EQ(manager.FindRootPanel("dialog")->GetWindowPosition(), c.dialog);
    }

    // A folder that cannot take the file leaves the old one as it was.
    CVeyFolders::GetInstance().userDataFolder = folder.File("missing");
    EXPECT_FALSE(manager.SaveWindowPositions());
    EXPECT_FALSE(manager.LoadWindowPositions());
    CVeyFolders::GetInstance().userDataFolder.clear();
}

TEST_F(Panels, EveryFailedSaveOfWindowPositionsKeepsTheOldFile)
{
    ASSERT_TRUE(Build());
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        CVeyFolders::GetInstance().userDataFolder = folder.Path();
        CSaveFault fault(kind, folder.File("WindowPosition.txt"), "main\n1,2\n");
        if (!fault.IsPossible())
            continue;
        EXPECT_FALSE(manager.SaveWindowPositions());
        EXPECT_TRUE(fault.IsUntouched());
    }
    CVeyFolders::GetInstance().userDataFolder.clear();
}

TEST_F(Panels, TheBackgroundIsDrawnUnderTheControlsWhileThePanelIsOpen)
{
    CTempDir folder;
    CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
    CBitmap image;
    image.CreateBitmap(40, 30);
    CDC dc;
    dc.SelectObject(&image);
    dc.FillSolidRect(RECT{0, 0, 40, 30}, RGB(10, 20, 30));
    ASSERT_TRUE(image.SaveFile(folder.File("bg.bmp").c_str(), "BMP"));
    auto bitmap = std::make_unique<CVeyStateBitmap>();
    auto attributes = TestAttributes({{"name", "bg"}});
    ASSERT_TRUE(bitmap->Load(attributes));
    CVeyStateBitmap* background = bitmap.get();
    CVeyResourceManager::GetInstance().GetBitmaps().Insert("bg", std::move(bitmap));

    CVeyScriptDefinitions::GetInstance().GetViewGroup().Clear();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(
        "<panelType><type>pT</type><name>$name</name><position>$position</position><size>40,30</size>"
        "<bitmapRef>bg</bitmapRef><openCondition>fm.pat.common.page,1,==</openCondition>"
        "<control><type>steppingControl</type><name>c</name><position>10,10</position><size>5,5</size>"
        "<valueRef>fm.pat.common.level</valueRef></control></panelType>"
        "<panelType><type>wT</type><name>w</name><size>100,60</size>"
        "<panel><type>pT</type><name>bgPanel</name><position>20,20</position></panel></panelType>"
        "<panel><type>wT</type></panel>"));
    ASSERT_TRUE(Build());
    ASSERT_TRUE(manager.OpenRootPanel("w"));
    CPanelWindow* window = Window("w");
    EXPECT_EQ(background->GetRefCount(), 0) << "closed panels hold no image";
    EXPECT_EQ(Pixel(window, 25, 25), RGB(0, 0, 0));

    Commit("fm.pat.common.page", 1);
    EXPECT_EQ(background->GetRefCount(), 1);
    EXPECT_EQ(Pixel(window, 25, 25), RGB(10, 20, 30));
    EXPECT_EQ(Pixel(window, 32, 32), CSteppingControl::ColourOf(100)) << "controls lie over the background";

    CTraceCapture trace;
    manager.FindRootPanel("w")->DumpAttributes(GetTraceTextOut());
    EXPECT_EQ(trace.Text(), "    w, position=0 0, size=100 60, openCondition=1\n"
                            "    <!--child panels-->\n"
                            "        w.bgPanel, position=20 20, size=40 30, bitmap=bg, "
                            "openCondition=fm.pat.common.page,1,==\n"
                            "        <!--child panels-->\n"
                            "        <!--child controls-->\n"
                            "            w.bgPanel.c, position=30 30, size=5 5, \n"
                            "    <!--child controls-->\n");

    Commit("fm.pat.common.page", 0);
    EXPECT_EQ(background->GetRefCount(), 0);
    CVeyResourceManager::GetInstance().Clear();
    CVeyStateBitmap::SetBitmapFolder("");
}

TEST_F(Panels, TheViewManagerIsTheViewStepOfTheManagers)
{
    CVeyViewManager::RegisterManagerStep();
    EXPECT_TRUE(VeyCreateManagers());
    EXPECT_EQ(manager.GetRootPanels().size(), 3u);
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().GetViewGroup().IsEmpty()) << "definitions taken over";
    VeyDestroyManagers();
    EXPECT_TRUE(manager.GetRootPanels().empty());
    VeySetManagerStep(EVeyManager::kView, nullptr, nullptr);
}

TEST_F(Panels, ReversedMouseOrderAsksChildPanelsFirst)
{
    // A control in a child panel and a control of the root panel over it, on level and idx.
    const struct
    {
        const char* name;
        const char* reverse;
        int32_t level;
        int32_t idx;
    } cases[] = {
        {"default: the root's controls, last first", "0", 100, 1},
        {"reversed: child panels first", "1", 101, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        manager.Clear();
        CVeyScriptDefinitions::GetInstance().GetViewGroup().Clear();
        FindTestValue("fm.pat.common.level")->SetNumber(100);
        FindTestValue("fm.pat.common.idx")->SetNumber(0);
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(
            std::string("<panelType><type>cT</type><name>p</name><size>20,20</size>"
                        "<control><type>steppingControl</type><name>a</name><size>20,20</size>"
                        "<valueRef>fm.pat.common.level</valueRef></control></panelType>"
                        "<panelType><type>rT</type><name>r</name><size>40,40</size><reverseHandleMouse>") +
            c.reverse +
            "</reverseHandleMouse><panel><type>cT</type></panel>"
            "<control><type>steppingControl</type><name>b</name><size>20,20</size>"
            "<valueRef>fm.pat.common.idx</valueRef></control></panelType>"
            "<panel><type>rT</type></panel>"));
        ASSERT_TRUE(Build());
        ASSERT_TRUE(manager.OpenRootPanel("r"));
        Window("r")->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
        Window("r")->SendMessage(WM_LBUTTONUP, 0, PointParam(5, 5));
        EXPECT_EQ(FindTestValue("fm.pat.common.level")->GetNumber(), c.level);
        EXPECT_EQ(FindTestValue("fm.pat.common.idx")->GetNumber(), c.idx);
    }
}

namespace
{
// Records the windows the group brings to the top, in order; a window brought forward may report
// its own activation back, as a window system could.
class CRecordingWindowGroup : public CPanelWindowGroup
{
public:
    std::vector<CWnd*> raised;
    bool echo = false;

protected:
    void BringToTop(CWnd& window) override
    {
        raised.push_back(&window);
        if (echo)
            OnWindowPosChanged(&window, 0);
    }
};

struct SGroupWindows
{
    SGroupWindows()
    {
        for (size_t i = 0; i < windows.size(); ++i)
        {
            const std::string name = "window" + std::to_string(i);
            windows[i].CreateEx(0, name.c_str(), WS_CAPTION, CRect(0, 0, 20, 20), nullptr);
            windows[i].ShowWindow(SW_SHOWNA);
        }
    }
    ~SGroupWindows()
    {
        for (CWnd& window : windows)
            window.DestroyWindow();
        while (PumpAllMessages())
        {
        }
    }
    // What was raised, as indexes of our windows; windows of other tests are left out.
    std::vector<int> Indexes(const std::vector<CWnd*>& raised) const
    {
        std::vector<int> indexes;
        for (CWnd* window : raised)
            for (size_t i = 0; i < windows.size(); ++i)
                if (window == &windows[i])
                    indexes.push_back(static_cast<int>(i));
        return indexes;
    }
    std::array<CWnd, 4> windows;
};
}

TEST(PanelWindowGroup, AWindowThatComesForwardBringsTheOthersUpBehindIt)
{
    SGroupWindows group;
    group.windows[2].ShowWindow(SW_HIDE);
    group.windows[3].EnableWindow(FALSE);
    CRecordingWindowGroup windows;
    windows.echo = true;   // the guard keeps a reported activation from starting over
    windows.OnWindowPosChanged(&group.windows[1], 0);
    EXPECT_EQ(group.Indexes(windows.raised), (std::vector<int>{0, 3, 1})) << "hidden windows stay where they are";

    const struct
    {
        const char* name;
        int window;
        UINT flags;
    } untouched[] = {
        {"a disabled window waits for its modal window", 3, 0},
        {"a hidden window", 2, 0},
        {"a change that activates nothing", 1, SWP_NOACTIVATE},
        {"a window being shown", 1, SWP_SHOWWINDOW},
    };
    for (const auto& c : untouched)
    {
        SCOPED_TRACE(c.name);
        windows.raised.clear();
        windows.OnWindowPosChanged(&group.windows[static_cast<size_t>(c.window)], c.flags);
        EXPECT_TRUE(group.Indexes(windows.raised).empty());
    }
    windows.OnWindowPosChanged(nullptr, 0);
}

TEST(PanelWindowGroup, ADisabledWindowComingForwardLetsTheEnabledOnesAboveIt)
{
    SGroupWindows group;
    group.windows[0].EnableWindow(FALSE);
    group.windows[2].EnableWindow(FALSE);
    CRecordingWindowGroup windows;
    windows.OnWindowPosChanging(&group.windows[0], 0);
    EXPECT_EQ(group.Indexes(windows.raised), (std::vector<int>{1, 3}));
    windows.raised.clear();
    windows.OnWindowPosChanging(&group.windows[1], 0);
    EXPECT_TRUE(windows.raised.empty()) << "an enabled window is not held back";
}
