// The Source half of the main window as a level builder uses it: pictures and levels loaded
// through the menu and its dialogs, the replay, dropped files, cuts shaped by the size
// selector, the colour pots, the picker and the transparency buttons.
#include "app/SourceWorkflow.h"

#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "canvas/ImageStack.h"
#include "imaging/FailureReason.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "imaging/ui/ReasonText.h"
#include "level/LevelFileWriter.h"
#include "level/ui/DuskvaleFileModule.h"
#include "support/ModalWindows.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

// Readable failure messages for texts.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace parvane::app {
namespace {

using canvas::CanvasMode;
using imaging::Bitmap;
using imaging::Colour;
using Choice = SourceWorkflow::Choice;
namespace writer = level::testing;

constexpr Colour kMagenta = imaging::colours::kMagenta;

// Where two pictures first differ, for failure messages; empty when they are equal.
std::string firstDifference(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return {};
}

using parvane::testing::whenModalOpens;

// Chooses path in the level dialog that opens next; records the name it was preset with.
void chooseLevel(const QString& path, QString* presetName = nullptr) {
    whenModalOpens([path, presetName](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "not the level dialog: " << modal->windowTitle().toStdString();
            modal->close();
            return;
        }
        if (presetName)
            *presetName = dialog->selectedFiles().value(0);
        // Typed into the name box, as a user would: the shown dialog keeps the box's text
        // while the box has the focus. A file listed as selected would win over the typed name,
        // and the dialog lists the folder in the background, so the preset's selection may
        // still be there when the name is typed: a user's typing leaves no selection.
        for (auto* view : dialog->findChildren<QAbstractItemView*>())
            if (view->selectionModel())
                view->selectionModel()->clearSelection();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

class SourceWorkflowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString& reason) {
            messages << text;
            reasons << reason;
        };
        main->FIO().runDialog = [this](QFileDialog& dialog) {
            ++pictureDialogs;
            presetPicture = dialog.selectedFiles().value(0);
            if (pictureToChoose.isEmpty())
                return false;
            dialog.selectFile(pictureToChoose);
            return true;
        };
        main->DVL().setWarningSoundHandler([this] { ++sounds; });
        main->DVL().setMessageHandler([this](const QString& text, const QString& reason) {
            messages << text;
            reasons << reason;
        });
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    // A 24-bit TGA of w x h in one colour, with a marked top-left pixel.
    QString writePicture(const QString& name, int w, int h, Colour colour) {
        Bitmap picture(w, h);
        picture.fill(colour);
        picture.setPixel(0, 0, Colour{1, 2, 3});
        const QString path = dir.filePath(name);
        EXPECT_TRUE(imaging::saveImageAs24BitsFile(picture, w, h, path.toStdString()).ok());
        return path;
    }

    QString writeBytes(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return path;
    }

    // A first-generation level of two pages whose top-left pixel the level marks as
    // transparent: as stored it is palette entry 0, converted it is magenta.
    QString writeLevel(const QString& name) {
        return writeBytes(name, writer::writeLevel(writer::twoPageLevelWithATransparentPixel()));
    }

    void choose(int item) {
        controlsOf(*main).SourceCombo->setCurrentIndex(item);
        emit controlsOf(*main).SourceCombo->activated(item);
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

    // A left drag on the Source from one panel point to another.
    void cutSource(QPoint from, QPoint to) {
        QWidget* panel = controlsOf(*main).Source->BasePanel;
        QTest::mouseMove(panel, from);
        QTest::mousePress(panel, Qt::LeftButton, {}, from);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    }

    QString caption() const { return controlsOf(*main).SourceCombo->itemText(0); }
    const SourceWorkflow& flow() const { return main->SourceFlow(); }
    // A path the workflow remembers, as the dialogs gave it (empty for none).
    static QString text(const std::optional<std::filesystem::path>& path) {
        return path ? QString::fromStdString(path->string()) : QString();
    }

    QTemporaryDir dir;
    std::unique_ptr<TMain> main;
    QString pictureToChoose;
    QString presetPicture;
    int pictureDialogs = 0;
    int sounds = 0;
    QStringList messages;
    QStringList reasons; // what each message shows beneath its text
};

TEST_F(SourceWorkflowTest, APictureLoadsThroughTheMenuAndTheReplayReadsTheFileAgain) {
    const QString path = writePicture("wall.tga", 640, 480, Colour{10, 120, 30});
    pictureToChoose = path;
    choose(1);
    EXPECT_TRUE(presetPicture.endsWith(QStringLiteral("/   --- no SOURCE file loaded ---")))
        << "the dialog starts on the menu's start text, not " << presetPicture.toStdString();
    EXPECT_EQ(main->FIO().OpenPictureDialog1.FilterIndex, 1);
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("640 x 480 pixels x 24 bits"));
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().width(), 640);
    EXPECT_EQ(controlsOf(*main).Source->PortHeight(), 480);
    EXPECT_EQ(controlsOf(*main).SourceCombo->currentIndex(), 0);
    EXPECT_EQ(caption(), path);
    EXPECT_EQ(text(flow().SourceImagePath), path);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::Picture);

    // Cancelling the dialog keeps the caption, the picture and the remembered path.
    pictureToChoose.clear();
    choose(1);
    EXPECT_EQ(presetPicture, path);
    EXPECT_EQ(caption(), path);
    EXPECT_EQ(controlsOf(*main).SourceCombo->currentIndex(), 0);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(5, 5), (Colour{10, 120, 30}));

    // So does a truncated picture, which the picture loader refuses with its message.
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.read(1000);
    pictureToChoose =
        writeBytes("truncated.tga", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    choose(1);
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("This file has a non supported compression scheme.")});
    EXPECT_EQ(reasons, QStringList{QStringLiteral("The file ends after 1,000 of 921,618 bytes.")});
    messages.clear();
    reasons.clear();
    EXPECT_EQ(caption(), path);
    EXPECT_EQ(text(flow().SourceImagePath), path);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().width(), 640);

    // The file changes on disk while an animation plays on the Source: item 0 reads it again
    // without a dialog, ends the animation first and refits canvas, grid and size line.
    QTest::mouseMove(controlsOf(*main).Source->BasePanel, QPoint(10, 10));
    QTest::mousePress(controlsOf(*main).Source->BasePanel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(controlsOf(*main).Source->BasePanel, QPoint(200, 10));
    QTest::mouseRelease(controlsOf(*main).Source->BasePanel, Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_TRUE(controlsOf(*main).Source->AnimationActive());
    controlsOf(*main).Source->ShiftCellsOnTimer();
    writePicture("wall.tga", 320, 256, Colour{200, 20, 20});
    const int dialogs = pictureDialogs;
    choose(0);
    EXPECT_EQ(pictureDialogs, dialogs);
    EXPECT_FALSE(controlsOf(*main).Source->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().width(), 320);
    EXPECT_EQ(controlsOf(*main).Source->PortWidth(), 320);
    EXPECT_EQ(controlsOf(*main).Source->GridCols, 5);
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("320 x 256 pixels x 24 bits"));
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(0, 0), (Colour{1, 2, 3})) << "no cell moved";
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(70, 5), (Colour{200, 20, 20}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SourceWorkflowTest, LevelItemsShareTheirPathAndTheTransparencyButtonsReExtract) {
    const QString first = writeLevel("first.phd");
    QString preset;
    chooseLevel(first, &preset);
    choose(2);
    EXPECT_TRUE(preset.endsWith(QStringLiteral("--- no TEXTURES extracted ---")))
        << preset.toStdString();
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("256 x 512 pixels x 8 bits (256 col)"));
    EXPECT_EQ(caption(), first);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::LevelTextures);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(0, 0), (Colour{0, 0, 252})) << "as stored";

    // Convert extracts again with magenta, None as stored, both without a dialog.
    controlsOf(*main).SpeedButtonMagenta->click();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(0, 0), kMagenta);
    controlsOf(*main).SpeedButtonOpaque->click();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(0, 0), (Colour{0, 0, 252}));

    // Item 3 opens on the path item 2 used. This level has no animated textures: the level
    // window warns and the caption and choice stay those of the extraction before.
    preset.clear();
    chooseLevel(first, &preset);
    choose(3);
    EXPECT_EQ(preset, first);
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(caption(), first);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::LevelTextures);

    // A cancelled picture dialog does not make the replay load a picture, nor try the
    // menu's start text as a file name: Convert still re-extracts the level the caption names.
    choose(1);
    EXPECT_EQ(caption(), first);
    controlsOf(*main).SpeedButtonMagenta->click();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().height(), 512);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().pixel(0, 0), kMagenta);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();

    // An extraction through item 3 is remembered for item 2 in turn.
    const QString animated = writeBytes("anim.DV2", writer::writeLevel(writer::richLevel(4)));
    chooseLevel(animated);
    choose(3);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::AnimatedTextures);
    EXPECT_EQ(text(flow().LevelPath), animated);
    preset.clear();
    whenModalOpens([&preset](QWidget* modal) {
        preset = qobject_cast<QFileDialog*>(modal)->selectedFiles().value(0);
        qobject_cast<QDialog*>(modal)->reject();
    });
    choose(2);
    EXPECT_EQ(preset, animated);
    EXPECT_EQ(caption(), animated);

    // A damaged level, chosen in the dialog or dropped, is refused with a message naming it;
    // the Source, the caption and what the replay loads stay.
    QFile whole(first);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.read(whole.size() / 2);
    const QString damaged =
        writeBytes("damaged.phd", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    const Bitmap shown = controlsOf(*main).Source->Bitmap();
    chooseLevel(damaged);
    choose(2);
    drop(damaged);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(
        QStringLiteral("The level file is damaged and could not be read.\n\n")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(damaged)) << messages[0].toStdString();
    EXPECT_TRUE(reasons[0].startsWith(QStringLiteral("2 texture pages need ")) &&
                reasons[0].endsWith('.'))
        << reasons[0].toStdString();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), shown);
    EXPECT_EQ(caption(), animated);
    EXPECT_EQ(text(flow().LevelPath), animated);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::AnimatedTextures);
}

