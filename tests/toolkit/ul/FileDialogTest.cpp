#include "toolkit/ul/FileDialogA.h"

#include "InteractiveTestSupport.h"

#include "platform/Dialog.h"
#include "platform/Profile.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using UL::CFileDialogA;

TEST(FileDialogFilter, TextsFromDescriptionAndPattern)
{
    struct Case
    {
        const char* name;
        const char* description;
        const char* pattern;
        const char* text;
    } cases[] = {
        {"description with Files stays", "All Files", "*.*", "All Files (*.*)|*.*|"},
        {"dot pattern gets a star", "Standard MIDI Files", ".mid", "Standard MIDI Files (*.mid)|*.mid|"},
        {"Files is added", "Patch", "*.tvx", "Patch Files (*.tvx)|*.tvx|"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CFileDialogA::CFilter(c.description, c.pattern).ToString(), c.text);
    }
    const CFileDialogA::CFilterList list{{"Patch", ".tvx"}, {"All Files", "*.*"}};
    EXPECT_EQ(list.ToString(), "Patch Files (*.tvx)|*.tvx|All Files (*.*)|*.*||");
}

TEST(FileDialogSettings, DefaultsForOpenAndSave)
{
    CFileDialogA open(true, ".tvx", "", 0, "", "", nullptr);
    CFileDialogA save(false, "tvx", "", 0, "", "", nullptr);
    CFileDialogA custom(false, "", "", OFN_PATHMUSTEXIST, "", "Export", nullptr);
    EXPECT_EQ(open.GetTitle(), "Open");
    EXPECT_EQ(save.GetTitle(), "Save As");
    EXPECT_EQ(custom.GetTitle(), "Export");
    EXPECT_EQ(open.m_ofn.lpstrDefExt, "tvx") << "the dialog gets the extension without its dot";
    EXPECT_TRUE(open.GetFlags() & OFN_FILEMUSTEXIST);
    EXPECT_FALSE(open.GetFlags() & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(save.GetFlags() & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(custom.GetFlags(), OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK);
    EXPECT_EQ(open.GetSystemFilter(), std::string("All Files (*.*)\0*.*\0\0", 21)) << "empty filter: all files";
}

class FileDialogRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProfileFolder(profile.Path());
        std::ofstream(files.Path() + "/bank.tvx") << "x";
    }
    void TearDown() override { SetProfileFolder(""); }

    CTempDir profile;
    CTempDir files;
    UlTest::CPostedActions actions;
};

TEST_F(FileDialogRun, CaptionFollowsTheFolderAndCancelStillStoresTheFilterIndex)
{
    CFileDialogA dialog(false, "tvx", "", 0, CFileDialogA::CFilterList{{"Patch", ".tvx"}, {"All Files", "*.*"}}, "");
    dialog.SetProfileKey("Document", "InitialFilterIndex", 1);
    dialog.SetInitialDir("/");
    std::string firstCaption, caption;
    actions.Post([&] {
        firstCaption = UiDriver::GetFileDialogCaption();
        UiDriver::EnterFileDialogFolder(files.Path());
        caption = UiDriver::GetFileDialogCaption();
        UiDriver::SelectFileDialogFilter(1);
        UiDriver::FinishFileDialog("", false);
    });
    actions.PostEndEverything();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(firstCaption, "Save As - /");
    EXPECT_EQ(caption, "Save As - " + files.Path() + "/");
    EXPECT_EQ(GetProfileInt("Document", "InitialFilterIndex", -1), 2) << "kept though the dialog was cancelled";

    CFileDialogA again(true, "", "", 0, "", "");
    again.SetProfileKey("Document", "InitialFilterIndex", 1);
    EXPECT_EQ(again.GetFilterIndex(), 2) << "the next dialog starts with the remembered filter";
}

TEST_F(FileDialogRun, OpenReturnsTheChosenPath)
{
    CFileDialogA dialog(true, "tvx", "", 0, CFileDialogA::CFilterList{{"Patch", ".tvx"}}, "Open Bank");
    dialog.SetInitialDir(files.Path());
    actions.Post([&] { UiDriver::FinishFileDialog("bank.tvx", true); });
    actions.PostEndEverything();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), files.Path() + "/bank.tvx");
}

// A dialog without a title of its own names what it does in the user's language.
TEST_F(FileDialogRun, AnUntitledDialogNamesItsActionInTheUsersLanguage)
{
    struct SCase
    {
        const char* locale;
        bool open;
        const char* caption;
    };
    const SCase cases[] = {
        {"C", true, "Open"},
        {"C", false, "Save As"},
        {"ja_JP.UTF-8", true, "開く"},
        {"ja_JP.UTF-8", false, "名前を付けて保存"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.locale) + (c.open ? " open" : " save"));
        const CScopedLocale locale(c.locale);
        CFileDialog dialog(c.open ? TRUE : FALSE);
        dialog.m_ofn.lpstrInitialDir = files.Path();
        std::string caption;
        actions.Post([&caption] {
            caption = UiDriver::GetFileDialogCaption();
            UiDriver::FinishFileDialog("", false);
        });
        actions.PostEndEverything();
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(caption, c.caption);
    }
}
