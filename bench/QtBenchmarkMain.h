// The main function of a benchmark that builds widgets: a Qt application (offscreen unless
// the caller chose a platform) around Google Benchmark's usual run.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#define PARVANE_QT_BENCHMARK_MAIN()                                                                \
    int main(int argc, char** argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication application(argc, argv);                                                      \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
