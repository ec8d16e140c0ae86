// The editor's small windows and records: script location, progress window and splash window.
#include "editor/CScriptLocation.h"
#include "editor/CSplashWindow.h"
#include "editor/CViewUpdateProgress.h"
#include "editor/EditorNames.h"
#include "editor/EditorResources.h"
#include "editor/EditorTextWindows.h"
#include "platform/Controls.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "platform/UiDriver.h"
#include "platform/Wnd.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/progress/CProgressBarB.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

TEST(ScriptLocation, FolderAndFileNameChangeIndependently)
{
    CScriptLocation& location = CScriptLocation::GetInstance();
    const std::string saved = location.GetPath();
    location.SetFolder("/opt/q9/Script/Q9EE/");
    location.SetFileName("Script.xml");
    EXPECT_EQ(location.GetPath(), "/opt/q9/Script/Q9EE/Script.xml");
    EXPECT_EQ(location.GetFolder(), "/opt/q9/Script/Q9EE/");
    EXPECT_EQ(location.GetFileName(), "Script.xml");
    location.SetFolder("/tmp/other/");
    EXPECT_EQ(location.GetPath(), "/tmp/other/Script.xml");
    location.SetFileName("Test.xml");
    EXPECT_EQ(location.GetPath(), "/tmp/other/Test.xml");
    // A script that does not exist cannot be read.
    EXPECT_FALSE(location.Read());
    location.SetFolder(saved.substr(0, saved.rfind('/') + 1));
    location.SetFileName(saved.substr(saved.rfind('/') + 1));
}

namespace
{
class ProgressWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, "owner", WS_CAPTION, CRect(10, 10, 200, 100), nullptr));
        m_owner.ShowWindow(SW_SHOW);
        m_owner.SetActiveWindow();
    }
    void TearDown() override
    {
        if (m_window.IsShown())
            m_window.End();
        m_owner.DestroyWindow();
        PumpAllMessages();
    }

    CWnd m_owner;
    CProgressBarB& m_window = CProgressBarB::GetWindow();
};

class CPostedMessageWindow : public CWnd
{
public:
    int received = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER)
            ++received;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};
}

TEST_F(ProgressWindowTest, OneProcessWideWindowBehindTheProgressInterface)
{
    EXPECT_EQ(&CProgressBarB::GetInstance(), static_cast<GT::IProgress*>(&m_window));
    GT::IProgress& progress = CProgressBarB::GetInstance();
    progress.SetTitle("Transfer");
    progress.SetMessage("Now, getting data.");
    progress.SetRange(4);
    progress.Begin();
    ASSERT_TRUE(m_window.IsShown());
    EXPECT_EQ(m_window.GetTemplateId(), IDD_PROGRESS);
    EXPECT_EQ(m_window.GetDlgItemText(IDC_PROGRESS_MESSAGE), "Now, getting data.");
    EXPECT_EQ(m_window.GetWindowText(), "Transfer");
    auto* bar = dynamic_cast<CProgressCtrl*>(m_window.GetDlgItem(IDC_PROGRESS_BAR));
    ASSERT_NE(bar, nullptr);
    progress.Step();
    progress.Step();
    EXPECT_EQ(progress.GetPos(), 2);
    EXPECT_FALSE(m_owner.IsWindowEnabled()) << "the owner is disabled while the window shows";
    progress.End();
    EXPECT_FALSE(m_window.IsShown());
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    // The same object serves the next transfer.
    progress.Begin();
    EXPECT_TRUE(m_window.IsShown());
    EXPECT_EQ(progress.GetPos(), 0);
    progress.End();
}

TEST_F(ProgressWindowTest, MidiDeliveriesWaitWhileTheWindowPumps)
{
    CPostedMessageWindow target;
    ASSERT_TRUE(target.CreateMessageWindow());
    GT::IProgress& progress = CProgressBarB::GetInstance();
    progress.SetRange(10);
    progress.Begin();
    target.PostMessage(WM_USER, 0, 0);
    progress.SetPos(5);
    progress.SetMessage("Now, synchronizing data.");
    EXPECT_FALSE(progress.IsCanceled());
    EXPECT_EQ(target.received, 0);
    progress.End();
    PumpAllMessages();
    EXPECT_EQ(target.received, 1);
    target.DestroyWindow();
}

TEST_F(ProgressWindowTest, CancelCountsOnlyWhenCancelable)
{
    GT::IProgress& progress = CProgressBarB::GetInstance();
    for (const bool cancelable : {false, true})
    {
        SCOPED_TRACE(cancelable ? "cancelable" : "not cancelable");
        progress.SetCancelable(cancelable);
        progress.Begin();
        CWnd* cancel = m_window.GetDlgItem(IDCANCEL);
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->IsWindowVisible() != FALSE, cancelable);
        m_window.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_EQ(progress.IsCanceled(), cancelable);
        EXPECT_TRUE(m_window.IsShown()) << "Cancel leaves the window to the operation";
        progress.End();
    }
    progress.SetCancelable(false);
}

