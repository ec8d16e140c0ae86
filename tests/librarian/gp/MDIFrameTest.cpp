#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "librarian/gp/Numbers.h"
#include "librarian/gp/VersionStrings.h"
#include "platform/WindowPlacement.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
class CTestChild : public GP::CMDIChildWndEx
{
public:
    explicit CTestChild(int32_t index, bool canStayOnTop = false, bool userClosable = true)
        : GP::CMDIChildWndEx(index), m_canStayOnTop(canStayOnTop), m_userClosable(userClosable)
    {
    }
    bool CanStayOnTop() const override { return m_canStayOnTop; }
    bool CanUserClose() const override { return m_userClosable; }

    std::vector<UINT> m_frameRightPresses;   // hit-test codes

protected:
    void OnNcRButtonDown(UINT hitTest, CPoint point) override
    {
        m_frameRightPresses.push_back(hitTest);
        GP::CMDIChildWndEx::OnNcRButtonDown(hitTest, point);
    }

private:
    bool m_canStayOnTop;
    bool m_userClosable;
};

class MDIFrameTest : public GpTest::CProfileFixture
{
protected:
    void TearDown() override
    {
        m_children.clear();
        m_frame.reset();
        PumpAllMessages();
        GP::ChildPlacementMode = 0;
        GpTest::CProfileFixture::TearDown();
    }

    GP::CMDIFrameWndEx& Frame()
    {
        if (!m_frame)
        {
            m_frame = std::make_unique<GP::CMDIFrameWndEx>();
            EXPECT_TRUE(m_frame->Create("Main", CRect(5, 5, 300, 200)));
            m_frame->ShowWindow(SW_SHOW);
            PumpAllMessages();
        }
        return *m_frame;
    }

    CTestChild& AddChild(int32_t index, const char* title, bool canStayOnTop = false, bool userClosable = true)
    {
        m_children.push_back(std::make_unique<CTestChild>(index, canStayOnTop, userClosable));
        EXPECT_TRUE(m_children.back()->Create(title, &Frame(), CRect(1, 2, 3, 4)));
        PumpAllMessages();
        return *m_children.back();
    }

    static CRect FrameRect(const CMDIChildWnd& child)
    {
        CRect rect;
        child.GetFrameRect(&rect);
        return rect;
    }

    std::unique_ptr<GP::CMDIFrameWndEx> m_frame;
    std::vector<std::unique_ptr<CTestChild>> m_children;
};

TEST_F(MDIFrameTest, MainWindowPlacementComesFromTheProfile)
{
    struct Case
    {
        const char* name;
        const char* position;   // null: nothing stored
        CRect expected;
    } cases[] = {
        {"first run opens at 0,0,800,600", nullptr, CRect(0, 0, 800, 600)},
        {"stored rectangle", "50,60,450,360", CRect(50, 60, 450, 360)},
        {"off-screen rectangle is brought back", "-5000,-5000,-4600,-4700", CRect(0, 0, 400, 300)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.position)
            WriteProfileString("Window", "Position", c.position);
        Frame();
        WINDOWPLACEMENT placement;
        ASSERT_TRUE(GetWindowPlacement(m_frame.get(), &placement));
        EXPECT_EQ(c.expected, CRect(placement.rcNormalPosition));
        EXPECT_FALSE(IsZoomed(m_frame.get()));
        m_frame.reset();
        PumpAllMessages();
    }

    // Fields that do not scan keep the placement the window was created with.
    WriteProfileString("Window", "Position", "x");
    Frame();
    WINDOWPLACEMENT created;
    GetWindowPlacement(m_frame.get(), &created);
    m_frame.reset();
    WriteProfileString("Window", "Position", "12,x");
    Frame();
    WINDOWPLACEMENT partly;
    GetWindowPlacement(m_frame.get(), &partly);
    CRect expected(created.rcNormalPosition);
    expected.left = 12;
    EXPECT_EQ(expected, CRect(partly.rcNormalPosition));
}

