// Start-up of the main window in-process: constructing TMain (controls, text table, both
// canvases, the page counters) and showing it until it is exposed. The whole process, from
// launch to the first mapped window, is measured by bench/startup_to_window.sh.
// The Source side: a large picture chosen in the Source menu's dialog until the Source shows
// it, next to the plain file load that the command-line companion's `info` does; and a cut
// resized to 256 x 256 from its release to the tile in the viewer. And the Source following
// its file: from the last write of a 2048 x 2048 picture (as an editor saves it, in place or
// by a rename) until the Source shows it again, the quiet time included.
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/Startup.h"
#include "bench/QtBenchmarkMain.h"
#include "canvas/ImageStack.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

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

// A 4096 x 4096 24-bit TGA, written once for the run.
const QString& largePicture() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("large.tga"));
        parvane::imaging::Bitmap picture(4096, 4096);
        for (int y = 0; y < picture.height(); ++y) {
            std::uint8_t* p = picture.row(y);
            for (int x = 0; x < picture.width(); ++x, p += 4) {
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(x ^ y);
            }
        }
        parvane::imaging::saveImageAs24BitsFile(picture, 4096, 4096, file.toStdString());
        return file;
    }();
    return path;
}

// What `parvane-cli info` does with the file: read it into a bitmap.
void BM_LoadLargePictureAsInfoDoes(benchmark::State& state) {
    const std::string path = largePicture().toStdString();
    for (auto _ : state) {
        parvane::imaging::Bitmap picture;
        if (!parvane::imaging::loadImageFile(path, picture)) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(picture.row(0));
    }
}
BENCHMARK(BM_LoadLargePictureAsInfoDoes)->Unit(benchmark::kMillisecond);

// The image file module's file routine alone: the same read, as a 32-bit working picture.
void BM_LoadLargePictureThroughTheFileModule(benchmark::State& state) {
    parvane::app::TMain window;
    const QString path = largePicture();
    for (auto _ : state) {
        parvane::imaging::Bitmap picture;
        std::uint8_t code = 0;
        if (!window.FIO().LoadImageAs32BitsFile(parvane::imaging::ImageArea::of(picture), path,
                                                code)) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(picture.row(0));
    }
}
BENCHMARK(BM_LoadLargePictureThroughTheFileModule)->Unit(benchmark::kMillisecond);

// From the file chosen in the Source menu's dialog (the dialog answered at once) to the
// Source refitted and its size line written. Opening the dialog is not counted: it happens
// before the user chooses.
// Chooses the large picture through the Source menu, timed from the moment the dialog is
// answered; false when it did not load.
bool loadThroughTheMenu(parvane::app::TMain& window, benchmark::State& state) {
    const QString path = largePicture();
    QElapsedTimer chosen;
    window.FIO().runDialog = [&path, &chosen](QFileDialog& dialog) {
        dialog.selectFile(path);
        chosen.start();
        return true;
    };
    window.SourceComboOnSelect(1);
    state.SetIterationTime(static_cast<double>(chosen.nsecsElapsed()) * 1e-9);
    if (controlsOf(window).Source->Bitmap().width() == 4096)
        return true;
    state.SkipWithError("the picture did not load");
    return false;
}

void BM_LoadLargePictureThroughTheSourceMenu(benchmark::State& state) {
    parvane::app::TMain window;
    for (auto _ : state)
        if (!loadThroughTheMenu(window, state))
            break;
}
BENCHMARK(BM_LoadLargePictureThroughTheSourceMenu)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same, as after start-up: every time the Source first holds a picture of the window's
// starting size, so that each of its layers grows to 4096 x 4096.
void BM_LoadLargePictureIntoTheStartingSource(benchmark::State& state) {
    parvane::app::TMain window;
    // The controls, found once by their object names.
    const parvane::app::MainFormUi ui = parvane::app::controlsOf(window);
    const int startWidth = ui.Source->Bitmap().width();
    const int startHeight = ui.Source->Bitmap().height();
    for (auto _ : state) {
        ui.Source->Bitmap() = parvane::imaging::Bitmap(startWidth, startHeight);
        ui.Source->UpdateStack();
        ui.Source->UpdateGrid();
        if (!loadThroughTheMenu(window, state))
            break;
    }
}
BENCHMARK(BM_LoadLargePictureIntoTheStartingSource)->UseManualTime()->Unit(benchmark::kMillisecond);

