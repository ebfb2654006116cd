// The one bitmap type of Parvane: every reader, writer, canvas layer and level page strip
// holds its pixels in a Bitmap. Rows are addressed from the top (row 0 is the top row) and
// padded to a multiple of four bytes, as device-independent bitmaps are.
#pragma once

#include "Geometry.h"
#include "PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace parvane::imaging {

// Pixel formats, numbered as the pixel-format code every loader reports and the Source size
// line names.
enum class PixelFormat : std::uint8_t {
    Device = 0, // device-dependent: stored like Bits32
    Bits1 = 1,  // palette, two colours, most significant bit first
    Bits4 = 2,  // palette, sixteen colours, high nibble first
    Bits8 = 3,  // palette, 256 colours
    Bits15 = 4, // little-endian words: blue 0-4, green 5-9, red 10-14, transparency bit 15
    Bits16 = 5, // little-endian words: blue 0-4, green 5-10, red 11-15
    Bits24 = 6, // bytes blue, green, red
    Bits32 = 7, // bytes blue, green, red, alpha: the working bitmap
    Custom = 8, // 16-bit words with explicit colour masks
};

int bitsPerPixel(PixelFormat format);
bool hasPalette(PixelFormat format);

// Colour masks of a Custom (code 8) bitmap's 16-bit words.
struct BitfieldMasks {
    std::uint32_t red = 0x7C00;
    std::uint32_t green = 0x03E0;
    std::uint32_t blue = 0x001F;

    friend bool operator==(const BitfieldMasks&, const BitfieldMasks&) = default;
};

// Widens a 5-bit component so that 0 stays 0 and 31 becomes 255.
constexpr std::uint8_t widen5(unsigned v) {
    return static_cast<std::uint8_t>(((v & 31u) << 3) | ((v & 31u) >> 2));
}
// Widens a 6-bit component so that 0 stays 0 and 63 becomes 255.
constexpr std::uint8_t widen6(unsigned v) {
    return static_cast<std::uint8_t>(((v & 63u) << 2) | ((v & 63u) >> 4));
}

class Bitmap {
public:
    // Largest pixel buffer a picture may need before it is refused (1 GiB at 4 bytes a pixel).
    static constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 30;
    static constexpr int kMaxSide = 1 << 16;

    Bitmap() = default;
    // A black bitmap (all bytes zero; alpha 0). Sizes that are negative or too large
    // (see fitsInMemory) throw std::length_error; readers check first and report.
    Bitmap(int width, int height, PixelFormat format = PixelFormat::Bits32);
    // A bitmap whose pixel bytes a reader is about to write, every one of them: they are not
    // cleared first (the padding at the end of each row is). Palette formats start with a
    // black palette as above.
    static Bitmap forWriting(int width, int height, PixelFormat format);

    // True when a bitmap of this size and format stays within kMaxPixelBytes, counted at
    // four bytes a pixel because every picture ends up as a working bitmap.
    static bool fitsInMemory(std::int64_t width, std::int64_t height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    Rect rect() const { return {0, 0, width_, height_}; }
    PixelFormat format() const { return format_; }
    int bitsPerPixel() const { return imaging::bitsPerPixel(format_); }
    std::size_t stride() const { return stride_; }
    static std::size_t strideFor(int width, PixelFormat format);

    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * stride_;
    }
    std::span<std::uint8_t> bytes() { return pixels_; }
    std::span<const std::uint8_t> bytes() const { return pixels_; }

    const std::vector<Colour>& palette() const { return palette_; }
    void setPalette(std::vector<Colour> palette);
    const BitfieldMasks& masks() const { return masks_; }
    void setMasks(const BitfieldMasks& masks) { masks_ = masks; }

    // Colour of one pixel in any format; (x, y) must lie inside the bitmap.
    Colour pixel(int x, int y) const;
    // Alpha byte of a 32-bit pixel; 0 for every other format.
    std::uint8_t alphaAt(int x, int y) const;
    // Palette index of a 1-, 4- or 8-bit pixel.
    std::uint8_t indexAt(int x, int y) const;
    // Writes a colour in the bitmap's format (alpha 0 in 32 bits; the top bit of a 15-bit
    // word is kept; paletted formats take the nearest palette entry). Outside: ignored.
    void setPixel(int x, int y, Colour colour);
    void setIndex(int x, int y, std::uint8_t index);

    void fill(Colour colour) { fillRect(rect(), colour); }
    // Fills the part of rect that lies inside the bitmap.
    void fillRect(const Rect& rect, Colour colour);

    // Copies srcRect of src to dst (top-left corner) in this bitmap, clipped against both
    // bitmaps. Pixels are copied unchanged between equal formats (alpha included) and
    // through their colours otherwise.
    void copyRect(Point dst, const Bitmap& src, const Rect& srcRect);
    // Copies srcRect of src into dstRect, scaling by nearest pixel, clipped against this bitmap.
    void stretchCopy(const Rect& dstRect, const Bitmap& src, const Rect& srcRect);

    // New size: crops, or extends with paint in the added area. Format and palette are kept.
    void resize(int width, int height, Colour paint);
    // Changes the pixel format: any format to Bits24 or Bits32 (alpha 0 unless the source is
    // 32-bit), and to Bits15/Bits16. Converting to a paletted format is not offered.
    void convertTo(PixelFormat format);
    Bitmap converted(PixelFormat format) const;

    // The platform's focus rectangle: every second pixel of the one-pixel outline just
    // inside rect is combined by exclusive-or with colour; drawing it twice restores.
    void drawFocusRect(const Rect& rect, Colour colour);
    // One-pixel frame along the inside of rect.
    void drawFrame(const Rect& rect, Colour colour);
    // Line from `from` towards `to`, the end point not drawn.
    void drawLine(Point from, Point to, Colour colour);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    void xorPixel(int x, int y, Colour colour);
    std::uint8_t nearestIndex(Colour colour) const;

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Bits32;
    std::size_t stride_ = 0;
    PixelBuffer pixels_;
    std::vector<Colour> palette_;
    BitfieldMasks masks_;
};

} // namespace parvane::imaging
