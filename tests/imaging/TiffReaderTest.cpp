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

namespace {

// Writes a small TIFF through libtiff and returns its bytes. Samples are given interleaved,
// row after row, as bytes per row of `rowBytes`; planar files are split here.
struct TiffSpec {
    std::uint32_t width = 4, height = 3;
    std::uint16_t samples = 1, bits = 8, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    std::uint16_t extra = 0; // 0 none, else the extra sample's kind
    bool tiled = false;
    std::vector<std::uint16_t> colourMap; // red, green, blue runs
};

std::vector<std::uint8_t> writeTiff(const TiffSpec& s, const std::vector<std::uint8_t>& pixels) {
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
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 2);
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
        TiffSpec spec;
        std::vector<std::uint8_t> pixels;
        PixelFormat format;
        int x, y;
        Colour colour;
        int alpha; // -1: no alpha
    };
    TiffSpec planar;
    planar.samples = 3;
    planar.photometric = PHOTOMETRIC_RGB;
    planar.planar = PLANARCONFIG_SEPARATE;
    TiffSpec lzw = planar;
    lzw.planar = PLANARCONFIG_CONTIG;
    lzw.compression = COMPRESSION_LZW;
    TiffSpec tiled = lzw;
    tiled.tiled = true;
    tiled.compression = COMPRESSION_ADOBE_DEFLATE;
    TiffSpec white;
    white.photometric = PHOTOMETRIC_MINISWHITE;
    TiffSpec grey2;
    grey2.bits = 2;
    TiffSpec palette2;
    palette2.bits = 2;
    palette2.photometric = PHOTOMETRIC_PALETTE;
    palette2.colourMap = {0, 0x1000, 0x2000, 0xFFFF, 0, 0, 0, 0x8000, 0, 0, 0, 0x4000};
    TiffSpec greyAlpha;
    greyAlpha.samples = 2;
    greyAlpha.extra = EXTRASAMPLE_UNASSALPHA;
    TiffSpec premultiplied = lzw;
    premultiplied.samples = 4;
    premultiplied.extra = EXTRASAMPLE_ASSOCALPHA;
    premultiplied.compression = COMPRESSION_PACKBITS;
    TiffSpec cmyk;
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
        const auto result = decodeTiff(writeTiff(c.spec, c.pixels));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        const Bitmap& b = result.bitmap();
        EXPECT_EQ(b.format(), c.format);
        EXPECT_EQ(b.pixel(c.x, c.y), c.colour);
        if (c.alpha >= 0) {
            EXPECT_EQ(b.alphaAt(c.x, c.y), c.alpha);
        }
    }
}

TEST(TiffReader, DamagedAndUnsupportedFilesAreRefused) {
    TiffSpec spec;
    spec.width = 64;
    spec.height = 64;
    const auto good = writeTiff(spec, ramp(64 * 64));
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
    TiffSpec spec;
    for (const auto& [w, h] : {std::pair{60000u, 60000u}, {16000u, 16000u}}) {
        spec.width = w;
        spec.height = h;
        // Only the header matters: write a 1-row file, then patch the height.
        TiffSpec small = spec;
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

TEST(TiffReader, BitFlipsNeverCrash) {
    PARVANE_REQUIRE_TESTDATA();
    // Damage spread through real files of several compressions; any result is fine as long
    // as the reader returns.
    for (const char* name : {"pillow/hopper_lzw.tif", "pillow/hopper_g4.tif",
                             "pillow/hopper_jpg.tif", "pillow/tiff_tiled_planar_lzw.tiff"}) {
        const auto original = readFileBytes(peerFile(name));
        for (std::size_t i = 0; i < 64; ++i) {
            auto damaged = original;
            const std::size_t at = (i * 7919) % damaged.size();
            damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ (1u << (i % 8)));
            const auto result = decodeTiff(damaged);
            if (result.ok()) {
                EXPECT_FALSE(result.bitmap().isEmpty());
            }
        }
    }
}