TEST_F(ProgressWindowTest, LongViewRefreshReportsToTheProgressWindow)
{
    IVeyUpdateProgress& update = CViewUpdateProgress::GetInstance();
    update.SetRange(3);
    update.SetMessage("Updating.");
    update.Begin();
    ASSERT_TRUE(m_window.IsShown());
    EXPECT_EQ(m_window.GetDlgItemText(IDC_PROGRESS_MESSAGE), "Updating.");
    update.Step();
    EXPECT_EQ(update.GetPos(), 1);
    EXPECT_EQ(m_window.GetPos(), 1);
    update.End();
    EXPECT_FALSE(m_window.IsShown());
}

namespace
{
class SplashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CBitmap picture;
        ASSERT_TRUE(picture.CreateBitmap(40, 30));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                picture.GetRow(y)[x] = 0xFF3366CCu;
        ASSERT_TRUE(picture.SaveFile(m_folder.File("splash.png").c_str(), "PNG"));
        RegisterBitmapResource(IDB_SPLASH, m_folder.File("splash.png"));
    }
    void TearDown() override
    {
        CSplash::GetInstance().Close();
        RegisterBitmapResource(IDB_SPLASH, "");
        PumpAllMessages();
    }

    CTempDir m_folder;
    CVirtualClock m_clock;
};
}

TEST_F(SplashTest, ShowsThePictureAtItsSizeUntilClosed)
{
    CSplash& splash = CSplash::GetInstance();
    splash.Show(IDB_SPLASH, IDR_MAINFRAME, 0);
    ASSERT_TRUE(splash.IsShown());
    CSplashWindow* window = splash.GetWindow();
    EXPECT_TRUE(window->IsWindowVisible());
    CRect client;
    window->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 40);
    EXPECT_EQ(client.Height(), 30);
    EXPECT_EQ(window->GetWindowText(), "Talvarix Editor");
    // A second Show keeps the one window.
    splash.Show(IDB_SPLASH, IDR_MAINFRAME, 0);
    EXPECT_EQ(splash.GetWindow(), window);
    splash.Refresh();
    splash.Close();
    EXPECT_FALSE(splash.IsShown());
    EXPECT_EQ(m_clock.SleptMilliseconds(), 0u) << "a minimum time of 0 never waits";
    // Closing again, as the exit does, is harmless.
    splash.Close();
    EXPECT_FALSE(splash.IsShown());
}

TEST_F(SplashTest, CloseWaitsOutTheMinimumTime)
{
    CSplash& splash = CSplash::GetInstance();
    splash.Show(IDB_SPLASH, IDR_MAINFRAME, 500);
    m_clock.Advance(200);
    splash.Close();
    EXPECT_EQ(m_clock.SleptMilliseconds(), 300u);
    EXPECT_FALSE(splash.IsShown());
}

TEST_F(SplashTest, MissingPictureShowsNothingAndStartUpGoesOn)
{
    RegisterBitmapResource(IDB_SPLASH, m_folder.File("missing.bmp"));
    CSplash& splash = CSplash::GetInstance();
    splash.Show(IDB_SPLASH, IDR_MAINFRAME, 0);
    EXPECT_FALSE(splash.IsShown());
    splash.Refresh();
    splash.Close();
    EXPECT_FALSE(splash.IsShown());
}

TEST(TimerTextOutWindow, OneWindowForTheNotices)
{
    UL::CTimerTextOutWindow& window = GetTimerTextOutWindow();
    EXPECT_EQ(&window, &GetTimerTextOutWindow());
    window.Write("MIDI connect error.");
    ASSERT_NE(window.GetWindow(), nullptr);
    EXPECT_EQ(window.GetWindow()->m_text, "MIDI connect error.");
    ReleaseTimerTextOutWindow();
    EXPECT_EQ(window.GetWindow(), nullptr);
}

TEST(SplashPicture, TheBuildPlacesTheStartUpPictureBesideTheProgram)
{
    // The program's folder, where the build draws Resources/Bitmap3074.bmp.
    const std::string program = Q9EE_PROGRAM;
    SetProgramFolder(program.substr(0, program.rfind('/')));
    CSplash& splash = CSplash::GetInstance();
    splash.Show(IDB_SPLASH, IDR_MAINFRAME, 0);
    SetProgramFolder("");
    ASSERT_TRUE(splash.IsShown());
    CRect client;
    splash.GetWindow()->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 420);
    EXPECT_EQ(client.Height(), 220);
    mkdir("screenshots", 0755);
    EXPECT_TRUE(UiDriver::SaveWindowPicture(*splash.GetWindow(), "screenshots/editor-splash.png"));
    splash.Close();
    EXPECT_FALSE(splash.IsShown());
}
