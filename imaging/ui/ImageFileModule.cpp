#include "imaging/ui/ImageFileModule.h"

#include "imaging/FileFormatList.h"
#include "imaging/PixelFormatConversions.h"
#include "imaging/ui/ReasonText.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <cstring>
#include <memory>

namespace parvane::imaging {

namespace {

// The module's words are looked up in the interface's language when they are shown.
constexpr const char* kContext = "parvane::imaging::TFIO";

QString translated(const char* english) {
    return QCoreApplication::translate(kContext, english);
}

constexpr const char* kOpenTitle =
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "   ----- LOADING IMAGE FILE -----");
constexpr const char* kSaveTitle =
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "   ----- SAVING IMAGE FILE -----");
// The labels of the dialogs' filter rows and the fixed messages of the readers, for the
// translation catalogue.
[[maybe_unused]] constexpr const char* kCatalogueOnly[] = {
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Supported Input Files"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Supported Output Files"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Windows or OS/2 Bitmap (*.bmp)"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Jpeg File Interchange (*.jpg)"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Tagged Image File (*.tif)"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "All Files (*.*)"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO",
                      "This file has a non supported compression scheme."),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Bitmap image is not valid"),
    QT_TRANSLATE_NOOP("parvane::imaging::TFIO", "Not enough memory to read this picture."),
};
// Each row lists every spelling that loads (".jpeg" beside ".jpg", ...).
constexpr const char* kOpenFilter =
    "Supported Input Files|*.BMP;*.JPG;*.JPEG;*.TGA;*.TIF;*.TIFF;*.PSD;*.PSP;*.PSPIMAGE;*.PCX;"
    "*.PNG|Windows or OS/2 Bitmap (*.bmp)|*.BMP|Jpeg File Interchange (*.jpg)|*.JPG;*.JPEG|"
    "Truevision Targa (*.tga)|*.TGA|Tagged Image File (*.tif)|*.TIF;*.TIFF|"
    "Adobe Photoshop (*.psd)|*.PSD|Paint Shop Pro Image (*.psp)|*.PSP;*.PSPIMAGE|"
    "ZSoft Paintbrush (*.pcx)|*.PCX|Portable Network Graphics (*.png)|*.PNG|"
    "All Files (*.*)|*.*";
constexpr const char* kSaveFilter =
    "Supported Output Files|*.TGA;*.BMP;*.JPG;*.PNG|Windows or OS/2 Bitmap (*.bmp)|*.BMP|"
    "Jpeg File Interchange (*.jpg)|*.JPG|Truevision Targa (*.tga)|*.TGA|"
    "Portable Network Graphics (*.png)|*.PNG|All Files (*.*)|*.*";
constexpr int kPreviewSide = 200;

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(name.toStdString());
}

// A 32-bit copy of the bitmap as a QImage (alpha ignored, as the canvas shows pictures).
QImage toImage(const Bitmap& bitmap) {
    const Bitmap working = convertedTo32Bits(bitmap);
    QImage image(working.width(), working.height(), QImage::Format_RGB32);
    for (int y = 0; y < working.height(); ++y)
        std::memcpy(image.scanLine(y), working.row(y),
                    4 * static_cast<std::size_t>(working.width()));
    return image;
}

} // namespace

PicturePreview::PicturePreview(QWidget* parent) : QLabel(parent) {
    setObjectName("picturePreview");
    setAlignment(Qt::AlignCenter);
    setMinimumSize(kPreviewSide, kPreviewSide);
    setFrameShape(QFrame::StyledPanel);
}

void PicturePreview::showFileWhenDrawn(const QString& path) {
    ++request_;
    pictureSize_ = {};
    clear();
    pendingPath_ = path;
    pending_ = true;
    update();
}

void PicturePreview::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!pending_)
        return;
    pending_ = false;
    // Queued, so that the dialog's first picture reaches the screen before the file is read.
    QMetaObject::invokeMethod(
        this,
        [this, request = request_, path = pendingPath_] {
            if (request == request_)
                showFile(path);
        },
        Qt::QueuedConnection);
}

