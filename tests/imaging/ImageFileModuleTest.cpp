// The image file module's dialogs, messages and routines, driven without a person: the dialog
// runner and the message display are replaced by the test.
#include "imaging/ui/ImageFileModule.h"

#include "imaging/TgaWriter.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <gtest/gtest.h>

namespace parvane::imaging {
namespace {

class ImageFileModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        fio.showMessage = [this](const QString& text) { messages << text; };
    }
    // The dialog "chooses" name (or cancels when empty) and records how it was configured.
    void choose(const QString& name) {
        fio.runDialog = [this, name](QFileDialog& dialog) {
            seenTitle = dialog.windowTitle();
            seenSuffix = dialog.defaultSuffix();
            if (name.isEmpty())
                return false;
            dialog.selectFile(name);
            return true;
        };
    }
    QString path(const char* name) const { return QString::fromStdString(dir.file(name).string()); }

    testing::ScratchDir dir;
    TFIO fio;
    QStringList messages;
    QString seenTitle, seenSuffix;
};

Bitmap sample(int w, int h) {
    Bitmap b(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y,
                       {static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 3), 77});
    return b;
}

TEST_F(ImageFileModuleTest, DialogsAreConfiguredAsTheModuleDescribesThem) {
    std::unique_ptr<QFileDialog> open(
        fio.createDialog(fio.OpenPictureDialog1, QFileDialog::AcceptOpen));
    EXPECT_EQ(open->windowTitle(), "   ----- LOADING IMAGE FILE -----");
    EXPECT_TRUE(open->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(open->defaultSuffix(), "");
    const QStringList filters = open->nameFilters();
    ASSERT_EQ(filters.size(), 9);
    EXPECT_EQ(filters[0], "Supported Input Files (*.BMP *.JPG *.TGA *.TIF *.PSD *.PSP *.PCX)");
    EXPECT_EQ(filters[8], "All Files (*.*) (*)");
    // The dialog's own matching: every name under "All Files", extensions in any case.
    const auto matches = [&](int row, const char* name) {
        const QString patterns = filters[row].section('(', -1).chopped(1);
        return QDir::match(patterns.split(' '), name);
    };
    EXPECT_TRUE(matches(8, "texture"));
    EXPECT_TRUE(matches(8, "texture.tga"));
    EXPECT_TRUE(matches(0, "photo.jpg"));
    EXPECT_TRUE(matches(0, "PHOTO.JPG"));
    EXPECT_FALSE(matches(0, "photo.jpeg"));
    EXPECT_EQ(open->selectedNameFilter().toStdString(), "Supported Input Files");
    EXPECT_NE(open->findChild<PicturePreview*>(), nullptr);
    ASSERT_NE(open->findChild<QWidget*>("sidebar"), nullptr);
    EXPECT_TRUE(open->findChild<QWidget*>("sidebar")->isHidden()); // no places bar

    std::unique_ptr<QFileDialog> save(
        fio.createDialog(fio.SavePictureDialog1, QFileDialog::AcceptSave));
    EXPECT_EQ(save->windowTitle(), "   ----- SAVING IMAGE FILE -----");
    EXPECT_EQ(save->defaultSuffix(), "TGA");
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite)); // asks before overwriting
    ASSERT_EQ(save->nameFilters().size(), 5);
    EXPECT_EQ(save->nameFilters()[0], "Supported Output Files (*.TGA *.BMP *.JPG)");
    EXPECT_NE(save->findChild<PicturePreview*>(), nullptr);
}

