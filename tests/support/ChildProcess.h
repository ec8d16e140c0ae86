#pragma once
// A program started by a test, with its standard input and output connected to the test: for
// tests that cross a real process boundary. Every wait is bounded and ends as soon as the awaited
// line or exit arrives.
#include <string>
#include <sys/types.h>
#include <vector>

class CChildProcess
{
public:
    static constexpr int kBoundMs = 30000;

    CChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    // Kills the program when it still runs.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // The next line the program prints, or "<none>" when none came within the bound.
    std::string ReadLine(int boundMs = kBoundMs);
    bool WriteLine(const std::string& line);
    // The exit code (128 + signal when killed), or -1 when it did not end within the bound.
    int Wait(int boundMs = kBoundMs);
    // Ends the program at once, as a crash would.
    void Kill();
    // Asks the program to end, as a session's end does (SIGTERM); Wait gives its exit code.
    bool Terminate();

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    bool m_exited = false;
    std::string m_pending;
};
