#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

using namespace parvane::canvas;
using namespace parvane::canvas::testing;
using parvane::imaging::Bitmap;
using parvane::imaging::Colour;
using parvane::imaging::Rect;
namespace colours = parvane::imaging::colours;

namespace {

constexpr ShiftState kNoKeys{};
constexpr ShiftState kCtrl{false, true, false};
const Colour kLightDot{192, 192, 192};
const Colour kRingDot{32, 32, 32};
const Colour kLine{224, 224, 224};

// What the owner does for a click-and-drag: move to the press point, press, move along,
// release.
void drag(FrameStackCore& c, MouseButton button, int x0, int y0, int x1, int y1) {
    c.MouseIsOnMove(kNoKeys, x0, y0);
    c.MouseIsDown(button, kNoKeys, x0, y0);
    c.MouseIsOnMove(kNoKeys, x1, y1);
    c.MouseIsUp(button, kNoKeys, x1, y1);
}

Bitmap area(const Bitmap& b, const Rect& r) {
    Bitmap out(r.width(), r.height());
    out.copyRect({0, 0}, b, r);
    return out;
}

// The range outline as the fills describe it: green areas with black insides.
Bitmap referenceOutline(const Bitmap& like, const std::vector<Rect>& areas) {
    Bitmap b(like.width(), like.height());
    for (const Rect& r : areas)
        b.fillRect(r, colours::kGreen);
    for (const Rect& r : areas)
        b.fillRect(r.inflated(-1), colours::kBlack);
    return b;
}

} // namespace

TEST(Grid, CursorLocksToWholeCellsOfA300PixelPort) {
    CanvasFixtureState s(300, 300);
    FrameStackCore& c = s.canvas;
    EXPECT_EQ(c.GridCols, 4);
    EXPECT_EQ(c.GridRows, 4);
    Rect grid;
    c.GetGridRect(grid);
    EXPECT_EQ(grid, (Rect{0, 0, 256, 256}));
    struct Case {
        int x, y, left, top;
    };
    for (const Case& k :
         {Case{0, 0, 0, 0}, Case{63, 64, 0, 64}, Case{200, 130, 192, 128}, Case{290, 290, 192, 192},
          Case{-50, 5000, 0, 192}, Case{255, 256, 192, 192}}) {
        c.MouseIsOnMove(kNoKeys, k.x, k.y);
        EXPECT_EQ(c.CursorRect, Rect::fromSize(k.left, k.top, 64, 64)) << k.x << "," << k.y;
        EXPECT_EQ(c.L7_Cursor.left, k.left);
        EXPECT_EQ(c.L4_Clip.top, k.top);
    }
}

TEST(Grid, PortNarrowerThanACellKeepsTheCursorAtTheOrigin) {
    CanvasFixtureState s(40, 40);
    FrameStackCore& c = s.canvas;
    EXPECT_EQ(c.GridCols, 0);
    c.MouseIsOnMove(kNoKeys, 30, 39);
    EXPECT_EQ(c.CursorRect, (Rect{0, 0, 64, 64}));
}

TEST(Grid, DoubleClicksToggleFreeModeAndPlaceACustomGrid) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.setLayerVisible(c.L5_Grid, true);
    c.MouseIsOnMove(kNoKeys, 10, 10);
    c.MouseIsDoubleClick();
    EXPECT_FALSE(c.SnapToGrid);
    EXPECT_FALSE(c.L5_Grid.visible);

    c.MouseIsOnMove(kNoKeys, 100, 70);
    c.MouseIsDoubleClick();
    EXPECT_TRUE(c.SnapToGrid);
    EXPECT_TRUE(c.L5_Grid.visible);
    EXPECT_EQ(c.GridOffsetX, 4);
    EXPECT_EQ(c.GridOffsetY, 38);
    EXPECT_EQ(c.GridRect, (Rect{4, 38, 4 + 3 * 64, 38 + 7 * 64}));
    c.MouseIsOnMove(kNoKeys, 100, 70);
    EXPECT_EQ(c.CursorRect, (Rect{68, 38, 132, 102}));
    // The grid layer was redrawn with the new origin.
    EXPECT_EQ(c.L5_Grid.bitmap.pixel(4, 38), kLightDot);
    EXPECT_EQ(c.L5_Grid.bitmap.pixel(0, 0), colours::kBlack);

    c.ResetGrid();
    EXPECT_EQ(c.GridOffsetX, 0);
    EXPECT_TRUE(c.SnapToGrid);
}

