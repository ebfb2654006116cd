// The cutting cursor and the mouse modes: what a move, press, release or double click does
// in each mode, the selection frame, the range outline, grabbing and pasting.
#include "canvas/FrameStackCore.h"

#include <algorithm>

namespace parvane::canvas {

namespace {

// Raises v to lo, then lowers the result to hi; when hi is below lo the result is hi.
int clampLowThenHigh(int v, int lo, int hi) {
    if (v < lo)
        v = lo;
    if (v > hi)
        v = hi;
    return v;
}

Rect shrunk(const Rect& r) {
    return r.inflated(-1);
}

bool insideAny(const std::array<Rect, 3>& rects, int x, int y) {
    for (const Rect& r : rects)
        if (!r.isEmpty() && r.contains(x, y))
            return true;
    return false;
}

} // namespace

void FrameStackCore::pointerCell(int x, int y, Rect& rect, std::int32_t& index) const {
    if (SnapToGrid) {
        const int col = (x - GridOffsetX) / cellW();
        const int row = (y - GridOffsetY) / cellH();
        rect = CellRect(col, row);
        index = row * GridCols + col;
        return;
    }
    const int ax = std::max(x, cellW() / 2);
    const int ay = std::max(y, cellH() / 2);
    rect = Rect::fromSize(ax - cellW() / 2, ay - cellH() / 2, cellW(), cellH());
    index = -1;
}

void FrameStackCore::rememberSelectionMark(const Rect& rect) {
    if (rect.isEmpty())
        return;
    if (selectionMarkCount_ == static_cast<int>(selectionMarks_.size())) {
        // More drawings than remembered: the next clear takes the whole layer.
        selectionNeedsFullClear_ = true;
        return;
    }
    selectionMarks_[static_cast<std::size_t>(selectionMarkCount_++)] = {rect};
}

void FrameStackCore::clearSelectionLayer() {
    // Only the borders drawn since the last clear hold colour, so clearing those borders
    // leaves the layer as black as clearing all of it, at a fraction of the cost.
    imaging::Bitmap& sel = L6_Selection.bitmap;
    if (selectionNeedsFullClear_) {
        sel.fillRect({0, 0, portWidth_, portHeight_}, TransparentColor);
        if (L6_Selection.visible)
            markLayerDirty(L6_Selection);
        selectionNeedsFullClear_ = false;
    } else {
        for (int i = 0; i < selectionMarkCount_; ++i) {
            const Rect& r = selectionMarks_[static_cast<std::size_t>(i)].rect;
            sel.drawFrame(r, TransparentColor);
            if (L6_Selection.visible)
                markDirty(r);
        }
    }
    selectionMarkCount_ = 0;
}

void FrameStackCore::MouseIsOnMove(ShiftState /*shift*/, int x, int y) {
    MouseX = x;
    MouseY = y;
    const int hw = cellW() / 2;
    const int hh = cellH() / 2;
    const int px = clampLowThenHigh(x, hw, portWidth_ - hw);
    const int py = clampLowThenHigh(y, hh, portHeight_ - hh);
    int cx = 0;
    int cy = 0;
    if (SnapToGrid) {
        const int qx = clampLowThenHigh(px, GridRect.left + hw, GridRect.right - hw);
        const int qy = clampLowThenHigh(py, GridRect.top + hh, GridRect.bottom - hh);
        cx = cellW() * ((qx - GridOffsetX) / cellW()) + GridOffsetX;
        cy = cellH() * ((qy - GridOffsetY) / cellH()) + GridOffsetY;
    } else {
        cx = px - hw;
        cy = py - hh;
    }
    moveLayer(L7_Cursor, cx, cy);
    moveLayer(L4_Clip, cx, cy);
    CursorRect = {cx, cy, cx + cellW(), cy + cellH()};
    AutoScroll(cx, cy);
    clearSelectionLayer();
    L6_Selection.paint = GrabColor;
    if (Mode == CanvasMode::Grab)
        DrawSelectionFrame();
    else if (Mode == CanvasMode::Range)
        DrawRangeOutline();
}

void FrameStackCore::MouseIsDown(MouseButton button, ShiftState shift, int x, int y) {
    MouseX = x;
    MouseY = y;
    pointerCell(x, y, DownRect, DownIndex);
    if (!SnapToGrid)
        button = MouseButton::Left;
    switch (Mode) {
    case CanvasMode::Idle:
        if (button == MouseButton::Left) {
            // The pressed cell alone is grabbed at once; the drag may widen it.
            SelectionRect = DownRect;
            GrabSelection();
            SetModeToGrab();
            DrawSelectionFrame();
        } else if (button == MouseButton::Right) {
            SetModeToRange();
            DrawRangeOutline();
        }
        break;
    case CanvasMode::Paste:
        if (button == MouseButton::Right) {
            SetModeToIdle();
        } else {
            PasteClip();
            if (!shift.ctrl)
                SetModeToIdle();
        }
        break;
    case CanvasMode::Anim:
    case CanvasMode::Scroll:
        if (button == MouseButton::Right)
            AnimRunning = false;
        break;
    case CanvasMode::Transform:
        if (button == MouseButton::Right)
            SetModeToIdle();
        break;
    default:
        break;
    }
}

void FrameStackCore::MouseIsUp(MouseButton /*button*/, ShiftState /*shift*/, int x, int y) {
    MouseX = x;
    MouseY = y;
    pointerCell(x, y, CursorRect, UpIndex);
    switch (Mode) {
    case CanvasMode::Grab:
        GrabSelection();
        break;
    case CanvasMode::Range:
        StartAnimation();
        break;
    case CanvasMode::Transform:
        ApplyTransformation();
        break;
    default:
        break;
    }
}

void FrameStackCore::MouseIsDoubleClick() {
    // The new origin puts the pointer in the middle of a cell. A pointer left of or above
    // the panel (a drag that ended outside) still gives an origin inside the first cell.
    auto origin = [](int mouse, int cell) {
        int offset = mouse % cell - cell / 2;
        while (offset < 0)
            offset += cell;
        return offset % cell;
    };
    GridOffsetX = origin(MouseX, cellW());
    GridOffsetY = origin(MouseY, cellH());
    SnapToGrid = !SnapToGrid;
    if (SnapToGrid)
        UpdateGrid();
    setLayerVisible(L5_Grid, SnapToGrid);
}

void FrameStackCore::ParkCursorLayers() {
    moveLayer(L7_Cursor, kParkedLeft, L7_Cursor.top);
    moveLayer(L4_Clip, kParkedLeft, L4_Clip.top);
}

void FrameStackCore::AutoScroll(int cx, int cy) {
    if (Mode == CanvasMode::Idle || Mode == CanvasMode::Anim || Mode == CanvasMode::Scroll)
        return;
    if (CursorName == "crRotate" || CursorName == "crHFlip" || CursorName == "crVFlip")
        return;
    if (!host_)
        return;
    const ScrollView view = host_->scrollView();
    int px = view.x;
    if (cx < px + kScrollMargin)
        px -= kScrollStep;
    if (cx > (view.visibleWidth - CellWidth) + px - kScrollMargin)
        px += kScrollStep;
    int py = view.y;
    if (cy < py + kScrollMargin)
        py -= kScrollStep;
    if (cy > (view.visibleHeight - CellHeight) + py - kScrollMargin)
        py += kScrollStep;
    if (px != view.x || py != view.y)
        host_->setScrollPosition(px, py);
}

void FrameStackCore::DrawSelectionFrame() {
    SelectionRect = DownRect.united(CursorRect);
    L6_Selection.bitmap.drawFrame(SelectionRect, L6_Selection.paint);
    rememberSelectionMark(SelectionRect);
    if (L6_Selection.visible)
        markDirty(SelectionRect);
}

void FrameStackCore::DrawRangeOutline() {
    Rect r1 = DownRect;
    Rect r2 = CursorRect;
    if (r1.top == r2.top) {
        L6_Selection.paint = RangeColor;
        DrawSelectionFrame();
        return;
    }
    if (r1.top > r2.top)
        std::swap(r1, r2);
    const Rect ra{r1.left, r1.top, GridRect.right, r2.top};
    const Rect rb{GridRect.left, r1.bottom, r2.right, r2.bottom};
    Rect rc;
    if (r1.bottom == r2.top)
        rc = r1.left >= r2.right ? Rect{} : Rect{r1.left, r1.top, r2.right, r2.bottom};
    else
        rc = {GridRect.left, r1.bottom, GridRect.right, r2.top};

    // Filling the three areas in green and then their insides in black leaves green exactly
    // on the border pixels that lie inside none of the three insides; drawing just those
    // pixels gives the same picture without touching the (possibly huge) insides.
    imaging::Bitmap& sel = L6_Selection.bitmap;
    const std::array<Rect, 3> areas{ra, rb, rc};
    const std::array<Rect, 3> insides{shrunk(ra), shrunk(rb), shrunk(rc)};
    const Rect bounds = sel.rect();
    for (const Rect& area : areas) {
        if (area.isEmpty())
            continue;
        const Rect visible = area.intersected(bounds);
        if (visible.isEmpty())
            continue;
        auto plot = [&](int x, int y) {
            if (visible.contains(x, y) && !insideAny(insides, x, y))
                sel.setPixel(x, y, RangeColor);
        };
        const Rect inner = shrunk(area);
        for (int y = visible.top; y < visible.bottom; ++y) {
            if (y == area.top || y == area.bottom - 1 || inner.isEmpty() ||
                !(y >= inner.top && y < inner.bottom)) {
                for (int x = visible.left; x < visible.right; ++x)
                    plot(x, y);
            } else {
                plot(area.left, y);
                plot(area.right - 1, y);
            }
        }
        rememberSelectionMark(area);
        if (L6_Selection.visible)
            markDirty(area);
    }
}

void FrameStackCore::GrabSelection() {
    AnimRunning = false;
    // A fresh black clip: parts of the selection outside the Image come out black rather
    // than keeping pixels of the previous clip.
    const int width = std::max(SelectionRect.width(), 0);
    const int height = std::max(SelectionRect.height(), 0);
    if (L4_Clip.visible)
        markLayerDirty(L4_Clip);
    if (imaging::Bitmap::fitsInMemory(width, height)) {
        L4_Clip.bitmap = imaging::Bitmap(width, height, imaging::PixelFormat::Bits32);
        L4_Clip.bitmap.copyRect({0, 0}, L1_Image.bitmap, SelectionRect);
    }
    if (AutoExport && host_)
        host_->exportClip(L4_Clip.bitmap);
    SetModeToIdle();
}

void FrameStackCore::PasteClip() {
    const Rect target =
        Rect::fromSize(L4_Clip.left, L4_Clip.top, L4_Clip.bitmap.width(), L4_Clip.bitmap.height());
    L1_Image.bitmap.copyRect({target.left, target.top}, L4_Clip.bitmap, L4_Clip.bitmap.rect());
    markDirty(target);
}

void FrameStackCore::SetModeToIdle() {
    SetCursorToDefault();
    Mode = CanvasMode::Idle;
    setLayerVisible(L6_Selection, false);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, true);
}

void FrameStackCore::SetModeToGrab() {
    Mode = CanvasMode::Grab;
    setLayerVisible(L6_Selection, true);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, false);
    L6_Selection.paint = GrabColor;
}

void FrameStackCore::SetModeToPaste() {
    SetCursorToPaste();
    Mode = CanvasMode::Paste;
    setLayerVisible(L6_Selection, false);
    setLayerVisible(L4_Clip, true);
    setLayerVisible(L7_Cursor, true);
}

void FrameStackCore::SetModeToRange() {
    Mode = CanvasMode::Range;
    setLayerVisible(L6_Selection, true);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, false);
    L6_Selection.paint = RangeColor;
}

void FrameStackCore::SetModeToAnim() {
    Mode = CanvasMode::Anim;
    setLayerVisible(L6_Selection, false);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, false);
}

void FrameStackCore::SetModeToScroll() {
    Mode = CanvasMode::Scroll;
    setLayerVisible(L6_Selection, false);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, false);
}

void FrameStackCore::SetModeToTransform() {
    Mode = CanvasMode::Transform;
    setLayerVisible(L6_Selection, false);
    setLayerVisible(L4_Clip, false);
    setLayerVisible(L7_Cursor, true);
}

} // namespace parvane::canvas
