#include "CellToolSupport.h"
#include "canvas/AnimationSteps.h"
#include "canvas/ImageStack.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace parvane::canvas {
namespace {

using imaging::Bitmap;
using imaging::PixelFormat;
using imaging::Rect;
using testing::cellOf;
using testing::CellToolCanvas;
using testing::patternedPicture;
using testing::positionCode;
using testing::rawPixel;

// A 256 x 128 picture under the default 64-pixel grid: four columns, two rows, cells 0 to 7.
CellGeometry grid64() {
    return {64, 64, 0, 0, 4, 2};
}

std::pair<int, int> sizeOf(const Bitmap& bitmap) {
    return {bitmap.width(), bitmap.height()};
}

std::vector<Bitmap> cellsOf(const Bitmap& image, const CellGeometry& grid) {
    std::vector<Bitmap> cells;
    for (int i = 0; i < grid.cellCount(); ++i)
        cells.push_back(cellOf(image, grid.indexRect(i)));
    return cells;
}

// After the steps, cell expected[k].first must hold the former picture of cell
// expected[k].second; every cell not named must be unchanged.
void expectCells(const Bitmap& image, const CellGeometry& grid, const std::vector<Bitmap>& before,
                 const std::vector<std::pair<int, int>>& moved) {
    std::vector<int> source(before.size());
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<int>(i);
    for (const auto& [cell, from] : moved)
        source[cell] = from;
    for (std::size_t i = 0; i < source.size(); ++i)
        EXPECT_EQ(cellOf(image, grid.indexRect(static_cast<int>(i))), before[source[i]])
            << "cell " << i << " should hold the former picture of cell " << source[i];
}

struct RangeCase {
    const char* name;
    int first;
    int last;
    std::vector<std::pair<int, int>> afterOneTick; // cell, former cell it shows
};

class ClassicalRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ClassicalRange, PassesPicturesTowardThePressedCellAndComesBackAfterACycle) {
    const RangeCase& c = GetParam();
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    const std::vector<Bitmap> before = cellsOf(original, grid64());
    canvas.drawRange(c.first, c.last);
    ASSERT_TRUE(core.AnimationActive());
    EXPECT_EQ(core.Mode, CanvasMode::Anim);
    EXPECT_EQ(core.AnimFirst, c.first);
    EXPECT_EQ(core.AnimLast, c.last);
    EXPECT_EQ(core.AnimFrames, std::abs(c.last - c.first) + 1);
    EXPECT_EQ(core.AnimInterval, 80);
    EXPECT_EQ(core.AnimRect, (Rect{0, 0, 64, 64}));
    EXPECT_TRUE(core.AnimRunning);
    EXPECT_TRUE(canvas.host.timerEnabled);
    EXPECT_EQ(canvas.host.timerInterval, 80);
    EXPECT_EQ(sizeOf(core.AnimTile), (std::pair{64, 64}));
    EXPECT_EQ(core.AnimRowBuffer, std::vector<std::uint8_t>(64 * 4, 0));
    EXPECT_FALSE(core.L7_Cursor.visible || core.L6_Selection.visible || core.L4_Clip.visible);

    core.takeDirtyArea();
    canvas.ticks(1);
    expectCells(canvas.image(), grid64(), before, c.afterOneTick);
    EXPECT_EQ(core.takeDirtyArea(), rangeArea(grid64(), c.first, c.last));
    EXPECT_EQ(core.AnimStep, 1);