TEST(Grid, ResetAfterFreeModeLocksWhileTheGridStaysHidden) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.MouseIsOnMove(kNoKeys, 100, 70);
    c.MouseIsDoubleClick();
    c.ResetGrid();
    EXPECT_TRUE(c.SnapToGrid);
    EXPECT_EQ(c.GridOffsetX, 0);
    EXPECT_EQ(c.GridOffsetY, 0);
    EXPECT_FALSE(c.L5_Grid.visible);
}

TEST(Grid, DoubleClickOutsideThePanelStillGivesAnOriginInsideACell) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.MouseIsDoubleClick(); // to free mode
    c.MouseIsUp(MouseButton::Left, kNoKeys, -100, -3);
    c.MouseIsDoubleClick();
    EXPECT_GE(c.GridOffsetX, 0);
    EXPECT_LT(c.GridOffsetX, 64);
    EXPECT_GE(c.GridOffsetY, 0);
    EXPECT_LT(c.GridOffsetY, 64);
}

TEST(Grid, DottedCellsAndTheOuterRing) {
    CanvasFixtureState s(150, 150);
    const Bitmap& g = s.canvas.L5_Grid.bitmap;
    EXPECT_EQ(g.pixel(0, 0), kLightDot);
    EXPECT_EQ(g.pixel(1, 0), colours::kBlack);
    EXPECT_EQ(g.pixel(63, 1), kLightDot); // right edge of the first cell
    EXPECT_EQ(g.pixel(64, 0), kLightDot); // left edge of its neighbour: a double line
    EXPECT_EQ(g.pixel(30, 30), colours::kBlack);
    EXPECT_EQ(g.pixel(128, 0), kRingDot); // the ring cell beyond the last whole column
    EXPECT_EQ(g.pixel(128, 1), colours::kBlack);
    EXPECT_EQ(g.pixel(0, 128), kRingDot);
}

