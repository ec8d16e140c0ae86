// The librarian's Window menu and child frames through its own main frame: the list of open
// children in the menu, at the pointer by Ctrl+G and by a right click on a title bar, the child
// commands, and the image frame that cannot be closed.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianFrames.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "platform/WindowPlacement.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/librarian/gp/GpTestSupport.h"
#include "librarian/gp/WindowListDlg.h"

#include <algorithm>

using namespace LibrarianCommands;

namespace
{
constexpr int kWindowMenu = 4;

// The image and two new librarian files, the second one active.
class LibrarianWindowsTest : public CLibrarianAppTest
{
protected:
    void SetUp() override
    {
        CLibrarianAppTest::SetUp();
        ASSERT_TRUE(Start());
        Frame().SetActiveWindow();
        m_app->OnAppCommand(kFileNew);
        m_app->OnAppCommand(kFileNew);
        ASSERT_EQ(2u, FileDocs().size());
        Idle();
    }
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }
    CMDIChildWnd& FileFrame(size_t index) { return *FileDocs()[index]->GetFrame(); }
    CMDIChildWnd& ImageFrame() { return *ImageDoc().GetFrame(); }
    // Opens the Window menu of the menu bar; what it shows.
    std::vector<std::string> OpenWindowMenu()
    {
        UiDriver::ClosePopupMenus();
        EXPECT_TRUE(UiDriver::OpenMenuBarMenu(Frame(), kWindowMenu));
        return UiDriver::DescribePopupMenu();
    }
    static CRect FrameRect(const CMDIChildWnd& child)
    {
        CRect rect;
        child.GetFrameRect(&rect);
        return rect;
    }
};

// The list at the pointer: the children as in the Window menu, the active one marked.
std::vector<std::string> ListWithActive(size_t active)
{
    std::vector<std::string> list{"&0\tUntitled1", "&1\tUntitled2", "&2\tMain"};
    list[active] = "*" + list[active];
    return list;
}

TEST_F(LibrarianWindowsTest, WindowMenuListsTheOpenChildrenAndBringsOneToTheTop)
{
    EXPECT_EQ((std::vector<std::string>{"Move to &Top\tCtrl+G>", "Window &List...", "-", "Maximize &Height",
                                        "Maximize &Width", "&Save Current Position", "-", "&Cascade",
                                        "Tile H&orizontally", "Tile &Vertically", "&Arrange Icons"}),
              OpenWindowMenu());
    // The children in the order of the templates: the librarian files, then the image.
    EXPECT_EQ(ListWithActive(1), UiDriver::DescribePopupMenu({0}));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({0, 0}));
    EXPECT_EQ(&FileFrame(0), Frame().MDIGetActive());

    // Opened again, the list follows: a closed file is gone, the active child is marked.
    m_saveAnswer = 0;
    FileFrame(1).SendMessage(WM_CLOSE);
    Idle();
    OpenWindowMenu();
    EXPECT_EQ((std::vector<std::string>{"*&0\tUntitled1", "&1\tMain"}), UiDriver::DescribePopupMenu({0}));
    EXPECT_EQ(11u, UiDriver::DescribePopupMenu().size()) << "rebuilding keeps every other entry";
    UiDriver::ClosePopupMenus();
}

// Looks for a menu that opens after the one being answered, in each of the next `turns` passes of
// whatever loop runs, and closes it, so that a menu opened by mistake fails the test instead of
// waiting for the user.
void WatchForAnotherMenu(GpTest::CPostedActions& actions, std::vector<std::string>& seen, int turns)
{
    actions.Post([&actions, &seen, turns] {
        seen = UiDriver::DescribePopupMenu();
        if (!seen.empty())
            UiDriver::ClosePopupMenus();
        else if (turns > 1)
            WatchForAnotherMenu(actions, seen, turns - 1);
    });
}

