// Tiles in and out through the system clipboard: the Export and Import buttons, the two
// AUTO boxes (at most one of them checked), and the reaction to clipboard changes.
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QToolButton>

namespace parvane::app {

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
    const QImage image = clipboard->image();
    // The tile is kept three times (viewer, Target clip, paste frame); a picture larger than
    // a whole texture set could never be pasted anyway, so it is ignored like any other
    // content that is not a tile. So is a thin strip wider or taller than any bitmap can be.
    const qint64 pixels = qint64(image.width()) * image.height();
    if (image.isNull() || pixels > qint64(kMaxTargetWidth) * kMaxTargetHeight ||
        !imaging::Bitmap::fitsInMemory(image.width(), image.height()))
        return;
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
