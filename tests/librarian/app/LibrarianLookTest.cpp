// Pictures of the librarian as the user sees it, for a person to judge: the main frame with the
// image and a librarian file side by side, a name being edited, and the transfer progress window.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/TransferProgress.h"
#include "platform/UiDriver.h"
#include "platform/Controls.h"
#include "tests/librarian/gp/GpTestSupport.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "toolkit/progress/CProgressBarB.h"

#include <sys/stat.h>

namespace
{
std::string ScreenshotPath(const std::string& name)
{
    mkdir("screenshots", 0755);
    return "screenshots/" + name;
}

const char* const kNames[] = {"Warm Pad", "Glass Bells", "Fat Brass", "Soft Strings", "Dyno EP",  "Rez Sweep",
                              "Bass Drop", "Choir Aahs", "Saw Lead",  "Kalimba",      "Tape Flute", "Sub Bass"};

class LibrarianLookTest : public CLibrarianAppTest
{
};

TEST_F(LibrarianLookTest, MainFrameWithImageAndFileWhileANameIsEdited)
{
    CPatchArray initial;
    initial.Add(std::make_unique<CPatch>(MakeLayoutPatch("INIT PATCH")));
    WriteInitialFile(initial);
    ASSERT_TRUE(Start());
    for (size_t i = 0; i < Image().GetSize(); ++i)
    {
        Image().At(i).SetName(kNames[i % 12]);
        if (i % 5 == 0)
            Image().At(i).SetText(0, "from the factory set");
    }
    ImageDoc().UpdateAllViews();
    m_app->OnAppCommand(LibrarianCommands::kFileNew);
    ASSERT_EQ(1u, FileDocs().size());
    CFileDoc& file = *FileDocs()[0];
    CPatchArray& patches = file.GetData().GetCurrent().GetPatches();
    for (size_t i = 0; i < 6; ++i)
    {
        patches.Add(Image()[i * 3].Clone());
        patches.At(i).SetText(1, i % 2 ? "live set" : "studio");
    }
    file.SetModifiedFlag(TRUE);
    file.UpdateAllViews();
    CMainFrame& frame = *m_app->GetMainFrame();
    frame.MoveWindow(CRect(0, 0, 1100, 560));
    frame.MDITile(ID_WINDOW_TILE_VERT);
    Idle();
    CPatchListCtrl& list = ViewOf(file).GetList();
    SelectRows(ViewOf(file), {2});
    ASSERT_TRUE(list.BeginEdit(2, 1));
    ASSERT_TRUE(UiDriver::TypeText("Fat Brass 2"));
    Idle();
    EXPECT_TRUE(UiDriver::SaveWindowPicture(frame, ScreenshotPath("librarian-main.png")));
    EXPECT_TRUE(list.EndEdit(true));
    EXPECT_EQ("Fat Brass 2 ", patches.At(2).GetName());
}

TEST_F(LibrarianLookTest, TransferProgressWindow)
{
    ASSERT_TRUE(Start());
    CProgressBarB& window = CProgressBarB::GetWindow();
    {
        CTransferProgress progress(&CProgressBarB::GetInstance(), 256);
        for (int i = 0; i < 100; ++i)
            progress.StepPatch();
        ASSERT_TRUE(progress.BeginBlock("User Patch 4-5: TONE 3"));
        Idle();
        EXPECT_TRUE(UiDriver::SaveWindowPicture(window, ScreenshotPath("librarian-progress.png")));
    }
    EXPECT_FALSE(window.IsShown());
}
}

namespace
{
TEST_F(LibrarianLookTest, WarningBeforeAWrite)
{
    ASSERT_TRUE(Start());
    CMidiWarningDlg::SetAnswerHook(nullptr);
    GpTest::CPostedActions actions;
    actions.Post([] {
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* dialog = dynamic_cast<CDialog*>(window);
                dialog && dialog->GetTemplateId() == LibrarianIds::kWarningDialog)
            {
                EXPECT_TRUE(UiDriver::SaveWindowPicture(*dialog, ScreenshotPath("librarian-warning.png")));
                if (auto* button = dynamic_cast<CButton*>(dialog->GetDlgItem(IDCANCEL)))
                    button->Click();
            }
    });
    actions.PostEndEverything();
    EXPECT_FALSE(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, m_app->GetMainFrame()));
}
}
