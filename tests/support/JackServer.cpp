#include "tests/support/JackServer.h"

#include "platform/MidiBackend.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;

bool Contains(const std::vector<CMidiPortEntry>& ports, const std::string& name)
{
    return std::any_of(ports.begin(), ports.end(), [&](const CMidiPortEntry& p) { return p.name == name; });
}
}

namespace
{
// One server at a time on this machine: JACK servers started side by side by parallel tests
// share the client library's global state (shared memory registry, promiscuous ports) and can
// fail each other's start. The lock is held until the server has gone.
std::string LockPath()
{
    const char* temp = std::getenv("TMPDIR");
    return std::string(temp && *temp ? temp : "/tmp") + "/q9-jack-dummy-server.lock";
}

// The servers that take turns under one lock share one name: JACK's registry has room for eight
// server names and frees the entry of a server that died without unregistering only when a server
// of the same name starts.
std::string ServerName(const std::string& lockPath)
{
    return "q9test-" + std::to_string(std::hash<std::string>{}(lockPath) % 100000);
}
}

CJackDummyServer::CJackDummyServer(std::string jackd) : m_jackd(std::move(jackd)), m_name(ServerName(LockPath())) {}

bool CJackDummyServer::IsMissing() const { return access(m_jackd.c_str(), X_OK) != 0; }

CJackDummyServer::~CJackDummyServer()
{
    if (m_pid > 0)
    {
        kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (waitpid(m_pid, nullptr, WNOHANG) == 0)
        {
            if (Clock::now() > deadline)
            {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
                break;
            }
            usleep(10000);
        }
    }
    if (m_hadDefault)
        setenv("JACK_DEFAULT_SERVER", m_savedDefault.c_str(), 1);
    else
        unsetenv("JACK_DEFAULT_SERVER");
    if (m_lock >= 0)
        close(m_lock);   // lets the next test's server start
}

bool CJackDummyServer::IsRunning()
{
    if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == m_pid)
        m_pid = -1;
    return m_pid > 0;
}

std::string CJackDummyServer::Start()
{
    if (IsMissing())
        return "jackd is not installed";
    const std::string lockPath = LockPath();
    m_lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lock >= 0)
        while (flock(m_lock, LOCK_EX) != 0 && errno == EINTR)
        {
        }
    const char* previous = std::getenv("JACK_DEFAULT_SERVER");
    m_hadDefault = previous != nullptr;
    m_savedDefault = previous ? previous : "";
    setenv("JACK_DEFAULT_SERVER", m_name.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    std::vector<std::string> arguments = {m_jackd, "--no-realtime", "-n", m_name, "-d", "dummy", "-r", "48000", "-p", "256"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (m_pid <= 0)
        return "jackd could not be started";

    // The server is up once a client can connect and list ports.
    std::unique_ptr<IMidiBackend> probe = CreateRtMidiBackend(EMidiApi::Jack, "Q9 Test Probe");
    const auto deadline = Clock::now() + std::chrono::milliseconds(kBoundMs);
    for (;;)
    {
        probe->GetOutputPorts();
        if (probe->GetProblem().empty())
            return std::string();
        if (!IsRunning())
            return "the JACK server with the dummy driver did not start here";
        if (Clock::now() > deadline)
            return "the JACK server did not answer: " + probe->GetProblem();
        usleep(50000);
    }
}

bool CJackDummyServer::WaitForPorts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                                    int boundMs) const
{
    std::unique_ptr<IMidiBackend> probe = CreateRtMidiBackend(EMidiApi::Jack, "Q9 Test Probe");
    const auto deadline = Clock::now() + std::chrono::milliseconds(boundMs);
    for (;;)
    {
        const std::vector<CMidiPortEntry> listedOutputs = probe->GetOutputPorts();
        const std::vector<CMidiPortEntry> listedInputs = probe->GetInputPorts();
        const bool all =
            std::all_of(outputs.begin(), outputs.end(), [&](const std::string& p) { return Contains(listedOutputs, p); }) &&
            std::all_of(inputs.begin(), inputs.end(), [&](const std::string& p) { return Contains(listedInputs, p); });
        if (all)
            return true;
        if (Clock::now() > deadline)
            return false;
        usleep(50000);
    }
}
