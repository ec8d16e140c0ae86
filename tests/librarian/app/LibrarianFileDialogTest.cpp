// The file dialog of librarian files through the application's Open and Save As: the folder it
// starts in and the filter it remembers.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianFrames.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <sys/stat.h>

using namespace LibrarianCommands;

namespace
{
class LibrarianFileDialogTest : public CLibrarianAppTest
{
protected:
    void SetUp() override
    {
        CLibrarianAppTest::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_EQ(0, mkdir(m_last.c_str(), 0700));
        ASSERT_EQ(0, mkdir(m_own.c_str(), 0700));
    }
    // Runs a command as the menus do; the file dialog's caption, then `finish` ends the dialog.
    std::string Caption(UINT command, std::function<void()> finish)
    {
        std::string caption;
        GpTest::CPostedActions actions;
        actions.Post([&] {
            caption = UiDriver::GetFileDialogCaption();
            finish();
        });
        actions.PostEndEverything();
        m_app->GetMainFrame()->SendMessage(WM_COMMAND, command);
        Idle();
        return caption;
    }

    const std::string m_last = m_files.File("last");
    const std::string m_own = m_files.File("own");
};

TEST_F(LibrarianFileDialogTest, DialogStartsInTheProposedFolderOrTheLastOne)
{
    const auto cancel = [] { UiDriver::FinishFileDialog("", false); };
    // A file saved to its own folder, then a new one; the last folder used is another.
    m_app->OnAppCommand(kFileNew);
    ASSERT_TRUE(FileDocs()[0]->DoSave((m_own + "/saved.q9l").c_str()));
    m_app->OnAppCommand(kFileNew);
    WriteProfileString("Document", "InitialDirectory", m_last);

    EXPECT_EQ("Save As - " + m_last + "/", Caption(kFileSaveAs, cancel)) << "a new file";
    EXPECT_EQ("Open - " + m_last + "/", Caption(kFileOpen, cancel));
    m_app->GetMainFrame()->MDIActivate(FileDocs()[0]->GetFrame());
    EXPECT_EQ("Save As - " + m_own + "/", Caption(kFileSaveAs, cancel)) << "a file that has a folder";

    // Saving the new file where the dialog started.
    m_app->GetMainFrame()->MDIActivate(FileDocs()[1]->GetFrame());
    Caption(kFileSaveAs, [] { UiDriver::FinishFileDialog("named.q9l", true); });
    EXPECT_EQ(m_last + "/named.q9l", FileDocs()[1]->GetPathName());
}

TEST_F(LibrarianFileDialogTest, TheChosenFilterIsKept)
{
    EXPECT_EQ(-1, GetProfileInt("Document", "InitialFilterIndex", -1));
    Caption(kFileOpen, [] {
        UiDriver::SelectFileDialogFilter(1);
        UiDriver::FinishFileDialog("", false);
    });
    EXPECT_EQ(2, GetProfileInt("Document", "InitialFilterIndex", -1)) << "\"All Files\", kept on cancel too";
}
}
