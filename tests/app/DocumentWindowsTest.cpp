// The about, help and credits windows in both languages: made hidden at start-up with their
// documents loaded, reached from the help button, and kept (scroll position included) between
// showings.
#include "app/AboutForm.h"
#include "app/DocumentForm.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "support/ModalWindows.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

using parvane::testing::whenModal;

class DocumentWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { main = std::make_unique<TMain>(); }
    // The language switch turns the whole interface; the next test starts in English.
    void TearDown() override { setInterfaceLanguage(Language::English); }

    std::vector<TDocumentForm*> documents() const {
        return {main->HelpForm, main->HelpFormFR, main->CreditsForm, main->CreditsFormFR};
    }

    std::unique_ptr<TMain> main;
};

TEST_F(DocumentWindowsTest, AllSixWindowsWaitHiddenWithTheirDocumentsLoaded) {
    const struct {
        TAboutWindow* about;
        const char* caption;
        QSize size;
        const char* help;
    } abouts[] = {
        {main->AboutForm, "   About,   Help   &   Credits", {362, 352}, "HELP"},
        {main->AboutFormFR, "   A propos,   Aide   &   Credits", {362, 336}, "AIDE"},
    };
    for (const auto& row : abouts) {
        EXPECT_FALSE(row.about->isVisible());
        EXPECT_EQ(row.about->windowTitle(), QString::fromUtf8(row.caption));
        EXPECT_EQ(row.about->size(), row.size);
        EXPECT_EQ(row.about->HelpButton->text(), QString::fromUtf8(row.help));
        EXPECT_EQ(row.about->CreditsButton->text(), QStringLiteral("CREDITS"));
        EXPECT_EQ(row.about->OKButton->text(), QStringLiteral("OK"));
    }

    const struct {
        TDocumentForm* window;
        const char* resource;
        const char* caption;
        QSize size;
        Qt::ScrollBarPolicy scrollBar;
    } rows[] = {
        {main->HelpForm, "ParvaneHelp", "   Help", {725, 592}, Qt::ScrollBarAsNeeded},
        {main->HelpFormFR, "ParvaneHelp_FR", "   Help", {725, 592}, Qt::ScrollBarAsNeeded},
        {main->CreditsForm, "ParvaneCredits", "Credits", {724, 592}, Qt::ScrollBarAlwaysOn},
        {main->CreditsFormFR, "ParvaneCredits_FR", "Credits", {725, 592}, Qt::ScrollBarAlwaysOn},
    };
    QStringList texts;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.resource);
        TDocumentForm* w = row.window;
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->resourceName(), QString::fromLatin1(row.resource));
        EXPECT_EQ(w->windowTitle(), QString::fromLatin1(row.caption));
        EXPECT_EQ(w->size(), row.size);
        EXPECT_EQ(w->Viewer->verticalScrollBarPolicy(), row.scrollBar);
        EXPECT_TRUE(w->Viewer->isReadOnly());
        // Rich text: the document was read as HTML, not shown as its source.
        const QString text = w->Viewer->toPlainText();
        EXPECT_GT(text.trimmed().size(), 20);
        EXPECT_FALSE(text.contains(QStringLiteral("<p")) || text.contains(QStringLiteral("<html")));
        EXPECT_FALSE(texts.contains(text)) << "each window shows its own document";
        texts << text;
        EXPECT_EQ(w->Viewer->palette().color(QPalette::Base), QColor(Qt::black));
        EXPECT_EQ(w->Strip->palette().color(QPalette::Window), QColor(Qt::black));
    }
}

TEST_F(DocumentWindowsTest, HelpAndCreditsOpenBesideTheMainWindowAndCloseTheAboutWindow) {
    main->show();
    bool aboutWasModal = false;
    whenModal(main->AboutForm, [&] {
        aboutWasModal = main->AboutForm->isModal();
        main->AboutForm->HelpButton->click();
    });
    main->HelpSpeedButton->click();
    EXPECT_TRUE(aboutWasModal);
    EXPECT_FALSE(main->AboutForm->isVisible());
    ASSERT_TRUE(main->HelpForm->isVisible());
    QScrollBar* bar = main->HelpForm->Viewer->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(main->isVisible());

    // Read further, close, reopen: the same window at the same place in the document.
    main->HelpForm->resize(300, 120);
    QApplication::processEvents();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum() / 2 + 1);
    const int place = bar->value();
    main->HelpForm->close();
    whenModal(main->AboutForm, [&] { main->AboutForm->HelpButton->click(); });
    main->HelpSpeedButton->click();
    EXPECT_TRUE(main->HelpForm->isVisible());
    EXPECT_EQ(bar->value(), place);

    whenModal(main->AboutForm, [&] { main->AboutForm->CreditsButton->click(); });
    main->HelpSpeedButton->click();
    EXPECT_FALSE(main->AboutForm->isVisible());
    EXPECT_TRUE(main->CreditsForm->isVisible());
    EXPECT_TRUE(main->HelpForm->isVisible());
}

