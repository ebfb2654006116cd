// The main window as the user meets it: its state after start-up, the page counters, the
// size selector, cutting on the Source and pasting on the Target, the central panel, the
// keyboard focus, the status-line hints and what screen readers are told.
#include "app/MainForm.h"

#include "app/Languages.h"
#include "app/MainFormUi.h"
#include "app/SourceWorkflow.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ui/ImageFileModule.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

using canvas::CanvasMode;
using imaging::Bitmap;
using imaging::Colour;

const QColor kSkyBlue(166, 202, 240);
const QColor kRed(255, 0, 0);

QColor face(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override { main = std::make_unique<TMain>(); }

    void showWindow() {
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    // Paints one cell of a canvas picture in a flat colour.
    static void paintCell(canvas::TFrameStack* canvas, int col, int row, Colour colour) {
        canvas->Bitmap().fillRect(imaging::Rect::fromSize(col * 64, row * 64, 64, 64), colour);
    }

    std::unique_ptr<TMain> main;
};

TEST_F(MainFormTest, StartsWithOnePageByTwoAndAnEmptyViewer) {
    EXPECT_EQ(main->windowTitle(), QStringLiteral("   Parvane v2.4   by   Oskelin"));
    EXPECT_EQ(main->size(), QSize(725, 598));
    EXPECT_EQ(main->minimumHeight(), 445);

    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).TargetWidth->text(), QStringLiteral("1"));
    EXPECT_EQ(controlsOf(*main).TargetHeight->text(), QStringLiteral("2"));
    EXPECT_EQ(controlsOf(*main).TargetAreaInfo->text(),
              QStringLiteral("256 x 512 pixels (4 x 8 = 32 txtrs)"));
    for (const QLabel* label : {controlsOf(*main).TargetAreaInfo, controlsOf(*main).TargetWidth,
                                controlsOf(*main).TargetHeight})
        EXPECT_EQ(face(label), kSkyBlue) << label->objectName().toStdString();
    EXPECT_EQ(controlsOf(*main).ClipTileSize->text(), QStringLiteral("      Multi Tile"));
    EXPECT_TRUE(controlsOf(*main).ClipTileImage->picture().isEmpty());

    // Both canvases: black 256 x 512 pictures, 64-pixel grid, nothing going on.
    for (canvas::TFrameStack* canvas : {controlsOf(*main).Source, controlsOf(*main).Target}) {
        EXPECT_EQ(canvas->Bitmap().width(), 256);
        EXPECT_EQ(canvas->Bitmap().height(), 512);
        EXPECT_EQ(canvas->PortWidth(), 256);
        EXPECT_EQ(canvas->PortHeight(), 512);
        EXPECT_EQ(canvas->CellWidth, 64);
        EXPECT_EQ(canvas->Mode, CanvasMode::Idle);
        EXPECT_FALSE(canvas->TimerAnim->isActive());
    }
    EXPECT_EQ(controlsOf(*main).Target->FillColor, imaging::colours::kBlack);
    EXPECT_EQ(controlsOf(*main).Target->Image().paint, imaging::colours::kBlack);

    EXPECT_EQ(main->formState().PotColour, imaging::colours::kBlack);
    EXPECT_EQ(main->formState().FillerColour, imaging::colours::kMaroon);
    EXPECT_EQ(main->formState().MagentaColour, imaging::colours::kMagenta);
    EXPECT_EQ(main->formState().CustomColourSlot, 0);
    const SourceWorkflow& source = main->SourceFlow();
    EXPECT_EQ(source.SourceMenuChoice, SourceWorkflow::Choice::None);
    EXPECT_FALSE(source.SourceImagePath);
    EXPECT_FALSE(source.LevelPath);
    // The Target names no file yet: its menu says so, and item 3 offers the reload.
    const document::TextureSet& target = main->TargetDocument();
    EXPECT_FALSE(target.savedPath());
    EXPECT_FALSE(target.reloadedPath());
    EXPECT_EQ(controlsOf(*main).TargetCombo->itemText(0),
              QStringLiteral("   --- no TARGET file saved ---"));
    EXPECT_EQ(controlsOf(*main).TargetCombo->itemText(3),
              QStringLiteral("   --- Reload a Texture Set File ( TGA, BMP, JPG )"));
    EXPECT_FALSE(source.SourceCaption);
    EXPECT_EQ(target.state().caption, document::TargetName{});

    // The picture editor is offered once a picture file is the Source.
    EXPECT_EQ(controlsOf(*main).SourceCombo->count(), 5);
    EXPECT_FALSE(controlsOf(*main).SourceEditButton->isEnabled());
    EXPECT_EQ(controlsOf(*main).SourceCombo->currentText(),
              QStringLiteral("   --- no SOURCE file loaded ---"));
    EXPECT_EQ(controlsOf(*main).TargetCombo->itemText(2), QStringLiteral("   --- Create New"));
    EXPECT_EQ(controlsOf(*main).SourcePageControl->currentWidget(), controlsOf(*main).TabGrid);
    EXPECT_EQ(controlsOf(*main).TargetPageControl->currentWidget(), controlsOf(*main).TabTransform);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked());
    EXPECT_TRUE(controlsOf(*main).SpeedButtonOpaque->isChecked());
    EXPECT_FALSE(controlsOf(*main).SpeedButtonAlpha->isVisibleTo(main.get()));
    EXPECT_EQ(controlsOf(*main).StaticTextGrid->text(), QStringLiteral("64"));
    EXPECT_EQ(controlsOf(*main).TrackBarSource->value(), 1);
}

