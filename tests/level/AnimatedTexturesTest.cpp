#include "level/AnimatedTextures.h"

#include "LevelFileWriter.h"
#include "level/LevelExtraction.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace parvane::level;
using namespace parvane::level::testing;
using parvane::imaging::Bitmap;
using parvane::imaging::Rect;

namespace {

ObjectTextureRecipe square(std::uint16_t tile, int x, int y, int side = 64) {
    ObjectTextureRecipe t;
    t.tile = tile;
    const auto x2 = static_cast<std::uint8_t>(x + side - 1);
    const auto y2 = static_cast<std::uint8_t>(y + side - 1);
    const auto x0 = static_cast<std::uint8_t>(x), y0 = static_cast<std::uint8_t>(y);
    t.corners = {{{x0, y0}, {x2, y0}, {x2, y2}, {x0, y2}}};
    return t;
}

// A generation-7 level of `pages` pages whose object texture k is the k-th 64 x 64 square of
// page k % pages.
LevelRecipe animatedLevel(std::vector<std::uint16_t> words, std::uint32_t pages = 3) {
    LevelRecipe recipe;
    recipe.generation = 7;
    recipe.pages = pages;
    for (int k = 0; k < 16; ++k)
        recipe.objectTextures.push_back(
            square(static_cast<std::uint16_t>(k % pages), 64 * (k % 4), 64 * ((k / 4) % 4)));
    recipe.animatedWords = std::move(words);
    return recipe;
}

bool regionEquals(const Bitmap& a, Rect ra, const Bitmap& b, Rect rb) {
    for (int y = 0; y < ra.height(); ++y)
        if (std::memcmp(a.row(ra.top + y) + 4 * ra.left, b.row(rb.top + y) + 4 * rb.left,
                        4 * static_cast<std::size_t>(ra.width())) != 0)
            return false;
    return true;
}

bool isMagenta(const Bitmap& bmp, Rect r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (bmp.pixel(x, y) != parvane::imaging::colours::kMagenta)
                return false;
    return true;
}

Rect slot(int s) {
    return Rect::fromSize(64 * (s % 4), 64 * (s / 4), 64, 64);
}

struct LayoutCase {
    std::vector<std::uint16_t> words;
    int height;
    std::vector<int> slots; // slot of each texture, in list order
    std::vector<int> emptySlots;
};

class AnimatedLayoutCases : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AnimatedLayoutCases, TilesLandInTheirSlots) {
    const LayoutCase& c = GetParam();
    const LevelRecipe recipe = animatedLevel(c.words);
    const auto bytes = writeLevel(recipe);
    const Extraction strip = extractLevelTexturesFromBytes(bytes, "a.dvc", false);
    const Extraction e = extractAnimatedTexturesFromBytes(bytes, "a.dvc", false);
    ASSERT_TRUE(e.ok()) << e.reason();
    EXPECT_EQ(e.sourcePixelFormat, 7);
    EXPECT_EQ(e.bitmap.width(), 256);
    EXPECT_EQ(e.bitmap.height(), c.height);
    EXPECT_EQ(e.missingTiles, 0);
    std::size_t k = 0;
    for (const auto& range : parseAnimatedRanges(c.words))
        for (std::uint16_t number : range) {
            const auto& t = recipe.objectTextures[number];
            const Rect from =
                Rect::fromSize(t.corners[0][0], 256 * t.tile + t.corners[0][1], 64, 64);
            EXPECT_TRUE(regionEquals(e.bitmap, slot(c.slots[k]), strip.bitmap, from))
                << "texture " << number << " in slot " << c.slots[k];
            ++k;
        }
    for (int s : c.emptySlots)
        EXPECT_TRUE(isMagenta(e.bitmap, slot(s))) << "slot " << s;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AnimatedLayoutCases,
    ::testing::Values(
        LayoutCase{{1, 2, 0, 1, 2}, 64, {0, 1, 2}, {3}},
        LayoutCase{{2, 3, 0, 1, 2, 3, 1, 4, 5}, 192, {0, 1, 2, 3, 8, 9}, {4, 5, 6, 7, 10, 11}},
        LayoutCase{{2, 2, 5, 6, 7, 2, 8, 9, 10}, 128, {0, 1, 2, 4, 5, 6}, {3, 7}}));

TEST(AnimatedTextures, TriangleTakesItsMissingExtentFromCornerOne) {
    TDvObjectTexture t;
    t.tile = 1;
    auto set = [&](int c, int x, int y) {
        t.corners[4 * c + 1] = static_cast<std::uint8_t>(x);
        t.corners[4 * c + 3] = static_cast<std::uint8_t>(y);
    };
    set(0, 10, 20);
    set(1, 73, 20);
    set(2, 10, 83);
    EXPECT_EQ(objectTextureRect(t, 2), (Rect{10, 276, 74, 340}));
    set(2, 73, 20); // corners 0 and 2 share y as well
    set(1, 73, 83);
    EXPECT_EQ(objectTextureRect(t, 2), (Rect{10, 276, 74, 340}));
    set(0, 200, 250); // reversed corners are ordered
    set(2, 100, 150);
    EXPECT_EQ(objectTextureRect(t, 2), (Rect{100, 406, 201, 507}));
    EXPECT_TRUE(objectTextureRect(t, 1).isEmpty()); // page 1 is not in a one-page strip
}

