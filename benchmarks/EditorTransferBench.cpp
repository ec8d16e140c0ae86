// Reading all data from the instrument and writing it back, against the simulated Talvarix on the
// virtual MIDI backend in virtual time. Beside the virtual time each transfer takes stands the
// time the same messages need on a 31250 baud cable plus the pauses the protocol asks for (20 ms
// after each data set written); the ratio of the two is the editor's own overhead in waiting. The
// processor time per byte on the wire is what the editor spends to move one byte.
#include "benchmarks/support/OffscreenApplication.h"
#include "benchmarks/support/WireTime.h"
#include "editor/instrument/CBufferAccessor.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "toolkit/gt/TraceTextOut.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <memory>

namespace
{
void Transfer(benchmark::State& state, const std::function<bool(CBufferAccessor&)>& transfer)
{
    Bench::COffscreenApplication application;
    CInstrumentRig rig;
    int messages = 0;
    CVeyMidiRequester::SetMessageShower([&messages](int32_t) { ++messages; });
    if (!rig.SetUp("/nonexistent/ViewState.txt"))
    {
        CVeyMidiRequester::SetMessageShower(nullptr);
        state.SkipWithError(GetTraceTextOut().GetText().c_str());
        return;
    }
    double virtualMs = 0;
    double wireMs = 0;
    double bytes = 0;
    double cpuSeconds = 0;
    for (auto _ : state)
    {
        rig.instrument.ClearLogs();
        const DWORD start = rig.clock.GetTickCount();
        const std::clock_t cpu = std::clock();
        const bool done = transfer(rig.accessor);
        cpuSeconds += double(std::clock() - cpu) / CLOCKS_PER_SEC;
        if (!done || messages)
        {
            state.SkipWithError("the transfer failed");
            break;
        }
        virtualMs += double(rig.clock.GetTickCount() - start);
        uint32_t dataSets = 0;
        const double wire = Bench::WireBytes(rig.instrument, dataSets);
        bytes += wire;
        wireMs += Bench::WireAndPausesMs(wire, dataSets);
    }
    CVeyMidiRequester::SetMessageShower(nullptr);
    if (bytes == 0)
        return;
    state.counters["virtual_ms"] = virtualMs / double(state.iterations());
    state.counters["wire_and_pauses_ms"] = wireMs / double(state.iterations());
    state.counters["overhead_ratio"] = virtualMs / wireMs;
    state.counters["wire_bytes"] = bytes / double(state.iterations());
    state.counters["cpu_ns_per_byte"] = cpuSeconds * 1e9 / bytes;
}

void ReadAllFromTheInstrument(benchmark::State& state)
{
    Transfer(state, [](CBufferAccessor& accessor) { return accessor.ReadAll(); });
}

void WriteAllToTheInstrument(benchmark::State& state)
{
    Transfer(state, [](CBufferAccessor& accessor) { return accessor.WriteAll(); });
}
}

BENCHMARK(ReadAllFromTheInstrument)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteAllToTheInstrument)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
