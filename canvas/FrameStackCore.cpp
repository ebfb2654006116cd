#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace parvane::canvas {

using imaging::PixelFormat;

namespace {

// Cell sizes the arithmetic can rely on: a cell is at least one pixel and no larger than
// the largest bitmap side, whatever the owner wrote into the fields.
int usableCell(int size) {
    return std::clamp(size, 1, imaging::Bitmap::kMaxSide);
}

} // namespace

FrameStackCore::FrameStackCore()
    : layers_{nullptr,  &L1_Image,     &L2_Alpha,  &L3_Temp,   &L4_Clip,
              &L5_Grid, &L6_Selection, &L7_Cursor, &L8_Overlay} {
    // The Image is a picture in its own right, always kept whole.
    L1_Image.bitmap.whole();
}

int FrameStackCore::cellW() const {
    return usableCell(CellWidth);
}

int FrameStackCore::cellH() const {
    return usableCell(CellHeight);
}

void FrameStackCore::markDirty(const Rect& area) {
    const Rect r = area.intersected({0, 0, portWidth_, portHeight_});
    if (r.isEmpty())
        return;
    dirty_ = dirty_.isEmpty() ? r : dirty_.united(r);
    if (host_)
        host_->areaChanged(r);
}

void FrameStackCore::markLayerDirty(const Layer& layer) {
    markDirty(layer.screenRect(portWidth_, portHeight_));
}

void FrameStackCore::Invalidate(const Rect& area) {
    markDirty(area);
}

void FrameStackCore::Invalidate() {
    markDirty({0, 0, portWidth_, portHeight_});
}

Rect FrameStackCore::takeDirtyArea() {
    const Rect r = dirty_;
    dirty_ = {};
    return r;
}

void FrameStackCore::setLayerVisible(Layer& layer, bool visible) {
    if (layer.visible == visible)
        return;
    layer.visible = visible;
    markLayerDirty(layer);
    // The alpha view is as large as the picture: it is released when hidden and made again
    // when next shown.
    if (&layer == &L2_Alpha && !visible && L2_Alpha.bitmap.keptWhole()) {
        L2_Alpha.bitmap.makeBlank(L2_Alpha.bitmap.width(), L2_Alpha.bitmap.height());
        alphaViewReleased_ = true;
    } else if (&layer == &L2_Alpha && visible && alphaViewReleased_) {
        try {
            ExtractAlpha();
        } catch (const std::bad_alloc&) {
            // No room for a second picture: the view stays black rather than failing.
            L2_Alpha.bitmap.makeBlank(L1_Image.bitmap.width(), L1_Image.bitmap.height());
        }
    }
}

void FrameStackCore::moveLayer(Layer& layer, int left, int top) {
    if (layer.left == left && layer.top == top)
        return;
    if (layer.visible)
        markLayerDirty(layer);
    layer.left = left;
    layer.top = top;
    if (layer.visible)
        markLayerDirty(layer);
}

void FrameStackCore::setPort(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != portWidth_ || height != portHeight_) {
        portWidth_ = width;
        portHeight_ = height;
        if (host_)
            host_->portResized(width, height);
    }
    Invalidate();
}

void FrameStackCore::setBitmap(const imaging::Bitmap& picture) {
    L1_Image.bitmap = picture;
    markLayerDirty(L1_Image);
}

void FrameStackCore::setBitmap(imaging::Bitmap&& picture) {
    L1_Image.bitmap = std::move(picture);
    markLayerDirty(L1_Image);
}

void FrameStackCore::setAlpha(const imaging::Bitmap& picture) {
    L2_Alpha.bitmap = picture;
    alphaViewReleased_ = false;
    markLayerDirty(L2_Alpha);
}

void FrameStackCore::setClip(const imaging::Bitmap& picture) {
    if (L4_Clip.visible)
        markLayerDirty(L4_Clip);
    L4_Clip.bitmap = picture;
    if (L4_Clip.visible)
        markLayerDirty(L4_Clip);
}

void FrameStackCore::setOverlay(const imaging::Bitmap& picture) {
    L8_Overlay.bitmap = picture;
    markLayerDirty(L8_Overlay);
}

