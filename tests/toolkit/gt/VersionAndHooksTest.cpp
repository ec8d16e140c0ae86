#include "toolkit/gt/SystemHooks.h"
#include "toolkit/gt/VersionInfo.h"
#include "generated/Version.h"
#include "platform/Profile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(VersionInfo, BuildVersionAndProgramEntries)
{
    EXPECT_EQ(GT::GetVersionString("FileVersion"), std::string(Q9_VERSION_STRING) + ".0");
    // The about box reads the product version as four numbers separated by commas.
    int parts[4] = {-1, -1, -1, -1};
    ASSERT_EQ(std::sscanf(GT::GetVersionString("ProductVersion").c_str(), "%d,%d,%d,%d", &parts[0], &parts[1],
                          &parts[2], &parts[3]),
              4);
    EXPECT_EQ(parts[0], Q9_VERSION_MAJOR);
    EXPECT_EQ(parts[3], 0);
    EXPECT_EQ(GT::GetVersionString("NoSuchKey"), "");

    GT::SetVersionString("FileDescription", "Talvarix Librarian");
    EXPECT_EQ(GT::GetVersionString("FileDescription"), "Talvarix Librarian");
    EXPECT_EQ(GT::GetModuleVersionString("FileDescription"), "Talvarix Librarian");
    EXPECT_EQ(GT::GetOsVersionCode(), -1);
}

TEST(VersionInfo, StoredFileVersionTellsAChange)
{
    CTempDir folder;
    SetProfileFolder(folder.Path());
    SetRegistryKey("Vantor");
    SetApplicationName("VersionTest");

    EXPECT_TRUE(GT::IsFileVersionChanged());   // nothing stored yet
    GT::SaveFileVersion();
    EXPECT_EQ(GetProfileString("Version", "FileVersion"), GT::GetVersionString("FileVersion"));
    EXPECT_FALSE(GT::IsFileVersionChanged());
    WriteProfileString("Version", "FileVersion", "0.9.0.0");
    EXPECT_TRUE(GT::IsFileVersionChanged());

    SetProfileFolder("");
    SetRegistryKey("");
    SetApplicationName("");
}

namespace
{
class CCountingHandler : public GT::IDeviceChangeHandler
{
public:
    bool OnVolumeChange(int change, const std::string& drive) override
    {
        last = drive + (change == kArrival ? "+" : "-");
        return true;
    }
    std::string last;
};
}

TEST(SystemHooks, DeviceChangeHandlerFallsBackToTheDefault)
{
    EXPECT_FALSE(GT::IDeviceChangeHandler::GetCurrent().OnVolumeChange(0, "E:"));
    EXPECT_EQ(&GT::IDeviceChangeHandler::GetCurrent(), &GT::IDeviceChangeHandler::GetDefault());
    CCountingHandler handler;
    GT::IDeviceChangeHandler::Install(&handler);
    EXPECT_TRUE(GT::IDeviceChangeHandler::GetCurrent().OnVolumeChange(1, "E:"));
    EXPECT_EQ(handler.last, "E:-");
    GT::IDeviceChangeHandler::Install(nullptr);
    EXPECT_EQ(&GT::IDeviceChangeHandler::GetCurrent(), &GT::IDeviceChangeHandler::GetDefault());

    EXPECT_EQ(GT::CInterProcessCommunicator::GetMessageNameS(), "InterProcessCommunicatorS");
    EXPECT_EQ(GT::CInterProcessCommunicator::GetMessageNameA(), "InterProcessCommunicatorA");
}
