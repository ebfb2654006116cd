#include "AnimationSteps.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace parvane::canvas {

using imaging::Bitmap;
using imaging::Rect;

int animationTimerInterval(int baseInterval, int speed) {
    const std::int64_t interval =
        std::int64_t{std::max(1, speed)} * std::int64_t{std::max(1, baseInterval)};
    return static_cast<int>(std::min<std::int64_t>(interval, INT_MAX));
}

Rect rangeArea(const CellGeometry& grid, int a, int b) {
    if (!grid.hasCells())
        return {};
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    const Rect first = grid.indexRect(lo);
    const Rect last = grid.indexRect(hi);
    if (first.top == last.top)
        return first.united(last);
    return grid.cellRect(0, lo / grid.cols).united(grid.cellRect(grid.cols - 1, hi / grid.cols));
}

bool rangeFits(const CellGeometry& grid, int first, int last, const Bitmap& image) {
    return grid.isCellIndex(first) && grid.isCellIndex(last) &&
           liesInside(rangeArea(grid, first, last), image);
}

int scrollFrames(int cellHeight) {
    return std::max(1, cellHeight / 2);
}

Bitmap animationTile(const CellGeometry& grid, const Bitmap& image) {
    Bitmap tile(grid.cellWidth, grid.cellHeight, image.format());
    if (imaging::hasPalette(image.format()))
        tile.setPalette(image.palette());
    tile.setMasks(image.masks());
    return tile;
}

std::size_t tileRowBytes(const Bitmap& tile) {
    return (static_cast<std::size_t>(tile.width()) * static_cast<std::size_t>(tile.bitsPerPixel()) +
            7) /
           8;
}

void stepRange(Bitmap& image, const CellGeometry& grid, int first, int last, Bitmap& tile) {
    if (first == last)
        return;
    tile.copyRect({0, 0}, image, grid.indexRect(first));
    if (first < last) {
        for (int e = first; e < last; ++e)
            copyCellWithin(image, grid.indexRect(e + 1), grid.indexRect(e));
    } else {
        for (int e = first; e > last; --e)
            copyCellWithin(image, grid.indexRect(e - 1), grid.indexRect(e));
    }
    const Rect target = grid.indexRect(last);
    image.copyRect({target.left, target.top}, tile, tile.rect());
}

void stepScrollTile(Bitmap& image, const Rect& cell, Bitmap& tile,
                    std::span<std::uint8_t> rowBuffer) {
    tile.copyRect({0, 0}, image, cell);
    const int half = tile.height() / 2;
    const std::size_t rowBytes = std::min(rowBuffer.size(), tileRowBytes(tile));
    if (half >= 1 && rowBytes > 0) {
        const std::size_t stride = tile.stride();
        // Each half: its bottom row goes to the row buffer, the rows above it move down one
        // row in one block (the rows lie stride apart), and the buffer becomes the top row.
        for (const int top : {0, half}) {
            std::memcpy(rowBuffer.data(), tile.row(top + half - 1), rowBytes);
            if (half > 1)
                std::memmove(tile.row(top + 1), tile.row(top),
                             stride * static_cast<std::size_t>(half - 1));
            std::memcpy(tile.row(top), rowBuffer.data(), rowBytes);
        }
    }
    image.copyRect({cell.left, cell.top}, tile, tile.rect());
}

} // namespace parvane::canvas
