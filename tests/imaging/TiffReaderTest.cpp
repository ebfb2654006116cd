#include "imaging/TiffReader.h"

#include "DecoderCorpus.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tiffio.h>

using namespace parvane::imaging;
using namespace parvane::testing;

TEST(TiffReader, CorpusFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    int decoded = 0;
    for (const auto& row : corpus::manifestRows("TIFF")) {
        SCOPED_TRACE(row.path);
        const auto result = decodeTiff(readFileBytes(peerFile(row.path)));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        ++decoded;
        corpus::Tolerance tolerance;
        if (row.trust == "convention")
            tolerance.channel = 1;
        if (row.path.find("jpg") != std::string::npos || row.path.find("jpeg") != std::string::npos)
            tolerance.channel = 4;
        if (row.trust == "unresolved") // associated alpha: the oracles disagree; compare loosely
            tolerance = {0, 3.0, false};
        EXPECT_EQ(corpus::compareWithOracle(result.bitmap(), corpus::loadOracle(row.oraclePng),
                                            tolerance),
                  "");
    }
    EXPECT_EQ(decoded, 25);
}

TEST(TiffReader, ThreadedDecodingGivesTheOneThreadPicture) {
    // Every corpus TIFF (strips and tiles, chunky and planar, every compression there); two
    // and three threads split the bands unevenly.
    PARVANE_REQUIRE_TESTDATA();
    for (const auto& row : corpus::manifestRows("TIFF")) {
        SCOPED_TRACE(row.path);
        const auto bytes = readFileBytes(peerFile(row.path));
        const auto single = decodeTiffOnThreads(bytes, 1);
        ASSERT_TRUE(single.ok()) << single.error().reason;
        for (const unsigned threads : {2u, 3u}) {
            const auto threaded = decodeTiffOnThreads(bytes, threads);
            ASSERT_TRUE(threaded.ok()) << threaded.error().reason;
            EXPECT_TRUE(threaded.bitmap() == single.bitmap()) << threads << " threads";
        }
    }
}

namespace {

// Writes a small TIFF through libtiff and returns its bytes. Samples are given interleaved,
// row after row, as bytes per row of `rowBytes`; planar files are split here.
struct TiffLayout {
    std::uint32_t width = 4, height = 3;
    std::uint16_t samples = 1, bits = 8, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    std::uint16_t extra = 0; // 0 none, else the extra sample's kind
    bool tiled = false;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::vector<std::uint16_t> colourMap; // red, green, blue runs
};

std::vector<std::uint8_t> writeTiff(const TiffLayout& s, const std::vector<std::uint8_t>& pixels) {
    ScratchDir dir;
    const auto path = dir.file("t.tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, s.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
    if (s.extra) {
        const std::uint16_t kinds[] = {s.extra};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, kinds);
    }
    if (!s.colourMap.empty()) {
        const std::size_t n = s.colourMap.size() / 3;
        TIFFSetField(tif, TIFFTAG_COLORMAP, s.colourMap.data(), s.colourMap.data() + n,
                     s.colourMap.data() + 2 * n);
    }
    const std::size_t rowBytes = (std::size_t{s.width} * s.samples * s.bits + 7) / 8;
    if (s.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        std::vector<std::uint8_t> tile(16 * 16 * s.samples * s.bits / 8, 0);
        for (std::uint32_t y = 0; y < s.height; ++y)
            std::memcpy(tile.data() + y * 16 * s.samples * s.bits / 8, pixels.data() + y * rowBytes,
                        rowBytes);
        TIFFWriteEncodedTile(tif, 0, tile.data(), static_cast<tmsize_t>(tile.size()));
    } else if (s.planar == PLANARCONFIG_SEPARATE) {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 1);
        std::vector<std::uint8_t> line(s.width);
        for (std::uint16_t k = 0; k < s.samples; ++k)
            for (std::uint32_t y = 0; y < s.height; ++y) {
                for (std::uint32_t x = 0; x < s.width; ++x)
                    line[x] = pixels[y * rowBytes + x * s.samples + k];
                TIFFWriteScanline(tif, line.data(), y, k);
            }
    } else {
        // JPEG strips hold whole 8-row blocks.
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.compression == COMPRESSION_JPEG ? 8 : 2);
        for (std::uint32_t y = 0; y < s.height; ++y)
            TIFFWriteScanline(tif, const_cast<std::uint8_t*>(pixels.data() + y * rowBytes), y, 0);
    }
    TIFFClose(tif);
    return readFileBytes(path);
}

