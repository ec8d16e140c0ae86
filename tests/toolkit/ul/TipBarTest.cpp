#include "toolkit/ul/TipBar.h"

#include "InteractiveTestSupport.h"

#include <gtest/gtest.h>

namespace
{
class TipBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(main.CreateEx(0, "Main", WS_CAPTION | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr));
        main.SetActiveWindow();
        main.SetFocus();
        PumpAllMessages();
        ASSERT_TRUE(tip.Create());
    }
    void TearDown() override
    {
        tip.Show(false);
        tip.Update();
        tip.Destroy();
    }

    CRect TipRect()
    {
        CRect r;
        tip.GetWindowRect(&r);
        return r;
    }

    CWnd main;
    UL::CTipBar tip;
};
}

TEST_F(TipBar, ChangesApplyAtTheNextUpdateAfterShow)
{
    tip.SetText("Cutoff 64", CPoint(100, 50));
    tip.Update();
    EXPECT_FALSE(tip.IsWindowVisible()) << "nothing shows until Show";
    tip.Show(true);
    tip.Update();
    ASSERT_TRUE(tip.IsWindowVisible());
    const CSize text = UL::CTipBar::MeasureLines({"Cutoff 64"});
    EXPECT_EQ(TipRect(), CRect(100, 50, 100 + text.cx + 4, 50 + text.cy + 4));
    EXPECT_FALSE(tip.IsActiveWindow()) << "showing the tip never takes the activation";
    EXPECT_TRUE(main.IsActiveWindow());

    tip.SetOffset(CSize(10, 20));
    tip.Update();
    EXPECT_EQ(TipRect().TopLeft(), CPoint(100, 50)) << "an offset alone does not move a shown tip";
    tip.SetPoint(CPoint(100, 50));
    tip.Update();
    EXPECT_EQ(TipRect().TopLeft(), CPoint(110, 70));

    tip.Show(false);
    tip.SetLines({"a", "bb"}, CPoint(0, 0));
    tip.Update();
    EXPECT_FALSE(tip.IsWindowVisible());
    tip.Show(true);
    tip.Update();
    EXPECT_EQ(TipRect().TopLeft(), CPoint(10, 20)) << "changes made while hidden apply at the first update after Show";
}

TEST_F(TipBar, SizeFromLinesAndMargins)
{
    EXPECT_EQ(UL::CTipBar::MeasureLines({}), CSize(1, 0));
    const CSize one = UL::CTipBar::MeasureLines({"W"});
    const CSize wide = UL::CTipBar::MeasureLines({"W", "WWWW", ""});
    EXPECT_GT(wide.cx, one.cx) << "the widest line decides";
    EXPECT_EQ(wide.cy, 3 * one.cy) << "heights add up";

    tip.SetLines({}, CPoint(5, 5));
    tip.SetMargins(CRect(1, 2, 3, 4));
    tip.Show(true);
    tip.Update();
    EXPECT_EQ(TipRect(), CRect(5, 5, 5 + 1 + 1 + 3, 5 + 2 + 4)) << "with no lines: 1 + margins wide, margins high";
    tip.SetMargins(CRect(2, 2, 2, 2));
}

TEST_F(TipBar, ProcessWideInstance)
{
    UL::ITipBar* first = UL::GetTipBar();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, UL::GetTipBar());
    EXPECT_FALSE(first->IsShown());
    first->Destroy();
}