TEST(Grid, DottedLayerEqualsEveryCellOutlineDrawnInTurn) {
    struct Case {
        int cellWidth, cellHeight, offsetX, offsetY, portWidth, portHeight;
        Colour transparent;
    };
    // Cells of one pixel, thin cells, origins before and beyond the port, a port smaller
    // than the layers (its outside is dotted but never cleared) and a coloured clear.
    for (const Case c :
         {Case{64, 64, 0, 0, 150, 150, colours::kBlack}, Case{1, 1, 0, 0, 9, 7, colours::kBlack},
          Case{3, 2, -5, 4, 40, 30, colours::kBlack}, Case{7, 1, 2, -3, 40, 30, colours::kBlack},
          Case{1, 5, 13, 0, 40, 30, colours::kBlack}, Case{8, 8, 3, 5, 21, 17, colours::kBlack},
          Case{16, 4, 1, 1, 50, 30, {9, 200, 33}}}) {
        SCOPED_TRACE(c.cellWidth * 100 + c.cellHeight);
        CanvasFixtureState s(50, 40);
        FrameStackCore& g = s.canvas;
        g.UpdateImagePort(c.portWidth, c.portHeight);
        g.CellWidth = c.cellWidth;
        g.CellHeight = c.cellHeight;
        g.GridOffsetX = c.offsetX;
        g.GridOffsetY = c.offsetY;
        g.TransparentColor = c.transparent;
        const Bitmap before = g.L5_Grid.bitmap;
        g.UpdateGrid();
        // Whole cells of the port, each outlined by a dotted frame: every second pixel (where
        // x + y is even) of the outline just inside the cell combined by exclusive-or, first
        // in the ring colour for the cells and a ring around them, then in the grid colour.
        const int cols = (c.portWidth - c.offsetX) / c.cellWidth;
        const int rows = (c.portHeight - c.offsetY) / c.cellHeight;
        EXPECT_EQ(g.GridCols, cols);
        EXPECT_EQ(g.GridRows, rows);
        Bitmap expected = before;
        ASSERT_EQ(expected.format(), parvane::imaging::PixelFormat::Bits32);
        expected.fillRect({0, 0, c.portWidth, c.portHeight}, c.transparent);
        const auto dottedFrame = [&](int col, int row, Colour paint) {
            const int left = c.offsetX + col * c.cellWidth, top = c.offsetY + row * c.cellHeight;
            const int right = left + c.cellWidth - 1, bottom = top + c.cellHeight - 1;
            for (int y = std::max(top, 0); y <= std::min(bottom, expected.height() - 1); ++y)
                for (int x = std::max(left, 0); x <= std::min(right, expected.width() - 1); ++x)
                    if ((x == left || x == right || y == top || y == bottom) && (x + y) % 2 == 0) {
                        std::uint8_t* p = expected.row(y) + 4 * x;
                        p[0] ^= paint.blue, p[1] ^= paint.green, p[2] ^= paint.red;
                    }
        };
        for (int row = -1; row <= rows; ++row)
            for (int col = -1; col <= cols; ++col)
                dottedFrame(col, row, kRingDot);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col)
                dottedFrame(col, row, kLine);
        EXPECT_TRUE(g.L5_Grid.bitmap == expected);
    }
}

TEST(Grid, LinesCrossTheWholeLayerAtTheCellEdges) {
    CanvasFixtureState s(150, 150);
    FrameStackCore& c = s.canvas;
    c.GridStyle = GridStyle::Lines;
    c.GridOffsetX = 4;
    c.GridOffsetY = 38;
    c.UpdateGrid();
    const Bitmap& g = c.L5_Grid.bitmap;
    EXPECT_EQ(c.GridCols, 2);
    EXPECT_EQ(c.GridRows, 1);
    for (int x : {4, 68, 132})
        EXPECT_EQ(g.pixel(x, 149), kLine) << x;
    for (int y : {38, 102})
        EXPECT_EQ(g.pixel(0, y), kLine) << y;
    EXPECT_EQ(g.pixel(5, 5), colours::kBlack);
    EXPECT_EQ(g.pixel(149, 140), colours::kBlack); // no line at 166

    c.GridStyle = GridStyle::None;
    c.UpdateGrid();
    EXPECT_EQ(c.L5_Grid.bitmap.pixel(4, 149), colours::kBlack);
}

TEST(Modes, FreeCursorIsACellSquareAroundThePointer) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.MouseIsDoubleClick();
    c.MouseIsOnMove(kNoKeys, 5, 5);
    EXPECT_EQ(c.CursorRect, (Rect{0, 0, 64, 64}));
    c.MouseIsOnMove(kNoKeys, 100, 250);
    EXPECT_EQ(c.CursorRect, (Rect{68, 218, 132, 282}));
    c.MouseIsOnMove(kNoKeys, 5, 5);
    // In free mode every button grabs.
    c.MouseIsDown(MouseButton::Right, kNoKeys, 5, 5);
    EXPECT_EQ(c.DownRect, (Rect{0, 0, 64, 64}));
    EXPECT_EQ(c.DownIndex, -1);
    EXPECT_EQ(c.Mode, CanvasMode::Grab);
    c.MouseIsUp(MouseButton::Right, kNoKeys, 5, 5);
    EXPECT_EQ(c.UpIndex, -1);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
    EXPECT_EQ(c.Clip().bitmap.width(), 64);
}

