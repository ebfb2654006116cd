#include "PixelFormatConversions.h"

#include <array>
#include <cstring>

namespace parvane::imaging {

namespace {

bool is32(PixelFormat f) {
    return f == PixelFormat::Bits32 || f == PixelFormat::Device;
}

// Palette as ready-made 32-bit pixels (B, G, R, 0), padded to 256 entries with black so that
// an index beyond the palette reads black, as Bitmap::pixel does.
std::array<std::uint32_t, 256> paletteWords(const Bitmap& bitmap) {
    std::array<std::uint32_t, 256> words{};
    const auto& palette = bitmap.palette();
    for (std::size_t i = 0; i < palette.size() && i < words.size(); ++i)
        words[i] = palette[i].blue | (palette[i].green << 8) | (palette[i].red << 16);
    return words;
}

std::uint32_t word15To32(std::uint16_t w) {
    return widen5(w) | (widen5(w >> 5) << 8) | (widen5(w >> 10) << 16);
}

std::uint32_t word16To32(std::uint16_t w) {
    return widen5(w) | (widen6(w >> 5) << 8) | (widen5(w >> 11) << 16);
}

} // namespace

// One row of 24-bit pixels as 32-bit pixels with alpha 0. Each pixel is taken as one 4-byte
// word whose top byte (the next pixel's blue) is cleared; the row's last pixel is read byte by
// byte so that no read passes the end of the row.
void widenRow24To32(const std::uint8_t* s, std::uint8_t* d, int width) {
    int x = 0;
    for (; x + 1 < width; ++x, s += 3, d += 4) {
        std::uint32_t v;
        std::memcpy(&v, s, 4);
        v &= 0x00FFFFFFu; // little-endian host: B, G, R, 0
        std::memcpy(d, &v, 4);
    }
    if (x < width) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 0;
    }
}

Bitmap convertedTo32Bits(const Bitmap& src) {
    if (is32(src.format())) {
        if (src.format() == PixelFormat::Bits32)
            return src;
        Bitmap out(src.width(), src.height(), PixelFormat::Bits32);
        for (int y = 0; y < src.height(); ++y)
            std::memcpy(out.row(y), src.row(y), 4 * static_cast<std::size_t>(src.width()));
        return out;
    }
    Bitmap out(src.width(), src.height(), PixelFormat::Bits32);
    const int w = src.width();
    switch (src.format()) {
    case PixelFormat::Bits24:
        for (int y = 0; y < src.height(); ++y)
            widenRow24To32(src.row(y), out.row(y), w);
        return out;
    case PixelFormat::Bits8: {
        const auto words = paletteWords(src);
        for (int y = 0; y < src.height(); ++y) {
            const std::uint8_t* s = src.row(y);
            std::uint8_t* d = out.row(y);
            for (int x = 0; x < w; ++x, d += 4)
                std::memcpy(d, &words[s[x]], 4);
        }
        return out;
    }
    case PixelFormat::Bits15:
    case PixelFormat::Bits16:
        for (int y = 0; y < src.height(); ++y) {
            const std::uint8_t* s = src.row(y);
            std::uint8_t* d = out.row(y);
            for (int x = 0; x < w; ++x, s += 2, d += 4) {
                const auto word = static_cast<std::uint16_t>(s[0] | (s[1] << 8));
                const std::uint32_t v =
                    src.format() == PixelFormat::Bits15 ? word15To32(word) : word16To32(word);
                std::memcpy(d, &v, 4);
            }
        }
        return out;
    default:
        return src.converted(PixelFormat::Bits32);
    }
}

Bitmap convertedTo24Bits(const Bitmap& src) {
    if (src.format() == PixelFormat::Bits24)
        return src;
    if (is32(src.format())) {
        Bitmap out(src.width(), src.height(), PixelFormat::Bits24);
        for (int y = 0; y < src.height(); ++y) {
            const std::uint8_t* s = src.row(y);
            std::uint8_t* d = out.row(y);
            for (int x = 0; x < src.width(); ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        return out;
    }
    if (src.format() == PixelFormat::Bits8 || src.format() == PixelFormat::Bits15 ||
        src.format() == PixelFormat::Bits16)
        return convertedTo24Bits(convertedTo32Bits(src));
    return src.converted(PixelFormat::Bits24);
}

void Convert15BitsTo32Bits(Bitmap& bitmap) {
    const bool sixteen = bitmap.bitsPerPixel() == 16;
    Bitmap out = convertedTo32Bits(bitmap);
    if (sixteen) {
        for (int y = 0; y < bitmap.height(); ++y) {
            const std::uint8_t* s = bitmap.row(y);
            std::uint8_t* d = out.row(y);
            for (int x = 0; x < bitmap.width(); ++x)
                d[4 * x + 3] = (s[2 * x + 1] & 0x80) ? 255 : 0;
        }
    }
    bitmap = std::move(out);
}

void Convert8BitsTo32Bits(Bitmap& bitmap) {
    const bool indexed = bitmap.format() == PixelFormat::Bits8;
    Bitmap out = convertedTo32Bits(bitmap);
    if (indexed) {
        for (int y = 0; y < bitmap.height(); ++y) {
            const std::uint8_t* s = bitmap.row(y);
            std::uint8_t* d = out.row(y);
            for (int x = 0; x < bitmap.width(); ++x)
                d[4 * x + 3] = s[x] == 0 ? 0 : 255;
        }
    }
    bitmap = std::move(out);
}

} // namespace parvane::imaging
