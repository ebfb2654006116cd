#include "imaging/GifReader.h"

#include "DecoderCorpus.h"

#include <gtest/gtest.h>

using namespace parvane::imaging;
using namespace parvane::testing;

namespace {

// A 3x2 GIF89a: global palette of 4 colours, a graphic control block with transparent index 2,
// and one uncompressed-style LZW frame (code size 2) holding indices 0 1 2 / 3 0 1.
std::vector<std::uint8_t> smallGif(bool interlaced = false) {
    std::vector<std::uint8_t> v{'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0xF1, 0, 0};
    const std::uint8_t palette[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    v.insert(v.end(), std::begin(palette), std::end(palette));
    v.insert(v.end(), {0x21, 0xF9, 4, 1, 0, 0, 2, 0});
    v.insert(v.end(),
             {0x2C, 0, 0, 0, 0, 3, 0, 2, 0, static_cast<std::uint8_t>(interlaced ? 0x40 : 0)});
    // LZW, minimum code size 2: clear (4), then each index as a 3-bit code with a clear
    // after every two, before the table grows past 3 bits, then end (5).
    const int codes[] = {4, 0, 1, 4, 2, 3, 4, 0, 1, 4, 5};
    std::vector<std::uint8_t> packed;
    unsigned acc = 0;
    int bits = 0;
    for (int c : codes) {
        acc |= static_cast<unsigned>(c) << bits;
        bits += 3;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits)
        packed.push_back(static_cast<std::uint8_t>(acc));
    v.push_back(2);
    v.push_back(static_cast<std::uint8_t>(packed.size()));
    v.insert(v.end(), packed.begin(), packed.end());
    v.insert(v.end(), {0, 0x3B});
    return v;
}

} // namespace

TEST(GifReader, CorpusFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    int compared = 0;
    for (const auto& row : corpus::manifestRows("GIF")) {
        SCOPED_TRACE(row.path);
        ++compared;
        int transparent = -2;
        const auto result = decodeGif(readFileBytes(peerFile(row.path)), &transparent);
        ASSERT_TRUE(result.ok()) << result.error().reason;
        EXPECT_EQ(result.bitmap().format(), PixelFormat::Bits8);
        // The preview shows colours only; the transparent index is reported beside them.
        EXPECT_EQ(corpus::compareWithOracle(result.bitmap(), corpus::loadOracle(row.oraclePng),
                                            {0, 0.0, false}),
                  "");
        EXPECT_EQ(transparent >= 0, row.path == "pillow/transparent.gif") << transparent;
    }
    EXPECT_EQ(compared, 3);
}

TEST(GifReader, ReadsTheFirstFrameWithItsTransparentIndex) {
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced);
        int transparent = -1;
        const auto result = decodeGif(smallGif(interlaced), &transparent);
        ASSERT_TRUE(result.ok()) << result.error().reason;
        const Bitmap& b = result.bitmap();
        ASSERT_EQ(b.width(), 3);
        ASSERT_EQ(b.height(), 2);
        EXPECT_EQ(transparent, 2);
        // Two rows interlaced come in the order 0 (pass 1), 1 (pass 4): the same picture.
        const int expected[2][3] = {{0, 1, 2}, {3, 0, 1}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(b.indexAt(x, y), expected[y][x]);
        EXPECT_EQ(b.pixel(1, 0), colours::kRed);
    }
}

TEST(GifReader, DamagedFilesAreRefused) {
    const auto good = smallGif();
    std::vector<std::vector<std::uint8_t>> cases;
    cases.push_back({'G', 'I', 'F'});
    for (std::size_t keep : {std::size_t{10}, std::size_t{30}, good.size() - 6})
        cases.emplace_back(good.begin(), good.begin() + static_cast<long>(keep));
    auto noFrame = std::vector<std::uint8_t>(good.begin(), good.begin() + 25);
    noFrame.push_back(0x3B);
    cases.push_back(noFrame);
    auto hugeFrame = good;
    hugeFrame[6] = 0xFF; // screen and frame of 65535 x 65535 in a tiny file
    hugeFrame[7] = 0xFF;
    hugeFrame[8] = 0xFF;
    hugeFrame[9] = 0xFF;
    for (std::size_t i = 38; i < 42; ++i)
        hugeFrame[i] = 0xFF;
    cases.push_back(hugeFrame);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const auto result = decodeGif(cases[i]);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().reason.rfind("GIF: ", 0), 0u) << result.error().reason;
    }
}
