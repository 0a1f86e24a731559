// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the benchmarks that need widgets: an offscreen QApplication
// around Google Benchmark.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <QApplication>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
