// The about, help and credits windows in both languages: made hidden at start-up with their
// documents loaded, reached from the help button, and kept (scroll position included) between
// showings.
#include "app/AboutForm.h"
#include "app/DocumentForm.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "resources/Resources.h"
#include "support/ModalWindows.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace parvane::app {
namespace {

using parvane::testing::whenModal;

class DocumentWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { main = std::make_unique<TMain>(); }
    // The language switch turns the whole interface; the next test starts in English.
    void TearDown() override { setInterfaceLanguage(Language::English); }

    std::vector<TDocumentForm*> documents() const {
        return {main->documentWindows().Help, main->documentWindows().HelpFR,
                main->documentWindows().Credits, main->documentWindows().CreditsFR};
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
        {main->documentWindows().About, "   About,   Help   &   Credits", {362, 352}, "HELP"},
        {main->documentWindows().AboutFR, "   A propos,   Aide   &   Credits", {362, 336}, "AIDE"},
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
        {main->documentWindows().Help, "ParvaneHelp", "   Help", {725, 592}, Qt::ScrollBarAsNeeded},
        {main->documentWindows().HelpFR,
         "ParvaneHelp_FR",
         "   Help",
         {725, 592},
         Qt::ScrollBarAsNeeded},
        {main->documentWindows().Credits,
         "ParvaneCredits",
         "Credits",
         {724, 592},
         Qt::ScrollBarAlwaysOn},
        {main->documentWindows().CreditsFR,
         "ParvaneCredits_FR",
         "Credits",
         {725, 592},
         Qt::ScrollBarAlwaysOn},
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

// Each help numbers its chapters in its headings and its table of contents alike, and every
// "chapter N" in its text is a link to chapter N: the link's anchor names the subject, so a
// number that points at the wrong chapter, or a reference left as plain text, shows. The two
// editions have the same chapters and refer to them in the same places.
TEST_F(DocumentWindowsTest, EveryChapterReferenceLeadsToItsChapterInBothHelps) {
    using Anchors = std::vector<std::string>;
    const struct {
        const char* resource;
        const char* chapterWord;
    } helps[] = {{"ParvaneHelp", "chapter"}, {"ParvaneHelp_FR", "chapitre"}};
    const QRegularExpression heading(
        QStringLiteral(R"re(<a name="(\w+)"></a>\s*<h2>(?:<font[^>]*>)?(\d+)\.\s)re"));
    const QRegularExpression contentsEntry(
        QStringLiteral(R"re(<td><font[^>]*>(\d+)\.</font></td><td><a href="#(\w+)")re"));
    std::vector<Anchors> chaptersOf, referencesOf;
    for (const auto& help : helps) {
        SCOPED_TRACE(help.resource);
        const QString html = QString::fromUtf8(resources::documentResource(help.resource));
        Anchors chapters; // chapter 1 first
        for (const QRegularExpressionMatch& m : heading.globalMatch(html)) {
            EXPECT_EQ(m.captured(2).toInt(), int(chapters.size()) + 1)
                << m.captured(1).toStdString();
            chapters.push_back(m.captured(1).toStdString());
        }
        ASSERT_GE(chapters.size(), 20u);
        Anchors contents;
        for (const QRegularExpressionMatch& m : contentsEntry.globalMatch(html)) {
            EXPECT_EQ(m.captured(1).toInt(), int(contents.size()) + 1);
            contents.push_back(m.captured(2).toStdString());
        }
        EXPECT_EQ(contents, chapters);

        const QRegularExpression reference(
            QStringLiteral(R"re((<a href="#(\w+)"[^>]*>)?\b%1s?\s+(\d+))re").arg(help.chapterWord),
            QRegularExpression::CaseInsensitiveOption);
        Anchors references;
        for (const QRegularExpressionMatch& m : reference.globalMatch(html)) {
            const int chapter = m.captured(3).toInt();
            const std::string anchor = m.captured(2).toStdString();
            EXPECT_TRUE(chapter >= 1 && chapter <= int(chapters.size()) &&
                        anchor == chapters[chapter - 1])
                << html.mid(m.capturedStart(), 90).simplified().toStdString();
            references.push_back(anchor);
        }
        EXPECT_GE(references.size(), 15u);
        chaptersOf.push_back(chapters);
        referencesOf.push_back(references);
    }
    EXPECT_EQ(chaptersOf[0], chaptersOf[1]);
    EXPECT_EQ(referencesOf[0], referencesOf[1]);
}

// French typography in every French text: a no-break space before ":", a narrow no-break space
// before ";", "!" and "?" (so that none of them wraps alone onto the next line), and a no-break
// space after "n°". Checked in the whole catalogue, and in the French help and credits as shown.
TEST_F(DocumentWindowsTest, FrenchTextsKeepTheirSpacesAroundPunctuation) {
    // The places that lack their space, or nothing.
    const auto faultsOf = [](const QString& text) {
        QStringList faults;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            bool right = true;
            if (c == u':')
                right = i > 0 && text.at(i - 1) == QChar(0x00a0);
            else if (c == u';' || c == u'!' || c == u'?')
                right = i > 0 && text.at(i - 1) == QChar(0x202f);
            else if (c == QChar(0x00b0) && i > 0 && text.at(i - 1) == u'n')
                right = i + 1 < text.size() && text.at(i + 1) == QChar(0x00a0);
            if (!right)
                faults << text.mid(std::max<qsizetype>(0, i - 30), 40).simplified();
        }
        return faults.join(QStringLiteral(" | ")).toStdString();
    };

    QFile catalogue(QStringLiteral(PARVANE_SOURCE_DIR "/translations/parvane_fr.ts"));
    ASSERT_TRUE(catalogue.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&catalogue);
    int translations = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"translation")
            continue;
        const QString french = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        ++translations;
        EXPECT_EQ(faultsOf(french), "") << french.toStdString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(translations, 100);

    for (const TDocumentForm* document : documents()) {
        if (!document->resourceName().endsWith(QStringLiteral("_FR")))
            continue;
        SCOPED_TRACE(document->resourceName().toStdString());
        // The raw text keeps the no-break spaces that the plain text turns into spaces.
        EXPECT_EQ(faultsOf(document->Viewer->document()->toRawText()), "");
    }
}

TEST_F(DocumentWindowsTest, HelpAndCreditsOpenBesideTheMainWindowAndCloseTheAboutWindow) {
    main->show();
    bool aboutWasModal = false;
    whenModal(main->documentWindows().About, [&] {
        aboutWasModal = main->documentWindows().About->isModal();
        main->documentWindows().About->HelpButton->click();
    });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_TRUE(aboutWasModal);
    EXPECT_FALSE(main->documentWindows().About->isVisible());
    ASSERT_TRUE(main->documentWindows().Help->isVisible());
    QScrollBar* bar = main->documentWindows().Help->Viewer->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(main->isVisible());

    // Read further, close, reopen: the same window at the same place in the document.
    main->documentWindows().Help->resize(300, 120);
    QApplication::processEvents();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum() / 2 + 1);
    const int place = bar->value();
    main->documentWindows().Help->close();
    whenModal(main->documentWindows().About,
              [&] { main->documentWindows().About->HelpButton->click(); });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_TRUE(main->documentWindows().Help->isVisible());
    EXPECT_EQ(bar->value(), place);

    whenModal(main->documentWindows().About,
              [&] { main->documentWindows().About->CreditsButton->click(); });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_FALSE(main->documentWindows().About->isVisible());
    EXPECT_TRUE(main->documentWindows().Credits->isVisible());
    EXPECT_TRUE(main->documentWindows().Help->isVisible());
}

TEST_F(DocumentWindowsTest, TheFrenchWindowsAreReachedThroughTheLanguageSwitch) {
    main->show();
    whenModal(main->documentWindows().About, [&] {
        main->documentWindows().About->LanguageButton->click();
        whenModal(main->documentWindows().AboutFR,
                  [&] { main->documentWindows().AboutFR->HelpButton->click(); });
    });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_FALSE(main->documentWindows().About->isVisible());
    EXPECT_FALSE(main->documentWindows().AboutFR->isVisible());
    EXPECT_TRUE(main->documentWindows().HelpFR->isVisible());
    EXPECT_FALSE(main->documentWindows().Help->isVisible());

    // The interface is French now: the help button opens the French about window. French
    // credits, then back to English with OK closing it.
    whenModal(main->documentWindows().AboutFR,
              [&] { main->documentWindows().AboutFR->CreditsButton->click(); });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_TRUE(main->documentWindows().CreditsFR->isVisible());

    bool backInEnglish = false;
    whenModal(main->documentWindows().AboutFR, [&] {
        main->documentWindows().AboutFR->LanguageButton->click();
        whenModal(main->documentWindows().About, [&] {
            backInEnglish = true;
            main->documentWindows().About->OKButton->click();
        });
    });
    controlsOf(*main).HelpSpeedButton->click();
    EXPECT_TRUE(backInEnglish);
    EXPECT_FALSE(main->documentWindows().About->isVisible());
    EXPECT_FALSE(main->documentWindows().AboutFR->isVisible());
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
    main->documentWindows().Help->showDocument();
    main->documentWindows().Credits->showDocument();
    main->documentWindows().Help->move(40, 30);
    const QRect helpPlace = main->documentWindows().Help->geometry();
    main->switchLanguage(Language::French);
    EXPECT_FALSE(main->documentWindows().Help->isVisible());
    EXPECT_FALSE(main->documentWindows().Credits->isVisible());
    ASSERT_TRUE(main->documentWindows().HelpFR->isVisible());
    EXPECT_TRUE(main->documentWindows().CreditsFR->isVisible());
    EXPECT_EQ(main->documentWindows().HelpFR->geometry(), helpPlace);
    // The captions are those of the design in both languages.
    EXPECT_EQ(main->documentWindows().HelpFR->windowTitle(), QStringLiteral("   Help"));
    EXPECT_EQ(main->documentWindows().CreditsFR->windowTitle(), QStringLiteral("Credits"));

    // Back to English, with only the credits still open.
    main->documentWindows().HelpFR->close();
    main->switchLanguage(Language::English);
    EXPECT_TRUE(main->documentWindows().Credits->isVisible());
    EXPECT_FALSE(main->documentWindows().CreditsFR->isVisible());
    EXPECT_FALSE(main->documentWindows().Help->isVisible());
    EXPECT_FALSE(main->documentWindows().HelpFR->isVisible());
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
