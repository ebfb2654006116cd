// The page strip: the texture pages of a loaded level stacked into one 32-bit bitmap.
#include "level/PageStrip.h"

#include "imaging/PixelFormatConversions.h"

#include <algorithm>
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
            // Whole pixels as little-endian words, alpha in the top byte; a select rather
            // than a branch so the loop vectorises.
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                std::uint32_t v;
                std::memcpy(&v, p + i, 4);
                v = v < 0xFF000000u ? 0xFFFF00FFu : v;
                std::memcpy(p + i, &v, 4);
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
    const TdvlevelModel& model = level.model();
    const auto format = static_cast<PixelFormat>(result.sourcePixelFormat);
    const int height = static_cast<int>(std::min(model.NumTextiles, kMaxPages)) * 256;
    Bitmap strip(256, height, format);
    const auto copy = convert ? CopyPagesToBitmapMasked : CopyPagesToBitmap;
    const std::size_t pages = height / 256;
    switch (format) {
    case PixelFormat::Bits8:
        strip.setPalette(MakePalette(model.Palette8));
        copy(strip, pages * kPage8Bytes, model.Textile8);
        break;
    case PixelFormat::Bits15:
        copy(strip, pages * kPage16Bytes, model.Textile16);
        break;
    default:
        copy(strip, pages * kPage32Bytes, model.Textile32);
        // A 32-bit chunk may hold fewer pages than the level counts: the rows it lacks stay
        // transparent, and are painted like every transparent pixel when asked.
        if (convert) {
            for (int y = static_cast<int>(model.Textile32.size() / (256 * 4)); y < height; ++y) {
                std::uint8_t* row = strip.row(y);
                for (int x = 0; x < 256; ++x)
                    std::memcpy(row + 4 * x, "\xFF\x00\xFF\xFF", 4);
            }
        }
        break;
    }
    if (progress)
        progress(100);
    if (format == PixelFormat::Bits8)
        imaging::Convert8BitsTo32Bits(strip);
    else if (format == PixelFormat::Bits15)
        imaging::Convert15BitsTo32Bits(strip);
    result.bitmap = std::move(strip);
    return result;
}

} // namespace parvane::level