TEST_F(MainFormTest, IsCentredOnTheScreenWhenFirstShown) {
    showWindow();
    const QRect screen = main->screen()->availableGeometry();
    const QPoint offset = main->frameGeometry().center() - screen.center();
    EXPECT_LE(std::abs(offset.x()), 1);
    EXPECT_LE(std::abs(offset.y()), 1);
}

TEST_F(MainFormTest, EveryControlOfTheDesignIsThereUnderItsName) {
    const char* names[] = {"StatusBar",
                           "PanelRightSide",
                           "PanelLeftSide",
                           "SourceCombo",
                           "Source",
                           "SourceAreaInfo",
                           "SourcePageControl",
                           "TabGrid",
                           "TabTransparency",
                           "TabAnimSource",
                           "CopyButton",
                           "ClipTileSizeScroll",
                           "ClipTileSize",
                           "ClipTileAreaBevel",
                           "ClipTileLabel",
                           "PanelMagenta",
                           "PanelBlack",
                           "PanelFiller",
                           "ClipTilePanel",
                           "ClipTileImage",
                           "CheckBoxExport",
                           "ClipExportButton",
                           "ClipImportButton",
                           "CheckBoxImport",
                           "ClipLabel",
                           "HelpSpeedButton",
                           "TargetCombo",
                           "Target",
                           "TargetWidth",
                           "TargetWidthScrollBar",
                           "TargetAreaInfo",
                           "TargetHeightScrollBar",
                           "TargetHeight",
                           "TargetPageControl",
                           "TabTransform",
                           "TabAnimTarget",
                           "SpeedButtonReset",
                           "SpeedButtonView",
                           "SpeedButtonStyle",
                           "ScrollBarGrid",
                           "StaticTextGrid",
                           "ImageGridSize",
                           "SpeedButtonOpaque",
                           "SpeedButtonMagenta",
                           "SpeedButtonPicker",
                           "SourceColourSample",
                           "SpeedButtonAlpha",
                           "ButtonStopSource",
                           "TrackBarSource",
                           "SpeedButtonNone",
                           "SpeedButtonRotate",
                           "SpeedButtonHFlip",
                           "SpeedButtonVFlip",
                           "SpeedButtonSwap",
                           "SpeedButtonMove",
                           "ButtonStopTarget",
                           "TrackBarTarget"};
    for (const char* name : names)
        EXPECT_NE(main->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(main->colorDialogFiller()->objectName(), QStringLiteral("ColorDialogFiller"));
    EXPECT_GE(controlsOf(*main).PanelRightSide->width(), 417);
    EXPECT_EQ(controlsOf(*main).PanelLeftSide->minimumWidth(), 300);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->size(), QSize(64, 64));
}

TEST_F(MainFormTest, RaisingTheCountersWidensTheViewAndLoweringThemKeepsThePages) {
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    controlsOf(*main).TargetHeightScrollBar->setValue(3);
    EXPECT_EQ(controlsOf(*main).Target->PortWidth(), 512);
    EXPECT_EQ(controlsOf(*main).Target->PortHeight(), 768);
    EXPECT_EQ(controlsOf(*main).PanelRightSide->width(), 673);
    // The window is as narrow as its panels allow: the Source side at its minimum.
    EXPECT_EQ(main->width(), 300 + 673);
    EXPECT_EQ(controlsOf(*main).TargetAreaInfo->text(),
              QStringLiteral("512 x 768 pixels (8 x 12 = 96 txtrs)"));
    EXPECT_EQ(face(controlsOf(*main).TargetAreaInfo), kSkyBlue);
    // The grid follows the view.
    EXPECT_EQ(controlsOf(*main).Target->GridCols, 8);
    EXPECT_EQ(controlsOf(*main).Target->GridRows, 12);

    // Work on the new pages survives lowering the counters and comes back on raising them.
    paintCell(controlsOf(*main).Target, 7, 11, Colour{10, 200, 30});
    controlsOf(*main).TargetWidthScrollBar->setValue(1);
    controlsOf(*main).TargetHeightScrollBar->setValue(1);
    EXPECT_EQ(controlsOf(*main).Target->PortWidth(), 256);
    EXPECT_EQ(controlsOf(*main).Target->PortHeight(), 256);
    EXPECT_EQ(controlsOf(*main).PanelRightSide->width(), 417);
    // Back to one page, the window is back to its design width; the Source side takes the rest.
    EXPECT_EQ(main->width(), 725);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().width(), 512);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 768);
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    controlsOf(*main).TargetHeightScrollBar->setValue(3);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(7 * 64 + 5, 11 * 64 + 5),
              (Colour{10, 200, 30}));
    // Pages added for the first time are black.
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(300, 700), imaging::colours::kBlack);
}

