// The pixels of one canvas layer. A layer that holds a real picture (the Image, the clip, a
// cursor picture, the alpha view) keeps it whole as a bitmap. A layer that holds little (the
// grid, the selection frame and range outline, the paste outline, a black layer) is kept as
// what it holds and drawn only over the area being composed, so that its cost follows what it
// shows rather than the picture's size.
//
// Whoever asks for the bitmap of a layer kept that way (the conversions to imaging::Bitmap,
// pixel(), row(), ==) gets it drawn in full at that moment; from then on the layer stays whole
// and the canvas draws on that bitmap, so a reference taken once keeps showing the layer as it
// changes. Its size and format are known without drawing it.
#pragma once

#include "canvas/CanvasHost.h"
#include "canvas/CellGeometry.h"
#include "imaging/Bitmap.h"

#include <array>
#include <cstdint>

namespace parvane::canvas {

// The grid as UpdateGrid drew it: dotted cell outlines, lines across the layer or nothing,
// for the grid geometry of that moment.
struct GridMarks {
    CellGeometry cells{1, 1};
    GridStyle style = GridStyle::None;
    imaging::Colour colour;     // lines, and the grid's own dots combined with the ring's
    imaging::Colour ringColour; // dots of the ring of cells around the grid
};

// Whether (x, y) lies inside one of the non-empty rectangles (the insides of a range outline).
inline bool insideAny(const std::array<imaging::Rect, 3>& rects, int x, int y) {
    for (const imaging::Rect& r : rects)
        if (!r.isEmpty() && r.contains(x, y))
            return true;
    return false;
}

// A one-pixel border on a layer: a frame along the inside of rect or, for one area of a range
// outline, the same border less the pixels inside any of the outline's three areas. Only the
// part inside clip (the layer as it was when drawn, cut by later crops) holds colour.
struct BorderMark {
    imaging::Rect rect;
    imaging::Colour colour;
    imaging::Rect clip;
    bool outlineArea = false;
    std::array<imaging::Rect, 3> insides{};
};

class LayerPicture {
public:
    // Borders a layer kept as marks holds at most; the canvas keeps the whole bitmap beyond.
    static constexpr int kMaxMarks = 8;

    // A black 32-bit layer of no size, kept as marks.
    LayerPicture() = default;

    // --- The whole bitmap (drawn on demand) ----------------------------------------------
    imaging::Bitmap& whole();
    const imaging::Bitmap& whole() const;
    operator imaging::Bitmap&() { return whole(); }
    operator const imaging::Bitmap&() const { return whole(); }
    LayerPicture& operator=(const imaging::Bitmap& picture);
    LayerPicture& operator=(imaging::Bitmap&& picture);
    friend bool operator==(const LayerPicture& a, const imaging::Bitmap& b) {
        return a.whole() == b;
    }
    friend bool operator==(const LayerPicture& a, const LayerPicture& b) {
        return a.whole() == b.whole();
    }

