// The desktop's opener behind ShellOpen: a stand-in xdg-open on the PATH takes the path and ends
// with the status a real one gives, and ShellOpen reports the outcome when it ends; without any
// opener, ShellOpen says at once that nothing could be started.
#include "platform/ShellOpen.h"
#include "tests/support/TempDir.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace
{
// PATH set to one folder for the scope.
class CScopedPath
{
public:
    explicit CScopedPath(const std::string& folder)
    {
        if (const char* old = std::getenv("PATH"))
            m_old = old;
        setenv("PATH", folder.c_str(), 1);
    }
    ~CScopedPath() { setenv("PATH", m_old.c_str(), 1); }

private:
    std::string m_old;
};

void WriteOpener(const std::string& path, const std::string& body)
{
    ASSERT_TRUE(WriteFileBytes(path, "#!/bin/sh\n" + body + "\n"));
    chmod(path.c_str(), 0700);
}
}

TEST(ShellOpenDesktop, TheOpenersExitStatusIsReportedAndNoOpenerMeansNothingStarted)
{
    CTempDir folder;
    const std::string received = folder.File("received");
    const struct
    {
        const char* name;
        std::string body;
        bool opened;
    } cases[] = {
        {"a viewer shows the file", "printf '%s' \"$1\" > '" + received + "'; exit 0", true},
        {"no application for the file", "exit 3", false},
    };
    CScopedPath path(folder.Path());
    const std::string manual = "/opt/q9/Manual/Talvarix Editor Manual.pdf";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteOpener(folder.File("xdg-open"), c.body);
        std::optional<bool> outcome;
        QEventLoop loop;
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        ASSERT_TRUE(ShellOpen(manual, [&](bool opened) {
            outcome = opened;
            loop.quit();
        }));
        if (!outcome)
            loop.exec();
        ASSERT_TRUE(outcome.has_value()) << "the opener's end was not reported";
        EXPECT_EQ(*outcome, c.opened);
    }
    EXPECT_EQ(ReadFileBytes(received), manual) << "the path reaches the opener as one argument";

    std::remove(folder.File("xdg-open").c_str());
    bool called = false;
    EXPECT_FALSE(ShellOpen(manual, [&](bool) { called = true; }));
    EXPECT_FALSE(called);
}
