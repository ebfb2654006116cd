// The BMP reader and writer on pictures made here: every pixel format round trip, the header
// variants and run-length data, and the refusals.
#include "imaging/BmpCodec.h"

#include <gtest/gtest.h>

namespace parvane::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bitmap patterned(int w, int h, PixelFormat format) {
    Bitmap b(w, h, format);
    if (hasPalette(format)) {
        std::vector<Colour> palette;
        for (int i = 0; i < (1 << b.bitsPerPixel()); ++i)
            palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                               static_cast<std::uint8_t>(i * 3)});
        b.setPalette(palette);
    }
    if (format == PixelFormat::Custom)
        b.setMasks({0x0F00, 0x00F0, 0x000F});
    // Every byte of every row, including bytes a 1- or 4-bit row pads with.
    for (int y = 0; y < h; ++y) {
        const std::size_t used = (static_cast<std::size_t>(w) * b.bitsPerPixel() + 7) / 8;
        for (std::size_t i = 0; i < used; ++i)
            b.row(y)[i] = static_cast<std::uint8_t>(i * 31 + y * 7);
        if (const int spare = (w * b.bitsPerPixel()) % 8)
            b.row(y)[used - 1] &= static_cast<std::uint8_t>(0xFF << (8 - spare));
    }
    return b;
}

void put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

TEST(BmpCodec, EveryPixelFormatRoundTripsAtAwkwardSizes) {
    for (const PixelFormat format :
         {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits15,
          PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32, PixelFormat::Custom}) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{63, 65}, std::pair{113, 157}}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(format)) + " " + std::to_string(w) + "x" +
                         std::to_string(h));
            const Bitmap b = patterned(w, h, format);
            const Bytes file = encodeBmp(b);
            const DecodeResult r = decodeBmp(file);
            ASSERT_TRUE(r.ok()) << r.error().reason;
            EXPECT_EQ(r.bitmap().format(), format);
            EXPECT_TRUE(r.bitmap() == b);
        }
    }
}

TEST(BmpCodec, WritesAStandardUncompressedBitmap) {
    const Bytes file = encodeBmp(patterned(3, 2, PixelFormat::Bits24));
    ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2], file.size());
    EXPECT_EQ(file[10], 54); // pixel data offset
    EXPECT_EQ(file[14], 40); // info header size
    EXPECT_EQ(file[28], 24); // bits per pixel
    EXPECT_EQ(file[30], 0);  // no compression
}

// An 8-bit bitmap file of 4 x 2 pixels with the given compression and data.
Bytes eightBitFile(int height, std::uint32_t compression, const Bytes& data, int colours = 4) {
    Bytes f(14 + 40 + 4 * colours, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 10, static_cast<std::uint32_t>(f.size()));
    put32(f, 14, 40);
    put32(f, 18, 4);
    put32(f, 22, static_cast<std::uint32_t>(height));
    put16(f, 26, 1);
    put16(f, 28, 8);
    put32(f, 30, compression);
    put32(f, 46, static_cast<std::uint32_t>(colours));
    for (int i = 0; i < colours; ++i)
        f[54 + 4 * i + 2] = static_cast<std::uint8_t>(i * 80); // red = 80 i
    for (const std::uint8_t v : data)
        f.push_back(v);
    return f;
}

TEST(BmpCodec, TopDownAndBottomUpRows) {
    const Bytes rows = {1, 1, 1, 1, 2, 2, 2, 2};
    DecodeResult up = decodeBmp(eightBitFile(2, 0, rows));
    DecodeResult down = decodeBmp(eightBitFile(-2, 0, rows));
    ASSERT_TRUE(up.ok());
    ASSERT_TRUE(down.ok());
    EXPECT_EQ(up.bitmap().indexAt(0, 1), 1); // first stored row is the bottom one
    EXPECT_EQ(down.bitmap().indexAt(0, 0), 1);
    EXPECT_EQ(down.bitmap().pixel(0, 1), (Colour{160, 0, 0}));
}

TEST(BmpCodec, RunLengthEightAndFour) {
    // RLE8: a run of 4 of index 3, end of line, absolute run 1 2 3 (padded), a pixel, end.
    const Bytes rle8 = {4, 3, 0, 0, 0, 3, 1, 2, 3, 0, 1, 2, 0, 1};
    DecodeResult r = decodeBmp(eightBitFile(2, 1, rle8));
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.bitmap().indexAt(3, 1), 3);
    EXPECT_EQ(r.bitmap().indexAt(0, 0), 1);
    EXPECT_EQ(r.bitmap().indexAt(3, 0), 2);
    EXPECT_EQ(r.bitmap().format(), PixelFormat::Bits8);

    // RLE4 on a 4-bit file of the same size: a run of 4 alternating 1 and 2, end of bitmap.
    Bytes rle4 = eightBitFile(2, 2, {4, 0x12, 0, 1});
    put16(rle4, 28, 4);
    r = decodeBmp(rle4);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.bitmap().format(), PixelFormat::Bits4);
    EXPECT_EQ(r.bitmap().indexAt(0, 1), 1);
    EXPECT_EQ(r.bitmap().indexAt(1, 1), 2);
    EXPECT_EQ(r.bitmap().indexAt(3, 1), 2);
}

