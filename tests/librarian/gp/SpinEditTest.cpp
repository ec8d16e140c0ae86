#include "GpTestWindows.h"

#include "librarian/gp/SpinEdit.h"
#include "librarian/gp/SpinNumber.h"
#include "platform/UiDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace
{
struct SpinEditFixture : public ::testing::Test
{
    void SetUp() override
    {
        SetKeyboardRepeatSettings(1, 31);   // first repeat after 500 ms, then every 33 ms
        ASSERT_TRUE(parent.Create());
    }

    GP::CSpinEdit& MakeEdit(double value, int32_t digit = 0, double minimum = 0, double maximum = 1000)
    {
        edit = std::make_unique<GP::CSpinEdit>(0, 0, digit, minimum, maximum);
        EXPECT_TRUE(edit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 110, 32), &parent, 200));
        edit->SetValue(value);
        edit->SetFocus();
        parent.notices.clear();
        return *edit;
    }

    // Advances virtual time in small slices, delivering due timer ticks; returns the steps seen.
    int RunFor(DWORD milliseconds)
    {
        int steps = 0;
        for (DWORD t = 0; t < milliseconds; ++t)
        {
            clock.Advance(1);
            const size_t before = parent.notices.size();
            FireDueTimers();
            for (size_t i = before; i < parent.notices.size(); ++i)
                steps += parent.notices[i].code == GP::SEN_STEP;
        }
        return steps;
    }

    void TearDown() override
    {
        edit.reset();
        parent.DestroyWindow();
        PumpAllMessages();
        SetKeyboardRepeatSettings(-1, -1);
    }

    CVirtualClock clock;
    CRecordingParent parent;
    std::unique_ptr<GP::CSpinEdit> edit;
};
}

// Value 9 with the units digit: Up makes 10 and the digit stays under the units place; holding
// the key repeats after the keyboard delay and then at the keyboard rate; releasing it ends.
TEST_F(SpinEditFixture, HeldUpKeyStepsThenRepeatsOnTheKeyboardClock)
{
    GP::CSpinEdit& spin = MakeEdit(9);
    ASSERT_EQ(GetFocus(), &spin);
    ASSERT_TRUE(UiDriver::KeyDown(VK_UP));
    EXPECT_DOUBLE_EQ(spin.GetValue(), 10);
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Stepping);
    EXPECT_EQ(spin.GetDigit(), 0);
    EXPECT_EQ(parent.Codes(), "301 step");
    EXPECT_DOUBLE_EQ(parent.notices[1].value, 9);
    EXPECT_DOUBLE_EQ(parent.notices[1].change, 1);

    EXPECT_EQ(RunFor(499), 0) << "no repeat before the keyboard delay";
    EXPECT_EQ(RunFor(1), 1) << "first repeat at 500 ms";
    EXPECT_EQ(RunFor(33), 1) << "then one every 33 ms";
    EXPECT_EQ(RunFor(66), 2);
    EXPECT_TRUE(UiDriver::KeyDown(VK_UP, 0, true)) << "auto-repeat presses are ignored";
    EXPECT_DOUBLE_EQ(spin.GetValue(), 14);

    ASSERT_TRUE(UiDriver::KeyUp(VK_UP));
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Typing);
    EXPECT_EQ(RunFor(200), 0) << "no timer after the key is released";
    EXPECT_EQ(parent.Codes().substr(parent.Codes().size() - 3), "302");
    EXPECT_EQ(spin.GetWindowText(), "14");
}

// Digit 1 on 9 steps by ten; the bounds hold and the integer bounds are the whole numbers inside.
TEST_F(SpinEditFixture, StepsTheChosenDigitWithinTheBounds)
{
    {
        GP::CSpinEdit& spin = MakeEdit(9, 1);
        EXPECT_EQ(spin.GetWindowText(), "  9");
        UiDriver::KeyDown(VK_UP);
        UiDriver::KeyUp(VK_UP);
        EXPECT_DOUBLE_EQ(spin.GetValue(), 19);
        EXPECT_EQ(spin.GetWindowText(), "19");
    }
    {
        GP::CSpinEdit& spin = MakeEdit(3, 0, 0.5, 10.7);
        spin.SetValue(-5);
        EXPECT_DOUBLE_EQ(spin.GetValue(), 1);
        UiDriver::KeyDown(VK_DOWN);
        UiDriver::KeyUp(VK_DOWN);
        EXPECT_DOUBLE_EQ(spin.GetValue(), 1) << "stepping below the minimum clamps";
        spin.SetValue(50);
        EXPECT_DOUBLE_EQ(spin.GetValue(), 10);
    }
}

