#include "CellPatterns.h"
#include "canvas/AnimationPlayback.h"

#include <gtest/gtest.h>
#include <vector>

namespace parvane::canvas {
namespace {

using imaging::Bitmap;
using imaging::PixelFormat;
using imaging::Rect;
using testing::cellOf;
using testing::patternedPicture;
using testing::positionCode;
using testing::rawPixel;

// A 256 x 128 picture under the default 64-pixel grid: four columns, two rows, cells 0 to 7.
CellGeometry grid64() {
    return {64, 64, 0, 0, 4, 2};
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
    Bitmap image = patternedPicture(256, 128);
    const std::vector<Bitmap> before = cellsOf(image, grid64());
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), c.first, c.last));
    EXPECT_FALSE(anim.isScroll());
    EXPECT_EQ(anim.AnimFrames, std::abs(c.last - c.first) + 1);
    EXPECT_EQ(anim.AnimInterval, 80);
    EXPECT_EQ(anim.AnimRect, (Rect{0, 0, 64, 64}));

    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Stepped);
    expectCells(image, grid64(), before, c.afterOneTick);
    EXPECT_EQ(anim.AnimStep, anim.AnimFrames > 1 ? 1 : 0);

    for (int k = 1; k < anim.AnimFrames; ++k)
        anim.tick(image);
    EXPECT_EQ(anim.AnimStep, 0);
    expectCells(image, grid64(), before, {});
    EXPECT_TRUE(anim.isActive()) << "a running animation keeps cycling";
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
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), 5, 5));
    EXPECT_TRUE(anim.isScroll());
    EXPECT_EQ(anim.AnimFrames, 32);
    EXPECT_EQ(anim.AnimInterval, 10);
    EXPECT_EQ(anim.AnimRowBuffer.size(), 64u * 4u);

    anim.tick(image);
    const Rect cell = grid64().indexRect(5); // (64, 64, 128, 128)
    for (int x = 0; x < 64; x += 21) {
        const int ix = cell.left + x;
        EXPECT_EQ(rawPixel(image, ix, cell.top + 0), positionCode(ix, cell.top + 31));
        EXPECT_EQ(rawPixel(image, ix, cell.top + 1), positionCode(ix, cell.top + 0));
        EXPECT_EQ(rawPixel(image, ix, cell.top + 31), positionCode(ix, cell.top + 30));
        EXPECT_EQ(rawPixel(image, ix, cell.top + 32), positionCode(ix, cell.top + 63));
        EXPECT_EQ(rawPixel(image, ix, cell.top + 33), positionCode(ix, cell.top + 32));
        EXPECT_EQ(rawPixel(image, ix, cell.top + 63), positionCode(ix, cell.top + 62));
    }
    Bitmap outside = image;
    outside.copyRect({cell.left, cell.top}, original, cell);
    EXPECT_EQ(outside, original) << "only the scroll tile's cell changes";

    for (int k = 2; k <= 32; ++k) {
        anim.tick(image);
        if (k < 32) {
            EXPECT_NE(image, original) << "back too early, after step " << k;
        }
    }
    EXPECT_EQ(anim.AnimStep, 0);
    EXPECT_EQ(image, original);
}

TEST(ScrollTile, OddAndTinyHeightsStillCompleteTheirCycle) {
    // Halves of equal height: with 33 rows the last row belongs to neither and stays put, so
    // that the cycle of 16 steps restores the cell. One row has no halves at all.
    for (const int height : {33, 1, 2}) {
        SCOPED_TRACE(height);
        const CellGeometry grid{16, height, 0, 0, 4, 2};
        Bitmap image = patternedPicture(64, 2 * height);
        const Bitmap original = image;
        AnimationPlayback anim;
        ASSERT_TRUE(anim.start(image, grid, 2, 2));
        EXPECT_EQ(anim.AnimFrames, std::max(1, height / 2));
        for (int k = 0; k < anim.AnimFrames; ++k)
            anim.tick(image);
        EXPECT_EQ(image, original);
    }
}

TEST(Stopping, AStopInMidCycleRunsToTheEndOfTheCycleThenEnds) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), 4, 7));
    anim.tick(image);
    anim.tick(image);
    anim.AnimRunning = false;

    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Stepped);
    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Stepped);
    EXPECT_EQ(anim.AnimStep, 0);
    EXPECT_EQ(image, original);
    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Ended);
    EXPECT_FALSE(anim.isActive());
    EXPECT_TRUE(anim.AnimTile.isEmpty());
    EXPECT_TRUE(anim.AnimRowBuffer.empty());
    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Idle);
    EXPECT_EQ(image, original);
}

