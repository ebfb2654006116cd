#include "imaging/PsdReader.h"

#include "DecoderCorpus.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace parvane::imaging;
using namespace parvane::testing;

namespace {

void put16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x >> 8));
    v.push_back(static_cast<std::uint8_t>(x));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x >> 16);
    put16(v, x & 0xFFFF);
}

// A PSD file with empty colour mode data, resources and layer section, followed by the
// merged image's compression word and the given data.
std::vector<std::uint8_t> psd(int channels, std::uint32_t width, std::uint32_t height, int depth,
                              int mode, int compression, const std::vector<std::uint8_t>& image,
                              const std::vector<std::uint8_t>& modeData = {}) {
    std::vector<std::uint8_t> v{'8', 'B', 'P', 'S'};
    put16(v, 1);
    v.insert(v.end(), 6, 0);
    put16(v, static_cast<unsigned>(channels));
    put32(v, height);
    put32(v, width);
    put16(v, static_cast<unsigned>(depth));
    put16(v, static_cast<unsigned>(mode));
    put32(v, static_cast<std::uint32_t>(modeData.size()));
    v.insert(v.end(), modeData.begin(), modeData.end());
    put32(v, 0); // resources
    put32(v, 0); // layers
    put16(v, static_cast<unsigned>(compression));
    v.insert(v.end(), image.begin(), image.end());
    return v;
}

} // namespace

TEST(PsdReader, CorpusFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    // Trusted decodings the reader must reproduce; the rest of the rows are damaged files that
    // must fail cleanly, or files whose merged image is intact behind corrupt layer records.
    const std::map<std::string, corpus::Tolerance> loose{
        // 16-bit samples: the oracle rounds where this reader takes the high byte.
        {"psd-tools/16bit5x5.psd", {1}},
        {"psd-tools/colormodes/4x4_16bit_grayscale.psd", {1}},
        {"psd-tools/colormodes/4x4_16bit_rgb.psd", {1}},
        // Only the colours are agreed on; the extra channel is alpha here (all 0).
        {"psd-tools/colormodes/4x4_8bit_rgba.psd", {0, 0.0, false}},
    };
    const std::map<std::string, PixelFormat> formats{
        {"psd-tools/colormodes/4x4_1bit_bitmap.psd", PixelFormat::Bits1},
        {"psd-tools/colormodes/4x4_8bit_grayscale.psd", PixelFormat::Bits8},
        {"psd-tools/colormodes/4x4_8bit_duotone.psd", PixelFormat::Bits8},
        {"psd-tools/colormodes/4x4_8bit_index_color.psd", PixelFormat::Bits8},
        {"psd-tools/colormodes/4x4_8bit_rgb.psd", PixelFormat::Bits24},
        {"psd-tools/colormodes/4x4_8bit_rgba.psd", PixelFormat::Bits32},
        {"psd-tools/colormodes/4x4_16bit_rgb.psd", PixelFormat::Bits24},
        {"pillow/rgba.psd", PixelFormat::Bits32},
    };
    int decoded = 0;
    for (const auto& row : corpus::manifestRows("PSD")) {
        SCOPED_TRACE(row.path);
        const auto result = decodePsd(readFileBytes(peerFile(row.path)));
        if (row.oraclePng.empty()) {
            EXPECT_FALSE(result.ok());
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().reason;
        ++decoded;
        if (const auto it = formats.find(row.path); it != formats.end()) {
            EXPECT_EQ(result.bitmap().format(), it->second);
        }
        if (row.trust == "unresolved")
            continue; // float samples, checked on their own below
        const auto it = loose.find(row.path);
        const corpus::Tolerance tolerance = it == loose.end() ? corpus::Tolerance{} : it->second;
        EXPECT_EQ(corpus::compareWithOracle(result.bitmap(), corpus::loadOracle(row.oraclePng),
                                            tolerance),
                  "");
    }
    // Every file but combined_larger_than_size.psd, whose merged image is missing.
    EXPECT_EQ(decoded, 25);
}

TEST(PsdReader, FloatSamplesAreEncodedFromLinearLightToSrgb) {
    PARVANE_REQUIRE_TESTDATA();
    // The oracle scales the float samples straight to bytes; this reader treats them as the
    // linear light they are and applies the sRGB transfer curve.
    const auto deep = decodePsd(readFileBytes(peerFile("psd-tools/colormodes/4x4_32bit_rgb.psd")));
    ASSERT_TRUE(deep.ok());
    const QImage linear =
        corpus::loadOracle("oracle/psd-tools/colormodes/4x4_32bit_rgb.psd.magick.png")
            .convertToFormat(QImage::Format_RGB32);
    // The oracle's bytes are quantised (rounded or cut), so each stands for a range of values.
    auto encode = [](double v) {
        const double l = std::max(0.0, v / 255.0);
        const double s = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
        return static_cast<int>(s * 255.0 + 0.5);
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const Colour c = deep.bitmap().pixel(x, y);
            const QRgb o = linear.pixel(x, y);
            const int got[3] = {c.red, c.green, c.blue};
            const int want[3] = {qRed(o), qGreen(o), qBlue(o)};
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(got[k], encode(want[k] - 0.5) - 1) << x << "," << y;
                EXPECT_LE(got[k], encode(want[k] + 1.0) + 1) << x << "," << y;
            }
        }
}

