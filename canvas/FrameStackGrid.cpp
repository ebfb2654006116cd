// The grid of cells laid over the port: its geometry and its drawing on the grid layer.
#include "canvas/FrameStackCore.h"

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
    GridStyle = 1;
    SnapToGrid = true;
    UpdateGrid();
}

void FrameStackCore::UpdateGrid() {
    GridCols = (portWidth_ - GridOffsetX) / cellW();
    GridRows = (portHeight_ - GridOffsetY) / cellH();
    GridRect = {GridOffsetX, GridOffsetY, GridOffsetX + GridCols * cellW(),
                GridOffsetY + GridRows * cellH()};
    L5_Grid.bitmap.fillRect({0, 0, portWidth_, portHeight_}, TransparentColor);
    if (GridStyle == 1)
        drawDottedGrid();
    else if (GridStyle == 2)
        drawGridLines();
    markLayerDirty(L5_Grid);
}

void FrameStackCore::drawDottedGrid() {
    // A ring of cells just outside the grid is dotted first in a dark grey; the grid's own
    // cells are then dotted over it, so their dots end light grey (the two colours combine
    // by exclusive-or) and only the ring keeps the dark dots.
    imaging::Bitmap& grid = L5_Grid.bitmap;
    for (int row = -1; row <= GridRows; ++row)
        for (int col = -1; col <= GridCols; ++col)
            grid.drawFocusRect(CellRect(col, row), kGridRingColor);
    for (int row = 0; row < GridRows; ++row)
        for (int col = 0; col < GridCols; ++col)
            grid.drawFocusRect(CellRect(col, row), GridColor);
}

void FrameStackCore::drawGridLines() {
    // Lines cross the whole layer, not only the whole cells.
    imaging::Bitmap& grid = L5_Grid.bitmap;
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
