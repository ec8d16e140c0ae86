// Windows closed from inside their own menus and buttons, and from a dialog's button: a command that destroys the window
// delivering it must leave that window's menu, title bar and buttons alive until the command has
// returned. The librarian's file windows are closed every way a user closes them, then the program
// exits from its menu; under the sanitizers and memcheck a freed menu or frame touched on the way
// out fails the journey.
#include "tests/journeys/JourneyFixture.h"

namespace
{
// The librarian's File menu: New, Open..., Close, Save, Save As..., Duplicate | Export SMF... All
// Data, Export SMF... Selected Data, Import SMF... | Recent File | Exit.
constexpr int kFileMenuX = 20;
constexpr int kFileNew = 0;
constexpr int kFileClose = 2;
constexpr int kFileExit = 10;
constexpr int kFileExitSeparators = 3;
// The n-th window made (Main is the 0th) cascades n steps of 24 pixels from Main's place under the
// bars; its title bar's icon (at the left) opens its system menu, its close button is at the right.
constexpr int kCascadeStep = 24;
constexpr int kIconX = 14;
constexpr int kTitleBarY = 45 + 11;
constexpr int kCloseButtonX = 582;
// The window list's Close and Done buttons.
constexpr int kListCloseX = 324;
constexpr int kListCloseY = 52;
constexpr int kListDoneY = 182;

const char* const kMainTitle = "Talvarix Librarian - Main";
}

class ClosingJourney : public CJourney
{
protected:
    bool Choose(const std::string& main, int entry, int separators)
    {
        return m_desktop->ChooseMenu(main, kFileMenuX, entry, separators, "q9el");
    }

    // File > New: a file window comes forward and names the main window.
    bool NewFile(const std::string& main)
    {
        return Choose(main, kFileNew, 0) &&
               m_desktop->WaitUntil([&] { return m_desktop->Title(main) != kMainTitle; }, Bound());
    }

    bool BackToMain(const std::string& main)
    {
        return m_desktop->WaitUntil([&] { return m_desktop->Title(main) == kMainTitle; }, Bound());
    }
};

TEST_F(ClosingJourney, FileWindowsClosedFromTheirMenusAndTitleBarsThenExitFromTheMenu)
{
    std::unique_ptr<CChildProcess> program = Start(Q9EL_PROGRAM);
    ASSERT_EQ(Milestone(*program, "started"), "");
    const std::string main = m_desktop->WaitForWindow("^Talvarix Librarian - Main$", Bound());
    ASSERT_FALSE(main.empty());

    // File > Close on the file window the menu command belongs to.
    ASSERT_TRUE(NewFile(main));
    m_desktop->Picture(main, "1-new-file");
    ASSERT_TRUE(Choose(main, kFileClose, 0));
    EXPECT_TRUE(BackToMain(main)) << "File > Close";

    // The close button on the file window's title bar.
    ASSERT_TRUE(NewFile(main));
    m_desktop->Click(main, kCloseButtonX + 2 * kCascadeStep, kTitleBarY + 2 * kCascadeStep);
    EXPECT_TRUE(BackToMain(main)) << "the title bar's close button";

    // Close chosen in the file window's system menu, opened from its title bar's icon.
    ASSERT_TRUE(NewFile(main));
    const std::vector<std::string> before = m_desktop->ProgramWindows("q9el");
    m_desktop->Click(main, kIconX + 3 * kCascadeStep, kTitleBarY + 3 * kCascadeStep);
    const std::string menu = m_desktop->WaitForNewWindow("q9el", before, Bound());
    ASSERT_FALSE(menu.empty()) << "no system menu";
    m_desktop->Picture(menu, "2-system-menu");
    m_desktop->KeysHere("c");
    EXPECT_TRUE(BackToMain(main)) << "the system menu's Close";
    m_desktop->Picture(main, "3-closed");

    // The window list's Close button, on the file window it lists as the active one.
    ASSERT_TRUE(NewFile(main));
    m_desktop->Keys(main, "alt+w l");
    const std::string list = m_desktop->WaitForWindow("^Window$", Bound());
    ASSERT_FALSE(list.empty()) << "no window list";
    m_desktop->Picture(list, "4-window-list");
    m_desktop->Click(list, kListCloseX, kListCloseY);
    m_desktop->Picture(list, "5-window-list-after-close");
    m_desktop->Click(list, kListCloseX, kListDoneY);
    EXPECT_TRUE(m_desktop->WaitForNoWindow("^Window$", Bound()));
    // The main window's title follows the active window once the dialog is gone.
    EXPECT_TRUE(BackToMain(main)) << "the window list's Close: " << m_desktop->Title(main);
    m_desktop->Picture(main, "6-after-window-list");

    EXPECT_TRUE(Choose(main, kFileExit, kFileExitSeparators));
    EXPECT_EQ(program->Wait(Bound()), 0);
}
