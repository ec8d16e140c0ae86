#pragma once
// A JACK server with the dummy driver (no sound hardware needed) for one test, so tests can cross a
// real process boundary over MIDI. Servers of parallel tests take turns (a lock file held while one
// runs, the test's own time-out its bound); every other wait is bounded and ends as soon as the
// server or the awaited ports are there.
#include <string>
#include <sys/types.h>
#include <vector>

class CJackDummyServer
{
public:
    static constexpr int kBoundMs = 30000;

    // `jackd` is the server program.
    explicit CJackDummyServer(std::string jackd);
    // Stops the server (SIGTERM, then SIGKILL after a bound) and puts JACK_DEFAULT_SERVER back.
    ~CJackDummyServer();
    CJackDummyServer(const CJackDummyServer&) = delete;
    CJackDummyServer& operator=(const CJackDummyServer&) = delete;

    // Starts the server, makes it the default server of this process and of the programs it starts
    // later, and waits until a client can connect. Empty when the server is up; otherwise the
    // reason it is not: a test skips when jackd is missing (IsMissing) and fails otherwise.
    std::string Start();
    bool IsMissing() const;
    const std::string& GetName() const { return m_name; }

    // Waits until the server lists the output ports (which this process can send to) and the
    // input ports (which it can receive from); false when they did not all appear in time.
    bool WaitForPorts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                      int boundMs = kBoundMs) const;

private:
    bool IsRunning();

    std::string m_jackd;
    std::string m_name;
    pid_t m_pid = -1;
    int m_lock = -1;   // held while this server runs
    bool m_hadDefault = false;
    std::string m_savedDefault;
};
