// Editing comfort on the Target and both canvases: undo and redo of every kind of Target edit,
// the memory bound of the history, edits made at a zoom acting on the same picture pixels,
// and every keyboard shortcut reaching its command (and none while a dialog is open).
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/SourceWorkflow.h"
#include "app/WindowCodes.h"
#include "app/WrapPreview.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "support/TestData.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

using canvas::CanvasMode;
using imaging::Bitmap;
using imaging::Colour;
using imaging::Rect;

// A picture whose every 64 x 64 cell has its own colour, and a marked top row, so that
// turns and moves of cells show.
Bitmap cellPattern(int width, int height) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; y += 64)
        for (int x = 0; x < width; x += 64) {
            picture.fillRect(Rect::fromSize(x, y, 64, 64),
                             Colour{static_cast<std::uint8_t>(40 + x / 4),
                                    static_cast<std::uint8_t>(20 + (y / 16) % 200), 90});
            picture.fillRect(Rect::fromSize(x, y, 64, 3), Colour{250, 250, 0});
        }
    return picture;
}

// Everything an undo must bring back besides the pixels.
struct TargetShown {
    Bitmap picture;
    int widthPages, heightPages;
    QString areaInfo, menuText;
    document::TargetName caption;

    bool operator==(const TargetShown&) const = default;
};

class EditingComfortTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString&) { messages << text; };
        controlsOf(*main).Target->setBitmap(cellPattern(256, 512));
    }

    TargetShown shown() const {
        return {controlsOf(*main).Target->Bitmap(),
                controlsOf(*main).TargetWidthScrollBar->value(),
                controlsOf(*main).TargetHeightScrollBar->value(),
                controlsOf(*main).TargetAreaInfo->text(),
                controlsOf(*main).TargetCombo->currentText(),
                main->TargetDocument().state().caption};
    }

    // A click of the user on the Target at picture pixel (x, y), after moving there.
    void clickTarget(int x, int y, Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers keys = Qt::NoModifier) {
        main->TargetMouseMove(keys, x, y);
        main->TargetMouseDown(button, keys, x, y);
        main->TargetMouseUp(button, keys, x, y);
    }

    void dragTarget(QPoint from, QPoint to) {
        main->TargetMouseMove(Qt::NoModifier, from.x(), from.y());
        main->TargetMouseDown(Qt::LeftButton, Qt::NoModifier, from.x(), from.y());
        main->TargetMouseMove(Qt::NoModifier, to.x(), to.y());
        main->TargetMouseUp(Qt::LeftButton, Qt::NoModifier, to.x(), to.y());
    }

    std::unique_ptr<TMain> main;
    QStringList messages;
    testing::ScratchDir dir;
};