TEST_F(SourceWorkflowTest, DroppedFilesLoadAndBecomeWhatTheReplayReloads) {
    const QString picture = writePicture("earlier.tga", 128, 128, Colour{40, 40, 40});
    pictureToChoose = picture;
    choose(1);
    ASSERT_EQ(controlsOf(*main).Source->Bitmap().width(), 128);

    // A level whose extension is in lower case extracts all its textures.
    writer::LevelRecipe recipe = writer::richLevel(6);
    recipe.pages = 3;
    const QString level = writeBytes("dropped.dv4", writer::writeLevel(recipe));
    drop(level);
    EXPECT_EQ(controlsOf(*main).Source->DragNDrop->text(), QStringLiteral("NO"));
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("256 x 768 pixels x 32 bits"));
    EXPECT_EQ(caption(), level);
    EXPECT_EQ(text(flow().LevelPath), level);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::LevelTextures);

    // None replays the dropped level, not the picture loaded before it.
    const Bitmap extracted = controlsOf(*main).Source->Bitmap();
    controlsOf(*main).SpeedButtonOpaque->click();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), extracted);

    // A .DVG file is not one of the level extensions: the picture loader refuses it with
    // its message, and nothing else changes.
    const QString dvg = writeBytes("old.DVG", {0x2d, 0, 0, 0});
    drop(dvg);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("format not supported")))
        << messages[0].toStdString();
    EXPECT_EQ(sounds, 0) << "the level window was not asked";
    EXPECT_EQ(caption(), level);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), extracted);

    // A dropped picture becomes the picture the menu's dialog and the replay start from.
    const QString other = writePicture("other.tga", 64, 192, Colour{7, 8, 9});
    drop(other);
    EXPECT_EQ(controlsOf(*main).SourceAreaInfo->text(),
              QStringLiteral("64 x 192 pixels x 24 bits"));
    EXPECT_EQ(text(flow().SourceImagePath), other);
    EXPECT_EQ(flow().SourceMenuChoice, Choice::Picture);
    writePicture("other.tga", 64, 64, Colour{7, 8, 9});
    choose(0);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().height(), 64);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(SourceWorkflowTest, APictureThatCanBeReadFitsTheCanvasWithoutFurtherLayersOfItsSize) {
    const QString large = writePicture("large.tga", 3072, 3072, Colour{9, 9, 9});
    // Room for reading the picture (its file and its 36 MB bitmap, copied once by the reader)
    // but not for five further layers of its size, even when earlier tests of this process
    // left freed memory that the allocator hands out again: the canvas adds only what its
    // layers hold, so the picture is shown.
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    ASSERT_NE(statm, nullptr);
    ASSERT_EQ(std::fscanf(statm, "%ld", &pages), 1);
    std::fclose(statm);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (112l << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    drop(large);
    setrlimit(RLIMIT_AS, &old);
    EXPECT_TRUE(messages.empty()) << messages.value(0).toStdString();
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().width(), 3072);
    EXPECT_EQ(controlsOf(*main).Source->PortHeight(), 3072);
    EXPECT_EQ(caption(), large);

    // Room for the file but not for its pixels: a message, and the Source keeps its picture.
    const QString larger = writePicture("larger.tga", 4096, 4096, Colour{9, 9, 9});
    tight.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (64l << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    drop(larger);
    setrlimit(RLIMIT_AS, &old);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Not enough memory to read this picture.")});
    EXPECT_EQ(reasons,
              QStringList{QStringLiteral("The picture's pixels do not fit in the memory left.")});
    EXPECT_EQ(controlsOf(*main).Source->Bitmap().width(), 3072);
    EXPECT_EQ(caption(), large);
}
#endif

// The reasons beneath the messages in French: each of the core's patterns has its French, and
// counts take the French grouping (a narrow no-break space).
TEST_F(SourceWorkflowTest, TheReasonsOfFailedLoadsAreShownInFrench) {
    setInterfaceLanguage(Language::French);
    for (const char* pattern : imaging::reasons::allPatterns()) {
        const QString french = QCoreApplication::translate(imaging::kReasonContext, pattern);
        EXPECT_NE(french, QString::fromUtf8(pattern));
        EXPECT_FALSE(french.contains(QStringLiteral(" :"))) << french.toStdString();
    }
    drop(dir.filePath("missing.tga"));
    drop(writeBytes("cut.tga", {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 24, 0}));
    const QString damaged =
        writeBytes("damaged.psd", {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                   3,   0,   0,   0,   1, 0, 0, 0, 1, 0, 8, 0, 5});
    drop(damaged);
    // A reader that words its reasons as fragments: the window makes the French a sentence too.
    std::vector<std::uint8_t> oldPsp(36, 0);
    const std::string_view signature = "Paint Shop Pro Image File\n\x1a";
    std::copy(signature.begin(), signature.end(), oldPsp.begin());
    oldPsp[32] = 2; // major version 2
    drop(writeBytes("old.psp", oldPsp));
    setInterfaceLanguage(Language::English);
    const QString scheme =
        QStringLiteral("Ce fichier utilise une méthode de compression non prise en charge.");
    EXPECT_EQ(messages, (QStringList{scheme, scheme, scheme, scheme}));
    EXPECT_EQ(reasons, (QStringList{QStringLiteral("Le fichier n'existe pas."),
                                    QStringLiteral("Le fichier s'arrête après 18 des "
                                                   "3\u202f145\u202f746 octets attendus."),
                                    QStringLiteral("PSD\u00a0: le mode colorimétrique 5 "
                                                   "n'est pas lu."),
                                    QStringLiteral("PSP\u00a0: la version majeure 2 est "
                                                   "antérieure à la 3.")}));
}

TEST_F(SourceWorkflowTest, TheSizeSelectorShapesEachCut) {
    // Grid positions: 0 is 8 pixels, 2 is 32, 3 is 64. A free grid follows the pointer.
    const struct {
        int grid;
        bool free;
        QPoint from, to;
        int selector;
        int width, height;
    } rows[] = {
        {3, false, {10, 10}, {10, 100}, 2, 64, 64},    // 64 x 128 to one tile
        {3, false, {10, 10}, {150, 150}, 1, 192, 192}, // Multi Tile keeps the size
        {3, false, {10, 10}, {10, 10}, 3, 128, 128},   // one tile enlarged
        {3, false, {10, 10}, {250, 250}, 4, 256, 256}, // kept: already 256 x 256
        {2, true, {16, 16}, {80, 79}, 5, 128, 64},     // 96 x 95
        {2, false, {10, 10}, {140, 40}, 5, 192, 64},   // 160 x 64: a half rounds up
        {0, false, {2, 2}, {2, 2}, 5, 64, 64},         // 8 x 8: never less than a tile
        {3, false, {10, 10}, {10, 10}, 6, 64, 64},     // a tile squeezed and doubled
        {2, false, {10, 10}, {40, 10}, 6, 64, 64},     // 64 x 32: only doubled
    };
    Bitmap& picture = controlsOf(*main).Source->Bitmap();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, Colour{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    const Bitmap original = picture;
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "grid " << row.grid << " selector " << row.selector
                                          << " to " << row.to.x() << "," << row.to.y());
        controlsOf(*main).ScrollBarGrid->setValue(row.grid);
        controlsOf(*main).Source->SnapToGrid = !row.free;
        controlsOf(*main).ClipTileSizeScroll->setValue(row.selector);
        cutSource(row.from, row.to);
        const Bitmap& tile = controlsOf(*main).ClipTileImage->picture();
        ASSERT_EQ(tile.width(), row.width);
        ASSERT_EQ(tile.height(), row.height);
        EXPECT_EQ(controlsOf(*main).Target->Clip().bitmap, tile);
        EXPECT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
        if (row.selector == 6) {
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 64; x += 7)
                    ASSERT_EQ(tile.pixel(x, y), tile.pixel(x, y + 32)) << x << "," << y;
        }
    }
    // The 64 x 32 scroll tile is the selection itself, unscaled.
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(5, 3), original.pixel(5, 3));
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), original) << "cutting never changes the Source";
}

