// The main window as the user meets it: its state after start-up, the page counters, the
// size selector, cutting on the Source and pasting on the Target, the central panel, the
// keyboard focus, the status-line hints and what screen readers are told.
#include "app/MainForm.h"

#include "app/Languages.h"
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

    EXPECT_EQ(main->TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(main->TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(main->TargetWidth->text(), QStringLiteral("1"));
    EXPECT_EQ(main->TargetHeight->text(), QStringLiteral("2"));
    EXPECT_EQ(main->TargetAreaInfo->text(), QStringLiteral("256 x 512 pixels (4 x 8 = 32 txtrs)"));
    for (const QLabel* label : {main->TargetAreaInfo, main->TargetWidth, main->TargetHeight})
        EXPECT_EQ(face(label), kSkyBlue) << label->objectName().toStdString();
    EXPECT_EQ(main->ClipTileSize->text(), QStringLiteral("      Multi Tile"));
    EXPECT_TRUE(main->ClipTileImage->picture().isEmpty());

    // Both canvases: black 256 x 512 pictures, 64-pixel grid, nothing going on.
    for (canvas::TFrameStack* canvas : {main->Source, main->Target}) {
        EXPECT_EQ(canvas->Bitmap().width(), 256);
        EXPECT_EQ(canvas->Bitmap().height(), 512);
        EXPECT_EQ(canvas->PortWidth(), 256);
        EXPECT_EQ(canvas->PortHeight(), 512);
        EXPECT_EQ(canvas->CellWidth, 64);
        EXPECT_EQ(canvas->Mode, CanvasMode::Idle);
        EXPECT_FALSE(canvas->TimerAnim->isActive());
    }
    EXPECT_EQ(main->Target->FillColor, imaging::colours::kBlack);
    EXPECT_EQ(main->Target->Image().paint, imaging::colours::kBlack);

    EXPECT_EQ(main->PotColour, imaging::colours::kBlack);
    EXPECT_EQ(main->FillerColour, imaging::colours::kMaroon);
    EXPECT_EQ(main->MagentaColour, imaging::colours::kMagenta);
    EXPECT_EQ(main->CustomColourSlot, 0);
    const SourceWorkflow& source = main->SourceFlow();
    EXPECT_EQ(source.SourceMenuChoice, SourceWorkflow::Choice::None);
    EXPECT_FALSE(source.SourceImagePath);
    EXPECT_FALSE(source.LevelPath);
    // The Target names no file yet: its menu says so, and item 3 offers the reload.
    const document::TextureSet& target = main->TargetDocument();
    EXPECT_FALSE(target.savedPath());
    EXPECT_FALSE(target.reloadedPath());
    EXPECT_EQ(main->TargetCombo->itemText(0), QStringLiteral("   --- no TARGET file saved ---"));
    EXPECT_EQ(main->TargetCombo->itemText(3),
              QStringLiteral("   --- Reload a Texture Set File ( TGA, BMP, JPG )"));
    EXPECT_FALSE(source.SourceCaption);
    EXPECT_EQ(target.state().caption, document::TargetName{});

    EXPECT_EQ(main->SourceCombo->count(), 4);
    EXPECT_EQ(main->SourceCombo->currentText(), QStringLiteral("   --- no SOURCE file loaded ---"));
    EXPECT_EQ(main->TargetCombo->itemText(2), QStringLiteral("   --- Create New"));
    EXPECT_EQ(main->SourcePageControl->currentWidget(), main->TabGrid);
    EXPECT_EQ(main->TargetPageControl->currentWidget(), main->TabTransform);
    EXPECT_TRUE(main->SpeedButtonNone->isChecked());
    EXPECT_TRUE(main->SpeedButtonOpaque->isChecked());
    EXPECT_FALSE(main->SpeedButtonAlpha->isVisibleTo(main.get()));
    EXPECT_EQ(main->StaticTextGrid->text(), QStringLiteral("64"));
    EXPECT_EQ(main->TrackBarSource->value(), 1);
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
    EXPECT_GE(main->PanelRightSide->width(), 417);
    EXPECT_EQ(main->PanelLeftSide->minimumWidth(), 300);
    EXPECT_EQ(main->ClipTileImage->size(), QSize(64, 64));
}

TEST_F(MainFormTest, RaisingTheCountersWidensTheViewAndLoweringThemKeepsThePages) {
    main->TargetWidthScrollBar->setValue(2);
    main->TargetHeightScrollBar->setValue(3);
    EXPECT_EQ(main->Target->PortWidth(), 512);
    EXPECT_EQ(main->Target->PortHeight(), 768);
    EXPECT_EQ(main->PanelRightSide->width(), 673);
    // The window is as narrow as its panels allow: the Source side at its minimum.
    EXPECT_EQ(main->width(), 300 + 673);
    EXPECT_EQ(main->TargetAreaInfo->text(), QStringLiteral("512 x 768 pixels (8 x 12 = 96 txtrs)"));
    EXPECT_EQ(face(main->TargetAreaInfo), kSkyBlue);
    // The grid follows the view.
    EXPECT_EQ(main->Target->GridCols, 8);
    EXPECT_EQ(main->Target->GridRows, 12);

    // Work on the new pages survives lowering the counters and comes back on raising them.
    paintCell(main->Target, 7, 11, Colour{10, 200, 30});
    main->TargetWidthScrollBar->setValue(1);
    main->TargetHeightScrollBar->setValue(1);
    EXPECT_EQ(main->Target->PortWidth(), 256);
    EXPECT_EQ(main->Target->PortHeight(), 256);
    EXPECT_EQ(main->PanelRightSide->width(), 417);
    // Back to one page, the window is back to its design width; the Source side takes the rest.
    EXPECT_EQ(main->width(), 725);
    EXPECT_EQ(main->Target->Bitmap().width(), 512);
    EXPECT_EQ(main->Target->Bitmap().height(), 768);
    main->TargetWidthScrollBar->setValue(2);
    main->TargetHeightScrollBar->setValue(3);
    EXPECT_EQ(main->Target->Bitmap().pixel(7 * 64 + 5, 11 * 64 + 5), (Colour{10, 200, 30}));
    // Pages added for the first time are black.
    EXPECT_EQ(main->Target->Bitmap().pixel(300, 700), imaging::colours::kBlack);
}

TEST_F(MainFormTest, AnAnimationOnPagesHiddenByTheCountersStillEndsOnItsStartingPictures) {
    // Cells 13 to 17 run from the first page down onto the second.
    for (int index = 12; index < 20; ++index)
        paintCell(main->Target, index % 4, index / 4,
                  Colour{static_cast<std::uint8_t>(20 * index), 90, 0});
    const Bitmap before = main->Target->Bitmap();
    main->Target->DownIndex = 13;
    main->Target->UpIndex = 17;
    main->Target->StartAnimation();
    ASSERT_TRUE(main->Target->AnimationActive());
    main->Target->ShiftCellsOnTimer();
    main->TargetHeightScrollBar->setValue(1);
    ASSERT_EQ(main->Target->PortHeight(), 256);
    main->Target->ShiftCellsOnTimer();
    main->ButtonStopTarget->click();
    for (int tick = 0; tick < 8 && main->Target->AnimationActive(); ++tick)
        main->Target->ShiftCellsOnTimer();
    EXPECT_FALSE(main->Target->AnimationActive());
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    main->TargetHeightScrollBar->setValue(2);
    const Bitmap& after = main->Target->Bitmap();
    ASSERT_EQ(after.height(), before.height());
    for (int index = 12; index < 20; ++index) {
        const int x = (index % 4) * 64 + 9;
        const int y = (index / 4) * 64 + 9;
        EXPECT_EQ(after.pixel(x, y), before.pixel(x, y)) << "cell " << index;
    }
}

TEST_F(MainFormTest, MoreThan256TilesTurnTheSizeLineRed) {
    main->TargetWidthScrollBar->setValue(2);
    main->TargetHeightScrollBar->setValue(9);
    EXPECT_EQ(main->TargetAreaInfo->text(),
              QStringLiteral("512 x 2304 pixels (8 x 36 = 288 txtrs)"));
    for (const QLabel* label : {main->TargetAreaInfo, main->TargetWidth, main->TargetHeight})
        EXPECT_EQ(face(label), kRed) << label->objectName().toStdString();
    EXPECT_EQ(main->TargetWidth->text(), QStringLiteral("2"));
    EXPECT_EQ(main->TargetHeight->text(), QStringLiteral("9"));

    // Exactly 256 tiles is still fine.
    main->TargetHeightScrollBar->setValue(8);
    EXPECT_EQ(main->TargetAreaInfo->text(),
              QStringLiteral("512 x 2048 pixels (8 x 32 = 256 txtrs)"));
    EXPECT_EQ(face(main->TargetAreaInfo), kSkyBlue);
}

TEST_F(MainFormTest, AReplacedTargetPictureSetsTheCountersAndIsCroppedToATextureSet) {
    main->Target->setBitmap(Bitmap(256, 300));
    main->ResizeTargetWindow(nullptr);
    EXPECT_EQ(main->TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(main->TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(main->Target->PortHeight(), 512);

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
    main->Target->setBitmap(Bitmap(1024, 9000));
    main->ResizeTargetWindow(nullptr);
    EXPECT_EQ(messages, 1);
    EXPECT_TRUE(message.startsWith(QStringLiteral("This image was too big! It was cropped to "
                                                  "512x8192 pixels.")))
        << message.toStdString();
    EXPECT_EQ(main->Target->Bitmap().width(), 512);
    EXPECT_EQ(main->Target->Bitmap().height(), 8192);
    EXPECT_EQ(main->TargetWidthScrollBar->value(), 2);
    EXPECT_EQ(main->TargetHeightScrollBar->value(), 32);
    EXPECT_EQ(face(main->TargetAreaInfo), kRed);
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
        main->ClipTileSizeScroll->setValue(row.position == 1 ? 2 : 1);
        main->ClipTileSizeScroll->setValue(row.position);
        EXPECT_EQ(main->ClipTileSizeScroll->value(), row.shown) << row.position;
        EXPECT_EQ(main->ClipTileSize->text(), QString::fromLatin1(row.text)) << row.position;
    }
    // The arrows: up from Multi Tile gives Scroll Tile, down from Scroll Tile Multi Tile.
    main->ClipTileSizeScroll->setValue(1);
    main->ClipTileSizeScroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(main->ClipTileSize->text(), QStringLiteral("      Scroll Tile"));
    main->ClipTileSizeScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(main->ClipTileSize->text(), QStringLiteral("      Multi Tile"));
}

TEST_F(MainFormTest, ADragOnTheSourceMakesTheTileThatAClickOnTheTargetPastes) {
    showWindow();
    const Colour red{200, 10, 10};
    const Colour blue{10, 10, 200};
    paintCell(main->Source, 1, 0, red);
    paintCell(main->Source, 2, 1, blue);
    QWidget* source = main->Source->BasePanel;
    QWidget* target = main->Target->BasePanel;

    // Drag from the cell at column 1, row 0 to the cell at column 2, row 1.
    QTest::mouseMove(source, QPoint(70, 10));
    QTest::mousePress(source, Qt::LeftButton, {}, QPoint(70, 10));
    EXPECT_EQ(main->Source->Mode, CanvasMode::Grab);
    QTest::mouseMove(source, QPoint(150, 100));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(150, 100));

    EXPECT_EQ(main->Source->Mode, CanvasMode::Idle);
    EXPECT_EQ(main->Target->Mode, CanvasMode::Paste);
    const Bitmap& tile = main->ClipTileImage->picture();
    ASSERT_EQ(tile.width(), 128);
    ASSERT_EQ(tile.height(), 128);
    EXPECT_EQ(tile.pixel(5, 5), red);
    EXPECT_EQ(tile.pixel(70, 70), blue);
    EXPECT_EQ(main->Target->Clip().bitmap, tile);

    // A click on the Target pastes at the grid-locked cursor and ends pasting.
    QTest::mouseMove(target, QPoint(80, 140));
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(80, 140));
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    const Bitmap& pasted = main->Target->Bitmap();
    EXPECT_EQ(pasted.pixel(64 + 3, 128 + 3), red);
    EXPECT_EQ(pasted.pixel(64 + 70, 128 + 70), blue);
    EXPECT_EQ(pasted.pixel(64 + 130, 128 + 3), imaging::colours::kBlack);
    EXPECT_EQ(pasted.pixel(10, 10), imaging::colours::kBlack);
    // The Source picture is not changed by cutting.
    EXPECT_EQ(main->Source->Bitmap().pixel(70, 10), red);
}