TEST_F(MainFormTest, AnAnimationOnPagesHiddenByTheCountersStillEndsOnItsStartingPictures) {
    // Cells 13 to 17 run from the first page down onto the second.
    for (int index = 12; index < 20; ++index)
        paintCell(controlsOf(*main).Target, index % 4, index / 4,
                  Colour{static_cast<std::uint8_t>(20 * index), 90, 0});
    const Bitmap before = controlsOf(*main).Target->Bitmap();
    controlsOf(*main).Target->DownIndex = 13;
    controlsOf(*main).Target->UpIndex = 17;
    controlsOf(*main).Target->StartAnimation();
    ASSERT_TRUE(controlsOf(*main).Target->AnimationActive());
    controlsOf(*main).Target->ShiftCellsOnTimer();
    controlsOf(*main).TargetHeightScrollBar->setValue(1);
    ASSERT_EQ(controlsOf(*main).Target->PortHeight(), 256);
    controlsOf(*main).Target->ShiftCellsOnTimer();
    controlsOf(*main).ButtonStopTarget->click();
    for (int tick = 0; tick < 8 && controlsOf(*main).Target->AnimationActive(); ++tick)
        controlsOf(*main).Target->ShiftCellsOnTimer();
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    controlsOf(*main).TargetHeightScrollBar->setValue(2);
    const Bitmap& after = controlsOf(*main).Target->Bitmap();
    ASSERT_EQ(after.height(), before.height());
    for (int index = 12; index < 20; ++index) {
        const int x = (index % 4) * 64 + 9;
        const int y = (index / 4) * 64 + 9;
        EXPECT_EQ(after.pixel(x, y), before.pixel(x, y)) << "cell " << index;
    }
}

TEST_F(MainFormTest, MoreThan256TilesTurnTheSizeLineRed) {
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    controlsOf(*main).TargetHeightScrollBar->setValue(9);
    EXPECT_EQ(controlsOf(*main).TargetAreaInfo->text(),
              QStringLiteral("512 x 2304 pixels (8 x 36 = 288 txtrs)"));
    for (const QLabel* label : {controlsOf(*main).TargetAreaInfo, controlsOf(*main).TargetWidth,
                                controlsOf(*main).TargetHeight})
        EXPECT_EQ(face(label), kRed) << label->objectName().toStdString();
    EXPECT_EQ(controlsOf(*main).TargetWidth->text(), QStringLiteral("2"));
    EXPECT_EQ(controlsOf(*main).TargetHeight->text(), QStringLiteral("9"));

    // Exactly 256 tiles is still fine.
    controlsOf(*main).TargetHeightScrollBar->setValue(8);
    EXPECT_EQ(controlsOf(*main).TargetAreaInfo->text(),
              QStringLiteral("512 x 2048 pixels (8 x 32 = 256 txtrs)"));
    EXPECT_EQ(face(controlsOf(*main).TargetAreaInfo), kSkyBlue);
}

TEST_F(MainFormTest, AReplacedTargetPictureSetsTheCountersAndIsCroppedToATextureSet) {
    controlsOf(*main).Target->setBitmap(Bitmap(256, 300));
    main->ResizeTargetWindow(nullptr);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).Target->PortHeight(), 512);

    // Too big: cut from the top-left, with one message naming the size kept.
    QString message;
    int messages = 0;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            ++messages;
            box->accept();
        }
    });
    controlsOf(*main).Target->setBitmap(Bitmap(1024, 9000));
    main->ResizeTargetWindow(nullptr);
    EXPECT_EQ(messages, 1);
    EXPECT_TRUE(message.startsWith(QStringLiteral("This image was too big! It was cropped to "
                                                  "512x8192 pixels.")))
        << message.toStdString();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().width(), 512);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 8192);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 32);
    EXPECT_EQ(face(controlsOf(*main).TargetAreaInfo), kRed);
}

TEST_F(MainFormTest, TheSizeSelectorWrapsAroundItsSixModes) {
    const struct {
        int position;
        int shown;
        const char* text;
    } rows[] = {{1, 1, "      Multi Tile"},  {2, 2, "      64 x 64"},   {3, 3, "      128 x 128"},
                {4, 4, "      256 x 256"},   {5, 5, "      Auto Size"}, {6, 6, "      Scroll Tile"},
                {0, 6, "      Scroll Tile"}, {7, 1, "      Multi Tile"}};
    for (const auto& row : rows) {
        controlsOf(*main).ClipTileSizeScroll->setValue(row.position == 1 ? 2 : 1);
        controlsOf(*main).ClipTileSizeScroll->setValue(row.position);
        EXPECT_EQ(controlsOf(*main).ClipTileSizeScroll->value(), row.shown) << row.position;
        EXPECT_EQ(controlsOf(*main).ClipTileSize->text(), QString::fromLatin1(row.text))
            << row.position;
    }
    // The arrows: up from Multi Tile gives Scroll Tile, down from Scroll Tile Multi Tile.
    controlsOf(*main).ClipTileSizeScroll->setValue(1);
    controlsOf(*main).ClipTileSizeScroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(controlsOf(*main).ClipTileSize->text(), QStringLiteral("      Scroll Tile"));
    controlsOf(*main).ClipTileSizeScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(controlsOf(*main).ClipTileSize->text(), QStringLiteral("      Multi Tile"));
}

