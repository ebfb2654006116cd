// The window as it sits on the screen: menus that run only what the user picks, the window's
// width following the Target's pages, the status line that shows a whole hint beside the
// pointer's position, size lines that show their whole text, and the page counters' keys.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/StatusLine.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ui/ImageFileModule.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

class WindowLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TMain>();
        main->FIO().runDialog = [this](QFileDialog&) {
            ++dialogs;
            return false;
        };
        main->FIO().showMessage = [](const QString&, const QString&) {};
    }
    void TearDown() override { setInterfaceLanguage(Language::English); }

    void showWindow() {
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    static void wheel(QWidget* widget, int steps) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

    std::unique_ptr<TMain> main;
    int dialogs = 0;
};

TEST_F(WindowLayoutTest, TheWheelAndArrowKeysOverAClosedMenuRunNothing) {
    showWindow();
    for (MenuCombo* menu : {controlsOf(*main).SourceCombo, controlsOf(*main).TargetCombo}) {
        SCOPED_TRACE(menu->objectName().toStdString());
        QSignalSpy chosen(menu, &QComboBox::activated);
        for (const int steps : {1, 3, -1, -2})
            wheel(menu, steps);
        EXPECT_EQ(menu->currentIndex(), 0);

        // A keyboard user on the closed menu: the arrow keys open its list.
        menu->setFocus();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_PageDown}) {
            QTest::keyClick(menu, key);
            EXPECT_TRUE(menu->view()->isVisible()) << key;
            menu->hidePopup();
            menu->setFocus();
        }
        QTest::keyClick(menu, Qt::Key_L); // no search that would run the item found
        EXPECT_EQ(menu->currentIndex(), 0);
        EXPECT_EQ(chosen.count(), 0);
        EXPECT_EQ(dialogs, 0);

        // In the open list, Enter runs the item chosen: item 1 opens its file dialog.
        menu->setFocus();
        QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_TRUE(menu->view()->isVisible());
        QTest::keyClick(menu->view(), Qt::Key_Down);
        QTest::keyClick(menu->view(), Qt::Key_Return);
        ASSERT_EQ(chosen.count(), 1);
        EXPECT_EQ(chosen.at(0).at(0).toInt(), 1);
        EXPECT_EQ(dialogs, 1);
        dialogs = 0;
    }
}

TEST_F(WindowLayoutTest, OnePageBringsTheWindowBackToItsDesignWidthCentredOnItsScreen) {
    showWindow();
    const QRect screen = main->screen()->availableGeometry();
    const auto expectCentredAt = [&](int width, const char* step) {
        QApplication::processEvents();
        EXPECT_EQ(main->width(), width) << step;
        // A window wider than the test's screen is pushed back inside it by the platform.
        if (main->frameGeometry().width() > screen.width())
            return;
        const int offset = main->frameGeometry().center().x() - screen.center().x();
        EXPECT_LE(std::abs(offset), 1) << step;
    };
    const int wide = 300 + 2 * TMain::kPageSide + TMain::kRightPanelExtra;
    // Every road back to one page: the counter, undo of the counter, Create New after a wide
    // Copy All, and undo of Create New with redo.
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    expectCentredAt(wide, "counter to 2");
    controlsOf(*main).TargetWidthScrollBar->setValue(1);
    expectCentredAt(TMain::kDesignWidth, "counter back to 1");
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    main->UndoTargetEdit();
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    expectCentredAt(TMain::kDesignWidth, "undo of the counter");

    controlsOf(*main).Source->setBitmap(imaging::Bitmap(512, 512));
    controlsOf(*main).Source->UpdateStack();
    controlsOf(*main).Source->UpdateGrid();
    main->CopyAllOnClick();
    expectCentredAt(wide, "Copy All of a two-page Source");
    main->ReInitTarget();
    expectCentredAt(TMain::kDesignWidth, "Create New");
    main->UndoTargetEdit();
    expectCentredAt(wide, "undo of Create New");
    main->RedoTargetEdit();
    expectCentredAt(TMain::kDesignWidth, "redo of Create New");

    // A maximised window stays maximised whatever the Target's width.
    main->showMaximized();
    QApplication::processEvents();
    for (const int pages : {2, 1}) {
        controlsOf(*main).TargetWidthScrollBar->setValue(pages);
        QApplication::processEvents();
        EXPECT_TRUE(main->isMaximized()) << pages;
    }
}

