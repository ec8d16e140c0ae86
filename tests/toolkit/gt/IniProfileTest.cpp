#include "toolkit/gt/IniProfile.h"
#include "platform/Profile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
// Each test gets its own settings file in a temporary folder, never the user's.
class IniProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProfileFolder(m_folder.Path());
        SetRegistryKey("Vantor");
        SetApplicationName("IniProfileTest");
    }
    void TearDown() override
    {
        SetProfileFolder("");
        SetRegistryKey("");
        SetApplicationName("");
    }

    GT::CIniProfile& m_profile = GT::CIniProfile::Instance();
    CTempDir m_folder;
};
}

TEST_F(IniProfileTest, KeysSplitAtTheFirstSeparator)
{
    const struct
    {
        const char* key;
        const char* section;
        const char* entry;
    } cases[] = {
        {"Window/Left", "Window", "Left"},
        {"A/B/C", "A", "B/C"},
        {"NoSeparator", "NoSeparator", "NoSeparator"},
        {"/x", "", "x"},
        {"x/", "x", ""},
        {"MIDIConnection/MIDIIn0", "MIDIConnection", "MIDIIn0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.key);
        std::string section, entry;
        m_profile.SplitKey(c.key, section, entry);
        EXPECT_EQ(section, c.section);
        EXPECT_EQ(entry, c.entry);
        // And the value lands in the application profile under that section and entry.
        m_profile.SetString(c.key, std::string("value of ") + c.key);
        EXPECT_EQ(GetProfileString(c.section, c.entry), std::string("value of ") + c.key);
        EXPECT_EQ(m_profile.GetString(c.key, "default"), std::string("value of ") + c.key);
    }
}

TEST_F(IniProfileTest, IntegersRoundTripAsDecimalText)
{
    EXPECT_EQ(m_profile.GetInt("Window/Left", 5), 5);
    EXPECT_EQ(m_profile.GetInt("Window/Left", -2147483647 - 1), -2147483647 - 1);
    m_profile.SetInt("Window/Left", -3);
    EXPECT_EQ(m_profile.GetInt("Window/Left", 5), -3);
    EXPECT_EQ(GetProfileString("Window", "Left"), "-3");
}

TEST_F(IniProfileTest, StoredTextsReadAsNumbers)
{
    const struct
    {
        const char* stored;
        int32_t expected;
    } cases[] = {{"0x20", 32}, {"010", 8}, {"  -12", -12}, {"abc", 0}, {"", 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        m_profile.SetString("Numbers/n", c.stored);
        EXPECT_EQ(m_profile.GetInt("Numbers/n", 77), c.expected);
    }
}

TEST_F(IniProfileTest, MissingTextsGiveTheDefaultAndStaticHelpersShareTheStore)
{
    EXPECT_EQ(m_profile.GetString("Document/InitialDirectory", "/home"), "/home");
    GT::CIniProfile::WriteString("Document", "InitialDirectory", "/data,with,commas");
    EXPECT_EQ(m_profile.GetString("Document/InitialDirectory", "/home"), "/data,with,commas");
    EXPECT_EQ(GT::CIniProfile::GetString("Document", "InitialDirectory", ""), "/data,with,commas");
    EXPECT_EQ(GT::CIniProfile::GetProfile(), &GT::CIniProfile::Instance());
}