TEST_F(MainFormTest, ADragOnTheSourceMakesTheTileThatAClickOnTheTargetPastes) {
    showWindow();
    const Colour red{200, 10, 10};
    const Colour blue{10, 10, 200};
    paintCell(controlsOf(*main).Source, 1, 0, red);
    paintCell(controlsOf(*main).Source, 2, 1, blue);
    QWidget* source = controlsOf(*main).Source->BasePanel;
    QWidget* target = controlsOf(*main).Target->BasePanel;

    // Drag from the cell at column 1, row 0 to the cell at column 2, row 1.
    QTest::mouseMove(source, QPoint(70, 10));
    QTest::mousePress(source, Qt::LeftButton, {}, QPoint(70, 10));
    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Grab);
    QTest::mouseMove(source, QPoint(150, 100));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(150, 100));

    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Idle);
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
    const Bitmap& tile = controlsOf(*main).ClipTileImage->picture();
    ASSERT_EQ(tile.width(), 128);
    ASSERT_EQ(tile.height(), 128);
    EXPECT_EQ(tile.pixel(5, 5), red);
    EXPECT_EQ(tile.pixel(70, 70), blue);
    EXPECT_EQ(controlsOf(*main).Target->Clip().bitmap, tile);

    // A click on the Target pastes at the grid-locked cursor and ends pasting.
    QTest::mouseMove(target, QPoint(80, 140));
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(80, 140));
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    const Bitmap& pasted = controlsOf(*main).Target->Bitmap();
    EXPECT_EQ(pasted.pixel(64 + 3, 128 + 3), red);
    EXPECT_EQ(pasted.pixel(64 + 70, 128 + 70), blue);
    EXPECT_EQ(pasted.pixel(64 + 130, 128 + 3), imaging::colours::kBlack);
    EXPECT_EQ(pasted.pixel(10, 10), imaging::colours::kBlack);
    // The Source picture is not changed by cutting.
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(70, 10), red);
}

TEST_F(MainFormTest, APressOnTheSourceShowsTheFirstCellAndEndsTargetTools) {
    showWindow();
    paintCell(controlsOf(*main).Source, 0, 0, Colour{1, 2, 3});
    controlsOf(*main).SpeedButtonRotate->setChecked(true);
    controlsOf(*main).Target->SetModeToPaste();
    QTest::mousePress(controlsOf(*main).Source->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked());
    ASSERT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 64);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(0, 0), (Colour{1, 2, 3}));
    QTest::mouseRelease(controlsOf(*main).Source->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
}

TEST_F(MainFormTest, WithThePickerArmedTheSourceSamplesColoursAndAClickOnlyEndsPicking) {
    showWindow();
    ASSERT_EQ(main->formState().PickerCursor.shape(), Qt::BitmapCursor)
        << "the picker picture is missing";
    paintCell(controlsOf(*main).Source, 1, 1, Colour{12, 34, 56});
    QWidget* source = controlsOf(*main).Source->BasePanel;
    source->setCursor(main->formState().PickerCursor);
    QTest::mouseMove(source, QPoint(100, 100));
    EXPECT_EQ(controlsOf(*main).SourceColourSample->colour(), QColor(12, 34, 56));
    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Idle);

    QTest::mousePress(source, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(source->testAttribute(Qt::WA_SetCursor));
    EXPECT_TRUE(controlsOf(*main).ClipTileImage->picture().isEmpty()) << "nothing is cut";
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    // The sample keeps the colour of the last move.
    EXPECT_EQ(controlsOf(*main).SourceColourSample->colour(), QColor(12, 34, 56));
}

TEST_F(MainFormTest, ACutOnTheTargetIsReadyToPasteUnresized) {
    showWindow();
    paintCell(controlsOf(*main).Target, 0, 1, Colour{9, 9, 9});
    controlsOf(*main).ClipTileSizeScroll->setValue(2); // 64 x 64 does not apply to Target cuts
    QWidget* target = controlsOf(*main).Target->BasePanel;
    QTest::mouseMove(target, QPoint(10, 70));
    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(10, 70));
    QTest::mouseMove(target, QPoint(100, 70));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(100, 70));
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 128);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().height(), 64);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(1, 1), (Colour{9, 9, 9}));
}

TEST_F(MainFormTest, ARightDragBringsTheAnimationTabAtFullSpeed) {
    showWindow();
    controlsOf(*main).TrackBarSource->setValue(3);
    QWidget* source = controlsOf(*main).Source->BasePanel;
    QTest::mouseMove(source, QPoint(10, 10));
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Range);
    QTest::mouseMove(source, QPoint(140, 10));
    QTest::mouseRelease(source, Qt::RightButton, {}, QPoint(140, 10));
    EXPECT_EQ(controlsOf(*main).SourcePageControl->currentWidget(),
              controlsOf(*main).TabAnimSource);
    EXPECT_EQ(controlsOf(*main).TrackBarSource->value(), 1);
    EXPECT_NE(controlsOf(*main).Target->Mode, CanvasMode::Paste) << "a range is not a cut";

    // The same on the Target, whose tabs then show the Target's animation.
    controlsOf(*main).TrackBarTarget->setValue(4);
    controlsOf(*main).TargetPageControl->setCurrentWidget(controlsOf(*main).TabTransform);
    QWidget* target = controlsOf(*main).Target->BasePanel;
    QTest::mouseMove(target, QPoint(10, 10));
    QTest::mousePress(target, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(target, Qt::RightButton, {}, QPoint(70, 10));
    EXPECT_EQ(controlsOf(*main).TargetPageControl->currentWidget(),
              controlsOf(*main).TabAnimTarget);
    EXPECT_EQ(controlsOf(*main).TrackBarTarget->value(), 1);
}