// The pointer over a canvas: what the event filter and the canvas hear from the system.
void pointAt(canvas::TFrameStack* canvas, QPoint at) {
    QWidget* picture = canvas->BasePanel;
    QEnterEvent enter(at, at, picture->mapToGlobal(at));
    QApplication::sendEvent(picture, &enter);
    QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
}

TEST_F(WindowLayoutTest, TheWholeHintAndThePointersPositionShowTogetherInBothLanguages) {
    // The Target at its largest gives the longest position: pixel, cell and page numbers of
    // four digits, two and three.
    controlsOf(*main).TargetWidthScrollBar->setValue(1);
    controlsOf(*main).TargetHeightScrollBar->setValue(32);
    showWindow();
    for (const Language language : {Language::English, Language::French}) {
        main->switchLanguage(language);
        const auto* line = static_cast<const StatusLine*>(controlsOf(*main).StatusBar);
        const QLabel* position = controlsOf(*main).StatusPosition;
        for (canvas::TFrameStack* canvas : {controlsOf(*main).Source, controlsOf(*main).Target}) {
            SCOPED_TRACE(canvas->objectName().toStdString() +
                         (language == Language::French ? " in French" : " in English"));
            pointAt(canvas, QPoint(canvas->PortWidth() - 1, canvas->PortHeight() - 1));
            QApplication::processEvents();
            const QString hint = line->currentMessage();
            EXPECT_EQ(hint, canvas->statusTip());
            ASSERT_FALSE(position->text().isEmpty());
            EXPECT_TRUE(position->isVisible());
            // Both whole, in their own places, inside the status line.
            EXPECT_TRUE(line->hintRect().contains(line->hintBounds(hint))) << hint.toStdString();
            EXPECT_LE(line->hintRect().height(), position->fontMetrics().height());
            EXPECT_LE(position->sizeHint().width(), position->width())
                << position->text().toStdString();
            EXPECT_GE(position->height(), position->fontMetrics().height());
            EXPECT_FALSE(line->hintRect().intersects(position->geometry()));
            EXPECT_TRUE(line->rect().contains(position->geometry()));
            EXPECT_TRUE(line->rect().contains(line->hintRect()));
            EXPECT_GE(line->geometry().top(), main->centralWidget()->geometry().bottom());
        }
        // A screen reader hears what the numbers are.
        EXPECT_TRUE(controlsOf(*main).StatusPosition->spokenText().startsWith(
            language == Language::French ? QStringLiteral("Position du pointeur")
                                         : QStringLiteral("Pointer position: pixel ")))
            << controlsOf(*main).StatusPosition->spokenText().toStdString();
    }
}

