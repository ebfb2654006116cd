#include "imaging/Bitmap.h"

#include "imaging/ByteReader.h"

#include <array>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace parvane::imaging;

namespace {

const Colour kBlue{0, 0, 255};
const Colour kGrey{192, 192, 192};

std::uint16_t wordAt(const Bitmap& b, int x, int y) {
    return static_cast<std::uint16_t>(b.row(y)[2 * x] | (b.row(y)[2 * x + 1] << 8));
}

} // namespace

TEST(Bitmap, RowsArePaddedToFourBytes) {
    EXPECT_EQ(Bitmap::strideFor(3, PixelFormat::Bits24), 12u);
    EXPECT_EQ(Bitmap::strideFor(5, PixelFormat::Bits1), 4u);
    EXPECT_EQ(Bitmap::strideFor(33, PixelFormat::Bits1), 8u);
    EXPECT_EQ(Bitmap::strideFor(9, PixelFormat::Bits4), 8u);
    EXPECT_EQ(Bitmap::strideFor(3, PixelFormat::Bits15), 8u);
    EXPECT_EQ(Bitmap::strideFor(7, PixelFormat::Bits32), 28u);
    Bitmap b(3, 2, PixelFormat::Bits24);
    EXPECT_EQ(b.bytes().size(), 24u);
    EXPECT_EQ(b.pixel(2, 1), colours::kBlack);
}

TEST(Bitmap, RefusesSizesBeyondTheMemoryLimit) {
    EXPECT_TRUE(Bitmap::fitsInMemory(512, 8192));
    EXPECT_TRUE(Bitmap::fitsInMemory(16384, 16384));
    EXPECT_FALSE(Bitmap::fitsInMemory(16385, 16384));
    EXPECT_FALSE(Bitmap::fitsInMemory(-1, 10));
    EXPECT_FALSE(Bitmap::fitsInMemory(70000, 1));
    EXPECT_THROW(Bitmap(70000, 70000), std::length_error);
}

TEST(Bitmap, PixelFormatCodesAreTheFileCodes) {
    EXPECT_EQ(static_cast<int>(PixelFormat::Bits8), 3);
    EXPECT_EQ(static_cast<int>(PixelFormat::Bits15), 4);
    EXPECT_EQ(static_cast<int>(PixelFormat::Bits32), 7);
    EXPECT_EQ(static_cast<int>(PixelFormat::Custom), 8);
    EXPECT_EQ(bitsPerPixel(PixelFormat::Custom), 16);
    EXPECT_EQ(bitsPerPixel(PixelFormat::Device), 32);
}

TEST(Bitmap, ThirtyTwoBitPixelsAreBlueGreenRedAlpha) {
    Bitmap b(2, 2);
    b.setPixel(1, 0, {30, 20, 10});
    const std::uint8_t* p = b.row(0) + 4;
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 30);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(b.pixel(1, 0), (Colour{30, 20, 10}));
    b.row(1)[3] = 200;
    EXPECT_EQ(b.alphaAt(0, 1), 200);
}

TEST(Bitmap, SixteenBitLayouts) {
    Bitmap b15(2, 1, PixelFormat::Bits15);
    b15.row(0)[0] = 0x00;
    b15.row(0)[1] = 0x80; // transparency bit only
    b15.setPixel(0, 0, colours::kWhite);
    EXPECT_EQ(wordAt(b15, 0, 0), 0xFFFF) << "the top bit is kept";
    b15.setPixel(1, 0, {255, 0, 0});
    EXPECT_EQ(wordAt(b15, 1, 0), 0x7C00);
    EXPECT_EQ(b15.pixel(1, 0), (Colour{255, 0, 0}));

    Bitmap b16(1, 1, PixelFormat::Bits16);
    b16.setPixel(0, 0, {0, 255, 0});
    EXPECT_EQ(wordAt(b16, 0, 0), 0x07E0);
    EXPECT_EQ(b16.pixel(0, 0), (Colour{0, 255, 0}));

    Bitmap custom(1, 1, PixelFormat::Custom);
    custom.setMasks({0x0F00, 0x00F0, 0x000F}); // 4:4:4
    custom.row(0)[0] = 0x0F;                   // full blue
    custom.row(0)[1] = 0x08;                   // red about half
    EXPECT_EQ(custom.pixel(0, 0), (Colour{136, 0, 255}));
}