TEST(BmpCodec, RunsIntoARowsPaddingAreClippedToTheRow) {
    // 4 x 2 pictures. RLE8: a run of 6 and an absolute run of 5 on rows of 4 pixels.
    const Bytes rle8 = {6, 3, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1};
    // RLE4: a run of 7 and an absolute run of 6 pixels.
    Bytes rle4 = eightBitFile(2, 2, {7, 0x12, 0, 0, 0, 6, 0x34, 0x56, 0x78, 0, 0, 1}, 16);
    put16(rle4, 28, 4);
    for (const Bytes& file : {eightBitFile(2, 1, rle8, 16), rle4}) {
        const DecodeResult r = decodeBmp(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        const Bitmap& b = r.bitmap();
        const bool four = b.format() == PixelFormat::Bits4;
        // Bottom row first: the runs fill their row and stop there.
        EXPECT_EQ(b.indexAt(3, 1), four ? 2 : 3);
        EXPECT_EQ(b.indexAt(0, 0), four ? 3 : 1);
        EXPECT_EQ(b.indexAt(3, 0), four ? 6 : 4);
    }
}

TEST(BmpCodec, OsTwoVersionOneHeader) {
    // 12-byte header, 3-byte palette entries.
    Bytes f(14 + 12 + 2 * 3, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 10, static_cast<std::uint32_t>(f.size()));
    put32(f, 14, 12);
    put16(f, 18, 9);
    put16(f, 20, 1);
    put16(f, 22, 1);
    put16(f, 24, 1);
    f[26 + 3 + 1] = 255; // entry 1 is green
    f.insert(f.end(), {0x80, 0x00, 0x00, 0x00});
    const DecodeResult r = decodeBmp(f);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.bitmap().format(), PixelFormat::Bits1);
    EXPECT_EQ(r.bitmap().pixel(0, 0), (Colour{0, 255, 0}));
    EXPECT_EQ(r.bitmap().pixel(1, 0), colours::kBlack);
}

TEST(BmpCodec, SixteenBitMasksChooseTheCode) {
    const Bitmap b565 = patterned(5, 3, PixelFormat::Bits16);
    Bytes file = encodeBmp(b565);
    EXPECT_EQ(decodeBmp(file).bitmap().format(), PixelFormat::Bits16); // code 5
    // 5:5:5 given as explicit masks is a custom layout (code 8).
    put32(file, 54, 0x7C00);
    put32(file, 58, 0x03E0);
    put32(file, 62, 0x001F);
    const DecodeResult r = decodeBmp(file);
    EXPECT_EQ(r.bitmap().format(), PixelFormat::Custom);
    EXPECT_EQ(r.bitmap().masks().red, 0x7C00u);
}

TEST(BmpCodec, RefusesDamagedFiles) {
    struct Case {
        const char* what;
        Bytes file;
    };
    Bytes badIndex = eightBitFile(1, 0, {0, 1, 9, 0}, 4); // index 9 of a 4-colour palette
    Bytes runPastPicture = eightBitFile(2, 1, {0, 0, 0, 0, 1, 5, 0, 1}); // below the last row
    Bytes deltaOut = eightBitFile(2, 1, {0, 2, 10, 0, 0, 1});
    Bytes noEnd = eightBitFile(2, 1, {4, 1});
    Bytes shortRows = eightBitFile(2, 0, {1, 2, 3, 4, 5});
    Bytes bits2 = eightBitFile(1, 0, {0, 0, 0, 0});
    put16(bits2, 28, 2);
    Bytes wide = eightBitFile(1, 0, {});
    put32(wide, 18, 70000);
    put32(wide, 22, 70000);
    Bytes negativeWidth = eightBitFile(1, 0, {0, 0, 0, 0});
    put32(negativeWidth, 18, 0xFFFFFFFC);
    Bytes hugePalette = eightBitFile(1, 0, {0, 0, 0, 0});
    put32(hugePalette, 46, 0x12345678);
    Bytes jpeg = eightBitFile(1, 4, {0, 0, 0, 0});
    Bytes headerSize = eightBitFile(1, 0, {0, 0, 0, 0});
    put32(headerSize, 14, 66);
    const Case cases[] = {{"index beyond the palette", badIndex},
                          {"run below the last row", runPastPicture},
                          {"delta out of the picture", deltaOut},
                          {"run-length data without end", noEnd},
                          {"rows cut short", shortRows},
                          {"2 bits per pixel", bits2},
                          {"70000 x 70000", wide},
                          {"negative width", negativeWidth},
                          {"palette count beyond the file", hugePalette},
                          {"embedded JPEG", jpeg},
                          {"unknown header size", headerSize},
                          {"not a bitmap", Bytes{'P', 'K', 3, 4}},
                          {"empty", Bytes{}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = decodeBmp(c.file);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().reason.rfind("BMP: ", 0), 0u) << r.error().reason;
    }
}

} // namespace
} // namespace parvane::imaging