// A parent that refuses the step keeps the value fixed and the edit stays typing, even while the
// button is held.
TEST_F(SpinEditFixture, RefusedStepKeepsTheValue)
{
    GP::CSpinEdit& spin = MakeEdit(9);
    parent.stepAnswer = 1;
    UiDriver::KeyDown(VK_UP);
    EXPECT_DOUBLE_EQ(spin.GetValue(), 9);
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Typing);
    EXPECT_EQ(parent.Codes(), "301 step 302");

    RECT client;
    spin.GetClientRect(&client);
    const POINT onButton{client.right - 5, (client.top + client.bottom) / 2};
    ASSERT_TRUE(UiDriver::MouseDown(spin, onButton, true));
    EXPECT_EQ(RunFor(700), 0);
    EXPECT_DOUBLE_EQ(spin.GetValue(), 9);
    UiDriver::MouseUp(spin, onButton, true);
}

// The button: a right press increases, a left press decreases; releasing returns to typing.
TEST_F(SpinEditFixture, ButtonStepsWhileHeld)
{
    GP::CSpinEdit& spin = MakeEdit(50);
    RECT client;
    spin.GetClientRect(&client);
    const POINT onButton{client.right - 5, (client.top + client.bottom) / 2};
    POINT cursor = onButton;
    spin.ClientToScreen(&cursor);
    SetCursorPos(cursor.x, cursor.y);   // the pointer stays on the button: no trackbar
    ASSERT_TRUE(UiDriver::MouseDown(spin, onButton, true));
    EXPECT_DOUBLE_EQ(spin.GetValue(), 51);
    EXPECT_EQ(spin.GetButton()->GetLook(), GP::CSpinEditButton::Increasing);
    EXPECT_EQ(RunFor(533), 2);
    UiDriver::MouseUp(spin, onButton, true);
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Typing);
    EXPECT_EQ(spin.GetButton()->GetLook(), GP::CSpinEditButton::Normal);
    EXPECT_DOUBLE_EQ(spin.GetValue(), 53);

    ASSERT_TRUE(UiDriver::MouseDown(spin, onButton, false));
    UiDriver::MouseUp(spin, onButton, false);
    EXPECT_DOUBLE_EQ(spin.GetValue(), 52);
}

// Typing a number makes it the value; text that is no number reads as 0.
TEST_F(SpinEditFixture, TypedTextBecomesTheValue)
{
    GP::CSpinEdit& spin = MakeEdit(9);
    spin.SetWindowText("42");
    EXPECT_DOUBLE_EQ(spin.GetValue(), 42);
    spin.SetWindowText("abc");
    EXPECT_DOUBLE_EQ(spin.GetValue(), 0);
    spin.SetWindowText("7.6");
    EXPECT_DOUBLE_EQ(spin.GetValue(), 8) << "integer mode rounds";
}

// "SpinEdit.ini" in the config folder speeds the repeat up; it is read once per process.
TEST_F(SpinEditFixture, SpeedFactorFileShortensTheRepeat)
{
    CTempDir config;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    ASSERT_TRUE(WriteFileBytes(config.File("SpinEdit.ini"), "2\n"));
    GP::CSpinEdit::ForgetSpeedFactor();
    GP::CSpinEdit& spin = MakeEdit(0);
    EXPECT_DOUBLE_EQ(GP::CSpinEdit::GetSpeedFactor(), 2);
    ASSERT_TRUE(WriteFileBytes(config.File("SpinEdit.ini"), "4\n"));
    GP::CSpinEdit other(0, 0, 0, 0, 10);
    EXPECT_DOUBLE_EQ(GP::CSpinEdit::GetSpeedFactor(), 2) << "read only once";

    UiDriver::KeyDown(VK_UP);
    EXPECT_EQ(RunFor(500), 1);
    EXPECT_EQ(RunFor(32), 2) << "every 16 ms";
    UiDriver::KeyUp(VK_UP);
    EXPECT_DOUBLE_EQ(spin.GetValue(), 4);

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    GP::CSpinEdit::ForgetSpeedFactor();
}

