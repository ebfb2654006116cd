// The tile transformation tools of a canvas: their cursor setters and what a press and
// release in mode Transform do with them. Rotate and the flips act on the pressed cell;
// swap exchanges the pressed and the released cell; shift moves the pressed cell's picture
// to the released cell while the cells between close up, in reading order across row ends.
//
// Swap and shift act only on whole cells of the grid that lie inside the Image. A cell that
// overhangs the Image would be carried only in part, and the clip's stale pixels would fill
// the rest of the other cell; and beyond the last whole column the pointer's cell is not the
// cell its index names (the index runs on into the next row), so a shift would land
// elsewhere than released. In free mode the cells have no index: nothing happens either.
#include "canvas/AnimationSteps.h"
#include "canvas/CellTransformations.h"
#include "canvas/FrameStackCore.h"

#include <optional>

namespace parvane::canvas {

void FrameStackCore::setTool(TransformTool tool) {
    Mode = tool == TransformTool::None ? CanvasMode::Idle : CanvasMode::Transform;
    setLayerVisible(L4_Clip, false);
    setPointerShape(toolLook(tool).shape);
    Tool = tool;
    setCursorPictureFor(toolLook(tool).cursorName);
}

void FrameStackCore::SetCursorToRotate() {
    setTool(TransformTool::Rotate);
}

void FrameStackCore::SetCursorToHFlip() {
    setTool(TransformTool::HFlip);
}

void FrameStackCore::SetCursorToVFlip() {
    setTool(TransformTool::VFlip);
}

void FrameStackCore::SetCursorToSwap() {
    setTool(TransformTool::Swap);
}

void FrameStackCore::SetCursorToShift() {
    setTool(TransformTool::Move);
}

bool FrameStackCore::isWholeCell(std::int32_t index, const Rect& rect) const {
    const CellGeometry grid = CurrentGrid();
    return SnapToGrid && grid.isCellIndex(index) && grid.indexRect(index) == rect &&
           liesInside(rect, L1_Image.bitmap);
}

void FrameStackCore::ApplyTransformation() {
    std::optional<CellTurn> turn;
    switch (Tool) {
    case TransformTool::None:
        return;
    case TransformTool::Move:
        // The clip is not used: the moved picture waits in a scratch tile of its own.
        if (DownIndex != UpIndex && isWholeCell(DownIndex, DownRect) &&
            isWholeCell(UpIndex, CursorRect)) {
            const CellGeometry grid = CurrentGrid();
            imageAboutToChange(rangeArea(grid, DownIndex, UpIndex));
            shiftCells(L1_Image.bitmap, grid, DownIndex, UpIndex);
            markDirty(rangeArea(grid, DownIndex, UpIndex));
        }
        return;
    case TransformTool::Rotate:
        turn = CellTurn::Rotate;
        break;
    case TransformTool::HFlip:
        turn = CellTurn::FlipHorizontal;
        break;
    case TransformTool::VFlip:
        turn = CellTurn::FlipVertical;
        break;
    case TransformTool::Swap:
        break;
    }

    // Rotate, flips and swap carry the cell through the clip, which waits hidden at (0, 0)
    // and keeps the last cell it carried.
    moveLayer(L4_Clip, 0, 0);
    if (turn) {
        const CellTurn kind = *turn;
        // A locked cursor shows whole cells, so a locked press on a cell that overhangs the
        // picture (beyond the last whole column or row) turns nothing; a free press near the
        // edge turns the square its cursor showed, kept inside the picture.
        const std::optional<Rect> cell =
            SnapToGrid ? (liesInside(DownRect, L1_Image.bitmap) ? std::optional<Rect>(DownRect)
                                                                : std::nullopt)
                       : cellForTurn(DownRect, L1_Image.bitmap);
        if (cell) {
            imageAboutToChange(*cell);
            turnCell(L1_Image.bitmap, *cell, kind, L4_Clip.bitmap);
            markDirty(*cell);
        } else {
            L4_Clip.bitmap.resize(DownRect.width(), DownRect.height(), imaging::colours::kBlack);
        }
        return;
    }
    if (DownIndex != UpIndex && isWholeCell(DownIndex, DownRect) &&
        isWholeCell(UpIndex, CursorRect)) {
        imageAboutToChange(DownRect);
        imageAboutToChange(CursorRect);
        swapCells(L1_Image.bitmap, DownRect, CursorRect, L4_Clip.bitmap);
        markDirty(DownRect);
        markDirty(CursorRect);
    } else {
        L4_Clip.bitmap.resize(DownRect.width(), DownRect.height(), imaging::colours::kBlack);
    }
}

} // namespace parvane::canvas
