#include "tests/support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

CChildProcess::CChildProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    int toChild[2];
    int fromChild[2];
    // Close-on-exec, so that no other child inherits these ends and keeps a pipe open.
    if (pipe2(toChild, O_CLOEXEC) != 0)
        return;
    if (pipe2(fromChild, O_CLOEXEC) != 0)
    {
        close(toChild[0]);
        close(toChild[1]);
        return;
    }
    std::vector<std::string> copies;
    copies.push_back(program);
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0)
    {
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    m_in = toChild[1];
    m_out = fromChild[0];
}

CChildProcess::~CChildProcess()
{
    if (m_pid > 0 && !m_exited)
        Kill();
    if (m_in >= 0)
        close(m_in);
    if (m_out >= 0)
        close(m_out);
}

std::string CChildProcess::ReadLine(int boundMs)
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
        if (m_out < 0 || poll(&watch, 1, boundMs) <= 0)
            return "<none>";
        char buffer[256];
        const ssize_t got = read(m_out, buffer, sizeof buffer);
        if (got <= 0)
            return "<none>";
        m_pending.append(buffer, static_cast<size_t>(got));
    }
}

bool CChildProcess::WriteLine(const std::string& line)
{
    const std::string text = line + "\n";
    return m_in >= 0 && write(m_in, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

int CChildProcess::Wait(int boundMs)
{
    if (m_pid <= 0)
        return -1;
    // The program's output closes when it ends; read what it still printed until then.
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

void CChildProcess::Kill()
{
    if (m_pid <= 0 || m_exited)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_exited = true;
}

bool CChildProcess::Terminate()
{
    return m_pid > 0 && !m_exited && kill(m_pid, SIGTERM) == 0;
}
