// Animation ticks and tile transformations on 64-pixel cells of a 512 x 1024 Target-sized
// picture. Each animation benchmark also reports the heap allocations made per tick, which
// must stay 0: the tile and the row buffer are made once per animation.
#include "canvas/AnimationSteps.h"
#include "canvas/CellTransformations.h"
#include "canvas/FrameStackCore.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>
#include <vector>

// The global allocation functions below are replaced to count allocations; GCC takes the
// pairing of the replaced operator new with free() for a mismatch once both are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> allocations{0};

} // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using parvane::canvas::CellGeometry;
using parvane::imaging::Bitmap;

constexpr CellGeometry kGrid{64, 64, 0, 0, 8, 16};

Bitmap picture() {
    Bitmap image(512, 1024);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.row(y)[4 * x] = static_cast<std::uint8_t>(x ^ y);
    return image;
}

void reportAllocations(benchmark::State& state, long before) {
    state.counters["allocs_per_tick"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations()));
}

// A classical range of 16 cells that runs over a row end (cells 3 to 18 of 8 columns).
void BM_ClassicalStep16Cells(benchmark::State& state) {
    Bitmap image = picture();
    Bitmap tile = parvane::canvas::animationTile(kGrid, image);
    const long before = allocations.load();
    for (auto _ : state) {
        parvane::canvas::stepRange(image, kGrid, 3, 18, tile);
        benchmark::ClobberMemory();
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_ClassicalStep16Cells);

void BM_ScrollStep64(benchmark::State& state) {
    Bitmap image = picture();
    Bitmap tile = parvane::canvas::animationTile(kGrid, image);
    std::vector<std::uint8_t> row(parvane::canvas::tileRowBytes(tile));
    const auto cell = kGrid.indexRect(21);
    const long before = allocations.load();
    for (auto _ : state) {
        parvane::canvas::stepScrollTile(image, cell, tile, row);
        benchmark::ClobberMemory();
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_ScrollStep64);

// The canvas's own tick over a range drawn with the right button: 16 cells across a row end,
// or the scroll tile of one cell (range = 0), including the bookkeeping of the changed area.
void BM_CanvasTick(benchmark::State& state) {
    using parvane::canvas::MouseButton;
    parvane::canvas::FrameStackCore canvas;
    canvas.InitStack(512, 1024);
    canvas.Bitmap() = picture();
    const int lastCell = state.range(0) != 0 ? 18 : 3;
    canvas.MouseIsDown(MouseButton::Right, {}, 3 * 64 + 5, 5);
    canvas.MouseIsUp(MouseButton::Right, {}, (lastCell % 8) * 64 + 5, (lastCell / 8) * 64 + 5);
    if (!canvas.AnimationActive()) {
        state.SkipWithError("the range did not start");
        return;
    }
    const long before = allocations.load();
    for (auto _ : state) {
        canvas.ShiftCellsOnTimer();
        benchmark::DoNotOptimize(canvas.takeDirtyArea());
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_CanvasTick)->ArgName("classical")->Arg(1)->Arg(0);

void BM_TurnCell64(benchmark::State& state) {
    const auto turn = static_cast<parvane::canvas::CellTurn>(state.range(0));
    Bitmap image = picture();
    Bitmap clip(64, 64);
    const auto cell = kGrid.indexRect(9);
    for (auto _ : state) {
        parvane::canvas::turnCell(image, cell, turn, clip);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TurnCell64)->ArgName("turn")->Arg(0)->Arg(1)->Arg(2);

void BM_ShiftCells16(benchmark::State& state) {
    Bitmap image = picture();
    for (auto _ : state) {
        parvane::canvas::shiftCells(image, kGrid, 3, 18);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShiftCells16);

} // namespace

BENCHMARK_MAIN();
