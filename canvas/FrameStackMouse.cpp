// The cutting cursor and the mouse modes: what a move, press, release or double click does
// in each mode, the selection frame, the range outline, grabbing and pasting.
#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <array>

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

void FrameStackCore::rememberSelectionMark(const Rect& rect, Colour colour, bool frame) {
    if (rect.isEmpty())
        return;
    if (selectionMarkCount_ == static_cast<int>(selectionMarks_.size())) {
        // More drawings than remembered: the next clear takes the whole layer.
        selectionNeedsFullClear_ = true;
        return;
    }
    selectionMarks_[static_cast<std::size_t>(selectionMarkCount_++)] = {rect, colour, frame};
}

bool FrameStackCore::selectionHoldsOnly(const Rect& frame, Colour colour) const {
    if (selectionNeedsFullClear_ || selectionMarkCount_ != 1)
        return false;
    const SelectionMark& mark = selectionMarks_[0];
    return mark.frame && mark.rect == frame && mark.colour == colour;
}

void FrameStackCore::clearSelectionLayer() {
    // Only the borders drawn since the last clear hold colour, so clearing those borders
    // leaves the layer as black as clearing all of it, at a fraction of the cost. A layer
    // kept as marks holds exactly the remembered borders: clearing them in black empties it.
    LayerPicture& sel = L6_Selection.bitmap;
    if (selectionNeedsFullClear_) {
        sel.fillRect({0, 0, portWidth_, portHeight_}, TransparentColor);
        if (L6_Selection.visible)
            markLayerDirty(L6_Selection);
        selectionNeedsFullClear_ = false;
    } else {
        const bool empties = !sel.keptWhole() && TransparentColor == imaging::colours::kBlack;
        for (int i = 0; i < selectionMarkCount_; ++i) {
            const Rect& r = selectionMarks_[static_cast<std::size_t>(i)].rect;
            if (!empties)
                sel.drawn().drawFrame(r, TransparentColor);
            if (L6_Selection.visible)
                markDirty(r);
        }
        if (empties)
            sel.makeBlank(sel.width(), sel.height());
    }
    selectionMarkCount_ = 0;
}

namespace {

// Vertical edge of a frame: column x, rows top to bottom (exclusive).
struct Column {
    int x, top, bottom;
};

std::array<Column, 2> columnsOf(const Rect& r) {
    return {Column{r.left, r.top, r.bottom}, Column{r.right - 1, r.top, r.bottom}};
}

// Calls paint(top, bottom) for the parts of [top, bottom) that no column of others at the
// same x covers.
template <typename Paint>
void uncoveredParts(const Column& c, const std::array<Column, 2>& others, Paint paint) {
    std::array<Column, 2> cover{};
    int n = 0;
    for (const Column& o : others)
        if (o.x == c.x && o.top < o.bottom)
            cover[static_cast<std::size_t>(n++)] = o;
    if (n == 2 && cover[1].top < cover[0].top)
        std::swap(cover[0], cover[1]);
    int from = c.top;
    for (int i = 0; i < n; ++i) {
        const Column& o = cover[static_cast<std::size_t>(i)];
        if (o.top > from)
            paint(from, std::min(o.top, c.bottom));
        from = std::max(from, o.bottom);
        if (from >= c.bottom)
            return;
    }
    if (from < c.bottom)
        paint(from, c.bottom);
}

} // namespace