// Opening the Source menu's dialog after a large picture was loaded: the dialog starts on
// that file, and its preview pane shows it.
void BM_CreateTheOpenDialogAfterALargePicture(benchmark::State& state) {
    parvane::app::TMain window;
    parvane::imaging::TFIO& fio = window.FIO();
    fio.OpenPictureDialog1.FileName = largePicture();
    for (auto _ : state) {
        std::unique_ptr<QFileDialog> dialog(
            fio.createDialog(fio.OpenPictureDialog1, QFileDialog::AcceptOpen));
        benchmark::DoNotOptimize(dialog.get());
    }
}
BENCHMARK(BM_CreateTheOpenDialogAfterALargePicture)->Unit(benchmark::kMillisecond);

// A 1024 x 1024 selection at 256 x 256 in the size selector: from the release to the
// resized tile in the viewer and the Target's clip.
void BM_CutOf1024ResizedTo256(benchmark::State& state) {
    parvane::app::TMain window;
    // The controls, found once by their object names.
    const parvane::app::MainFormUi ui = parvane::app::controlsOf(window);
    parvane::imaging::Bitmap& picture = ui.Source->Bitmap();
    picture = parvane::imaging::Bitmap(1024, 1024);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            picture.setPixel(x, y, {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + y)});
    ui.Source->UpdateStack();
    ui.Source->UpdateGrid();
    ui.ClipTileSizeScroll->setValue(4);
    for (auto _ : state) {
        state.PauseTiming();
        window.SourceMouseMove({}, 10, 10);
        window.SourceMouseDown(Qt::LeftButton, {}, 10, 10);
        window.SourceMouseMove({}, 1000, 1000);
        state.ResumeTiming();
        window.SourceMouseUp(Qt::LeftButton, {}, 1000, 1000);
        if (ui.ClipTileImage->picture().width() != 256) {
            state.SkipWithError("the cut was not resized");
            break;
        }
    }
}
BENCHMARK(BM_CutOf1024ResizedTo256)->Unit(benchmark::kMillisecond);

// The bytes of a 2048 x 2048 24-bit BMP in one colour.
QByteArray followedPicture(const QTemporaryDir& dir, parvane::imaging::Colour colour) {
    const QString path = dir.filePath(QStringLiteral("scratch.bmp"));
    parvane::imaging::Bitmap picture(2048, 2048);
    picture.fill(colour);
    parvane::imaging::saveImageAs24BitsFile(picture, 2048, 2048, path.toStdString());
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QFile::remove(path);
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // In pieces, as editors write.
    for (qsizetype at = 0; at < bytes.size(); at += 256 * 1024)
        if (file.write(bytes.mid(at, 256 * 1024)) <= 0)
            return false;
    return true;
}

// state.range(0): 0 writes the picture in place, 1 writes a new file and renames it over.
void BM_FollowedPictureShownAgainAfterItsLastWrite(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pictures[] = {followedPicture(dir, {200, 40, 40}),
                                   followedPicture(dir, {40, 200, 40})};
    const parvane::imaging::Colour colours[] = {{200, 40, 40}, {40, 200, 40}};
    const QString path = dir.filePath(QStringLiteral("followed.bmp"));
    if (!writeFile(path, pictures[0])) {
        state.SkipWithError("the picture could not be written");
        return;
    }
    parvane::app::TMain window;
    window.show();
    waitExposed(window);
    parvane::app::openInSource(window, path);
    parvane::canvas::TFrameStack& source = *parvane::app::controlsOf(window).Source;
    if (source.Bitmap().width() != 2048) {
        state.SkipWithError("the picture did not load");
        return;
    }
    int next = 1;
    for (auto _ : state) {
        const QString written = state.range(0) ? path + QStringLiteral(".new") : path;
        if (!writeFile(written, pictures[next]) ||
            (state.range(0) && std::rename(QFile::encodeName(written).constData(),
                                           QFile::encodeName(path).constData()) != 0)) {
            state.SkipWithError("the picture could not be written");
            break;
        }
        QElapsedTimer sinceWrite;
        sinceWrite.start();
        while (source.Bitmap().pixel(7, 7) != colours[next] && sinceWrite.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The canvas painted with the new picture.
        QApplication::processEvents();
        state.SetIterationTime(static_cast<double>(sinceWrite.nsecsElapsed()) * 1e-9);
        if (source.Bitmap().pixel(7, 7) != colours[next]) {
            state.SkipWithError("the Source did not show the picture again");
            break;
        }
        next = 1 - next;
    }
}
BENCHMARK(BM_FollowedPictureShownAgainAfterItsLastWrite)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);

} // namespace

PARVANE_QT_BENCHMARK_MAIN()