void FrameStackCore::resizeUpperLayers(int width, int height) {
    for (int i : {2, 3, 5, 6, 8}) {
        Layer& l = layer(i);
        if (l.bitmap.isEmpty() && l.bitmap.format() != PixelFormat::Bits32)
            l.bitmap = imaging::Bitmap(0, 0, PixelFormat::Bits32);
        if (i == 6) {
            // The selection layer's paint is the colour its frames are drawn in, not a fill:
            // grown in it, the added area would show as a block of frame colour while grabbing.
            l.bitmap.resize(width, std::max(height, kMinSelectionHeight), imaging::colours::kBlack);
            continue;
        }
        l.resize(width, height);
    }
}

void FrameStackCore::InitStack(int width, int height) {
    // The picture an animation played on is cleared below: further steps would only move
    // the cells of whatever is pasted on the fresh picture.
    abandonAnimation();
    width = std::max(width, 0);
    height = std::max(height, 0);
    TransparentColor = imaging::colours::kBlack;
    FillColor = {128, 0, 0};
    GridColor = {224, 224, 224};
    GrabColor = imaging::colours::kYellow;
    RangeColor = imaging::colours::kGreen;

    // Every layer starts filling the panel, hidden, see-through and black over the port.
    const Rect port{0, 0, portWidth_, portHeight_};
    for (int i = 1; i <= 8; ++i) {
        Layer& l = layer(i);
        l.left = 0;
        l.top = 0;
        l.width = portWidth_;
        l.height = portHeight_;
        l.aligned = true;
        l.autoSize = false;
        l.visible = false;
        l.transparent = true;
        l.paint = imaging::colours::kBlack;
        l.bitmap.fillRect(port, imaging::colours::kBlack);
    }
    L1_Image.transparent = false;
    L1_Image.visible = true;
    L2_Alpha.transparent = false;
    L3_Temp.aligned = false; // keeps the panel's size of this moment
    L4_Clip.transparent = false;
    L4_Clip.aligned = false;
    L4_Clip.autoSize = true;
    L4_Clip.left = kParkedLeft;
    L6_Selection.aligned = false;
    L6_Selection.autoSize = true;
    L7_Cursor.aligned = false;
    L7_Cursor.autoSize = true;
    L7_Cursor.visible = true;
    L7_Cursor.left = kParkedLeft;
    L8_Overlay.visible = true;

    loadCursorPicture(toolLook(TransformTool::None).cursorName);

    if (L1_Image.bitmap.isEmpty() && L1_Image.bitmap.format() != PixelFormat::Bits32)
        L1_Image.bitmap = imaging::Bitmap(0, 0, PixelFormat::Bits32);
    L1_Image.resize(width, height);
    resizeUpperLayers(width, height);
    selectionMarkCount_ = 0;
    selectionNeedsFullClear_ = false; // cleared above, and any added area is black
    alphaViewReleased_ = false;

    setPort(width, height);
    InitGrid(64, 64);

    Mode = CanvasMode::Idle;
    AutoExport = false;
    AnimRunning = false;
}

void FrameStackCore::UpdateStack() {
    const int width = L1_Image.bitmap.width();
    const int height = L1_Image.bitmap.height();
    L1_Image.paint = FillColor;
    resizeUpperLayers(width, height);
    setPort(width, height);
}

void FrameStackCore::UpdateImagePort(int width, int height) {
    setPort(width, height);
}

void FrameStackCore::ExtractAlpha() {
    // The earlier view goes before the new one is made.
    L2_Alpha.bitmap.makeBlank(0, 0);
    L2_Alpha.bitmap = L1_Image.bitmap.keptBitmap();
    alphaViewReleased_ = false;
    imaging::Bitmap& alpha = L2_Alpha.bitmap.drawn();
    const int width = alpha.width();
    switch (alpha.format()) {
    case PixelFormat::Bits16:
    case PixelFormat::Bits24:
        alpha.fill(L2_Alpha.paint);
        break;
    case PixelFormat::Bits15:
    case PixelFormat::Custom:
        // The top bit of each little-endian word is the pixel's transparency bit.
        for (int y = 0; y < alpha.height(); ++y) {
            std::uint8_t* p = alpha.row(y);
            for (int x = 0; x < width; ++x, p += 2) {
                const std::uint8_t v = (p[1] & 0x80) ? 0xFF : 0x00;
                p[0] = v;
                p[1] = v;
            }
        }
        break;
    case PixelFormat::Bits32:
        for (int y = 0; y < alpha.height(); ++y) {
            std::uint8_t* p = alpha.row(y);
            for (int x = 0; x < width; ++x, p += 4)
                p[0] = p[1] = p[2] = p[3];
        }
        break;
    default:
        break; // paletted and device pictures are shown as they are
    }
    markLayerDirty(L2_Alpha);
}