TEST(Modes, GrabsAcrossCellsInBothDirections) {
    struct Case {
        int x0, y0, x1, y1;
    };
    for (const Case& k :
         {Case{3 * 64 + 5, 2 * 64 + 5, 64 + 5, 5}, Case{64 + 5, 5, 3 * 64 + 5, 2 * 64 + 5}}) {
        CanvasFixtureState s;
        FrameStackCore& c = s.canvas;
        paintCells(c.Bitmap(), 64);
        drag(c, MouseButton::Left, k.x0, k.y0, k.x1, k.y1);
        EXPECT_EQ(c.Mode, CanvasMode::Idle);
        EXPECT_EQ(c.SelectionRect, (Rect{64, 0, 256, 192}));
        EXPECT_EQ(c.Clip().bitmap, area(c.Bitmap(), {64, 0, 256, 192}));
        EXPECT_FALSE(c.L4_Clip.visible);
        EXPECT_FALSE(c.L6_Selection.visible);
    }
}

TEST(Modes, PressAndReleaseInOneCellGrabThatCell) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    paintCells(c.Bitmap(), 64);
    drag(c, MouseButton::Left, 70, 200, 120, 250);
    EXPECT_EQ(c.DownIndex, 3 * 4 + 1);
    EXPECT_EQ(c.UpIndex, 13);
    EXPECT_EQ(c.SelectionRect, (Rect{64, 192, 128, 256}));
    EXPECT_EQ(c.Clip().bitmap, area(c.Bitmap(), {64, 192, 128, 256}));
}

TEST(Modes, AutoExportSendsThePressedCellThenTheWholeSelection) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    paintCells(c.Bitmap(), 64);
    c.AutoExport = true;
    c.MouseIsOnMove(kNoKeys, 10, 10);
    c.MouseIsDown(MouseButton::Left, kNoKeys, 10, 10);
    ASSERT_EQ(s.host.exported.size(), 1u);
    EXPECT_EQ(s.host.exported[0], area(c.Bitmap(), {0, 0, 64, 64}));
    c.MouseIsOnMove(kNoKeys, 130, 70);
    EXPECT_EQ(s.host.exported.size(), 1u);
    c.MouseIsUp(MouseButton::Left, kNoKeys, 130, 70);
    ASSERT_EQ(s.host.exported.size(), 2u);
    EXPECT_EQ(s.host.exported[1], area(c.Bitmap(), {0, 0, 192, 128}));

    c.AutoExport = false;
    drag(c, MouseButton::Left, 10, 10, 10, 10);
    EXPECT_EQ(s.host.exported.size(), 2u);
}

TEST(Modes, SelectionOutsideThePictureGivesBlackNotTheOldClip) {
    CanvasFixtureState s(100, 100);
    FrameStackCore& c = s.canvas;
    Bitmap old(64, 64);
    old.fill(colours::kMagenta);
    c.setClip(old);
    c.Bitmap().fill(colours::kGreen);
    c.MouseIsDoubleClick(); // free mode: the pressed square may leave the picture
    drag(c, MouseButton::Left, 95, 95, 95, 95);
    // The pressed square is pushed only off the left and top edges; the cursor square of
    // the move stays inside the port.
    EXPECT_EQ(c.SelectionRect, (Rect{36, 36, 127, 127}));
    EXPECT_EQ(c.Clip().bitmap.pixel(63, 63), colours::kGreen);
    EXPECT_EQ(c.Clip().bitmap.pixel(64, 64), colours::kBlack);
    EXPECT_EQ(c.Clip().bitmap.pixel(90, 5), colours::kBlack);
}

