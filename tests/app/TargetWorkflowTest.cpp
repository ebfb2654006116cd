// The Target side's file work as the user meets it: saving through the Target menu's dialog,
// Create New, reloading a texture set, dropping a picture on the Target and Copy All, with
// what each does to the menu, the path memories and a running animation.
#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "support/TestData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace parvane::app {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::Rect;
namespace fs = std::filesystem;

const QString kNoTargetSaved = QStringLiteral("   --- no TARGET file saved ---");
const QString kCreateNew = QStringLiteral("   --- Create New");
constexpr Colour kGreen{10, 200, 30};

// A picture whose every 64 x 64 cell has its own colour.
Bitmap cellPattern(int width, int height) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; y += 64)
        for (int x = 0; x < width; x += 64)
            picture.fillRect(Rect::fromSize(x, y, 64, 64),
                             Colour{static_cast<std::uint8_t>(40 + x / 4),
                                    static_cast<std::uint8_t>(20 + (y / 16) % 200), 90});
    return picture;
}

Bitmap readBack(const fs::path& path) {
    Bitmap picture;
    const imaging::FileResult result = imaging::loadImageFile(path, picture);
    EXPECT_TRUE(result.ok()) << result.error().reason;
    picture.convertTo(imaging::PixelFormat::Bits32);
    return picture;
}

class TargetWorkflowTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TMain>();
        main->FIO().showMessage = [this](const QString& text, const QString& reason) {
            messages << text;
            reasons << reason;
        };
    }

    // The next file dialog sees this name chosen (or is cancelled for an empty path) and
    // records the name its name box offered.
    void answerDialog(const fs::path& path) {
        main->FIO().runDialog = [this, path](QFileDialog& dialog) {
            if (auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                offered << box->text();
            if (path.empty())
                return false;
            dialog.selectFile(QString::fromStdString(path.string()));
            return true;
        };
    }

    void chooseTargetItem(int index) { emit controlsOf(*main).TargetCombo->activated(index); }

    // What the Target's document remembers: the file last saved or reloaded (none yet: an
    // empty text), and what the menu falls back to.
    static QString text(const std::optional<fs::path>& path) {
        return path ? QString::fromStdString(path->string()) : QString();
    }
    QString savedPath() const { return text(main->TargetDocument().savedPath()); }
    QString reloadedPath() const { return text(main->TargetDocument().reloadedPath()); }
    bool captionIsCreateNew() const {
        return main->TargetDocument().state().caption == document::TargetName::createNew();
    }
    QString caption() const {
        const document::TargetName& name = main->TargetDocument().state().caption;
        return name.kind == document::TargetName::Kind::File
                   ? QString::fromStdString(name.path.string())
                   : QString();
    }

    // Starts a Target animation over cells first..last and shuffles it one step.
    void startTargetAnimation(int first, int last) {
        controlsOf(*main).Target->DownIndex = first;
        controlsOf(*main).Target->UpIndex = last;
        controlsOf(*main).Target->StartAnimation();
        ASSERT_TRUE(controlsOf(*main).Target->AnimationActive());
        controlsOf(*main).Target->ShiftCellsOnTimer();
    }

    void setSource(const Bitmap& picture) {
        controlsOf(*main).Source->setBitmap(picture);
        controlsOf(*main).Source->UpdateStack();
        controlsOf(*main).Source->UpdateGrid();
    }

    // Accepts the crop message box, remembering its text.
    void acceptNextMessageBox(QString& text) {
        QTimer::singleShot(0, [&text] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            }
        });
    }

    std::unique_ptr<TMain> main;
    QStringList messages;
    QStringList reasons; // what each message shows beneath its text
    QStringList offered;
    testing::ScratchDir dir;
};