// Ctrl+G and a right click on any child's title bar show the same list at the pointer; the
// title bar shows no system menu besides.
TEST_F(LibrarianWindowsTest, CtrlGAndATitleBarRightClickShowTheListAtThePointer)
{
    enum EChild { kFirstFile, kSecondFile, kImage };
    const auto document = [this](int which) -> CDoc& {
        return which == kImage ? static_cast<CDoc&>(ImageDoc()) : *FileDocs()[static_cast<size_t>(which)];
    };
    const auto child = [&document](int which) -> CMDIChildWnd& { return *document(which).GetFrame(); };
    const struct
    {
        const char* name;
        int active;       // before
        int clicked;      // whose title bar; -1 for Ctrl+G
        int chosen;
    } cases[] = {
        {"Ctrl+G", kSecondFile, -1, kImage},
        {"right click on an inactive file's title bar", kImage, kFirstFile, kSecondFile},
        {"right click on the image's title bar", kFirstFile, kImage, kFirstFile},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Frame().MDIActivate(&child(c.active));
        // Where the user works: the key goes to the focused list.
        ViewOf(document(c.active)).GetList().SetFocus();
        Idle();
        std::vector<std::string> shown, shownAfter{"not asked"};
        GpTest::CPostedActions actions;
        actions.Post([&] {
            shown = UiDriver::DescribePopupMenu();
            UiDriver::ChoosePopupMenuItem({c.chosen});
            WatchForAnotherMenu(actions, shownAfter, 10);
        });
        actions.PostEndEverything();
        if (c.clicked < 0)
            ASSERT_TRUE(UiDriver::PressKey('G', MK_CONTROL));
        else
            ASSERT_TRUE(UiDriver::ClickFrame(child(c.clicked), true));
        Idle();
        EXPECT_EQ(ListWithActive(static_cast<size_t>(c.active)), shown);
        EXPECT_TRUE(shownAfter.empty()) << shownAfter.front();
        EXPECT_EQ(&child(c.chosen), Frame().MDIGetActive());
    }
}

// The child commands of the Window menu act on the active child; the position saved is where the
// next file of the kind opens.
TEST_F(LibrarianWindowsTest, ChildCommandsActOnTheActiveChild)
{
    CMDIChildWnd& file = FileFrame(1);
    file.MoveFrame(CRect(30, 20, 330, 220));
    OpenWindowMenu();
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({3}));   // Maximize Height
    CRect client;
    Frame().GetMDIClientRect(&client);
    EXPECT_EQ(CRect(30, 0, 330, client.bottom - GetSystemMetrics(SM_CYMINIMIZED)), FrameRect(file));

    file.MoveFrame(CRect(40, 25, 340, 225));
    OpenWindowMenu();
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({5}));   // Save Current Position
    EXPECT_EQ("40,25,300,200", GetProfileString("Window", "Position4107"));
    EXPECT_EQ("", GetProfileString("Window", "Position4097")) << "the image's place is its own";

    m_app->OnAppCommand(kFileNew);
    Idle();
    ASSERT_EQ(3u, FileDocs().size());
    EXPECT_EQ(CRect(40, 25, 340, 225), FrameRect(FileFrame(2)));
}

// The image lives as long as the program: its Close is greyed in its system menu, where a file's
// is not, and asking it to close leaves it open.
TEST_F(LibrarianWindowsTest, TheImageFramesCloseIsGreyed)
{
    const auto closeEntry = [](CMDIChildWnd& child) {
        UiDriver::ClosePopupMenus();
        EXPECT_TRUE(UiDriver::OpenSystemMenu(child));
        const std::vector<std::string> entries = UiDriver::DescribePopupMenu();
        UiDriver::ClosePopupMenus();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [](const std::string& e) { return e.find("&Close") != std::string::npos; });
        return found == entries.end() ? std::string("none") : *found;
    };
    EXPECT_EQ("~&Close", closeEntry(ImageFrame()));
    EXPECT_EQ("&Close", closeEntry(FileFrame(0)));

    ImageFrame().SendMessage(WM_CLOSE);
    Idle();
    EXPECT_TRUE(ImageFrame().GetSafeHwnd());
    EXPECT_EQ(3u, Frame().GetMDIChildren().size());
}
}

// Window List... opens the list of every child, and choosing one there brings it to the top.
TEST_F(LibrarianWindowsTest, WindowListDialogShowsEveryChild)
{
    GpTest::CPostedActions actions;
    std::vector<std::string> entries;
    actions.Post([&] {
        GP::CWindowListDlg* dialog = nullptr;
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* list = dynamic_cast<GP::CWindowListDlg*>(window))
                dialog = list;
        ASSERT_NE(nullptr, dialog);
        for (int i = 0; i < dialog->GetList()->GetCount(); ++i)
        {
            std::string text;
            dialog->GetList()->GetText(i, text);
            entries.push_back(text);
        }
        const auto first = std::find_if(entries.begin(), entries.end(),
                                        [](const std::string& entry) { return entry.find("Untitled1") != std::string::npos; });
        ASSERT_NE(entries.end(), first);
        dialog->GetList()->SetSel(-1, FALSE);
        dialog->GetList()->SetSel(static_cast<int>(first - entries.begin()), TRUE);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(GP::IDC_WINDOW_OPEN, BN_CLICKED), 1);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 1);
    });
    actions.PostEndEverything();
    Frame().SendMessage(WM_COMMAND, GP::ID_WINDOW_LIST);
    Idle();
    EXPECT_EQ(3u, entries.size()) << ::testing::PrintToString(entries);
    EXPECT_EQ(&FileFrame(0), Frame().MDIGetActive());
}
