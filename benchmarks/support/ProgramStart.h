#pragma once
// Starting a whole program, offscreen, in a scratch home, until its main window shows: the
// programs print "milestone main window shown" when Q9_MILESTONES is set (the minimal Qt peer
// prints it always). The process is then ended at once, and what the system kept of it (its peak
// resident memory) is collected with it.
#include "benchmarks/support/PairedRounds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Bench
{
// A scratch home for the runs: settings, user data and the single-instance channel.
class CScratchHome
{
public:
    CScratchHome()
    {
        char pattern[] = "/tmp/q9bench-XXXXXX";
        m_path = mkdtemp(pattern) ? pattern : "/tmp";
        std::filesystem::create_directories(m_path + "/runtime");
        std::filesystem::permissions(m_path + "/runtime", std::filesystem::perms::owner_all);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (m_path + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_path + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (m_path + "/runtime").c_str(), 1);
        setenv("Q9_MILESTONES", "1", 1);
    }
    ~CScratchHome()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    CScratchHome(const CScratchHome&) = delete;
    CScratchHome& operator=(const CScratchHome&) = delete;

    const std::string& Path() const { return m_path; }

    // The one home of the benchmark program, made on first use.
    static CScratchHome& Get()
    {
        static CScratchHome home;
        return home;
    }

private:
    std::string m_path;
};

struct CProgramRun
{
    // From the start of the process to its milestone line; negative when it never came.
    double secondsToWindowShown = -1;
    // The process's peak resident set over its whole life, in KiB; negative when unknown.
    double peakResidentKiB = -1;

    bool Succeeded() const { return secondsToWindowShown >= 0 && peakResidentKiB >= 0; }
};

// Starts the program in the scratch home and waits (at most 30 s) for its window to show.
inline CProgramRun RunUntilWindowShown(const std::string& program)
{
    using Clock = std::chrono::steady_clock;
    CScratchHome::Get();
    CProgramRun run;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    const auto start = Clock::now();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned == 0)
    {
        const std::string expected = "milestone main window shown\n";
        std::string got;
        pollfd watch{out[0], POLLIN, 0};
        while (got.find(expected) == std::string::npos && poll(&watch, 1, 30000) > 0)
        {
            char buffer[256];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<size_t>(n));
        }
        if (got.find(expected) != std::string::npos)
            run.secondsToWindowShown = std::chrono::duration<double>(Clock::now() - start).count();
        kill(pid, SIGKILL);
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid)
            run.peakResidentKiB = static_cast<double>(usage.ru_maxrss);
    }
    close(out[0]);
    return run;
}

// The smallest and the middle of the figures (the upper middle for an even count); 0 for none.
struct CMinMedian
{
    double min = 0;
    double median = 0;
};

inline CMinMedian MinAndMedian(std::vector<double> figures)
{
    if (figures.empty())
        return {};
    std::sort(figures.begin(), figures.end());
    return {figures.front(), figures[figures.size() / 2]};
}

// Starts the peer program, then ours, once per iteration, and puts on the benchmark's line the
// minimum and median of a figure of each run (`<name>_min`, `<name>_median`) and of their ratio
// in each round. `figure` takes a run and gives its figure; the iteration time is our start.
template <typename TFigure>
void CompareProgramRuns(benchmark::State& state, const std::string& ours, const std::string& ourName,
                        const std::string& peer, const std::string& peerName, TFigure&& figure)
{
    std::vector<double> ourFigures;
    std::vector<double> peerFigures;
    CRatios ratios;
    for (auto _ : state)
    {
        const CProgramRun peerRun = RunUntilWindowShown(peer);
        const CProgramRun ourRun = RunUntilWindowShown(ours);
        if (!ourRun.Succeeded() || !peerRun.Succeeded())
        {
            state.SkipWithError("a program did not show its window");
            return;
        }
        state.SetIterationTime(ourRun.secondsToWindowShown);
        ourFigures.push_back(figure(ourRun));
        peerFigures.push_back(figure(peerRun));
        ratios.Add(ourFigures.back(), peerFigures.back());
    }
    const CMinMedian ourFigure = MinAndMedian(ourFigures);
    const CMinMedian peerFigure = MinAndMedian(peerFigures);
    state.counters[ourName + "_min"] = ourFigure.min;
    state.counters[ourName + "_median"] = ourFigure.median;
    state.counters[peerName + "_min"] = peerFigure.min;
    state.counters[peerName + "_median"] = peerFigure.median;
    ratios.Report(state, 0);
}
}