TEST_F(MDIFrameTest, ClosingStoresMaximizedVersionAndPosition)
{
    WriteProfileString("Window", "Position", "40,30,440,330");
    WriteProfileInt("Window", "Maximized", 1);
    Frame();
    PumpAllMessages();
    EXPECT_TRUE(IsZoomed(m_frame.get()));

    m_frame->SendMessage(WM_CLOSE);
    PumpAllMessages();
    EXPECT_EQ(1, GetProfileInt("Window", "Maximized", -1));
    EXPECT_EQ(GP::GetVersionString("FileVersion"), GetProfileString("Version", "FileVersion"));
    EXPECT_FALSE(GP::IsFileVersionChanged());
    EXPECT_EQ("40,30,440,330", GetProfileString("Window", "Position"));
}

TEST_F(MDIFrameTest, ChildrenRestoreStoredPlacementOnlyInModeTwo)
{
    WriteProfileString("Window", "Position3", "20,30,150,100");
    CTestChild& before = AddChild(3, "before");
    EXPECT_NE(CRect(20, 30, 170, 130), FrameRect(before));

    GP::ChildPlacementMode = 2;
    CTestChild& restored = AddChild(3, "restored");
    EXPECT_EQ(CRect(20, 30, 170, 130), FrameRect(restored));

    CTestChild& missing = AddChild(4, "missing");
    CTestChild& missingToo = AddChild(5, "missing too");
    // The system's choice: a default size, and cascading places.
    EXPECT_GT(FrameRect(missing).Width(), 0);
    EXPECT_NE(FrameRect(missing).TopLeft(), FrameRect(missingToo).TopLeft());

    // Garbage from the profile still leaves the child reachable inside the client.
    WriteProfileString("Window", "Position6", "2000000000,-2000000000,-5,99999999");
    CTestChild& garbage = AddChild(6, "garbage");
    CRect client;
    Frame().GetMDIClientRect(&client);
    const CRect rect = FrameRect(garbage);
    CRect visible;
    EXPECT_TRUE(visible.IntersectRect(rect, client));
    EXPECT_GE(rect.top, 0);
}

TEST_F(MDIFrameTest, ResizeCommandsFillTheClientAboveTheIconRow)
{
    CTestChild& child = AddChild(1, "child");
    child.MoveFrame(CRect(10, 20, 110, 80));
    CRect client;
    Frame().GetMDIClientRect(&client);
    const int bottom = client.bottom - GetSystemMetrics(SM_CYMINIMIZED);

    struct Case
    {
        const char* name;
        UINT command;
        CRect expected;
    } cases[] = {
        {"full height keeps the width", GP::ID_WINDOW_FULL_HEIGHT, CRect(10, 0, 110, bottom)},
        {"full width keeps the height", GP::ID_WINDOW_FULL_WIDTH, CRect(0, 20, client.right, 80)},
        {"full", GP::ID_WINDOW_FULL, CRect(0, 0, client.right, bottom)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        child.MoveFrame(CRect(10, 20, 110, 80));
        CCmdUI ui(c.command);
        Frame().UpdateCommandUI(&ui);
        EXPECT_TRUE(ui.m_enabled);
        Frame().SendMessage(WM_COMMAND, c.command);
        EXPECT_EQ(c.expected, FrameRect(child));
    }

    child.MDIMinimize();
    PumpAllMessages();
    CCmdUI ui(GP::ID_WINDOW_FULL);
    Frame().UpdateCommandUI(&ui);
    EXPECT_FALSE(ui.m_enabled);
}

TEST_F(MDIFrameTest, SaveCurrentPositionStoresTheNormalRectangle)
{
    CTestChild& child = AddChild(7, "child");
    child.MoveFrame(CRect(15, 25, 215, 125));
    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_SAVE_POSITION);
    EXPECT_EQ("15,25,200,100", GetProfileString("Window", "Position7"));

    // While maximized the child still stores where it returns to.
    child.MDIMaximize();
    PumpAllMessages();
    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_SAVE_POSITION);
    EXPECT_EQ("15,25,200,100", GetProfileString("Window", "Position7"));
}