TEST_F(SourceWorkflowTest, ThePickerTurnsExactlyTheSampledColourMagenta) {
    const Colour picked{30, 60, 90};
    const Colour near{30, 60, 91};
    Bitmap& picture = controlsOf(*main).Source->Bitmap();
    picture.fillRect(imaging::Rect::fromSize(0, 0, 64, 64), picked);
    picture.fillRect(imaging::Rect::fromSize(0, 0, 10, 10), near);
    const Bitmap original = picture;

    controlsOf(*main).SpeedButtonPicker->click();
    QWidget* panel = controlsOf(*main).Source->BasePanel;
    QTest::mouseMove(panel, QPoint(40, 40));
    EXPECT_EQ(controlsOf(*main).SourceColourSample->colour(), QColor(30, 60, 90));
    // The click that ends picking cuts nothing.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_NE(controlsOf(*main).Target->Mode, CanvasMode::Paste);

    controlsOf(*main).ClipTileSizeScroll->setValue(1);
    cutSource(QPoint(10, 10), QPoint(10, 10));
    const Bitmap& tile = controlsOf(*main).ClipTileImage->picture();
    ASSERT_EQ(tile.width(), 64);
    EXPECT_EQ(tile.pixel(40, 40), kMagenta);
    EXPECT_EQ(tile.pixel(5, 5), near);
    EXPECT_EQ(controlsOf(*main).Target->Clip().bitmap, tile);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), original);
    EXPECT_EQ(controlsOf(*main).Source->Clip().bitmap.pixel(40, 40), picked);

    // With nothing loaded, Convert only puts the pointer back; released, the picker no
    // longer changes cuts.
    controlsOf(*main).SpeedButtonPicker->click();
    ASSERT_TRUE(panel->testAttribute(Qt::WA_SetCursor));
    controlsOf(*main).SpeedButtonMagenta->click();
    EXPECT_FALSE(panel->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), original);
    // Nor does item 0 replay anything.
    choose(0);
    EXPECT_EQ(controlsOf(*main).Source->Bitmap(), original);
    EXPECT_EQ(pictureDialogs, 0);
    EXPECT_EQ(caption(), QStringLiteral("   --- no SOURCE file loaded ---"));
    cutSource(QPoint(10, 10), QPoint(10, 10));
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(40, 40), picked);
}

