#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "librarian/gp/Numbers.h"
#include "librarian/gp/WindowListDlg.h"
#include "platform/Menu.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace
{
class CTestChild : public GP::CMDIChildWndEx
{
public:
    explicit CTestChild(bool refusesClose = false) : GP::CMDIChildWndEx(0), m_refusesClose(refusesClose) {}
    bool m_userClosable = true;
    bool CanUserClose() const override { return m_userClosable; }

protected:
    // A child whose document asks to save and the user cancels.
    void OnClose() override
    {
        if (!m_refusesClose)
            GP::CMDIChildWndEx::OnClose();
    }

private:
    bool m_refusesClose;
};

// The librarian's frame keeps the window-go sub-menu first in its Window menu.
class CWindowGoFrame : public GP::CMDIFrameWndEx
{
public:
    CWindowGoFrame() { m_windowGoPosition = 0; }
};

class WindowListTest : public GpTest::CProfileFixture
{
protected:
    void SetUp() override
    {
        GpTest::CProfileFixture::SetUp();
        GP::RegisterWindowListDialog();
        m_frame.Create("Main", CRect(0, 0, 700, 500));
        m_frame.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        m_children.clear();
        m_frame.DestroyWindow();
        PumpAllMessages();
        GpTest::CProfileFixture::TearDown();
    }
    CTestChild& Add(const std::string& title, bool refusesClose = false)
    {
        m_children.push_back(std::make_unique<CTestChild>(refusesClose));
        EXPECT_TRUE(m_children.back()->Create(title.c_str(), &m_frame));
        return *m_children.back();
    }
    static GP::CWindowListDlg* OpenDialog()
    {
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* dialog = dynamic_cast<GP::CWindowListDlg*>(window))
                return dialog;
        return nullptr;
    }
    static std::vector<std::string> Entries(GP::CWindowListDlg& dialog)
    {
        std::vector<std::string> entries;
        for (int i = 0; i < dialog.GetList()->GetCount(); ++i)
        {
            std::string text;
            dialog.GetList()->GetText(i, text);
            entries.push_back(text);
        }
        return entries;
    }
    static void Click(GP::CWindowListDlg& dialog, UINT id)
    {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 1);
    }

    CWindowGoFrame m_frame;
    std::vector<std::unique_ptr<CTestChild>> m_children;
    GpTest::CPostedActions m_actions;
};

TEST_F(WindowListTest, WindowGoMenuListsTheFirstThirtySixChildren)
{
    for (int i = 0; i < 40; ++i)
        Add(GP::Format("Child %02d", i));
    CMenu popup;
    ASSERT_TRUE(m_frame.BuildWindowGoMenu(popup));
    ASSERT_EQ(36, popup.GetMenuItemCount());
    EXPECT_EQ("&0\tChild 00", popup.GetMenuString(0, MF_BYPOSITION));
    EXPECT_EQ("&A\tChild 10", popup.GetMenuString(10, MF_BYPOSITION));
    EXPECT_EQ("&Z\tChild 35", popup.GetMenuString(35, MF_BYPOSITION));
    EXPECT_EQ(GP::ID_WINDOW_GO_LAST, popup.GetMenuItemID(35));
    // The last child made is the active one; it is beyond the 36.
    for (int i = 0; i < 36; ++i)
        EXPECT_FALSE(popup.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED);

    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_GO_FIRST + 3);
    EXPECT_EQ(m_children[3].get(), m_frame.MDIGetActive());
}

TEST_F(WindowListTest, CursorPopupActivatesAndRestoresTheChosenChild)
{
    // No child: nothing is shown.
    bool menuShown = true;
    m_actions.Post([&] { menuShown = !UiDriver::DescribePopupMenu().empty(); });
    m_actions.PostEndEverything();
    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_GO_POPUP);
    PumpAllMessages();
    EXPECT_FALSE(menuShown);

    CTestChild& first = Add("A");
    Add("B");
    first.MDIMinimize();
    std::vector<std::string> described;
    m_actions.Post([&] {
        described = UiDriver::DescribePopupMenu();
        UiDriver::ChoosePopupMenuItem({0});
    });
    m_actions.PostEndEverything();
    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_GO_POPUP);
    // A minimized child stays the active one.
    EXPECT_EQ((std::vector<std::string>{"*&0\tA", "&1\tB"}), described);
    EXPECT_EQ(&first, m_frame.MDIGetActive());
    EXPECT_FALSE(first.IsIconic());
}

