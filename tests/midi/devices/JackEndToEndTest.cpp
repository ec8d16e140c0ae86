// One real inter-process path: a JACK server with the dummy driver, the simulated instrument as a
// separate program with its own JACK MIDI ports, and this program's devices opening those ports by
// name through the RtMidi backend. Waits are bounded generously and end as soon as the event comes.
#include "midi/devices/CMidiInDevice.h"
#include "midi/devices/CMidiOutDevice.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "platform/Messages.h"
#include "platform/MidiBackend.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/JackServer.h"
#include "tests/support/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// A child process, stopped and reaped when the object goes.
class CChild
{
public:
    bool Start(const std::vector<std::string>& arguments, bool keepStdinPipe)
    {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int pipeFds[2] = {-1, -1};
        if (keepStdinPipe && pipe(pipeFds) == 0)
        {
            posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
            posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
        }
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int result = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (pipeFds[0] >= 0)
            close(pipeFds[0]);
        m_stdin = pipeFds[1];
        if (result != 0)
            m_pid = -1;
        return m_pid > 0;
    }

    bool IsRunning()
    {
        if (m_pid <= 0)
            return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_pid = -1;
            return false;
        }
        return true;
    }

    ~CChild() { Stop(); }

    void Stop()
    {
        if (m_stdin >= 0)
            close(m_stdin);
        m_stdin = -1;
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0)
        {
            if (Clock::now() > deadline)
            {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
                break;
            }
            usleep(10000);
        }
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
};

class CRecordingPort final : public CVeyMidiIn
{
public:
    void OnMessage(const Bytes& bytes) override { messages.push_back(bytes); }
    std::vector<Bytes> messages;
};

TEST(JackEndToEnd, DevicesOpenTheInstrumentsPortsByNameRequestAndSendData)
{
    CJackDummyServer server(Q9_JACKD);
    if (const std::string problem = server.Start(); !problem.empty())
    {
        if (server.IsMissing())
            GTEST_SKIP() << problem;
        FAIL() << problem;
    }
    std::unique_ptr<IMidiBackend> backend = CreateRtMidiBackend(EMidiApi::Jack, "Q9 Test");
    CScopedMidiBackend scoped(backend.get());

    CChild instrument;
    ASSERT_TRUE(instrument.Start({Q9_SIM_INSTRUMENT, "--api", "jack", "--name", "Talvarix Sim"}, true));
    const std::string toInstrument = "Talvarix Sim:MIDI In";
    const std::string fromInstrument = "Talvarix Sim Out:MIDI Out";
    ASSERT_TRUE(server.WaitForPorts({toInstrument}, {fromInstrument})) << "the instrument's ports did not appear";

    CRecordingPort port;
    auto* input = CNormalMidiDeviceFactory::GetInstance().CreateInputDevice(fromInstrument);
    CVeyMidiInDevices::GetInstance().push_back(input);
    input->AttachPort(&port);
    CVeyMidiOutDevice* output = CNormalMidiDeviceFactory::GetInstance().CreateOutputDevice(toInstrument);
    CVeyMidiOutDevices::GetInstance().push_back(output);

    const CSimulatedInstrument wire({});
    // Asks as the requester does: again after a while without an answer (a port that was just
    // connected may miss the first message), within a generous bound.
    auto ask = [&](const Bytes& question, const Bytes& answer) {
        port.messages.clear();
        const auto until = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < until)
        {
            if (!output->Send(question))
                return false;
            const auto again = Clock::now() + std::chrono::seconds(2);
            while (Clock::now() < again)
            {
                if (std::find(port.messages.begin(), port.messages.end(), answer) != port.messages.end())
                    return true;
                input->Poll();
            }
        }
        return false;
    };

    EXPECT_TRUE(ask({0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}, wire.IdentityReply()));
    EXPECT_TRUE(ask(wire.MakeRequest(0x0200000, 4), wire.MakeDataSet(0x0200000, {0, 0, 0, 0}, 0x10)));
    // A data set is stored by the instrument and read back.
    const Bytes data = {0x01, 0x02, 0x03, 0x7F};
    EXPECT_TRUE(output->Send(wire.MakeDataSet(0x6000010, data, 0x10)));
    EXPECT_TRUE(ask(wire.MakeRequest(0x6000010, 4), wire.MakeDataSet(0x6000010, data, 0x10)));

    CVeyMidiInDevices::GetInstance().DeleteAll();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
    while (PumpAllMessages())
    {
    }
    instrument.Stop();
}
}