TEST_F(SourceWorkflowTest, ThePotsAndTheSampleMakeFlatTilesReadyToPaste) {
    controlsOf(*main).ClipTileSizeScroll->setValue(1);
    cutSource(QPoint(10, 10), QPoint(250, 250));
    ASSERT_EQ(controlsOf(*main).ClipTileImage->picture().width(), 256);
    controlsOf(*main).SpeedButtonRotate->click();

    const auto flatTile = [this](Colour colour) -> ::testing::AssertionResult {
        const Bitmap& tile = controlsOf(*main).ClipTileImage->picture();
        if (tile.width() != 64 || tile.height() != 64 || tile.pixel(0, 0) != colour ||
            tile.pixel(63, 63) != colour)
            return ::testing::AssertionFailure() << "tile " << tile.width() << "x" << tile.height();
        if (controlsOf(*main).Target->Clip().bitmap != tile ||
            controlsOf(*main).Target->Mode != CanvasMode::Paste)
            return ::testing::AssertionFailure()
                   << "the Target is not ready to paste it: mode "
                   << static_cast<int>(controlsOf(*main).Target->Mode) << " clip "
                   << controlsOf(*main).Target->Clip().bitmap.width();
        if (!controlsOf(*main).SpeedButtonNone->isChecked())
            return ::testing::AssertionFailure() << "a tool button stays pressed";
        return ::testing::AssertionSuccess();
    };
    QTest::mouseClick(controlsOf(*main).PanelMagenta, Qt::LeftButton);
    EXPECT_TRUE(flatTile(kMagenta));
    QTest::mouseClick(controlsOf(*main).PanelBlack, Qt::LeftButton);
    EXPECT_TRUE(flatTile(imaging::colours::kBlack));
    QTest::mouseClick(controlsOf(*main).PanelFiller, Qt::LeftButton);
    EXPECT_TRUE(flatTile(imaging::colours::kMaroon));

    // A click on the sample panel paints its colour; a double click makes it the filler.
    controlsOf(*main).SourceColourSample->setColour(QColor(5, 6, 7));
    QTest::mouseClick(controlsOf(*main).SourceColourSample, Qt::LeftButton);
    EXPECT_TRUE(flatTile(Colour{5, 6, 7}));
    QTest::mouseDClick(controlsOf(*main).SourceColourSample, Qt::LeftButton);
    EXPECT_EQ(main->formState().FillerColour, (Colour{5, 6, 7}));
    EXPECT_EQ(controlsOf(*main).PanelFiller->colour(), QColor(5, 6, 7));

    // The pasted tile paints one cell.
    QTest::mouseMove(controlsOf(*main).Target->BasePanel, QPoint(100, 100));
    QTest::mouseClick(controlsOf(*main).Target->BasePanel, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(64, 64), (Colour{5, 6, 7}));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(128, 64), imaging::colours::kBlack);
}