TEST(Bitmap, WideningMapsEndpointsExactly) {
    EXPECT_EQ(widen5(0), 0);
    EXPECT_EQ(widen5(31), 255);
    EXPECT_EQ(widen6(0), 0);
    EXPECT_EQ(widen6(63), 255);
    EXPECT_EQ(widen5(16), 132);
}

TEST(Bitmap, PalettedPixelsReadThroughThePalette) {
    Bitmap b1(10, 1, PixelFormat::Bits1);
    b1.setPalette({colours::kBlack, colours::kWhite});
    b1.setIndex(0, 0, 1);
    b1.setIndex(9, 0, 1);
    EXPECT_EQ(b1.row(0)[0], 0x80);
    EXPECT_EQ(b1.row(0)[1], 0x40);
    EXPECT_EQ(b1.pixel(9, 0), colours::kWhite);
    EXPECT_EQ(b1.pixel(8, 0), colours::kBlack);

    Bitmap b4(3, 1, PixelFormat::Bits4);
    std::vector<Colour> palette(16, colours::kBlack);
    palette[5] = kBlue;
    b4.setPalette(palette);
    b4.setIndex(1, 0, 5);
    EXPECT_EQ(b4.row(0)[0], 0x05);
    EXPECT_EQ(b4.pixel(1, 0), kBlue);
    // Writing a colour picks the nearest entry.
    b4.setPixel(2, 0, {10, 10, 240});
    EXPECT_EQ(b4.indexAt(2, 0), 5);
}

TEST(Bitmap, ConversionToTwentyFourAndThirtyTwoBits) {
    Bitmap b8(2, 1, PixelFormat::Bits8);
    std::vector<Colour> palette(256, colours::kBlack);
    palette[7] = colours::kMagenta;
    b8.setPalette(palette);
    b8.setIndex(1, 0, 7);
    const Bitmap b24 = b8.converted(PixelFormat::Bits24);
    EXPECT_EQ(b24.format(), PixelFormat::Bits24);
    EXPECT_EQ(b24.pixel(1, 0), colours::kMagenta);

    Bitmap b32 = b24.converted(PixelFormat::Bits32);
    EXPECT_EQ(b32.pixel(1, 0), colours::kMagenta);
    EXPECT_EQ(b32.alphaAt(1, 0), 0) << "sources without alpha give alpha 0";

    b32.row(0)[7] = 99;
    Bitmap again = b32.converted(PixelFormat::Bits32);
    EXPECT_EQ(again.alphaAt(1, 0), 99);
    b32.convertTo(PixelFormat::Bits15);
    EXPECT_EQ(wordAt(b32, 1, 0), 0x7C1F);
}

TEST(Bitmap, FillRectIsClipped) {
    Bitmap b(4, 4);
    b.fillRect({-2, -2, 2, 2}, kBlue);
    EXPECT_EQ(b.pixel(0, 0), kBlue);
    EXPECT_EQ(b.pixel(1, 1), kBlue);
    EXPECT_EQ(b.pixel(2, 2), colours::kBlack);
    b.fillRect({10, 10, 20, 20}, kBlue); // entirely outside: nothing, no crash
    Bitmap b24(3, 1, PixelFormat::Bits24);
    b24.fill(colours::kMaroon);
    EXPECT_EQ(b24.pixel(2, 0), colours::kMaroon);
}

