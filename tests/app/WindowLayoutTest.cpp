// The window as it sits on the screen: menus that run only what the user picks, the window's
// width following the Target's pages, the status line that shows a whole hint beside the
// pointer's position, size lines that show their whole text, and the page counters' keys.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/TargetHistory.h"
#include "canvas/ImageStack.h"
#include "imaging/ui/ImageFileModule.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
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
        main->FIO().showMessage = [](const QString&) {};
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
    for (MenuCombo* menu : {main->SourceCombo, main->TargetCombo}) {
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
    main->TargetWidthScrollBar->setValue(2);
    expectCentredAt(wide, "counter to 2");
    main->TargetWidthScrollBar->setValue(1);
    expectCentredAt(TMain::kDesignWidth, "counter back to 1");
    main->TargetWidthScrollBar->setValue(2);
    main->UndoTargetEdit();
    EXPECT_EQ(main->TargetWidthScrollBar->value(), 1);
    expectCentredAt(TMain::kDesignWidth, "undo of the counter");

    main->Source->setBitmap(imaging::Bitmap(512, 512));
    main->Source->UpdateStack();
    main->Source->UpdateGrid();
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
        main->TargetWidthScrollBar->setValue(pages);
        QApplication::processEvents();
        EXPECT_TRUE(main->isMaximized()) << pages;
    }
}

} // namespace
} // namespace parvane::app
