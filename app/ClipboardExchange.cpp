// Tiles in and out through the system clipboard: the Export and Import buttons, the two
// AUTO boxes (at most one of them checked), and the reaction to clipboard changes.
#include "app/MainForm.h"
#include "canvas/ImageStack.h"
#include "imaging/BmpCodec.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"

#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QToolButton>

namespace parvane::app {

namespace {

// The size that the clipboard's picture declares, read without decoding its pixels.
QSize declaredPictureSize(const QMimeData& data) {
    for (const QString& format : data.formats()) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        QByteArray bytes = data.data(format);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        if (const QSize size = reader.size(); size.isValid())
            return size;
    }
    return {};
}

void allowClipboardPictures() {
    // Qt decodes the clipboard's pictures itself and refuses those past 256 MiB; the picture
    // loaders' rule, 1 GiB of 32-bit pixels, is the one the program keeps to. Qt may decode at
    // up to 8 bytes a pixel (16-bit channels) before the picture becomes a working bitmap.
    constexpr std::int64_t kMiB = std::int64_t{1} << 20;
    QImageReader::setAllocationLimit(static_cast<int>(2 * imaging::Bitmap::kMaxPixelBytes / kMiB) +
                                     1);
}

} // namespace

void TMain::ExportToClipboard() {
    // The whole current tile, not only the 64 x 64 the viewer shows.
    const imaging::Bitmap& tile = ClipTileImage->picture();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || tile.isEmpty())
        return;
    clipboard->setImage(toQImage(tile).copy());
}

void TMain::ImportFromClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasImage())
        return;
    // A picture of any size becomes the current tile at its own size; a paste clips it at
    // the Target's edges. Only what the picture loaders would refuse is refused, and said,
    // before its pixels are decoded where its size can be read first.
    const auto refuse = [this](const char* message) {
        FIO().showMessage(QCoreApplication::translate("parvane::imaging::TFIO", message), {});
    };
    const QSize declared = declaredPictureSize(*data);
    if (declared.isValid() && !imaging::Bitmap::fitsInMemory(declared.width(), declared.height()))
        return refuse(imaging::kNotEnoughMemoryMessage);
    allowClipboardPictures();
    const QImage image = clipboard->image();
    if (image.isNull())
        return refuse(imaging::kBmpNotValidMessage);
    if (!imaging::Bitmap::fitsInMemory(image.width(), image.height()))
        return refuse(imaging::kNotEnoughMemoryMessage);
    MakeCurrentTile(canvas::bitmapFromImage(image));
}

void TMain::CheckBoxExportClick() {
    if (CheckBoxExport->isChecked())
        CheckBoxImport->setChecked(false);
    NoActiveControls();
    Source->AutoExport = CheckBoxExport->isChecked();
    Target->AutoExport = CheckBoxExport->isChecked();
}

void TMain::CheckBoxImportClick() {
    if (CheckBoxImport->isChecked())
        CheckBoxExport->setChecked(false);
    NoActiveControls();
}

void TMain::ClipboardChanged() {
    // Every process hears of clipboard changes directly, so there is no chain to pass the
    // news along; a change is taken only while AUTO IMPORT is checked. Because the boxes
    // exclude each other, the window never imports what it has just exported itself.
    if (CheckBoxImport->isChecked())
        ImportFromClipboard();
}

} // namespace parvane::app