TEST(AnimatedTextures, TextureOnPageTwoIsCutFromRows576To639) {
    LevelRecipe recipe = animatedLevel({1, 0, 0});
    ObjectTextureRecipe t = square(2, 0, 64);
    recipe.objectTextures[0] = t;
    const auto bytes = writeLevel(recipe);
    const Extraction strip = extractLevelTexturesFromBytes(bytes, "a.dvc", true);
    const Extraction e = extractAnimatedTexturesFromBytes(bytes, "a.dvc", true);
    ASSERT_TRUE(e.ok()) << e.reason();
    EXPECT_TRUE(regionEquals(e.bitmap, slot(0), strip.bitmap, Rect{0, 576, 64, 640}));
    EXPECT_FALSE(regionEquals(e.bitmap, slot(0), strip.bitmap, Rect{0, 577, 64, 641}));
}

TEST(AnimatedTextures, SmallTexturesAreStretchedToFillTheirSlot) {
    LevelRecipe recipe = animatedLevel({1, 0, 0});
    recipe.objectTextures[0] = square(0, 32, 32, 32);
    const auto bytes = writeLevel(recipe);
    const Extraction strip = extractLevelTexturesFromBytes(bytes, "a.dvc", false);
    const Extraction e = extractAnimatedTexturesFromBytes(bytes, "a.dvc", false);
    ASSERT_TRUE(e.ok());
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(e.bitmap.pixel(x, y), strip.bitmap.pixel(32 + x / 2, 32 + y / 2))
                << x << "," << y;
}

TEST(AnimatedTextures, LevelsWithoutRangesFail) {
    for (const auto& words : {std::vector<std::uint16_t>{}, std::vector<std::uint16_t>{0}}) {
        const Extraction e =
            extractAnimatedTexturesFromBytes(writeLevel(animatedLevel(words)), "a.dvc", false);
        EXPECT_EQ(e.status, ExtractionStatus::NoAnimatedTextures);
        EXPECT_TRUE(e.bitmap.isEmpty());
        EXPECT_EQ(failureMessage(e), "");
    }
}

TEST(AnimatedTextures, MissingTexturesAreSkippedAndCounted) {
    // Texture 40 is beyond the 16 object textures; texture 3 names page 5 of a 3-page level.
    LevelRecipe recipe = animatedLevel({1, 2, 0, 40, 3});
    recipe.objectTextures[3].tile = 5;
    const Extraction e = extractAnimatedTexturesFromBytes(writeLevel(recipe), "a.dvc", false);
    ASSERT_TRUE(e.ok()) << e.reason();
    EXPECT_EQ(e.missingTiles, 2);
    EXPECT_EQ(e.bitmap.height(), 64);
    EXPECT_FALSE(isMagenta(e.bitmap, slot(0)));
    EXPECT_TRUE(isMagenta(e.bitmap, slot(1)));
    EXPECT_TRUE(isMagenta(e.bitmap, slot(2)));
}

TEST(AnimatedTextures, ListThatRunsPastItsEndKeepsItsCompleteRanges) {
    struct Case {
        std::vector<std::uint16_t> words;
        std::size_t complete;
    };
    for (const Case& c : {Case{{2, 1, 0, 1}, 1},          // second range missing
                          Case{{2, 1, 0, 1, 5, 2, 3}, 1}, // second range longer than the list
                          Case{{1, 5, 0, 1}, 0},          // only range longer than the list
                          Case{{1, 0xFFFF}, 0}}) {
        std::string note;
        const auto ranges = parseAnimatedRanges(c.words, &note);
        ASSERT_EQ(ranges.size(), c.complete);
        EXPECT_NE(note.find("complete ranges are kept"), std::string::npos);
        const Extraction e =
            extractAnimatedTexturesFromBytes(writeLevel(animatedLevel(c.words)), "a.dvc", false);
        if (c.complete == 0) {
            EXPECT_EQ(e.status, ExtractionStatus::NoAnimatedTextures);
            continue;
        }
        ASSERT_TRUE(e.ok()) << e.reason();
        EXPECT_EQ(e.bitmap.height(), 64);
        EXPECT_FALSE(isMagenta(e.bitmap, slot(1)));
        EXPECT_TRUE(isMagenta(e.bitmap, slot(2)));
    }
}

TEST(AnimatedTextures, MoreTilesThanTwiceTheStripHeightGetATallerOutput) {
    std::vector<std::uint16_t> words{1, 39};
    for (int i = 0; i < 40; ++i)
        words.push_back(static_cast<std::uint16_t>(i % 16));
    const Extraction e =
        extractAnimatedTexturesFromBytes(writeLevel(animatedLevel(words, 1)), "a.dvc", false);
    ASSERT_TRUE(e.ok()) << e.reason();
    EXPECT_EQ(e.bitmap.height(), 640); // ten rows, the strip is 256 high
    EXPECT_FALSE(isMagenta(e.bitmap, slot(39)));
}

TEST(AnimatedTextures, LayoutArithmetic) {
    const AnimatedLayout l = layoutAnimatedRanges({{1, 2, 3, 4}, {5, 6}, {7}});
    EXPECT_EQ(l.rangeFirstSlot, (std::vector<int>{0, 8, 12}));
    EXPECT_EQ(l.rows, 4);
    EXPECT_EQ(layoutAnimatedRanges({}).rows, 0);
}

} // namespace
