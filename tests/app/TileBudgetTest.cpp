// The TILES tab and the wrap preview as the user meets them: the counts following edits, the
// outlines and the position field over copies, Compact as one undoable step with its index map,
// and the preview repeating the tile under the pointer.
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/TargetTiles.h"
#include "app/WrapPreview.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "support/ModalWindows.h"
#include "support/TestData.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::Rect;

// A tile that looks different in every turn: a diagonal ramp with a marked corner.
Bitmap markedTile(std::uint8_t seed) {
    Bitmap tile(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            tile.setPixel(x, y,
                          Colour{static_cast<std::uint8_t>(seed + x * 3),
                                 static_cast<std::uint8_t>(y * 2 + 1),
                                 static_cast<std::uint8_t>(seed)});
    tile.fillRect(Rect::fromSize(0, 0, 10, 6), Colour{255, 255, 255});
    return tile;
}

class TileBudgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TMain>();
        ui = controlsOf(*main);
    }

    // Pastes the tile at cell `index` of a one-page-wide Target, as a click of the user.
    void pasteAt(const Bitmap& tile, int index) {
        main->MakeCurrentTile(tile);
        const int x = (index % 4) * 64 + 10;
        const int y = (index / 4) * 64 + 10;
        main->TargetMouseMove(Qt::NoModifier, x, y);
        main->TargetMouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
        main->TargetMouseUp(Qt::LeftButton, Qt::NoModifier, x, y);
        main->EscapeClick();
    }

    struct Counts {
        int used, kept, copies, empty;
        bool operator==(const Counts&) const = default;
    };
    Counts counts() {
        QApplication::processEvents();
        const document::TileReport& r = main->targetTiles().report();
        return {r.used, r.kept, r.copies, r.empty};
    }

    std::unique_ptr<TMain> main;
    MainFormUi ui;
    testing::ScratchDir dir;
};

TEST_F(TileBudgetTest, CountsFollowEveryEditAndTheOptions) {
    // 4 x 8 cells, all black at first.
    EXPECT_EQ(counts(), (Counts{0, 0, 0, 32}));
    const Bitmap a = markedTile(10);
    pasteAt(a, 0);
    pasteAt(a, 5);
    pasteAt(markedTile(90), 25);
    EXPECT_EQ(counts(), (Counts{3, 2, 1, 29}));
    EXPECT_TRUE(ui.TileBudget->text().contains(QStringLiteral("2 / 256")));

    // A turned copy counts only with turned copies on; the position field names it.
    ui.SpeedButtonRotate->click();
    main->TargetMouseDown(Qt::LeftButton, Qt::NoModifier, 70, 70);
    main->TargetMouseUp(Qt::LeftButton, Qt::NoModifier, 70, 70);
    EXPECT_EQ(counts(), (Counts{3, 3, 0, 29}));
    ui.CheckBoxTurned->setChecked(true);
    EXPECT_EQ(counts(), (Counts{3, 2, 1, 29}));
    emit ui.Target->overlayMouseMoved(Qt::NoButton, Qt::NoModifier, 80, 80);
    EXPECT_TRUE(ui.StatusPosition->text().endsWith(QStringLiteral("page 1 of 2")));
    ui.SpeedButtonShowCopies->click();
    emit ui.Target->overlayMouseMoved(Qt::NoButton, Qt::NoModifier, 80, 80);
    EXPECT_TRUE(ui.StatusPosition->text().endsWith(QStringLiteral("copy of 0, rotate")))
        << ui.StatusPosition->text().toStdString();

    // Undo follows too, and the page counters count only the pages shown.
    main->UndoTargetEdit();
    EXPECT_EQ(counts(), (Counts{3, 2, 1, 29}));
    ui.TargetHeightScrollBar->setValue(1);
    EXPECT_EQ(counts(), (Counts{2, 1, 1, 14}));
}

