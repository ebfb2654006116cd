// The Source following its file while a picture editor changes it: reloads once the editor's
// save is over, in place or by a rename, keeping the user's view; a half-written or vanished
// file keeps the picture shown; and the picture editor started for a picture file only.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "app/SourceFileWatch.h"
#include "app/SourceWorkflow.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

// Readable failure messages for texts.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace parvane::app {
namespace {

using imaging::Bitmap;
using imaging::Colour;

// Generous for a loaded machine: a reload is due 300 ms after the last write.
constexpr int kWaitMs = 15000;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes in place (the file keeps its identity), in several steps as editors do.
void writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (qsizetype at = 0; at < bytes.size(); at += 64 * 1024) {
        ASSERT_GT(file.write(bytes.mid(at, 64 * 1024)), 0);
        ASSERT_TRUE(file.flush());
    }
}

// Writes a new file beside the path and renames it over the path.
void writeByRename(const QString& path, const QByteArray& bytes) {
    const QString fresh = path + QStringLiteral(".new");
    writeInPlace(fresh, bytes);
    ASSERT_EQ(
        std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()), 0);
}

class SourceFollowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString&) { messages << text; };
        main->DVL().setWarningSoundHandler([this] { ++sounds; });
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

    // The bytes of a 24-bit BMP of w x h in one colour.
    QByteArray picture(int w, int h, Colour colour) {
        Bitmap bitmap(w, h);
        bitmap.fill(colour);
        const QString path = dir.filePath(QStringLiteral("scratch.bmp"));
        EXPECT_TRUE(imaging::saveImageAs24BitsFile(bitmap, w, h, path.toStdString()).ok());
        const QByteArray bytes = bytesOf(path);
        QFile::remove(path);
        return bytes;
    }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        writeInPlace(path, bytes);
        return path;
    }

    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(controlsOf(*main).Source, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controlsOf(*main).Source, &event);
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
    QStringList messages;
    int sounds = 0;
    QStringList launched;
    bool editorStarts = true;
};

TEST_F(SourceFollowTest, ARewrittenPictureReloadsOnceKeepingGridZoomScrollTileAndTarget) {
    const struct {
        const char* name;
        void (*rewrite)(const QString&, const QByteArray&);
    } rows[] = {{"in place", writeInPlace}, {"by rename", writeByRename}};
    const QString path = write(QStringLiteral("wall.bmp"), picture(1024, 768, {10, 120, 30}));
    drop(path);
    ASSERT_EQ(shown(), (Colour{10, 120, 30}));
    // The user's view: a 32-pixel grid of lines, hidden, moved off the origin; zoomed and
    // scrolled; a tile cut.
    MainFormUi ui = controlsOf(*main);
    ui.ScrollBarGrid->setValue(2);
    ui.SpeedButtonStyle->click();
    ui.SpeedButtonView->click();
    source().GridOffsetX = 8;
    source().GridOffsetY = 24;
    source().UpdateGrid();
    source().setZoom(2);
    QApplication::processEvents();
    ui.Source->ScrollBoxImageStack->horizontalScrollBar()->setValue(300);
    ui.Source->ScrollBoxImageStack->verticalScrollBar()->setValue(200);
    Bitmap tile(64, 64);
    tile.fill({5, 6, 7});
    main->MakeCurrentTile(tile);
    const auto view = [&] {
        const canvas::TFrameStack& s = source();
        return std::tuple(s.GridOffsetX, s.GridOffsetY, s.CellWidth, s.CellHeight, s.GridStyle,
                          s.L5_Grid.visible, s.zoom(),
                          s.ScrollBoxImageStack->horizontalScrollBar()->value(),
                          s.ScrollBoxImageStack->verticalScrollBar()->value());
    };
    const auto before = view();
    ASSERT_EQ(std::get<7>(before), 300);
    const Bitmap target = ui.Target->Bitmap();
    const bool targetChanged = main->TargetDocument().canUndo();

    std::uint8_t red = 200;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        reloads->clear();
        const Colour next{red, 40, 90};
        row.rewrite(path, picture(1024, 768, next));
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == next; }, kWaitMs));
        EXPECT_EQ(statusLine(), englishTexts().SourceFileReloaded);
        // Several writes make one reload, and none follows once the file is quiet.
        QTest::qWait(4 * SourceFileWatch::kQuietMs);
        EXPECT_EQ(reloads->count(), 1);
        EXPECT_EQ(view(), before);
        EXPECT_TRUE(ui.ClipTileImage->picture() == tile);
        EXPECT_TRUE(ui.Target->Bitmap() == target);
        EXPECT_EQ(main->TargetDocument().canUndo(), targetChanged);
        red += 20;
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(main->SourceFlow().fileWatch().path(), QFileInfo(path).absoluteFilePath());
}

