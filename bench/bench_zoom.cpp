// A mouse move over the largest Target (512 x 8192) with the paste cursor, at 1x and at 4x:
// the canvas's own work for the move, then the repaint of what it changed, through the panel's
// painting as the window system would ask for it. Counters per move: the screen pixels
// repainted. At 4x both should stay within 1.2 times the 1x figures scaled by the zoom's area.
#include "bench/QtBenchmarkMain.h"
#include "canvas/ImageStack.h"

#include <QImage>
#include <QRegion>
#include <benchmark/benchmark.h>

namespace {

using parvane::canvas::ShiftState;
using parvane::canvas::TFrameStack;

void BM_PasteCursorMoveAtZoom(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    TFrameStack canvas;
    canvas.resize(300, 420);
    canvas.InitStack(512, 8192);
    canvas.InitGrid(64, 64);
    parvane::imaging::Bitmap picture(512, 8192);
    for (int y = 0; y < 8192; y += 64)
        for (int x = 0; x < 512; x += 64)
            picture.fillRect(
                parvane::imaging::Rect::fromSize(x, y, 64, 64),
                {static_cast<std::uint8_t>(x / 2), static_cast<std::uint8_t>(y / 32), 90});
    canvas.setBitmap(picture);
    canvas.setClip(parvane::imaging::Bitmap(64, 64));
    canvas.SetModeToPaste();
    canvas.setZoom(zoom);
    canvas.takeDirtyArea();
    QImage target;
    double repainted = 0;
    int i = 0;
    for (auto _ : state) {
        canvas.MouseIsOnMove(ShiftState{}, 100 + 64 * (i & 3), 5000 + 64 * (i & 1));
        ++i;
        const parvane::imaging::Rect dirty = canvas.takeDirtyArea();
        const QRect screen(dirty.left * zoom, dirty.top * zoom, dirty.width() * zoom,
                           dirty.height() * zoom);
        if (target.size() != screen.size())
            target = QImage(screen.size(), QImage::Format_RGB32);
        canvas.BasePanel->render(&target, QPoint(), QRegion(screen),
                                 QWidget::RenderFlags(QWidget::DrawChildren));
        repainted += static_cast<double>(screen.width()) * screen.height();
    }
    state.counters["repaint_px"] = benchmark::Counter(repainted / state.iterations());
}
BENCHMARK(BM_PasteCursorMoveAtZoom)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

PARVANE_QT_BENCHMARK_MAIN()