TEST_F(TargetWorkflowTest, SavingWritesOnlyTheViewInTheFormatOfTheExtension) {
    // Four pages high, then lowered to two: the hidden pages stay out of the file.
    controlsOf(*main).TargetHeightScrollBar->setValue(4);
    controlsOf(*main).Target->setBitmap(cellPattern(256, 1024));
    controlsOf(*main).TargetHeightScrollBar->setValue(2);

    const struct {
        const char* name;
        int tolerance;
    } formats[] = {{"set.tga", 0}, {"set.bmp", 0}, {"set.JPG", 12}};
    QString previous;
    for (const auto& format : formats) {
        SCOPED_TRACE(format.name);
        answerDialog(dir.file(format.name));
        chooseTargetItem(1);
        // The first dialog offers no name rather than the menu text; later ones the last file.
        EXPECT_EQ(offered.takeLast(), previous.isEmpty()
                                          ? QString()
                                          : fs::path(previous.toStdString()).filename().c_str());
        const QString saved = QString::fromStdString(dir.file(format.name).string());
        EXPECT_EQ(savedPath(), saved);
        EXPECT_EQ(caption(), saved);
        EXPECT_EQ(controlsOf(*main).TargetCombo->currentIndex(), 0);
        EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), saved);
        previous = saved;

        const Bitmap file = readBack(dir.file(format.name));
        ASSERT_EQ(file.width(), 256);
        ASSERT_EQ(file.height(), 512);
        for (int y = 10; y < 512; y += 64)
            for (int x = 10; x < 256; x += 64) {
                const Colour want = controlsOf(*main).Target->Bitmap().pixel(x + 20, y + 20);
                const Colour got = file.pixel(x + 20, y + 20);
                EXPECT_LE(std::abs(want.red - got.red), format.tolerance) << x << "," << y;
                EXPECT_LE(std::abs(want.green - got.green), format.tolerance) << x << "," << y;
                EXPECT_LE(std::abs(want.blue - got.blue), format.tolerance) << x << "," << y;
            }
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(TargetWorkflowTest, ACancelledOrFailedSaveKeepsTheMenuCaption) {
    answerDialog({});
    chooseTargetItem(1);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), kNoTargetSaved);
    EXPECT_EQ(savedPath(), QString()) << "no file is named yet";

    // A folder that cannot exist: its parent is a regular file.
    testing::writeFileBytes(dir.file("plain"), {1, 2, 3});
    answerDialog(dir.file("plain") / "set.tga");
    chooseTargetItem(1);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(reasons, QStringList{"The folder cannot be written (Not a directory)."});
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), kNoTargetSaved);
    EXPECT_EQ(savedPath(), QString()) << "no file is named yet";
}

TEST_F(TargetWorkflowTest, ASaveThatCannotBeWrittenKeepsTheOldFileAndTheLastSavedName) {
    answerDialog(dir.file("first.tga"));
    chooseTargetItem(1);
    const QString first = QString::fromStdString(dir.file("first.tga").string());
    ASSERT_EQ(caption(), first);

    const fs::path locked = dir.file("locked");
    fs::create_directory(locked);
    const std::vector<std::uint8_t> old{9, 8, 7, 6};
    testing::writeFileBytes(locked / "set.tga", old);
    // A full disk: the system refuses every byte past a small file size (for root too).
    // A read-only folder. Folder permissions do not bind root: run as root (as CI does), the
    // save is made as nobody, whom the folder does not let write either.
    const std::function<void()> fullDisk = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    };
    const std::function<void()> diskSpace = [] {
        const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
        std::signal(SIGXFSZ, SIG_DFL);
    };
    const bool root = ::geteuid() == 0;
    // Nobody may reach and read the folder, so that only its missing write permission stops
    // the save.
    const std::function<void()> readOnly = [&] {
        using fs::perms;
        // Nobody keeps root's group, so the group's permissions are the ones that apply.
        fs::permissions(locked, perms::owner_read | perms::owner_exec | perms::group_read |
                                    perms::group_exec | perms::others_read | perms::others_exec);
        if (root) {
            fs::permissions(dir.path(), perms::group_exec | perms::others_exec,
                            fs::perm_options::add);
            ASSERT_EQ(::seteuid(65534), 0);
        }
    };
    const std::function<void()> writable = [&] {
        if (root) {
            ASSERT_EQ(::seteuid(0), 0);
        }
        fs::permissions(locked, fs::perms::owner_all);
    };
    const struct {
        const char* cause;
        const std::function<void()>& fail;
        const std::function<void()>& undo;
        const char* reason; // the system's words in brackets
    } causes[] = {{"full disk", fullDisk, diskSpace, "Writing failed (File too large)."},
                  {"read-only folder", readOnly, writable,
                   "The folder cannot be written (Permission denied)."}};
    for (const auto& cause : causes) {
        SCOPED_TRACE(cause.cause);
        messages.clear();
        reasons.clear();
        answerDialog(locked / "set.tga");
        cause.fail();
        chooseTargetItem(1);
        cause.undo();
        EXPECT_EQ(messages,
                  QStringList{"Cannot save " +
                              QString::fromStdString((locked / "set.tga").string()) + "."});
        EXPECT_EQ(reasons, QStringList{cause.reason});
        EXPECT_EQ(testing::readFileBytes(locked / "set.tga"), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1)
            << "no temporary file is left behind";
        EXPECT_EQ(savedPath(), first);
        EXPECT_EQ(controlsOf(*main).TargetCombo->currentIndex(), 0);
        EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), first);
    }
}

