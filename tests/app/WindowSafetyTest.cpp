// What keeps a level builder's work and attention safe in the window: clipboard pictures of
// any size, the question before unsaved work is lost, no settings left behind, refusals shown
// on the screen, and the document windows closed from the keyboard.
#include "app/DocumentForm.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/Startup.h"
#include "app/UnsavedWork.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"
#include "support/ModalWindows.h"
#include "support/TestData.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <zlib.h>

namespace parvane::app {
namespace {

using canvas::CanvasMode;
using imaging::Colour;

class WindowSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString&) { messages << text; };
    }

    void clickTarget(int x, int y) {
        main->TargetMouseMove(Qt::NoModifier, x, y);
        main->TargetMouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
        main->TargetMouseUp(Qt::LeftButton, Qt::NoModifier, x, y);
    }

    std::unique_ptr<TMain> main;
    QStringList messages;
};

// A PNG file that declares the given size in its header and holds the pixels of a 1 x 1
// picture: its size reads well, its pixels would not.
QByteArray pngDeclaring(quint32 width, quint32 height) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    // The header chunk follows the 8-byte signature: length, "IHDR", width, height, ...
    const auto put = [&bytes](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    put(29,
        static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 12), 17)));
    return bytes;
}

// A picture on the clipboard as another program offers it: in a format of its own, with
// Qt's image entry that only says a picture is there.
void offerPicture(const char* format, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-qt-image"), {});
    data->setData(QString::fromLatin1(format), bytes);
    QApplication::clipboard()->setMimeData(data);
}

TEST_F(WindowSafetyTest, ClipboardPicturesOfAnySizeBecomeTheTileOrAreRefusedAloud) {
    // A 3840 x 2160 screenshot: the whole of it is the tile, the viewer shows its corner and
    // a paste near the Target's end clips at the edges.
    QImage screenshot(3840, 2160, QImage::Format_RGB32);
    screenshot.fill(QColor(20, 40, 60));
    screenshot.setPixel(0, 0, qRgb(250, 0, 0));
    QApplication::clipboard()->setImage(screenshot);
    controlsOf(*main).ClipImportButton->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    ASSERT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 3840);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().height(), 2160);
    EXPECT_EQ(controlsOf(*main).Target->Clip().bitmap.width(), 3840);
    EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
    const QImage viewer = controlsOf(*main).ClipTileImage->grab().toImage();
    EXPECT_EQ(viewer.pixelColor(0, 0), QColor(250, 0, 0));
    EXPECT_EQ(viewer.pixelColor(63, 63), QColor(20, 40, 60));

    clickTarget(200, 450);
    const imaging::Bitmap& target = controlsOf(*main).Target->Bitmap();
    EXPECT_EQ(target.width(), 256);
    EXPECT_EQ(target.height(), 512);
    EXPECT_EQ(target.pixel(192, 448), (Colour{250, 0, 0}));
    EXPECT_EQ(target.pixel(255, 511), (Colour{20, 40, 60}));
    EXPECT_EQ(target.pixel(191, 447), (Colour{0, 0, 0}));

    // Past the loaders' memory rule (known from the picture's header, before any pixel is
    // decoded), and a picture that cannot be read: the tile stays and a message says why.
    struct Row {
        const char* name;
        const char* format;
        QByteArray bytes;
        QString message;
    };
    const Row rows[] = {
        {"40000 x 40000", "image/png", pngDeclaring(40000, 40000),
         "Not enough memory to read this picture."},
        {"damaged", "image/png", QByteArray("\x89PNG\r\n\x1a\n garbage"),
         "Bitmap image is not valid"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        offerPicture(row.format, row.bytes);
        controlsOf(*main).ClipImportButton->click();
        EXPECT_EQ(messages, QStringList{row.message});
        EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 3840);
    }
}

