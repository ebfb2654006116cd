// The pixel work of the animation preview, on the Image's pixels: one step of a classical
// range, whose cells pass their pictures along, and one step of a scroll tile, whose two
// halves scroll down a pixel each; plus the arithmetic of a range. The canvas keeps the
// animation's state and calls these from its timer tick.
#pragma once

#include "CellGeometry.h"
#include "imaging/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace parvane::canvas {

// Base timer intervals in milliseconds, which the owner multiplies by its speed setting.
inline constexpr int kClassicalAnimInterval = 80;
inline constexpr int kScrollAnimInterval = 10;

// Timer interval for a speed setting: speed times the base interval, a speed or base below 1
// counting as 1 (a zero interval would make the timer spin).
int animationTimerInterval(int baseInterval, int speed);

// Smallest rectangle holding the cells from index a to index b: part of one row, or the
// grid's whole width as soon as the range runs over a row end.
imaging::Rect rangeArea(const CellGeometry& grid, int a, int b);

// True when both indices name whole cells of the grid and every cell between lies inside the
// image: only then can the steps bring every picture back at the end of a cycle.
bool rangeFits(const CellGeometry& grid, int first, int last, const imaging::Bitmap& image);

// Steps in one cycle of a scroll tile of that cell height: the height of a half, at least 1.
int scrollFrames(int cellHeight);

// A black scratch tile of one cell in the image's layout (format, palette, masks), so that
// copies between the two move pixels unchanged. For the working bitmap that is 32-bit.
imaging::Bitmap animationTile(const CellGeometry& grid, const imaging::Bitmap& image);

// Bytes of one pixel row of a tile (cell width x 4 for a 32-bit tile).
std::size_t tileRowBytes(const imaging::Bitmap& tile);

// One step of a classical range from cell index first to cell index last (first != last):
// seen from the pressed cell `first`, cell e takes the picture of e + 1 (first < last) or of
// e - 1 (first > last), and `last` takes the picture that `first` had. tile is a cell-sized
// scratch bitmap (see animationTile); nothing is allocated.
void stepRange(imaging::Bitmap& image, const CellGeometry& grid, int first, int last,
               imaging::Bitmap& tile);

// One step of a scroll tile in `cell`: the cell is read into tile, both halves of
// tile.height() / 2 rows move down one row, each half's bottom row becoming its top row, and
// the tile is written back. For an odd height the last row belongs to neither half and stays,
// so that scrollFrames steps give back the cell. rowBuffer holds one row of the tile (see
// tileRowBytes); nothing is allocated.
void stepScrollTile(imaging::Bitmap& image, const imaging::Rect& cell, imaging::Bitmap& tile,
                    std::span<std::uint8_t> rowBuffer);

} // namespace parvane::canvas
