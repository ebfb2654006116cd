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
        fio.showMessage = [this](const QString& text, const QString& reason) {
            messages << text;
            reasons << reason;
        };
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
    QStringList reasons; // what each message shows beneath its text
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
    ASSERT_EQ(filters.size(), 10);
    EXPECT_EQ(filters[0], "Supported Input Files (*.BMP *.JPG *.JPEG *.TGA *.TIF *.TIFF *.PSD "
                          "*.PSP *.PSPIMAGE *.PCX *.PNG)");
    EXPECT_EQ(filters[9], "All Files (*.*) (*)");
    // The dialog's own matching: every name under "All Files", extensions in any case.
    const auto matches = [&](int row, const char* name) {
        const QString patterns = filters[row].section('(', -1).chopped(1);
        return QDir::match(patterns.split(' '), name);
    };
    EXPECT_TRUE(matches(9, "texture"));
    EXPECT_TRUE(matches(9, "texture.tga"));
    for (const char* name : {"photo.jpg", "PHOTO.JPG", "photo.jpeg", "tiles.png", "x.pspimage"})
        EXPECT_TRUE(matches(0, name)) << name;
    EXPECT_TRUE(matches(2, "photo.jpeg"));
    EXPECT_FALSE(matches(0, "anim.gif"));
    EXPECT_EQ(open->selectedNameFilter().toStdString(), "Supported Input Files");
    EXPECT_NE(open->findChild<PicturePreview*>(), nullptr);
    ASSERT_NE(open->findChild<QWidget*>("sidebar"), nullptr);
    EXPECT_TRUE(open->findChild<QWidget*>("sidebar")->isHidden()); // no places bar

    std::unique_ptr<QFileDialog> save(
        fio.createDialog(fio.SavePictureDialog1, QFileDialog::AcceptSave));
    EXPECT_EQ(save->windowTitle(), "   ----- SAVING IMAGE FILE -----");
    EXPECT_EQ(save->defaultSuffix(), "TGA");
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite)); // asks before overwriting
    ASSERT_EQ(save->nameFilters().size(), 6);
    EXPECT_EQ(save->nameFilters()[0], "Supported Output Files (*.TGA *.BMP *.JPG *.PNG)");
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

// Each reader family keeps its message and says why beneath it; a reason ending in "…" is
// a beginning (the rest is the library's or the system's words).
TEST_F(ImageFileModuleTest, EachFailureShowsItsMessageAndItsReason) {
    using Bytes = std::vector<std::uint8_t>;
    const Bytes psdMode9 = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0,
                            3,   0,   0,   0,   1, 0, 0, 0, 1, 0, 8, 0, 5};
    Bytes notPcx(128, 0);
    testing::writeFileBytes(dir.file("cut.tga"),
                            {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 9, 0, 24});
    testing::writeFileBytes(dir.file("mode5.psd"), psdMode9);
    testing::writeFileBytes(dir.file("not.pcx"), notPcx);
    testing::writeFileBytes(dir.file("not.tif"), {'I', 'I', 42, 0, 200, 0, 0, 0});
    testing::writeFileBytes(dir.file("not.psp"), {'P', 'a', 'i', 'n', 't'});
    testing::writeFileBytes(dir.file("bad.bmp"), {'B', 'M', 0});
    testing::writeFileBytes(dir.file("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0, 2});
    testing::writeFileBytes(dir.file("not.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\r'});
    const QString scheme = "This file has a non supported compression scheme.";
    struct Case {
        const char* name;
        bool save;
        QString message;
        QString reason;
    };
    const Case cases[] = {
        {"anim.gif", false, ".GIF format not supported.", ""},
        {"missing.tga", false, scheme, "The file does not exist."},
        {"cut.tga", false, scheme, "The file ends after 17 of 18 bytes."},
        {"mode5.psd", false, scheme, "PSD: colour mode 5 is not read."},
        {"not.pcx", false, scheme, "PCX: the first byte is not 10 or 205."},
        {"not.tif", false, scheme, "TIFF: …"},
        {"not.psp", false, scheme, "PSP: …"},
        {"bad.bmp", false, "Bitmap image is not valid", "BMP: …"},
        {"bad.jpg", false, "JPEG error #…", "JPEG error #…"},
        {"not.png", false, scheme, "PNG: the file does not begin with the PNG signature."},
        {"name.gif", true, ".GIF format not supported.", ""},
        {"no/folder/x.bmp", true, "Cannot save " + path("no/folder/x.bmp") + ".",
         "The folder cannot be written (No such file or directory)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        reasons.clear();
        Bitmap picture = sample(2, 2);
        const Bitmap before = picture;
        std::uint8_t code = 0;
        EXPECT_FALSE(c.save
                         ? fio.SaveImageFile(ImageArea::of(picture), path(c.name))
                         : fio.LoadImageAs32BitsFile(ImageArea::of(picture), path(c.name), code));
        ASSERT_EQ(messages.size(), 1);
        for (const auto& [shown, expected] :
             {std::pair{messages[0], c.message}, std::pair{reasons[0], c.reason}}) {
            if (expected.endsWith(QChar(u'…')))
                EXPECT_TRUE(shown.startsWith(expected.chopped(1)) && shown.size() > expected.size())
                    << shown.toStdString();
            else
                EXPECT_EQ(shown, expected);
        }
        // A reason is one whole sentence.
        EXPECT_TRUE(reasons[0].isEmpty() || reasons[0].endsWith('.')) << reasons[0].toStdString();
        EXPECT_TRUE(picture == before);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("name.gif")));
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
    std::filesystem::copy_file(dir.file("p.tga"), dir.file("p.xyz"));
    PicturePreview preview;
    preview.showFile(path("p.tga"));
    EXPECT_EQ(preview.pictureSize(), QSize(40, 20));
    EXPECT_FALSE(preview.pixmap().isNull());
    preview.showFile(path("p.vda"));
    EXPECT_EQ(preview.pictureSize(), QSize(40, 20));
    preview.showFile(path("p.xyz"));
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