TEST_F(MainFormTest, APressOnTheSourceShowsTheFirstCellAndEndsTargetTools) {
    showWindow();
    paintCell(main->Source, 0, 0, Colour{1, 2, 3});
    main->SpeedButtonRotate->setChecked(true);
    main->Target->SetModeToPaste();
    QTest::mousePress(main->Source->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    EXPECT_TRUE(main->SpeedButtonNone->isChecked());
    ASSERT_EQ(main->ClipTileImage->picture().width(), 64);
    EXPECT_EQ(main->ClipTileImage->picture().pixel(0, 0), (Colour{1, 2, 3}));
    QTest::mouseRelease(main->Source->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
}

TEST_F(MainFormTest, WithThePickerArmedTheSourceSamplesColoursAndAClickOnlyEndsPicking) {
    showWindow();
    ASSERT_EQ(main->PickerCursor.shape(), Qt::BitmapCursor) << "the picker picture is missing";
    paintCell(main->Source, 1, 1, Colour{12, 34, 56});
    QWidget* source = main->Source->BasePanel;
    source->setCursor(main->PickerCursor);
    QTest::mouseMove(source, QPoint(100, 100));
    EXPECT_EQ(main->SourceColourSample->colour(), QColor(12, 34, 56));
    EXPECT_EQ(main->Source->Mode, CanvasMode::Idle);

    QTest::mousePress(source, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(source->testAttribute(Qt::WA_SetCursor));
    EXPECT_TRUE(main->ClipTileImage->picture().isEmpty()) << "nothing is cut";
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    // The sample keeps the colour of the last move.
    EXPECT_EQ(main->SourceColourSample->colour(), QColor(12, 34, 56));
}

TEST_F(MainFormTest, ACutOnTheTargetIsReadyToPasteUnresized) {
    showWindow();
    paintCell(main->Target, 0, 1, Colour{9, 9, 9});
    main->ClipTileSizeScroll->setValue(2); // 64 x 64 does not apply to Target cuts
    QWidget* target = main->Target->BasePanel;
    QTest::mouseMove(target, QPoint(10, 70));
    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(10, 70));
    QTest::mouseMove(target, QPoint(100, 70));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(100, 70));
    EXPECT_EQ(main->Target->Mode, CanvasMode::Paste);
    EXPECT_EQ(main->ClipTileImage->picture().width(), 128);
    EXPECT_EQ(main->ClipTileImage->picture().height(), 64);
    EXPECT_EQ(main->ClipTileImage->picture().pixel(1, 1), (Colour{9, 9, 9}));
}

TEST_F(MainFormTest, ARightDragBringsTheAnimationTabAtFullSpeed) {
    showWindow();
    main->TrackBarSource->setValue(3);
    QWidget* source = main->Source->BasePanel;
    QTest::mouseMove(source, QPoint(10, 10));
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(main->Source->Mode, CanvasMode::Range);
    QTest::mouseMove(source, QPoint(140, 10));
    QTest::mouseRelease(source, Qt::RightButton, {}, QPoint(140, 10));
    EXPECT_EQ(main->SourcePageControl->currentWidget(), main->TabAnimSource);
    EXPECT_EQ(main->TrackBarSource->value(), 1);
    EXPECT_NE(main->Target->Mode, CanvasMode::Paste) << "a range is not a cut";

    // The same on the Target, whose tabs then show the Target's animation.
    main->TrackBarTarget->setValue(4);
    main->TargetPageControl->setCurrentWidget(main->TabTransform);
    QWidget* target = main->Target->BasePanel;
    QTest::mouseMove(target, QPoint(10, 10));
    QTest::mousePress(target, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(target, Qt::RightButton, {}, QPoint(70, 10));
    EXPECT_EQ(main->TargetPageControl->currentWidget(), main->TabAnimTarget);
    EXPECT_EQ(main->TrackBarTarget->value(), 1);
}

TEST_F(MainFormTest, RightPressesOnTheSourceLeaveTheCurrentTileAlone) {
    showWindow();
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(QColor(40, 50, 60));
    QApplication::clipboard()->setImage(picture);
    main->ClipImportButton->click();
    ASSERT_EQ(main->ClipTileImage->picture().width(), 7);

    QWidget* source = main->Source->BasePanel;
    QTest::mouseMove(source, QPoint(10, 10));
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(main->ClipTileImage->picture().width(), 7) << "a range begun";
    QTest::mouseRelease(source, Qt::RightButton, {}, QPoint(140, 10));
    ASSERT_EQ(main->Source->Mode, CanvasMode::Anim);
    QTest::mousePress(source, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(main->Source->AnimRunning);
    EXPECT_EQ(main->ClipTileImage->picture().width(), 7) << "an animation stopped";
    EXPECT_EQ(main->ClipTileImage->picture().pixel(3, 3), (Colour{40, 50, 60}));
}

TEST_F(MainFormTest, ARightClickOnTheTargetLeavesTheTransformationTool) {
    showWindow();
    main->TargetPageControl->setCurrentWidget(main->TabAnimTarget);
    main->SpeedButtonRotate->setChecked(true);
    main->Target->SetModeToTransform();
    QTest::mouseClick(main->Target->BasePanel, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(main->SpeedButtonNone->isChecked());
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    // Only a press in Idle brings the transformation tab to the front.
    EXPECT_EQ(main->TargetPageControl->currentWidget(), main->TabAnimTarget);
    QTest::mouseClick(main->Target->BasePanel, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(main->TargetPageControl->currentWidget(), main->TabTransform);
}

TEST_F(MainFormTest, OnlyTheSourceReactsToDoubleClicks) {
    showWindow();
    QWidget* target = main->Target->BasePanel;
    QTest::mouseMove(target, QPoint(30, 30));
    QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(main->Target->SnapToGrid);
    EXPECT_EQ(main->Target->GridOffsetX, 0);
    EXPECT_FALSE(main->SourceDoubleClicked);

    // On the Source the double click leaves the locked grid, and its release cuts nothing.
    QWidget* source = main->Source->BasePanel;
    main->SpeedButtonView->setChecked(true);
    QTest::mouseMove(source, QPoint(30, 30));
    QTest::mouseDClick(source, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(main->Source->SnapToGrid);
    EXPECT_FALSE(main->SpeedButtonView->isChecked());
    EXPECT_TRUE(main->SourceDoubleClicked);
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(main->SourceDoubleClicked);
    EXPECT_EQ(main->Source->Mode, CanvasMode::Idle);
    EXPECT_NE(main->Target->Mode, CanvasMode::Paste);

    // The next double click locks a custom grid around the pointer and shows it.
    QTest::mouseMove(source, QPoint(100, 70));
    QTest::mouseDClick(source, Qt::LeftButton, {}, QPoint(100, 70));
    QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(100, 70));
    EXPECT_TRUE(main->Source->SnapToGrid);
    EXPECT_TRUE(main->SpeedButtonView->isChecked());
}

TEST_F(MainFormTest, AClickOnTheCentralPanelCancelsBothCanvases) {
    showWindow();
    main->Target->SetModeToPaste();
    main->Source->AnimRunning = true;
    main->Target->AnimRunning = true;
    main->SpeedButtonSwap->setChecked(true);
    // Empty space between the clipboard frame and the help button.
    QTest::mouseClick(main->PanelRightSide, Qt::LeftButton, {}, QPoint(60, 330));
    EXPECT_EQ(main->Source->Mode, CanvasMode::Idle);
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    EXPECT_FALSE(main->Source->AnimRunning);
    EXPECT_FALSE(main->Target->AnimRunning);
    EXPECT_TRUE(main->SpeedButtonNone->isChecked());
}

TEST_F(MainFormTest, NoControlKeepsTheFocusAfterTheMouseUsedIt) {
    showWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    main->SourceCombo->setFocus();
    main->SourceCombo->showPopup();
    main->SourceCombo->hidePopup();
    // The popup may have taken the activation; the window's own focus is what counts.
    EXPECT_EQ(main->focusWidget(), main->PanelRightSide);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    main->TargetCombo->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), main->TargetCombo);
    main->resize(800, 600);
    EXPECT_EQ(QApplication::focusWidget(), main->PanelRightSide);

    // Clicking a button or a box leaves the focus where it was; the Tab key still reaches
    // them.
    QTest::mouseClick(main->CheckBoxExport, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(main->SpeedButtonReset, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), main->PanelRightSide);
    for (const QWidget* w :
         std::initializer_list<const QWidget*>{main->CopyButton, main->CheckBoxImport,
                                               main->SpeedButtonRotate, main->ClipExportButton})
        EXPECT_EQ(w->focusPolicy(), Qt::TabFocus) << w->objectName().toStdString();

    // Entering a page counter hands the focus straight back.
    main->TargetHeightScrollBar->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), main->PanelRightSide);
}

TEST_F(MainFormTest, HintsShowInTheStatusLineAndNeverAsPopUps) {
    showWindow();
    const TextTable& texts = englishTexts();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(main->PanelFiller, &enter);
    // The hint, then the control's keys.
    EXPECT_TRUE(main->StatusBar->currentMessage().startsWith(texts.HintPanelFiller));
    EXPECT_TRUE(main->StatusBar->currentMessage().endsWith(QStringLiteral("[ F, Shift+F ]")));
    EXPECT_TRUE(main->StatusBar->currentMessage().startsWith(QStringLiteral("     C")));

    // Back on the central panel's empty space its own hint shows again.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(main->PanelFiller, &leave);
    EXPECT_TRUE(main->StatusBar->currentMessage().startsWith(texts.HintPanelRightSide));

    // The inner layers of a canvas show the canvas's hint.
    QApplication::sendEvent(main->Target->BasePanel, &enter);
    EXPECT_TRUE(main->StatusBar->currentMessage().startsWith(texts.HintTarget));

    // Tool tip requests are swallowed, and no control carries a tool tip.
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), main->CopyButton->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(main->CopyButton, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    // (The file dialogs are windows of their own, with the desktop's usual tool tips.)
    for (const QWidget* w : main->findChildren<QWidget*>()) {
        if (w->window() == main.get()) {
            EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
        }
    }
}

TEST_F(MainFormTest, ScreenReadersHearWhatEachControlIs) {
    EXPECT_EQ(main->Source->accessibleName(), QStringLiteral("Source canvas"));
    EXPECT_EQ(main->Target->accessibleName(), QStringLiteral("Target canvas"));
    EXPECT_EQ(main->TargetWidthScrollBar->accessibleName(),
              QStringLiteral("Target width in pages"));
    EXPECT_EQ(main->TargetHeightScrollBar->accessibleName(),
              QStringLiteral("Target height in pages"));
    EXPECT_EQ(main->CopyButton->accessibleName(), QStringLiteral("Copy All --->"));
    EXPECT_EQ(main->CheckBoxExport->accessibleName(), QStringLiteral("AUTO EXPORT"));
    EXPECT_TRUE(main->PanelFiller->accessibleDescription().startsWith(
        QStringLiteral("Colour pot: suggested filler colour ( maroon = 128,0,0 ). "
                       "Double-click to change the colour")));
    // Every control the user can reach is named, and every hint is told without its indent.
    for (const QWidget* w : main->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || !name.front().isUpper() || name == QStringLiteral("MainClient"))
            continue;
        if (w->parentWidget() != main->Source && w->parentWidget() != main->Target &&
            w->window() == main.get() && !name.startsWith(QStringLiteral("ScrollBox")) &&
            name != QStringLiteral("BasePanel") && name != QStringLiteral("DragNDrop") &&
            name != QStringLiteral("CentralColumn") && name != QStringLiteral("CurrentTileArea") &&
            name != QStringLiteral("TargetArea")) {
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
    EXPECT_EQ(main->Source->ScrollBoxImageStack->accessibleName(), QStringLiteral("Source canvas"));
    EXPECT_TRUE(main->Target->ScrollBoxImageStack->accessibleDescription().startsWith(
        englishTexts().HintTarget.trimmed()));
}

TEST_F(MainFormTest, TheGridTabSetsBothCanvases) {
    main->ScrollBarGrid->setValue(0);
    EXPECT_EQ(main->StaticTextGrid->text(), QStringLiteral("8"));
    for (canvas::TFrameStack* canvas : {main->Source, main->Target}) {
        EXPECT_EQ(canvas->CellWidth, 8);
        EXPECT_EQ(canvas->GridOffsetX, 0);
        EXPECT_EQ(canvas->GridStyle, 1);
    }
    main->SpeedButtonStyle->click();
    main->ScrollBarGrid->setValue(2);
    EXPECT_EQ(main->StaticTextGrid->text(), QStringLiteral("32"));
    for (canvas::TFrameStack* canvas : {main->Source, main->Target}) {
        EXPECT_EQ(canvas->CellWidth, 32);
        EXPECT_EQ(canvas->GridStyle, 2) << "the style button keeps its effect";
    }
    main->SpeedButtonView->click();
    EXPECT_TRUE(main->Source->Grid().visible);
    EXPECT_TRUE(main->Target->Grid().visible);
}

TEST_F(MainFormTest, TheAnimationTabsStopAndSlowTheirOwnCanvas) {
    main->Source->AnimInterval = 40;
    main->TrackBarSource->setValue(4);
    EXPECT_EQ(main->Source->TimerAnim->interval(), 160);
    main->Target->AnimInterval = 30;
    main->TrackBarTarget->setValue(2);
    EXPECT_EQ(main->Target->TimerAnim->interval(), 60);
    EXPECT_EQ(main->Source->TimerAnim->interval(), 160);

    main->Source->AnimRunning = true;
    main->Target->AnimRunning = true;
    main->ButtonStopTarget->click();
    EXPECT_FALSE(main->Target->AnimRunning);
    EXPECT_TRUE(main->Source->AnimRunning);
    main->ButtonStopSource->click();
    EXPECT_FALSE(main->Source->AnimRunning);
}

TEST_F(MainFormTest, TheAutoBoxesExcludeEachOtherAndImportFollowsTheClipboard) {
    main->CheckBoxExport->setChecked(true);
    EXPECT_TRUE(main->Source->AutoExport);
    EXPECT_TRUE(main->Target->AutoExport);
    main->CheckBoxImport->setChecked(true);
    EXPECT_FALSE(main->CheckBoxExport->isChecked());
    EXPECT_FALSE(main->Source->AutoExport);
    EXPECT_FALSE(main->Target->AutoExport);

    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(QColor(40, 50, 60));
    QApplication::clipboard()->setImage(picture);
    EXPECT_EQ(main->ClipTileImage->picture().width(), 7);
    EXPECT_EQ(main->ClipTileImage->picture().pixel(3, 3), (Colour{40, 50, 60}));
    EXPECT_EQ(main->Target->Mode, CanvasMode::Paste);

    // A picture larger than a whole texture set is taken at its own size.
    QImage huge(4200, 1000, QImage::Format_RGB32);
    huge.fill(Qt::white);
    QApplication::clipboard()->setImage(huge);
    EXPECT_EQ(main->ClipTileImage->picture().width(), 4200);
    // A strip too long for any bitmap, however few its pixels, is refused aloud.
    QStringList messages;
    main->FIO().showMessage = [&messages](const QString& text, const QString&) {
        messages << text;
    };
    for (const QSize size : {QSize(70000, 2), QSize(3, 70000)}) {
        QImage strip(size, QImage::Format_RGB32);
        strip.fill(Qt::white);
        QApplication::clipboard()->setImage(strip);
        EXPECT_EQ(main->ClipTileImage->picture().width(), 4200);
    }
    EXPECT_EQ(messages.size(), 2);

    // Text on the clipboard changes nothing.
    main->Target->SetModeToIdle();
    QApplication::clipboard()->setText(QStringLiteral("not a tile"));
    EXPECT_EQ(main->ClipTileImage->picture().width(), 4200);
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
}

} // namespace
} // namespace parvane::app

