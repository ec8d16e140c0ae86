#include "GpTestWindows.h"

#include "librarian/gp/PopupEditors.h"
#include "platform/MdiFrame.h"
#include "platform/UiDriver.h"

#include <gtest/gtest.h>

namespace
{
struct PopupFixture : public ::testing::Test
{
    void SetUp() override { ASSERT_TRUE(parent.Create()); }
    void TearDown() override
    {
        parent.DestroyWindow();
        PumpAllMessages();
    }
    CRecordingParent parent;
};

// An owner that answers Accept as told and counts the questions.
struct CTestOwner : public GP::IPopupOwner
{
    bool Accept(GP::IPopup&) override
    {
        ++asked;
        return accept;
    }
    bool accept = false;
    int asked = 0;
};
}

// In place, Enter and Escape go to the parent as NM_RETURN with wParam 1 and 2; typing sets the
// changed flag, which creation leaves clear, and tells the parent EN_CHANGE.
TEST_F(PopupFixture, InPlaceEditorsReportEnterAndEscape)
{
    GP::CPopupEdit edit;
    GP::CPopupComboBox combo({"Saw", "Square", "Sine"});
    GP::CPopupSpinEdit spin(0, 0, 0, 0, 127);
    struct Case { const char* name; GP::IPopup& popup; const char* text; };
    Case cases[] = {{"edit box", edit, "abc"}, {"combo box", combo, "Square"}, {"spin edit", spin, "64"}};
    UINT id = 100;
    for (Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        parent.notices.clear();
        ASSERT_TRUE(c.popup.CreateInPlace(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 90, 30), &parent, id, c.text));
        EXPECT_FALSE(c.popup.IsChanged());
        EXPECT_EQ(c.popup.GetWnd()->GetWindowText(), c.text);
        c.popup.GetWnd()->SetFocus();
        ASSERT_TRUE(UiDriver::PressKey(VK_ESCAPE));
        ASSERT_TRUE(UiDriver::PressKey(VK_RETURN));
        EXPECT_EQ(parent.Codes(), "escape enter");
        for (const auto& notice : parent.notices)
            EXPECT_EQ(notice.id, id);
        c.popup.GetWnd()->DestroyWindow();
        PumpAllMessages();
        ++id;
    }

    GP::CPopupEdit typed;
    ASSERT_TRUE(typed.CreateInPlace(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 90, 30), &parent, 100, ""));
    typed.SetFocus();
    parent.notices.clear();
    UiDriver::TypeText("x");
    EXPECT_TRUE(typed.IsChanged());
    EXPECT_EQ(parent.Codes(), "300");
}