    // --- What a bitmap offers, without drawing where the answer is known -----------------
    int width() const { return whole_ ? picture_.width() : width_; }
    int height() const { return whole_ ? picture_.height() : height_; }
    bool isEmpty() const { return width() == 0 || height() == 0; }
    imaging::Rect rect() const { return {0, 0, width(), height()}; }
    imaging::PixelFormat format() const {
        return whole_ ? picture_.format() : imaging::PixelFormat::Bits32;
    }
    int bitsPerPixel() const { return imaging::bitsPerPixel(format()); }
    std::size_t stride() const { return whole().stride(); }
    std::uint8_t* row(int y) { return whole().row(y); }
    const std::uint8_t* row(int y) const { return whole().row(y); }
    std::span<std::uint8_t> bytes() { return whole().bytes(); }
    std::span<const std::uint8_t> bytes() const { return whole().bytes(); }
    const std::vector<imaging::Colour>& palette() const { return whole().palette(); }
    const imaging::BitfieldMasks& masks() const { return whole().masks(); }
    imaging::Colour pixel(int x, int y) const { return whole().pixel(x, y); }
    std::uint8_t alphaAt(int x, int y) const { return whole().alphaAt(x, y); }
    std::uint8_t indexAt(int x, int y) const { return whole().indexAt(x, y); }
    imaging::Bitmap converted(imaging::PixelFormat f) const { return whole().converted(f); }
    void setPalette(std::vector<imaging::Colour> p) { whole().setPalette(std::move(p)); }
    void setMasks(const imaging::BitfieldMasks& m) { whole().setMasks(m); }
    void setPixel(int x, int y, imaging::Colour c) { whole().setPixel(x, y, c); }
    void setIndex(int x, int y, std::uint8_t i) { whole().setIndex(x, y, i); }
    void copyRect(imaging::Point dst, const imaging::Bitmap& src, const imaging::Rect& r) {
        whole().copyRect(dst, src, r);
    }
    void stretchCopy(const imaging::Rect& d, const imaging::Bitmap& src, const imaging::Rect& s) {
        whole().stretchCopy(d, src, s);
    }
    void convertTo(imaging::PixelFormat f) { whole().convertTo(f); }
    void drawFocusRect(const imaging::Rect& r, imaging::Colour c) { whole().drawFocusRect(r, c); }
    void drawFrame(const imaging::Rect& r, imaging::Colour c) { whole().drawFrame(r, c); }
    void drawLine(imaging::Point a, imaging::Point b, imaging::Colour c) {
        whole().drawLine(a, b, c);
    }
    void fill(imaging::Colour c) { fillRect(rect(), c); }
    // Black over the whole layer empties a layer kept as marks (and gives back the bitmap of
    // one that only the canvas drew whole); anything else is drawn on the whole bitmap.
    void fillRect(const imaging::Rect& area, imaging::Colour c);
    // A layer kept as marks is cropped or extended in black without being drawn.
    void resize(int newWidth, int newHeight, imaging::Colour paint);

    // --- For the canvas ------------------------------------------------------------------
    // True when the layer is a bitmap (drawn on demand, or given, or never kept as marks).
    bool keptWhole() const { return whole_; }
    // True when someone outside the canvas asked for the bitmap: it then stays whole.
    bool pinned() const { return pinned_; }
    // The whole bitmap for the canvas's own drawing, made from the marks if need be; unlike
    // whole(), a later change may turn the layer back into marks.
    imaging::Bitmap& drawn();
    // The bitmap of a layer kept whole, for reading without pinning it.
    const imaging::Bitmap& keptBitmap() const { return picture_; }
    // Black, of this size, kept as marks; the bitmap is released.
    void makeBlank(int newWidth, int newHeight);
    // The grid, over the whole layer, kept as marks; the bitmap is released.
    void setGrid(const GridMarks& grid);
    // Adds a border over what is there; false (nothing added) when kMaxMarks are held.
    bool addMark(const BorderMark& mark);
    int markCount() const { return markCount_; }
    BorderMark& mark(int i) { return marks_[static_cast<std::size_t>(i)]; }

    // Writes the layer's pixels of row y, columns x0 to x1 (exclusive, inside the layer),
    // into dst (4 bytes a pixel, dst[0] is column x0) where they are not black. For a layer
    // kept as marks only; the caller clears dst first for an opaque layer.
    void drawMarkedSpan(int y, int x0, int x1, std::uint8_t* dst) const;

private:
    void drawGridSpan(int y, int x0, int x1, std::uint8_t* dst) const;
    void drawBorderSpan(const BorderMark& m, int y, int x0, int x1, std::uint8_t* dst) const;
    void materialize() const;

    // The bitmap, when whole_.
    mutable imaging::Bitmap picture_{0, 0, imaging::PixelFormat::Bits32};
    mutable bool whole_ = false;
    mutable bool pinned_ = false;
    // When kept as marks: the size, the grid (hasGrid_) and the borders in drawing order.
    int width_ = 0;
    int height_ = 0;
    bool hasGrid_ = false;
    GridMarks grid_;
    // Part of the layer the grid covers: what it was drawn on, cut by later crops.
    int gridWidth_ = 0;
    int gridHeight_ = 0;
    std::array<BorderMark, kMaxMarks> marks_{};
    int markCount_ = 0;
};

} // namespace parvane::canvas