TEST_F(SourceWorkflowTest, TheFillerDialogKeepsEightColoursAndOnlyAnAcceptedOneCounts) {
    // Every start begins from the program's own custom colours, whatever an earlier run left.
    EXPECT_EQ(QColorDialog::customColor(10), QColor(128, 0, 0));
    EXPECT_EQ(QColorDialog::customColor(11), QColor(252, 0, 252));
    EXPECT_EQ(QColorDialog::customColor(15), QColor(104, 188, 136));
    QColorDialog::setCustomColor(3, Qt::white);
    main = std::make_unique<TMain>();
    EXPECT_EQ(QColorDialog::customColor(3), QColor(0, 0, 0));

    // A cancel after clicking another colour changes nothing but the slot counter.
    main->setColourDialogRunner([](QColorDialog& dialog) {
        dialog.setCurrentColor(Qt::green);
        return false;
    });
    QTest::mouseDClick(controlsOf(*main).PanelFiller, Qt::LeftButton);
    EXPECT_EQ(main->formState().FillerColour, imaging::colours::kMaroon);
    EXPECT_EQ(QColorDialog::customColor(0), QColor(128, 0, 0));
    EXPECT_EQ(main->formState().CustomColourSlot, 1);
    EXPECT_EQ(controlsOf(*main).ClipTileImage->picture().pixel(0, 0), imaging::colours::kMaroon);

    // Accepted colours roll through slots A to H; the ninth double click writes A again.
    int shade = 0;
    main->setColourDialogRunner([&shade](QColorDialog& dialog) {
        EXPECT_FALSE(dialog.isVisible());
        dialog.setCurrentColor(QColor(10 * ++shade, 0, 0));
        return true;
    });
    for (int click = 2; click <= 8; ++click)
        QTest::mouseDClick(controlsOf(*main).PanelFiller, Qt::LeftButton);
    EXPECT_EQ(main->formState().CustomColourSlot, 0);
    EXPECT_EQ(QColorDialog::customColor(7), QColor(60, 0, 0));
    EXPECT_EQ(main->formState().FillerColour, (Colour{70, 0, 0}));
    QTest::mouseDClick(controlsOf(*main).PanelFiller, Qt::LeftButton);
    EXPECT_EQ(QColorDialog::customColor(0), QColor(70, 0, 0));
    EXPECT_EQ(QColorDialog::customColor(8), QColor(0, 0, 0)) << "slots I to P are not history";
    EXPECT_EQ(main->formState().FillerColour, (Colour{80, 0, 0}));
    EXPECT_EQ(controlsOf(*main).PanelFiller->colour(), QColor(80, 0, 0));
    EXPECT_EQ(main->formState().PotColour, (Colour{80, 0, 0}));
}