void FrameStackCore::composeMarkedLayer(const Layer& l, const Rect& shown, int ox, int oy,
                                        const Rect& area, imaging::Bitmap& out) {
    // The layer's pixels are drawn a piece of a row at a time into a buffer on the stack and
    // then composed as a stored layer's row would be, black letting the layers below show.
    constexpr int kPiece = 512;
    std::array<std::uint8_t, 4 * kPiece> piece;
    for (int y = shown.top; y < shown.bottom; ++y) {
        std::uint8_t* dst =
            out.row(y - area.top) + 4 * static_cast<std::size_t>(shown.left - area.left);
        for (int x = shown.left; x < shown.right; x += kPiece) {
            const int count = std::min(kPiece, shown.right - x);
            const std::size_t bytes = 4 * static_cast<std::size_t>(count);
            std::memset(piece.data(), 0, bytes);
            l.bitmap.drawMarkedSpan(y - oy, x - ox, x - ox + count, piece.data());
            if (!l.transparent) {
                std::memcpy(dst, piece.data(), bytes);
            } else {
                const std::uint8_t* src = piece.data();
                for (int i = 0; i < count; ++i, src += 4)
                    if (src[0] | src[1] | src[2])
                        std::memcpy(dst + 4 * static_cast<std::size_t>(i), src, 4);
            }
            dst += bytes;
        }
    }
}

void FrameStackCore::Composite(const Rect& area, imaging::Bitmap& out) const {
    const Rect port{0, 0, portWidth_, portHeight_};
    const Rect a = area.intersected(port);
    if (a.isEmpty() || out.format() != PixelFormat::Bits32 || out.width() < a.width() ||
        out.height() < a.height())
        return;
    // The panel itself is black.
    for (int y = 0; y < a.height(); ++y)
        std::memset(out.row(y), 0, 4 * static_cast<std::size_t>(a.width()));

    for (int i = 1; i <= 8; ++i) {
        const Layer& l = layer(i);
        if (!l.visible)
            continue;
        const Rect screen = l.screenRect(portWidth_, portHeight_).intersected(port);
        // The layer draws its bitmap from its top-left corner, cut to its on-screen size.
        const Rect shown = Rect::fromSize(l.aligned ? 0 : l.left, l.aligned ? 0 : l.top,
                                          l.bitmap.width(), l.bitmap.height())
                               .intersected(screen)
                               .intersected(a);
        if (shown.isEmpty())
            continue;
        const int ox = l.aligned ? 0 : l.left;
        const int oy = l.aligned ? 0 : l.top;
        if (!l.bitmap.keptWhole()) {
            composeMarkedLayer(l, shown, ox, oy, a, out);
            continue;
        }
        const imaging::Bitmap& b = l.bitmap.keptBitmap();
        const bool wide = b.format() == PixelFormat::Bits32 || b.format() == PixelFormat::Device;
        for (int y = shown.top; y < shown.bottom; ++y) {
            std::uint8_t* dst =
                out.row(y - a.top) + 4 * static_cast<std::size_t>(shown.left - a.left);
            const int sy = y - oy;
            const int sx0 = shown.left - ox;
            const int count = shown.width();
            if (wide) {
                const std::uint8_t* src = b.row(sy) + 4 * static_cast<std::size_t>(sx0);
                if (!l.transparent) {
                    std::memcpy(dst, src, 4 * static_cast<std::size_t>(count));
                    continue;
                }
                for (int x = 0; x < count; ++x, src += 4, dst += 4) {
                    if (src[0] | src[1] | src[2]) {
                        dst[0] = src[0];
                        dst[1] = src[1];
                        dst[2] = src[2];
                        dst[3] = src[3];
                    }
                }
                continue;
            }
            for (int x = 0; x < count; ++x, dst += 4) {
                const Colour c = b.pixel(sx0 + x, sy);
                if (l.transparent && c == imaging::colours::kBlack)
                    continue;
                dst[0] = c.blue;
                dst[1] = c.green;
                dst[2] = c.red;
                dst[3] = 0;
            }
        }
    }
}

} // namespace parvane::canvas
