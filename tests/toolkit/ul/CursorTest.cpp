#include "toolkit/ul/Cursor.h"

#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
struct Cursors : ::testing::Test
{
    void SetUp() override { UL::CCursor::Instance().Reset(); }
    void TearDown() override { UL::CCursor::Instance().Reset(); }
    UL::ICursor& cursor = UL::CCursor::GetCursor();
};

// Counts the refreshes it is asked for.
struct CCountingChanger : UL::ACursorChanger
{
    int refreshed = 0;
    void OnRefresh(const CPoint&) override { ++refreshed; }
};
}

TEST_F(Cursors, NestedWaitCursorsEndInOrder)
{
    {
        UL::CWaitCursor outer;
        {
            UL::CWaitCursor inner;
            EXPECT_EQ(GetProgramCursor(), IDC_WAIT);
        }
        EXPECT_TRUE(cursor.HasRequests());
        EXPECT_EQ(GetProgramCursor(), IDC_WAIT);
    }
    EXPECT_FALSE(cursor.HasRequests());
    EXPECT_EQ(GetProgramCursor(), -1);
}

TEST_F(Cursors, AChangerHoldsOneRequest)
{
    UL::ACursorChanger a, b;
    a.Change(5);
    const int32_t first = a.GetHandle();
    a.Change(5);   // already on top with this id: nothing new
    EXPECT_EQ(a.GetHandle(), first);
    b.Change(2);
    EXPECT_EQ(GetProgramCursor(), IDC_IBEAM);
    a.Change(5);   // covered: the old request goes, a new one comes on top
    EXPECT_NE(a.GetHandle(), first);
    EXPECT_EQ(cursor.TopHandle(), a.GetHandle());
    EXPECT_EQ(GetProgramCursor(), 26633);
    b.Restore();   // from the middle: the top cursor stays
    EXPECT_EQ(GetProgramCursor(), 26633);
    a.Restore();
    EXPECT_FALSE(cursor.HasRequests());
}

TEST_F(Cursors, PoppingAnUnknownHandleReappliesOrResets)
{
    UL::ACursorChanger a;
    a.Change(3);
    cursor.Pop(12345);
    EXPECT_EQ(GetProgramCursor(), IDC_CROSS);
    a.Restore();
    cursor.Pop(12345);
    EXPECT_EQ(GetProgramCursor(), -1);
}

TEST_F(Cursors, ADestroyedChangerLeavesNoRequestBehind)
{
    // A view that pushed a cursor and is destroyed in the middle of a drag.
    auto view = std::make_unique<CCountingChanger>();
    view->Change(4);
    UL::ACursorChanger other;
    other.Change(1);
    cursor.Refresh(CPoint(1, 1));
    other.Restore();
    view.reset();
    EXPECT_FALSE(cursor.HasRequests());
    cursor.Refresh(CPoint(1, 1));   // must not reach the destroyed changer
    EXPECT_EQ(GetProgramCursor(), -1);
}

TEST_F(Cursors, RefreshAsksTheTopChanger)
{
    CCountingChanger low, top;
    low.Change(0);
    top.Change(6);
    cursor.Refresh(CPoint(3, 3));
    EXPECT_EQ(top.refreshed, 1);
    EXPECT_EQ(low.refreshed, 0);
}

TEST_F(Cursors, AnIdWithoutAnImageShowsTheArrowInsteadOfFailing)
{
    UL::ACursorChanger changer;
    EXPECT_NO_THROW(changer.Change(99));
    EXPECT_EQ(GetProgramCursor(), IDC_ARROW);
    UL::CCursor::Instance().Register(7, false, 1);   // an image that does not exist
    EXPECT_NO_THROW(changer.Change(7));
    EXPECT_EQ(GetProgramCursor(), IDC_ARROW);
    UL::CCursor::Instance().Register(7, false, 26637);
}