void FrameStackCore::moveSelectionFrame(const Rect& from, const Rect& to, Colour colour) {
    if (from == to)
        return;
    // A layer kept as marks holds just this frame: the mark moves, and the same areas as for
    // a drawn layer are repainted.
    LayerPicture& layer = L6_Selection.bitmap;
    imaging::Bitmap* sel = layer.keptWhole() ? &layer.drawn() : nullptr;
    if (!sel)
        layer.mark(0) = {to, colour, layer.rect()};
    const bool shown = L6_Selection.visible;
    auto put = [&](const Rect& r, Colour c) {
        if (r.isEmpty())
            return;
        if (sel)
            sel->fillRect(r, c);
        if (shown)
            markDirty(r);
    };
    const auto oldColumns = columnsOf(from);
    const auto newColumns = columnsOf(to);
    // Rows are short: clear the old ones whole.
    put({from.left, from.top, from.right, from.top + 1}, TransparentColor);
    put({from.left, from.bottom - 1, from.right, from.bottom}, TransparentColor);
    // Old columns: clear what the new columns do not keep.
    for (const Column& c : oldColumns)
        uncoveredParts(c, newColumns, [&](int top, int bottom) {
            put({c.x, top, c.x + 1, bottom}, TransparentColor);
        });
    put({to.left, to.top, to.right, to.top + 1}, colour);
    put({to.left, to.bottom - 1, to.right, to.bottom}, colour);
    // New columns: draw what the old columns did not already hold, and the pixels where
    // the old rows were just cleared across them.
    for (const Column& c : newColumns) {
        uncoveredParts(c, oldColumns, [&](int top, int bottom) {
            put({c.x, top, c.x + 1, bottom}, colour);
        });
        for (int y : {from.top, from.bottom - 1})
            if (y >= c.top && y < c.bottom)
                put({c.x, y, c.x + 1, y + 1}, colour);
    }
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
    // While grabbing, the selection layer holds only the previous frame: the new frame is
    // made from it by changing just the pixels that differ (none, while the pointer stays
    // in one cell), which on a tall picture is far cheaper than clearing and redrawing.
    if (Mode == CanvasMode::Grab && selectionMarkCount_ == 1 &&
        selectionHoldsOnly(selectionMarks_[0].rect, GrabColor)) {
        const Rect previous = selectionMarks_[0].rect;
        L6_Selection.paint = GrabColor;
        SelectionRect = DownRect.united(CursorRect);
        moveSelectionFrame(previous, SelectionRect, GrabColor);
        selectionMarks_[0].rect = SelectionRect;
        return;
    }
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
    switch (Tool) {
    case TransformTool::Rotate:
    case TransformTool::HFlip:
    case TransformTool::VFlip:
        return; // these act on the pressed cell alone: nothing to scroll toward
    case TransformTool::None:
    case TransformTool::Swap:
    case TransformTool::Move:
        break;
    }
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
    LayerPicture& sel = L6_Selection.bitmap;
    // Beyond the borders a layer kept as marks holds, the layer is drawn whole.
    if (!sel.keptWhole() && !SelectionRect.isEmpty() &&
        !sel.addMark({SelectionRect, L6_Selection.paint, sel.rect()}))
        sel.drawn();
    if (sel.keptWhole())
        sel.drawn().drawFrame(SelectionRect, L6_Selection.paint);
    rememberSelectionMark(SelectionRect, L6_Selection.paint, true);
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
    LayerPicture& layer = L6_Selection.bitmap;
    const std::array<Rect, 3> areas{ra, rb, rc};
    const std::array<Rect, 3> insides{shrunk(ra), shrunk(rb), shrunk(rc)};
    const Rect bounds = layer.rect();
    for (const Rect& area : areas) {
        if (area.isEmpty())
            continue;
        const Rect visible = area.intersected(bounds);
        if (visible.isEmpty())
            continue;
        // A layer kept as marks takes the area as a mark; beyond the borders it holds, the
        // layer is drawn whole.
        if (!layer.keptWhole() && !layer.addMark({area, RangeColor, visible, true, insides}))
            layer.drawn();
        if (!layer.keptWhole()) {
            rememberSelectionMark(area, RangeColor, false);
            if (L6_Selection.visible)
                markDirty(area);
            continue;
        }
        imaging::Bitmap& sel = layer.drawn();
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
        rememberSelectionMark(area, RangeColor, false);
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
    imageAboutToChange(target);
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