TEST(Bitmap, CopyRectClipsBothSidesAndKeepsAlpha) {
    Bitmap src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            src.setPixel(x, y,
                         {static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(y * 10), 1});
            src.row(y)[4 * x + 3] = static_cast<std::uint8_t>(x + y);
        }
    Bitmap dst(3, 3);
    dst.copyRect({-1, 1}, src, {1, 1, 4, 4});
    // dst (0,1) receives src (2,1); column -1 is clipped away.
    EXPECT_EQ(dst.pixel(0, 1), (Colour{20, 10, 1}));
    EXPECT_EQ(dst.alphaAt(0, 1), 3);
    EXPECT_EQ(dst.pixel(1, 2), (Colour{30, 20, 1}));
    EXPECT_EQ(dst.pixel(0, 0), colours::kBlack);

    // A source rectangle partly outside the source shifts the destination accordingly.
    Bitmap dst2(4, 4);
    dst2.copyRect({0, 0}, src, {-1, -1, 2, 2});
    EXPECT_EQ(dst2.pixel(0, 0), colours::kBlack);
    EXPECT_EQ(dst2.pixel(1, 1), (Colour{0, 0, 1}));
    EXPECT_EQ(dst2.pixel(2, 2), (Colour{10, 10, 1}));
}

TEST(Bitmap, CopyRectConvertsBetweenFormats) {
    Bitmap src(2, 2, PixelFormat::Bits24);
    src.setPixel(1, 1, colours::kMagenta);
    Bitmap dst(2, 2);
    dst.copyRect({0, 0}, src, src.rect());
    EXPECT_EQ(dst.pixel(1, 1), colours::kMagenta);
}

TEST(Bitmap, OverlappingCopyInsideOneBitmap) {
    Bitmap b(4, 1);
    for (int x = 0; x < 4; ++x)
        b.setPixel(x, 0, {static_cast<std::uint8_t>(x), 0, 0});
    b.copyRect({1, 0}, b, {0, 0, 3, 1});
    EXPECT_EQ(b.pixel(1, 0).red, 0);
    EXPECT_EQ(b.pixel(2, 0).red, 1);
    EXPECT_EQ(b.pixel(3, 0).red, 2);

    Bitmap v(1, 4);
    for (int y = 0; y < 4; ++y)
        v.setPixel(0, y, {static_cast<std::uint8_t>(y), 0, 0});
    v.copyRect({0, 1}, v, {0, 0, 1, 3});
    EXPECT_EQ(v.pixel(0, 3).red, 2);
    EXPECT_EQ(v.pixel(0, 1).red, 0);
}

TEST(Bitmap, StretchCopyUsesNearestPixels) {
    Bitmap src(2, 1);
    src.setPixel(0, 0, colours::kRed);
    src.setPixel(1, 0, kBlue);
    Bitmap dst(4, 2);
    dst.stretchCopy({0, 0, 4, 2}, src, src.rect());
    EXPECT_EQ(dst.pixel(0, 0), colours::kRed);
    EXPECT_EQ(dst.pixel(1, 1), colours::kRed);
    EXPECT_EQ(dst.pixel(2, 0), kBlue);
    EXPECT_EQ(dst.pixel(3, 1), kBlue);

    Bitmap shrunk(1, 1);
    shrunk.stretchCopy({0, 0, 1, 1}, dst, dst.rect());
    EXPECT_EQ(shrunk.pixel(0, 0), colours::kRed);
}

TEST(Bitmap, ResizeCropsOrExtendsWithThePaintColour) {
    Bitmap b(2, 2);
    b.fill(kBlue);
    b.resize(3, 4, colours::kMaroon);
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 4);
    EXPECT_EQ(b.pixel(1, 1), kBlue);
    EXPECT_EQ(b.pixel(2, 0), colours::kMaroon);
    EXPECT_EQ(b.pixel(0, 3), colours::kMaroon);
    b.resize(1, 1, colours::kWhite);
    EXPECT_EQ(b.width(), 1);
    EXPECT_EQ(b.pixel(0, 0), kBlue);

    Bitmap p(2, 1, PixelFormat::Bits8);
    std::vector<Colour> palette(256, colours::kBlack);
    palette[1] = kGrey;
    p.setPalette(palette);
    p.resize(4, 1, kGrey);
    EXPECT_EQ(p.format(), PixelFormat::Bits8);
    EXPECT_EQ(p.indexAt(3, 0), 1) << "paletted extension takes the nearest entry";
    // Black paint is the palette's black entry too, even where that entry is not the first.
    Bitmap q(1, 1, PixelFormat::Bits8);
    std::vector<Colour> light(256, colours::kWhite);
    light[9] = colours::kBlack;
    q.setPalette(light);
    q.resize(2, 2, colours::kBlack);
    EXPECT_EQ(q.indexAt(1, 1), 9);
    EXPECT_EQ(q.indexAt(0, 0), 0);
}