TEST(Modes, PasteWithAndWithoutCtrlAndTheRightButtonCancel) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    Bitmap tile(64, 64);
    tile.fill(colours::kMagenta);
    c.setClip(tile);
    c.SetModeToPaste();
    EXPECT_EQ(c.Mode, CanvasMode::Paste);
    EXPECT_TRUE(c.L4_Clip.visible);
    EXPECT_EQ(s.host.pointer, PointerShape::SizeAll);

    c.MouseIsOnMove(kCtrl, 70, 10);
    c.MouseIsDown(MouseButton::Left, kCtrl, 70, 10);
    EXPECT_EQ(c.Mode, CanvasMode::Paste);
    EXPECT_TRUE(c.L4_Clip.visible);
    EXPECT_EQ(c.Bitmap().pixel(64, 0), colours::kMagenta);
    EXPECT_EQ(c.Bitmap().pixel(127, 63), colours::kMagenta);
    EXPECT_EQ(c.Bitmap().pixel(128, 0), colours::kBlack);

    c.MouseIsOnMove(kNoKeys, 10, 140);
    c.MouseIsDown(MouseButton::Middle, kNoKeys, 10, 140); // middle counts as left
    EXPECT_EQ(c.Bitmap().pixel(0, 128), colours::kMagenta);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
    EXPECT_FALSE(c.L4_Clip.visible);
    EXPECT_EQ(s.host.pointer, PointerShape::Arrow);

    c.SetModeToPaste();
    c.MouseIsOnMove(kNoKeys, 10, 300);
    c.MouseIsDown(MouseButton::Right, kNoKeys, 10, 300);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
    EXPECT_EQ(c.Bitmap().pixel(0, 256), colours::kBlack);
    // A release in Paste or Idle changes nothing.
    c.MouseIsUp(MouseButton::Left, kNoKeys, 10, 300);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
}

TEST(Modes, RangeOutlineOverOneTwoAndThreeRows) {
    CanvasFixtureState s; // 4 columns of 64
    FrameStackCore& c = s.canvas;
    const Bitmap& sel = c.L6_Selection.bitmap;

    c.MouseIsOnMove(kNoKeys, 70, 70);
    c.MouseIsDown(MouseButton::Right, kNoKeys, 70, 70);
    EXPECT_EQ(c.Mode, CanvasMode::Range);
    EXPECT_TRUE(c.L6_Selection.visible);
    EXPECT_FALSE(c.L7_Cursor.visible);
    Bitmap expected(sel.width(), sel.height());
    expected.drawFrame({64, 64, 128, 128}, colours::kGreen);
    EXPECT_TRUE(samePixels(sel, expected));

    c.MouseIsOnMove(kNoKeys, 10, 140); // next row, left of the pressed cell
    EXPECT_TRUE(
        samePixels(sel, referenceOutline(sel, {{64, 64, 256, 128}, {0, 128, 64, 192}, {}})));

    c.MouseIsOnMove(kNoKeys, 140, 140); // next row, right of it: the areas join
    EXPECT_TRUE(samePixels(
        sel, referenceOutline(sel, {{64, 64, 256, 128}, {0, 128, 192, 192}, {64, 64, 192, 192}})));

    c.MouseIsOnMove(kNoKeys, 130, 200); // two rows lower: a full row between
    EXPECT_TRUE(samePixels(
        sel, referenceOutline(sel, {{64, 64, 256, 192}, {0, 128, 192, 256}, {0, 128, 256, 192}})));

    c.MouseIsOnMove(kNoKeys, 130, 10); // upward: the cells exchange their roles
    EXPECT_TRUE(samePixels(sel, referenceOutline(sel, {{128, 0, 256, 64}, {0, 64, 128, 128}, {}})));

    // Releasing starts playing the range, from the pressed cell back to this one.
    c.MouseIsUp(MouseButton::Right, kNoKeys, 130, 10);
    EXPECT_EQ(c.UpIndex, 2);
    EXPECT_EQ(c.Mode, CanvasMode::Anim);
}