TEST_F(MainFormTest, RightPressesOnTheSourceLeaveTheCurrentTileAlone) {
    showWindow();
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(QColor(40, 50, 60));
    QApplication::clipboard()->setImage(picture);
    controlsOf(*main).ClipImportButton->click();
    ASSERT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 7);

    QWidget* source = controlsOf(*main).Source->BasePanel;
    QTest::mouseMove(source, QPoint(10, 10));
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 7) << "a range begun";
    QTest::mouseRelease(source, Qt::RightButton, {}, QPoint(140, 10));
    ASSERT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Anim);
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(controlsOf(*main).Source->AnimRunning);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 7) << "an animation stopped";
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(3, 3), (Colour{40, 50, 60}));
}

TEST_F(MainFormTest, ARightClickOnTheTargetLeavesTheTransformationTool) {
    showWindow();
    controlsOf(*main).TargetPageControl->setCurrentWidget(controlsOf(*main).TabAnimTarget);
    controlsOf(*main).SpeedButtonRotate->setChecked(true);
    controlsOf(*main).Target->SetModeToTransform();
    QTest::mouseClick(controlsOf(*main).Target->BasePanel, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked());
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    // Only a press in Idle brings the transformation tab to the front.
    EXPECT_EQ(controlsOf(*main).TargetPageControl->currentWidget(),
              controlsOf(*main).TabAnimTarget);
    QTest::mouseClick(controlsOf(*main).Target->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(controlsOf(*main).TargetPageControl->currentWidget(), controlsOf(*main).TabTransform);
}

TEST_F(MainFormTest, OnlyTheSourceReactsToDoubleClicks) {
    showWindow();
    QWidget* target = controlsOf(*main).Target->BasePanel;
    QTest::mouseMove(target, QPoint(30, 30));
    QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(controlsOf(*main).Target->SnapToGrid);
    EXPECT_EQ(controlsOf(*main).Target->GridOffsetX, 0);
    EXPECT_FALSE(main->formState().SourceDoubleClicked);

    // On the Source the double click leaves the locked grid, and its release cuts nothing.
    QWidget* source = controlsOf(*main).Source->BasePanel;
    controlsOf(*main).SpeedButtonView->setChecked(true);
    QTest::mouseMove(source, QPoint(30, 30));
    QTest::mouseDClick(source, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(controlsOf(*main).Source->SnapToGrid);
    EXPECT_FALSE(controlsOf(*main).SpeedButtonView->isChecked());
    EXPECT_TRUE(main->formState().SourceDoubleClicked);
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(main->formState().SourceDoubleClicked);
    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Idle);
    EXPECT_NE(controlsOf(*main).Target->Mode, CanvasMode::Paste);

    // The next double click locks a custom grid around the pointer and shows it.
    QTest::mouseMove(source, QPoint(100, 70));
    QTest::mouseDClick(source, Qt::LeftButton, {}, QPoint(100, 70));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(100, 70));
    EXPECT_TRUE(controlsOf(*main).Source->SnapToGrid);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonView->isChecked());
}

TEST_F(MainFormTest, AClickOnTheCentralPanelCancelsBothCanvases) {
    showWindow();
    controlsOf(*main).Target->SetModeToPaste();
    controlsOf(*main).Source->AnimRunning = true;
    controlsOf(*main).Target->AnimRunning = true;
    controlsOf(*main).SpeedButtonSwap->setChecked(true);
    // Empty space between the clipboard frame and the help button.
    QTest::mouseClick(controlsOf(*main).PanelRightSide, Qt::LeftButton, {}, QPoint(60, 330));
    EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Idle);
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    EXPECT_FALSE(controlsOf(*main).Source->AnimRunning);
    EXPECT_FALSE(controlsOf(*main).Target->AnimRunning);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked());
}

TEST_F(MainFormTest, NoControlKeepsTheFocusAfterTheMouseUsedIt) {
    showWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    controlsOf(*main).SourceCombo->setFocus();
    controlsOf(*main).SourceCombo->showPopup();
    controlsOf(*main).SourceCombo->hidePopup();
    // The popup may have taken the activation; the window's own focus is what counts.
    EXPECT_EQ(main->focusWidget(), controlsOf(*main).PanelRightSide);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    controlsOf(*main).TargetCombo->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), controlsOf(*main).TargetCombo);
    main->resize(800, 600);
    EXPECT_EQ(QApplication::focusWidget(), controlsOf(*main).PanelRightSide);

    // Clicking a button or a box leaves the focus where it was; the Tab key still reaches
    // them.
    QTest::mouseClick(controlsOf(*main).CheckBoxExport, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(controlsOf(*main).SpeedButtonReset, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), controlsOf(*main).PanelRightSide);
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             controlsOf(*main).CopyButton, controlsOf(*main).CheckBoxImport,
             controlsOf(*main).SpeedButtonRotate, controlsOf(*main).ClipExportButton})
        EXPECT_EQ(w->focusPolicy(), Qt::TabFocus) << w->objectName().toStdString();

    // Entering a page counter hands the focus straight back.
    controlsOf(*main).TargetHeightScrollBar->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), controlsOf(*main).PanelRightSide);
}

