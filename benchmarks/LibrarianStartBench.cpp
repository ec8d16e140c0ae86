// Cold start of the librarian: time from process start to its main window shown, offscreen,
// beside a minimal Qt Widgets program that opens one window. The two alternate, a fresh process
// each, ended as soon as its window shows (benchmarks/support/ProgramStart.h). The iteration
// time is the librarian's; the counters give each program's minimum and median and the ratio of
// each round's two figures.
#include "benchmarks/support/ProgramStart.h"

#include <benchmark/benchmark.h>

namespace
{
void BM_LibrarianStartBesideMinimalQtWindow(benchmark::State& state)
{
    Bench::CompareProgramRuns(state, Q9EL_PROGRAM, "librarian_ms", Q9_MINIMAL_QT_WINDOW, "qt_window_ms",
                              [](const Bench::CProgramRun& run) { return run.secondsToWindowShown * 1000; });
}
}

BENCHMARK(BM_LibrarianStartBesideMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