TEST_F(SourceWorkflowTest, APasteDuringATargetAnimationLandsWhereClicked) {
    // Four distinct cells along the Target's first row play as an animation.
    Bitmap& target = controlsOf(*main).Target->Bitmap();
    for (int col = 0; col < 4; ++col)
        target.fillRect(imaging::Rect::fromSize(col * 64, 0, 64, 64),
                        Colour{std::uint8_t(50 * col + 10), 0, 0});
    const Bitmap before = target;
    QWidget* panel = controlsOf(*main).Target->BasePanel;
    const auto startAnimation = [&] {
        QTest::mouseMove(panel, QPoint(10, 10));
        QTest::mousePress(panel, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseMove(panel, QPoint(250, 10));
        QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(250, 10));
        ASSERT_TRUE(controlsOf(*main).Target->AnimationActive());
        controlsOf(*main).Target->ShiftCellsOnTimer();
        ASSERT_NE(controlsOf(*main).Target->Bitmap(), before) << "the cells are in mid-cycle";
    };
    const auto pasteAt = [&](QPoint at) {
        QTest::mouseMove(panel, at);
        QTest::mouseClick(panel, Qt::LeftButton, {}, at);
    };

    // Each tile is pasted into a cell of the playing range: a cut from the Source, a pot,
    // and a cut on the Target made while the animation finishes its cycle.
    controlsOf(*main).Source->Bitmap().fillRect(imaging::Rect::fromSize(0, 0, 64, 64),
                                                Colour{0, 200, 0});
    startAnimation();
    cutSource(QPoint(10, 10), QPoint(10, 10));
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    pasteAt(QPoint(70, 10));

    startAnimation();
    QTest::mouseClick(controlsOf(*main).PanelMagenta, Qt::LeftButton);
    pasteAt(QPoint(140, 10));

    startAnimation();
    QTest::mouseClick(controlsOf(*main).PanelRightSide, Qt::LeftButton, {}, QPoint(60, 400));
    ASSERT_TRUE(controlsOf(*main).Target->AnimationActive()) << "the cycle is still being finished";
    QTest::mouseMove(panel, QPoint(10, 140));
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 140));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(10, 140));
    ASSERT_EQ(controlsOf(*main).Target->Mode, CanvasMode::Paste);
    pasteAt(QPoint(200, 10));

    Bitmap expected = before;
    expected.fillRect(imaging::Rect::fromSize(64, 0, 64, 64), Colour{0, 200, 0});
    expected.fillRect(imaging::Rect::fromSize(128, 0, 64, 64), kMagenta);
    expected.fillRect(imaging::Rect::fromSize(192, 0, 64, 64), imaging::colours::kBlack);
    EXPECT_EQ(firstDifference(controlsOf(*main).Target->Bitmap(), expected), "");
    // Further ticks move nothing any more.
    controlsOf(*main).Target->ShiftCellsOnTimer();
    EXPECT_EQ(firstDifference(controlsOf(*main).Target->Bitmap(), expected), "");
}

