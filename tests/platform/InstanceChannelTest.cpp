// The single-instance guard across real processes: each test starts the helper program
// (InstanceChannelHelper.cpp) as first and second instance on a channel in its own temporary
// folder, and waits for the lines the helpers print, with a generous bound.
#include "platform/InstanceChannel.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int kBoundMs = 30000;

class CHelperProcess
{
public:
    explicit CHelperProcess(const std::vector<std::string>& arguments)
    {
        int toChild[2];
        int fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0)
        {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            std::vector<char*> argv;
            std::string program = Q9_INSTANCE_HELPER;
            argv.push_back(program.data());
            std::vector<std::string> copies = arguments;
            for (auto& a : copies)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_in = toChild[1];
        m_out = fromChild[0];
    }

    ~CHelperProcess()
    {
        if (m_pid > 0 && !m_exited)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_in >= 0)
            close(m_in);
        if (m_out >= 0)
            close(m_out);
    }

    // The next line the helper prints, or "<none>" when it printed none within the bound.
    std::string ReadLine(int boundMs = kBoundMs)
    {
        for (;;)
        {
            const size_t end = m_pending.find('\n');
            if (end != std::string::npos)
            {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 1);
                return line;
            }
            pollfd watch{m_out, POLLIN, 0};
            if (poll(&watch, 1, boundMs) <= 0)
                return "<none>";
            char buffer[256];
            const ssize_t got = read(m_out, buffer, sizeof buffer);
            if (got <= 0)
                return "<none>";
            m_pending.append(buffer, static_cast<size_t>(got));
        }
    }

    void WriteLine(const std::string& line)
    {
        const std::string text = line + "\n";
        ASSERT_EQ(write(m_in, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // The exit code, or -1 when the helper did not end within the bound. Its output closing
    // tells that it ended, so no time is spent polling.
    int Wait(int boundMs = kBoundMs)
    {
        pollfd watch{m_out, POLLIN, 0};
        for (;;)
        {
            if (poll(&watch, 1, boundMs) <= 0)
                return -1;
            char buffer[256];
            const ssize_t got = read(m_out, buffer, sizeof buffer);
            if (got <= 0)
                break;
            m_pending.append(buffer, static_cast<size_t>(got));
        }
        int status = 0;
        if (waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void Crash()
    {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_exited = true;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    bool m_exited = false;
    std::string m_pending;
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
    first.WriteLine("go");
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