TEST_F(MainFormTest, HintsShowInTheStatusLineAndNeverAsPopUps) {
    showWindow();
    const TextTable& texts = englishTexts();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(controlsOf(*main).PanelFiller, &enter);
    // The hint, then the control's keys.
    EXPECT_TRUE(controlsOf(*main).StatusBar->currentMessage().startsWith(texts.HintPanelFiller));
    EXPECT_TRUE(
        controlsOf(*main).StatusBar->currentMessage().endsWith(QStringLiteral("[ F, Shift+F ]")));
    EXPECT_TRUE(controlsOf(*main).StatusBar->currentMessage().startsWith(QStringLiteral("     C")));

    // Back on the central panel's empty space its own hint shows again.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(controlsOf(*main).PanelFiller, &leave);
    EXPECT_TRUE(controlsOf(*main).StatusBar->currentMessage().startsWith(texts.HintPanelRightSide));

    // The inner layers of a canvas show the canvas's hint.
    QApplication::sendEvent(controlsOf(*main).Target->BasePanel, &enter);
    EXPECT_TRUE(controlsOf(*main).StatusBar->currentMessage().startsWith(texts.HintTarget));

    // Tool tip requests are swallowed, and no control carries a tool tip.
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5),
                    controlsOf(*main).CopyButton->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(controlsOf(*main).CopyButton, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    // (The file dialogs are windows of their own, with the desktop's usual tool tips.)
    for (const QWidget* w : main->findChildren<QWidget*>()) {
        if (w->window() == main.get()) {
            EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
        }
    }
}

TEST_F(MainFormTest, ScreenReadersHearWhatEachControlIs) {
    EXPECT_EQ(controlsOf(*main).Source->accessibleName(), QStringLiteral("Source canvas"));
    EXPECT_EQ(controlsOf(*main).Target->accessibleName(), QStringLiteral("Target canvas"));
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->accessibleName(),
              QStringLiteral("Target width in pages"));
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->accessibleName(),
              QStringLiteral("Target height in pages"));
    EXPECT_EQ(controlsOf(*main).CopyButton->accessibleName(), QStringLiteral("Copy All --->"));
    EXPECT_EQ(controlsOf(*main).CheckBoxExport->accessibleName(), QStringLiteral("AUTO EXPORT"));
    EXPECT_TRUE(controlsOf(*main).PanelFiller->accessibleDescription().startsWith(
        QStringLiteral("Colour pot: suggested filler colour ( maroon = 128,0,0 ). "
                       "Double-click to change the colour")));
    // Every control the user can reach is named, and every hint is told without its indent.
    for (const QWidget* w : main->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || !name.front().isUpper() || name == QStringLiteral("MainClient"))
            continue;
        if (w->parentWidget() != controlsOf(*main).Source &&
            w->parentWidget() != controlsOf(*main).Target && w->window() == main.get() &&
            !name.startsWith(QStringLiteral("ScrollBox")) && name != QStringLiteral("BasePanel") &&
            name != QStringLiteral("DragNDrop") && name != QStringLiteral("CentralColumn") &&
            name != QStringLiteral("CurrentTileArea") && name != QStringLiteral("TargetArea")) {
            const QAccessibleInterface* spoken =
                QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
            ASSERT_NE(spoken, nullptr) << name.toStdString();
            EXPECT_FALSE(spoken->text(QAccessible::Name).isEmpty()) << name.toStdString();
        }
        // The canvases tell their keys too (undo, zoom), which their full hints leave no room for.
        if (!w->statusTip().isEmpty()) {
            EXPECT_TRUE(w->accessibleDescription().startsWith(w->statusTip().trimmed()))
                << name.toStdString();
        }
    }
    // Whatever the keyboard can reach is announced with a name, the canvases' scroll boxes
    // (which take the focus when a canvas is clicked) included.
    for (QWidget* w : main->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(main.get()))
            continue;
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(spoken, nullptr);
        EXPECT_FALSE(spoken->text(QAccessible::Name).trimmed().isEmpty())
            << w->objectName().toStdString() << " in "
            << w->parentWidget()->objectName().toStdString();
    }
    EXPECT_EQ(controlsOf(*main).Source->ScrollBoxImageStack->accessibleName(),
              QStringLiteral("Source canvas"));
    EXPECT_TRUE(controlsOf(*main).Target->ScrollBoxImageStack->accessibleDescription().startsWith(
        englishTexts().HintTarget.trimmed()));
}

