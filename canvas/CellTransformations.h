// The tile transformations of a canvas, on the Image's pixels: a quarter turn or a mirror of
// one cell, the exchange of two cells, and the move of one cell to another place in reading
// order while the cells between close up.
#pragma once

#include "CellGeometry.h"
#include "imaging/Bitmap.h"

#include <optional>

namespace parvane::canvas {

// What the rotate and flip tools do to the picture of one cell.
enum class CellTurn {
    Rotate,         // a quarter turn clockwise, y growing downward: (x, y) goes to (W-1-y, x)
    FlipHorizontal, // left-right mirror
    FlipVertical,   // top-bottom mirror
};

// The cell a rotate or flip acts on for a press whose cell is `cell`: the cell itself when it
// lies inside the image, otherwise the same-sized square moved left and up until it does (a
// free-mode press near the right or bottom edge acts on the square its cursor showed). Nothing
// when the image is smaller than a cell. Turning a cell that overhangs the picture would pull
// stale clip pixels into the picture and push picture pixels out of it.
std::optional<imaging::Rect> cellForTurn(const imaging::Rect& cell, const imaging::Bitmap& image);

// Turns the picture in `cell` of image. The clip is the scratch tile: it is resized to the
// cell (keeping its format) and afterwards holds the turned picture, as the canvas's clip layer
// does after a transformation. Pixels move whole, alpha byte and palette index included.
// A cell that is not square has only its top-left square of the smaller side turned a quarter
// (the rest stays), so that four turns still give back the cell; the mirrors take any cell.
// The caller passes a cell inside the image (see cellForTurn).
void turnCell(imaging::Bitmap& image, const imaging::Rect& cell, CellTurn turn,
              imaging::Bitmap& clip);

// Exchanges the pictures of the cells a and b (of equal size) through the clip, which is
// resized to one cell and afterwards holds the former picture of a. The same cell twice changes
// nothing in the image (the clip is still resized).
void swapCells(imaging::Bitmap& image, const imaging::Rect& a, const imaging::Rect& b,
               imaging::Bitmap& clip);

// Moves the picture of cell index `from` to cell index `to`; the cells between move one place
// toward `from` in reading order, across row ends. Both must be whole cells of the grid;
// otherwise, or when they are equal, nothing changes.
void shiftCells(imaging::Bitmap& image, const CellGeometry& grid, int from, int to);

} // namespace parvane::canvas