    canvas.ticks(core.AnimFrames - 1);
    EXPECT_EQ(core.AnimStep, 0);
    EXPECT_EQ(canvas.image(), original);
    EXPECT_TRUE(core.AnimationActive()) << "a running animation keeps cycling";
    canvas.ticks(1);
    expectCells(canvas.image(), grid64(), before, c.afterOneTick);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ClassicalRange,
    ::testing::Values(RangeCase{"Forward", 4, 7, {{4, 5}, {5, 6}, {6, 7}, {7, 4}}},
                      RangeCase{"Backward", 7, 4, {{7, 6}, {6, 5}, {5, 4}, {4, 7}}},
                      RangeCase{"TwoCellsSwap", 1, 2, {{1, 2}, {2, 1}}},
                      RangeCase{"AcrossRowEnd", 3, 5, {{3, 4}, {4, 5}, {5, 3}}},
                      RangeCase{"BackAcrossRowEnd", 5, 3, {{5, 4}, {4, 3}, {3, 5}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScrollTile, BothHalvesMoveDownOneRowAndWrapWithinThemselves) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    canvas.drawRange(5, 5);
    ASSERT_TRUE(core.AnimationActive());
    EXPECT_EQ(core.Mode, CanvasMode::Scroll);
    EXPECT_EQ(core.AnimFrames, 32);
    EXPECT_EQ(core.AnimInterval, 10);
    EXPECT_EQ(canvas.host.timerInterval, 10);

    canvas.ticks(1);
    const Rect cell = grid64().indexRect(5); // (64, 64, 128, 128)
    for (int x = 0; x < 64; x += 21) {
        const int ix = cell.left + x;
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 0), positionCode(ix, cell.top + 31));
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 1), positionCode(ix, cell.top + 0));
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 31), positionCode(ix, cell.top + 30));
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 32), positionCode(ix, cell.top + 63));
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 33), positionCode(ix, cell.top + 32));
        EXPECT_EQ(rawPixel(canvas.image(), ix, cell.top + 63), positionCode(ix, cell.top + 62));
    }
    Bitmap outside = canvas.image();
    outside.copyRect({cell.left, cell.top}, original, cell);
    EXPECT_EQ(outside, original) << "only the scroll tile's cell changes";

    for (int k = 2; k <= 32; ++k) {
        canvas.ticks(1);
        if (k < 32) {
            EXPECT_NE(canvas.image(), original) << "back too early, after step " << k;
        }
    }
    EXPECT_EQ(core.AnimStep, 0);
    EXPECT_EQ(canvas.image(), original);
}

TEST(ScrollTile, OddAndTinyHeightsStillCompleteTheirCycle) {
    // Halves of equal height: with 33 rows the last row belongs to neither and stays put, so
    // that the cycle of 16 steps restores the cell. One row has no halves at all.
    for (const int height : {33, 1, 2}) {
        SCOPED_TRACE(height);
        const CellGeometry grid{16, height, 0, 0, 4, 2};
        Bitmap image = patternedPicture(64, 2 * height);
        const Bitmap original = image;
        Bitmap tile = animationTile(grid, image);
        std::vector<std::uint8_t> row(tileRowBytes(tile));
        EXPECT_EQ(scrollFrames(height), std::max(1, height / 2));
        for (int k = 0; k < scrollFrames(height); ++k)
            stepScrollTile(image, grid.indexRect(2), tile, row);
        EXPECT_EQ(image, original);
    }
}

TEST(Bounds, StepsOnAPictureThatShrankStayInsideIt) {
    // The canvas may get a smaller picture while an animation plays; the steps are clipped.
    Bitmap image = patternedPicture(100, 70);
    Bitmap tile = animationTile(grid64(), patternedPicture(256, 128));
    std::vector<std::uint8_t> row(tileRowBytes(tile));
    for (int k = 0; k < 3; ++k) {
        stepRange(image, grid64(), 7, 2, tile);
        stepScrollTile(image, grid64().indexRect(5), tile, row);
    }
    Bitmap empty;
    stepRange(empty, grid64(), 0, 7, tile);
    stepScrollTile(empty, grid64().indexRect(0), tile, row);
    EXPECT_EQ(image.width(), 100);
}

TEST(Stopping, ARightPressInMidCycleRunsToTheEndOfTheCycleThenEnds) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    canvas.drawRange(4, 7);
    canvas.ticks(2);
    canvas.press(MouseButton::Left, 0);
    EXPECT_TRUE(core.AnimRunning) << "only the right button stops";
    canvas.press(MouseButton::Right, 0);
    EXPECT_FALSE(core.AnimRunning);
    canvas.release(MouseButton::Right, 0);

    canvas.ticks(2);
    EXPECT_EQ(core.AnimStep, 0);
    EXPECT_EQ(canvas.image(), original);
    EXPECT_TRUE(core.AnimationActive());
    EXPECT_EQ(core.Mode, CanvasMode::Anim);
    canvas.ticks(1);
    EXPECT_FALSE(core.AnimationActive());
    EXPECT_FALSE(canvas.host.timerEnabled);
    EXPECT_TRUE(core.AnimTile.isEmpty());
    EXPECT_TRUE(core.AnimRowBuffer.empty());
    EXPECT_EQ(core.Mode, CanvasMode::Idle);
    EXPECT_TRUE(core.L7_Cursor.visible);
    canvas.ticks(3);
    EXPECT_EQ(canvas.image(), original) << "stray ticks change nothing";
}

