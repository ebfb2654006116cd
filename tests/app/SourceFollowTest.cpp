// The Source following its file while a picture editor changes it, and the editor's launch.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/SourceFileWatch.h"
#include "app/Startup.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace parvane::app {
namespace {

using imaging::Bitmap;
using imaging::Colour;

// Generous for a loaded machine: a reload is due 300 ms after the last write.
constexpr int kWaitMs = 15000;

// Writes in place (the file keeps its identity), in several steps as editors do.
void writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (qsizetype at = 0; at < bytes.size(); at += 64 * 1024)
        ASSERT_GT(file.write(bytes.mid(at, 64 * 1024)), 0);
}

// Writes a new file beside the path and renames it over the path.
void writeByRename(const QString& path, const QByteArray& bytes) {
    writeInPlace(path + ".new", bytes);
    ASSERT_EQ(std::rename(QFile::encodeName(path + ".new").constData(),
                          QFile::encodeName(path).constData()),
              0);
}

QByteArray levelBytes() {
    const auto bytes =
        level::testing::writeLevel(level::testing::twoPageLevelWithATransparentPixel());
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

class SourceFollowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString&) { messages << text; };
        main->DVL().setWarningSoundHandler([this] { messages << "sound"; });
        main->DVL().setMessageHandler(
            [this](const QString& text, const QString&) { messages << text; });
        main->SourceFlow().launchEditor = [this](const QString& file) {
            launched << file;
            return editorStarts;
        };
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        reloads = std::make_unique<QSignalSpy>(&main->SourceFlow().fileWatch(),
                                               &SourceFileWatch::changed);
    }

    // The bytes of a 24-bit BMP of w x h in one colour (written in the followed folder, which
    // also shows that other files coming and going there reload nothing).
    QByteArray picture(int w, int h, Colour colour) {
        Bitmap bitmap(w, h);
        bitmap.fill(colour);
        QFile file(dir.filePath("scratch.bmp"));
        EXPECT_TRUE(
            imaging::saveImageAs24BitsFile(bitmap, w, h, file.fileName().toStdString()).ok());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.remove();
        return bytes;
    }

    // Writes the file and opens it in the Source as a drop does.
    QString open(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        writeInPlace(path, bytes);
        openInSource(*main, path);
        EXPECT_EQ(main->SourceFlow().fileWatch().path(), path);
        return path;
    }

    canvas::TFrameStack& source() const { return *controlsOf(*main).Source; }
    Colour shown() const { return source().Bitmap().pixel(5, 5); }
    QString statusLine() const { return controlsOf(*main).StatusBar->currentMessage().trimmed(); }
    bool waitForStatus(const QString& text) {
        return QTest::qWaitFor([&] { return statusLine() == text; }, kWaitMs);
    }

    QTemporaryDir dir;
    std::unique_ptr<TMain> main;
    std::unique_ptr<QSignalSpy> reloads;
    QStringList messages; // message boxes and warning sounds
    QStringList launched;
    bool editorStarts = true;
};

TEST_F(SourceFollowTest, ARewrittenPictureReloadsOnceKeepingGridZoomScrollTileAndTarget) {
    const QString path = open("wall.bmp", picture(1024, 768, {10, 120, 30}));
    // The user's view: a hidden 32-pixel grid of lines off the origin, zoomed and scrolled;
    // a tile cut.
    const MainFormUi ui = controlsOf(*main);
    ui.ScrollBarGrid->setValue(2);
    ui.SpeedButtonStyle->click();
    ui.SpeedButtonView->click();
    source().GridOffsetX = 8;
    source().GridOffsetY = 24;
    source().setZoom(2);
    QApplication::processEvents();
    source().ScrollBoxImageStack->horizontalScrollBar()->setValue(300);
    source().ScrollBoxImageStack->verticalScrollBar()->setValue(200);
    Bitmap tile(64, 64);
    tile.fill({5, 6, 7});
    main->MakeCurrentTile(tile);
    const auto view = [this] {
        const canvas::TFrameStack& s = source();
        return std::tuple(s.GridOffsetX, s.GridOffsetY, s.CellWidth, s.GridStyle, s.L5_Grid.visible,
                          s.zoom(), s.ScrollBoxImageStack->horizontalScrollBar()->value(),
                          s.ScrollBoxImageStack->verticalScrollBar()->value());
    };
    const auto before = view();
    ASSERT_EQ(std::get<6>(before), 300);
    const Bitmap target = ui.Target->Bitmap();

    const struct {
        const char* name;
        void (*rewrite)(const QString&, const QByteArray&);
        Colour next;
    } rows[] = {{"in place", writeInPlace, {200, 40, 90}}, {"by rename", writeByRename, {9, 9, 9}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reloads->clear();
        row.rewrite(path, picture(1024, 768, row.next));
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == row.next; }, kWaitMs));
        EXPECT_EQ(statusLine(), englishTexts().SourceFileReloaded);
        // Several writes make one reload, and none follows once the file is quiet.
        QTest::qWait(4 * SourceFileWatch::kQuietMs);
        EXPECT_EQ(reloads->count(), 1);
        EXPECT_EQ(view(), before);
        EXPECT_TRUE(ui.ClipTileImage->picture() == tile);
        EXPECT_TRUE(ui.Target->Bitmap() == target);
        EXPECT_FALSE(main->TargetDocument().canUndo());
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SourceFollowTest, AHalfWrittenFileKeepsThePictureQuietlyUntilItsNextChange) {
    // A picture, and a level extracted with its transparency converted.
    const struct {
        const char* name;
        QByteArray whole;
    } rows[] = {{"wall.bmp", picture(320, 200, {90, 90, 200})}, {"hall.phd", levelBytes()}};
    controlsOf(*main).SpeedButtonMagenta->click();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = open(row.name, row.whole);
        const Bitmap before = source().Bitmap();
        writeInPlace(path, row.whole.left(row.whole.size() / 3));
        ASSERT_TRUE(waitForStatus(englishTexts().SourceFileUnreadable));
        EXPECT_TRUE(source().Bitmap() == before);
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();

        reloads->clear();
        writeInPlace(path, row.whole);
        ASSERT_TRUE(waitForStatus(englishTexts().SourceFileReloaded));
        EXPECT_EQ(reloads->count(), 1);
        // The level's marked pixel is magenta again: the Convert switch as it stands.
        EXPECT_TRUE(source().Bitmap() == before);
    }
}

