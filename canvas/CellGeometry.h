// Cell arithmetic of a canvas grid, shared by the animation preview and the tile
// transformations: the rectangle of a cell given by column and row or by its reading-order
// index, and the helpers that copy whole cells.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>

namespace parvane::canvas {

// Division that rounds down, also for negative values (pixels left of or above the origin).
constexpr std::int64_t floorDiv(std::int64_t value, std::int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// The grid an animation or a transformation works on: cell size, grid origin and the count
// of whole columns and rows. A snapshot, so that an animation keeps the grid it started with.
struct CellGeometry {
    int cellWidth = 0;
    int cellHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int cols = 0;
    int rows = 0;

    // True when the grid has at least one whole cell of a positive size.
    bool hasCells() const { return cellWidth > 0 && cellHeight > 0 && cols > 0 && rows > 0; }
    // Number of whole cells; 0 for a grid without cells.
    std::int64_t cellCount() const {
        return hasCells() ? std::int64_t{cols} * std::int64_t{rows} : 0;
    }
    // True when index names one of the whole cells.
    bool isCellIndex(std::int64_t index) const { return index >= 0 && index < cellCount(); }

    imaging::Rect cellRect(int col, int row) const {
        const int left = col * cellWidth + offsetX;
        const int top = row * cellHeight + offsetY;
        return {left, top, left + cellWidth, top + cellHeight};
    }
    // Cells are numbered row by row; division truncates toward zero, as the grid's own
    // arithmetic does. A grid without columns has no cell rectangles: the result is empty.
    imaging::Rect indexRect(int index) const {
        if (cols <= 0)
            return {};
        return cellRect(index % cols, index / cols);
    }
};

// True when rect lies wholly inside the bitmap.
inline bool liesInside(const imaging::Rect& rect, const imaging::Bitmap& bitmap) {
    return !rect.isEmpty() && rect.left >= 0 && rect.top >= 0 && rect.right <= bitmap.width() &&
           rect.bottom <= bitmap.height();
}

// Copies the cell `from` of image onto the cell `to` of the same image, pixel for pixel (alpha
// and palette indices included), clipped to the image. The two cells must not overlap. Unlike
// a copy of a bitmap onto itself this never allocates, whatever the pixel format.
void copyCellWithin(imaging::Bitmap& image, const imaging::Rect& from, const imaging::Rect& to);

} // namespace parvane::canvas
