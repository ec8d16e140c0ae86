// Start of the librarian: wall and processor time from process start to its main window shown,
// offscreen, beside a minimal Qt Widgets program that opens one window. The two alternate, a
// fresh process each, ended as soon as its window shows (benchmarks/support/ProgramStart.h). The
// iteration time is the librarian's wall time; the counters give each program's minimum and
// median on both clocks and the ratios of each round's figures, beside the bound (1.5).
#include "benchmarks/support/ProgramStart.h"

#include <benchmark/benchmark.h>

namespace
{
void BM_LibrarianStartBesideMinimalQtWindow(benchmark::State& state)
{
    Bench::CompareProgramStarts(state, Q9EL_PROGRAM, "librarian", Q9_MINIMAL_QT_WINDOW, "qt_window", 1.5);
}
}

BENCHMARK(BM_LibrarianStartBesideMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