namespace parvane::app {
namespace {

class TransformationTabTest : public MainFormTest {};

TEST_F(TransformationTabTest, EachToolButtonArmsItsToolOnTheTargetOnly) {
    const std::pair<QToolButton*, const char*> tools[] = {
        {main->SpeedButtonRotate, "crRotate"}, {main->SpeedButtonHFlip, "crHFlip"},
        {main->SpeedButtonVFlip, "crVFlip"},   {main->SpeedButtonSwap, "crSwap"},
        {main->SpeedButtonMove, "crHand"},
    };
    for (const auto& [button, cursorName] : tools) {
        button->click();
        EXPECT_TRUE(button->isChecked());
        EXPECT_FALSE(main->SpeedButtonNone->isChecked()) << cursorName;
        EXPECT_EQ(main->Target->Mode, CanvasMode::Transform) << cursorName;
        EXPECT_EQ(main->Target->CursorName, cursorName);
        EXPECT_EQ(main->Source->Mode, CanvasMode::Idle);
    }
    main->SpeedButtonNone->click();
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    EXPECT_EQ(main->Target->CursorName, "crNormal");
}

// Paths that take the Target out of its tool mode leave the tool row showing no tool, so
// that a pressed Rotate button never promises a rotation the next click will not make.
TEST_F(TransformationTabTest, LeavingTheToolModeReleasesTheToolButton) {
    main->SpeedButtonRotate->click();
    ASSERT_EQ(main->Target->Mode, CanvasMode::Transform);
    main->ScrollBarGrid->setValue(2);
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    EXPECT_TRUE(main->SpeedButtonNone->isChecked()) << "a new grid size";

    main->SpeedButtonHFlip->click();
    ASSERT_EQ(main->Target->Mode, CanvasMode::Transform);
    QImage tile(16, 16, QImage::Format_RGB32);
    tile.fill(QColor(10, 20, 30));
    QApplication::clipboard()->setImage(tile);
    main->ClipImportButton->click();
    EXPECT_EQ(main->Target->Mode, CanvasMode::Paste);
    EXPECT_TRUE(main->SpeedButtonNone->isChecked()) << "a tile imported from the clipboard";
}

TEST_F(TransformationTabTest, RotateThenSwapChangeTheTargetWhereTheUserClicks) {
    showWindow();
    QWidget* panel = main->Target->BasePanel;
    paintCell(main->Target, 0, 0, {0, 0, 255});
    main->Target->Bitmap().fillRect({0, 0, 64, 1}, {255, 0, 0}); // red top row
    main->SpeedButtonRotate->click();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(main->Target->Bitmap().pixel(63, 40), (Colour{255, 0, 0}))
        << "the red top row became the right column";
    EXPECT_EQ(main->Target->Bitmap().pixel(5, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(main->Target->Mode, CanvasMode::Transform) << "the tool stays armed";

    paintCell(main->Target, 1, 1, {0, 255, 0});
    main->SpeedButtonSwap->click();
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(100, 100));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(main->Target->Bitmap().pixel(20, 20), (Colour{0, 255, 0}));
    EXPECT_EQ(main->Target->Bitmap().pixel(127, 100), (Colour{255, 0, 0}));
}

TEST_F(TransformationTabTest, AToolChosenDuringAnAnimationActsOnTheCellClicked) {
    showWindow();
    QWidget* panel = main->Target->BasePanel;
    const auto shade = [](int col) {
        return Colour{static_cast<std::uint8_t>(60 * col), 0, static_cast<std::uint8_t>(200)};
    };
    for (int col = 0; col < 4; ++col)
        paintCell(main->Target, col, 0, shade(col));
    main->Target->Bitmap().fillRect({64, 0, 128, 1}, {255, 255, 0}); // cell 1: yellow top row
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(main->Target->Mode, CanvasMode::Anim);
    main->Target->ShiftCellsOnTimer();
    ASSERT_EQ(main->Target->Bitmap().pixel(5, 5), shade(1)) << "the range is in mid-cycle";

    main->SpeedButtonRotate->click();
    EXPECT_FALSE(main->Target->AnimationActive());
    EXPECT_EQ(main->Target->Mode, CanvasMode::Transform);
    EXPECT_TRUE(main->Target->L7_Cursor.visible) << "the tool's cursor shows";
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(main->Target->Bitmap().pixel(col * 64 + 5, 5), shade(col)) << col;

    // The rotation lands on the cell clicked and stays there.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(70, 10));
    for (int tick = 0; tick < 4; ++tick)
        main->Target->ShiftCellsOnTimer();
    EXPECT_EQ(main->Target->Bitmap().pixel(127, 40), (Colour{255, 255, 0}));
    EXPECT_EQ(main->Target->Bitmap().pixel(70, 0), shade(1));
    EXPECT_EQ(main->Target->Bitmap().pixel(5, 5), shade(0));
}

TEST_F(TransformationTabTest, NoneDuringAnAnimationKeepsTheRightButtonStoppingIt) {
    showWindow();
    QWidget* panel = main->Target->BasePanel;
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(main->Target->Mode, CanvasMode::Anim);
    main->SpeedButtonNone->click();
    EXPECT_EQ(main->Target->Mode, CanvasMode::Anim);
    EXPECT_FALSE(main->Target->L7_Cursor.visible);
    QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(70, 10));
    EXPECT_FALSE(main->Target->AnimRunning);
    EXPECT_EQ(main->Target->AnimFirst, 0) << "no new range was started";
}

TEST_F(TransformationTabTest, ASlowerSpeedStretchesTheRunningAnimation) {
    showWindow();
    QWidget* panel = main->Target->BasePanel;
    for (int col = 0; col < 4; ++col)
        paintCell(main->Target, col, 0,
                  {static_cast<std::uint8_t>(60 * col), 0, static_cast<std::uint8_t>(200)});
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(panel, QPoint(200, 10));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_EQ(main->Target->Mode, CanvasMode::Anim);
    EXPECT_EQ(main->TargetPageControl->currentWidget(), main->TabAnimTarget);
    EXPECT_EQ(main->Target->TimerAnim->interval(), 80);
    main->TrackBarTarget->setValue(3);
    EXPECT_EQ(main->Target->TimerAnim->interval(), 240);
    main->ButtonStopTarget->click();
    // The cycle completes before the canvas returns to Idle with every cell restored.
    for (int tick = 0; tick < 8 && main->Target->Mode != CanvasMode::Idle; ++tick)
        main->Target->ShiftCellsOnTimer();
    EXPECT_EQ(main->Target->Mode, CanvasMode::Idle);
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(main->Target->Bitmap().pixel(col * 64 + 5, 5).red, 60 * col);
}

} // namespace
} // namespace parvane::app
