// Cutting tiles on the Source canvas: the size selector's texts, and the Source canvas's
// mouse handlers that turn a cut into the current tile and hand it to the Target for pasting.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

namespace parvane::app {

void TMain::ClipTileSizeScrollChange() {
    // The arrows step through the six resize modes and wrap around: 0 becomes 6 and 7
    // becomes 1. Setting the wrapped position runs this handler again, which writes the text.
    const int position = ClipTileSizeScroll->value();
    const int wrapped = 1 + ((position + 5) % 6);
    if (wrapped != position)
        ClipTileSizeScroll->setValue(wrapped);
    if (position >= 1 && position <= 6)
        ClipTileSize->setText(englishTexts().ClipTileSizes.value(position - 1));
}

bool TMain::pickerActive() const {
    const QCursor shown = Source->BasePanel->cursor();
    return Source->BasePanel->testAttribute(Qt::WA_SetCursor) &&
           shown.shape() == Qt::BitmapCursor &&
           shown.pixmap().cacheKey() == PickerCursor.pixmap().cacheKey();
}

void TMain::SourceMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    using canvas::CanvasMode;
    // With the colour picker armed, a click only ends picking; the sample keeps the colour
    // of the last move.
    if (pickerActive()) {
        Source->BasePanel->unsetCursor();
        return;
    }
    // A new cut ends any pasting, transformation or range pending on the Target.
    if (Source->Mode == CanvasMode::Idle) {
        Target->SetModeToIdle();
        SpeedButtonNone->setChecked(true);
    }
    Source->MouseIsDown(button, shift, x, y);
    // The viewer follows the first cell of a cut at once. A press that cuts nothing (a range
    // begun, an animation stopped) leaves the current tile alone: the Source's clip then
    // holds an older cut, and the viewer is what the Export button sends.
    if (Source->Mode == CanvasMode::Grab)
        showInViewer(Source->Clip().bitmap);
}

void TMain::SourceMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (pickerActive()) {
        const imaging::Bitmap& picture = Source->Bitmap();
        if (picture.rect().contains(x, y)) {
            const imaging::Colour c = picture.pixel(x, y);
            SourceColourSample->setColour(QColor(c.red, c.green, c.blue));
        }
        return;
    }
    Source->MouseIsOnMove(shift, x, y);
}

void TMain::SourceMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    using canvas::CanvasMode;
    // The release that ends a double click cuts nothing.
    if (SourceDoubleClicked) {
        SourceDoubleClicked = false;
        Source->SetModeToIdle();
        return;
    }
    const bool wasCut = Source->Mode == CanvasMode::Grab;
    const bool wasRange = Source->Mode == CanvasMode::Range;
    Source->MouseIsUp(button, shift, x, y);
    if (wasCut) {
        // The cut becomes the current tile, ready to paste on the Target.
        showInViewer(Source->Clip().bitmap);
        Target->setClip(ClipTileImage->picture());
        Target->SetModeToPaste();
    } else if (wasRange) {
        SourcePageControl->setCurrentWidget(TabAnimSource);
        TrackBarSource->setValue(1);
    }
}

void TMain::SourceDblClick() {
    SourceDoubleClicked = true;
    Source->MouseIsDoubleClick();
    // The View button shows whether the grid is visible now.
    SpeedButtonView->setChecked(Source->Grid().visible);
}

} // namespace parvane::app