TEST_F(EditingComfortTest, UndoAndRedoOfEveryKindOfStepRestoreTheTargetExactly) {
    Bitmap tile(64, 64);
    tile.fill(Colour{1, 2, 3});
    const std::string setFile = dir.file("set.tga").string();
    ASSERT_TRUE(imaging::saveImageAs24BitsFile(cellPattern(512, 300), 512, 300, setFile).ok());
    const std::string otherFile = dir.file("other.tga").string();
    ASSERT_TRUE(imaging::saveImageAs24BitsFile(cellPattern(256, 700), 256, 700, otherFile).ok());
    controlsOf(*main).Source->setBitmap(cellPattern(320, 700));
    controlsOf(*main).Source->UpdateStack();
    controlsOf(*main).Source->UpdateGrid();

    const struct {
        const char* step;
        std::function<void()> edit;
    } steps[] = {
        {"paste", [&] { main->MakeCurrentTile(tile), clickTarget(70, 130); }},
        {"paste with Ctrl",
         [&] {
             main->MakeCurrentTile(tile);
             clickTarget(200, 10, Qt::LeftButton, Qt::ControlModifier);
         }},
        {"pot tile", [&] { main->PanelMagentaOnClick(), clickTarget(130, 400); }},
        {"imported tile across the edge",
         [&] {
             QImage image(100, 90, QImage::Format_RGB32);
             image.fill(QColor(9, 200, 9));
             QGuiApplication::clipboard()->setImage(image);
             main->ImportFromClipboard();
             clickTarget(250, 500);
         }},
        {"rotate", [&] { controlsOf(*main).SpeedButtonRotate->click(), clickTarget(70, 70); }},
        {"vertical flip",
         [&] { controlsOf(*main).SpeedButtonVFlip->click(), clickTarget(10, 300); }},
        {"swap",
         [&] {
             controlsOf(*main).SpeedButtonSwap->click(), dragTarget({10, 10}, {200, 450});
         }},
        {"move across rows",
         [&] {
             controlsOf(*main).SpeedButtonMove->click(), dragTarget({200, 70}, {10, 330});
         }},
        {"Copy All", [&] { main->CopyAllOnClick(); }},
        {"Create New from the menu",
         [&] {
             controlsOf(*main).TargetCombo->setCurrentIndex(menuIndex(TargetItem::CreateNew));
             main->TargetComboOnSelect(menuIndex(TargetItem::CreateNew));
         }},
        {"reload from the menu",
         [&] {
             main->FIO().runDialog = [&](QFileDialog& dialog) {
                 dialog.selectFile(QString::fromStdString(otherFile));
                 return true;
             };
             controlsOf(*main).TargetCombo->setCurrentIndex(menuIndex(TargetItem::Reload));
             main->TargetComboOnSelect(menuIndex(TargetItem::Reload));
         }},
        {"drop",
         [&] { controlsOf(*main).Target->DragNDrop->setText(QString::fromStdString(setFile)); }},
        {"counters growing the picture",
         [&] {
             controlsOf(*main).TargetWidthScrollBar->setValue(2);
             controlsOf(*main).TargetHeightScrollBar->setValue(5);
         }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        controlsOf(*main).SpeedButtonNone->click();
        const TargetShown before = shown();
        const int count = main->TargetDocument().stepCount();
        step.edit();
        const TargetShown after = shown();
        ASSERT_NE(after.picture, before.picture);
        // One step for each change (the counters change twice).
        EXPECT_GE(main->TargetDocument().stepCount(), count + 1);
        while (main->TargetDocument().stepIndex() > count)
            main->UndoTargetEdit();
        EXPECT_TRUE(shown() == before);
        while (main->TargetDocument().canRedo())
            main->RedoTargetEdit();
        EXPECT_TRUE(shown() == after);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();

    // An undo while a range plays completes the cycle first, then takes the paste back.
    controlsOf(*main).TargetHeightScrollBar->setValue(2);
    const Bitmap beforePaste = controlsOf(*main).Target->Bitmap();
    main->MakeCurrentTile(tile);
    clickTarget(10, 200);
    controlsOf(*main).Target->DownIndex = 0;
    controlsOf(*main).Target->UpIndex = 3;
    controlsOf(*main).Target->StartAnimation();
    controlsOf(*main).Target->ShiftCellsOnTimer();
    main->UndoTargetEdit();
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Bitmap(), beforePaste);
}

TEST_F(EditingComfortTest, TheHistoryKeepsWithinItsMemoryByDroppingTheOldestSteps) {
    document::TextureSet& history = main->TargetDocument();
    const Bitmap start = controlsOf(*main).Target->Bitmap();
    // Room for about three one-cell steps.
    history.setBudget(3 * (64 * 64 * 4 + 512));
    const Colour colours[] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}, {0, 200, 200}};
    for (int i = 0; i < 5; ++i) {
        Bitmap tile(64, 64);
        tile.fill(colours[i]);
        main->MakeCurrentTile(tile);
        clickTarget(10 + 64 * (i % 4), 10 + 64 * (i / 4));
    }
    EXPECT_LE(history.keptBytes(), history.budget());
    EXPECT_EQ(history.stepCount(), 3);
    while (history.canUndo())
        main->UndoTargetEdit();
    // The two oldest pastes can no longer be taken back; the three newest were.
    const Bitmap& now = controlsOf(*main).Target->Bitmap();
    EXPECT_EQ(now.pixel(20, 20), colours[0]);
    EXPECT_EQ(now.pixel(84, 20), colours[1]);
    EXPECT_EQ(now.pixel(148, 20), start.pixel(148, 20));
    EXPECT_EQ(now.pixel(20, 84), start.pixel(20, 84));
    // The newest step stays even when it alone is over the budget.
    history.setBudget(1);
    main->CopyAllOnClick();
    EXPECT_EQ(history.stepCount(), 1);
}

