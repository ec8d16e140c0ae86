// Reading the 256 user patches from the instrument and writing them back, against the simulated
// Talvarix on the virtual MIDI backend in virtual time, as the librarian's transfer tests wire
// it. Beside the virtual time each transfer takes stands the time the same messages need on a
// 31250 baud cable plus the 20 ms pause after each data set written: their ratio is what the
// librarian's own waiting adds.
#include "benchmarks/support/OffscreenApplication.h"
#include "benchmarks/support/WireTime.h"
#include "librarian/app/ParameterAddress.h"
#include "tests/librarian/app/TransferFixture.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <numeric>
#include <vector>

namespace
{
// The transfer fixture outside a test run.
class CTransferRig : public CTransferTest
{
public:
    void TestBody() override {}
};

std::vector<int> AllUserSlots()
{
    std::vector<int> slots(256);
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

void Transfer(benchmark::State& state, const std::function<bool(CTransferRig&, CPatchArray&)>& transfer)
{
    Bench::COffscreenApplication application;
    CTransferRig rig;
    rig.SetUp();
    CPatchArray image = MakeDistinctImage(5);
    double virtualMs = 0;
    double wireMs = 0;
    for (auto _ : state)
    {
        rig.m_instrument.ClearLogs();
        const DWORD start = rig.m_clock.GetTickCount();
        if (!transfer(rig, image))
        {
            state.SkipWithError("the transfer failed");
            break;
        }
        virtualMs += double(rig.m_clock.GetTickCount() - start);
        uint32_t dataSets = 0;
        const double bytes = Bench::WireBytes(rig.m_instrument, dataSets);
        wireMs += Bench::WireAndPausesMs(bytes, dataSets);
    }
    rig.TearDown();
    if (wireMs == 0)
        return;
    state.counters["virtual_ms"] = virtualMs / double(state.iterations());
    state.counters["wire_and_pauses_ms"] = wireMs / double(state.iterations());
    state.counters["overhead_ratio"] = virtualMs / wireMs;
}

void ReadTheUserPatches(benchmark::State& state)
{
    Transfer(state, [](CTransferRig& rig, CPatchArray& image) {
        return rig.m_reader.Read(kAreaUserPatches, AllUserSlots(), image);
    });
}

void WriteTheUserPatches(benchmark::State& state)
{
    Transfer(state, [](CTransferRig& rig, CPatchArray& image) {
        return rig.m_writer.Write(kAreaUserPatches, AllUserSlots(), image);
    });
}
}

BENCHMARK(ReadTheUserPatches)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteTheUserPatches)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