TEST(Modes, SelectionLayerAfterManyMovesEqualsAFreshDrawing) {
    // Grab moves only touch the pixels that change; whatever the path of the pointer, the
    // layer must end as a freshly drawn frame. Cells of 1 and 2 pixels give the thinnest
    // frames, free mode frames that share no edge with the last.
    for (int cell : {64, 8, 2, 1}) {
        for (bool free : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "cell " << cell << (free ? " free" : ""));
            CanvasFixtureState s(200, 600);
            FrameStackCore& c = s.canvas;
            c.InitGrid(cell, cell);
            if (free)
                c.MouseIsDoubleClick();
            const Bitmap& sel = c.L6_Selection.bitmap;
            c.MouseIsOnMove(kNoKeys, 100, 300);
            c.MouseIsDown(MouseButton::Left, kNoKeys, 100, 300);
            unsigned seed = 12345;
            for (int i = 0; i < 60; ++i) {
                seed = seed * 1103515245u + 12345u;
                const int jump = (seed >> 8) % 4; // stay, step, or jump far
                const int x = jump == 0   ? c.MouseX
                              : jump == 1 ? c.MouseX + cell
                                          : (seed >> 12) % 260 - 30;
                const int y = jump == 0   ? c.MouseY + 1
                              : jump == 1 ? c.MouseY - cell
                                          : (seed >> 4) % 660 - 30;
                c.MouseIsOnMove(kNoKeys, x, y);
                Bitmap expected(sel.width(), sel.height());
                expected.drawFrame(c.DownRect.united(c.CursorRect), colours::kYellow);
                ASSERT_TRUE(samePixels(sel, expected)) << "move " << i;
                ASSERT_EQ(c.SelectionRect, c.DownRect.united(c.CursorRect));
            }
        }
    }
}

TEST(Modes, GrabMoveRepaintsOnlyAroundTheFrames) {
    CanvasFixtureState s(512, 8192);
    FrameStackCore& c = s.canvas;
    c.MouseIsOnMove(kNoKeys, 10, 10);
    c.MouseIsDown(MouseButton::Left, kNoKeys, 10, 10);
    c.MouseIsOnMove(kNoKeys, 70, 70);
    c.takeDirtyArea();
    c.MouseIsOnMove(kNoKeys, 140, 70);
    EXPECT_EQ(c.dirtyArea(), (Rect{0, 0, 192, 128}));
}

TEST(Modes, RightPressesInAnimationAndTransformModes) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.SetModeToAnim();
    c.AnimRunning = true;
    c.MouseIsDown(MouseButton::Left, kNoKeys, 10, 10);
    EXPECT_TRUE(c.AnimRunning);
    c.MouseIsDown(MouseButton::Right, kNoKeys, 10, 10);
    EXPECT_FALSE(c.AnimRunning);
    EXPECT_EQ(c.Mode, CanvasMode::Anim);
    EXPECT_FALSE(c.L7_Cursor.visible);

    c.SetModeToTransform();
    EXPECT_TRUE(c.L7_Cursor.visible);
    c.MouseIsDown(MouseButton::Left, kNoKeys, 10, 10);
    c.MouseIsUp(MouseButton::Left, kNoKeys, 100, 10);
    EXPECT_EQ(c.Mode, CanvasMode::Transform);
    EXPECT_EQ(c.UpIndex, 1);
    c.MouseIsDown(MouseButton::Right, kNoKeys, 10, 10);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
}

TEST(Modes, AutoScrollStepsTowardTheNearEdgeOnlyWhileActing) {
    CanvasFixtureState s(512, 1024);
    FrameStackCore& c = s.canvas;
    s.host.view = {20, 0, 300, 300};
    c.MouseIsOnMove(kNoKeys, 10, 10); // Idle: no scrolling
    EXPECT_EQ(s.host.view.x, 20);

    c.MouseIsDown(MouseButton::Left, kNoKeys, 10, 10);
    c.MouseIsOnMove(kNoKeys, 10, 100); // cursor at 0 < 20 + 16
    EXPECT_EQ(s.host.view.x, 14);
    c.MouseIsOnMove(kNoKeys, 10, 100);
    c.MouseIsOnMove(kNoKeys, 10, 100);
    EXPECT_EQ(s.host.view.x, 2);
    c.MouseIsOnMove(kNoKeys, 10, 100);
    EXPECT_EQ(s.host.view.x, 0);

    // Toward the far edge: the cursor's right part comes within 16 pixels.
    c.MouseIsOnMove(kNoKeys, 250, 260); // cursor (192, 256): 256 > 300 - 64 + 0 - 16
    EXPECT_EQ(s.host.view.x, 0);
    EXPECT_EQ(s.host.view.y, 6);

    c.Tool = TransformTool::Rotate;
    c.MouseIsOnMove(kNoKeys, 250, 260);
    EXPECT_EQ(s.host.view.y, 6);
}

