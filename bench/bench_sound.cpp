// The warning sound: how long play() holds up its caller (building the ten tones and handing
// them to the worker) and how long a missing sound device takes to fail, which is what the
// level window waits before the desktop's bell stands in.
#include "bench/QtBenchmarkMain.h"
#include "level/WarningSound.h"
#include "level/ui/SoundPlayer.h"

#include <atomic>
#include <chrono>

namespace {

using namespace parvane::level;

void BM_PlayWarningSoundReturns(benchmark::State& state) {
    SoundPlayer player;
    player.setDevice("null");
    player.setFallback([] {});
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.playWarningSound());
        state.PauseTiming();
        player.waitUntilFinished();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayWarningSoundReturns)->Unit(benchmark::kMicrosecond);

void BM_MissingDeviceFails(benchmark::State& state) {
    const std::atomic<bool> stop{false};
    const auto sound = synthesiseWarningSound();
    for (auto _ : state)
        benchmark::DoNotOptimize(playPcmThroughAlsa("parvane_no_such_device", sound, 44100, stop,
                                                    std::chrono::milliseconds(2000)));
}
BENCHMARK(BM_MissingDeviceFails)->Unit(benchmark::kMillisecond);

} // namespace

PARVANE_QT_BENCHMARK_MAIN()
