#include "imaging/PngCodec.h"

#include "DecoderCorpus.h"
#include "imaging/FailureReason.h"
#include "imaging/ImageFiles.h"
#include "imaging/PixelFormatConversions.h"

#include <QDirIterator>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

using namespace parvane::imaging;
using namespace parvane::testing;

namespace {

// The picture both ways: in the file's own format, and widened straight into the working bitmap,
// which must equal the plain conversion of the first.
struct Decoded {
    Bitmap own;
    Bitmap working;
    int code = 0;
};

Decoded decodeBothWays(const std::vector<std::uint8_t>& bytes) {
    DecodeResult own = decodePng(bytes);
    PixelFormat fileFormat = PixelFormat::Device;
    DecodeResult working = decodePngWidening24Bits(bytes, fileFormat);
    EXPECT_TRUE(own.ok() && working.ok()) << (own.ok() ? working : own).error().reason;
    if (!own.ok() || !working.ok())
        return {};
    Decoded d{std::move(own).bitmap(), std::move(working).bitmap(), static_cast<int>(fileFormat)};
    EXPECT_EQ(d.code, pixelFormatCode(d.own));
    EXPECT_EQ(d.working.format(), PixelFormat::Bits32);
    Bitmap converted = d.own;
    convertToWorkingBitmap(converted, static_cast<std::uint8_t>(d.code));
    EXPECT_TRUE(converted == d.working);
    return d;
}

// The corpus's PNG pictures of each colour type and depth, beside the oracle decoding of the
// picture they show (written by the same tool from the same pixels).
TEST(PngCodec, EachKindOfTheCorpusMatchesItsOracle) {
    PARVANE_REQUIRE_TESTDATA();
    struct Row {
        const char* png;
        const char* oracle;
        int code;
    };
    const Row rows[] = {
        {"pillow/bmp/html/pal1.png", "oracle/pillow/bmp/g/pal1.bmp.png", 3}, // grey, 1 bit
        {"pillow/tga/common/200x32_l.png", "oracle/pillow/tga/common/200x32_l_tl_raw.tga.png", 3},
        {"pillow/bmp/html/pal1bg.png", "oracle/pillow/bmp/g/pal1bg.bmp.png", 3}, // palette, 1 bit
        {"pillow/bmp/html/pal4.png", "oracle/pillow/bmp/g/pal4.bmp.png", 3},     // palette, 4 bits
        {"pillow/tga/common/200x32_p.png", "oracle/pillow/tga/common/200x32_p_tl_raw.tga.png", 3},
        {"pillow/tga/common/200x32_la.png", "oracle/pillow/tga/common/200x32_la_tl_raw.tga.png", 7},
        {"pillow/tga/common/200x32_rgb.png", "oracle/pillow/tga/common/200x32_rgb_tl_raw.tga.png",
         6},
        {"pillow/tga/common/200x32_rgba.png", "oracle/pillow/tga/common/200x32_rgba_tl_raw.tga.png",
         7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.png);
        const Decoded d = decodeBothWays(readFileBytes(peerFile(row.png)));
        EXPECT_EQ(d.code, row.code);
        EXPECT_EQ(corpus::compareWithOracle(d.own, corpus::loadOracle(row.oracle), {}), "");
    }
}

// Every PNG of the corpus (the oracles included) decodes as Qt's own reader sees it.
TEST(PngCodec, EveryCorpusPngMatchesQtsReading) {
    PARVANE_REQUIRE_TESTDATA();
    int decoded = 0;
    QDirIterator it(QString::fromStdString(peerFile("").string()), {"*.png"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        const Decoded d = decodeBothWays(readFileBytes(path.toStdString()));
        EXPECT_EQ(corpus::compareWithOracle(d.own, QImage(path), {}), "");
        ++decoded;
    }
    EXPECT_GT(decoded, 200);
}

// A PNG written by libpng from samples of the given layout; sample(x, y, channel) gives each
// stored sample. Palette files get entry i = (i * 37, i * 91, 255 - i).
std::vector<std::uint8_t> makePng(int colourType, int depth, bool interlaced, bool trns, int width,
                                  int height,
                                  const std::function<unsigned(int, int, int)>& sample) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep b, png_size_t n) {
            auto* v = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), b, b + n);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    png_color palette[256];
    png_byte alphas[256];
    for (int i = 0; i < 256; ++i) {
        palette[i] = {static_cast<png_byte>(i * 37), static_cast<png_byte>(i * 91),
                      static_cast<png_byte>(255 - i)};
        alphas[i] = static_cast<png_byte>(i * 7);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 1 << depth);
    if (trns) {
        png_color_16 key{};
        key.red = key.green = key.blue = key.gray = static_cast<png_uint_16>(sample(0, 0, 0));
        png_set_tRNS(png, info, alphas, colourType == PNG_COLOR_TYPE_PALETTE ? 1 << depth : 0,
                     &key);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    std::vector<std::vector<png_byte>> rows(height);
    std::vector<png_bytep> pointers;
    for (int y = 0; y < height; ++y) {
        std::vector<png_byte>& row = rows[y];
        row.assign(png_get_rowbytes(png, info), 0);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const unsigned s = sample(x, y, c);
                const int bit = (x * channels + c) * depth;
                if (depth == 16) {
                    row[bit / 8] = static_cast<png_byte>(s >> 8);
                    row[bit / 8 + 1] = static_cast<png_byte>(s);
                } else {
                    row[bit / 8] |= static_cast<png_byte>(s << (8 - depth - bit % 8));
                }
            }
        pointers.push_back(row.data());
    }
    png_set_interlace_handling(png);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The layouts the corpus lacks: 2-bit palettes, 16-bit samples, tRNS and interlacing.
