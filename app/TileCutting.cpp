// Cutting tiles on the Source canvas: the size selector's texts, and the Source canvas's
// mouse handlers that turn a cut into the current tile and hand it to the Target for pasting.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"
#include "imaging/Resample.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace parvane::app {

namespace {

// The size a cut of w x h pixels becomes at a position of the size selector.
struct TileShape {
    int width;
    int height;
    bool scroll; // a 64 x 32 half, then repeated below itself
};

TileShape shapeForCut(SizePosition position, int w, int h) {
    constexpr int kTile = TMain::kTileSide;
    // Nearest multiple of a tile, an exact half rounding up; never less than one tile, so
    // that a thin selection still gives pixels along each side.
    const auto nearestTiles = [](int side) {
        return std::max(TMain::kTileSide, (side + 32) / 64 * 64);
    };
    switch (position) {
    case SizePosition::OneTile:
        return {kTile, kTile, false};
    case SizePosition::TwoTiles:
        return {2 * kTile, 2 * kTile, false};
    case SizePosition::FourTiles:
        return {4 * kTile, 4 * kTile, false};
    case SizePosition::NearestTiles:
        return {nearestTiles(w), nearestTiles(h), false};
    case SizePosition::ScrollTile:
        return {kTile, kTile / 2, true};
    case SizePosition::AsCut:
        break;
    }
    return {w, h, false};
}

// Every pixel of exactly the colour `from` becomes `to`; the others stay as they are.
void replaceColour(imaging::Bitmap& picture, imaging::Colour from, imaging::Colour to) {
    using imaging::PixelFormat;
    const int bytes = picture.format() == PixelFormat::Bits32   ? 4
                      : picture.format() == PixelFormat::Bits24 ? 3
                                                                : 0;
    for (int y = 0; y < picture.height(); ++y) {
        if (bytes == 0) {
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) == from)
                    picture.setPixel(x, y, to);
            continue;
        }
        std::uint8_t* p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += bytes)
            if (p[0] == from.blue && p[1] == from.green && p[2] == from.red) {
                p[0] = to.blue;
                p[1] = to.green;
                p[2] = to.red;
            }
    }
}

// True while the Source canvas shows the colour picker's pointer.
bool pickerActive(const canvas::TFrameStack& source, const QCursor& picker) {
    const QCursor shown = source.BasePanel->cursor();
    return source.BasePanel->testAttribute(Qt::WA_SetCursor) && shown.shape() == Qt::BitmapCursor &&
           shown.pixmap().cacheKey() == picker.pixmap().cacheKey();
}

// Resizes the Source's clip after a cut as the size selector says.
void shapeSourceClip(canvas::TFrameStack& source, SizePosition size) {
    const imaging::Rect& selection = source.SelectionRect;
    const TileShape shape = shapeForCut(size, selection.width(), selection.height());
    imaging::Bitmap& clip = source.Clip().bitmap;
    if (shape.width != clip.width() || shape.height != clip.height()) {
        // The cut itself is the resampler's source: it is replaced by the result anyway.
        imaging::Bitmap cut = std::move(clip);
        imaging::ResampleBitmap(shape.width, shape.height, imaging::ResamplingFilter::Mitchell, 0,
                                cut, clip);
    }
    if (shape.scroll) {
        // Two equal halves, so that the tile scrolls without a seam.
        clip.resize(TMain::kTileSide, TMain::kTileSide, imaging::colours::kBlack);
        clip.copyRect({0, TMain::kTileSide / 2}, clip,
                      imaging::Rect::fromSize(0, 0, TMain::kTileSide, TMain::kTileSide / 2));
    }
}

} // namespace

void TMain::ClipTileSizeScrollChange() {
    // The arrows step through the six resize modes and wrap around: 0 becomes 6 and 7
    // becomes 1. Setting the wrapped position runs this handler again, which writes the text.
    constexpr int kCount = kLastSizePosition - kFirstSizePosition + 1;
    const int position = ClipTileSizeScroll->value();
    const int wrapped = kFirstSizePosition + ((position - kFirstSizePosition + kCount) % kCount);
    if (wrapped != position)
        ClipTileSizeScroll->setValue(wrapped);
    if (position >= kFirstSizePosition && position <= kLastSizePosition)
        ClipTileSize->setText(interfaceTexts().ClipTileSizes.value(position - kFirstSizePosition));
}

void TMain::SourceMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    using canvas::CanvasMode;
    // With the colour picker armed, a click only ends picking; the sample keeps the colour
    // of the last move.
    if (pickerActive(*Source, PickerCursor)) {
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
        ClipTileImage->setPicture(Source->Clip().bitmap);
}

void TMain::SourceMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (pickerActive(*Source, PickerCursor)) {
        const imaging::Bitmap& picture = Source->Bitmap();
        if (picture.rect().contains(x, y)) {
            SourceColourSample->setColour(toQColor(picture.pixel(x, y)));
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
        shapeSourceClip(*Source, static_cast<SizePosition>(ClipTileSizeScroll->value()));
        // The viewer's copy has the picked colour made transparent; the Source picture and
        // its clip keep it.
        imaging::Bitmap tile = Source->Clip().bitmap;
        if (SpeedButtonPicker->isChecked())
            replaceColour(tile, fromQColor(SourceColourSample->colour()), MagentaColour);
        MakeCurrentTile(tile);
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