TEST_F(MDIFrameTest, AlwaysAtTheTopKeepsTheChildAboveItsSiblings)
{
    CTestChild& plain = AddChild(1, "plain");
    CTestChild& sticky = AddChild(2, "sticky", true);
    CCmdUI plainUi(GP::ID_WINDOW_ALWAYS_ON_TOP);
    Frame().UpdateCommandUI(&plainUi);   // the active child is the sticky one
    EXPECT_TRUE(plainUi.m_enabled);
    EXPECT_EQ(0, plainUi.m_check);

    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_ALWAYS_ON_TOP);
    EXPECT_TRUE(sticky.IsOnTop());
    CCmdUI checked(GP::ID_WINDOW_ALWAYS_ON_TOP);
    Frame().UpdateCommandUI(&checked);
    EXPECT_EQ(1, checked.m_check);

    plain.ActivateFrame();
    PumpAllMessages();
    EXPECT_EQ(&plain, Frame().MDIGetActive());
    ASSERT_FALSE(Frame().GetMDIChildren().empty());
    EXPECT_EQ(&sticky, Frame().GetMDIChildren().front());

    // A child that cannot stay on top ignores the command and shows it greyed.
    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_ALWAYS_ON_TOP);
    EXPECT_FALSE(plain.IsOnTop());
    CCmdUI greyed(GP::ID_WINDOW_ALWAYS_ON_TOP);
    Frame().UpdateCommandUI(&greyed);
    EXPECT_FALSE(greyed.m_enabled);
}

TEST_F(MDIFrameTest, PlacementSurvivesARestart)
{
    GP::ChildPlacementMode = 2;
    Frame();
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(GetWindowPlacement(m_frame.get(), &placement));
    placement.rcNormalPosition = CRect(60, 70, 560, 470);
    ASSERT_TRUE(SetWindowPlacement(m_frame.get(), &placement));
    PumpAllMessages();
    CTestChild& child = AddChild(2, "list");
    child.MoveFrame(CRect(12, 14, 212, 134));
    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_SAVE_POSITION);

    // The program ends: closing the frame stores its place and takes the children down with it.
    m_frame->SendMessage(WM_CLOSE);
    PumpAllMessages();
    EXPECT_FALSE(child.GetSafeHwnd());
    m_children.clear();
    m_frame.reset();

    // And starts again.
    Frame();
    ASSERT_TRUE(GetWindowPlacement(m_frame.get(), &placement));
    EXPECT_EQ(CRect(60, 70, 560, 470), CRect(placement.rcNormalPosition));
    EXPECT_FALSE(IsZoomed(m_frame.get()));
    EXPECT_EQ(CRect(12, 14, 212, 134), FrameRect(AddChild(2, "list")));
}

// A right click on a child's title bar reaches the child as a press on its frame, then opens the
// child's system menu; a child the user must not close shows Close greyed there.
TEST_F(MDIFrameTest, TitleBarRightClickOpensTheSystemMenu)
{
    for (bool closable : {true, false})
    {
        SCOPED_TRACE(closable ? "closable" : "kept open");
        CTestChild& child = AddChild(1, "child", false, closable);
        GpTest::CPostedActions actions;
        std::vector<std::string> shown;
        actions.Post([&] {
            shown = UiDriver::DescribePopupMenu();
            UiDriver::ClosePopupMenus();
        });
        actions.PostEndEverything();
        ASSERT_TRUE(UiDriver::ClickFrame(child, true));
        PumpAllMessages();
        EXPECT_EQ(std::vector<UINT>{HTCAPTION}, child.m_frameRightPresses);
        EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), closable ? "&Close" : "~&Close"));
        EXPECT_EQ(closable ? TRUE : FALSE, child.IsSystemCloseEnabled());
    }
}
}
