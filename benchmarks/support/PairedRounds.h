#pragma once
// Side-by-side timing of our code against a peer or a limit doing the same work. Every benchmark
// iteration is one round: the peer once, then ours once, each timed alone. The iteration time is
// ours; the counters give ours divided by the peer's as the minimum and the median over the
// rounds, beside the bound it must stay under. Pairing the two inside one round keeps a noisy
// neighbour from favouring either side.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace Bench
{
enum class EClock
{
    kWall,      // elapsed time: I/O, waits
    kProcess,   // processor time of the whole process, every thread
};

// Seconds on a system clock: the process's or a thread's processor time (CLOCK_THREAD_CPUTIME_ID
// for the calling thread, pthread_getcpuclockid for another).
inline double ClockSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double Now(EClock clock)
{
    if (clock == EClock::kWall)
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

template <typename TWork>
double TimeOnce(EClock clock, TWork&& work)
{
    const double start = Now(clock);
    work();
    return Now(clock) - start;
}

class CRatios
{
public:
    void Add(double ours, double peer)
    {
        if (peer > 0)
            m_ratios.push_back(ours / peer);
    }
    // Puts ratio_min, ratio_median and, unless it is 0 (a figure held to no limit), the bound on
    // the benchmark's line.
    void Report(benchmark::State& state, double bound)
    {
        if (m_ratios.empty())
            return;
        std::sort(m_ratios.begin(), m_ratios.end());
        state.counters["ratio_min"] = m_ratios.front();
        state.counters["ratio_median"] = m_ratios[m_ratios.size() / 2];
        if (bound != 0)
            state.counters["bound"] = bound;
    }

private:
    std::vector<double> m_ratios;
};

// Runs `peer` then `ours` once per iteration, after one round that is not counted; the benchmark
// must be registered with UseManualTime(). Each side returns the seconds its work took (timed
// with Timed, so it can keep set-up out of the figure), or a negative number when it failed.
// `workRatio` is how much more work ours does than the peer in one round (1 when both do the
// same job).
template <typename TOurs, typename TPeer>
void RunPairedRounds(benchmark::State& state, double bound, TOurs&& ours, TPeer&& peer, double workRatio = 1.0)
{
    // One round first that is not counted: its first touches of new memory (page faults, a first
    // large allocation) would fall on one side only and make the round's ratio say nothing of
    // either.
    if (peer() < 0 || ours() < 0)
    {
        state.SkipWithError("a round failed");
        return;
    }
    CRatios ratios;
    for (auto _ : state)
    {
        const double peerTime = peer();
        const double ourTime = ours();
        if (peerTime < 0 || ourTime < 0)
        {
            state.SkipWithError("a round failed");
            return;
        }
        state.SetIterationTime(ourTime);
        ratios.Add(ourTime / workRatio, peerTime);
    }
    ratios.Report(state, bound);
}

// The seconds `work` took on `clock`, or -1 when it returned false.
template <typename TWork>
double Timed(EClock clock, TWork&& work)
{
    bool ok = true;
    const double seconds = TimeOnce(clock, [&] { ok = work(); });
    return ok ? seconds : -1.0;
}
}
