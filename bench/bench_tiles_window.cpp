// The window's side of the tile budget on a full texture set (512 x 8192): the counts brought
// up to date after a paste of one cell (the canvas reports the cell, the analysis looks at it
// alone), and the wrap preview repainting the cell under the pointer after a change, at every
// zoom.
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/TargetTiles.h"
#include "app/WrapPreview.h"
#include "bench/QtBenchmarkMain.h"
#include "canvas/ImageStack.h"

#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using parvane::imaging::Bitmap;
using parvane::imaging::Colour;
using parvane::imaging::Rect;

// Every cell different from every other, in every turn: the worst case for the analysis.
Bitmap distinctCells(int width, int height) {
    Bitmap picture(width, height);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            picture.setPixel(x, y,
                             Colour{static_cast<std::uint8_t>(seed >> 24),
                                    static_cast<std::uint8_t>(seed >> 16),
                                    static_cast<std::uint8_t>(seed >> 8)});
        }
    return picture;
}

std::unique_ptr<parvane::app::TMain> windowWithFullTarget(bool turned, int tolerance) {
    auto main = std::make_unique<parvane::app::TMain>();
    const parvane::app::MainFormUi ui = parvane::app::controlsOf(*main);
    ui.Target->setBitmap(distinctCells(512, 8192));
    main->ResizeTargetWindow(nullptr);
    ui.CheckBoxTurned->setChecked(turned);
    ui.SpinBoxTolerance->setValue(tolerance);
    main->targetTiles().report();
    return main;
}

// One cell changes (as a paste reports it) and the counts are read again.
void BM_CountsAfterOneCellEdit(benchmark::State& state) {
    const auto main = windowWithFullTarget(state.range(0) != 0, static_cast<int>(state.range(1)));
    const parvane::app::MainFormUi ui = parvane::app::controlsOf(*main);
    Bitmap& picture = ui.Target->Bitmap();
    int cell = 0;
    for (auto _ : state) {
        const Rect area = Rect::fromSize((cell % 8) * 64, (cell / 8) * 64, 64, 64);
        main->targetTiles().areaAboutToChange(area);
        picture.setPixel(area.left + 5, area.top + 5,
                         Colour{static_cast<std::uint8_t>(cell), 1, 2});
        benchmark::DoNotOptimize(main->targetTiles().report().kept);
        cell = (cell + 37) % 1024;
    }
}
BENCHMARK(BM_CountsAfterOneCellEdit)->Args({0, 0})->Args({1, 4})->Unit(benchmark::kMicrosecond);

// The cell under the pointer changed: the preview reads it again and repaints its 3 x 3.
void BM_WrapPreviewRepaint(benchmark::State& state) {
    const auto main = windowWithFullTarget(false, 0);
    const parvane::app::MainFormUi ui = parvane::app::controlsOf(*main);
    parvane::app::WrapPreview& preview = main->wrapPreview();
    preview.show();
    preview.setZoom(static_cast<int>(state.range(0)));
    preview.showCell(*ui.Target, 128, 640);
    auto* picture = preview.findChild<QWidget*>(QStringLiteral("WrapPreviewPicture"));
    QApplication::processEvents();
    std::uint8_t shade = 0;
    for (auto _ : state) {
        ui.Target->Bitmap().fillRect(Rect::fromSize(128, 640, 8, 8), Colour{shade++, 0, 0});
        preview.refresh();
        picture->repaint();
    }
}
BENCHMARK(BM_WrapPreviewRepaint)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

} // namespace

PARVANE_QT_BENCHMARK_MAIN()
