// Start-up of the main window in-process: constructing TMain (controls, text table, both
// canvases, the page counters) and showing it until it is exposed. The whole process, from
// launch to the first mapped window, is measured by bench/startup_to_window.sh.
#include "app/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

// Processes events until the window is exposed on the screen, for at most two seconds.
bool waitExposed(QWidget& window) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (window.windowHandle() && window.windowHandle()->isExposed())
            return true;
    }
    return false;
}

void BM_ConstructMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        parvane::app::TMain window;
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_ConstructMainWindow)->Unit(benchmark::kMillisecond);

void BM_ConstructAndShowMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        parvane::app::TMain window;
        window.show();
        if (!waitExposed(window)) {
            state.SkipWithError("the window was never exposed");
            break;
        }
    }
}
BENCHMARK(BM_ConstructAndShowMainWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