TEST(PngCodec, SixteenBitInterlacedAndTransparentLayoutsDecodeExactly) {
    struct Row {
        int colourType;
        int depth;
        bool interlaced;
        bool trns;
        int code;
    };
    const Row rows[] = {
        {PNG_COLOR_TYPE_GRAY, 2, false, false, 3},
        {PNG_COLOR_TYPE_GRAY, 4, true, true, 3},
        {PNG_COLOR_TYPE_GRAY, 16, true, false, 3},
        {PNG_COLOR_TYPE_PALETTE, 2, false, true, 3},
        {PNG_COLOR_TYPE_PALETTE, 8, true, true, 3},
        {PNG_COLOR_TYPE_RGB, 8, true, false, 6},
        {PNG_COLOR_TYPE_RGB, 16, false, true, 6},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16, true, false, 7},
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false, 7},
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false, 7},
    };
    // 13 x 11: every Adam7 pass holds pixels, and rows end inside a byte at 2 and 4 bits.
    const int width = 13, height = 11;
    for (const Row& row : rows) {
        SCOPED_TRACE("colour type " + std::to_string(row.colourType) + ", " +
                     std::to_string(row.depth) + " bits" + (row.interlaced ? ", interlaced" : ""));
        const unsigned top = (1u << row.depth) - 1;
        const auto sample = [&](int x, int y, int c) {
            return static_cast<unsigned>((x * 7919 + y * 104729 + c * 1299709) * 2654435761u >> 7) &
                   top;
        };
        const Decoded d = decodeBothWays(
            makePng(row.colourType, row.depth, row.interlaced, row.trns, width, height, sample));
        ASSERT_EQ(d.working.width(), width);
        ASSERT_EQ(d.working.height(), height);
        EXPECT_EQ(d.code, row.code);
        // 16-bit samples round to the nearest 8-bit value; fewer bits widen to the full range.
        const auto eight = [&](unsigned s) {
            return static_cast<int>(row.depth == 16 ? (s * 255 + 32767) / 65535 : s * 255 / top);
        };
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int expected[4] = {}; // red, green, blue, alpha
                switch (row.colourType) {
                case PNG_COLOR_TYPE_PALETTE: {
                    const unsigned i = sample(x, y, 0);
                    expected[0] = static_cast<std::uint8_t>(i * 37);
                    expected[1] = static_cast<std::uint8_t>(i * 91);
                    expected[2] = static_cast<int>(255 - i);
                    break;
                }
                case PNG_COLOR_TYPE_GRAY:
                case PNG_COLOR_TYPE_GRAY_ALPHA:
                    expected[0] = expected[1] = expected[2] = eight(sample(x, y, 0));
                    if (row.colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
                        expected[3] = eight(sample(x, y, 1));
                    break;
                default:
                    for (int c = 0; c < 3; ++c)
                        expected[c] = eight(sample(x, y, c));
                    if (row.colourType == PNG_COLOR_TYPE_RGB_ALPHA)
                        expected[3] = eight(sample(x, y, 3));
                }
                const Colour got = d.working.pixel(x, y);
                ASSERT_EQ(
                    (std::array<int, 4>{got.red, got.green, got.blue, d.working.alphaAt(x, y)}),
                    (std::array<int, 4>{expected[0], expected[1], expected[2], expected[3]}))
                    << "pixel " << x << "," << y;
            }
    }
}

