// The editor started as a whole process, offscreen, beside a minimal Qt Widgets program that opens
// one window (benchmarks/support/ProgramStart.h starts both the same way).
//
// Start-up: time from process start to the main panel shown, with the bundled script when the
// build has placed it beside the program, else a small fixture script. Each run starts a fresh
// process and waits for its "milestone main window shown" line; the process is then ended at
// once. Both wall and processor time are measured, paired with the peer in each round; the
// counters give the minimum and median of each and of the ratios, beside the bound (1.5).
//
// Memory: the peak resident memory of the editor with the bundled script, up to its main window
// shown, beside the peer's.
#include "benchmarks/support/ProgramStart.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace
{
namespace fs = std::filesystem;

// True when the build has placed the bundled script beside the editor program.
bool HasBundledScript()
{
    return fs::exists(fs::path(Q9EE_PROGRAM).parent_path() / "Script" / "Q9EE" / "Script.xml");
}

// The editor program to start: the built one when its script is beside it, else a copy beside the
// fixture script.
std::string EditorProgram()
{
    static const std::string program = [] {
        const fs::path built(Q9EE_PROGRAM);
        if (HasBundledScript())
            return built.string();
        const fs::path folder = fs::path(Bench::CScratchHome::Get().Path()) / "program";
        std::error_code error;
        fs::create_directories(folder / "Script" / "Q9EE", error);
        fs::copy_file(built, folder / "q9ee", fs::copy_options::overwrite_existing, error);
        fs::copy_file(Q9_EDITOR_FIXTURE_SCRIPT, folder / "Script" / "Q9EE" / "Script.xml",
                      fs::copy_options::overwrite_existing, error);
        return (folder / "q9ee").string();
    }();
    return program;
}

// Wall and processor time to the main window shown, the editor beside the peer in each round; the
// iteration time is the editor's wall time (benchmarks/support/ProgramStart.h).
void BM_EditorStartBesideMinimalQtWindow(benchmark::State& state)
{
    Bench::CompareProgramStarts(state, EditorProgram(), "editor", Q9_MINIMAL_QT_WINDOW, "qt_window", 1.5);
}

// Peak resident memory, in MiB, of the editor on its bundled script and of the peer, with the
// ratio of each round's two figures. The iteration time is the editor's start, for the record only.
void BM_EditorPeakMemoryBesideMinimalQtWindow(benchmark::State& state)
{
    if (!HasBundledScript())
    {
        state.SkipWithError("the bundled script is not beside the editor program");
        return;
    }
    Bench::CompareProgramRuns(state, Q9EE_PROGRAM, "editor_MiB", Q9_MINIMAL_QT_WINDOW, "qt_window_MiB",
                              [](const Bench::CProgramRun& run) { return run.peakResidentKiB / 1024; });
}
}

BENCHMARK(BM_EditorStartBesideMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_EditorPeakMemoryBesideMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
