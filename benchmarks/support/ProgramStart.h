#pragma once
// Starting a whole program, offscreen, in a scratch home, until its main window shows: the
// programs print "milestone main window shown" when Q9_MILESTONES is set (the minimal Qt peer
// prints it always). The process is then ended at once, and what the system kept of it (its
// processor time, every thread and every child it waited for, and its peak resident memory) is
// collected with it.
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
    // The process's processor time (user and system) up to the moment it was ended, just after
    // its milestone line; negative when unknown.
    double processorSeconds = -1;
    // The process's peak resident set over its whole life, in KiB; negative when unknown.
    double peakResidentKiB = -1;

    bool Succeeded() const { return secondsToWindowShown >= 0 && processorSeconds >= 0 && peakResidentKiB >= 0; }
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
        {
            const auto seconds = [](const timeval& t) {
                return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
            };
            run.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
            run.peakResidentKiB = static_cast<double>(usage.ru_maxrss);
        }
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

// A program's start beside the peer's, both clocks at once: each round starts the peer, then ours,
// and the benchmark's line gets the minimum and median over the rounds of each program's wall time
// and processor time to its window shown (`<name>_wall_ms_min`, `<name>_cpu_ms_median`, ...) and
// of the two ratios of each round (`wall_ratio_min`, `cpu_ratio_median`, ...), beside the bound.
inline void CompareProgramStarts(benchmark::State& state, const std::string& ours, const std::string& ourName,
                                 const std::string& peer, const std::string& peerName, double bound)
{
    std::vector<double> ourWall, ourProcessor, peerWall, peerProcessor, wallRatios, processorRatios;
    // One round that is not counted: the first start of each program fills the page cache and,
    // for ours, makes its settings and user folders in the scratch home.
    if (!RunUntilWindowShown(peer).Succeeded() || !RunUntilWindowShown(ours).Succeeded())
    {
        state.SkipWithError("a program did not show its window");
        return;
    }
    for (auto _ : state)
    {
        const CProgramRun peerRun = RunUntilWindowShown(peer);
        const CProgramRun ourRun = RunUntilWindowShown(ours);
        if (!ourRun.Succeeded() || !peerRun.Succeeded() || peerRun.processorSeconds <= 0)
        {
            state.SkipWithError("a program did not show its window");
            return;
        }
        state.SetIterationTime(ourRun.secondsToWindowShown);
        ourWall.push_back(ourRun.secondsToWindowShown * 1000);
        peerWall.push_back(peerRun.secondsToWindowShown * 1000);
        ourProcessor.push_back(ourRun.processorSeconds * 1000);
        peerProcessor.push_back(peerRun.processorSeconds * 1000);
        wallRatios.push_back(ourRun.secondsToWindowShown / peerRun.secondsToWindowShown);
        processorRatios.push_back(ourRun.processorSeconds / peerRun.processorSeconds);
    }
    const auto put = [&state](const std::string& name, const std::vector<double>& figures) {
        const CMinMedian figure = MinAndMedian(figures);
        state.counters[name + "_min"] = figure.min;
        state.counters[name + "_median"] = figure.median;
    };
    put(ourName + "_wall_ms", ourWall);
    put(ourName + "_cpu_ms", ourProcessor);
    put(peerName + "_wall_ms", peerWall);
    put(peerName + "_cpu_ms", peerProcessor);
    put("wall_ratio", wallRatios);
    put("cpu_ratio", processorRatios);
    state.counters["bound"] = bound;
}
}
