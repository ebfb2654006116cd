// The grid of cells laid over the port: its geometry and its drawing on the grid layer.
#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <cstring>

namespace parvane::canvas {

Rect FrameStackCore::CellRect(int col, int row) const {
    const int left = col * cellW() + GridOffsetX;
    const int top = row * cellH() + GridOffsetY;
    return {left, top, left + cellW(), top + cellH()};
}

Rect FrameStackCore::IndexRect(int index) const {
    const int cols = GridCols != 0 ? GridCols : 1;
    return CellRect(index % cols, index / cols);
}

void FrameStackCore::InitGrid(int cellWidth, int cellHeight) {
    CellWidth = cellWidth;
    CellHeight = cellHeight;
    GridOffsetX = 0;
    GridOffsetY = 0;
    GridStyle = GridStyle::Dotted;
    SnapToGrid = true;
    UpdateGrid();
}

void FrameStackCore::UpdateGrid() {
    GridCols = (portWidth_ - GridOffsetX) / cellW();
    GridRows = (portHeight_ - GridOffsetY) / cellH();
    GridRect = {GridOffsetX, GridOffsetY, GridOffsetX + GridCols * cellW(),
                GridOffsetY + GridRows * cellH()};
    LayerPicture& grid = L5_Grid.bitmap;
    if (!grid.pinned() && TransparentColor == imaging::colours::kBlack &&
        grid.format() == imaging::PixelFormat::Bits32 && portWidth_ >= grid.width() &&
        portHeight_ >= grid.height()) {
        // The port covers the layer, so all of it is cleared and drawn afresh: the grid is
        // kept as its geometry and drawn where it is shown.
        grid.setGrid({CurrentGrid(), GridStyle, GridColor, kGridRingColor});
    } else if (GridStyle == GridStyle::Dotted && grid.format() == imaging::PixelFormat::Bits32) {
        clearAndDotGridRows();
    } else {
        L5_Grid.bitmap.fillRect({0, 0, portWidth_, portHeight_}, TransparentColor);
        switch (GridStyle) {
        case GridStyle::Dotted:
            drawDottedGrid();
            break;
        case GridStyle::Lines:
            drawGridLines();
            break;
        case GridStyle::None:
            break;
        }
    }
    markLayerDirty(L5_Grid);
}

namespace {

std::uint32_t pixelWord(Colour c) {
    return c.blue | (c.green << 8) | (c.red << 16); // B, G, R and alpha 0, little-endian
}

void xorWord(std::uint8_t* row, std::int64_t x, std::uint32_t value) {
    std::uint32_t word;
    std::memcpy(&word, row + 4 * x, 4);
    word ^= value;
    std::memcpy(row + 4 * x, &word, 4);
}

} // namespace

void FrameStackCore::clearAndDotGridRows() {
    // The same pixels as clearing the port and dotting every cell's outline with
    // drawDottedGrid, made row by row so that a large layer is walked once, in memory
    // order. A cell's outline is its top and bottom rows and, on the rows between, its first
    // and last columns; dots sit where x + y is even. Ring cells leave the ring colour, the
    // grid's own cells the two colours combined.
    imaging::Bitmap& grid = L5_Grid.bitmap.drawn();
    const std::int64_t width = grid.width();
    const std::int64_t cw = cellW();
    const std::int64_t ch = cellH();
    const std::uint32_t ring = pixelWord(kGridRingColor);
    const std::uint32_t inner = ring ^ pixelWord(GridColor);
    const std::uint32_t fill = pixelWord(TransparentColor);
    const std::size_t clearCount =
        static_cast<std::size_t>(std::clamp<std::int64_t>(portWidth_, 0, width));
    const std::int64_t clearRows = std::min(portHeight_, grid.height());
    // Columns of the ring cells (-1 to GridCols) and of the grid's own cells.
    const std::int64_t ringLeft = GridOffsetX - cw;
    const std::int64_t ringRight = GridOffsetX + (GridCols + std::int64_t{1}) * cw;
    const std::int64_t innerLeft = GridOffsetX;
    const std::int64_t innerRight = GridOffsetX + GridCols * cw;
    for (int y = 0; y < grid.height(); ++y) {
        std::uint8_t* row = grid.row(y);
        if (y < clearRows) {
            if (fill == 0) {
                std::memset(row, 0, 4 * clearCount);
            } else {
                for (std::size_t x = 0; x < clearCount; ++x)
                    std::memcpy(row + 4 * x, &fill, 4);
            }
        }
        const std::int64_t cellRow = floorDiv(y - GridOffsetY, ch);
        if (cellRow < -1 || cellRow > GridRows)
            continue;
        const std::int64_t inCell = y - GridOffsetY - cellRow * ch;
        const bool innerRow = cellRow >= 0 && cellRow < GridRows;
        if (inCell == 0 || inCell == ch - 1) {
            // Top or bottom row of its cells: every dot of the ring's width.
            std::int64_t x = std::max<std::int64_t>(ringLeft, 0);
            if ((x + y) & 1)
                ++x;
            const std::int64_t end = std::min(ringRight, width);
            for (; x < end; x += 2)
                xorWord(row, x, innerRow && x >= innerLeft && x < innerRight ? inner : ring);
            continue;
        }
        for (std::int64_t col = -1; col <= GridCols; ++col) {
            const std::int64_t left = GridOffsetX + col * cw;
            const std::int64_t right = left + cw - 1;
            const std::uint32_t value = innerRow && col >= 0 && col < GridCols ? inner : ring;
            if (left >= 0 && left < width && ((left + y) & 1) == 0)
                xorWord(row, left, value);
            if (right != left && right >= 0 && right < width && ((right + y) & 1) == 0)
                xorWord(row, right, value);
        }
    }
}

void FrameStackCore::drawDottedGrid() {
    // A ring of cells just outside the grid is dotted first in a dark grey; the grid's own
    // cells are then dotted over it, so their dots end light grey (the two colours combine
    // by exclusive-or) and only the ring keeps the dark dots.
    imaging::Bitmap& grid = L5_Grid.bitmap.drawn();
    for (int row = -1; row <= GridRows; ++row)
        for (int col = -1; col <= GridCols; ++col)
            grid.drawFocusRect(CellRect(col, row), kGridRingColor);
    for (int row = 0; row < GridRows; ++row)
        for (int col = 0; col < GridCols; ++col)
            grid.drawFocusRect(CellRect(col, row), GridColor);
}

void FrameStackCore::drawGridLines() {
    // Lines cross the whole layer, not only the whole cells.
    imaging::Bitmap& grid = L5_Grid.bitmap.drawn();
    for (int k = 0; k <= GridCols; ++k) {
        const int x = GridOffsetX + k * cellW();
        grid.drawLine({x, 0}, {x, grid.height()}, GridColor);
    }
    for (int k = 0; k <= GridRows; ++k) {
        const int y = GridOffsetY + k * cellH();
        grid.drawLine({0, y}, {grid.width(), y}, GridColor);
    }
}

void FrameStackCore::ResetGrid() {
    GridOffsetX = 0;
    GridOffsetY = 0;
    UpdateGrid();
    SnapToGrid = true;
}

} // namespace parvane::canvas
