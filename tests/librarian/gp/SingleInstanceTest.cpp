#include "librarian/gp/SingleInstance.h"

#include "librarian/gp/VersionStrings.h"
#include "platform/InstanceChannel.h"
#include "platform/WinApp.h"
#include "platform/WindowPlacement.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include "tests/support/ChildProcess.h"

#include <string>
#include <unistd.h>
#include <vector>

namespace
{
class SingleInstanceTest : public GpTest::CProfileFixture
{
protected:
    void TearDown() override
    {
        GP::CSingleInstance::ReleaseChannel();
        GpTest::CProfileFixture::TearDown();
    }
};

TEST_F(SingleInstanceTest, SecondInstanceHandsOverAndBringsTheFirstForward)
{
    CWinApp app("GuardTest");
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, "Main", WS_CAPTION | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr));
    app.m_pMainWnd = &main;
    ShowWindowState(&main, SW_MINIMIZE);

    std::vector<std::string> received;
    {
        GP::CSingleInstance first("", "GuardTest", m_folder.Path());
        EXPECT_TRUE(first.IsFirstInstance());
        GP::CSingleInstance::SetCommandHandler([&](const std::string& command) { received.push_back(command); });
    }
    // The guard object is gone; the channel it claimed stays for the life of the process.
    CChildProcess second(Q9_INSTANCE_HELPER, {m_folder.Path(), "GuardTest", "send", "[open(\"a.q9l\")]"});
    EXPECT_EQ("second", second.ReadLine());
    for (int i = 0; i < 3000 && received.empty(); ++i)
    {
        PumpAllMessages();
        usleep(10000);
    }
    EXPECT_EQ(0, second.Wait());
    EXPECT_EQ((std::vector<std::string>{"[open(\"a.q9l\")]"}), received);
    EXPECT_FALSE(IsIconic(&main));
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST_F(SingleInstanceTest, FileVersionIsStoredInTheProfile)
{
    EXPECT_FALSE(GP::GetVersionString("FileVersion").empty());
    EXPECT_TRUE(GP::IsFileVersionChanged());
    GP::StoreFileVersion();
    EXPECT_EQ(GP::GetVersionString("FileVersion"), GetProfileString("Version", "FileVersion"));
    EXPECT_FALSE(GP::IsFileVersionChanged());
    WriteProfileString("Version", "FileVersion", "0.0.0.1");
    EXPECT_TRUE(GP::IsFileVersionChanged());
    EXPECT_EQ("", GP::GetVersionString("NoSuchValue"));
}
}