TEST_F(WindowLayoutTest, TheInformationLinesShowTheirWholeTextAtTheLargestValues) {
    showWindow();
    auto* targetLine = qobject_cast<InfoText*>(controlsOf(*main).TargetAreaInfo);
    auto* sourceLine = qobject_cast<InfoText*>(controlsOf(*main).SourceAreaInfo);
    ASSERT_TRUE(targetLine && sourceLine);
    const int sourceWidth = sourceLine->width();
    const auto expectWhole = [](const InfoText* line) {
        SCOPED_TRACE(line->text().toStdString());
        EXPECT_LE(QFontMetrics(line->shownFont()).horizontalAdvance(line->shownText()),
                  line->contentsRect().width());
        EXPECT_EQ(line->shownText().trimmed(), line->text().trimmed());
        EXPECT_GE(QFontInfo(line->shownFont()).pixelSize(), 7);
    };
    for (const Language language : {Language::English, Language::French}) {
        main->switchLanguage(language);
        const TextTable& texts = interfaceTexts();
        const struct {
            InfoText* line;
            int widthPages, heightPages; // for the Target's line
            QString text;                // for the Source's line
        } rows[] = {
            {targetLine, 1, 32, {}},
            {targetLine, 2, 32, {}},
            {sourceLine, 0, 0, texts.SourceAreaFormat.arg(8192).arg(8192).arg("32 bits")},
            {sourceLine, 0, 0, texts.SourceAreaFormat.arg(8192).arg(8192).arg("8 bits (256 col)")},
        };
        for (const auto& row : rows) {
            if (row.widthPages) {
                controlsOf(*main).TargetWidthScrollBar->setValue(row.widthPages);
                controlsOf(*main).TargetHeightScrollBar->setValue(row.heightPages);
            } else {
                row.line->setText(row.text);
            }
            QApplication::processEvents();
            expectWhole(row.line);
        }
        // Every text of the size selector.
        auto* sizeSelector = qobject_cast<InfoText*>(controlsOf(*main).ClipTileSize);
        ASSERT_TRUE(sizeSelector);
        for (int step = 0; step < texts.ClipTileSizes.size(); ++step) {
            controlsOf(*main).ClipTileSizeScroll->triggerAction(
                QAbstractSlider::SliderSingleStepAdd);
            expectWhole(sizeSelector);
        }
        // The lines keep their places: the arrangement is the design's.
        controlsOf(*main).TargetWidthScrollBar->setValue(1);
        QApplication::processEvents();
        EXPECT_EQ(main->width(), TMain::kDesignWidth);
        EXPECT_EQ(controlsOf(*main).SourceAreaInfo->width(), sourceWidth);
    }
}

TEST_F(WindowLayoutTest, ThePageKeysStepTheCountersAsTheirArrowsDo) {
    showWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const auto steps = [&] { return main->TargetDocument().stepCount(); };
    const struct {
        Qt::Key key;
        int widthPages, heightPages;
        int newSteps; // a counter that grows the picture is a step of the undo history
    } rows[] = {
        {Qt::Key_Right, 2, 2, 1}, {Qt::Key_Right, 2, 2, 0}, // no third page across
        {Qt::Key_Down, 2, 3, 1},  {Qt::Key_Up, 2, 2, 0},    {Qt::Key_Up, 2, 1, 0},
        {Qt::Key_Up, 2, 1, 0},    {Qt::Key_Left, 1, 1, 0},  {Qt::Key_Left, 1, 1, 0},
        {Qt::Key_Down, 1, 2, 0},  {Qt::Key_Down, 1, 3, 0},  {Qt::Key_Down, 1, 4, 1},
    };
    for (const auto& row : rows) {
        const int before = steps();
        QTest::keyClick(main.get(), row.key, ctrlShift);
        EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), row.widthPages) << row.key;
        EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), row.heightPages) << row.key;
        EXPECT_EQ(controlsOf(*main).Target->PortWidth(), row.widthPages * TMain::kPageSide);
        EXPECT_EQ(controlsOf(*main).Target->PortHeight(), row.heightPages * TMain::kPageSide);
        EXPECT_EQ(steps() - before, row.newSteps) << row.key;
    }
    // The width key brought the window back to its design width; undo takes back the last
    // growth as it would a click on the counter.
    EXPECT_EQ(main->width(), TMain::kDesignWidth);
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 3);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 3 * TMain::kPageSide);

    // The counters' hints list their keys.
    const struct {
        QWidget* counter;
        Qt::Key more, fewer;
    } counters[] = {{controlsOf(*main).TargetWidthScrollBar, Qt::Key_Right, Qt::Key_Left},
                    {controlsOf(*main).TargetHeightScrollBar, Qt::Key_Down, Qt::Key_Up}};
    for (const auto& [counter, more, fewer] : counters)
        for (const Qt::Key key : {more, fewer})
            EXPECT_TRUE(counter->statusTip().contains(
                QKeySequence(ctrlShift | key).toString(QKeySequence::NativeText)))
                << counter->statusTip().toStdString();
}

} // namespace
} // namespace parvane::app