void PicturePreview::showFile(const QString& path) {
    ++request_;
    pending_ = false;
    pictureSize_ = {};
    const QFileInfo info(path);
    if (!info.isFile()) {
        clear();
        return;
    }
    const DecodeResult result = loadRegisteredPicture(toPath(path));
    if (!result) {
        setPixmap({});
        setText(QCoreApplication::translate("parvane::imaging::PicturePreview", "No preview"));
        return;
    }
    const Bitmap& bitmap = result.bitmap();
    pictureSize_ = {bitmap.width(), bitmap.height()};
    // The whole picture is scaled down into the pane, keeping its proportions.
    const QImage image = toImage(bitmap);
    setPixmap(QPixmap::fromImage(
        image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    setToolTip(QString("%1 x %2").arg(bitmap.width()).arg(bitmap.height()));
}

TFIO::TFIO(QWidget* dialogParent) : dialogParent_(dialogParent) {
    FormOnCreate();
    runDialog = [](QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    showMessage = [this](const QString& text, const QString& reason) {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                        QMessageBox::Ok, dialogParent_);
        box.setInformativeText(reason);
        box.exec();
    };
}

void TFIO::FormOnCreate() {
    OpenPictureDialog1.Title = kOpenTitle;
    OpenPictureDialog1.Filter = kOpenFilter;
    SavePictureDialog1.Title = kSaveTitle;
    SavePictureDialog1.Filter = kSaveFilter;
    SavePictureDialog1.DefaultExt = "TGA";
    SavePictureDialog1.ConfirmOverwrite = true;
}

QStringList TFIO::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        // "*.*" means every file, as the row's label says; Qt's wildcard would insist on a
        // dot and hide the names without an extension.
        for (QString& pattern : patterns)
            if (pattern == "*.*")
                pattern = "*";
        filters << QString("%1 (%2)").arg(translated(parts[i].toUtf8().constData()),
                                          patterns.join(' '));
    }
    return filters;
}

QFileDialog* TFIO::createDialog(const PictureDialogSettings& settings,
                                QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(dialogParent_, translated(settings.Title.toUtf8().constData()));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    // Qt's own dialog, so that the preview pane can sit beside the file list; the labels
    // already name their patterns, so the pattern details are not repeated.
    dialog->setOptions(
        QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
        (settings.ConfirmOverwrite ? QFileDialog::Options{} : QFileDialog::DontConfirmOverwrite));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(settings.Filter);
    dialog->setNameFilters(filters);
    const int index = settings.FilterIndex - 1;
    if (index >= 0 && index < filters.size())
        dialog->selectNameFilter(filters[index]);
    if (!settings.DefaultExt.isEmpty())
        dialog->setDefaultSuffix(settings.DefaultExt);
    if (!settings.FileName.isEmpty()) {
        const QFileInfo info(settings.FileName);
        dialog->setDirectory(info.absolutePath());
        dialog->selectFile(info.fileName());
    }

    // No places bar: the dialog shows the folder and its files only.
    if (auto* sidebar = dialog->findChild<QWidget*>("sidebar"))
        sidebar->hide();

    auto* preview = new PicturePreview(dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showFile);
    // The preset name selects its entry without a change signal: show it from the start,
    // once the dialog is on the screen (the earlier picture may be large).
    if (!settings.FileName.isEmpty())
        preview->showFileWhenDrawn(settings.FileName);
    return dialog;
}

bool TFIO::runPictureDialog(PictureDialogSettings& settings, QFileDialog::AcceptMode mode) {
    std::unique_ptr<QFileDialog> dialog(createDialog(settings, mode));
    const bool chosen = runDialog(*dialog);
    if (chosen && !dialog->selectedFiles().isEmpty())
        settings.FileName = dialog->selectedFiles().first();
    // With the details hidden the dialog names its filter by the label alone.
    const QStringList filters = dialog->nameFilters();
    const QString selected = dialog->selectedNameFilter();
    for (int i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + " (")) {
            settings.FilterIndex = i + 1;
            break;
        }
    dialog.reset();
    // Let the area under the dialog repaint before the file is read or written.
    QCoreApplication::processEvents();
    return chosen;
}