// A text longer than the cell widens a left-aligned edit box to the right and a spin edit to the
// left; the other edge stays on the cell.
TEST_F(PopupFixture, LongTextWidensTheEditorAwayFromItsAnchoredEdge)
{
    const CRect cell(100, 10, 140, 30);
    GP::CPopupEdit edit;
    ASSERT_TRUE(edit.CreateInPlace(WS_CHILD | WS_VISIBLE | WS_BORDER, cell, &parent, 100, ""));
    GP::CPopupSpinEdit spin(1, 0, 0, -1e9, 1e9, 2);
    ASSERT_TRUE(spin.CreateInPlace(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(100, 40, 140, 60), &parent, 101, "1"));

    RECT before;
    edit.GetWindowRect(&before);
    edit.SetWindowText("a rather long text for a narrow cell");
    RECT after;
    edit.GetWindowRect(&after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_GT(after.right, before.right);

    spin.GetWindowRect(&before);
    spin.SetWindowText("123456789.25");
    spin.GetWindowRect(&after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_LT(after.left, before.left);
}

// A modal edit whose owner refuses stays open after Enter and after a press on a window frame;
// once the owner accepts, Enter ends the run with 1 and the final text is kept.
TEST_F(PopupFixture, ModalEditAsksItsOwner)
{
    CTestOwner owner;
    GP::CPopupEdit edit(&owner);
    edit.m_text = "first";
    CPostedActions actions;
    bool stillOpen = false;
    actions.Post([&] {
        UiDriver::TypeText("X");
        UiDriver::PressKey(VK_RETURN);
        UiDriver::ClickFrame(parent);
        stillOpen = GP::IPopup::GetRunningModal() == &edit && edit.IsWindowVisible();
        owner.accept = true;
        UiDriver::PressKey(VK_RETURN);
    });
    actions.PostEndEverything();
    EXPECT_EQ(edit.DoModal(CRect(50, 50, 150, 70), &parent), 1);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(owner.asked, 3);
    EXPECT_EQ(edit.m_text, "X");
    EXPECT_EQ(GP::IPopup::GetRunningModal(), nullptr);
    EXPECT_TRUE(parent.IsWindowEnabled()) << "the owner is enabled again";
}

// Escape and a right press on a frame end with 2 without asking the owner; a second modal popup
// while one runs is refused.
TEST_F(PopupFixture, ModalRunEndsWithTwoAndOnlyOneRuns)
{
    CTestOwner owner;
    GP::CPopupComboBox combo({"A", "B"}, &owner);
    combo.m_selected = 1;
    GP::CPopupSpinEdit spin(0, 0, 0, 0, 10, 0, 0, &owner);
    CPostedActions actions;
    int nested = 0;
    actions.Post([&] {
        nested = spin.DoModal(CRect(0, 0, 40, 20), &parent);
        UiDriver::ClickFrame(parent, true);
    });
    actions.PostEndEverything();
    EXPECT_EQ(combo.DoModal(CRect(50, 50, 150, 70), &parent), 2);
    EXPECT_EQ(nested, -1);
    EXPECT_EQ(combo.m_selected, 1);
    EXPECT_EQ(owner.asked, 0);

    actions.Post([&] { UiDriver::PressKey(VK_ESCAPE); });
    actions.PostEndEverything();
    EXPECT_EQ(spin.DoModal(CRect(50, 50, 150, 70), &parent), 2);
}

// Enter while the combo's list is open only closes the list.
TEST_F(PopupFixture, EnterInAnOpenComboListOnlyClosesIt)
{
    GP::CPopupComboBox combo({"Saw", "Square"});
    ASSERT_TRUE(combo.CreateInPlace(WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 30), &parent, 100, "Saw"));
    combo.SetFocus();
    combo.ShowDropDown(TRUE);
    ASSERT_TRUE(combo.GetDroppedState());
    parent.notices.clear();
    UiDriver::PressKey(VK_RETURN);
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(parent.Codes().find("enter"), std::string::npos);
    UiDriver::PressKey(VK_RETURN);
    EXPECT_NE(parent.Codes().find("enter"), std::string::npos);
}

// The title bar of a child frame is a frame the program draws itself: a left press there ends a
// modal run as a press on any window frame does, once the owner accepts; a right press ends it
// with 2.
TEST_F(PopupFixture, PressOnAChildFramesTitleBarEndsAModalRun)
{
    CMDIFrameWnd frame;
    ASSERT_TRUE(frame.Create("Frame", CRect(300, 0, 700, 300)));
    frame.ShowWindow(SW_SHOW);
    CMDIChildWnd child;
    ASSERT_TRUE(child.Create("Child", &frame, CRect(20, 20, 220, 160)));
    PumpAllMessages();
    RECT rect;
    child.GetFrameRect(&rect);
    const POINT title{(rect.left + rect.right) / 2, rect.top + 6};

    for (const bool right : {false, true})
    {
        SCOPED_TRACE(right ? "right" : "left");
        CTestOwner owner;
        owner.accept = true;
        GP::CPopupEdit edit(&owner);
        CPostedActions actions;
        actions.Post([&] { UiDriver::MouseDown(frame, title, right); });
        actions.PostEndEverything();
        EXPECT_EQ(edit.DoModal(CRect(50, 50, 150, 70), &parent), right ? 2 : 1);
        EXPECT_EQ(owner.asked, right ? 0 : 1);
    }
    child.DestroyWindow();
    frame.DestroyWindow();
}
