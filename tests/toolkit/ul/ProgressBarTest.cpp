#include "toolkit/ul/ProgressBar.h"

#include "InteractiveTestSupport.h"

#include "platform/Controls.h"

#include <gtest/gtest.h>

namespace
{
constexpr UINT kTemplate = 9101;
constexpr UINT kMessageItem = 100;
constexpr UINT kProgressItem = 101;

void RegisterProgressTemplate()
{
    CDialogTemplate t;
    t.caption = "Progress";
    t.width = 320;
    t.height = 110;
    t.items = {
        {EDialogControl::Static, kMessageItem, "", RECT{12, 12, 308, 32}},
        {EDialogControl::Progress, kProgressItem, "", RECT{12, 40, 308, 58}},
        {EDialogControl::Button, IDCANCEL, "Cancel", RECT{232, 72, 308, 98}},
    };
    RegisterDialogTemplate(kTemplate, t);
}

// Counts the pumps, and pumps as the program's bar does.
class CCountingBar : public UL::CProgressBarA
{
public:
    CCountingBar() : UL::CProgressBarA(kTemplate, kMessageItem, kProgressItem) {}
    int pumps = 0;
    int ControlPos() const
    {
        auto* control = static_cast<CProgressCtrl*>(GetDlgItem(kProgressItem));
        return control ? control->GetPos() : -1;
    }
    int ControlUpper() const
    {
        auto* control = static_cast<CProgressCtrl*>(GetDlgItem(kProgressItem));
        int lower = -1, upper = -1;
        if (control)
            control->GetRange(lower, upper);
        return upper;
    }

protected:
    void PumpWaitingMessages() override
    {
        ++pumps;
        UL::CProgressBarA::PumpWaitingMessages();
    }
};

// A window that notes which posted messages reached it.
class CReceiver : public CWnd
{
public:
    std::vector<UINT> received;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER)
            received.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ProgressBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterProgressTemplate();
        ASSERT_TRUE(owner.CreateEx(0, "Owner", WS_CAPTION | WS_VISIBLE, CRect(0, 0, 500, 400), nullptr));
        owner.SetActiveWindow();
    }
    void TearDown() override { PumpAllMessages(); }

    CWnd owner;
    UlTest::CPostedActions actions;
};
}

TEST(ProgressBarArithmetic, ControlShowsAtMostAThousandStepsRoundedHalfAway)
{
    struct Case
    {
        const char* name;
        int32_t range;
        int32_t pos;
        int32_t controlRange;
        int32_t controlPos;
    } cases[] = {
        {"large range is cut to 1000 steps, 49 rounds down", 100000, 49, 1000, 0},
        {"large range, 50 rounds up", 100000, 50, 1000, 1},
        {"small range keeps its steps", 100, 37, 100, 37},
        {"thirds round to nearest", 3, 2, 3, 2},
        {"end of a large range", 100000, 100000, 1000, 1000},
        {"zero range does not divide by zero", 0, 5, 0, 0},
        {"negative range shows an empty bar", -10, 5, 0, 0},
        {"huge position does not overflow", 7, 2147483647, 7, 2147483647},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UL::CProgressBar::ControlRange(c.range), c.controlRange);
        EXPECT_EQ(UL::CProgressBar::ControlPos(c.pos, c.range), c.controlPos);
    }
}

TEST_F(ProgressBar, ShowsOnFirstReportDisablesOwnerAndGoesAtEnd)
{
    CCountingBar bar;
    bar.End();   // never shown: nothing happens
    EXPECT_FALSE(bar.IsShown());
    bar.SetRange(100000);
    bar.SetMessage("Receiving");
    ASSERT_TRUE(bar.IsShown());
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(bar.GetDlgItemText(kMessageItem), "Receiving");
    EXPECT_EQ(bar.ControlUpper(), 1000);
    EXPECT_FALSE(bar.GetDlgItem(IDCANCEL)->IsWindowVisible()) << "Cancel only when cancelable";

    // Positions that show as the same control position pump once, on the change.
    const int pumpsBefore = bar.pumps;
    for (int32_t pos = 1; pos <= 49; ++pos)
        bar.SetPos(pos);
    EXPECT_EQ(bar.pumps, pumpsBefore);
    bar.SetPos(50);
    EXPECT_EQ(bar.pumps, pumpsBefore + 1);
    EXPECT_EQ(bar.ControlPos(), 1);

    bar.End();
    EXPECT_FALSE(bar.IsShown());
    EXPECT_TRUE(owner.IsWindowEnabled());
    bar.SetPos(60000);
    EXPECT_TRUE(bar.IsShown()) << "a later report shows it again";
    EXPECT_EQ(bar.ControlPos(), 600);
    bar.End();
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(ProgressBar, CancelBetweenStepsAndUserMessagesWaitForTheEnd)
{
    CReceiver receiver;
    ASSERT_TRUE(receiver.CreateMessageWindow());
    CCountingBar bar;
    bar.SetCancelable(true);
    bar.SetRange(10);
    bar.Begin();
    ASSERT_TRUE(bar.IsShown());
    EXPECT_TRUE(bar.GetDlgItem(IDCANCEL)->IsWindowVisible());
    int32_t stoppedAt = -1;
    for (int32_t step = 1; step <= 10; ++step)
    {
        if (step == 4)
        {
            // The user presses Cancel while step 4 runs; a MIDI delivery arrives too.
            receiver.PostMessage(WM_USER + 7);
            actions.Post([&] { UiDriver::Click(*bar.GetDlgItem(IDCANCEL), POINT{5, 5}); });
        }
        bar.SetPos(step);
        if (bar.IsCanceled())
        {
            stoppedAt = step;
            break;
        }
    }
    EXPECT_EQ(stoppedAt, 4);
    EXPECT_TRUE(bar.IsShown()) << "Cancel leaves the dialog to the operation";
    EXPECT_TRUE(receiver.received.empty()) << "messages from WM_USER up wait while the operation runs";
    bar.End();
    PumpAllMessages();
    EXPECT_EQ(receiver.received, std::vector<UINT>{WM_USER + 7});
    receiver.DestroyWindow();
}

TEST_F(ProgressBar, EscapeCancelsOnlyWhenCancelable)
{
    for (bool cancelable : {false, true})
    {
        SCOPED_TRACE(cancelable ? "cancelable" : "not cancelable");
        CCountingBar bar;
        bar.SetCancelable(cancelable);
        bar.SetRange(0);   // an empty range shows an empty bar
        bar.Begin();
        ASSERT_TRUE(bar.IsShown());
        actions.Post([&] { UiDriver::PressKey(VK_ESCAPE); });
        bar.SetPos(5);
        EXPECT_EQ(bar.IsCanceled(), cancelable);
        EXPECT_TRUE(bar.IsShown());
        EXPECT_EQ(bar.ControlPos(), 0);
        EXPECT_EQ(bar.ControlUpper(), 0);
        bar.End();
    }
}

TEST_F(ProgressBar, Screenshot)
{
    CCountingBar bar;
    bar.SetTitle("Talvarix Editor");
    bar.SetCancelable(true);
    bar.SetRange(250);
    bar.SetMessage("Receiving bulk dump from the instrument...");
    bar.SetPos(100);
    EXPECT_TRUE(UiDriver::SaveWindowPicture(bar, UlTest::ScreenshotPath("progress-dialog.png")));
    bar.End();
}