std::vector<std::uint8_t> repeat(std::vector<std::uint8_t> pixel, std::size_t count) {
    std::vector<std::uint8_t> v;
    for (std::size_t i = 0; i < count; ++i)
        v.insert(v.end(), pixel.begin(), pixel.end());
    return v;
}

std::vector<std::uint8_t> ramp(std::size_t n, int step = 1) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * static_cast<std::size_t>(step));
    return v;
}

} // namespace

TEST(TiffReader, LayoutsGiveTheirPixelFormatsAndColours) {
    const auto rgb = ramp(4 * 3 * 3, 7);
    struct Case {
        const char* name;
        TiffLayout layout;
        std::vector<std::uint8_t> pixels;
        PixelFormat format;
        int x, y;
        Colour colour;
        int alpha; // -1: no alpha
    };
    TiffLayout planar;
    planar.samples = 3;
    planar.photometric = PHOTOMETRIC_RGB;
    planar.planar = PLANARCONFIG_SEPARATE;
    TiffLayout lzw = planar;
    lzw.planar = PLANARCONFIG_CONTIG;
    lzw.compression = COMPRESSION_LZW;
    TiffLayout tiled = lzw;
    tiled.tiled = true;
    tiled.compression = COMPRESSION_ADOBE_DEFLATE;
    TiffLayout white;
    white.photometric = PHOTOMETRIC_MINISWHITE;
    TiffLayout grey2;
    grey2.bits = 2;
    TiffLayout palette2;
    palette2.bits = 2;
    palette2.photometric = PHOTOMETRIC_PALETTE;
    palette2.colourMap = {0, 0x1000, 0x2000, 0xFFFF, 0, 0, 0, 0x8000, 0, 0, 0, 0x4000};
    TiffLayout greyAlpha;
    greyAlpha.samples = 2;
    greyAlpha.extra = EXTRASAMPLE_UNASSALPHA;
    TiffLayout paletteAlpha = greyAlpha;
    paletteAlpha.photometric = PHOTOMETRIC_PALETTE;
    paletteAlpha.colourMap.assign(3 * 256, 0);
    paletteAlpha.colourMap[40] = 0xFF00;       // red of index 40
    paletteAlpha.colourMap[512 + 40] = 0x7700; // blue of index 40
    TiffLayout premultiplied = lzw;
    premultiplied.samples = 4;
    premultiplied.extra = EXTRASAMPLE_ASSOCALPHA;
    premultiplied.compression = COMPRESSION_PACKBITS;
    TiffLayout cmyk;
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    const std::vector<Case> cases{
        // Pixel (1,2) of the 7-step ramp: bytes 3 * (2 * 4 + 1) = 27.. -> 189, 196, 203.
        {"planar RGB", planar, rgb, PixelFormat::Bits24, 1, 2, {189, 196, 203}, -1},
        {"LZW RGB", lzw, rgb, PixelFormat::Bits24, 1, 2, {189, 196, 203}, -1},
        {"tiled deflate RGB", tiled, rgb, PixelFormat::Bits24, 1, 2, {189, 196, 203}, -1},
        {"MinIsWhite grey",
         white,
         {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 255},
         PixelFormat::Bits8,
         3,
         2,
         {0, 0, 0},
         -1},
        // 2-bit grey 0b00011011 = 0, 1, 2, 3 -> 0, 85, 170, 255.
        {"2-bit grey", grey2, {0x1B, 0x1B, 0x1B}, PixelFormat::Bits4, 2, 1, {170, 170, 170}, -1},
        {"2-bit palette",
         palette2,
         {0x1B, 0x1B, 0x1B},
         PixelFormat::Bits4,
         3,
         0,
         {0xFF, 0x80, 0x40},
         -1},
        {"grey with alpha",
         greyAlpha,
         ramp(4 * 3 * 2, 10),
         PixelFormat::Bits32,
         1,
         0,
         {20, 20, 20},
         30},
        // Every pixel index 40 at alpha 90; the colour map holds 16-bit entries.
        {"palette with alpha",
         paletteAlpha,
         repeat({40, 90}, 12),
         PixelFormat::Bits32,
         1,
         0,
         {0xFF, 0, 0x77},
         90},
        // Premultiplied 60, 30, 0 at alpha 120 -> 127, 63, 0.
        {"associated alpha",
         premultiplied,
         repeat({60, 30, 0, 120}, 12),
         PixelFormat::Bits32,
         2,
         2,
         {127, 63, 0},
         120},
        // No ink is white; full cyan alone gives (0, 255, 255).
        {"CMYK", cmyk, std::vector<std::uint8_t>(48, 0), PixelFormat::Bits24, 0, 0, colours::kWhite,
         -1},
        {"CMYK cyan",
         cmyk,
         repeat({255, 0, 0, 0}, 12),
         PixelFormat::Bits24,
         3,
         2,
         {0, 255, 255},
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = decodeTiff(writeTiff(c.layout, c.pixels));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        const Bitmap& b = result.bitmap();
        EXPECT_EQ(b.format(), c.format);
        EXPECT_EQ(b.pixel(c.x, c.y), c.colour);
        if (c.alpha >= 0) {
            EXPECT_EQ(b.alphaAt(c.x, c.y), c.alpha);
        }
    }
}

TEST(TiffReader, EveryCompressionLibtiffWritesDecodesToTheSamePicture) {
    // A 32 x 24 RGB picture of smooth ramps and a bilevel checkerboard, each written with
    // every compression libtiff can encode for it.
    TiffLayout rgb;
    rgb.width = 32;
    rgb.height = 24;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    std::vector<std::uint8_t> colour;
    for (std::uint32_t y = 0; y < rgb.height; ++y)
        for (std::uint32_t x = 0; x < rgb.width; ++x)
            colour.insert(colour.end(), {static_cast<std::uint8_t>(x * 8),
                                         static_cast<std::uint8_t>(y * 10), 128});
    for (const auto& [compression, tolerance] : {std::pair{COMPRESSION_NONE, 0},
                                                 {COMPRESSION_PACKBITS, 0},
                                                 {COMPRESSION_LZW, 0},
                                                 {COMPRESSION_ADOBE_DEFLATE, 0},
                                                 {COMPRESSION_JPEG, 8}}) {
        SCOPED_TRACE(compression);
        rgb.compression = static_cast<std::uint16_t>(compression);
        const auto result = decodeTiff(writeTiff(rgb, colour));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        for (int y = 0; y < 24; y += 5)
            for (int x = 0; x < 32; x += 3) {
                const Colour c = result.bitmap().pixel(x, y);
                EXPECT_NEAR(c.red, x * 8, tolerance);
                EXPECT_NEAR(c.green, y * 10, tolerance);
                EXPECT_NEAR(c.blue, 128, tolerance);
            }
    }
    TiffLayout fax;
    fax.width = 32;
    fax.height = 8;
    fax.bits = 1;
    fax.photometric = PHOTOMETRIC_MINISWHITE;
    std::vector<std::uint8_t> checks;
    for (std::uint32_t y = 0; y < fax.height; ++y)
        checks.insert(checks.end(), 4, static_cast<std::uint8_t>(y % 2 ? 0xF0 : 0x0F));
    for (const auto compression :
         {COMPRESSION_CCITTFAX3, COMPRESSION_CCITTFAX4, COMPRESSION_PACKBITS}) {
        SCOPED_TRACE(compression);
        fax.compression = static_cast<std::uint16_t>(compression);
        const auto result = decodeTiff(writeTiff(fax, checks));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        const Bitmap& b = result.bitmap();
        EXPECT_EQ(b.format(), PixelFormat::Bits1);
        // MinIsWhite: a set bit is black.
        EXPECT_EQ(b.pixel(0, 0), colours::kWhite);
        EXPECT_EQ(b.pixel(4, 0), colours::kBlack);
        EXPECT_EQ(b.pixel(0, 1), colours::kBlack);
        EXPECT_EQ(b.pixel(31, 7), colours::kWhite);
    }
}

TEST(TiffReader, BottomUpPicturesAreTurnedUpright) {
    TiffLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.orientation = ORIENTATION_BOTLEFT;
    const auto result = decodeTiff(writeTiff(layout, {10, 20, 30, 40}));
    ASSERT_TRUE(result.ok()) << result.error().reason;
    // The first stored row is the bottom one.
    EXPECT_EQ(result.bitmap().pixel(0, 1), (Colour{10, 10, 10}));
    EXPECT_EQ(result.bitmap().pixel(1, 0), (Colour{40, 40, 40}));
}

TEST(TiffReader, DamagedAndUnsupportedFilesAreRefused) {
    TiffLayout layout;
    layout.width = 64;
    layout.height = 64;
    const auto good = writeTiff(layout, ramp(64 * 64));
    ASSERT_TRUE(decodeTiff(good).ok());

    // The compression tag's value patched to a scheme libtiff does not know.
    auto unknown = good;
    bool patched = false;
    for (std::size_t i = 8; i + 12 <= unknown.size() && !patched; ++i)
        if (unknown[i] == 0x03 && unknown[i + 1] == 0x01 && unknown[i + 2] == 3 &&
            unknown[i + 3] == 0) {
            unknown[i + 8] = 0x39; // 12345
            unknown[i + 9] = 0x30;
            patched = true;
        }
    ASSERT_TRUE(patched);
    const auto refused = decodeTiff(unknown);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().reason.rfind("The compression scheme is", 0), 0u)
        << refused.error().reason;

    // Truncated pixel data, a cut directory and a wrong mark all fail cleanly.
    for (std::size_t keep : {good.size() / 2, std::size_t{12}, std::size_t{4}}) {
        SCOPED_TRACE(keep);
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(keep));
        EXPECT_FALSE(decodeTiff(cut).ok());
    }
    const std::vector<std::uint8_t> notTiff{'I', 'I', 41, 0, 8, 0, 0, 0};
    EXPECT_EQ(decodeTiff(notTiff).error().kind, DecodeError::Kind::NotThisFormat);
}

TEST(TiffReader, HugeDimensionsAreRefusedBeforeAllocating) {
    TiffLayout layout;
    for (const auto& [w, h] : {std::pair{60000u, 60000u}, {16000u, 16000u}}) {
        layout.width = w;
        layout.height = h;
        // Only the header matters: write a 1-row file, then patch the height.
        TiffLayout small = layout;
        small.height = 1;
        auto bytes = writeTiff(small, std::vector<std::uint8_t>(w, 0));
        for (std::size_t i = 8; i + 12 <= bytes.size(); ++i)
            if (bytes[i] == 0x01 && bytes[i + 1] == 0x01 && bytes[i + 3] == 0) {
                std::memcpy(&bytes[i + 8], &h, 4);
                break;
            }
        const auto result = decodeTiff(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_NE(result.error().reason.find(std::to_string(w)), std::string::npos)
            << result.error().reason;
    }
}
