#include "level/PageStrip.h"

#include "LevelFileWriter.h"
#include "level/LevelExtraction.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace parvane::level;
using namespace parvane::level::testing;
using parvane::imaging::Bitmap;
using parvane::imaging::PixelFormat;

namespace {

struct Pixel {
    int b, g, r, a;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(b" << p.b << " g" << p.g << " r" << p.r << " a" << p.a << ")";
}

Pixel at(const Bitmap& bmp, int x, int y) {
    const std::uint8_t* p = bmp.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

int widen5(int v) {
    return (v << 3) | (v >> 2);
}

// What a pixel of the strip must be, worked out from the page bytes independently of the
// code under test.
Pixel expected(const LevelRecipe& recipe, const std::vector<std::uint8_t>& pages, int x, int y,
               bool convert) {
    const std::size_t i = static_cast<std::size_t>(y) * 256 + x;
    if (recipe.generation <= 2) {
        const int index = pages[i];
        if (index == 0 && convert)
            return {255, 0, 255, 0};
        const auto& pal = recipe.palette8;
        return {(pal[3 * index + 2] * 4) & 255, (pal[3 * index + 1] * 4) & 255,
                (pal[3 * index] * 4) & 255, index == 0 ? 0 : 255};
    }
    if (recipe.generation <= 5) {
        const int w = pages[2 * i] | (pages[2 * i + 1] << 8);
        const bool opaque = (w & 0x8000) != 0;
        if (!opaque && convert)
            return {255, 0, 255, 0};
        return {widen5(w & 31), widen5((w >> 5) & 31), widen5((w >> 10) & 31), opaque ? 255 : 0};
    }
    const std::uint8_t* p = pages.data() + 4 * i;
    if (p[3] != 255 && convert)
        return {255, 0, 255, 255};
    return {p[0], p[1], p[2], p[3]};
}

class StripOfEveryGeneration : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(StripOfEveryGeneration, MatchesThePagesPixelByPixel) {
    const auto [generation, convert] = GetParam();
    LevelRecipe recipe = richLevel(generation);
    recipe.pages = 3;
    recipe.zlibContainer = generation % 2 == 0;
    const Extraction e =
        extractLevelTexturesFromBytes(writeLevel(recipe), fileNameFor(generation), convert);
    ASSERT_TRUE(e.ok()) << e.reason();
    ASSERT_EQ(e.bitmap.width(), 256);
    ASSERT_EQ(e.bitmap.height(), 768);
    EXPECT_EQ(e.bitmap.format(), PixelFormat::Bits32);
    EXPECT_EQ(e.sourcePixelFormat, generation <= 2 ? 3 : generation <= 5 ? 4 : 7);
    EXPECT_EQ(e.generation, generation);
    const int bpp = generation <= 2 ? 1 : generation <= 5 ? 2 : 4;
    const auto pages = patternPages(bpp, recipe.pages);
    int mismatches = 0;
    for (int y = 0; y < 768 && mismatches < 5; ++y)
        for (int x = 0; x < 256 && mismatches < 5; ++x)
            if (at(e.bitmap, x, y) != expected(recipe, pages, x, y, convert)) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << at(e.bitmap, x, y)
                              << " expected " << expected(recipe, pages, x, y, convert);
            }
}

INSTANTIATE_TEST_SUITE_P(Codes, StripOfEveryGeneration,
                         ::testing::Combine(::testing::Range(1, 8), ::testing::Bool()));

TEST(PageStrip, PaletteValuesAreTimesFour) {
    std::array<std::uint8_t, 768> pal{};
    pal[0] = 63;
    pal[1] = 1;
    pal[5] = 63;
    const auto colours = MakePalette(pal);
    ASSERT_EQ(colours.size(), 256u);
    EXPECT_EQ(colours[0], (parvane::imaging::Colour{252, 4, 0}));
    EXPECT_EQ(colours[1].blue, 252);
}

// One page whose first pixels are set by hand.
LevelRecipe onePage(int generation, std::vector<std::uint8_t> firstBytes) {
    LevelRecipe recipe;
    recipe.generation = generation;
    recipe.pages = 1;
    const int bpp = generation <= 2 ? 1 : generation <= 5 ? 2 : 4;
    auto pages = std::vector<std::uint8_t>(65536u * bpp, 0xFF);
    std::copy(firstBytes.begin(), firstBytes.end(), pages.begin());
    (bpp == 1 ? recipe.textile8 : bpp == 2 ? recipe.textile16 : recipe.textile32) = pages;
    recipe.palette8[0] = 63;
    recipe.palette8[1] = 10;
    recipe.palette8[2] = 63;
    recipe.palette8[3 * 255] = 63;
    return recipe;
}

Pixel firstPixel(const LevelRecipe& recipe, bool convert, int x = 0) {
    const Extraction e =
        extractLevelTexturesFromBytes(writeLevel(recipe), fileNameFor(recipe.generation), convert);
    EXPECT_TRUE(e.ok()) << e.reason();
    return e.ok() ? at(e.bitmap, x, 0) : Pixel{-1, -1, -1, -1};
}

TEST(PageStrip, TransparencyRulesOfEachPageFormat) {
    // 8-bit: index 0 keeps its palette colour in NONE, becomes exact magenta in AUTO.
    EXPECT_EQ(firstPixel(onePage(1, {0}), false), (Pixel{252, 40, 252, 0}));
    EXPECT_EQ(firstPixel(onePage(1, {0}), true), (Pixel{255, 0, 255, 0}));
    EXPECT_EQ(firstPixel(onePage(2, {255}), true), (Pixel{0, 0, 252, 255}));
    // 15-bit: bit 15 is the transparency bit.
    EXPECT_EQ(firstPixel(onePage(3, {0xFF, 0x7F}), true), (Pixel{255, 0, 255, 0}));
    EXPECT_EQ(firstPixel(onePage(3, {0xFF, 0x7F}), false), (Pixel{255, 255, 255, 0}));
    EXPECT_EQ(firstPixel(onePage(5, {0xFF, 0xFF}), true), (Pixel{255, 255, 255, 255}));
    // 32-bit: any alpha but 255 is masked, and the masked pixel is opaque.
    EXPECT_EQ(firstPixel(onePage(7, {1, 2, 3, 254}), true), (Pixel{255, 0, 255, 255}));
    EXPECT_EQ(firstPixel(onePage(6, {1, 2, 3, 254}), false), (Pixel{1, 2, 3, 254}));
    EXPECT_EQ(firstPixel(onePage(7, {1, 2, 3, 255}), true), (Pixel{1, 2, 3, 255}));
}

TEST(PageStrip, CopiesNeverLeaveTheirBuffers) {
    Bitmap bmp(256, 2, PixelFormat::Bits32);
    std::vector<std::uint8_t> pages(1024 + 100, 7);
    // Asks for far more than either side holds: only the one whole row and nothing else.
    CopyPagesToBitmap(bmp, 1 << 20, pages);
    EXPECT_EQ(bmp.row(0)[1023], 7);
    EXPECT_EQ(bmp.row(1)[0], 0);
    // Less than a row: only those bytes.
    Bitmap small(256, 1, PixelFormat::Bits15);
    CopyPagesToBitmapMasked(small, 3, std::vector<std::uint8_t>{0x00, 0x00, 0xAA});
    EXPECT_EQ(small.row(0)[0], 0x1F);
    EXPECT_EQ(small.row(0)[1], 0x7C);
    EXPECT_EQ(small.row(0)[2], 0xAA);
    EXPECT_EQ(small.row(0)[3], 0x00);
}

TEST(LevelExtraction, ExtensionsAreCheckedUpperCased) {
    EXPECT_TRUE(isAcceptedLevelExtension("a/b/level.dv4"));
    EXPECT_TRUE(isAcceptedLevelExtension("LEVEL.PhD"));
    EXPECT_FALSE(isAcceptedLevelExtension("LEVEL.DVG"));
    EXPECT_FALSE(isAcceptedLevelExtension("LEVEL"));
    const auto bytes = writeLevel(richLevel(4));
    EXPECT_EQ(extractLevelTexturesFromBytes(bytes, "x.DVG", false).status,
              ExtractionStatus::RefusedExtension);
    EXPECT_TRUE(extractLevelTexturesFromBytes(bytes, "x.dvg/a.dv2", false).ok());
}

TEST(LevelExtraction, FromAFileWithProgress) {
    parvane::testing::ScratchDir dir;
    const auto path = dir.file("level.dvc");
    parvane::testing::writeFileBytes(path, writeLevel(richLevel(7)));
    std::vector<int> progress;
    const Extraction e = extractLevelTextures(path, true, [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(e.ok()) << e.reason();
    EXPECT_EQ(e.bitmap.height(), 512);
    EXPECT_EQ(progress, (std::vector<int>{0, 20, 30, 40, 0, 0, 100}));
    EXPECT_EQ(extractLevelTextures(dir.file("none.dvc"), true).status, ExtractionStatus::Missing);
    parvane::testing::writeFileBytes(dir.file("text.phd"), {'h', 'e', 'l', 'l', 'o'});
    const Extraction notLevel = extractLevelTextures(dir.file("text.phd"), true);
    EXPECT_EQ(notLevel.status, ExtractionStatus::NotALevel);
    EXPECT_EQ(failureMessage(notLevel), "");
}

TEST(LevelExtraction, LevelWithoutPagesIsDamaged) {
    LevelRecipe recipe;
    recipe.generation = 3;
    recipe.pages = 0;
    const Extraction e = extractLevelTexturesFromBytes(writeLevel(recipe), "a.DV2", false);
    EXPECT_EQ(e.status, ExtractionStatus::Damaged);
    EXPECT_NE(failureMessage(e).find("damaged"), std::string::npos);
}

} // namespace