// Sends a mouse event to a canvas's panel at a point of the panel (screen pixels).
void mouse(canvas::TFrameStack* canvas, QEvent::Type type, QPoint at,
           Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, canvas->BasePanel->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(canvas->BasePanel, &event);
}

TEST_F(EditingComfortTest, ACutPasteAndRotateAtThreeTimesGiveThePictureOfOneTime) {
    // The same clicks, aimed at the same picture pixels, on a Target at 1x and one at 3x.
    const auto edit = [](TMain& window, int zoom) {
        canvas::TFrameStack* target = controlsOf(window).Target;
        target->setBitmap(cellPattern(256, 512));
        target->setZoom(zoom);
        const auto at = [zoom](int x, int y) { return QPoint(x * zoom + zoom - 1, y * zoom); };
        // Cut cell (1, 1) of the Target and paste it on cell (2, 3).
        mouse(target, QEvent::MouseMove, at(100, 100));
        mouse(target, QEvent::MouseButtonPress, at(100, 100));
        mouse(target, QEvent::MouseButtonRelease, at(100, 100));
        mouse(target, QEvent::MouseMove, at(140, 230));
        mouse(target, QEvent::MouseButtonPress, at(140, 230));
        mouse(target, QEvent::MouseButtonRelease, at(140, 230));
        // Rotate the pasted cell.
        controlsOf(window).SpeedButtonRotate->click();
        mouse(target, QEvent::MouseMove, at(191, 255));
        mouse(target, QEvent::MouseButtonPress, at(191, 255));
        mouse(target, QEvent::MouseButtonRelease, at(191, 255));
        return target->Bitmap();
    };
    const Bitmap atOne = edit(*main, 1);
    TMain zoomed;
    const Bitmap atThree = edit(zoomed, 3);
    EXPECT_EQ(controlsOf(zoomed).Target->zoom(), 3);
    EXPECT_EQ(controlsOf(zoomed).Target->BasePanel->size(), QSize(3 * 256, 3 * 512));
    EXPECT_NE(atOne, cellPattern(256, 512));
    EXPECT_EQ(atOne.pixel(128 + 63, 192 + 10), (Colour{250, 250, 0})); // the top row turned right
    EXPECT_EQ(atThree, atOne);
    // The status line names the pixel, the cell and the page under the pointer.
    EXPECT_EQ(controlsOf(zoomed).StatusPosition->text(),
              QStringLiteral("pixel 191, 255   cell 2, 3 (index 14)   page 1 of 2"));
}