TEST_F(SourceWorkflowTest, ScreenReadersReadTheInformationLabelsWithTheirText) {
    pictureToChoose = writePicture("seen.tga", 640, 480, Colour{1, 1, 1});
    choose(1);
    controlsOf(*main).ClipTileSizeScroll->setValue(5);
    controlsOf(*main).TargetHeightScrollBar->setValue(3);

    const auto spoken = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    EXPECT_EQ(spoken(controlsOf(*main).SourceAreaInfo),
              QStringLiteral("Source size: 640 x 480 pixels x 24 bits"));
    EXPECT_EQ(spoken(controlsOf(*main).ClipTileSize), QStringLiteral("Tile size: Auto Size"));
    EXPECT_EQ(spoken(controlsOf(*main).TargetHeight), QStringLiteral("Target height in pages: 3"));
    EXPECT_TRUE(spoken(controlsOf(*main).TargetAreaInfo)
                    .startsWith(QStringLiteral("Target size: 256 x 768")));
    EXPECT_EQ(spoken(controlsOf(*main).TargetWidth), QStringLiteral("Target width in pages: 1"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(controlsOf(*main).SourceAreaInfo)
                  ->text(QAccessible::Description),
              QStringLiteral("Source area info."));
    // Qt announces a new text of a label only while the label has no accessible name.
    for (const QLabel* label : {controlsOf(*main).SourceAreaInfo, controlsOf(*main).ClipTileSize,
                                controlsOf(*main).TargetAreaInfo, controlsOf(*main).TargetWidth,
                                controlsOf(*main).TargetHeight, controlsOf(*main).StaticTextGrid})
        EXPECT_TRUE(label->accessibleName().isEmpty()) << label->objectName().toStdString();
}

} // namespace
} // namespace parvane::app