TEST_F(TargetWorkflowTest, CreateNewStartsABlankSetWithTheControlsSettings) {
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    controlsOf(*main).TargetHeightScrollBar->setValue(3);
    controlsOf(*main).Target->Bitmap().fill(kGreen);
    main->setFillerColour(Colour{0, 0, 200});
    controlsOf(*main).ScrollBarGrid->setValue(2); // 32-pixel cells
    controlsOf(*main).SpeedButtonStyle->click();
    controlsOf(*main).SpeedButtonView->click();
    controlsOf(*main).CheckBoxExport->click();
    controlsOf(*main).TargetCombo->setCurrentIndex(2);
    chooseTargetItem(2);

    EXPECT_EQ(controlsOf(*main).Target->Bitmap().width(), 256);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 512);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(100, 400), imaging::colours::kBlack);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).PanelRightSide->width(), 417);
    EXPECT_EQ(controlsOf(*main).Target->CellWidth, 32);
    EXPECT_EQ(controlsOf(*main).Target->GridStyle, GridStyle::Lines);
    EXPECT_TRUE(controlsOf(*main).Target->L5_Grid.visible);
    EXPECT_TRUE(controlsOf(*main).Target->AutoExport);
    EXPECT_TRUE(captionIsCreateNew());
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentIndex(), 2);

    // Every page added from now on takes the filler colour.
    controlsOf(*main).TargetHeightScrollBar->setValue(3);
    controlsOf(*main).TargetWidthScrollBar->setValue(2);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(100, 600), (Colour{0, 0, 200}));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(400, 100), (Colour{0, 0, 200}));

    // A later cancelled save shows the caption of Create New.
    answerDialog({});
    chooseTargetItem(1);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), kCreateNew);
}

TEST_F(TargetWorkflowTest, ReloadingReplacesTheTargetAndPadsItToWholePages) {
    Bitmap set = cellPattern(256, 300);
    ASSERT_TRUE(imaging::saveImageFile(set, dir.file("set.tga")).ok());
    answerDialog(dir.file("set.tga"));
    chooseTargetItem(3);
    EXPECT_EQ(offered.takeLast(), QString());
    const QString path = QString::fromStdString(dir.file("set.tga").string());
    EXPECT_EQ(reloadedPath(), path);
    EXPECT_EQ(caption(), path);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), path);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).Target->PortHeight(), 512);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().format(), imaging::PixelFormat::Bits32);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(70, 290), set.pixel(70, 290));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(70, 400), imaging::colours::kMaroon);

    // Cancelled, then failing: the Target stays, item 0 shows the caption.
    const Bitmap before = controlsOf(*main).Target->Bitmap();
    answerDialog({});
    chooseTargetItem(3);
    EXPECT_EQ(offered.takeLast(), QStringLiteral("set.tga"));
    testing::writeFileBytes(dir.file("broken.tga"), {0, 0, 2, 0, 0});
    answerDialog(dir.file("broken.tga"));
    chooseTargetItem(3);
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("This file has a non supported compression scheme.")});
    EXPECT_EQ(reasons, QStringList{QStringLiteral("The file ends after 5 of 18 bytes.")});
    EXPECT_EQ(controlsOf(*main).Target->Bitmap(), before);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), path);
    EXPECT_EQ(reloadedPath(), path);
}

TEST_F(TargetWorkflowTest, ADroppedPictureBecomesTheWorkingTargetAndItsCaption) {
    Bitmap picture = cellPattern(512, 256);
    picture.convertTo(imaging::PixelFormat::Bits24);
    ASSERT_TRUE(imaging::saveImageFile(picture, dir.file("drop.bmp")).ok());
    const QString path = QString::fromStdString(dir.file("drop.bmp").string());
    controlsOf(*main).Target->DragNDrop->setText(path);

    EXPECT_EQ(controlsOf(*main).Target->DragNDrop->text(), QStringLiteral("NO"));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().format(), imaging::PixelFormat::Bits32);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(300, 100), picture.pixel(300, 100));
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 1);
    EXPECT_EQ(reloadedPath(), path);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), path);
    // The caption follows, so a later cancelled save shows the dropped file again.
    answerDialog({});
    chooseTargetItem(1);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), path);

    // A file that is not a picture changes nothing.
    const Bitmap before = controlsOf(*main).Target->Bitmap();
    testing::writeFileBytes(dir.file("notes.txt"), {'h', 'i'});
    controlsOf(*main).Target->DragNDrop->setText(
        QString::fromStdString(dir.file("notes.txt").string()));
    EXPECT_EQ(messages, QStringList{QStringLiteral(".TXT format not supported.")});
    EXPECT_EQ(controlsOf(*main).Target->Bitmap(), before);
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), path);
}

