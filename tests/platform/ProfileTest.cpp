#include "platform/Profile.h"
#include "tests/support/SaveFault.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProfileFolder(m_folder.Path());
        SetRegistryKey("Vantor");
        SetApplicationName("Profile Test");
    }
    void TearDown() override
    {
        SetProfileFolder("");
        SetRegistryKey("");
        SetApplicationName("");
    }
    std::string IniPath() const { return m_folder.Path() + "/Vantor/Profile Test.ini"; }

    CTempDir m_folder;
};
}

TEST_F(ProfileTest, FileLiesUnderTheOrganisationAndApplication)
{
    EXPECT_EQ(GetProfileFilePath(), IniPath());
    EXPECT_TRUE(WriteProfileString("MIDIConnection", "MIDIIn0", "Port A"));
    const std::string ini = ReadFileBytes(IniPath());
    EXPECT_NE(ini.find("[MIDIConnection]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("MIDIIn0=Port A"), std::string::npos) << ini;
}

TEST_F(ProfileTest, TextsRoundTripUnchanged)
{
    const struct
    {
        const char* name;
        std::string value;
    } cases[] = {
        {"commas", "10,20,30,40,0"},
        {"comma and spaces", " a , b "},
        {"empty", ""},
        {"ini syntax", "x=1;y=[2]"},
        {"quotes and backslashes", "\"C:\\dir\\\"file\""},
        {"leading at sign", "@Variant(x)"},
        {"utf-8", "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"},
        {"line break", "a\nb"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteProfileString("Values", c.name, c.value));
        EXPECT_EQ(GetProfileString("Values", c.name, "default"), c.value);
    }
    // Read again from the file, not from the cache of the writing object.
    SetProfileFolder("");
    SetProfileFolder(m_folder.Path());
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetProfileString("Values", c.name, "default"), c.value);
    }
}

TEST_F(ProfileTest, HandWrittenCommaListReadsAsOneText)
{
    ASSERT_EQ(mkdir((m_folder.Path() + "/Vantor").c_str(), 0700), 0);
    ASSERT_TRUE(WriteFileBytes(IniPath(), "[TextOutWindow]\nPosition=1,2,3,4,0\n"));
    EXPECT_EQ(GetProfileString("TextOutWindow", "Position"), "1,2,3,4,0");
}

TEST_F(ProfileTest, MissingSettingsGiveTheDefault)
{
    EXPECT_EQ(GetProfileString("Nothing", "Here", "dflt"), "dflt");
    EXPECT_EQ(GetProfileInt("Nothing", "Here", 5), 5);
    // Sections and entries are separate: the same entry name in another section is another setting.
    ASSERT_TRUE(WriteProfileString("A", "x", "1"));
    EXPECT_EQ(GetProfileString("B", "x", "none"), "none");
}

TEST_F(ProfileTest, IntegersAreDecimalText)
{
    ASSERT_TRUE(WriteProfileInt("Window", "Left", -3));
    EXPECT_EQ(GetProfileString("Window", "Left"), "-3");
    EXPECT_EQ(GetProfileInt("Window", "Left", 5), -3);

    const struct
    {
        const char* stored;
        int32_t expected;
    } cases[] = {
        {"42", 42}, {" -7", -7}, {"12px", 12}, {"abc", 99}, {"", 99},
        {"2147483647", 2147483647}, {"2147483648", 99}, {"-2147483649", 99},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(WriteProfileString("Numbers", "n", c.stored));
        EXPECT_EQ(GetProfileInt("Numbers", "n", 99), c.expected);
    }
}

TEST_F(ProfileTest, EntriesWithSlashesAndEmptyNamesStaySeparate)
{
    ASSERT_TRUE(WriteProfileString("A", "B/C", "nested"));
    ASSERT_TRUE(WriteProfileString("A", "B", "plain"));
    ASSERT_TRUE(WriteProfileString("A", "", "unnamed"));
    ASSERT_TRUE(WriteProfileString("Main Frame", "Window Placement;1", "spaces"));
    ASSERT_TRUE(WriteProfileString("General", "x", "general"));
    EXPECT_EQ(GetProfileString("Main Frame", "Window Placement;1"), "spaces");
    EXPECT_EQ(GetProfileString("General", "x"), "general");
    EXPECT_EQ(GetProfileString("A", "B/C"), "nested");
    EXPECT_EQ(GetProfileString("A", "B"), "plain");
    EXPECT_EQ(GetProfileString("A", ""), "unnamed");
}

TEST_F(ProfileTest, FailedWriteIsReported)
{
    // The organisation folder cannot be made when a file stands in its place.
    ASSERT_TRUE(WriteFileBytes(m_folder.Path() + "/Vantor", "not a folder"));
    EXPECT_FALSE(WriteProfileString("Any", "a", "value"));
    EXPECT_FALSE(WriteProfileInt("Any", "b", 1));
    EXPECT_EQ(GetProfileString("Any", "a", "none"), "none");
}

TEST_F(ProfileTest, FailedWriteKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not stop the superuser";
    ASSERT_TRUE(WriteProfileString("Keep", "a", "old"));
    const std::string before = ReadFileBytes(IniPath());
    const std::string folder = m_folder.Path() + "/Vantor";
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    EXPECT_FALSE(WriteProfileString("Keep", "a", "new"));
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(ReadFileBytes(IniPath()), before);
}

TEST_F(ProfileTest, EveryFailedWriteKeepsTheOldFileAndSaysSo)
{
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        SetProfileFolder(folder.Path());
        ASSERT_TRUE(WriteProfileString("Keep", "a", "old"));
        const std::string before = ReadFileBytes(GetProfileFilePath());
        std::filesystem::remove(GetProfileFilePath());
        CSaveFault fault(kind, GetProfileFilePath(), before);
        if (!fault.IsPossible())
            continue;
        // Chosen again, the folder is read afresh.
        SetProfileFolder(folder.Path());
        EXPECT_FALSE(WriteProfileString("Keep", "a", "a new value longer than the disk allows"));
        EXPECT_TRUE(fault.IsUntouched());
    }
}

TEST(Profile, DefaultFolderIsTheXdgConfigFolder)
{
    CTempDir config;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    SetRegistryKey("Vantor");
    SetApplicationName("Talvarix Editor");
    EXPECT_EQ(GetProfileFilePath(), config.Path() + "/Vantor/Talvarix Editor.ini");
    EXPECT_EQ(GetApplicationName(), "Talvarix Editor");
    SetRegistryKey("");
    SetApplicationName("");
    // Without a name set, the program file's name is used.
    EXPECT_EQ(GetApplicationName(), "test_platform_core");
    if (previous)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