// Dragging off the held button opens the trackbar (horizontal when the cursor left it vertically);
// dragging its thumb sets values over the whole range, offered to the parent; letting go closes it
// and the edit types again.
TEST_F(SpinEditFixture, DraggingOffTheButtonOpensTheTrackbar)
{
    GP::CSpinEdit& spin = MakeEdit(100, 0, 0, 1000);
    RECT client;
    spin.GetClientRect(&client);
    const POINT onButton{client.right - 5, (client.top + client.bottom) / 2};
    ASSERT_TRUE(UiDriver::MouseDown(spin, onButton, true));
    EXPECT_DOUBLE_EQ(spin.GetValue(), 101);
    POINT away = onButton;
    spin.ClientToScreen(&away);
    away.y += 120;
    ASSERT_TRUE(SetCursorPos(away.x, away.y));
    POINT cursor;
    GetCursorPos(&cursor);
    if (cursor.y != away.y)
        GTEST_SKIP() << "this platform cannot move the cursor";
    RunFor(500);
    ASSERT_EQ(spin.GetMode(), GP::CSpinEdit::Sliding);
    GP::CSpinEditSlider* slider = spin.GetSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(slider->IsVertical());
    RECT sliderRect;
    RECT editRect;
    slider->GetWindowRect(&sliderRect);
    spin.GetWindowRect(&editRect);
    EXPECT_TRUE(sliderRect.top >= editRect.bottom || sliderRect.bottom <= editRect.top) << "off the edit";

    parent.notices.clear();
    ASSERT_TRUE(UiDriver::DragSliderTo(*slider, GP::SpinNumber::ThumbRange));
    EXPECT_DOUBLE_EQ(spin.GetValue(), 1000);
    UiDriver::DragSliderTo(*slider, GP::SpinNumber::ThumbRange / 2);
    EXPECT_NEAR(spin.GetValue(), 500, 1);
    parent.stepAnswer = 1;
    UiDriver::DragSliderTo(*slider, 0);
    EXPECT_NEAR(spin.GetValue(), 500, 1) << "a refused change keeps the value";
    parent.stepAnswer = 0;
    // The other button during the drag puts the value at 0, and thumb and cursor with it.
    RECT thumb;
    slider->GetThumbRect(&thumb);
    const POINT onThumb{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ASSERT_TRUE(UiDriver::MouseDown(*slider, onThumb, false, MK_RBUTTON));
    EXPECT_DOUBLE_EQ(spin.GetValue(), 0);
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Sliding) << "the drag goes on";
    ASSERT_TRUE(UiDriver::ReleaseSlider(*slider));
    PumpAllMessages();
    EXPECT_EQ(spin.GetMode(), GP::CSpinEdit::Typing);
    EXPECT_EQ(spin.GetSlider(), nullptr);
    EXPECT_EQ(parent.Codes(), "301 step step step step 302");
    UiDriver::MouseUp(spin, onButton, true);
}

namespace
{
class CRecordingTrackbar : public CSliderCtrl
{
public:
    std::vector<UINT> codes;

protected:
    void OnTrackbarScroll(UINT code, int) override { codes.push_back(code); }
};
}

// The right button takes the thumb as the left one does: a press and a release on it make a
// drag that ends as a left-button drag ends.
TEST_F(SpinEditFixture, RightButtonDragsTheTrackbar)
{
    CRecordingTrackbar trackbar;
    ASSERT_TRUE(trackbar.Create(WS_CHILD | WS_VISIBLE, CRect(10, 100, 210, 130), &parent, 77));
    trackbar.SetRange(0, 100);
    trackbar.SetPos(40);
    RECT thumb;
    trackbar.GetThumbRect(&thumb);
    const POINT onThumb{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ASSERT_TRUE(UiDriver::MouseDown(trackbar, onThumb, true));
    ASSERT_TRUE(UiDriver::MouseUp(trackbar, onThumb, true));
    EXPECT_EQ(trackbar.codes, (std::vector<UINT>{TB_THUMBPOSITION, TB_ENDTRACK}));
    EXPECT_EQ(trackbar.GetPos(), 40);
    trackbar.DestroyWindow();
}

// The button shows whether the edit can step: greyed while disabled or read-only.
TEST_F(SpinEditFixture, ButtonLookFollowsDisabledAndReadOnly)
{
    GP::CSpinEdit& spin = MakeEdit(5);
    GP::CSpinEditButton& button = *spin.GetButton();
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Normal);
    spin.SetReadOnly(TRUE);
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Disabled);
    EXPECT_FALSE(button.IsWindowEnabled());
    spin.EnableWindow(FALSE);
    spin.EnableWindow(TRUE);
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Disabled) << "still read-only";
    spin.SetReadOnly(FALSE);
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Normal);
    spin.EnableWindow(FALSE);
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Disabled);
    spin.EnableWindow(TRUE);
    EXPECT_EQ(button.GetLook(), GP::CSpinEditButton::Normal);
}