TEST_F(TargetWorkflowTest, CopyAllTurnsTheWholeCellsOfTheSourceIntoTheTarget) {
    main->setFillerColour(Colour{0, 0, 200});
    setSource(cellPattern(300, 200));
    controlsOf(*main).CopyButton->click();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().width(), 256);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 256);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 1);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(200, 150),
              controlsOf(*main).Source->Bitmap().pixel(200, 150));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(200, 200), (Colour{0, 0, 200}));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(10, 255), (Colour{0, 0, 200}));
    EXPECT_EQ(controlsOf(*main).TargetCombo->currentText(), kCreateNew);
    EXPECT_TRUE(captionIsCreateNew());

    // With the grid 32 pixels in, only the whole cells from there are copied.
    controlsOf(*main).Source->GridOffsetX = 32;
    controlsOf(*main).Source->GridOffsetY = 32;
    controlsOf(*main).Source->UpdateGrid();
    controlsOf(*main).CopyButton->click();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(0, 0),
              controlsOf(*main).Source->Bitmap().pixel(32, 32));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(255, 127),
              controlsOf(*main).Source->Bitmap().pixel(287, 159));
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(10, 130), (Colour{0, 0, 200}));

    // No whole cell: the Target stays as it is.
    const Bitmap before = controlsOf(*main).Target->Bitmap();
    setSource(cellPattern(50, 40));
    controlsOf(*main).CopyButton->click();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap(), before);
}

TEST_F(TargetWorkflowTest, CopyAllOfAHugeSourceIsCroppedToATextureSetWithOneMessage) {
    setSource(Bitmap(1024, 9000));
    QString message;
    acceptNextMessageBox(message);
    controlsOf(*main).CopyButton->click();
    EXPECT_TRUE(message.contains(QStringLiteral("cropped to 512x8192 pixels")))
        << message.toStdString();
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().width(), 512);
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().height(), 8192);
    EXPECT_EQ(controlsOf(*main).TargetWidthScrollBar->value(), 2);
    EXPECT_EQ(controlsOf(*main).TargetHeightScrollBar->value(), 32);
}

TEST_F(TargetWorkflowTest, ARunningAnimationGivesBackItsCellsBeforeTheTargetIsReadOrReplaced) {
    const Bitmap start = cellPattern(256, 512);
    controlsOf(*main).Target->setBitmap(start);
    startTargetAnimation(0, 3);
    ASSERT_NE(controlsOf(*main).Target->Bitmap(), start);
    answerDialog(dir.file("anim.tga"));
    chooseTargetItem(1);
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(readBack(dir.file("anim.tga")).pixel(10, 10), start.pixel(10, 10));

    // Copy All reads the Source's starting cells and stops the Target's animation.
    setSource(start);
    controlsOf(*main).Source->DownIndex = 0;
    controlsOf(*main).Source->UpIndex = 3;
    controlsOf(*main).Source->StartAnimation();
    controlsOf(*main).Source->ShiftCellsOnTimer();
    startTargetAnimation(4, 7);
    controlsOf(*main).CopyButton->click();
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_FALSE(controlsOf(*main).Source->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Bitmap(), start);

    // Reload and drop: the new picture is shown as read, and no step follows.
    ASSERT_TRUE(imaging::saveImageFile(cellPattern(256, 256), dir.file("set.tga")).ok());
    startTargetAnimation(0, 3);
    answerDialog(dir.file("set.tga"));
    chooseTargetItem(3);
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(10, 10),
              cellPattern(256, 256).pixel(10, 10));
    startTargetAnimation(0, 3);
    controlsOf(*main).Target->DragNDrop->setText(
        QString::fromStdString(dir.file("set.tga").string()));
    EXPECT_FALSE(controlsOf(*main).Target->AnimationActive());
    EXPECT_EQ(controlsOf(*main).Target->Bitmap().pixel(10, 10),
              cellPattern(256, 256).pixel(10, 10));
}

} // namespace
} // namespace parvane::app
