// The page strip: the texture pages of a loaded level stacked into one 32-bit bitmap.
#include "level/PageStrip.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace parvane::level {

using imaging::Bitmap;
using imaging::Colour;
using imaging::PixelFormat;

namespace {

int bytesPerPixelOf(PixelFormat format) {
    switch (format) {
    case PixelFormat::Bits8:
        return 1;
    case PixelFormat::Bits24:
        return 3;
    case PixelFormat::Bits32:
    case PixelFormat::Device:
        return 4;
    default:
        return 2;
    }
}

// Copies whole rows of page bytes into the bitmap, calling mask on each copied row. Rows the
// bitmap or the page buffer do not hold are left alone.
template <typename Mask>
void copyRows(Bitmap& bitmap, std::size_t byteCount, std::span<const std::uint8_t> pages,
              Mask mask) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(bytesPerPixelOf(bitmap.format())) * bitmap.width();
    if (rowBytes == 0 || bitmap.height() == 0)
        return;
    byteCount = std::min(byteCount, pages.size());
    // A buffer shorter than one row still fills the first row that far.
    if (byteCount < rowBytes) {
        std::memcpy(bitmap.row(0), pages.data(), byteCount);
        mask(bitmap.row(0), byteCount);
        return;
    }
    const std::size_t rows =
        std::min(byteCount / rowBytes, static_cast<std::size_t>(bitmap.height()));
    for (std::size_t r = 0; r < rows; ++r) {
        std::uint8_t* dst = bitmap.row(static_cast<int>(r));
        std::memcpy(dst, pages.data() + r * rowBytes, rowBytes);
        mask(dst, rowBytes);
    }
}

// The working bitmap of an 8-bit strip: the palette colours, alpha 0 where the index is 0
// (the level's transparent colour) and 255 elsewhere.
Bitmap widen8(const Bitmap& strip) {
    Bitmap out(strip.width(), strip.height(), PixelFormat::Bits32);
    std::array<std::uint32_t, 256> lookup{};
    const auto& palette = strip.palette();
    for (std::size_t i = 0; i < lookup.size(); ++i) {
        const Colour c = i < palette.size() ? palette[i] : imaging::colours::kBlack;
        lookup[i] = c.blue | (c.green << 8) | (c.red << 16) | (i == 0 ? 0u : 0xFF000000u);
    }
    for (int y = 0; y < strip.height(); ++y) {
        const std::uint8_t* src = strip.row(y);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < strip.width(); ++x, dst += 4) {
            const std::uint32_t v = lookup[src[x]];
            dst[0] = static_cast<std::uint8_t>(v);
            dst[1] = static_cast<std::uint8_t>(v >> 8);
            dst[2] = static_cast<std::uint8_t>(v >> 16);
            dst[3] = static_cast<std::uint8_t>(v >> 24);
        }
    }
    return out;
}

// The working bitmap of a 15-bit strip: each 5-bit channel widened so 31 gives 255, alpha
// 255 where bit 15 is set and 0 where it is clear.
Bitmap widen15(const Bitmap& strip) {
    Bitmap out(strip.width(), strip.height(), PixelFormat::Bits32);
    for (int y = 0; y < strip.height(); ++y) {
        const std::uint8_t* src = strip.row(y);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < strip.width(); ++x, src += 2, dst += 4) {
            const unsigned w = src[0] | (src[1] << 8);
            dst[0] = imaging::widen5(w);
            dst[1] = imaging::widen5(w >> 5);
            dst[2] = imaging::widen5(w >> 10);
            dst[3] = (w & 0x8000) ? 255 : 0;
        }
    }
    return out;
}

} // namespace

std::vector<Colour> MakePalette(std::span<const std::uint8_t> palette8) {
    std::vector<Colour> colours(256);
    for (std::size_t i = 0; i < colours.size() && 3 * i + 2 < palette8.size(); ++i) {
        // The file's values are 6-bit; times four, kept to 8 bits, so 63 gives 252.
        colours[i] = {static_cast<std::uint8_t>(palette8[3 * i] * 4),
                      static_cast<std::uint8_t>(palette8[3 * i + 1] * 4),
                      static_cast<std::uint8_t>(palette8[3 * i + 2] * 4)};
    }
    return colours;
}

void CopyPagesToBitmap(Bitmap& bitmap, std::size_t byteCount, std::span<const std::uint8_t> pages) {
    copyRows(bitmap, byteCount, pages, [](std::uint8_t*, std::size_t) {});
}

void CopyPagesToBitmapMasked(Bitmap& bitmap, std::size_t byteCount,
                             std::span<const std::uint8_t> pages) {
    switch (bytesPerPixelOf(bitmap.format())) {
    case 1: {
        // Index 0 keeps its index; the palette does the masking.
        copyRows(bitmap, byteCount, pages, [](std::uint8_t*, std::size_t) {});
        auto palette = bitmap.palette();
        if (palette.empty())
            palette.resize(256);
        palette[0] = imaging::colours::kMagenta;
        bitmap.setPalette(std::move(palette));
        break;
    }
    case 4:
        copyRows(bitmap, byteCount, pages, [](std::uint8_t* p, std::size_t n) {
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                if (p[i + 3] != 255) {
                    p[i] = 255;
                    p[i + 1] = 0;
                    p[i + 2] = 255;
                    p[i + 3] = 255;
                }
            }
        });
        break;
    case 2:
        copyRows(bitmap, byteCount, pages, [](std::uint8_t* p, std::size_t n) {
            for (std::size_t i = 0; i + 1 < n; i += 2) {
                if ((p[i + 1] & 0x80) == 0) {
                    // Red 31, green 0, blue 31 with bit 15 left clear (0x7C1F), so the
                    // pixel stays transparent (alpha 0) once widened to 32 bits.
                    p[i] = 0x1F;
                    p[i + 1] = 0x7C;
                }
            }
        });
        break;
    default:
        CopyPagesToBitmap(bitmap, byteCount, pages);
        break;
    }
}

std::uint8_t pagePixelFormatCode(int generation) {
    if (generation <= 2)
        return static_cast<std::uint8_t>(PixelFormat::Bits8);
    if (generation <= 5)
        return static_cast<std::uint8_t>(PixelFormat::Bits15);
    return static_cast<std::uint8_t>(PixelFormat::Bits32);
}

PageStrip buildPageStrip(const Tdvlevel& level, bool convert, const ProgressFn& progress) {
    if (progress)
        progress(0);
    PageStrip result;
    result.sourcePixelFormat = pagePixelFormatCode(level.Generation);
    const auto format = static_cast<PixelFormat>(result.sourcePixelFormat);
    const int height = static_cast<int>(std::min(level.NumTextiles, kMaxPages)) * 256;
    Bitmap strip(256, height, format);
    const auto copy = convert ? CopyPagesToBitmapMasked : CopyPagesToBitmap;
    const std::size_t pages = height / 256;
    switch (format) {
    case PixelFormat::Bits8:
        strip.setPalette(MakePalette(level.Palette8));
        copy(strip, pages * kPage8Bytes, level.Textile8);
        break;
    case PixelFormat::Bits15:
        copy(strip, pages * kPage16Bytes, level.Textile16);
        break;
    default:
        copy(strip, pages * kPage32Bytes, level.Textile32);
        break;
    }
    if (progress)
        progress(100);
    if (format == PixelFormat::Bits8)
        result.bitmap = widen8(strip);
    else if (format == PixelFormat::Bits15)
        result.bitmap = widen15(strip);
    else
        result.bitmap = std::move(strip);
    return result;
}

} // namespace parvane::level