TEST_F(WindowSafetyTest, ClosingAsksOnlyWhenTheTargetHasChangedSinceItMatchedItsFile) {
    using Answer = UnsavedWork::Answer;
    const parvane::testing::ScratchDir dir;
    const std::filesystem::path saved = dir.file("set.tga");
    const auto paste = [this] {
        main->PanelMagentaOnClick();
        clickTarget(10, 10);
    };
    struct Row {
        const char* name;
        std::function<void()> work;
        Answer answer;         // if asked
        bool saveDialogChosen; // if the save dialog opens
        bool asked, closes, savedFile;
    };
    const Row rows[] = {
        {"untouched", [] {}, Answer::Cancel, true, false, true, false},
        {"pasted, cancelled", paste, Answer::Cancel, true, true, false, false},
        {"pasted, discarded", paste, Answer::Discard, true, true, true, false},
        {"pasted, saved", paste, Answer::Save, true, true, true, true},
        {"pasted, save dialog cancelled", paste, Answer::Save, false, true, false, false},
        {"saved then undone back to the saved picture",
         [&] {
             paste();
             main->FIO().runDialog = [&](QFileDialog& dialog) {
                 dialog.selectFile(QString::fromStdString(saved.string()));
                 return true;
             };
             main->SaveToImageFile();
             std::filesystem::remove(saved);
             main->PanelBlackOnClick();
             clickTarget(70, 10);
             main->UndoTargetEdit();
         },
         Answer::Cancel, true, false, true, false},
        {"saved then undone past it",
         [&] {
             paste();
             main->SaveToImageFile();
             std::filesystem::remove(saved);
             main->UndoTargetEdit();
         },
         Answer::Cancel, true, true, false, false},
        // A history with room for one step only: the steps before the newest go.
        {"saved, one more paste in a full history, undone back to the saved picture",
         [&] {
             main->TargetDocument().setBudget(1);
             paste();
             main->SaveToImageFile();
             std::filesystem::remove(saved);
             main->PanelBlackOnClick();
             clickTarget(70, 10);
             main->UndoTargetEdit();
         },
         Answer::Cancel, true, false, true, false},
        {"saved, two more pastes in a full history, one undone",
         [&] {
             main->TargetDocument().setBudget(1);
             paste();
             main->SaveToImageFile();
             std::filesystem::remove(saved);
             main->PanelBlackOnClick();
             clickTarget(70, 10);
             main->PanelMagentaOnClick();
             clickTarget(140, 10);
             main->UndoTargetEdit();
         },
         Answer::Cancel, true, true, false, false},
        {"pasted then made new",
         [&] {
             paste();
             main->ReInitTarget();
         },
         Answer::Cancel, true, false, true, false},
        {"a page counted more", [&] { controlsOf(*main).TargetHeightScrollBar->setValue(3); },
         Answer::Cancel, true, true, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        main->show();
        main->FIO().runDialog = [&](QFileDialog& dialog) {
            dialog.selectFile(QString::fromStdString(saved.string()));
            return true;
        };
        row.work();
        main->FIO().runDialog = [&](QFileDialog& dialog) {
            if (!row.saveDialogChosen)
                return false;
            dialog.selectFile(QString::fromStdString(saved.string()));
            return true;
        };
        QString question;
        main->Unsaved().runQuestion = [&](QMessageBox& box) {
            question = box.text();
            return row.answer;
        };
        EXPECT_EQ(main->close(), row.closes);
        EXPECT_EQ(main->isVisible(), !row.closes);
        EXPECT_EQ(!question.isEmpty(), row.asked) << question.toStdString();
        EXPECT_EQ(std::filesystem::exists(saved), row.savedFile);
        std::filesystem::remove(saved);
        // A window kept open asks again at the next close.
        if (!row.closes && row.asked) {
            question.clear();
            main->close();
            EXPECT_FALSE(question.isEmpty());
        }
    }

    // The question speaks the interface's language, its buttons too.
    main->switchLanguage(Language::French);
    main->PanelMagentaOnClick();
    clickTarget(10, 10);
    QStringList words;
    main->Unsaved().runQuestion = [&](QMessageBox& box) {
        words << box.text() << box.button(QMessageBox::Discard)->text();
        return UnsavedWork::Answer::Cancel;
    };
    EXPECT_FALSE(main->close());
    main->switchLanguage(Language::English);
    EXPECT_EQ(words, (QStringList{QString::fromUtf8("Le canevas Target a des modifications non "
                                                    "enregistrées. Les enregistrer avant de "
                                                    "fermer\u202f?"),
                                  QStringLiteral("Ne pas enregistrer")}));
}

TEST_F(WindowSafetyTest, RefusalsTheSoundAloneToldAreAlsoShownInTheStatusLine) {
    namespace writer = level::testing;
    const parvane::testing::ScratchDir dir;
    const auto write = [&dir](const std::string& name, std::vector<std::uint8_t> bytes) {
        parvane::testing::writeFileBytes(dir.file(name), bytes);
        return QString::fromStdString(dir.file(name).string());
    };
    std::vector<std::uint8_t> damaged = writer::writeLevel(writer::richLevel(4));
    damaged.resize(damaged.size() / 2);
    int tones = 0;
    QStringList boxes;
    main->DVL().setWarningSoundHandler([&tones] { ++tones; });
    main->DVL().setMessageHandler([&boxes](const QString& text, const QString&) { boxes << text; });

    struct Row {
        const char* name;
        Language language;
        bool animatedOnly;
        QString file;
        const char* shown; // in the status line, after the hints' five spaces; "" for none
        bool box;
    };
    const Row rows[] = {
        {"damaged: its message", Language::English, false, write("broken.dv4", damaged), "", true},
        {"not a level's extension", Language::English, false, write("notes.txt", {1, 2, 3}),
         "notes.txt is not a Duskvale level file (.PHD, .DVX, .DV2, .DV4 or .DVC).", false},
        {"missing", Language::English, false, QString::fromStdString(dir.file("gone.dv4").string()),
         "gone.dv4 does not exist.", false},
        {"not a level", Language::English, false,
         write("fake.dv4", std::vector<std::uint8_t>(64, 7)), "fake.dv4 is not a Duskvale level.",
         false},
        {"no animated textures", Language::English, true,
         write("still.phd", writer::writeLevel(writer::twoPageLevelWithATransparentPixel())),
         "still.phd has no animated textures.", false},
        {"in French", Language::French, false, write("notes.txt", {1, 2, 3}),
         "notes.txt n'est pas un fichier de niveau Duskvale (.PHD, .DVX, .DV2, .DV4 ou .DVC).",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        main->switchLanguage(row.language);
        controlsOf(*main).StatusBar->clearMessage();
        tones = 0;
        boxes.clear();
        imaging::Bitmap picture;
        std::uint8_t format = 0;
        EXPECT_FALSE(row.animatedOnly
                         ? main->DVL().LoadAnimAs32BitsFile(picture, row.file, false, format)
                         : main->DVL().LoadLevelAs32BitsFile(picture, row.file, false, format));
        EXPECT_EQ(tones, 1);
        EXPECT_EQ(boxes.size(), row.box ? 1 : 0);
        const QString shown = QString::fromUtf8(row.shown);
        EXPECT_EQ(controlsOf(*main).StatusBar->currentMessage().trimmed(), shown);
        // The hint of a control the pointer passes over waits until the notice was read.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(controlsOf(*main).CopyButton, &enter);
        EXPECT_EQ(controlsOf(*main).StatusBar->currentMessage().trimmed(),
                  shown.isEmpty() ? controlsOf(*main).CopyButton->statusTip().trimmed() : shown);
    }
    main->switchLanguage(Language::English);
}

// Opens every dialog and window the program has, each closed as a user would, then ends.
void openEveryDialog() {
    keepNoSettings();
    TMain main;
    main.show();
    const auto closedWhenOpen = [](const std::function<void()>& open) {
        bool opened = false;
        parvane::testing::whenModalOpens([&opened](QWidget* modal) {
            opened = true;
            modal->close();
        });
        open();
        EXPECT_TRUE(opened);
    };
    closedWhenOpen(
        [&] { main.SourceComboOnSelect(menuIndex(SourceItem::Picture)); }); // picture open dialog
    closedWhenOpen([&] {
        main.SourceComboOnSelect(menuIndex(SourceItem::LevelTextures));
    }); // level open dialog
    closedWhenOpen([&] { main.TargetComboOnSelect(menuIndex(TargetItem::Save)); }); // save dialog
    closedWhenOpen(
        [&] { main.TargetComboOnSelect(menuIndex(TargetItem::Reload)); }); // reload dialog
    closedWhenOpen([&] { main.PanelFillerOnDblClick(); });                 // colour dialog
    closedWhenOpen([&] { main.HelpSpeedButtonOnClick(); });                // about window
    for (QWidget* document : std::initializer_list<QWidget*>{
             main.documentWindows().Help, main.documentWindows().HelpFR,
             main.documentWindows().Credits, main.documentWindows().CreditsFR})
        document->show();
    QApplication::processEvents();
    main.PanelMagentaOnClick();
    main.TargetMouseMove(Qt::NoModifier, 10, 10);
    main.TargetMouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    main.TargetMouseUp(Qt::LeftButton, Qt::NoModifier, 10, 10);
    closedWhenOpen([&] { main.close(); }); // the unsaved-work question
}

// Every file and folder below root.
QStringList entriesBelow(const std::filesystem::path& root) {
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        found << QString::fromStdString(entry.path().string());
    return found;
}

TEST(WindowSafetyRunTest, ARunThatOpenedEveryDialogLeavesTheUsersFoldersEmpty) {
    if (qEnvironmentVariableIsSet("PARVANE_TEST_USER_FOLDERS"))
        return openEveryDialog();
    // The same test again in a child process whose home and folders are empty and watched.
    const parvane::testing::ScratchDir scratch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PARVANE_TEST_USER_FOLDERS", "1");
    const std::pair<const char*, const char*> folders[] = {{"HOME", "home"},
                                                           {"XDG_CONFIG_HOME", "config"},
                                                           {"XDG_CACHE_HOME", "cache"},
                                                           {"XDG_DATA_HOME", "data"},
                                                           {"XDG_STATE_HOME", "state"}};
    for (const auto& [variable, name] : folders) {
        std::filesystem::create_directory(scratch.file(name));
        environment.insert(variable, QString::fromStdString(scratch.file(name).string()));
    }
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=WindowSafetyRunTest.*")});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    QStringList written;
    for (const auto& [variable, name] : folders)
        written << entriesBelow(scratch.file(name));
    EXPECT_TRUE(written.isEmpty()) << written.join('\n').toStdString();
}

} // namespace
} // namespace parvane::app
