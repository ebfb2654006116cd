#include "imaging/ui/Gauges.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"
#include "support/ModalWindows.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace parvane;
using namespace parvane::level;
namespace writer = parvane::level::testing;

namespace {

// A level window whose warning sound and messages are counted instead of heard and shown.
struct WatchedWindow {
    TDVL window;
    int sounds = 0;
    QStringList messages;
    QStringList reasons; // what each message shows beneath its text

    WatchedWindow() {
        window.setWarningSoundHandler([this] { ++sounds; });
        window.setMessageHandler([this](const QString& text, const QString& reason) {
            messages << text;
            reasons << reason;
        });
    }
};

// A small picture that a failed load must leave exactly as it was.
imaging::Bitmap markedImage() {
    imaging::Bitmap image(3, 2);
    image.setPixel(1, 1, imaging::colours::kMaroon);
    return image;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString writeLevelFile(const QTemporaryDir& dir, const QString& name,
                       const writer::LevelRecipe& recipe) {
    const std::vector<std::uint8_t> bytes = writer::writeLevel(recipe);
    return writeFile(dir, name,
                     QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size())));
}

// Counts how often a widget is shown and painted.
class ShowAndPaintCounter : public QObject {
public:
    int shows = 0;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        else if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

using parvane::testing::whenModalOpens;

const QStringList kExpectedFilters{
    "Duskvale Files (*.PHD *.DVX *.DV2 *.DV4 *.DVC)",
    "DV1 (1996) - Duskvale (*.phd)",
    "DV1 (1999) - Duskvale: Hollow Crown (*.dvx)",
    "DV2 (1997) - Duskvale II (*.dv2)",
    "DV2 (1997) - Duskvale II: Lantern Isles (*.dv2)",
    "DV3 (1998) - Duskvale III (*.dv2)",
    "DV3 (2000) - Duskvale III: Ashen Gate (*.dv2)",
    "DV4 (1999) - Duskvale IV (*.dv4)",
    "DV5 (2000) - Duskvale V (*.dvc)",
    "All Files (*.*)",
};

} // namespace

TEST(LevelWindow, WindowLayout) {
    QWidget mainWindow;
    TDVL window(&mainWindow);
    EXPECT_EQ(window.windowTitle(), QString("   Loading..."));
    EXPECT_EQ(window.size(), QSize(206, 58));
    EXPECT_TRUE(window.isWindow());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    // No border icons: no close, minimise or maximise buttons.
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(window.isVisible());
    ASSERT_NE(window.Gauge(), nullptr);
    EXPECT_EQ(window.Gauge()->geometry(), QRect(8, 8, 177, 20));
    EXPECT_EQ(window.Gauge()->Progress(), 0);
    EXPECT_EQ(window.Gauge()->Kind(), imaging::TGaugeKind::gkHorizontalBar);
}

TEST(LevelWindow, OpenDialogTitleFiltersAndExtension) {
    TDVL window;
    QFileDialog* dialog = window.OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString("   ----- EXTRAIRE TEXTURES DUSKVALE -----"));
    EXPECT_EQ(dialog->nameFilters(), kExpectedFilters);
    EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);

    ASSERT_EQ(TDVL::kFilterRows.size(), 10u);
    EXPECT_STREQ(TDVL::kFilterRows[0].pattern, "*.PHD;*.DVX;*.DV2;*.DV4;*.DVC");
    const char* patterns[] = {"*.PHD", "*.DVX", "*.DV2", "*.DV2", "*.DV2",
                              "*.DV2", "*.DV4", "*.DVC", "*.*"};
    for (int i = 1; i < 10; ++i)
        EXPECT_STREQ(TDVL::kFilterRows[i].pattern, patterns[i - 1]) << i;

    window.setOpenDialogFilterIndex(10);
    EXPECT_EQ(dialog->selectedNameFilter(), kExpectedFilters[9]);
    window.setOpenDialogFilterIndex(1);
    EXPECT_EQ(dialog->selectedNameFilter(), kExpectedFilters[0]);
}

