// Turns the texture pages of a loaded level into one strip bitmap, 256 pixels wide with the
// pages stacked in file order, either as stored or with the level's transparent pixels
// painted magenta.
#pragma once

#include "imaging/Bitmap.h"
#include "level/dvunit3_modif.h"

#include <cstdint>
#include <span>
#include <vector>

namespace parvane::level {

// The 256 colours of an 8-bit page palette: each 6-bit file value times four, kept to 8 bits.
std::vector<imaging::Colour> MakePalette(std::span<const std::uint8_t> palette8);

// Copies page bytes row by row into the bitmap, without conversion (transparency as stored).
// Never reads beyond pages nor writes beyond the bitmap, whatever byteCount says.
void CopyPagesToBitmap(imaging::Bitmap& bitmap, std::size_t byteCount,
                       std::span<const std::uint8_t> pages);
// The same, painting the pixels the level marks as transparent: 8-bit index 0 keeps its
// index and palette entry 0 becomes magenta; a 16-bit word with bit 15 clear becomes 0xFC1F;
// a 32-bit pixel whose alpha is not 255 becomes opaque magenta.
void CopyPagesToBitmapMasked(imaging::Bitmap& bitmap, std::size_t byteCount,
                             std::span<const std::uint8_t> pages);

// The pixel-format code of a generation's pages: 3 (8-bit), 4 (15-bit) or 7 (32-bit).
std::uint8_t pagePixelFormatCode(int generation);

// What buildPageStrip produces: the 32-bit strip and the pixel-format code of the pages.
struct PageStrip {
    imaging::Bitmap bitmap;
    std::uint8_t sourcePixelFormat = 0;
};

// Builds the 32-bit page strip of a level loaded by `level`, setting the gauge to 0 before
// the copy and to 100 after it. Alpha is 255 for opaque and 0 for transparent pixels of 8-
// and 15-bit pages; 32-bit pages keep their own alpha (masked pixels carry 255).
PageStrip buildPageStrip(const Tdvlevel& level, bool convert, const ProgressFn& progress = {});

} // namespace parvane::level
