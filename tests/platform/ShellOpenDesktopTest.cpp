// The desktop's opener behind ShellOpen: a stand-in xdg-open takes the path and ends with the
// status a real one gives, and ShellOpen reports the outcome when it ends; without any opener,
// ShellOpen says at once that nothing could be started.
#include "platform/ShellOpen.h"
#include "tests/support/StandInOpener.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(ShellOpenDesktop, TheOpenersExitStatusIsReportedAndNoOpenerMeansNothingStarted)
{
    const struct
    {
        const char* name;
        int exitStatus;
        bool opened;
    } cases[] = {
        {"a viewer shows the file", 0, true},
        {"no application for the file", 3, false},
    };
    CStandInOpener opener(0);
    const std::string manual = "/opt/q9/Manual/Talvarix Editor Manual.pdf";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        opener.SetExitStatus(c.exitStatus);
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
    EXPECT_EQ(opener.OpenedPaths(), manual + "\n" + manual + "\n") << "the path reaches the opener as one argument";

    opener.Remove();
    bool called = false;
    EXPECT_FALSE(ShellOpen(manual, [&](bool) { called = true; }));
    EXPECT_FALSE(called);
}
