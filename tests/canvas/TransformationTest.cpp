#include "CellToolSupport.h"
#include "canvas/CellTransformations.h"
#include "canvas/ImageStack.h"
#include "resources/Resources.h"

#include <QImage>
#include <gtest/gtest.h>

namespace parvane::canvas {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::PixelFormat;
using imaging::Rect;
using testing::cellOf;
using testing::CellToolCanvas;
using testing::patternedPicture;
using testing::positionCode;
using testing::rawPixel;

constexpr Colour kRed = imaging::colours::kRed;
constexpr Colour kBlack = imaging::colours::kBlack;

struct TurnCase {
    const char* name;
    CellTurn turn;
    int timesToRestore;
    // Where the pixel from (x, y) of a 64 x 64 cell lands after one turn.
    imaging::Point (*target)(int x, int y);
};

class TurnCells : public ::testing::TestWithParam<TurnCase> {};

TEST_P(TurnCells, MovesEveryPixelWholeAndRestoresAfterAFullRound) {
    const TurnCase& c = GetParam();
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    const Rect cell{128, 64, 192, 128};
    Bitmap clip(10, 10);
    turnCell(image, cell, c.turn, clip);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const imaging::Point to = c.target(x, y);
            ASSERT_EQ(rawPixel(image, cell.left + to.x, cell.top + to.y),
                      positionCode(cell.left + x, cell.top + y))
                << "pixel (" << x << ", " << y << ")";
        }
    Bitmap outside = image;
    outside.copyRect({cell.left, cell.top}, original, cell);
    EXPECT_EQ(outside, original) << "only the cell changes";
    for (int k = 2; k < c.timesToRestore; ++k) {
        turnCell(image, cell, c.turn, clip);
        EXPECT_NE(image, original);
    }
    turnCell(image, cell, c.turn, clip);
    EXPECT_EQ(image, original);
}