TEST_F(MainFormTest, TheGridTabSetsBothCanvases) {
    controlsOf(*main).ScrollBarGrid->setValue(0);
    EXPECT_EQ(controlsOf(*main).StaticTextGrid->text(), QStringLiteral("8"));
    for (canvas::TFrameStack* canvas : {controlsOf(*main).Source, controlsOf(*main).Target}) {
        EXPECT_EQ(canvas->CellWidth, 8);
        EXPECT_EQ(canvas->GridOffsetX, 0);
        EXPECT_EQ(canvas->GridStyle, GridStyle::Dotted);
    }
    controlsOf(*main).SpeedButtonStyle->click();
    controlsOf(*main).ScrollBarGrid->setValue(2);
    EXPECT_EQ(controlsOf(*main).StaticTextGrid->text(), QStringLiteral("32"));
    for (canvas::TFrameStack* canvas : {controlsOf(*main).Source, controlsOf(*main).Target}) {
        EXPECT_EQ(canvas->CellWidth, 32);
        EXPECT_EQ(canvas->GridStyle, GridStyle::Lines) << "the style button keeps its effect";
    }
    controlsOf(*main).SpeedButtonView->click();
    EXPECT_TRUE(controlsOf(*main).Source->Grid().visible);
    EXPECT_TRUE(controlsOf(*main).Target->Grid().visible);
}

TEST_F(MainFormTest, TheAnimationTabsStopAndSlowTheirOwnCanvas) {
    controlsOf(*main).Source->AnimInterval = 40;
    controlsOf(*main).TrackBarSource->setValue(4);
    EXPECT_EQ(controlsOf(*main).Source->TimerAnim->interval(), 160);
    controlsOf(*main).Target->AnimInterval = 30;
    controlsOf(*main).TrackBarTarget->setValue(2);
    EXPECT_EQ(controlsOf(*main).Target->TimerAnim->interval(), 60);
    EXPECT_EQ(controlsOf(*main).Source->TimerAnim->interval(), 160);

    controlsOf(*main).Source->AnimRunning = true;
    controlsOf(*main).Target->AnimRunning = true;
    controlsOf(*main).ButtonStopTarget->click();
    EXPECT_FALSE(controlsOf(*main).Target->AnimRunning);
    EXPECT_TRUE(controlsOf(*main).Source->AnimRunning);
    controlsOf(*main).ButtonStopSource->click();
    EXPECT_FALSE(controlsOf(*main).Source->AnimRunning);
}

TEST_F(MainFormTest, TheAutoBoxesExcludeEachOtherAndImportFollowsTheClipboard) {
    controlsOf(*main).CheckBoxExport->setChecked(true);
    EXPECT_TRUE(controlsOf(*main).Source->AutoExport);
    EXPECT_TRUE(controlsOf(*main).Target->AutoExport);
    controlsOf(*main).CheckBoxImport->setChecked(true);
    EXPECT_FALSE(controlsOf(*main).CheckBoxExport->isChecked());
    EXPECT_FALSE(controlsOf(*main).Source->AutoExport);
    EXPECT_FALSE(controlsOf(*main).Target->AutoExport);

    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(QColor(40, 50, 60));
    QApplication::clipboard()->setImage(picture);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 7);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(3, 3), (Colour{40, 50, 60}));
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);

    // A picture larger than a whole texture set is taken at its own size.
    QImage huge(4200, 1000, QImage::Format_RGB32);
    huge.fill(Qt::white);
    QApplication::clipboard()->setImage(huge);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 4200);
    // A strip too long for any bitmap, however few its pixels, is refused aloud.
    QStringList messages;
    main->FIO().showMessage = [&messages](const QString& text, const QString&) {
        messages << text;
    };
    for (const QSize size : {QSize(70000, 2), QSize(3, 70000)}) {
        QImage strip(size, QImage::Format_RGB32);
        strip.fill(Qt::white);
        QApplication::clipboard()->setImage(strip);
        EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 4200);
    }
    EXPECT_EQ(messages.size(), 2);

    // Text on the clipboard changes nothing.
    controlsOf(*main).Target->SetModeToIdle();
    QApplication::clipboard()->setText(QStringLiteral("not a tile"));
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 4200);
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
}

} // namespace
} // namespace parvane::app

namespace parvane::app {
namespace {

class TransformationTabTest : public MainFormTest {};

TEST_F(TransformationTabTest, EachToolButtonArmsItsToolOnTheTargetOnly) {
    const std::pair<QToolButton*, const char*> tools[] = {
        {controlsOf(*main).SpeedButtonRotate, "crRotate"},
        {controlsOf(*main).SpeedButtonHFlip, "crHFlip"},
        {controlsOf(*main).SpeedButtonVFlip, "crVFlip"},
        {controlsOf(*main).SpeedButtonSwap, "crSwap"},
        {controlsOf(*main).SpeedButtonMove, "crHand"},
    };
    for (const auto& [button, cursorName] : tools) {
        button->click();
        EXPECT_TRUE(button->isChecked());
        EXPECT_FALSE(controlsOf(*main).SpeedButtonNone->isChecked()) << cursorName;
        EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Transform) << cursorName;
        EXPECT_EQ(controlsOf(*main).Target->CursorName(), cursorName);
        EXPECT_EQ(controlsOf(*main).Source->Mode, CanvasMode::Idle);
    }
    controlsOf(*main).SpeedButtonNone->click();
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    EXPECT_EQ(controlsOf(*main).Target->CursorName(), "crNormal");
}

// Paths that take the Target out of its tool mode leave the tool row showing no tool, so
// that a pressed Rotate button never promises a rotation the next click will not make.
TEST_F(TransformationTabTest, LeavingTheToolModeReleasesTheToolButton) {
    controlsOf(*main).SpeedButtonRotate->click();
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Transform);
    controlsOf(*main).ScrollBarGrid->setValue(2);
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked()) << "a new grid size";

    controlsOf(*main).SpeedButtonHFlip->click();
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Transform);
    QImage tile(16, 16, QImage::Format_RGB32);
    tile.fill(QColor(10, 20, 30));
    QApplication::clipboard()->setImage(tile);
    controlsOf(*main).ClipImportButton->click();
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
    EXPECT_TRUE(controlsOf(*main).SpeedButtonNone->isChecked())
        << "a tile imported from the clipboard";
}

