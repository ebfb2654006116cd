// The Target side's heavy actions on a full texture set (512 x 8192): saving from the Target
// menu with the dialog answered at once, against the TGA writer alone; Copy All of a
// 512 x 8192 Source; a paste with its undo recording, and the undo and redo of a Copy All. The
// process-level figure for the writer is `parvane-cli convert` under hyperfine.
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "bench/QtBenchmarkMain.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using parvane::imaging::Bitmap;
using parvane::imaging::Colour;
using parvane::imaging::Rect;

Bitmap fullSet() {
    Bitmap picture(512, 8192);
    for (int y = 0; y < 8192; y += 64)
        for (int x = 0; x < 512; x += 64)
            picture.fillRect(Rect::fromSize(x, y, 64, 64),
                             Colour{static_cast<std::uint8_t>(x / 2), static_cast<std::uint8_t>(y),
                                    static_cast<std::uint8_t>(x + y)});
    return picture;
}

// A main window whose Target is a full texture set.
std::unique_ptr<parvane::app::TMain> windowWithFullTarget() {
    auto main = std::make_unique<parvane::app::TMain>();
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    controlsOf(*main).TargetHeightScrollBar->setValue(32);
    controlsOf(*main).Target->setBitmap(fullSet());
    return main;
}

// Saving from the Target menu, the dialog answered at once. A first save offers no name; a
// save over the last file offers it, and the dialog's preview then reads that file (argument 1).
void BM_SaveFromTargetMenu(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.tga"));
    const bool overLastFile = state.range(0) != 0;
    QString failure;
    const auto window = [&] {
        auto main = windowWithFullTarget();
        main->FIO().showMessage = [&failure](const QString& text, const QString&) {
            failure = text;
        };
        main->FIO().runDialog = [&path](QFileDialog& dialog) {
            dialog.selectFile(path);
            return true;
        };
        return main;
    };
    auto main = window();
    main->SaveToImageFile();
    for (auto _ : state) {
        if (!overLastFile) {
            // A window that has saved nothing yet.
            state.PauseTiming();
            main = window();
            state.ResumeTiming();
        }
        main->SaveToImageFile();
    }
    if (!failure.isEmpty())
        state.SkipWithError("the save reported a failure");
}
BENCHMARK(BM_SaveFromTargetMenu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SaveWithTheTgaWriterAlone(benchmark::State& state) {
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath(QStringLiteral("set.tga")).toStdString();
    const Bitmap picture = fullSet();
    for (auto _ : state)
        if (!parvane::imaging::saveImageAs24BitsFile(picture, 512, 8192, path).ok())
            state.SkipWithError("the TGA was not written");
}
BENCHMARK(BM_SaveWithTheTgaWriterAlone)->Unit(benchmark::kMillisecond);

void BM_CopyAllOfAFullSource(benchmark::State& state) {
    parvane::app::TMain main;
    controlsOf(main).Source->setBitmap(fullSet());
    controlsOf(main).Source->UpdateStack();
    controlsOf(main).Source->UpdateGrid();
    for (auto _ : state)
        main.CopyAllOnClick();
    if (controlsOf(main).Target->Bitmap().height() != 8192)
        state.SkipWithError("Copy All did not fill the Target");
}
BENCHMARK(BM_CopyAllOfAFullSource)->Unit(benchmark::kMillisecond);

// A click that pastes a 64 x 64 tile (Ctrl held, so the Target stays ready to paste), with
// the pasted cell's pixels kept for undo; the clicks walk over all 1024 cells.
void BM_PasteWithUndoRecording(benchmark::State& state) {
    auto main = windowWithFullTarget();
    Bitmap tile(64, 64);
    tile.fill(Colour{200, 10, 10});
    main->MakeCurrentTile(tile);
    int cell = 0;
    for (auto _ : state) {
        const int x = 64 * (cell % 8) + 10;
        const int y = 64 * (cell / 8) + 10;
        cell = (cell + 1) % 1024;
        main->TargetMouseMove(Qt::ControlModifier, x, y);
        main->TargetMouseDown(Qt::LeftButton, Qt::ControlModifier, x, y);
        main->TargetMouseUp(Qt::LeftButton, Qt::ControlModifier, x, y);
    }
    state.counters["steps_kept"] = main->TargetDocument().stepCount();
    if (main->TargetDocument().stepCount() == 0)
        state.SkipWithError("no paste was recorded");
}
BENCHMARK(BM_PasteWithUndoRecording)->Unit(benchmark::kMicrosecond);

// Undo (argument 0) or redo (argument 1) of a Copy All that replaced a full Target with a full
// Source: the pictures trade places and the view, counters and size line follow.
void BM_UndoRedoOfCopyAll(benchmark::State& state) {
    auto main = windowWithFullTarget();
    Bitmap source = fullSet();
    source.fill(Colour{1, 2, 3});
    controlsOf(*main).Source->setBitmap(source);
    controlsOf(*main).Source->UpdateStack();
    controlsOf(*main).Source->UpdateGrid();
    main->CopyAllOnClick();
    const bool redo = state.range(0) != 0;
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            main->UndoTargetEdit();
            state.ResumeTiming();
            main->RedoTargetEdit();
        } else {
            main->UndoTargetEdit();
            state.PauseTiming();
            main->RedoTargetEdit();
            state.ResumeTiming();
        }
    }
    if (controlsOf(*main).Target->Bitmap().pixel(5, 5) != Colour{1, 2, 3})
        state.SkipWithError("the Copy All was not brought back");
}
BENCHMARK(BM_UndoRedoOfCopyAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

PARVANE_QT_BENCHMARK_MAIN()