TEST(PngCodec, ATargetSavedAsPngReadsBackExactly) {
    ScratchDir dir;
    for (const auto& [width, height] : {std::pair{256, 512}, std::pair{3, 2}}) {
        Bitmap target(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = target.row(y) + 4 * x;
                p[0] = static_cast<std::uint8_t>(x * 31 + y);
                p[1] = static_cast<std::uint8_t>(y * 17);
                p[2] = static_cast<std::uint8_t>(x ^ y);
                p[3] = static_cast<std::uint8_t>(x + 200); // dropped: the file has no alpha
            }
        const auto file = dir.file("set.PNG");
        ASSERT_TRUE(saveImageAs24BitsFile(target, width, height, file).ok());
        Bitmap loaded;
        std::uint8_t code = 0;
        ASSERT_TRUE(loadImageAs32BitsFile(file, loaded, code).ok());
        EXPECT_EQ(code, 6);
        EXPECT_TRUE(loaded == convertedTo32Bits(convertedTo24Bits(target)));
    }
}

// A copy of the bytes with one byte changed, the changed chunk's CRC made right again or not.
std::vector<std::uint8_t> changed(std::vector<std::uint8_t> bytes, std::size_t at,
                                  std::uint8_t value, std::size_t chunkStart, bool fixCrc) {
    bytes[at] = value;
    if (fixCrc) {
        const std::uint32_t length = png_get_uint_32(bytes.data() + chunkStart);
        const std::uint32_t crc =
            static_cast<std::uint32_t>(crc32(0, bytes.data() + chunkStart + 4, length + 4));
        for (int i = 0; i < 4; ++i)
            bytes[chunkStart + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return bytes;
}

TEST(PngCodec, DamagedFilesAreRefusedWithTheirReason) {
    Bitmap picture(40, 30, PixelFormat::Bits24);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y,
                             {static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y),
                              static_cast<std::uint8_t>(x * y)});
    const std::vector<std::uint8_t> good = encodePng(picture).value();
    ASSERT_TRUE(decodePng(good).ok());
    // The header chunk starts at 8, the pixel data chunk right after it at 33.
    const std::size_t idat = 33, data = idat + 8;
    ASSERT_EQ(std::string(good.begin() + idat + 4, good.begin() + data), "IDAT");
    const auto declaring = [&](std::uint32_t width, std::uint32_t height) {
        std::vector<std::uint8_t> b = good;
        for (int i = 0; i < 4; ++i) {
            b[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
            b[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
        }
        return changed(b, 16, b[16], 8, true);
    };
    struct Row {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::string reason; // a reason ending in "(" is a beginning
    };
    const Row rows[] = {
        {"no signature", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, reasons::kPngNoSignature},
        {"header CRC", changed(good, 20, 0x7F, 8, false),
         "PNG: the IHDR chunk fails its CRC check."},
        {"pixel data CRC", changed(good, good.size() - 13, good[good.size() - 13] ^ 1, idat, false),
         "PNG: the IDAT chunk fails its CRC check."},
        {"zlib header", changed(good, data, 0x79, idat, true),
         "PNG: the compressed pixel data is damaged ("},
        {"deflate block", changed(good, data + 2, 0xFF, idat, true),
         "PNG: the compressed pixel data is damaged ("},
        {"cut in the pixel data", {good.begin(), good.begin() + data + 20}, reasons::kPngEndsEarly},
        {"cut before the end chunk", {good.begin(), good.end() - 12}, reasons::kPngEndsEarly},
        {"100000 x 100000", declaring(100000, 100000),
         "PNG: a picture of 100000x100000 pixels is larger than Parvane can hold."},
        {"16384 x 16384 in a small file", declaring(16384, 16384),
         "PNG: " + std::to_string(good.size() - 45 - 12) +
             " bytes of pixel data cannot hold a picture of 16384x16384."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const bool working : {false, true}) {
            PixelFormat format = PixelFormat::Device;
            const DecodeResult r =
                working ? decodePngWidening24Bits(row.bytes, format) : decodePng(row.bytes);
            ASSERT_FALSE(r.ok());
            const std::string& reason = r.error().reason;
            if (row.reason.back() == '(')
                EXPECT_TRUE(reason.rfind(row.reason, 0) == 0 && reason.ends_with(").")) << reason;
            else
                EXPECT_EQ(reason, row.reason);
        }
    }
    // Every cut short of the end chunk fails.
    for (std::size_t keep = 0; keep + 12 < good.size(); keep += 7) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + keep);
        EXPECT_FALSE(decodePng(cut).ok()) << "kept " << keep;
    }
    // Through the file routines: the picture module's message, the reason beneath, nothing kept.
    ScratchDir dir;
    writeFileBytes(dir.file("bad.png"), rows[2].bytes);
    Bitmap shown(2, 2);
    const Bitmap before = shown;
    const FileResult r = loadImageFile(dir.file("bad.png"), shown);
    EXPECT_EQ(r.message, kCompressionSchemeMessage);
    EXPECT_EQ(failureReason(r), "PNG: the IDAT chunk fails its CRC check.");
    EXPECT_TRUE(shown == before);
}

} // namespace
