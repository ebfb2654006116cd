// Parvane as a desktop program: the command line, the file it opens into the Source at
// start-up, and the interface in French, chosen by the locale or switched in the about window.
#include "app/AboutForm.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/SourceWorkflow.h"
#include "app/Startup.h"
#include "app/StatusLine.h"
#include "canvas/ImageStack.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"
#include "support/ModalWindows.h"
#include "support/TestData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace parvane::app {
namespace {

namespace writer = level::testing;

using parvane::testing::whenModal;

// Every test leaves the interface in English, as the next one expects it.
class DesktopProductTest : public ::testing::Test {
protected:
    void TearDown() override { setInterfaceLanguage(Language::English); }

    QString writeFile(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return path;
    }

    // Starts the window as main() does, answering messages and warning sounds, and lets the
    // queued load of the command line's file run.
    std::unique_ptr<TMain> start(const QStringList& arguments) {
        const CommandLine line = parseCommandLine(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Run);
        std::unique_ptr<TMain> window = startMainWindow(line);
        window->FIO().showMessage = [this](const QString& text, const QString&) {
            messages << text;
        };
        window->DVL().setWarningSoundHandler([this] { ++sounds; });
        window->DVL().setMessageHandler(
            [this](const QString& text, const QString&) { messages << text; });
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
        return window;
    }