TEST_F(TileBudgetTest, CompactIsOneStepThatUndoBringsBackWithItsCountersAndMap) {
    ui.TargetHeightScrollBar->setValue(3);
    const Bitmap a = markedTile(10);
    const Bitmap b = markedTile(120);
    pasteAt(a, 2);
    pasteAt(b, 20);
    pasteAt(a, 33);
    const Bitmap before = ui.Target->Bitmap();
    const int stepsBefore = main->TargetDocument().stepIndex();
    ASSERT_EQ(counts(), (Counts{3, 2, 1, 45}));

    ui.SpeedButtonCompact->click();
    EXPECT_EQ(main->TargetDocument().stepIndex(), stepsBefore + 1);
    EXPECT_EQ(ui.TargetHeightScrollBar->value(), 1);
    EXPECT_EQ(counts(), (Counts{2, 2, 0, 14}));
    Bitmap cell(64, 64);
    cell.copyRect({0, 0}, ui.Target->Bitmap(), Rect::fromSize(64, 0, 64, 64));
    EXPECT_EQ(cell.bytes().size(), b.bytes().size());
    EXPECT_TRUE(std::equal(cell.bytes().begin(), cell.bytes().end(), b.bytes().begin()));

    // The map written after the Compact is the one of the set before it.
    const QString mapFile = QString::fromStdString(dir.file("set.csv").string());
    main->setIndexMapDialogRunner([&](const QString&) { return mapFile; });
    ui.SpeedButtonExportMap->click();
    QFile written(mapFile);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("old,new,orientation"));
    EXPECT_TRUE(lines.contains(QStringLiteral("33,0,same")));
    EXPECT_TRUE(lines.contains(QStringLiteral("20,1,same")));
    // A map that cannot be written says so, and leaves no file.
    const QString unwritable = QString::fromStdString(dir.file("missing/set.csv").string());
    main->setIndexMapDialogRunner([&](const QString&) { return unwritable; });
    QString refusal;
    testing::whenModalOpens([&](QWidget* box) {
        refusal = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
    ui.SpeedButtonExportMap->click();
    EXPECT_TRUE(refusal.contains(unwritable)) << refusal.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));

    main->UndoTargetEdit();
    EXPECT_EQ(ui.TargetHeightScrollBar->value(), 3);
    EXPECT_EQ(ui.Target->Bitmap().bytes().size(), before.bytes().size());
    EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(),
                           ui.Target->Bitmap().bytes().begin()));
    EXPECT_EQ(counts(), (Counts{3, 2, 1, 45}));
    main->RedoTargetEdit();
    EXPECT_EQ(ui.TargetHeightScrollBar->value(), 1);
    EXPECT_NE(main->targetTiles().standingCompaction(), nullptr);
    // An edit made while the Compact is undone replaces it: its map is gone.
    main->UndoTargetEdit();
    pasteAt(b, 0);
    EXPECT_EQ(main->targetTiles().standingCompaction(), nullptr);

    // A set with nothing to compact stays as it is, with no step.
    ui.SpeedButtonCompact->click();
    const int steps = main->TargetDocument().stepIndex();
    ui.SpeedButtonCompact->click();
    EXPECT_EQ(main->TargetDocument().stepIndex(), steps);
}

TEST_F(TileBudgetTest, ShowCopiesOutlinesOnTheScreenAndNeverInThePicture) {
    const Bitmap a = markedTile(10);
    pasteAt(a, 1);
    pasteAt(a, 6);
    counts();
    const Bitmap picture = ui.Target->Bitmap();
    // The frame's colour at the inner edge of a cell, as the canvas shows it.
    const auto frameAt = [&](int index) {
        return ui.Target->BasePanel->grab().toImage().pixel((index % 4) * 64 + 1,
                                                            (index / 4) * 64 + 30);
    };
    const Colour own = a.pixel(1, 30);
    const QRgb tile = qRgb(own.red, own.green, own.blue);
    const struct {
        bool shown;
        QRgb kept, copy;
    } cases[] = {{true, qRgb(0, 220, 90), qRgb(255, 140, 0)}, {false, tile, tile}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        if (ui.SpeedButtonShowCopies->isChecked() != c.shown)
            ui.SpeedButtonShowCopies->click();
        EXPECT_EQ(frameAt(1), c.kept);
        EXPECT_EQ(frameAt(6), c.copy);
        EXPECT_TRUE(ui.Target->Bitmap() == picture);
    }

    // The pointer on a group of the readout's menu lights the group up, until the menu goes.
    QMenu* groups = ui.TileBudget->menu();
    emit groups->aboutToShow();
    ASSERT_EQ(groups->actions().size(), 1);
    emit groups->hovered(groups->actions().first());
    EXPECT_EQ(frameAt(1), qRgb(255, 255, 0));
    EXPECT_EQ(frameAt(6), qRgb(255, 255, 0));
    emit groups->aboutToHide();
    EXPECT_EQ(frameAt(6), tile);
}

// The preview's picture, grabbed as the screen shows it, at pixel (x, y) of the repeat.
QRgb shownAt(WrapPreview& preview, int x, int y) {
    auto* picture = preview.findChild<QWidget*>(QStringLiteral("WrapPreviewPicture"));
    return picture->grab().toImage().pixel(x, y);
}