TEST(LevelWindow, DialogListsLevelFilesWhateverTheirCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"a.dv4", "B.DV4", "c.Phd", "notes.txt", "d.DVG"})
        writeFile(dir, name, "x");
    TDVL window;
    QFileDialog* dialog = window.OpenDialog();
    window.setOpenDialogFilterIndex(1);
    dialog->setDirectory(dir.path());
    auto* model = dialog->findChild<QFileSystemModel*>();
    auto* list = dialog->findChild<QListView*>("listView");
    ASSERT_TRUE(model && list);
    dialog->show();
    QElapsedTimer timer;
    timer.start();
    auto shown = [&] {
        QStringList names;
        const QAbstractItemModel* m = list->model();
        for (int r = 0; r < m->rowCount(list->rootIndex()); ++r)
            names << m->index(r, 0, list->rootIndex()).data().toString();
        names.sort();
        return names;
    };
    while (timer.elapsed() < 5000 && shown().size() < 3)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::processEvents();
    EXPECT_EQ(shown(), (QStringList{"B.DV4", "a.dv4", "c.Phd"}));
    dialog->hide();
}

TEST(LevelWindow, RefusedExtensionsWarnWithoutAMessage) {
    QTemporaryDir dir;
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    for (const char* name : {"level.DVG", "level.dvg", "level.tga", "level", "level.DV44"}) {
        const QString path = writeFile(dir, name, QByteArray(64, '\0'));
        EXPECT_FALSE(w.window.LoadLevelAs32BitsFile(image, path, false, format)) << name;
        EXPECT_FALSE(w.window.LoadAnimAs32BitsFile(image, path, true, format)) << name;
    }
    EXPECT_EQ(w.sounds, 10);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(image, markedImage());
    EXPECT_EQ(format, 42);
    EXPECT_FALSE(w.window.isVisible());
}

TEST(LevelWindow, MissingAndForeignFilesWarnWithoutAMessage) {
    QTemporaryDir dir;
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    const QString missing = dir.filePath("nowhere.dv4");
    EXPECT_FALSE(w.window.LoadLevelAs32BitsFile(image, missing, false, format));
    EXPECT_FALSE(w.window.LoadAnimAs32BitsFile(image, missing, false, format));
    // An accepted extension on a file that is no level (unknown Version).
    const QString foreign = writeFile(dir, "picture.PHD", QByteArray("GIF89a and more bytes"));
    EXPECT_FALSE(w.window.LoadLevelAs32BitsFile(image, foreign, false, format));
    EXPECT_EQ(w.sounds, 3);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(image, markedImage());
    EXPECT_EQ(format, 42);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.Gauge()->Progress(), 0);
}

TEST(LevelWindow, DamagedLevelIsToldInWords) {
    QTemporaryDir dir;
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    // A first-generation Version followed by a page count the file does not hold.
    QByteArray bytes("\x20\x00\x00\x00\x05\x00\x00\x00", 8);
    bytes += QByteArray(100, '\x01');
    const QString path = writeFile(dir, "broken.phd", bytes);

    EXPECT_FALSE(w.window.LoadLevelAs32BitsFile(image, path, true, format));
    EXPECT_EQ(w.sounds, 1);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("damaged and could not be read"))
        << w.messages[0].toStdString();
    EXPECT_TRUE(w.messages[0].contains("broken.phd"));
    EXPECT_FALSE(w.window.LoadAnimAs32BitsFile(image, path, true, format));
    EXPECT_EQ(w.sounds, 2);
    EXPECT_EQ(w.messages.size(), 2);
    EXPECT_EQ(image, markedImage());
    EXPECT_EQ(format, 42);
    EXPECT_FALSE(w.window.isVisible());
}

TEST(LevelWindow, DamagedLevelShowsAMessageBoxByDefault) {
    QTemporaryDir dir;
    TDVL window;
    int sounds = 0;
    window.setWarningSoundHandler([&] { ++sounds; });
    const QString path =
        writeFile(dir, "broken.DV4", QByteArray("DV4\0\x01\x00", 6) + QByteArray(10, '\x7f'));
    QString shownText;
    whenModalOpens([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            shownText = box->text();
        modal->close();
    });
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    EXPECT_FALSE(window.LoadLevelAs32BitsFile(image, path, false, format));
    EXPECT_EQ(sounds, 1);
    EXPECT_TRUE(shownText.contains("damaged and could not be read")) << shownText.toStdString();
}

TEST(LevelWindow, CancelledDialogChangesNothingSilently) {
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(w.window.LoadLevelAs32BitsDialog(image, format, true));
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(w.window.LoadAnimAs32BitsDialog(image, format, true));
    EXPECT_EQ(w.sounds, 0);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(image, markedImage());
    EXPECT_EQ(format, 42);
}