TEST_F(EditingComfortTest, EveryShortcutReachesItsCommandAndNoneFiresUnderADialog) {
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    // Dialogs the commands open are closed at once; their titles tell which opened.
    QString opened;
    main->FIO().runDialog = [&opened](QFileDialog& dialog) {
        opened = dialog.windowTitle();
        return false;
    };
    main->setColourDialogRunner([&opened](QColorDialog&) {
        opened = QStringLiteral("colour");
        return false;
    });
    // Closes the next modal window as soon as it shows, noting its title.
    const auto closeModal = [&opened] {
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, &opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                timer->stop();
                timer->deleteLater();
                opened = modal->windowTitle();
                modal->close();
            }
        });
        timer->start();
    };
    Bitmap tile(64, 64);
    tile.fill(Colour{7, 7, 7});
    canvas::TFrameStack* target = controlsOf(*main).Target;
    const auto pasteOnce = [&] {
        main->MakeCurrentTile(tile);
        clickTarget(10, 10);
    };
    const auto cursor = [&] { return QString::fromStdString(std::string(target->CursorName())); };

    const struct {
        QKeyCombination key;
        std::function<void()> before;
        std::function<bool()> done;
    } rows[] = {
        {Qt::CTRL | Qt::Key_O, {}, [&] { return opened.contains("LOADING IMAGE"); }},
        {Qt::Key_F5,
         [&] {
             const std::string file = dir.file("p.tga").string();
             ASSERT_TRUE(imaging::saveImageAs24BitsFile(cellPattern(128, 64), 128, 64, file).ok());
             main->SourceFlow().SourceImagePath = file;
             main->SourceFlow().SourceMenuChoice = SourceWorkflow::Choice::Picture;
         },
         [&] { return controlsOf(*main).Source->Bitmap().width() == 128; }},
        {Qt::CTRL | Qt::Key_S, {}, [&] { return opened.contains("SAVING"); }},
        {Qt::CTRL | Qt::Key_R, {}, [&] { return opened.contains("LOADING IMAGE"); }},
        {Qt::CTRL | Qt::Key_N, {}, [&] { return target->Bitmap().pixel(70, 70) == Colour{}; }},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_A,
         {},
         [&] {
             return target->Bitmap().pixel(10, 10) ==
                        controlsOf(*main).Source->Bitmap().pixel(10, 10) &&
                    target->Bitmap().pixel(200, 30) == main->formState().FillerColour;
         }},
        {Qt::CTRL | Qt::Key_Z, pasteOnce,
         [&] { return target->Bitmap().pixel(10, 10) != tile.pixel(0, 0); }},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
         {},
         [&] { return target->Bitmap().pixel(10, 10) == tile.pixel(0, 0); }},
        {Qt::CTRL | Qt::Key_Y, [&] { main->UndoTargetEdit(); },
         [&] { return target->Bitmap().pixel(10, 10) == tile.pixel(0, 0); }},
        {Qt::Key_M,
         {},
         [&] { return main->formState().PotColour == main->formState().MagentaColour; }},
        {Qt::Key_B,
         {},
         [&] { return main->formState().PotColour == main->formState().BlackColour; }},
        {Qt::Key_F,
         {},
         [&] {
             return main->formState().PotColour == main->formState().FillerColour &&
                    target->Mode == CanvasMode::Paste;
         }},
        {Qt::SHIFT | Qt::Key_F, {}, [&] { return opened == "colour"; }},
        {Qt::CTRL | Qt::Key_Up,
         {},
         [&] { return controlsOf(*main).ClipTileSize->text().trimmed() == "Scroll Tile"; }},
        {Qt::CTRL | Qt::Key_Down,
         {},
         [&] { return controlsOf(*main).ClipTileSize->text().trimmed() == "Multi Tile"; }},
        {Qt::Key_G,
         {},
         [&] { return controlsOf(*main).SpeedButtonView->isChecked() && target->Grid().visible; }},
        {Qt::SHIFT | Qt::Key_G, {}, [&] { return target->GridStyle == GridStyle::Lines; }},
        {Qt::Key_BracketLeft, {}, [&] { return target->CellWidth == 32; }},
        {Qt::Key_BracketRight, {}, [&] { return target->CellWidth == 64; }},
        {Qt::CTRL | Qt::Key_G, [&] { controlsOf(*main).Source->GridOffsetX = 5; },
         [&] { return controlsOf(*main).Source->GridOffsetX == 0; }},
        {Qt::Key_C, {}, [&] { return controlsOf(*main).SpeedButtonMagenta->isChecked(); }},
        {Qt::Key_O, {}, [&] { return controlsOf(*main).SpeedButtonOpaque->isChecked(); }},
        {Qt::Key_P,
         {},
         [&] { return controlsOf(*main).Source->BasePanel->cursor().shape() == Qt::BitmapCursor; }},
        {Qt::Key_Escape,
         {},
         [&] { return !controlsOf(*main).Source->BasePanel->testAttribute(Qt::WA_SetCursor); }},
        {Qt::SHIFT | Qt::Key_P,
         [&] { controlsOf(*main).SourceColourSample->setColour(QColor(3, 4, 5)); },
         [&] {
             return main->formState().PotColour == Colour{3, 4, 5};
         }},
        // A colour picked after the last pot: Alt+P must not tile the pot colour before it.
        {Qt::ALT | Qt::Key_P,
         [&] { controlsOf(*main).SourceColourSample->setColour(QColor(6, 7, 8)); },
         [&] {
             const Bitmap& tile = target->Clip().bitmap;
             return main->formState().FillerColour == Colour{6, 7, 8} && tile.width() == 64 &&
                    tile.pixel(63, 63) == Colour{6, 7, 8} && target->Mode == CanvasMode::Paste;
         }},
        {Qt::Key_R, {}, [&] { return cursor() == "crRotate"; }},
        {Qt::Key_H, {}, [&] { return cursor() == "crHFlip"; }},
        {Qt::Key_V, {}, [&] { return cursor() == "crVFlip"; }},
        {Qt::Key_W, {}, [&] { return cursor() == "crSwap"; }},
        {Qt::Key_D, {}, [&] { return cursor() == "crHand"; }},
        {Qt::Key_T, {}, [&] { return main->wrapPreview().isVisible(); }},
        {Qt::Key_T, {}, [&] { return !main->wrapPreview().isVisible(); }},
        {Qt::Key_N, {}, [&] { return target->Mode == CanvasMode::Idle && cursor() == "crNormal"; }},
        {Qt::Key_Escape, [&] { main->MakeCurrentTile(tile); },
         [&] { return target->Mode == CanvasMode::Idle; }},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_E,
         {},
         [&] { return controlsOf(*main).CheckBoxExport->isChecked(); }},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_I,
         {},
         [&] {
             return controlsOf(*main).CheckBoxImport->isChecked() &&
                    !controlsOf(*main).CheckBoxExport->isChecked();
         }},
        {Qt::CTRL | Qt::Key_Plus, {}, [&] { return target->zoom() == 2; }},
        {Qt::CTRL | Qt::Key_Equal, {}, [&] { return target->zoom() == 3; }},
        {Qt::CTRL | Qt::Key_Minus, {}, [&] { return target->zoom() == 2; }},
        {Qt::CTRL | Qt::Key_0, {}, [&] { return target->zoom() == 1; }},
        // Export and import only while a canvas has the keyboard focus.
        {Qt::CTRL | Qt::Key_C,
         [&] {
             main->MakeCurrentTile(tile);
             target->ScrollBoxImageStack->setFocus();
             QGuiApplication::clipboard()->clear();
         },
         [&] { return QGuiApplication::clipboard()->image().size() == QSize(64, 64); }},
        {Qt::CTRL | Qt::Key_V,
         [&] {
             QImage image(30, 20, QImage::Format_RGB32);
             image.fill(Qt::red);
             QGuiApplication::clipboard()->setImage(image);
         },
         [&] { return target->Clip().bitmap.width() == 30 && target->Mode == CanvasMode::Paste; }},
        {Qt::CTRL | Qt::Key_L, closeModal, [&] { return opened.contains("TEXTURES"); }},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_L, closeModal, [&] { return opened.contains("TEXTURES"); }},
        {Qt::Key_F1, closeModal, [&] { return opened.contains("About"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QKeySequence(row.key).toString().toStdString());
        opened.clear();
        // A closed dialog hands the activation back to the window.
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return QApplication::activeWindow() == main.get() &&
                   QGuiApplication::focusWindow() == main->windowHandle();
        }));
        if (row.before)
            row.before();
        QTest::keyClick(main.get(), row.key.key(), row.key.keyboardModifiers());
        EXPECT_TRUE(row.done());
    }

    // With the focus away from the canvases, Ctrl+V imports nothing.
    main->NoActiveControls();
    main->PanelBlackOnClick();
    QTest::keyClick(main.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target->Clip().bitmap.width(), 64);

    // No shortcut fires while a dialog is open.
    QDialog dialog(main.get());
    dialog.setModal(true);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    main->PanelMagentaOnClick();
    clickTarget(10, 10);
    const Bitmap pasted = target->Bitmap();
    for (QKeyCombination key :
         {Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_Z, QKeyCombination(Qt::Key_B)}) {
        QTest::keyClick(&dialog, key.key(), key.keyboardModifiers());
        QTest::keyClick(main.get(), key.key(), key.keyboardModifiers());
    }
    EXPECT_EQ(target->Bitmap(), pasted);
    EXPECT_EQ(main->formState().PotColour, main->formState().MagentaColour);
}

} // namespace
} // namespace parvane::app
