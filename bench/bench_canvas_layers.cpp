// What a canvas costs for a big picture: the memory its layers add beyond the Image, the time
// to take the picture (setBitmap, UpdateStack) and to lay the grid over it (UpdateGrid), and a
// Grab move over the whole of an 8192 x 8192 picture, with the allocations it makes.
#include "canvas/FrameStackCore.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <utility>

// Every block the program takes from the C allocator is counted, so that a move can be seen to
// allocate nothing (pixel buffers come from calloc and malloc, not from operator new).
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
}

namespace {
std::size_t gAllocations = 0;
} // namespace

extern "C" void* malloc(std::size_t size) {
    ++gAllocations;
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
    ++gAllocations;
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, std::size_t size) {
    ++gAllocations;
    return __libc_realloc(p, size);
}

namespace {

using namespace parvane::canvas;
using parvane::imaging::Bitmap;

// Bytes the program holds from the allocator at this moment.
double liveBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A picture of side x side whose every page has been written, as a loaded picture has.
Bitmap loadedPicture(int side) {
    Bitmap picture(side, side);
    for (int y = 0; y < side; ++y)
        std::memset(picture.row(y), (y & 0x7F) + 1, picture.stride());
    return picture;
}

// A picture taken by a start-up canvas (256 x 512, grid of 64), as the Source menu does,
// moved in (copied 0) or copied (copied 1):
// counters stack_ms (setBitmap + UpdateStack), grid_ms (UpdateGrid), and added_MB /
// added_ratio, what the canvas holds beyond its Image (all its other layers and state)
// against the Image's bytes.
void BM_TakePicture(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    double stackMs = 0;
    double gridMs = 0;
    double added = 0;
    double imageBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double baseline = liveBytes();
        {
            FrameStackCore canvas;
            canvas.InitStack(256, 512);
            canvas.InitGrid(64, 64);
            Bitmap picture = loadedPicture(side);
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            if (state.range(1) != 0)
                canvas.setBitmap(picture);
            else
                canvas.setBitmap(std::move(picture));
            canvas.UpdateStack();
            stackMs += msSince(start);
            const auto gridStart = std::chrono::steady_clock::now();
            canvas.UpdateGrid();
            gridMs += msSince(gridStart);
            state.PauseTiming();
            picture = Bitmap();
            imageBytes = static_cast<double>(canvas.Bitmap().bytes().size());
            added += liveBytes() - baseline - imageBytes;
        }
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["stack_ms"] = stackMs / n;
    state.counters["grid_ms"] = gridMs / n;
    state.counters["added_MB"] = added / n / (1 << 20);
    state.counters["added_ratio"] = added / n / imageBytes;
}
BENCHMARK(BM_TakePicture)
    ->ArgsProduct({{1024, 2048, 4096, 8192}, {0, 1}})
    ->ArgNames({"side", "copied"})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The start-up size of a canvas (256 x 512), whose layers are the smallest.
void BM_TakeSmallPicture(benchmark::State& state) {
    double added = 0;
    double imageBytes = 0;
    for (auto _ : state) {
        const double baseline = liveBytes();
        FrameStackCore canvas;
        canvas.InitStack(16, 16);
        canvas.setBitmap(Bitmap(256, 512));
        canvas.UpdateStack();
        canvas.UpdateGrid();
        imageBytes = static_cast<double>(canvas.Bitmap().bytes().size());
        added += liveBytes() - baseline - imageBytes;
    }
    state.counters["added_ratio"] = added / static_cast<double>(state.iterations()) / imageBytes;
}
BENCHMARK(BM_TakeSmallPicture)->Iterations(3)->Unit(benchmark::kMillisecond);

// Left button held after a press in the top-left cell of an 8192 x 8192 Source; the pointer
// moves from cell to cell along the bottom, so the whole-height frame changes at every move.
// Counter allocs_per_move: blocks taken from the allocator per move.
void BM_GrabMoveOver8192(benchmark::State& state) {
    FrameStackCore canvas;
    canvas.InitStack(256, 512);
    canvas.setBitmap(loadedPicture(8192));
    canvas.UpdateStack();
    canvas.InitGrid(64, 64);
    const ShiftState keys{};
    canvas.MouseIsOnMove(keys, 10, 10);
    canvas.MouseIsDown(MouseButton::Left, keys, 10, 10);
    const int xs[] = {8000, 8064, 8128, 8064};
    std::size_t i = 0;
    canvas.takeDirtyArea();
    const std::size_t before = gAllocations;
    for (auto _ : state) {
        canvas.MouseIsOnMove(keys, xs[i], 8150);
        benchmark::DoNotOptimize(canvas.takeDirtyArea());
        i = (i + 1) % 4;
    }
    state.counters["allocs_per_move"] =
        static_cast<double>(gAllocations - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GrabMoveOver8192)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Repainting a 1024 x 768 view of an 8192 x 8192 Source while grabbing with the grid shown:
// the Image, the dotted grid, the selection frame and the cursor composed over the view.
void BM_CompositeViewOver8192(benchmark::State& state) {
    FrameStackCore canvas;
    canvas.InitStack(256, 512);
    canvas.setBitmap(loadedPicture(8192));
    canvas.UpdateStack();
    canvas.InitGrid(64, 64);
    canvas.setLayerVisible(canvas.L5_Grid, true);
    const ShiftState keys{};
    canvas.MouseIsOnMove(keys, 4010, 4010);
    canvas.MouseIsDown(MouseButton::Left, keys, 4010, 4010);
    canvas.MouseIsOnMove(keys, 4500, 4400);
    Bitmap out(1024, 768);
    const parvane::imaging::Rect view = parvane::imaging::Rect::fromSize(3900, 3900, 1024, 768);
    const std::size_t before = gAllocations;
    for (auto _ : state) {
        canvas.Composite(view, out);
        benchmark::DoNotOptimize(out.row(0));
    }
    state.counters["allocs"] = static_cast<double>(gAllocations - before);
}
BENCHMARK(BM_CompositeViewOver8192)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