TEST(PsdReader, ConvertsCmykAndLabToRgb) {
    // CMYK is stored inverted: 255 means no ink. Pixel 0: no ink (white); pixel 1: full cyan.
    const auto cmyk = decodePsd(psd(4, 2, 1, 8, 4, 0, {255, 0, 255, 255, 255, 255, 255, 255}));
    ASSERT_TRUE(cmyk.ok()) << cmyk.error().reason;
    EXPECT_EQ(cmyk.bitmap().format(), PixelFormat::Bits24);
    EXPECT_EQ(cmyk.bitmap().pixel(0, 0), colours::kWhite);
    EXPECT_EQ(cmyk.bitmap().pixel(1, 0), (Colour{0, 255, 255}));
    // Lab: L 255 with neutral a, b is white; L 0 is black.
    const auto lab = decodePsd(psd(3, 2, 1, 8, 9, 0, {255, 0, 128, 128, 128, 128}));
    ASSERT_TRUE(lab.ok()) << lab.error().reason;
    EXPECT_EQ(lab.bitmap().pixel(0, 0), colours::kWhite);
    EXPECT_EQ(lab.bitmap().pixel(1, 0), colours::kBlack);
}

TEST(PsdReader, PackBitsRowsAndMultichannel) {
    // Two channels of two rows, each row two bytes packed as one run.
    std::vector<std::uint8_t> image{0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2};
    for (int v : {10, 20, 30, 40, 50, 60})
        image.insert(image.end(), {0xFF, static_cast<std::uint8_t>(v)});
    const auto result = decodePsd(psd(3, 2, 2, 8, 7, 1, image));
    ASSERT_TRUE(result.ok()) << result.error().reason;
    EXPECT_EQ(result.bitmap().pixel(1, 1), (Colour{20, 40, 60}));
    EXPECT_EQ(result.bitmap().pixel(0, 0), (Colour{10, 30, 50}));
}

TEST(PsdReader, ManyAlphaChannelsAreReadPast) {
    // 60 channels of one 2 x 1 row: the first four give RGBA, raw and packed.
    std::vector<std::uint8_t> raw, packed;
    for (int c = 0; c < 60; ++c)
        put16(packed, 2);
    for (int c = 0; c < 60; ++c) {
        const auto v = static_cast<std::uint8_t>(10 * c + 5);
        raw.insert(raw.end(), {v, v});
        packed.insert(packed.end(), {0xFF, v});
    }
    for (const auto& file : {psd(60, 2, 1, 8, 3, 0, raw), psd(60, 2, 1, 8, 3, 1, packed)}) {
        const auto result = decodePsd(file);
        ASSERT_TRUE(result.ok()) << result.error().reason;
        EXPECT_EQ(result.bitmap().format(), PixelFormat::Bits32);
        EXPECT_EQ(result.bitmap().pixel(1, 0), (Colour{5, 15, 25}));
        EXPECT_EQ(result.bitmap().alphaAt(1, 0), 35);
    }
}

TEST(PsdReader, DamagedFilesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        DecodeError::Kind kind;
    };
    std::vector<std::uint8_t> packed{0, 2, 0, 2, 0, 2, 0xFF, 1, 0xFF, 2};
    auto badRow = psd(3, 2, 1, 8, 3, 1, packed);
    badRow.push_back(0xFF); // the third row's run has no value
    auto longLayers = psd(3, 1, 1, 8, 3, 0, {1, 2, 3});
    longLayers[26 + 4 + 4 + 3] = 200; // layer section longer than the file
    std::vector<std::uint8_t> hugePacked;
    for (int i = 0; i < 3 * 16000; ++i)
        hugePacked.insert(hugePacked.end(), {0, 6});
    for (int i = 0; i < 3 * 16000; ++i)
        hugePacked.insert(hugePacked.end(), {0x81, 0, 0x81, 0, 0x81, 0});
    const std::vector<Case> cases{
        {"no signature", {'8', 'B', 'P', 'X', 0, 1}, DecodeError::Kind::NotThisFormat},
        {"raw image ends early", psd(3, 4, 4, 8, 3, 0, std::vector<std::uint8_t>(47, 1)),
         DecodeError::Kind::Damaged},
        {"packed row damaged", badRow, DecodeError::Kind::Damaged},
        {"layer section past the end", longLayers, DecodeError::Kind::Damaged},
        {"absurd size", psd(3, 300000, 300000, 8, 3, 0, {}), DecodeError::Kind::Damaged},
        // 16000 x 16000 fits in memory, but 6 bytes a row cannot pack 16000 bytes.
        {"packed rows too short for the size", psd(3, 16000, 16000, 8, 3, 1, hugePacked),
         DecodeError::Kind::Damaged},
        {"zip compression", psd(3, 1, 1, 8, 3, 2, {1, 2, 3}), DecodeError::Kind::Unsupported},
        {"unknown mode", psd(3, 1, 1, 8, 5, 0, {1, 2, 3}), DecodeError::Kind::Unsupported},
        {"indexed without palette", psd(1, 1, 1, 8, 2, 0, {1}), DecodeError::Kind::Damaged},
        {"too few channels for CMYK", psd(3, 1, 1, 8, 4, 0, {1, 2, 3}), DecodeError::Kind::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = decodePsd(c.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, c.kind);
        const std::string& reason = result.error().reason;
        EXPECT_TRUE(reason.starts_with("PSD: ") || reason.starts_with("The file ends after "))
            << reason;
    }
}