TEST(Stopping, AStopAtTheStartOfACycleEndsWithoutAStep) {
    CellToolCanvas canvas(256, 128);
    const Bitmap original = canvas.image();
    canvas.drawRange(0, 0);
    canvas.core.AnimRunning = false;
    canvas.ticks(1);
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_EQ(canvas.image(), original);
}

TEST(Stopping, CompleteAnimationRestoresTheCellsAtOnce) {
    for (const int last : {6, 2}) {
        CellToolCanvas canvas(256, 128);
        const Bitmap original = canvas.image();
        canvas.drawRange(2, last);
        canvas.ticks(3);
        canvas.core.CompleteAnimation();
        EXPECT_EQ(canvas.image(), original);
        EXPECT_FALSE(canvas.core.AnimationActive());
        EXPECT_FALSE(canvas.host.timerEnabled);
        EXPECT_EQ(canvas.core.Mode, CanvasMode::Idle);
    }
}

TEST(Stopping, AModeTheOwnerChoseMeanwhileSurvivesTheEnd) {
    CellToolCanvas canvas(256, 128);
    canvas.drawRange(0, 2);
    canvas.ticks(1);
    canvas.core.SetModeToPaste();
    canvas.core.AnimRunning = false;
    canvas.ticks(3);
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_EQ(canvas.core.Mode, CanvasMode::Paste);
}

TEST(Speed, TheTimerTicksEverySpeedTimesTheBaseInterval) {
    CellToolCanvas canvas(256, 128);
    canvas.drawRange(0, 3);
    canvas.core.SetAnimSpeed(3);
    EXPECT_EQ(canvas.host.timerInterval, 240);
    EXPECT_TRUE(canvas.host.timerEnabled);
    canvas.core.SetAnimSpeed(1);
    EXPECT_EQ(canvas.host.timerInterval, 80);
    canvas.core.CompleteAnimation();
    canvas.drawRange(6, 6);
    canvas.core.SetAnimSpeed(3);
    EXPECT_EQ(canvas.host.timerInterval, 30);
    canvas.core.SetAnimSpeed(4);
    EXPECT_EQ(canvas.host.timerInterval, 40);
}

TEST(OpenCases, AGridChangedMidAnimationKeepsTheStartGeometry) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    canvas.drawRange(4, 7);
    canvas.ticks(1);
    core.InitGrid(32, 16);
    canvas.ticks(1);
    core.MouseIsOnMove({}, 100, 70);
    core.MouseIsDoubleClick();
    core.MouseIsDoubleClick(); // a custom grid with other offsets
    canvas.ticks(2);
    EXPECT_EQ(core.AnimStep, 0);
    EXPECT_EQ(canvas.image(), original);
    EXPECT_EQ(sizeOf(core.AnimTile), (std::pair{64, 64}));
    EXPECT_EQ(core.AnimGrid().cellWidth, 64);
}

TEST(OpenCases, AScrollTileKeepsItsCellWhenTheCellSizeChanges) {
    CellToolCanvas canvas(256, 128);
    const Bitmap original = canvas.image();
    canvas.drawRange(1, 1);
    canvas.ticks(5);
    canvas.core.InitGrid(8, 8);
    canvas.core.AnimRunning = false;
    canvas.ticks(40);
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_EQ(canvas.image(), original);
}

TEST(OpenCases, ASmallerPictureEndsTheAnimationUntouched) {
    CellToolCanvas canvas(256, 128);
    canvas.drawRange(5, 7);
    canvas.ticks(1);
    const Bitmap smaller = patternedPicture(128, 64);
    canvas.core.setBitmap(smaller);
    canvas.core.UpdateStack();
    canvas.ticks(1);
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_EQ(canvas.image(), smaller);
    EXPECT_EQ(canvas.core.Mode, CanvasMode::Idle);
}

TEST(OpenCases, SettingUpTheStackAgainStopsTheAnimationAtOnce) {
    CellToolCanvas canvas(256, 128);
    canvas.drawRange(0, 3);
    canvas.ticks(1);
    canvas.core.InitStack(256, 128);
    const Bitmap fresh = patternedPicture(256, 128);
    canvas.core.setBitmap(fresh); // pasted onto the fresh picture
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_FALSE(canvas.host.timerEnabled);
    canvas.ticks(3);
    EXPECT_EQ(canvas.image(), fresh);
    EXPECT_EQ(canvas.core.Mode, CanvasMode::Idle);
}