void TFIO::ReportFileError(FileErrorKind kind, const QString& text, const QString& reason) {
    if (kind == FileErrorKind::FormatNotSupported)
        showMessage(
            QCoreApplication::translate("parvane::imaging::TFIO", "%1 format not supported.")
                .arg(text),
            reason);
    else
        showMessage(translated(kCompressionSchemeMessage), reason);
}

void TFIO::report(const FileResult& result) {
    const QString reason = reasonText(failureReason(result));
    switch (result.shown) {
    case FileResult::Message::None:
        return;
    case FileResult::Message::FormatNotSupported:
        ReportFileError(FileErrorKind::FormatNotSupported,
                        QString::fromStdString(result.message)
                            .chopped(static_cast<int>(std::strlen(" format not supported."))),
                        reason);
        return;
    case FileResult::Message::CompressionScheme:
        ReportFileError(FileErrorKind::CompressionScheme, {}, reason);
        return;
    case FileResult::Message::ReaderError: {
        // The readers' fixed messages have their translation; libjpeg's numbered ones keep
        // their number.
        const QString message = QString::fromStdString(result.message);
        const QString jpeg = QStringLiteral("JPEG error #");
        if (message.startsWith(jpeg))
            showMessage(QCoreApplication::translate("parvane::imaging::TFIO", "JPEG error #%1")
                            .arg(message.mid(jpeg.size())),
                        reason);
        else
            showMessage(translated(result.message.c_str()), reason);
        return;
    }
    case FileResult::Message::WriteError:
        // Names the file; the reason beneath carries the system's words.
        showMessage(QString::fromStdString(result.message), reason);
        return;
    }
}

bool TFIO::LoadImageFile(ImageArea area, const QString& fileName) {
    const FileResult result = imaging::loadImageFile(toPath(fileName), area.picture);
    report(result);
    return result.ok();
}

bool TFIO::LoadImageAs32BitsFile(ImageArea area, const QString& fileName,
                                 std::uint8_t& pixelFormatCode) {
    const FileResult result =
        imaging::loadImageAs32BitsFile(toPath(fileName), area.picture, pixelFormatCode);
    report(result);
    return result.ok();
}

bool TFIO::LoadImageAs32BitsDialog(ImageArea area, std::uint8_t& pixelFormatCode) {
    pixelFormatCode = 0;
    if (!runPictureDialog(OpenPictureDialog1, QFileDialog::AcceptOpen))
        return false;
    return LoadImageAs32BitsFile(area, OpenPictureDialog1.FileName, pixelFormatCode);
}

bool TFIO::LoadImageDialog(ImageArea area) {
    if (!runPictureDialog(OpenPictureDialog1, QFileDialog::AcceptOpen))
        return false;
    return LoadImageFile(area, OpenPictureDialog1.FileName);
}

bool TFIO::SaveImageFile(ImageArea area, const QString& fileName) {
    const FileResult result = imaging::saveImageFile(area.picture, toPath(fileName));
    report(result);
    return result.ok();
}

bool TFIO::SaveImageAs24BitsFile(ImageArea area, const QString& fileName) {
    const FileResult result =
        imaging::saveImageAs24BitsFile(area.picture, area.width, area.height, toPath(fileName));
    report(result);
    return result.ok();
}

bool TFIO::SaveImageAs24BitsDialog(ImageArea area) {
    if (!runPictureDialog(SavePictureDialog1, QFileDialog::AcceptSave))
        return false;
    return SaveImageAs24BitsFile(area, SavePictureDialog1.FileName);
}

bool TFIO::SaveImageDialog(ImageArea area) {
    if (!runPictureDialog(SavePictureDialog1, QFileDialog::AcceptSave))
        return false;
    return SaveImageFile(area, SavePictureDialog1.FileName);
}

} // namespace parvane::imaging