TEST_F(TransformationTabTest, RotateThenSwapChangeTheTargetWhereTheUserClicks) {
    showWindow();
    QWidget* panel = controlsOf(*main).Target->BasePanel;
    paintCell(controlsOf(*main).Target, 0, 0, {0, 0, 255});
    controlsOf(*main).Target->Bitmap().fillRect({0, 0, 64, 1}, {255, 0, 0}); // red top row
    controlsOf(*main).SpeedButtonRotate->click();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(63, 40), (Colour{255, 0, 0}))
        << "the red top row became the right column";
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(5, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Transform) << "the tool stays armed";

    paintCell(controlsOf(*main).Target, 1, 1, {0, 255, 0});
    controlsOf(*main).SpeedButtonSwap->click();
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(100, 100));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(20, 20), (Colour{0, 255, 0}));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(127, 100), (Colour{255, 0, 0}));
}

TEST_F(TransformationTabTest, AToolChosenDuringAnAnimationActsOnTheCellClicked) {
    showWindow();
    QWidget* panel = controlsOf(*main).Target->BasePanel;
    const auto shade = [](int col) {
        return Colour{static_cast<std::uint8_t>(60 * col), 0, static_cast<std::uint8_t>(200)};
    };
    for (int col = 0; col < 4; ++col)
        paintCell(controlsOf(*main).Target, col, 0, shade(col));
    controlsOf(*main).Target->Bitmap().fillRect({64, 0, 128, 1},
                                                {255, 255, 0}); // cell 1: yellow top row
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Anim);
    controlsOf(*main).Target->ShiftCellsOnTimer();
    ASSERT_EQ(controlsOf(*main).Target->Bitmap().pixel(5, 5), shade(1))
        << "the range is in mid-cycle";

    controlsOf(*main).SpeedButtonRotate->click();
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Transform);
    EXPECT_TRUE(controlsOf(*main).Target->L7_Cursor.visible) << "the tool's cursor shows";
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(col * 64 + 5, 5), shade(col)) << col;

    // The rotation lands on the cell clicked and stays there.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(70, 10));
    for (int tick = 0; tick < 4; ++tick)
        controlsOf(*main).Target->ShiftCellsOnTimer();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(127, 40), (Colour{255, 255, 0}));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(70, 0), shade(1));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(5, 5), shade(0));
}

TEST_F(TransformationTabTest, NoneDuringAnAnimationKeepsTheRightButtonStoppingIt) {
    showWindow();
    QWidget* panel = controlsOf(*main).Target->BasePanel;
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Anim);
    controlsOf(*main).SpeedButtonNone->click();
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Anim);
    EXPECT_FALSE(controlsOf(*main).Target->L7_Cursor.visible);
    QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(70, 10));
    EXPECT_FALSE(controlsOf(*main).Target->AnimRunning);
    EXPECT_EQ(controlsOf(*main).Target->AnimFirst, 0) << "no new range was started";
}

TEST_F(TransformationTabTest, ASlowerSpeedStretchesTheRunningAnimation) {
    showWindow();
    QWidget* panel = controlsOf(*main).Target->BasePanel;
    for (int col = 0; col < 4; ++col)
        paintCell(controlsOf(*main).Target, col, 0,
                  {static_cast<std::uint8_t>(60 * col), 0, static_cast<std::uint8_t>(200)});
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Anim);
    EXPECT_EQ(controlsOf(*main).TargetPageControl->currentWidget(),
              controlsOf(*main).TabAnimTarget);
    EXPECT_EQ(controlsOf(*main).Target->TimerAnim->interval(), 80);
    controlsOf(*main).TrackBarTarget->setValue(3);
    EXPECT_EQ(controlsOf(*main).Target->TimerAnim->interval(), 240);
    controlsOf(*main).ButtonStopTarget->click();
    // The cycle completes before the canvas returns to Idle with every cell restored.
    for (int tick = 0; tick < 8 && controlsOf(*main).Target->Mode != CanvasMode::Idle; ++tick)
        controlsOf(*main).Target->ShiftCellsOnTimer();
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Idle);
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(col * 64 + 5, 5).red, 60 * col);
}

} // namespace
} // namespace parvane::app