TEST(Bitmap, FocusRectDotsEverySecondPixelAndUndoesItself) {
    Bitmap b(6, 6);
    const Rect r{0, 0, 6, 6};
    b.drawFocusRect(r, kGrey);
    int dotted = 0;
    for (int x = 0; x < 6; ++x) {
        if (b.pixel(x, 0) == kGrey)
            ++dotted;
    }
    EXPECT_EQ(dotted, 3);
    for (int x = 0; x < 5; ++x)
        EXPECT_NE(b.pixel(x, 0) == kGrey, b.pixel(x + 1, 0) == kGrey) << "alternating at " << x;
    EXPECT_EQ(b.pixel(2, 2), colours::kBlack) << "inside untouched";
    b.drawFocusRect(r, kGrey);
    EXPECT_EQ(b, Bitmap(6, 6));

    // Exclusive-or of two colours: (32,32,32) then (224,224,224) gives (192,192,192).
    Bitmap c(4, 4);
    c.drawFocusRect({0, 0, 4, 4}, {32, 32, 32});
    c.drawFocusRect({0, 0, 4, 4}, {224, 224, 224});
    EXPECT_EQ(c.pixel(0, 0), kGrey);
}

TEST(Bitmap, FrameAndLines) {
    Bitmap b(5, 4);
    b.drawFrame({1, 1, 4, 4}, colours::kYellow);
    EXPECT_EQ(b.pixel(1, 1), colours::kYellow);
    EXPECT_EQ(b.pixel(3, 3), colours::kYellow);
    EXPECT_EQ(b.pixel(2, 2), colours::kBlack);
    EXPECT_EQ(b.pixel(0, 0), colours::kBlack);

    Bitmap l(5, 5);
    l.drawLine({2, 0}, {2, 5}, colours::kWhite);
    EXPECT_EQ(l.pixel(2, 4), colours::kWhite);
    l.drawLine({0, 1}, {3, 1}, colours::kRed);
    EXPECT_EQ(l.pixel(2, 1), colours::kRed);
    EXPECT_EQ(l.pixel(3, 1), colours::kBlack) << "end point is not drawn";
    l.drawLine({0, 0}, {4, 4}, kBlue);
    EXPECT_EQ(l.pixel(3, 3), kBlue);
    EXPECT_EQ(l.pixel(4, 4), colours::kBlack);
}

TEST(ByteReader, ReadsLittleAndBigEndianAndFailsStickily) {
    const std::array<std::uint8_t, 7> data{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    ByteReader r(data);
    EXPECT_EQ(r.u16le(), 0x0201);
    EXPECT_EQ(r.u32be(), 0x03040506u);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.remaining(), 1u);
    EXPECT_EQ(r.u16le(), 0) << "past the end reads zero";
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.u8(), 0) << "failure is sticky";

    ByteReader s(data);
    EXPECT_TRUE(s.bytes(8).empty());
    EXPECT_TRUE(s.failed());
    ByteReader t(data);
    EXPECT_FALSE(t.seek(8));
    EXPECT_TRUE(t.seek(7));
    EXPECT_TRUE(t.atEnd());
    ByteReader u(data);
    EXPECT_EQ(u.u32le(), 0x04030201u);
    EXPECT_EQ(u.bytes(3).size(), 3u);
    EXPECT_TRUE(u.ok());
}