TEST_F(ImageFileModuleTest, LoadDialogReadsTheChosenFileAsWorkingBitmap) {
    Bitmap file = sample(5, 4);
    ASSERT_TRUE(SaveAsUncompTGA24bits(file, dir.file("pick.tga")).ok());
    Bitmap picture;
    std::uint8_t code = 0;
    choose(path("pick.tga"));
    ASSERT_TRUE(fio.LoadImageAs32BitsDialog(ImageArea::of(picture), code));
    EXPECT_EQ(seenTitle, "   ----- LOADING IMAGE FILE -----");
    EXPECT_EQ(code, 6);
    EXPECT_EQ(picture.format(), PixelFormat::Bits32);
    EXPECT_EQ(picture.pixel(4, 3), file.pixel(4, 3));
    EXPECT_EQ(fio.OpenPictureDialog1.FileName, path("pick.tga"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ImageFileModuleTest, CancelledDialogsChangeNothingAndSayNothing) {
    Bitmap picture = sample(3, 3);
    const Bitmap before = picture;
    std::uint8_t code = 5;
    choose({});
    EXPECT_FALSE(fio.LoadImageAs32BitsDialog(ImageArea::of(picture), code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(fio.LoadImageDialog(ImageArea::of(picture)));
    EXPECT_FALSE(fio.SaveImageAs24BitsDialog(ImageArea::of(picture)));
    fio.OpenPictureDialog1.FilterIndex = 4;
    EXPECT_FALSE(fio.LoadImageDialog(ImageArea::of(picture)));
    EXPECT_EQ(fio.OpenPictureDialog1.FilterIndex, 4); // read back from the dialog
    EXPECT_FALSE(fio.SaveImageDialog(ImageArea::of(picture)));
    EXPECT_TRUE(picture == before);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ImageFileModuleTest, SaveDialogAddsTheDefaultExtensionAndCropsToTheArea) {
    Bitmap target = sample(20, 30);
    choose(path("set"));
    ASSERT_TRUE(fio.SaveImageAs24BitsDialog({target, 16, 10}));
    EXPECT_EQ(seenSuffix, "TGA");
    const auto bytes = testing::readFileBytes(dir.file("set.TGA"));
    ASSERT_EQ(bytes.size(), 18u + 16u * 10u * 3u);
    EXPECT_EQ(fio.SavePictureDialog1.FileName, path("set.TGA"));
    EXPECT_EQ(target.width(), 20);
}

TEST_F(ImageFileModuleTest, EachFailureShowsItsMessage) {
    Bitmap picture = sample(2, 2);
    const Bitmap before = picture;
    testing::writeFileBytes(dir.file("cut.tga"),
                            {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 9, 0, 24});
    testing::writeFileBytes(dir.file("bad.bmp"), {'B', 'M', 0});
    std::uint8_t code = 0;
    EXPECT_FALSE(fio.LoadImageAs32BitsFile(ImageArea::of(picture), path("photo.jpeg"), code));
    EXPECT_FALSE(fio.LoadImageFile(ImageArea::of(picture), path("cut.tga")));
    EXPECT_FALSE(fio.LoadImageFile(ImageArea::of(picture), path("bad.bmp")));
    EXPECT_FALSE(fio.SaveImageFile(ImageArea::of(picture), path("name.png")));
    EXPECT_FALSE(fio.SaveImageFile(ImageArea::of(picture), path("no/folder/x.bmp")));
    ASSERT_EQ(messages.size(), 5);
    EXPECT_EQ(messages[0], ".JPEG format not supported.");
    EXPECT_EQ(messages[1], "This file has a non supported compression scheme.");
    EXPECT_EQ(messages[2], "Bitmap image is not valid");
    EXPECT_EQ(messages[3], ".PNG format not supported.");
    EXPECT_TRUE(messages[4].contains("x.bmp")) << messages[4].toStdString();
    EXPECT_TRUE(picture == before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("name.png")));
}

TEST_F(ImageFileModuleTest, ReportFileErrorKinds) {
    fio.ReportFileError(TFIO::FileErrorKind::FormatNotSupported, "");
    fio.ReportFileError(TFIO::FileErrorKind::FormatNotSupported, ".GIF");
    fio.ReportFileError(TFIO::FileErrorKind::CompressionScheme, "ignored");
    EXPECT_EQ(messages, (QStringList{" format not supported.", ".GIF format not supported.",
                                     "This file has a non supported compression scheme."}));
}

TEST_F(ImageFileModuleTest, TargetDropKeepsTheFilesOwnFormat) {
    Bitmap file(3, 2, PixelFormat::Bits24);
    file.fill(colours::kMaroon);
    ASSERT_TRUE(SaveAsUncompTGA24bits(file, dir.file("drop.tga")).ok());
    Bitmap picture;
    ASSERT_TRUE(fio.LoadImageFile(ImageArea::of(picture), path("drop.tga")));
    EXPECT_EQ(picture.format(), PixelFormat::Bits24);
}

TEST_F(ImageFileModuleTest, PreviewShowsRegisteredExtensionsEvenWhereLoadingIsRefused) {
    const Bitmap file = sample(40, 20);
    ASSERT_TRUE(SaveAsUncompTGA24bits(file, dir.file("p.tga")).ok());
    // .vda is a registered TGA extension that the load routines refuse.
    std::filesystem::copy_file(dir.file("p.tga"), dir.file("p.vda"));
    std::filesystem::copy_file(dir.file("p.tga"), dir.file("p.png"));
    PicturePreview preview;
    preview.showFile(path("p.tga"));
    EXPECT_EQ(preview.pictureSize(), QSize(40, 20));
    EXPECT_FALSE(preview.pixmap().isNull());
    preview.showFile(path("p.vda"));
    EXPECT_EQ(preview.pictureSize(), QSize(40, 20));
    preview.showFile(path("p.png"));
    EXPECT_TRUE(preview.pictureSize().isEmpty());
    EXPECT_EQ(preview.text(), "No preview");
    preview.showFile(path("gone.tga"));
    EXPECT_TRUE(preview.pictureSize().isEmpty());
    // A dialog preset with a file name previews it once the dialog is on the screen, not
    // before it opens.
    fio.OpenPictureDialog1.FileName = path("p.tga");
    std::unique_ptr<QFileDialog> dialog(
        fio.createDialog(fio.OpenPictureDialog1, QFileDialog::AcceptOpen));
    const auto* pane = dialog->findChild<PicturePreview*>();
    EXPECT_TRUE(pane->pictureSize().isEmpty());
    dialog->show();
    const QDeadlineTimer deadline(5000);
    while (pane->pictureSize().isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(pane->pictureSize(), QSize(40, 20));
}

TEST_F(ImageFileModuleTest, PreviewReadsEveryKindOfRegisteredFile) {
    PARVANE_REQUIRE_TESTDATA();
    for (const char* file : {"pillow/hopper.gif", "pillow/hopper.jpg", "pillow/bmp/g/pal8.bmp"}) {
        SCOPED_TRACE(file);
        PicturePreview preview;
        preview.showFile(QString::fromStdString(testing::peerFile(file).string()));
        EXPECT_FALSE(preview.pictureSize().isEmpty());
    }
}

} // namespace
} // namespace parvane::imaging