TEST(Stopping, AStopAtTheStartOfACycleEndsWithoutAStep) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), 0, 0));
    anim.AnimRunning = false;
    EXPECT_EQ(anim.tick(image), AnimationPlayback::Tick::Ended);
    EXPECT_EQ(image, original);
}

TEST(Stopping, TimerIntervalIsTheSpeedTimesTheBaseInterval) {
    Bitmap image = patternedPicture(256, 128);
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), 0, 3));
    EXPECT_EQ(anim.timerInterval(1), 80);
    EXPECT_EQ(anim.timerInterval(3), 240);
    EXPECT_EQ(anim.timerInterval(0), 80) << "a speed below 1 counts as 1";
    ASSERT_TRUE(anim.start(image, grid64(), 6, 6));
    EXPECT_EQ(anim.timerInterval(3), 30);
    EXPECT_EQ(anim.timerInterval(4), 40);
}

TEST(NewRange, AnEarlierCycleIsCompletedBeforeTheNewRangeStarts) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    AnimationPlayback anim;
    ASSERT_TRUE(anim.start(image, grid64(), 0, 3));
    anim.tick(image);
    anim.AnimRunning = false; // finishing
    ASSERT_TRUE(anim.start(image, grid64(), 2, 5));
    EXPECT_EQ(image, original) << "the earlier range's cells hold their starting pictures";
    EXPECT_TRUE(anim.AnimRunning);
    EXPECT_EQ(anim.AnimFirst, 2);
    EXPECT_EQ(anim.AnimStep, 0);
    for (int k = 0; k < 4; ++k)
        anim.tick(image);
    EXPECT_EQ(image, original);
}

TEST(Bounds, RangesOutsideTheWholeCellsOrThePictureAreRefused) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    AnimationPlayback anim;
    EXPECT_FALSE(anim.start(image, grid64(), -1, 3));
    EXPECT_FALSE(anim.start(image, grid64(), 2, 8));
    EXPECT_FALSE(anim.start(image, CellGeometry{64, 64, 0, 0, 0, 2}, 0, 0)) << "no columns";
    Bitmap small = patternedPicture(256, 100); // second row of cells overhangs the picture
    EXPECT_FALSE(anim.start(small, grid64(), 2, 4));
    EXPECT_TRUE(anim.start(small, grid64(), 1, 3));
    EXPECT_FALSE(anim.start(small, grid64(), 4, 4)) << "a refused range leaves the earlier one";
    EXPECT_EQ(anim.AnimFirst, 1);
    EXPECT_EQ(image, original);
}

TEST(Bounds, StepsOnAPictureThatShrankStayInsideIt) {
    // The canvas may get a smaller picture while an animation plays; the steps are clipped.
    for (const int last : {7, 6}) {
        Bitmap image = patternedPicture(256, 128);
        AnimationPlayback anim;
        ASSERT_TRUE(anim.start(image, grid64(), 6, last));
        Bitmap smaller = patternedPicture(100, 70);
        for (int k = 0; k < 40; ++k)
            anim.tick(smaller);
        EXPECT_EQ(smaller.width(), 100);
        Bitmap empty;
        anim.tick(empty);
    }
}

TEST(Bounds, AreaCoversTheRangeRowsOrPartOfOneRow) {
    Bitmap image = patternedPicture(256, 192);
    AnimationPlayback anim;
    const CellGeometry grid{64, 64, 0, 0, 4, 3};
    ASSERT_TRUE(anim.start(image, grid, 5, 6));
    EXPECT_EQ(anim.area(), (Rect{64, 64, 192, 128}));
    ASSERT_TRUE(anim.start(image, grid, 7, 3));
    EXPECT_EQ(anim.area(), (Rect{0, 0, 256, 128}));
}

class OtherFormats : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(OtherFormats, ACycleGivesBackEveryPixelExactly) {
    const CellGeometry grid{16, 16, 0, 0, 4, 2};
    for (const int last : {6, 2}) {
        Bitmap image = patternedPicture(64, 32, GetParam());
        const Bitmap original = image;
        const Rect cell2 = grid.indexRect(2);
        const Bitmap before3 = cellOf(image, grid.indexRect(3));
        AnimationPlayback anim;
        ASSERT_TRUE(anim.start(image, grid, 2, last));
        anim.tick(image);
        if (last != 2) {
            EXPECT_EQ(cellOf(image, cell2), before3);
        }
        while (anim.AnimStep != 0)
            anim.tick(image);
        EXPECT_EQ(image, original);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, OtherFormats,
                         ::testing::Values(PixelFormat::Bits1, PixelFormat::Bits4,
                                           PixelFormat::Bits8, PixelFormat::Bits15,
                                           PixelFormat::Bits24));

} // namespace
} // namespace parvane::canvas