TEST(LevelWindow, FilePickedThroughAllFilesIsStillChecked) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "level.DVG", QByteArray("\x2d\x00\x00\x00", 4));
    WatchedWindow w;
    w.window.setOpenDialogFilterIndex(10);
    w.window.setOpenDialogFileName(path);
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    EXPECT_FALSE(w.window.LoadLevelAs32BitsDialog(image, format, false));
    EXPECT_EQ(w.window.openDialogFileName(), path);
    EXPECT_EQ(w.sounds, 1);
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_EQ(image, markedImage());
}

TEST(LevelWindow, ExtractsTheTexturePagesOfALevel) {
    QTemporaryDir dir;
    // A first-generation level: palette index 0 at the top-left pixel marks transparency.
    const writer::LevelRecipe recipe = writer::twoPageLevelWithATransparentPixel();
    const QString path = writeLevelFile(dir, "level.phd", recipe); // lower-case extension

    WatchedWindow w;
    ShowAndPaintCounter counter;
    ShowAndPaintCounter gaugeCounter;
    w.window.installEventFilter(&counter);
    w.window.Gauge()->installEventFilter(&gaugeCounter);
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    ASSERT_TRUE(w.window.LoadLevelAs32BitsFile(image, path, true, format));
    EXPECT_EQ(format, 3);
    ASSERT_EQ(image.width(), 256);
    ASSERT_EQ(image.height(), 512);
    EXPECT_EQ(image.format(), imaging::PixelFormat::Bits32);
    EXPECT_EQ(image.pixel(0, 0), imaging::colours::kMagenta);
    EXPECT_EQ(image.pixel(1, 0), (imaging::Colour{20, 60, 232})); // palette entry 5, times 4
    EXPECT_EQ(w.sounds, 0);
    EXPECT_TRUE(w.messages.isEmpty());
    // The window showed during the load and is gone again, its gauge back at 0.
    EXPECT_EQ(counter.shows, 1);
    EXPECT_GT(gaugeCounter.paints, 0);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.Gauge()->Progress(), 0);

    // The same level taken as stored keeps the palette's first colour.
    ASSERT_TRUE(w.window.LoadLevelAs32BitsFile(image, path, false, format));
    EXPECT_EQ(image.pixel(0, 0), (imaging::Colour{0, 0, 252}));
}

TEST(LevelWindow, ExtractsThirtyTwoBitPagesFromALowerCaseDv4) {
    QTemporaryDir dir;
    writer::LevelRecipe recipe = writer::richLevel(6);
    recipe.pages = 3;
    const QString path = writeLevelFile(dir, "level.dv4", recipe);
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    ASSERT_TRUE(w.window.LoadLevelAs32BitsFile(image, path, false, format));
    EXPECT_EQ(format, 7);
    EXPECT_EQ(image.width(), 256);
    EXPECT_EQ(image.height(), 768);
    EXPECT_EQ(w.sounds, 0);
}

TEST(LevelWindow, ExtractsAnimatedTexturesOrWarnsWhenThereAreNone) {
    QTemporaryDir dir;
    WatchedWindow w;
    for (const int generation : {1, 3, 7}) {
        const writer::LevelRecipe recipe = writer::richLevel(generation);
        const QString path =
            writeLevelFile(dir, QString::fromStdString(writer::fileNameFor(generation)), recipe);
        imaging::Bitmap image = markedImage();
        std::uint8_t format = 42;
        ASSERT_TRUE(w.window.LoadAnimAs32BitsFile(image, path, true, format)) << generation;
        EXPECT_EQ(image.width(), 256);
        EXPECT_EQ(image.height() % 64, 0);
        EXPECT_GE(image.height(), 64);
        EXPECT_EQ(format, generation == 1 ? 3 : generation == 3 ? 4 : 7);

        writer::LevelRecipe still = recipe;
        still.animatedWords = {0}; // no ranges
        const QString stillPath = writeLevelFile(
            dir, "still" + QString::fromStdString(writer::fileNameFor(generation)), still);
        imaging::Bitmap kept = markedImage();
        format = 42;
        EXPECT_FALSE(w.window.LoadAnimAs32BitsFile(kept, stillPath, true, format));
        EXPECT_EQ(kept, markedImage());
        EXPECT_EQ(format, 42);
    }
    EXPECT_EQ(w.sounds, 3);
    EXPECT_TRUE(w.messages.isEmpty());
}