TEST(Modes, LeavingParksTheCursorAndClipUntilTheNextMove) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.MouseIsOnMove(kNoKeys, 70, 70);
    c.ParkCursorLayers();
    EXPECT_EQ(c.L7_Cursor.left, FrameStackCore::kParkedLeft);
    EXPECT_EQ(c.L4_Clip.left, FrameStackCore::kParkedLeft);
    c.MouseIsOnMove(kNoKeys, 70, 70);
    EXPECT_EQ(c.L7_Cursor.left, 64);
    EXPECT_EQ(c.L4_Clip.left, 64);
}

TEST(Cursors, PictureFollowsTheCellWidth) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    struct Case {
        int cell, size;
        std::uint8_t marker;
    };
    for (const Case& k : {Case{32, 32, 3}, Case{16, 16, 4}, Case{8, 8, 5}, Case{64, 64, 1}}) {
        c.InitGrid(k.cell, k.cell);
        c.SetCursorToDefault();
        EXPECT_EQ(c.CursorName(), "crNormal");
        EXPECT_EQ(c.L7_Cursor.bitmap.width(), k.size);
        EXPECT_EQ(c.L7_Cursor.bitmap.pixel(1, 1).red, k.marker);
    }
    // Another width keeps the picture the layer has.
    c.InitGrid(48, 48);
    c.SetCursorToDefault();
    EXPECT_EQ(c.L7_Cursor.bitmap.width(), 64);
}

TEST(Cursors, PasteCursorIsAYellowOutlineOfTheClip) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.InitGrid(16, 16);
    c.setClip(Bitmap(128, 64));
    c.Tool = TransformTool::Rotate;
    c.SetCursorToPaste();
    EXPECT_EQ(c.CursorName(), "crRotate"); // unchanged
    const Bitmap& cur = c.L7_Cursor.bitmap;
    ASSERT_EQ(cur.width(), 128);
    ASSERT_EQ(cur.height(), 64);
    EXPECT_EQ(cur.pixel(0, 0), colours::kYellow);
    EXPECT_EQ(cur.pixel(127, 63), colours::kYellow);
    EXPECT_EQ(cur.pixel(64, 63), colours::kYellow);
    EXPECT_EQ(cur.pixel(1, 1), colours::kBlack);
}

TEST(Robustness, OperationsBeforeSetUpOrWithZeroCellsDoNotFail) {
    FrameStackCore c; // no host, nothing set up: every field zero
    c.MouseIsOnMove(kNoKeys, 5, 5);
    c.MouseIsDown(MouseButton::Left, kNoKeys, 5, 5);
    c.MouseIsOnMove(kNoKeys, 50, 50);
    c.MouseIsUp(MouseButton::Left, kNoKeys, 50, 50);
    c.MouseIsDoubleClick();
    c.UpdateGrid();
    c.ExtractAlpha();
    c.PasteClip();
    Bitmap out(4, 4);
    c.Composite({0, 0, 4, 4}, out);

    CanvasFixtureState s;
    s.canvas.CellWidth = 0;
    s.canvas.CellHeight = -3;
    s.canvas.UpdateGrid();
    s.canvas.MouseIsOnMove(kNoKeys, 100, 100);
    s.canvas.MouseIsDown(MouseButton::Left, kNoKeys, 100, 100);
    s.canvas.MouseIsUp(MouseButton::Left, kNoKeys, 120, 120);
    s.canvas.MouseIsDoubleClick();
    EXPECT_EQ(s.canvas.Mode, CanvasMode::Idle);
}