TEST_F(DocumentWindowsTest, TheFrenchWindowsAreReachedThroughTheLanguageSwitch) {
    main->show();
    whenModal(main->AboutForm, [&] {
        main->AboutForm->LanguageButton->click();
        whenModal(main->AboutFormFR, [&] { main->AboutFormFR->HelpButton->click(); });
    });
    main->HelpSpeedButton->click();
    EXPECT_FALSE(main->AboutForm->isVisible());
    EXPECT_FALSE(main->AboutFormFR->isVisible());
    EXPECT_TRUE(main->HelpFormFR->isVisible());
    EXPECT_FALSE(main->HelpForm->isVisible());

    // The interface is French now: the help button opens the French about window. French
    // credits, then back to English with OK closing it.
    whenModal(main->AboutFormFR, [&] { main->AboutFormFR->CreditsButton->click(); });
    main->HelpSpeedButton->click();
    EXPECT_TRUE(main->CreditsFormFR->isVisible());

    bool backInEnglish = false;
    whenModal(main->AboutFormFR, [&] {
        main->AboutFormFR->LanguageButton->click();
        whenModal(main->AboutForm, [&] {
            backInEnglish = true;
            main->AboutForm->OKButton->click();
        });
    });
    main->HelpSpeedButton->click();
    EXPECT_TRUE(backInEnglish);
    EXPECT_FALSE(main->AboutForm->isVisible());
    EXPECT_FALSE(main->AboutFormFR->isVisible());
}

TEST_F(DocumentWindowsTest, EscapeAndCtrlWCloseADocumentWhichReopensWhereItWasLeft) {
    for (TDocumentForm* w : documents()) {
        SCOPED_TRACE(w->objectName().toStdString());
        QScrollBar* bar = w->Viewer->verticalScrollBar();
        for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
            w->showDocument();
            w->resize(400, 150);
            ASSERT_TRUE(QTest::qWaitForWindowActive(w));
            QApplication::processEvents();
            ASSERT_GT(bar->maximum(), 0);
            bar->setValue(bar->maximum() / 3 + 1);
            const int place = bar->value();
            QTest::keyClick(w->Viewer, key.key(), key.keyboardModifiers());
            EXPECT_FALSE(w->isVisible()) << QKeySequence(key).toString().toStdString();
            w->showDocument();
            EXPECT_EQ(bar->value(), place);
            w->close();
        }
    }
}

TEST_F(DocumentWindowsTest, TheLanguageSwitchPutsTheOtherEditionInPlaceOfAnOpenDocument) {
    main->show();
    main->HelpForm->showDocument();
    main->CreditsForm->showDocument();
    main->HelpForm->move(40, 30);
    const QRect helpPlace = main->HelpForm->geometry();
    main->switchLanguage(Language::French);
    EXPECT_FALSE(main->HelpForm->isVisible());
    EXPECT_FALSE(main->CreditsForm->isVisible());
    ASSERT_TRUE(main->HelpFormFR->isVisible());
    EXPECT_TRUE(main->CreditsFormFR->isVisible());
    EXPECT_EQ(main->HelpFormFR->geometry(), helpPlace);
    // The captions are those of the design in both languages.
    EXPECT_EQ(main->HelpFormFR->windowTitle(), QStringLiteral("   Help"));
    EXPECT_EQ(main->CreditsFormFR->windowTitle(), QStringLiteral("Credits"));

    // Back to English, with only the credits still open.
    main->HelpFormFR->close();
    main->switchLanguage(Language::English);
    EXPECT_TRUE(main->CreditsForm->isVisible());
    EXPECT_FALSE(main->CreditsFormFR->isVisible());
    EXPECT_FALSE(main->HelpForm->isVisible());
    EXPECT_FALSE(main->HelpFormFR->isVisible());
}

TEST_F(DocumentWindowsTest, ResizingReflowsTheTextBesideAStripOfFixedWidth) {
    for (TDocumentForm* w : documents()) {
        w->showDocument();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        for (const QSize size : {QSize(400, 300), QSize(900, 700)}) {
            w->resize(size);
            QApplication::processEvents();
            EXPECT_EQ(w->Strip->width(), TDocumentForm::kStripWidth);
            EXPECT_EQ(w->Viewer->width(), size.width() - TDocumentForm::kStripWidth);
            EXPECT_LE(w->Viewer->document()->size().width(), w->Viewer->viewport()->width() + 1);
        }
        w->close();
    }
}

} // namespace
} // namespace parvane::app