TEST_F(TileBudgetTest, WrapPreviewRepeatsTheTileUnderThePointerThreeByThree) {
    Bitmap tile = markedTile(40);
    pasteAt(tile, 6);
    ui.ClipTileImage->setPicture(tile);
    ui.SpeedButtonWrapPreview->click();
    WrapPreview& preview = main->wrapPreview();
    ASSERT_TRUE(preview.isVisible());
    preview.setZoom(1);
    const auto colourOf = [&](int x, int y) {
        const Colour c = tile.pixel(x, y);
        return qRgb(c.red, c.green, c.blue);
    };
    // Opened away from the canvases, it shows the current tile.
    EXPECT_EQ(preview.shownCanvas(), nullptr);
    EXPECT_EQ(shownAt(preview, 70, 5), colourOf(6, 5));
    // Over cell 6 of the Target (column 2, row 1).
    emit ui.Target->overlayMouseMoved(Qt::NoButton, Qt::NoModifier, 150, 100);
    const struct {
        bool half;
        int shift;
    } cases[] = {{false, 0}, {true, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.half);
        preview.setHalfOffset(c.half);
        for (const QPoint p : {QPoint(0, 0), QPoint(63, 5), QPoint(64, 0), QPoint(100, 170),
                               QPoint(191, 191), QPoint(31, 33)})
            EXPECT_EQ(shownAt(preview, p.x(), p.y()),
                      colourOf((p.x() + c.shift) % 64, (p.y() + c.shift) % 64))
                << p.x() << "," << p.y();
    }

    // Zoomed, each pixel is a square; an edit of the cell shows at once.
    preview.setHalfOffset(false);
    preview.setZoom(4);
    EXPECT_EQ(preview.findChild<QWidget*>(QStringLiteral("WrapPreviewPicture"))->width(), 768);
    EXPECT_EQ(shownAt(preview, 4 * 64 + 3, 2), colourOf(0, 0));
    ui.SpeedButtonRotate->click();
    main->TargetMouseDown(Qt::LeftButton, Qt::NoModifier, 150, 100);
    main->TargetMouseUp(Qt::LeftButton, Qt::NoModifier, 150, 100);
    QApplication::processEvents();
    // A quarter turn clockwise: the top-left pixel comes from the bottom-left one.
    EXPECT_EQ(shownAt(preview, 1, 1), colourOf(0, 63));

    // The canvases' zoom keys zoom it while it is active.
    main->show();
    preview.activateWindow();
    QApplication::setActiveWindow(&preview);
    QApplication::processEvents();
    QTest::keySequence(&preview, QKeySequence(QStringLiteral("Ctrl+-")));
    EXPECT_EQ(preview.zoom(), 3);

    // Elsewhere it shows the current tile; Escape closes it and the button follows.
    emit ui.Target->overlayLeft();
    EXPECT_EQ(preview.shownCanvas(), nullptr);
    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_FALSE(ui.SpeedButtonWrapPreview->isChecked());
}

// A current tile of another size repeats whole, its longer side 64 x zoom pixels a repeat.
TEST(WrapPreviewCompose, TilesOfAnySizeRepeatWhole) {
    const struct {
        int width, height, zoom;
        bool half;
        QSize out;
        std::vector<std::pair<QPoint, QPoint>> shown; // picture pixel, tile pixel
    } cases[] = {
        {128,
         64,
         2,
         false,
         {384, 192},
         {{{0, 0}, {0, 0}}, {{130, 70}, {2, 6}}, {{383, 191}, {127, 63}}}},
        {128, 64, 2, true, {384, 192}, {{{0, 0}, {64, 32}}, {{64, 32}, {0, 0}}}},
        {32, 32, 1, true, {192, 192}, {{{0, 0}, {16, 16}}, {{33, 1}, {0, 16}}}},
        {64, 64, 3, false, {576, 576}, {{{190, 5}, {63, 1}}, {{192, 0}, {0, 0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " zoom " << c.zoom);
        Bitmap tile(c.width, c.height, imaging::PixelFormat::Bits32);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                tile.setPixel(x, y, {std::uint8_t(x), std::uint8_t(y), 7});
        Bitmap out;
        composeWrap(tile, c.half, c.zoom, out);
        ASSERT_EQ(QSize(out.width(), out.height()), c.out);
        for (const auto& [at, from] : c.shown)
            EXPECT_EQ(out.pixel(at.x(), at.y()), tile.pixel(from.x(), from.y()))
                << at.x() << "," << at.y();
    }
}

} // namespace
} // namespace parvane::app
