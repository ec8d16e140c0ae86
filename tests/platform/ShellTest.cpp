#include "platform/ShellOpen.h"
#include "platform/SystemFolders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

TEST(ShellOpen, TestsRouteOpensAwayFromTheDesktop)
{
    std::vector<std::string> opened;
    SetShellOpenHandler([&opened](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    EXPECT_TRUE(ShellOpen("/opt/q9/Manual/TalvarixEditorManualE.pdf"));
    SetShellOpenHandler(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "/opt/q9/Manual/TalvarixEditorManualE.pdf");
    // Without a desktop (no GUI application in this process) nothing is opened.
    EXPECT_FALSE(ShellOpen("/opt/q9/Manual/TalvarixEditorManualE.pdf"));
}

namespace
{
// Sets an environment variable for the scope and restores it afterwards.
class CScopedEnvironment
{
public:
    CScopedEnvironment(const char* name, const std::string& value) : m_name(name)
    {
        const char* previous = std::getenv(name);
        m_had = previous != nullptr;
        if (m_had)
            m_previous = previous;
        setenv(name, value.c_str(), 1);
    }
    ~CScopedEnvironment()
    {
        if (m_had)
            setenv(m_name, m_previous.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had = false;
    std::string m_previous;
};
}

TEST(SystemFolders, SpecialFoldersMapToXdgFolders)
{
    CTempDir data;
    CTempDir config;
    CScopedEnvironment dataHome("XDG_DATA_HOME", data.Path());
    CScopedEnvironment configHome("XDG_CONFIG_HOME", config.Path());
    const struct
    {
        const char* name;
        int csidl;
        std::string folder;
    } cases[] = {
        {"local application data", CSIDL_LOCAL_APPDATA, data.Path()},
        {"application data", CSIDL_APPDATA, data.Path()},
        {"Windows folder", CSIDL_WINDOWS, config.Path()},
        {"unknown id", 0x7777, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetSpecialFolder(c.csidl), c.folder);
    }
    EXPECT_NE(GetProgramFilePath().find("/test_platform_core"), std::string::npos);
}