    QTemporaryDir dir;
    QStringList messages;
    int sounds = 0;
};

TEST_F(DesktopProductTest, TheCommandLineAnswersAsDesktopProgramsDo) {
    const QString testName = QCoreApplication::applicationName();
    describeApplication();
    setProgramIcon();
    EXPECT_FALSE(QApplication::windowIcon().availableSizes().isEmpty());
    const struct {
        QStringList arguments;
        CommandLine::Action action;
        QString file; // expected file, or expected text start
    } rows[] = {
        {{"parvane"}, CommandLine::Action::Run, {}},
        {{"parvane", "--version"}, CommandLine::Action::ShowVersion, "Parvane 2.4\n"},
        {{"parvane", "-v"}, CommandLine::Action::ShowVersion, "Parvane 2.4\n"},
        {{"parvane", "--help"}, CommandLine::Action::ShowHelp, "Usage: "},
        {{"parvane", "--bogus"}, CommandLine::Action::Refuse, "parvane: Unknown option 'bogus'"},
        // Qt's own options pass through to the application object.
        {{"parvane", "-platform", "offscreen", "/tmp/a.tga"},
         CommandLine::Action::Run,
         "/tmp/a.tga"},
        // Desktops may hand over a URL; only the first of several files is opened.
        {{"parvane", "file:///tmp/b%20c.dv4", "/tmp/d.tga"},
         CommandLine::Action::Run,
         "/tmp/b c.dv4"},
        {{"/usr/bin/parvane", "rel/e.bmp"},
         CommandLine::Action::Run,
         QDir::current().absoluteFilePath("rel/e.bmp")},
    };
    for (const auto& row : rows) {
        const CommandLine line = parseCommandLine(row.arguments);
        const std::string name = row.arguments.join(' ').toStdString();
        EXPECT_EQ(line.action, row.action) << name;
        if (row.action == CommandLine::Action::Run)
            EXPECT_EQ(line.file, row.file) << name;
        else
            EXPECT_TRUE(line.text.startsWith(row.file)) << name << ": " << line.text.toStdString();
    }
    EXPECT_TRUE(parseCommandLine({"parvane", "--help"}).text.contains("[options] [FILE]"));
    QCoreApplication::setApplicationName(testName);
}

TEST_F(DesktopProductTest, AFileOnTheCommandLineOpensInTheSourceAsADropWould) {
    PARVANE_REQUIRE_TESTDATA();
    writer::LevelRecipe recipe = writer::richLevel(6);
    recipe.pages = 3;
    std::vector<std::uint8_t> bytes = writer::writeLevel(recipe);
    const QString level = writeFile(QStringLiteral("LEVEL.DV4"), bytes);
    bytes.resize(bytes.size() / 2);
    const QString cut = writeFile(QStringLiteral("cut.dv4"), bytes);
    const QString picture =
        QFileInfo(QString::fromStdString(
                      testing::peerFile("image-rs/images/tga/testsuite/ctc24.tga").string()))
            .absoluteFilePath();
    const QString missing = dir.filePath(QStringLiteral("gone.tga"));

    const QString nothing = englishTexts().SourceComboItems.value(0);
    const struct {
        QString file;
        QSize source; // the Source picture's size afterwards (256 x 512: the empty start)
        QString caption;
        bool told; // a message or the warning sound told the user
    } rows[] = {
        {picture, {128, 128}, picture, false},
        {level, {256, 768}, level, false},
        {cut, {256, 512}, nothing, true},
        {missing, {256, 512}, nothing, true},
    };
    for (const auto& row : rows) {
        messages.clear();
        sounds = 0;
        const std::unique_ptr<TMain> window = start({QStringLiteral("parvane"), row.file});
        const std::string name = row.file.toStdString();
        EXPECT_TRUE(window->isVisible()) << name;
        EXPECT_EQ(controlsOf(*window).Source->Bitmap().width(), row.source.width()) << name;
        EXPECT_EQ(controlsOf(*window).Source->Bitmap().height(), row.source.height()) << name;
        EXPECT_EQ(controlsOf(*window).SourceCombo->itemText(0), row.caption) << name;
        EXPECT_EQ(!messages.isEmpty() || sounds > 0, row.told) << name;
        EXPECT_EQ(controlsOf(*window).Source->DragNDrop->text(), QStringLiteral("NO")) << name;
    }
}

TEST_F(DesktopProductTest, TheDesktopsFirstLanguageDecides) {
    const struct {
        QStringList wanted;
        Language language;
    } rows[] = {
        {{"fr-FR"}, Language::French},  {{"fr-CA", "en-US"}, Language::French},
        {{"fr"}, Language::French},     {{"en-GB", "fr-FR"}, Language::English},
        {{"de-DE"}, Language::English}, {{"C"}, Language::English},
        {{}, Language::English},
    };
    for (const auto& row : rows)
        EXPECT_EQ(languageOf(row.wanted), row.language) << row.wanted.join(',').toStdString();
}

TEST_F(DesktopProductTest, FrenchCaptionsHintsAndMessages) {
    setInterfaceLanguage(Language::French);
    const std::unique_ptr<TMain> window = start({QStringLiteral("parvane"), dir.filePath("x.gif")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("   Parvane v2.4   par   Oskelin"));
    EXPECT_EQ(controlsOf(*window).SourceCombo->itemText(0),
              QStringLiteral("   --- aucun fichier SOURCE chargé ---"));
    EXPECT_EQ(controlsOf(*window).SourcePageControl->tabText(0), QStringLiteral("GRILLE"));
    EXPECT_EQ(controlsOf(*window).CopyButton->text(), QStringLiteral("Tout copier --->"));
    EXPECT_EQ(controlsOf(*window).ClipTileSize->text(), QStringLiteral("      Multi-tuiles"));
    // Hints end with their keys.
    EXPECT_TRUE(controlsOf(*window).PanelFiller->statusTip().startsWith(
        QStringLiteral("     Pot de couleur\u00a0: couleur de remplissage suggérée ( bordeaux = "
                       "128,0,0 ). Double-clic pour la changer   [ ")));
    EXPECT_EQ(controlsOf(*window).Source->accessibleName(), QStringLiteral("Canevas Source"));
    // The picture module's message, and the level window's caption.
    EXPECT_EQ(messages, QStringList{QStringLiteral("Format .GIF non pris en charge.")});
    EXPECT_EQ(window->DVL().windowTitle(), QStringLiteral("   Chargement..."));
}

TEST_F(DesktopProductTest, HintsKeepTheirIndentAndFitTheStatusLineInBothLanguages) {
    for (const Language language : {Language::English, Language::French}) {
        setInterfaceLanguage(language);
        const std::unique_ptr<TMain> window = start({QStringLiteral("parvane")});
        const auto* line = static_cast<const StatusLine*>(controlsOf(*window).StatusBar);
        const int room = line->hintRect().width();
        int hints = 0;
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            const QString hint = control->statusTip();
            if (hint.isEmpty())
                continue;
            ++hints;
            EXPECT_TRUE(hint.startsWith(QStringLiteral("     ")) && hint.at(5) != u' ')
                << hint.toStdString();
            // Away from the canvases no position shows: a hint may take both lines.
            EXPECT_TRUE(line->hintRect().contains(line->hintBounds(hint)))
                << hint.toStdString() << " (" << room << " pixels of status line)";
        }
        EXPECT_GT(hints, 40);
    }
}

TEST_F(DesktopProductTest, TheAboutWindowsSwitchTurnsTheWholeInterfaceForTheSession) {
    PARVANE_REQUIRE_TESTDATA();
    const QString picture = QString::fromStdString(
        testing::peerFile("image-rs/images/tga/testsuite/ctc24.tga").string());
    const std::unique_ptr<TMain> window = start({QStringLiteral("parvane"), picture});
    ASSERT_EQ(controlsOf(*window).SourceCombo->itemText(0), QFileInfo(picture).absoluteFilePath());
    const QString sizeLine = controlsOf(*window).SourceAreaInfo->text();

    // English about window -> switch: the interface turns French and the French about window
    // opens; OK closes it.
    bool frenchShown = false;
    whenModal(window->documentWindows().About, [&] {
        window->documentWindows().About->LanguageButton->click();
        whenModal(window->documentWindows().AboutFR, [&] {
            frenchShown = true;
            window->documentWindows().AboutFR->OKButton->click();
        });
    });
    controlsOf(*window).HelpSpeedButton->click();
    EXPECT_TRUE(frenchShown);
    EXPECT_EQ(interfaceLanguage(), Language::French);
    EXPECT_EQ(controlsOf(*window).TargetPageControl->tabText(0), QStringLiteral("TRANSFORMATIONS"));
    EXPECT_EQ(controlsOf(*window).SourcePageControl->tabText(1), QStringLiteral("TRANSPARENCE"));
    EXPECT_EQ(controlsOf(*window).SpeedButtonSwap->statusTip(),
              QStringLiteral(
                  "     Échange\u00a0: cliquer-glisser pour intervertir deux tuiles.   [ W ]"));
    // What is loaded keeps its name; the Target's untouched menu text follows the language.
    EXPECT_EQ(controlsOf(*window).SourceCombo->itemText(0), QFileInfo(picture).absoluteFilePath());
    EXPECT_EQ(controlsOf(*window).TargetCombo->itemText(0),
              QStringLiteral("   --- aucun fichier TARGET enregistré ---"));
    EXPECT_EQ(controlsOf(*window).SourceAreaInfo->text(), sizeLine);
    EXPECT_EQ(window->DVL().windowTitle(), QStringLiteral("   Chargement..."));

    // Back: the help button now opens the French about window, whose switch returns to
    // English.
    whenModal(window->documentWindows().AboutFR, [&] {
        window->documentWindows().AboutFR->LanguageButton->click();
        whenModal(window->documentWindows().About,
                  [&] { window->documentWindows().About->OKButton->click(); });
    });
    controlsOf(*window).HelpSpeedButton->click();
    EXPECT_EQ(interfaceLanguage(), Language::English);
    EXPECT_EQ(window->windowTitle(), englishTexts().MainCaption);
    EXPECT_EQ(controlsOf(*window).TargetCombo->itemText(0),
              englishTexts().TargetComboItems.value(0));
    EXPECT_EQ(window->DVL().windowTitle(), QStringLiteral("   Loading..."));
}

} // namespace
} // namespace parvane::app