TEST(OpenCases, ANewRangeWhileFinishingFirstGivesBackTheEarlierCells) {
    CellToolCanvas canvas(256, 128);
    FrameStackCore& core = canvas.core;
    const Bitmap original = canvas.image();
    canvas.drawRange(0, 3);
    canvas.ticks(1);
    core.SetModeToIdle(); // the owner's click on the empty panel
    core.AnimRunning = false;
    canvas.drawRange(2, 5);
    EXPECT_EQ(canvas.image(), original) << "the earlier range's cells hold their pictures";
    ASSERT_TRUE(core.AnimationActive());
    EXPECT_TRUE(core.AnimRunning);
    EXPECT_EQ(core.AnimFirst, 2);
    EXPECT_EQ(core.AnimStep, 0);
    EXPECT_EQ(core.Mode, CanvasMode::Anim);
    canvas.ticks(4);
    EXPECT_EQ(canvas.image(), original);
}

TEST(OpenCases, RangesOffTheWholeCellsDoNotPlay) {
    CellToolCanvas canvas(256, 150); // a partial row of cells below the grid
    const Bitmap original = canvas.image();
    canvas.press(MouseButton::Right, 2);
    canvas.core.MouseIsUp(MouseButton::Right, {}, 100, 140);
    EXPECT_FALSE(canvas.core.AnimationActive());
    EXPECT_EQ(canvas.core.Mode, CanvasMode::Idle);
    EXPECT_FALSE(canvas.host.timerEnabled);
    canvas.ticks(3);
    EXPECT_EQ(canvas.image(), original);
}

class OtherFormats : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(OtherFormats, ACycleGivesBackEveryPixelExactly) {
    const CellGeometry grid{16, 16, 0, 0, 4, 2};
    Bitmap image = patternedPicture(64, 32, GetParam());
    const Bitmap original = image;
    const Bitmap before3 = cellOf(image, grid.indexRect(3));
    Bitmap tile = animationTile(grid, image);
    std::vector<std::uint8_t> row(tileRowBytes(tile));

    stepRange(image, grid, 2, 6, tile);
    EXPECT_EQ(cellOf(image, grid.indexRect(2)), before3);
    for (int k = 1; k < 5; ++k)
        stepRange(image, grid, 2, 6, tile);
    EXPECT_EQ(image, original);

    stepScrollTile(image, grid.indexRect(5), tile, row);
    EXPECT_NE(image, original);
    for (int k = 1; k < scrollFrames(16); ++k)
        stepScrollTile(image, grid.indexRect(5), tile, row);
    EXPECT_EQ(image, original);
}

INSTANTIATE_TEST_SUITE_P(Formats, OtherFormats,
                         ::testing::Values(PixelFormat::Bits1, PixelFormat::Bits4,
                                           PixelFormat::Bits8, PixelFormat::Bits15,
                                           PixelFormat::Bits24));

TEST(AnimationWidget, TimerAnimPlaysTheRangeAndStopsWithIt) {
    TFrameStack stack;
    stack.InitStack(256, 128);
    stack.setBitmap(patternedPicture(256, 128));
    const Bitmap original = stack.Bitmap();
    EXPECT_FALSE(stack.TimerAnim->isActive());

    stack.MouseIsDown(Qt::RightButton, Qt::NoModifier, 70, 10);
    stack.MouseIsUp(Qt::RightButton, Qt::NoModifier, 70, 10); // one cell: a scroll tile
    ASSERT_TRUE(stack.AnimationActive());
    EXPECT_TRUE(stack.TimerAnim->isActive());
    EXPECT_EQ(stack.TimerAnim->interval(), 10);
    stack.SetAnimSpeed(3);
    EXPECT_EQ(stack.TimerAnim->interval(), 30);
    EXPECT_TRUE(stack.TimerAnim->isActive());
    stack.SetAnimSpeed(1);

    // Let the real timer tick (waiting for at most five seconds).
    const QDeadlineTimer deadline(5000);
    while (stack.Bitmap() == original && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(stack.Bitmap(), original) << "the timer's ticks step the scroll tile";

    stack.MouseIsDown(Qt::RightButton, Qt::NoModifier, 70, 10);
    EXPECT_FALSE(stack.AnimRunning);
    for (int k = 0; k <= 32 && stack.AnimationActive(); ++k)
        stack.ShiftCellsOnTimer();
    EXPECT_FALSE(stack.AnimationActive());
    EXPECT_FALSE(stack.TimerAnim->isActive());
    EXPECT_EQ(stack.Bitmap(), original);
    EXPECT_EQ(stack.Mode, CanvasMode::Idle);
}

} // namespace
} // namespace parvane::canvas