TEST(LevelWindow, DialogExtractsTheChosenLevel) {
    QTemporaryDir dir;
    const QString path = writeLevelFile(dir, "chosen.DVC", writer::richLevel(7));
    WatchedWindow w;
    w.window.setOpenDialogFilterIndex(1);
    w.window.setOpenDialogFileName(path);
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    ASSERT_TRUE(w.window.LoadLevelAs32BitsDialog(image, format, false));
    EXPECT_EQ(w.window.openDialogFileName(), path);
    EXPECT_EQ(format, 7);
    EXPECT_EQ(image.height(), 512);
    EXPECT_EQ(w.sounds, 0);
}

namespace {

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct DamagedLevel {
    const char* what;
    const char* fileName;
    bool inLevelData;   // behind the pages of a generation 3-7 file: only the animated
                        // extraction reads that far
    const char* reason; // part of what the message says went wrong
    std::function<std::vector<std::uint8_t>()> bytes;
};

const std::vector<DamagedLevel>& damagedLevels() {
    static const std::vector<DamagedLevel> levels{
        {"page count beyond the file", "pages.PHD", false, "texture pages need",
         [] {
             auto b = writer::writeLevel(writer::richLevel(1));
             putU32(b, 4, 200);
             return b;
         }},
        {"record count beyond the bytes left", "count.DV2", true, "object textures",
         [] {
             writer::LevelRecipe recipe;
             recipe.generation = 3;
             auto b = writer::writeLevel(recipe);
             // The object texture count, behind the empty room list and eleven counts.
             putU32(b, 4 + 768 + 1024 + 4 + 65536 + 131072 + 6 + 11 * 4, 0x01000000);
             return b;
         }},
        {"damaged zlib stream", "stream.DVC", false, "zlib stream is damaged",
         [] {
             auto b = writer::writeLevel(writer::richLevel(7));
             b[18] ^= 0xFF; // the first chunk's zlib header
             return b;
         }},
    };
    return levels;
}

QByteArray asBytes(const std::vector<std::uint8_t>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

TEST(LevelWindow, EveryKindOfDamageWarnsAndSaysTheFileIsDamaged) {
    QTemporaryDir dir;
    for (const DamagedLevel& level : damagedLevels()) {
        const QString path = writeFile(dir, level.fileName, asBytes(level.bytes()));
        for (const bool animated : {false, true}) {
            WatchedWindow w;
            imaging::Bitmap image = markedImage();
            std::uint8_t format = 42;
            const bool loaded = animated
                                    ? w.window.LoadAnimAs32BitsFile(image, path, true, format)
                                    : w.window.LoadLevelAs32BitsFile(image, path, true, format);
            const std::string context = std::string(level.what) + (animated ? ", animated" : "");
            if (level.inLevelData && !animated) {
                // The pages lie before the damage and are all this extraction reads.
                EXPECT_TRUE(loaded) << context;
                EXPECT_EQ(w.sounds, 0) << context;
                continue;
            }
            EXPECT_FALSE(loaded) << context;
            EXPECT_EQ(w.sounds, 1) << context;
            ASSERT_EQ(w.messages.size(), 1) << context;
            EXPECT_TRUE(w.messages[0].contains("damaged and could not be read"))
                << context << ": " << w.messages[0].toStdString();
            EXPECT_TRUE(w.reasons[0].contains(level.reason, Qt::CaseInsensitive))
                << context << ": " << w.reasons[0].toStdString();
            EXPECT_EQ(image, markedImage()) << context;
            EXPECT_EQ(format, 42) << context;
            EXPECT_FALSE(w.window.isVisible()) << context;
        }
    }
}

TEST(LevelWindow, AnimatedListNamingMissingTexturesExtractsTheRest) {
    QTemporaryDir dir;
    writer::LevelRecipe recipe = writer::richLevel(7);
    recipe.animatedWords = {1, 2, 0, 40, 1}; // texture 40 is not in the level
    const QString path = writeLevelFile(dir, "holes.DVC", recipe);
    WatchedWindow w;
    imaging::Bitmap image = markedImage();
    std::uint8_t format = 42;
    ASSERT_TRUE(w.window.LoadAnimAs32BitsFile(image, path, false, format));
    EXPECT_EQ(w.sounds, 0);
    EXPECT_TRUE(w.messages.isEmpty());
    ASSERT_EQ(image.width(), 256);
    ASSERT_EQ(image.height(), 64);
    EXPECT_NE(image.pixel(10, 10), imaging::colours::kMagenta);       // texture 0
    EXPECT_EQ(image.pixel(64 + 10, 10), imaging::colours::kMagenta);  // the missing one
    EXPECT_NE(image.pixel(128 + 10, 10), imaging::colours::kMagenta); // texture 1
}

} // namespace