INSTANTIATE_TEST_SUITE_P(Turns, TurnCells,
                         ::testing::Values(TurnCase{"Rotate", CellTurn::Rotate, 4,
                                                    [](int x, int y) {
                                                        return imaging::Point{63 - y, x};
                                                    }},
                                           TurnCase{"FlipHorizontal", CellTurn::FlipHorizontal, 2,
                                                    [](int x, int y) {
                                                        return imaging::Point{63 - x, y};
                                                    }},
                                           TurnCase{"FlipVertical", CellTurn::FlipVertical, 2,
                                                    [](int x, int y) {
                                                        return imaging::Point{x, 63 - y};
                                                    }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TurnCell, NonSquareCellsTurnTheirTopLeftSquareAndMirrorWhole) {
    Bitmap image = patternedPicture(128, 64);
    const Bitmap original = image;
    const Rect cell{0, 16, 64, 48}; // 64 x 32
    Bitmap clip;
    turnCell(image, cell, CellTurn::Rotate, clip);
    EXPECT_EQ(rawPixel(image, 31, 16), positionCode(0, 16));
    EXPECT_EQ(rawPixel(image, 40, 20), positionCode(40, 20)) << "right of the square stays";
    for (int k = 0; k < 3; ++k)
        turnCell(image, cell, CellTurn::Rotate, clip);
    EXPECT_EQ(image, original);
    turnCell(image, cell, CellTurn::FlipHorizontal, clip);
    EXPECT_EQ(rawPixel(image, 63, 16), positionCode(0, 16));
    turnCell(image, cell, CellTurn::FlipVertical, clip);
    EXPECT_EQ(rawPixel(image, 63, 47), positionCode(0, 16));
}

TEST(TurnCell, PalettedPicturesKeepTheirIndices) {
    for (const PixelFormat format : {PixelFormat::Bits4, PixelFormat::Bits8}) {
        Bitmap image = patternedPicture(64, 32, format);
        const Bitmap original = image;
        Bitmap clip(16, 16, format);
        clip.setPalette(image.palette());
        const Rect cell{16, 16, 32, 32};
        turnCell(image, cell, CellTurn::Rotate, clip);
        EXPECT_EQ(image.indexAt(31, 16), original.indexAt(16, 16));
        for (int k = 0; k < 3; ++k)
            turnCell(image, cell, CellTurn::Rotate, clip);
        EXPECT_EQ(image, original);
    }
}

TEST(CellForTurn, OverhangingCellsMoveInsideThePicture) {
    const Bitmap image(200, 100);
    EXPECT_EQ(cellForTurn({10, 20, 74, 84}, image), (Rect{10, 20, 74, 84}));
    EXPECT_EQ(cellForTurn({170, 60, 234, 124}, image), (Rect{136, 36, 200, 100}));
    EXPECT_FALSE(cellForTurn({0, 0, 64, 64}, Bitmap(50, 100)).has_value());
    EXPECT_FALSE(cellForTurn({}, image).has_value());
}

struct ShiftCase {
    const char* name;
    int cols;
    int from;
    int to;
    std::vector<std::pair<int, int>> moved; // cell, former cell it holds
};

class ShiftCellsTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftCellsTest, MovesOneCellAndClosesUpTheCellsBetween) {
    const ShiftCase& c = GetParam();
    const CellGeometry grid{32, 32, 4, 2, c.cols, 8 / c.cols};
    Bitmap image = patternedPicture(4 + 32 * c.cols, 2 + 32 * (8 / c.cols));
    const Bitmap original = image;
    shiftCells(image, grid, c.from, c.to);
    std::vector<int> source(8);
    for (int i = 0; i < 8; ++i)
        source[i] = i;
    for (const auto& [cell, from] : c.moved)
        source[cell] = from;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(cellOf(image, grid.indexRect(i)), cellOf(original, grid.indexRect(source[i])))
            << "cell " << i;
    Bitmap margins = image;
    margins.copyRect({4, 2}, original, {4, 2, margins.width(), margins.height()});
    EXPECT_EQ(margins, original) << "the margin outside the grid stays";
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, ShiftCellsTest,
    ::testing::Values(ShiftCase{"Forward", 8, 2, 5, {{2, 3}, {3, 4}, {4, 5}, {5, 2}}},
                      ShiftCase{"Backward", 8, 5, 2, {{5, 4}, {4, 3}, {3, 2}, {2, 5}}},
                      ShiftCase{"ForwardAcrossRowEnds", 2, 2, 5, {{2, 3}, {3, 4}, {4, 5}, {5, 2}}},
                      ShiftCase{"BackwardAcrossRowEnds", 2, 5, 2, {{5, 4}, {4, 3}, {3, 2}, {2, 5}}},
                      ShiftCase{"SameCell", 4, 3, 3, {}}, ShiftCase{"OutsideTheGrid", 4, 3, 8, {}},
                      ShiftCase{"FreeMode", 4, -1, -1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The transformation tools on a canvas: a press and a release in mode Transform.

void useTool(FrameStackCore& core, const char* tool) {
    const std::string_view name = tool;
    if (name == "crRotate")
        core.SetCursorToRotate();
    else if (name == "crHFlip")
        core.SetCursorToHFlip();
    else if (name == "crVFlip")
        core.SetCursorToVFlip();
    else if (name == "crSwap")
        core.SetCursorToSwap();
    else
        core.SetCursorToShift();
}

struct ToolCase {
    const char* tool;
    PointerShape pointer;
};

class Tools : public ::testing::TestWithParam<ToolCase> {};

TEST_P(Tools, SettersEnterTransformWithTheirPointerNameAndPicture) {
    CellToolCanvas canvas(256, 512);
    FrameStackCore& core = canvas.core;
    core.MouseIsOnMove({}, 10, 10);
    const bool selectionShown = core.L6_Selection.visible;
    const bool cursorShown = core.L7_Cursor.visible;
    core.SetModeToPaste();
    ASSERT_TRUE(core.L4_Clip.visible);
    useTool(core, GetParam().tool);
    EXPECT_EQ(core.Mode, CanvasMode::Transform);
    EXPECT_EQ(core.CursorName(), GetParam().tool);
    EXPECT_EQ(core.CurrentPointerShape(), GetParam().pointer);
    EXPECT_FALSE(core.L4_Clip.visible);
    EXPECT_EQ(core.L6_Selection.visible, selectionShown);
    EXPECT_EQ(core.L7_Cursor.visible, cursorShown);
    EXPECT_EQ(core.L7_Cursor.bitmap, canvas.host.picture(GetParam().tool));

    // Smaller cells show the plain brackets of their size; other sizes keep the picture.
    for (const auto& [cell, picture] : {std::pair{32, "cr32"}, {16, "cr16"}, {8, "cr08"}}) {
        core.InitGrid(cell, cell);
        useTool(core, GetParam().tool);
        EXPECT_EQ(core.L7_Cursor.bitmap, canvas.host.picture(picture)) << cell;
    }
    core.InitGrid(48, 48);
    useTool(core, GetParam().tool);
    EXPECT_EQ(core.L7_Cursor.bitmap, canvas.host.picture("cr08"));
    EXPECT_EQ(core.CursorName(), GetParam().tool);
}

INSTANTIATE_TEST_SUITE_P(Setters, Tools,
                         ::testing::Values(ToolCase{"crRotate", PointerShape::Cross},
                                           ToolCase{"crHFlip", PointerShape::Cross},
                                           ToolCase{"crVFlip", PointerShape::Cross},
                                           ToolCase{"crSwap", PointerShape::Drag},
                                           ToolCase{"crHand", PointerShape::MultiDrag}),
                         [](const auto& info) { return std::string(info.param.tool); });

TEST(CanvasTools, RotateActsOnThePressedCellOnlyAndStaysInTransform) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    core.Bitmap().fill(kBlack);
    core.Bitmap().fillRect({64, 0, 128, 1}, kRed); // top row of cell 1
    core.SetCursorToRotate();
    canvas.press(MouseButton::Left, 1);
    canvas.release(MouseButton::Left, 6);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(canvas.image().pixel(x, y), (x == 127 && y < 64) ? kRed : kBlack)
                << x << "," << y;
    EXPECT_EQ(core.Mode, CanvasMode::Transform);
    EXPECT_FALSE(core.L4_Clip.visible);
    EXPECT_EQ(core.L4_Clip.left, 0);
    EXPECT_EQ(core.L4_Clip.top, 0);
    EXPECT_EQ(core.L4_Clip.bitmap, cellOf(canvas.image(), {64, 0, 128, 64}));

    for (int k = 0; k < 3; ++k) {
        canvas.press(MouseButton::Left, 1);
        canvas.release(MouseButton::Left, 1);
    }
    EXPECT_EQ(canvas.image().pixel(64, 0), kRed);
    EXPECT_EQ(canvas.image().pixel(127, 0), kRed);
    EXPECT_EQ(canvas.image().pixel(127, 1), kBlack);
}

TEST(CanvasTools, FlipsTwiceGiveBackTheCell) {
    for (const char* tool : {"crHFlip", "crVFlip"}) {
        CellToolCanvas canvas(256, 128);
        const Bitmap original = canvas.image();
        useTool(canvas.core, tool);
        canvas.press(MouseButton::Left, 5);
        canvas.release(MouseButton::Left, 5);
        EXPECT_NE(canvas.image(), original) << tool;
        canvas.press(MouseButton::Left, 5);
        canvas.release(MouseButton::Left, 2);
        EXPECT_EQ(canvas.image(), original) << tool;
    }
}

TEST(CanvasTools, SwapAndShiftMoveWholeCells) {
    CellToolCanvas canvas(512, 128); // 8 columns, 2 rows
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    auto cell = [&](const Bitmap& b, int i) { return cellOf(b, core.IndexRect(i)); };

    core.SetCursorToSwap();
    canvas.press(MouseButton::Left, 2);
    canvas.release(MouseButton::Left, 11);
    EXPECT_EQ(cell(canvas.image(), 2), cell(original, 11));
    EXPECT_EQ(cell(canvas.image(), 11), cell(original, 2));
    EXPECT_EQ(core.L4_Clip.bitmap, cell(original, 2));
    canvas.press(MouseButton::Left, 11);
    canvas.release(MouseButton::Left, 2);
    EXPECT_EQ(canvas.image(), original);
    core.setClip(Bitmap(5, 7));
    canvas.press(MouseButton::Left, 4);
    canvas.release(MouseButton::Left, 4);
    EXPECT_EQ(canvas.image(), original);
    EXPECT_EQ(core.L4_Clip.bitmap.width(), 64) << "the clip is still sized to one cell";

    core.SetCursorToShift();
    canvas.press(MouseButton::Left, 2);
    canvas.release(MouseButton::Left, 5);
    EXPECT_EQ(cell(canvas.image(), 2), cell(original, 3));
    EXPECT_EQ(cell(canvas.image(), 3), cell(original, 4));
    EXPECT_EQ(cell(canvas.image(), 4), cell(original, 5));
    EXPECT_EQ(cell(canvas.image(), 5), cell(original, 2));
    canvas.press(MouseButton::Left, 5);
    canvas.release(MouseButton::Left, 2);
    EXPECT_EQ(canvas.image(), original);
    canvas.press(MouseButton::Left, 9);
    canvas.release(MouseButton::Left, 6); // back across the row end
    EXPECT_EQ(cell(canvas.image(), 9), cell(original, 8));
    EXPECT_EQ(cell(canvas.image(), 8), cell(original, 7));
    EXPECT_EQ(cell(canvas.image(), 6), cell(original, 9));
}

TEST(CanvasTools, FreeModeTurnsTheSquareAroundThePressAndIgnoresSwapAndShift) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    core.MouseIsOnMove({}, 10, 10);
    core.MouseIsDoubleClick();
    ASSERT_FALSE(core.SnapToGrid);
    Bitmap expected = canvas.image();

    core.SetCursorToRotate();
    core.MouseIsDown(MouseButton::Right, {}, 100, 70); // any button is the left one here
    core.MouseIsUp(MouseButton::Right, {}, 200, 20);
    EXPECT_EQ(core.DownRect, (Rect{68, 38, 132, 102}));
    Bitmap clip;
    turnCell(expected, {68, 38, 132, 102}, CellTurn::Rotate, clip);
    EXPECT_EQ(canvas.image(), expected);
    EXPECT_EQ(core.Mode, CanvasMode::Transform);

    // Near the right edge the square the cursor showed, inside the picture, is turned.
    core.SetCursorToHFlip();
    core.MouseIsDown(MouseButton::Left, {}, 250, 40);
    core.MouseIsUp(MouseButton::Left, {}, 250, 40);
    turnCell(expected, {192, 8, 256, 72}, CellTurn::FlipHorizontal, clip);
    EXPECT_EQ(canvas.image(), expected);

    for (const char* tool : {"crSwap", "crHand"}) {
        useTool(core, tool);
        core.MouseIsDown(MouseButton::Left, {}, 40, 40);
        core.MouseIsUp(MouseButton::Left, {}, 200, 90);
        EXPECT_EQ(canvas.image(), expected) << tool;
    }
}

TEST(CanvasTools, CellsBeyondTheWholeColumnsAreLeftAlone) {
    // A 300-pixel picture has four whole columns. A swap with the cell that overhangs its
    // right edge would carry stale clip pixels into the picture.
    CellToolCanvas canvas(300, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    Bitmap staleClip(64, 64);
    staleClip.fill(kRed);
    core.setClip(staleClip);
    core.SetCursorToSwap();
    core.MouseIsDown(MouseButton::Left, {}, 290, 30);
    canvas.release(MouseButton::Left, 1);
    EXPECT_EQ(canvas.image(), original);
    // Nor is that cell turned: the locked cursor never showed it.
    core.SetCursorToRotate();
    core.MouseIsDown(MouseButton::Left, {}, 290, 30);
    core.MouseIsUp(MouseButton::Left, {}, 290, 30);
    EXPECT_EQ(canvas.image(), original);

    // A picture narrower than the port (written, but the stack not yet updated): cell 3 of
    // the grid overhangs it.
    core.setBitmap(patternedPicture(200, 128));
    const Bitmap narrow = canvas.image();
    core.setClip(staleClip);
    canvas.press(MouseButton::Left, 3);
    canvas.release(MouseButton::Left, 0);
    EXPECT_EQ(canvas.image(), narrow);

    // Where the picture reaches beyond the port, the strip right of the whole columns has
    // pixels, but a release there names index 4, the first cell of the next row.
    CellToolCanvas wide(512, 128);
    wide.core.UpdateImagePort(300, 128);
    wide.core.UpdateGrid();
    const Bitmap wideOriginal = wide.image();
    for (const char* tool : {"crSwap", "crHand"}) {
        useTool(wide.core, tool);
        wide.press(MouseButton::Left, 1);
        wide.core.MouseIsUp(MouseButton::Left, {}, 290, 30);
        EXPECT_EQ(wide.core.UpIndex, 4);
        EXPECT_EQ(wide.image(), wideOriginal) << tool;
    }
}

TEST(CanvasTools, ARightPressLeavesTransformWithoutTransforming) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    for (const char* tool : {"crRotate", "crSwap"}) {
        useTool(core, tool);
        canvas.press(MouseButton::Right, 1);
        EXPECT_EQ(core.Mode, CanvasMode::Idle);
        EXPECT_EQ(core.CursorName(), "crNormal");
        canvas.release(MouseButton::Right, 2);
        EXPECT_EQ(canvas.image(), original) << tool;
        EXPECT_FALSE(core.AnimationActive());
    }
}

TEST(CanvasTools, SettersLeaveARunningAnimationAlone) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    canvas.drawRange(0, 3);
    core.SetCursorToSwap();
    EXPECT_TRUE(core.AnimationActive());
    EXPECT_TRUE(core.AnimRunning);
    EXPECT_TRUE(canvas.host.timerEnabled);
}

TEST(CanvasTools, RotateAndFlipsDoNotScrollTheView) {
    for (const char* tool : {"crRotate", "crHFlip", "crVFlip", "crSwap", "crHand"}) {
        CellToolCanvas canvas(1024, 1024);
        FrameStackCore& core = canvas.core;
        canvas.host.view = {200, 200, 300, 300};
        useTool(core, tool);
        core.MouseIsOnMove({}, 210, 210); // cursor cell at 192: within 16 of the edge
        const bool scrolls =
            std::string_view(tool) == "crSwap" || std::string_view(tool) == "crHand";
        EXPECT_EQ(canvas.host.scrollRequests > 0, scrolls) << tool;
        // Pasting straight after a rotate or flip keeps that tool's restriction.
        core.SetCursorToPaste();
        const int before = canvas.host.scrollRequests;
        core.MouseIsOnMove({}, 210, 210);
        EXPECT_EQ(canvas.host.scrollRequests > before, scrolls) << tool;
    }
}

TEST(TransformationWidget, ToolsShowTheirPointerShapesAndResourcePictures) {
    TFrameStack stack;
    stack.InitStack(256, 512);
    struct Case {
        const char* tool;
        Qt::CursorShape shape;
    };
    for (const Case& c : {Case{"crRotate", Qt::CrossCursor}, Case{"crHFlip", Qt::CrossCursor},
                          Case{"crVFlip", Qt::CrossCursor}, Case{"crSwap", Qt::DragMoveCursor},
                          Case{"crHand", Qt::DragCopyCursor}}) {
        SCOPED_TRACE(c.tool);
        useTool(stack, c.tool);
        EXPECT_EQ(stack.cursor().shape(), c.shape);
        const QImage picture(parvane::resources::cursorPicturePath(c.tool));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(stack.L7_Cursor.bitmap, bitmapFromImage(picture));
    }
    stack.InitGrid(32, 32);
    stack.SetCursorToRotate();
    EXPECT_EQ(stack.L7_Cursor.bitmap,
              bitmapFromImage(QImage(parvane::resources::cursorPicturePath("cr32"))));
    stack.SetCursorToDefault();
    EXPECT_EQ(stack.cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace parvane::canvas