TEST_F(SourceFollowTest, AnUnreadableChangeKeepsThePictureQuietlyAndTheNextChangeReloads) {
    // A picture, and a level extracted with its transparency converted: each is cut short as
    // a half-written save, then written whole.
    const QByteArray level = QByteArray::fromStdString([] {
        const auto bytes =
            level::testing::writeLevel(level::testing::twoPageLevelWithATransparentPixel());
        return std::string(bytes.begin(), bytes.end());
    }());
    const struct {
        const char* name;
        QByteArray whole;
        bool isLevel;
    } rows[] = {{"wall.bmp", picture(320, 200, {90, 90, 200}), false}, {"hall.phd", level, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = write(QString::fromLatin1(row.name), row.whole);
        if (row.isLevel)
            controlsOf(*main).SpeedButtonMagenta->click();
        drop(path);
        const Bitmap before = source().Bitmap();
        ASSERT_GT(before.width(), 0);
        ASSERT_EQ(main->SourceFlow().fileWatch().path(), QFileInfo(path).absoluteFilePath());

        writeInPlace(path, row.whole.left(row.whole.size() / 3));
        ASSERT_TRUE(waitForStatus(englishTexts().SourceFileUnreadable));
        EXPECT_EQ(source().Bitmap().pixel(0, 0), before.pixel(0, 0));
        EXPECT_EQ(source().Bitmap().width(), before.width());
        // Read quietly: no message box, no warning sound.
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
        EXPECT_EQ(sounds, 0);

        reloads->clear();
        writeInPlace(path, row.whole);
        ASSERT_TRUE(waitForStatus(englishTexts().SourceFileReloaded));
        EXPECT_EQ(reloads->count(), 1);
        // The level came back with the Convert switch as it stands: its marked pixel magenta.
        if (row.isLevel) {
            EXPECT_EQ(source().Bitmap().pixel(0, 0), imaging::colours::kMagenta);
        }
    }
}

TEST_F(SourceFollowTest, AVanishedFileKeepsThePictureAndReloadsWhenItComesBack) {
    const QString path = write(QStringLiteral("wall.bmp"), picture(256, 256, {10, 20, 30}));
    drop(path);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(waitForStatus(englishTexts().SourceFileGone));
    EXPECT_EQ(shown(), (Colour{10, 20, 30}));
    EXPECT_EQ(reloads->count(), 0);

    write(QStringLiteral("wall.bmp"), picture(256, 128, {200, 20, 30}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == Colour{200, 20, 30}; }, kWaitMs));
    // A reload shows the file as it is now, in its new size.
    EXPECT_EQ(source().PortHeight(), 128);
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("256 x 128 pixels x 24 bits"));

    // Another file loaded is followed instead; the first no longer is.
    const QString other = write(QStringLiteral("other.bmp"), picture(64, 64, {1, 1, 1}));
    drop(other);
    EXPECT_EQ(main->SourceFlow().fileWatch().path(), QFileInfo(other).absoluteFilePath());
}

TEST_F(SourceFollowTest, OnlyAPictureFileOpensInThePictureEditor) {
    const QString path = write(QStringLiteral("wall.bmp"), picture(64, 64, {1, 2, 3}));
    const QString level = write(QStringLiteral("hall.phd"), [] {
        const auto bytes =
            level::testing::writeLevel(level::testing::twoPageLevelWithATransparentPixel());
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }());
    auto* ctrlE = main->findChild<QAction*>(QStringLiteral("ActionEditSource"));
    ASSERT_NE(ctrlE, nullptr);
    EXPECT_EQ(ctrlE->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    const auto menuOffers = [&] {
        auto* items = qobject_cast<QStandardItemModel*>(controlsOf(*main).SourceCombo->model());
        return items->item(4)->isEnabled();
    };
    const TextTable& texts = englishTexts();
    const struct {
        const char* name;
        QString load; // dropped first; empty for none
        bool removeFile;
        bool starts;
        QStringList launched;
        QString notice;
    } rows[] = {
        {"nothing loaded", {}, false, true, {}, texts.EditNeedsPicture},
        {"a picture", path, false, true, {path}, texts.EditStarted},
        {"no program", path, false, false, {path}, texts.EditNoProgram},
        {"picture gone", path, true, true, {}, texts.EditFileMissing},
        {"a level", level, false, true, {}, texts.EditNeedsPicture},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        launched.clear();
        editorStarts = row.starts;
        if (!row.load.isEmpty()) {
            drop(row.load);
        }
        const bool isPicture = row.load == path;
        EXPECT_EQ(menuOffers(), isPicture);
        EXPECT_EQ(controlsOf(*main).SourceEditButton->isEnabled(), isPicture);
        if (row.removeFile)
            QFile::remove(path);
        ctrlE->trigger();
        EXPECT_EQ(launched, row.launched);
        EXPECT_EQ(statusLine(), row.notice);
        EXPECT_EQ(controlsOf(*main).SourceCombo->currentIndex(), 0);
    }
    // The button does what the key does.
    write(QStringLiteral("wall.bmp"), picture(64, 64, {1, 2, 3}));
    drop(path);
    launched.clear();
    editorStarts = true;
    controlsOf(*main).SourceEditButton->click();
    EXPECT_EQ(launched, QStringList{path});
}

} // namespace
} // namespace parvane::app
