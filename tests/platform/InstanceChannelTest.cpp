// The single-instance guard across real processes: each test starts the helper program
// (InstanceChannelHelper.cpp) as first and second instance on a channel in its own temporary
// folder, and waits for the lines the helpers print, with a generous bound.
#include "platform/InstanceChannel.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int kBoundMs = CChildProcess::kBoundMs;

// The helper program (arguments: folder, channel name, mode...).
class CHelperProcess : public CChildProcess
{
public:
    explicit CHelperProcess(const std::vector<std::string>& arguments) : CChildProcess(Q9_INSTANCE_HELPER, arguments) {}
    void Crash() { Kill(); }
};

class InstanceChannelTest : public ::testing::Test
{
protected:
    std::vector<std::string> Args(std::vector<std::string> rest) const
    {
        rest.insert(rest.begin(), {m_folder.Path(), "InstanceManagerTest"});
        return rest;
    }
    CTempDir m_folder;
};
}

TEST_F(InstanceChannelTest, SecondStartHandsItsCommandToTheFirst)
{
    CHelperProcess first(Args({"first", "2"}));
    ASSERT_EQ(first.ReadLine(), "first");

    CHelperProcess second(Args({"send", "[open(\"/home/u/a b.q9e\")]"}));
    EXPECT_EQ(second.ReadLine(), "second");
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(first.ReadLine(), "received:[open(\"/home/u/a b.q9e\")]");

    // A start without a document only asks the first instance to come forward.
    CHelperProcess third(Args({"send", ""}));
    EXPECT_EQ(third.ReadLine(), "second");
    EXPECT_EQ(third.Wait(), 0);
    EXPECT_EQ(first.ReadLine(), "received:");
    EXPECT_EQ(first.ReadLine(), "done");
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(InstanceChannelTest, FirstQueuesCommandsUntilItIsReady)
{
    CHelperProcess first(Args({"first", "2", "late"}));
    ASSERT_EQ(first.ReadLine(), "first");
    // Both hand their commands over while the first is still starting and has no handler.
    CHelperProcess secondA(Args({"send", "[open(\"/a.q9l\")]"}));
    EXPECT_EQ(secondA.Wait(), 0);
    CHelperProcess secondB(Args({"send", "[open(\"/b.q9l\")]"}));
    EXPECT_EQ(secondB.Wait(), 0);
    EXPECT_EQ(first.ReadLine(), "queued:2");
    EXPECT_TRUE(first.WriteLine("go"));
    EXPECT_EQ(first.ReadLine(), "received:[open(\"/a.q9l\")]");
    EXPECT_EQ(first.ReadLine(), "received:[open(\"/b.q9l\")]");
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(InstanceChannelTest, CrashedInstanceDoesNotBlockANewStart)
{
    {
        CHelperProcess crashed(Args({"hold"}));
        ASSERT_EQ(crashed.ReadLine(), "first");
        crashed.Crash();   // leaves its socket and lock file behind
    }
    CHelperProcess next(Args({"first", "1"}));
    ASSERT_EQ(next.ReadLine(), "first");
    CHelperProcess second(Args({"send", "[open(\"/x\")]"}));
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(next.ReadLine(), "received:[open(\"/x\")]");
}

TEST_F(InstanceChannelTest, OversizedCommandIsRefusedAndTheChannelStaysUsable)
{
    CHelperProcess first(Args({"first", "1"}));
    ASSERT_EQ(first.ReadLine(), "first");

    // A client that announces 4 GiB is cut off without an answer.
    const int raw = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(raw, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = m_folder.Path() + "/InstanceManagerTest.socket";
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const unsigned char huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 'x'};
    ASSERT_EQ(write(raw, huge, sizeof huge), static_cast<ssize_t>(sizeof huge));
    pollfd watch{raw, POLLIN, 0};
    ASSERT_GT(poll(&watch, 1, kBoundMs), 0);
    char answer = 0;
    EXPECT_EQ(read(raw, &answer, 1), 0);
    close(raw);

    CHelperProcess second(Args({"send", "[open(\"/ok\")]"}));
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(first.ReadLine(), "received:[open(\"/ok\")]");
}

TEST_F(InstanceChannelTest, ChannelsOfOtherNamesAreIndependent)
{
    CHelperProcess a(Args({"hold"}));
    ASSERT_EQ(a.ReadLine(), "first");
    CHelperProcess b({m_folder.Path(), "OtherProgram", "hold"});
    EXPECT_EQ(b.ReadLine(), "first");
}

TEST_F(InstanceChannelTest, SecondClaimInOneProcessIsNotFirst)
{
    CInstanceChannel first("SameProcess", m_folder.Path());
    ASSERT_TRUE(first.IsFirst());
    {
        CInstanceChannel second("SameProcess", m_folder.Path());
        EXPECT_FALSE(second.IsFirst());
        EXPECT_TRUE(second.IsOpen());
        // Handing over is only for a second instance, and a first one has nobody to send to.
        EXPECT_FALSE(first.Send("[open(\"x\")]", 100));
    }
    EXPECT_EQ(first.QueuedCount(), 0u);
}

TEST_F(InstanceChannelTest, UnusableFolderStillLetsTheProgramStart)
{
    CInstanceChannel channel("Any", m_folder.Path() + "/missing/folder");
    EXPECT_TRUE(channel.IsFirst());
    EXPECT_FALSE(channel.IsOpen());
}

// Only this user may connect, whether the folder is private (the runtime folder) or open to
// others; and a client that hangs up halfway through a command does not stop the next one.
TEST_F(InstanceChannelTest, TheSocketIsTheUsersAloneAndACutShortClientDoesNotStopTheNext)
{
    for (const mode_t folderMode : {mode_t(0700), mode_t(0755)})
    {
        SCOPED_TRACE(folderMode);
        CTempDir folder;
        ASSERT_EQ(chmod(folder.Path().c_str(), folderMode), 0);
        CHelperProcess first({folder.Path(), "InstanceManagerTest", "first", "1"});
        ASSERT_EQ(first.ReadLine(), "first");
        const std::string path = folder.Path() + "/InstanceManagerTest.socket";
        struct stat info{};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);

        const int raw = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(raw, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const unsigned char part[] = {0, 0, 0, 9, '[', 'o'};
        ASSERT_EQ(write(raw, part, sizeof part), static_cast<ssize_t>(sizeof part));
        close(raw);

        CHelperProcess second({folder.Path(), "InstanceManagerTest", "send", "[open(\"/ok\")]"});
        EXPECT_EQ(second.Wait(), 0);
        EXPECT_EQ(first.ReadLine(), "received:[open(\"/ok\")]");
        EXPECT_EQ(first.Wait(), 0);
    }
}