TEST_F(SourceFollowTest, AVanishedFileKeepsThePictureAndReloadsWhenItComesBack) {
    const QString path = open("wall.bmp", picture(256, 256, {10, 20, 30}));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(waitForStatus(englishTexts().SourceFileGone));
    EXPECT_EQ(shown(), (Colour{10, 20, 30}));

    writeInPlace(path, picture(256, 128, {200, 20, 30}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == Colour{200, 20, 30}; }, kWaitMs));
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(), "256 x 128 pixels x 24 bits");
    // Another file loaded is followed instead (checked by open).
    open("other.bmp", picture(64, 64, {1, 1, 1}));
}

TEST_F(SourceFollowTest, ACutBeingDraggedFinishesOnThePictureItStartedOn) {
    const QString path = open("wall.bmp", picture(256, 256, {10, 20, 30}));
    QWidget* panel = source().BasePanel;
    QTest::mouseMove(panel, {10, 10});
    QTest::mousePress(panel, Qt::LeftButton, {}, {10, 10});
    ASSERT_EQ(source().Mode, canvas::CanvasMode::Grab);
    writeInPlace(path, picture(256, 256, {90, 20, 30}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reloads->count() == 1; }, kWaitMs));
    QTest::qWait(2 * SourceFileWatch::kQuietMs);
    EXPECT_EQ(shown(), (Colour{10, 20, 30}));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, {70, 70});
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(5, 5), (Colour{10, 20, 30}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == Colour{90, 20, 30}; }, kWaitMs));
}

TEST_F(SourceFollowTest, OnlyAPictureFileOpensInThePictureEditor) {
    auto* ctrlE = main->findChild<QAction*>("ActionEditSource");
    ASSERT_NE(ctrlE, nullptr);
    EXPECT_EQ(ctrlE->shortcut(), QKeySequence("Ctrl+E"));
    const TextTable& texts = englishTexts();
    const QString wall = dir.filePath("wall.bmp");
    const struct {
        const char* name;
        QByteArray load; // a picture or a level opened first; none when empty
        bool removed, starts;
        QStringList launched;
        QString notice;
    } rows[] = {
        {"nothing loaded", {}, false, true, {}, texts.EditNeedsPicture},
        {"a picture", picture(64, 64, {1, 2, 3}), false, true, {wall}, texts.EditStarted},
        {"no program", picture(64, 64, {1, 2, 3}), false, false, {wall}, texts.EditNoProgram},
        {"picture gone", picture(64, 64, {1, 2, 3}), true, true, {}, texts.EditFileMissing},
        {"a level", levelBytes(), false, true, {}, texts.EditNeedsPicture},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        launched.clear();
        editorStarts = row.starts;
        const bool isPicture = row.load.startsWith("BM");
        if (!row.load.isEmpty())
            open(isPicture ? "wall.bmp" : "hall.phd", row.load);
        auto* items = qobject_cast<QStandardItemModel*>(controlsOf(*main).SourceCombo->model());
        EXPECT_EQ(items->item(menuIndex(SourceItem::EditPicture))->isEnabled(), isPicture);
        EXPECT_EQ(controlsOf(*main).SourceEditButton->isEnabled(), isPicture);
        if (row.removed)
            QFile::remove(wall);
        ctrlE->trigger();
        EXPECT_EQ(launched, row.launched);
        EXPECT_EQ(statusLine(), row.notice);
        EXPECT_EQ(controlsOf(*main).SourceCombo->currentIndex(), 0);
    }
    // The button does what the key does.
    open("wall.bmp", picture(64, 64, {1, 2, 3}));
    launched.clear();
    editorStarts = true;
    controlsOf(*main).SourceEditButton->click();
    EXPECT_EQ(launched, QStringList{wall});
}

} // namespace
} // namespace parvane::app