TEST_F(WindowListTest, DialogListsOpensAndClosesChildren)
{
    CTestChild& a = Add("A");
    CTestChild& b = Add("B");
    Add("C", true);
    b.MDIMinimize();
    std::vector<std::string> before, afterOpen, afterClose;
    m_actions.Post([&] {
        GP::CWindowListDlg* dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        before = Entries(*dialog);
        CListBox& list = *dialog->GetList();
        list.SetSel(-1, FALSE);
        list.SetSel(1, TRUE);
        Click(*dialog, GP::IDC_WINDOW_OPEN);
        afterOpen = Entries(*dialog);
        EXPECT_EQ(std::vector<int>{1}, list.GetSelItems());   // the selection survives the refill

        list.SetSel(-1, FALSE);
        list.SetSel(0, TRUE);
        list.SetSel(2, TRUE);
        Click(*dialog, GP::IDC_WINDOW_CLOSE);
        afterClose = Entries(*dialog);
        Click(*dialog, IDCANCEL);
    });
    m_actions.PostEndEverything();
    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_LIST);

    EXPECT_EQ((std::vector<std::string>{"*\tA", "\tB", "*\tC"}), before);
    EXPECT_EQ((std::vector<std::string>{"*\tA", "*\tB", "*\tC"}), afterOpen);
    EXPECT_FALSE(b.IsIconic());
    // A is gone; C refused to close and stays listed.
    EXPECT_EQ((std::vector<std::string>{"*\tB", "*\tC"}), afterClose);
    EXPECT_FALSE(a.GetSafeHwnd());
    EXPECT_NE("", GetProfileString("Window", "WindowListDialogSize"));
}

TEST_F(WindowListTest, TileKeepsTheSelectedChildrenAndMinimizesTheRest)
{
    CTestChild& a = Add("A");
    CTestChild& b = Add("B");
    CTestChild& c = Add("C");
    m_actions.Post([&] {
        GP::CWindowListDlg* dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        dialog->GetList()->SetSel(-1, FALSE);
        dialog->GetList()->SetSel(0, TRUE);
        dialog->GetList()->SetSel(2, TRUE);
        Click(*dialog, GP::IDC_WINDOW_TILE_VERT);
        Click(*dialog, IDCANCEL);
    });
    m_actions.PostEndEverything();
    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_LIST);

    EXPECT_TRUE(b.IsIconic());
    CRect client, ra, rc;
    m_frame.GetMDIClientRect(&client);
    a.GetFrameRect(&ra);
    c.GetFrameRect(&rc);
    EXPECT_EQ(client.Height(), ra.Height());
    EXPECT_EQ(client.Width(), ra.Width() + rc.Width());
    EXPECT_EQ(0, std::min(ra.left, rc.left));
}
}

namespace
{
std::vector<std::string> MenuTexts(const CMenu& menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < menu.GetMenuItemCount(); ++i)
        texts.push_back(menu.GetMenuString(static_cast<UINT>(i), MF_BYPOSITION));
    return texts;
}

TEST_F(WindowListTest, WindowMenuIsRebuiltEachTimeItOpens)
{
    CMenu placeholder;
    placeholder.CreatePopupMenu();
    CMenu window;
    window.CreatePopupMenu();
    window.AppendMenu(MF_POPUP, &placeholder, "Move to &Top\tCtrl+G");
    window.AppendMenu(MF_STRING, GP::ID_WINDOW_LIST, "&Window List...");
    window.AppendMenu(MF_STRING, ID_WINDOW_ARRANGE, "&Arrange Icons");
    window.AppendMenu(MF_STRING, 57613, "stale entry the system once added");
    m_frame.SetWindowMenu(&window);

    Add("A");
    m_frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(&window));
    EXPECT_EQ((std::vector<std::string>{"Move to &Top\tCtrl+G", "&Window List...", "&Arrange Icons"}),
              MenuTexts(window));
    ASSERT_TRUE(window.GetMenuState(0, MF_BYPOSITION) & MF_POPUP);
    ASSERT_NE(nullptr, window.GetSubMenu(0));
    EXPECT_EQ(std::vector<std::string>{"&0\tA"}, MenuTexts(*window.GetSubMenu(0)));

    // Opening again after another child came lists both, the active one checked.
    Add("B");
    m_frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(&window));
    ASSERT_EQ(3, window.GetMenuItemCount());
    CMenu& go = *window.GetSubMenu(0);
    EXPECT_EQ((std::vector<std::string>{"&0\tA", "&1\tB"}), MenuTexts(go));
    EXPECT_TRUE(go.GetMenuState(1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(GP::ID_WINDOW_GO_FIRST + 1, go.GetMenuItemID(1));

    // Other menus opening leave the Window menu alone.
    CMenu other;
    other.CreatePopupMenu();
    Add("C");
    m_frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(&other));
    EXPECT_EQ(2, window.GetSubMenu(0)->GetMenuItemCount());
    m_frame.SetWindowMenu(nullptr);
}

TEST_F(WindowListTest, FrameTheUserMustNotCloseStaysOpen)
{
    CTestChild& main = Add("Main");
    main.m_userClosable = false;
    CTestChild& other = Add("Other");

    // Its close button (or Ctrl+F4) asks it to close: refused.
    main.SendMessage(WM_CLOSE);
    EXPECT_TRUE(main.GetSafeHwnd());

    std::vector<std::string> afterClose;
    m_actions.Post([&] {
        GP::CWindowListDlg* dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        dialog->GetList()->SetSel(-1, TRUE);
        Click(*dialog, GP::IDC_WINDOW_CLOSE);
        afterClose = Entries(*dialog);
        Click(*dialog, IDCANCEL);
    });
    m_actions.PostEndEverything();
    m_frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_LIST);

    EXPECT_EQ(std::vector<std::string>{"*\tMain"}, afterClose);
    EXPECT_TRUE(main.GetSafeHwnd());
    EXPECT_FALSE(other.GetSafeHwnd());
    // The program itself can still take it down when it ends.
    EXPECT_TRUE(main.DestroyWindow());
}
}
