#include "imaging/JpegCodec.h"

#include "DecoderCorpus.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace parvane::imaging;
using namespace parvane::testing;

TEST(JpegCodec, CorpusFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    int decoded = 0;
    for (const auto& row : corpus::manifestRows("JPEG")) {
        SCOPED_TRACE(row.path);
        const auto result = decodeJpeg(readFileBytes(peerFile(row.path)));
        if (row.category == "bad") {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().reason.rfind("JPEG error #", 0), 0u) << result.error().reason;
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().reason;
        // Decoders may round the inverse transform and upsampling differently.
        EXPECT_EQ(
            corpus::compareWithOracle(result.bitmap(), corpus::loadOracle(row.oraclePng), {4}), "");
        ++decoded;
    }
    EXPECT_EQ(decoded, 7);
}

TEST(JpegCodec, GreyPicturesAreEightBitsWithAGreyPalette) {
    PARVANE_REQUIRE_TESTDATA();
    const auto grey = decodeJpeg(readFileBytes(peerFile("pillow/hopper_gray.jpg")));
    ASSERT_TRUE(grey.ok());
    EXPECT_EQ(grey.bitmap().format(), PixelFormat::Bits8);
    ASSERT_EQ(grey.bitmap().palette().size(), 256u);
    EXPECT_EQ(grey.bitmap().palette()[77], (Colour{77, 77, 77}));
    const auto colour = decodeJpeg(readFileBytes(peerFile("pillow/app13-multiple.jpg")));
    ASSERT_TRUE(colour.ok());
    EXPECT_EQ(colour.bitmap().format(), PixelFormat::Bits24);
}

TEST(JpegCodec, TruncatedDataFailsInsteadOfTurningGrey) {
    PARVANE_REQUIRE_TESTDATA();
    const auto whole = readFileBytes(peerFile("pillow/hopper.jpg"));
    for (std::size_t keep :
         {whole.size() / 2, whole.size() - 2, std::size_t{200}, std::size_t{3}}) {
        SCOPED_TRACE(keep);
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(keep));
        const auto result = decodeJpeg(cut);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().reason.rfind("JPEG error #", 0), 0u) << result.error().reason;
    }
}

TEST(JpegCodec, BytesOfAnotherFormatGiveTheLibrarysNumberedError) {
    const std::vector<std::uint8_t> bmpStart{'B', 'M', 0, 0, 0, 0};
    for (const auto& bytes : {bmpStart, std::vector<std::uint8_t>{}}) {
        const auto result = decodeJpeg(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().reason.rfind("JPEG error #", 0), 0u) << result.error().reason;
    }
}

TEST(JpegCodec, HugeDeclaredSizeInATinyFileIsRefusedBeforeAllocating) {
    // A valid 8x8 file with its frame header patched to 60000 x 60000.
    Bitmap small(8, 8, PixelFormat::Bits24);
    auto encoded = encodeJpeg(small);
    ASSERT_TRUE(encoded.ok());
    auto& bytes = encoded.value();
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = 0xEA; // height 0xEA60
            bytes[i + 6] = 0x60;
            bytes[i + 7] = 0xEA;
            bytes[i + 8] = 0x60;
            break;
        }
    const auto result = decodeJpeg(bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().reason.find("60000x60000"), std::string::npos)
        << result.error().reason;
}

TEST(JpegCodec, WriteThenReadKeepsThePictureAtAwkwardSizes) {
    for (const auto& [w, h] : {std::pair{1, 1}, {63, 65}, {113, 157}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        // Smooth gradients with one flat block: what quality 90 keeps within a few levels.
        Bitmap picture(w, h, PixelFormat::Bits32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.setPixel(x, y,
                                 {static_cast<std::uint8_t>(x * 255 / std::max(1, w - 1)),
                                  static_cast<std::uint8_t>(y * 255 / std::max(1, h - 1)), 128});
        const auto encoded = encodeJpeg(picture);
        ASSERT_TRUE(encoded.ok()) << encoded.error().reason;
        // Baseline JFIF: SOI, APP0 "JFIF", and a baseline frame marker (C0), no progressive (C2).
        const auto& b = encoded.value();
        ASSERT_GT(b.size(), 20u);
        EXPECT_EQ(b[0], 0xFF);
        EXPECT_EQ(b[1], 0xD8);
        EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 10), "JFIF");
        bool baseline = false, progressive = false;
        for (std::size_t i = 0; i + 1 < b.size(); ++i) {
            baseline = baseline || (b[i] == 0xFF && b[i + 1] == 0xC0);
            progressive = progressive || (b[i] == 0xFF && b[i + 1] == 0xC2);
        }
        EXPECT_TRUE(baseline);
        EXPECT_FALSE(progressive);

        const auto decoded = decodeJpeg(b);
        ASSERT_TRUE(decoded.ok()) << decoded.error().reason;
        ASSERT_EQ(decoded.bitmap().width(), w);
        ASSERT_EQ(decoded.bitmap().height(), h);
        EXPECT_EQ(decoded.bitmap().format(), PixelFormat::Bits24);
        long long total = 0;
        int worst = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Colour a = picture.pixel(x, y), c = decoded.bitmap().pixel(x, y);
                for (int d : {std::abs(a.red - c.red), std::abs(a.green - c.green),
                              std::abs(a.blue - c.blue)}) {
                    total += d;
                    worst = std::max(worst, d);
                }
            }
        EXPECT_LE(static_cast<double>(total) / (3.0 * w * h), 2.0);
        EXPECT_LE(worst, 12);
    }
}

TEST(JpegCodec, QualityChangesTheOutputAndEmptyPicturesFail) {
    Bitmap picture(16, 16, PixelFormat::Bits24);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y,
                             {static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 16),
                              static_cast<std::uint8_t>((x ^ y) * 16)});
    EXPECT_NE(encodeJpeg(picture, 90).value(), encodeJpeg(picture, 20).value());
    EXPECT_EQ(encodeJpeg(picture).value(), encodeJpeg(picture, kJpegQuality).value());
    const auto empty = encodeJpeg(Bitmap());
    EXPECT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().reason.rfind("JPEG error #", 0), 0u);
}
