#include "imaging/PcxReader.h"

#include "DecoderCorpus.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace parvane::imaging;
using namespace parvane::testing;

namespace {

// A PCX header for width x height with the given planes, bits and bytes per line.
std::vector<std::uint8_t> header(int width, int height, int planes, int bits, int bpl,
                                 int encoding = 1) {
    std::vector<std::uint8_t> h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = static_cast<std::uint8_t>(encoding);
    h[3] = static_cast<std::uint8_t>(bits);
    h[8] = static_cast<std::uint8_t>((width - 1) & 0xFF);
    h[9] = static_cast<std::uint8_t>((width - 1) >> 8);
    h[10] = static_cast<std::uint8_t>((height - 1) & 0xFF);
    h[11] = static_cast<std::uint8_t>((height - 1) >> 8);
    h[65] = static_cast<std::uint8_t>(planes);
    h[66] = static_cast<std::uint8_t>(bpl & 0xFF);
    h[67] = static_cast<std::uint8_t>(bpl >> 8);
    return h;
}

void append(std::vector<std::uint8_t>& v, std::initializer_list<int> bytes) {
    for (int b : bytes)
        v.push_back(static_cast<std::uint8_t>(b));
}

} // namespace

TEST(PcxReader, CorpusFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    const std::map<std::string, PixelFormat> formats{
        {"pillow/pil184.pcx", PixelFormat::Bits1},
        {"pillow/p_4_planes.pcx", PixelFormat::Bits4},
        {"pillow/odd_stride.pcx", PixelFormat::Bits8},
        {"pillow/derived/hopper_dcx_page0.pcx", PixelFormat::Bits24}};
    int checked = 0;
    for (const auto& row : corpus::manifestRows("PCX")) {
        SCOPED_TRACE(row.path);
        const auto result = decodePcx(readFileBytes(peerFile(row.path)));
        if (row.category == "bad") {
            EXPECT_FALSE(result.ok());
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().reason;
        EXPECT_EQ(result.bitmap().format(), formats.at(row.path));
        // Pictures of code 1 to 6 have no alpha: the oracle must be opaque there.
        EXPECT_EQ(corpus::compareWithOracle(result.bitmap(), corpus::loadOracle(row.oraclePng), {}),
                  "");
        ++checked;
    }
    EXPECT_EQ(checked, 4);
}

TEST(PcxReader, TwoBitPicturesAreWidenedToFourBitsWithTheHeaderPalette) {
    auto file = header(4, 1, 1, 2, 2);
    file[16 + 3 * 2] = 10; // palette entry 2 = (10, 20, 30)
    file[16 + 3 * 2 + 1] = 20;
    file[16 + 3 * 2 + 2] = 30;
    append(file, {0b00011011, 0}); // indices 0 1 2 3, then padding
    const auto result = decodePcx(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    const Bitmap& b = result.bitmap();
    EXPECT_EQ(b.format(), PixelFormat::Bits4);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(b.indexAt(x, 0), x);
    EXPECT_EQ(b.pixel(2, 0), (Colour{10, 20, 30}));
}

TEST(PcxReader, RunsMayCrossLineEndsAndOffsetsDoNotMatter) {
    // 3x2, 8 bits, one run of 6 bytes covers both lines; Xmin/Ymin = 7,9.
    auto file = header(3, 2, 1, 8, 3);
    file[4] = 7;
    file[6] = 9;
    file[8] = 9;   // Xmax = 9
    file[10] = 10; // Ymax = 10
    append(file, {0xC6, 42});
    const auto result = decodePcx(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    ASSERT_EQ(result.bitmap().width(), 3);
    ASSERT_EQ(result.bitmap().height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(result.bitmap().indexAt(x, y), 42);
    // Without the 12 marker the 8-bit picture falls back to greys.
    EXPECT_EQ(result.bitmap().pixel(0, 0), (Colour{42, 42, 42}));
}

TEST(PcxReader, ThePaletteAtTheEndIsUsedAndNotReadAsPixels) {
    auto file = header(2, 1, 1, 8, 2, 0);
    append(file, {1, 2});
    file.push_back(12);
    for (int i = 0; i < 256; ++i)
        append(file, {i, 255 - i, 7});
    const auto result = decodePcx(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    EXPECT_EQ(result.bitmap().pixel(1, 0), (Colour{2, 253, 7}));
}

TEST(PcxReader, RgbPlanesAreRedGreenBlueInTurn) {
    auto file = header(2, 1, 3, 8, 2, 0);
    append(file, {10, 11, 20, 21, 30, 31});
    const auto result = decodePcx(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    EXPECT_EQ(result.bitmap().format(), PixelFormat::Bits24);
    EXPECT_EQ(result.bitmap().pixel(1, 0), (Colour{11, 21, 31}));
}

TEST(PcxReader, OneBitPictureWithoutHeaderColoursIsBlackAndWhite) {
    auto file = header(8, 1, 1, 1, 2, 0);
    append(file, {0b10100000, 0});
    const auto result = decodePcx(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    EXPECT_EQ(result.bitmap().pixel(0, 0), colours::kWhite);
    EXPECT_EQ(result.bitmap().pixel(1, 0), colours::kBlack);
}

TEST(PcxReader, DamagedFilesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        DecodeError::Kind kind;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"short header", std::vector<std::uint8_t>(100, 10), DecodeError::Kind::NotThisFormat});
    auto wrongMagic = header(4, 4, 1, 8, 4);
    wrongMagic[0] = 11;
    cases.push_back({"wrong first byte", wrongMagic, DecodeError::Kind::NotThisFormat});
    cases.push_back(
        {"bytes per line too small", header(64, 1, 1, 8, 3), DecodeError::Kind::Damaged});
    auto truncatedRle = header(4, 2, 1, 8, 4);
    append(truncatedRle, {0xC4, 1, 0xC2}); // first row, then half a run
    cases.push_back({"run-length data ends early", truncatedRle, DecodeError::Kind::Damaged});
    auto truncatedRaw = header(4, 2, 1, 8, 4, 0);
    append(truncatedRaw, {1, 2, 3, 4, 5});
    cases.push_back({"raw data ends early", truncatedRaw, DecodeError::Kind::Damaged});
    auto huge = header(65535, 65535, 3, 8, 65535);
    append(huge, {0xFF, 0});
    cases.push_back({"absurd size", huge, DecodeError::Kind::Damaged});
    auto hugeFewBytes = header(16000, 16000, 1, 8, 16000);
    append(hugeFewBytes, {0xFF, 0, 0xFF, 0});
    cases.push_back(
        {"size far beyond the run-length data", hugeFewBytes, DecodeError::Kind::Damaged});
    auto backwards = header(4, 4, 1, 8, 4);
    backwards[4] = 200; // Xmin beyond Xmax
    cases.push_back({"window ends before it starts", backwards, DecodeError::Kind::Damaged});
    cases.push_back({"unsupported layout", header(4, 4, 2, 8, 4), DecodeError::Kind::Unsupported});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = decodePcx(c.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_EQ(result.error().reason.rfind("PCX: ", 0), 0u) << result.error().reason;
    }
}

namespace {

// A run-length stream for `bytes` decoded bytes, encoded as one stream across line ends: runs
// of every length (some crossing into the next line, some empty), escaped high literals.
std::vector<std::uint8_t> pcxStream(std::size_t bytes, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out;
    std::size_t produced = 0;
    while (produced < bytes) {
        const auto value = static_cast<std::uint8_t>(random());
        const unsigned pick = random() % 8;
        if (pick == 0) {
            out.push_back(0xC0); // an empty run
            out.push_back(value);
        } else if (pick < 3) {
            const auto count = static_cast<std::uint8_t>(1 + random() % 63);
            out.push_back(static_cast<std::uint8_t>(0xC0 | count));
            out.push_back(value);
            produced += count;
        } else {
            if (value >= 192)
                out.push_back(0xC1);
            out.push_back(value);
            ++produced;
        }
    }
    return out;
}

} // namespace

TEST(PcxReader, ThreadedDecodingGivesTheOneThreadPictureOrFailure) {
    struct Case {
        const char* name;
        int width, planes, bits, bpl;
    };
    const Case cases[] = {{"24 bits, padded lines", 37, 3, 8, 39},
                          {"32 bits", 53, 4, 8, 53},
                          {"8 bits", 45, 1, 8, 46},
                          {"1 bit", 70, 1, 1, 10},
                          {"4 planes of 1 bit", 30, 4, 1, 4}};
    constexpr int kHeight = 41;
    for (const Case& c : cases) {
        for (const int encoding : {1, 0}) {
            const std::size_t total = static_cast<std::size_t>(c.bpl) * c.planes * kHeight;
            const auto seed = static_cast<std::uint32_t>(c.width * 7 + encoding);
            std::vector<std::uint8_t> pixels =
                encoding ? pcxStream(total, seed) : std::vector<std::uint8_t>(total, 0);
            if (!encoding)
                for (std::size_t i = 0; i < total; ++i)
                    pixels[i] = static_cast<std::uint8_t>(i * 131 + i / 7);
            auto file = header(c.width, kHeight, c.planes, c.bits, c.bpl, encoding);
            file.insert(file.end(), pixels.begin(), pixels.end());
            // The whole stream, then cut at a third, two thirds and its last byte.
            for (const std::size_t keep :
                 {pixels.size(), pixels.size() / 3, pixels.size() * 2 / 3, pixels.size() - 1}) {
                SCOPED_TRACE(std::string(c.name) + (encoding ? ", run-length" : ", raw") +
                             ", stream bytes " + std::to_string(keep));
                const std::span<const std::uint8_t> bytes(file.data(), 128 + keep);
                const auto single = decodePcxOnThreads(bytes, 1);
                if (keep == pixels.size()) {
                    ASSERT_TRUE(single.ok()) << single.error().reason;
                }
                for (const unsigned threads : {2u, 3u, 7u}) {
                    const auto threaded = decodePcxOnThreads(bytes, threads);
                    ASSERT_EQ(threaded.ok(), single.ok()) << threads << " threads";
                    if (single.ok())
                        EXPECT_TRUE(threaded.bitmap() == single.bitmap()) << threads << " threads";
                    else
                        EXPECT_EQ(threaded.error().reason, single.error().reason) << threads;
                }
            }
        }
    }
}
