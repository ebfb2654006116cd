#include "CellToolSupport.h"
#include "canvas/CellTransformations.h"

#include <gtest/gtest.h>

namespace parvane::canvas {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::PixelFormat;
using imaging::Rect;
using testing::cellOf;
using testing::patternedPicture;
using testing::positionCode;
using testing::rawPixel;

constexpr Colour kRed = imaging::colours::kRed;
constexpr Colour kBlack = imaging::colours::kBlack;

TEST(TurnCell, RotateSendsTheTopRowToTheRightColumn) {
    Bitmap image(256, 128);
    const Rect cell{64, 0, 128, 64};
    image.fillRect({64, 0, 128, 1}, kRed);
    Bitmap clip;
    turnCell(image, cell, CellTurn::Rotate, clip);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(image.pixel(x, y), (x == 127 && y < 64) ? kRed : kBlack) << x << "," << y;
    EXPECT_EQ(clip.width(), 64);
    EXPECT_EQ(clip.height(), 64);
    EXPECT_EQ(clip, cellOf(image, cell)) << "the clip holds the turned cell";
}

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

TEST(SwapCells, ExchangesTwoCellsExactly) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    const Rect a{0, 0, 64, 64};
    const Rect b{192, 64, 256, 128};
    Bitmap clip(3, 3);
    swapCells(image, a, b, clip);
    EXPECT_EQ(cellOf(image, a), cellOf(original, b));
    EXPECT_EQ(cellOf(image, b), cellOf(original, a));
    EXPECT_EQ(clip, cellOf(original, a)) << "the clip carried the pressed cell";
    Bitmap rest = image;
    rest.copyRect({a.left, a.top}, original, a);
    rest.copyRect({b.left, b.top}, original, b);
    EXPECT_EQ(rest, original);
}

TEST(SwapCells, TheSameCellTwiceChangesNothingButSizesTheClip) {
    Bitmap image = patternedPicture(256, 128);
    const Bitmap original = image;
    Bitmap clip(3, 3);
    swapCells(image, {64, 0, 128, 64}, {64, 0, 128, 64}, clip);
    EXPECT_EQ(image, original);
    EXPECT_EQ(clip.width(), 64);
    EXPECT_EQ(clip.height(), 64);
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

} // namespace
} // namespace parvane::canvas
