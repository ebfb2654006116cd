#include "canvas/LayerPicture.h"

#include <algorithm>
#include <cstring>

namespace parvane::canvas {

using imaging::Colour;
using imaging::PixelFormat;
using imaging::Rect;

namespace {

std::uint32_t pixelWord(Colour c) {
    return c.blue | (c.green << 8) | (c.red << 16); // B, G, R and alpha 0, little-endian
}

void putWord(std::uint8_t* dst, std::int64_t x, std::uint32_t value) {
    std::memcpy(dst + 4 * x, &value, 4);
}

} // namespace

imaging::Bitmap& LayerPicture::whole() {
    materialize();
    pinned_ = true;
    return picture_;
}

const imaging::Bitmap& LayerPicture::whole() const {
    materialize();
    pinned_ = true;
    return picture_;
}

imaging::Bitmap& LayerPicture::drawn() {
    materialize();
    return picture_;
}

LayerPicture& LayerPicture::operator=(const imaging::Bitmap& picture) {
    if (&picture != &picture_)
        picture_ = picture;
    whole_ = true;
    return *this;
}

LayerPicture& LayerPicture::operator=(imaging::Bitmap&& picture) {
    if (&picture != &picture_)
        picture_ = std::move(picture);
    whole_ = true;
    return *this;
}

void LayerPicture::materialize() const {
    if (whole_)
        return;
    imaging::Bitmap picture(width_, height_, PixelFormat::Bits32);
    for (int y = 0; y < height_; ++y)
        drawMarkedSpan(y, 0, width_, picture.row(y));
    picture_ = std::move(picture);
    whole_ = true;
}

void LayerPicture::makeBlank(int newWidth, int newHeight) {
    picture_ = imaging::Bitmap(0, 0, PixelFormat::Bits32);
    whole_ = false;
    pinned_ = false;
    width_ = std::max(newWidth, 0);
    height_ = std::max(newHeight, 0);
    hasGrid_ = false;
    markCount_ = 0;
}

void LayerPicture::setGrid(const GridMarks& grid) {
    makeBlank(width(), height());
    hasGrid_ = true;
    grid_ = grid;
    gridWidth_ = width_;
    gridHeight_ = height_;
}

bool LayerPicture::addMark(const BorderMark& mark) {
    if (markCount_ == kMaxMarks)
        return false;
    BorderMark& m = marks_[static_cast<std::size_t>(markCount_++)];
    m = mark;
    m.clip = m.clip.intersected(rect());
    return true;
}

void LayerPicture::fillRect(const Rect& area, Colour c) {
    const Rect r = area.intersected(rect());
    if (r.isEmpty())
        return;
    const bool black = c == imaging::colours::kBlack;
    if (black && !whole_) {
        // Black over marks that lie wholly inside the area removes them; a mark only partly
        // covered needs the whole bitmap.
        auto covered = [&r](const Rect& drawn) {
            return drawn.isEmpty() || drawn.intersected(r) == drawn;
        };
        bool partly = hasGrid_ && !covered({0, 0, gridWidth_, gridHeight_});
        for (int i = 0; i < markCount_ && !partly; ++i)
            partly = !covered(marks_[static_cast<std::size_t>(i)].rect.intersected(
                marks_[static_cast<std::size_t>(i)].clip));
        if (!partly) {
            makeBlank(width_, height_);
            return;
        }
    }
    const bool clearsAll = black && r == rect();
    if (clearsAll && (!whole_ || (!pinned_ && picture_.format() == PixelFormat::Bits32))) {
        makeBlank(width(), height());
        return;
    }
    drawn().fillRect(area, c);
}

void LayerPicture::resize(int newWidth, int newHeight, Colour paint) {
    if (newWidth == width() && newHeight == height())
        return;
    if (whole_ || paint != imaging::colours::kBlack) {
        drawn().resize(newWidth, newHeight, paint);
        return;
    }
    // Marks never reach beyond what they were drawn on: the cropped part stays black when the
    // layer grows again.
    width_ = std::max(newWidth, 0);
    height_ = std::max(newHeight, 0);
    gridWidth_ = std::min(gridWidth_, width_);
    gridHeight_ = std::min(gridHeight_, height_);
    for (int i = 0; i < markCount_; ++i)
        mark(i).clip = mark(i).clip.intersected(rect());
}

void LayerPicture::drawMarkedSpan(int y, int x0, int x1, std::uint8_t* dst) const {
    if (hasGrid_)
        drawGridSpan(y, x0, x1, dst);
    for (int i = 0; i < markCount_; ++i)
        drawBorderSpan(marks_[static_cast<std::size_t>(i)], y, x0, x1, dst);
}

void LayerPicture::drawBorderSpan(const BorderMark& m, int y, int x0, int x1,
                                  std::uint8_t* dst) const {
    // The pixels of a frame drawn along the inside of rect; an outline area leaves out what
    // lies inside any of its outline's areas.
    const Rect& r = m.rect;
    const Rect area = r.intersected(m.clip);
    if (area.isEmpty() || y < area.top || y >= area.bottom)
        return;
    const std::uint32_t value = pixelWord(m.colour);
    const int from = std::max(area.left, x0);
    const int to = std::min(area.right, x1);
    auto put = [&](int x) {
        if (x < from || x >= to || (m.outlineArea && insideAny(m.insides, x, y)))
            return;
        putWord(dst, x - x0, value);
    };
    const Rect inner = r.inflated(-1);
    if (y == r.top || y == r.bottom - 1 || inner.isEmpty() || y < inner.top || y >= inner.bottom) {
        for (int x = from; x < to; ++x)
            put(x);
        return;
    }
    put(r.left);
    put(r.right - 1);
}

void LayerPicture::drawGridSpan(int y, int x0, int x1, std::uint8_t* dst) const {
    if (y >= gridHeight_)
        return;
    const CellGeometry& g = grid_.cells;
    const std::int64_t cw = g.cellWidth;
    const std::int64_t ch = g.cellHeight;
    const std::int64_t right = std::min(x1, gridWidth_);
    if (grid_.style == GridStyle::Lines) {
        // Lines at every cell edge of the grid, across the whole layer.
        const std::uint32_t line = pixelWord(grid_.colour);
        const std::int64_t k = y - g.offsetY;
        if (k % ch == 0 && k / ch >= 0 && k / ch <= g.rows) {
            for (std::int64_t x = x0; x < right; ++x)
                putWord(dst, x - x0, line);
            return;
        }
        const std::int64_t first = std::max<std::int64_t>(0, floorDiv(x0 - g.offsetX + cw - 1, cw));
        for (std::int64_t col = first; col <= g.cols; ++col) {
            const std::int64_t x = g.offsetX + col * cw;
            if (x >= right)
                break;
            if (x >= x0)
                putWord(dst, x - x0, line);
        }
        return;
    }
    if (grid_.style != GridStyle::Dotted)
        return;
    // Dotted outlines of every cell of the grid and of the ring of cells around it: a cell's
    // top and bottom rows and, between them, its first and last columns; dots sit where x + y
    // is even. Ring cells show the ring colour, the grid's own cells both colours combined.
    const std::uint32_t ring = pixelWord(grid_.ringColour);
    const std::uint32_t inner = ring ^ pixelWord(grid_.colour);
    const std::int64_t cellRow = floorDiv(y - g.offsetY, ch);
    if (cellRow < -1 || cellRow > g.rows)
        return;
    const std::int64_t inCell = y - g.offsetY - cellRow * ch;
    const bool innerRow = cellRow >= 0 && cellRow < g.rows;
    const std::int64_t ringLeft = g.offsetX - cw;
    const std::int64_t ringRight = g.offsetX + (g.cols + std::int64_t{1}) * cw;
    const std::int64_t innerLeft = g.offsetX;
    const std::int64_t innerRight = g.offsetX + g.cols * cw;
    if (inCell == 0 || inCell == ch - 1) {
        std::int64_t x = std::max<std::int64_t>({ringLeft, 0, x0});
        if ((x + y) & 1)
            ++x;
        const std::int64_t end = std::min(ringRight, right);
        for (; x < end; x += 2)
            putWord(dst, x - x0, innerRow && x >= innerLeft && x < innerRight ? inner : ring);
        return;
    }
    const std::int64_t firstCol = std::max<std::int64_t>(-1, floorDiv(x0 - g.offsetX, cw) - 1);
    const std::int64_t lastCol =
        std::min<std::int64_t>(g.cols, floorDiv(right - g.offsetX, cw) + 1);
    for (std::int64_t col = firstCol; col <= lastCol; ++col) {
        const std::int64_t left = g.offsetX + col * cw;
        const std::int64_t last = left + cw - 1;
        const std::uint32_t value = innerRow && col >= 0 && col < g.cols ? inner : ring;
        if (left >= x0 && left >= 0 && left < right && ((left + y) & 1) == 0)
            putWord(dst, left - x0, value);
        if (last != left && last >= x0 && last >= 0 && last < right && ((last + y) & 1) == 0)
            putWord(dst, last - x0, value);
    }
}

} // namespace parvane::canvas
