// Cost of the canvas's own work for the mouse moves that repeat at pointer rate, on the
// largest texture set (512 x 8192): a drag in mode Grab, and the paste cursor following
// the pointer. Counters per move: allocations, and the area left for the widget to repaint.
#include "canvas/FrameStackCore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace {

using namespace parvane::canvas;

// Counts the allocations made while a benchmark loop runs: a move must make none.
std::size_t gAllocations = 0;

} // namespace

void* operator new(std::size_t size) {
    ++gAllocations;
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

// A host with a large visible area, so that moves do not scroll; it adds up the areas the
// canvas asks the widget to repaint.
class QuietHost : public CanvasHost {
public:
    ScrollView scrollView() const override { return {0, 0, 512, 8192}; }
    void areaChanged(const parvane::imaging::Rect& area) override {
        repainted += static_cast<double>(area.width()) * area.height();
    }
    double repainted = 0;
};

void reportMoves(benchmark::State& state, FrameStackCore& canvas, std::size_t allocations,
                 double dirtyBox, double repainted) {
    // dirty_box_px: the bounding box of each move's changes; repaint_px: the sum of the
    // areas the widget is asked to repaint (what it composes at most).
    state.counters["dirty_box_px"] = benchmark::Counter(dirtyBox / state.iterations());
    state.counters["repaint_px"] = benchmark::Counter(repainted / state.iterations());
    state.counters["allocs_per_move"] =
        benchmark::Counter(static_cast<double>(allocations) / state.iterations());
    benchmark::DoNotOptimize(canvas.SelectionRect);
}

// Left button held after a press at (pressX, pressY); the pointer then visits the given
// points in turn, one per move.
void runGrab(benchmark::State& state, int pressX, int pressY,
             const std::vector<std::pair<int, int>>& points) {
    QuietHost host;
    FrameStackCore canvas;
    canvas.setHost(&host);
    canvas.InitStack(512, 8192);
    canvas.InitGrid(64, 64);
    const ShiftState keys{};
    canvas.MouseIsOnMove(keys, pressX, pressY);
    canvas.MouseIsDown(MouseButton::Left, keys, pressX, pressY);
    std::size_t i = 0;
    double repaint = 0;
    canvas.takeDirtyArea();
    host.repainted = 0;
    const std::size_t before = gAllocations;
    for (auto _ : state) {
        const auto [x, y] = points[i];
        canvas.MouseIsOnMove(keys, x, y);
        const auto dirty = canvas.takeDirtyArea();
        repaint += static_cast<double>(dirty.width()) * dirty.height();
        i = (i + 1) % points.size();
    }
    reportMoves(state, canvas, gAllocations - before, repaint, host.repainted);
}

// The whole height selected: the pointer moves along the bottom from cell to cell, so the
// frame's right edge (8000 pixels tall) moves at every move.
void BM_GrabMove(benchmark::State& state) {
    runGrab(state, 10, 10, {{200, 8180}, {264, 8180}, {328, 8180}, {264, 8180}});
}
BENCHMARK(BM_GrabMove)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// Worst case: the pointer jumps thousands of pixels between moves (more than any view
// shows at once), so most of both long edges change.
void BM_GrabMoveFarJumps(benchmark::State& state) {
    runGrab(state, 100, 100, {{450, 8000}, {300, 4000}, {20, 7000}, {500, 200}});
}
BENCHMARK(BM_GrabMoveFarJumps)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A small selection in the middle, dragged between neighbouring cells.
void BM_GrabMoveNeighbourCells(benchmark::State& state) {
    runGrab(state, 100, 4000, {{200, 4100}, {264, 4100}});
}
BENCHMARK(BM_GrabMoveNeighbourCells)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Pixel-by-pixel moves inside one cell of a full-height selection: nothing changes.
void BM_GrabMoveWithinCell(benchmark::State& state) {
    runGrab(state, 10, 10, {{300, 8140}, {301, 8141}, {302, 8142}, {301, 8141}});
}
BENCHMARK(BM_GrabMoveWithinCell)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Mode Paste with a 64-pixel clip: clip and paste outline follow the pointer.
void BM_PasteCursorMove(benchmark::State& state) {
    QuietHost host;
    FrameStackCore canvas;
    canvas.setHost(&host);
    canvas.InitStack(512, 8192);
    canvas.InitGrid(64, 64);
    canvas.setClip(parvane::imaging::Bitmap(64, 64));
    canvas.SetModeToPaste();
    const ShiftState keys{};
    int i = 0;
    double repaint = 0;
    canvas.takeDirtyArea();
    host.repainted = 0;
    const std::size_t before = gAllocations;
    for (auto _ : state) {
        canvas.MouseIsOnMove(keys, 100 + 64 * (i & 3), 5000 + 64 * (i & 1));
        const auto dirty = canvas.takeDirtyArea();
        repaint += static_cast<double>(dirty.width()) * dirty.height();
        ++i;
    }
    reportMoves(state, canvas, gAllocations - before, repaint, host.repainted);
}
BENCHMARK(BM_PasteCursorMove)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
