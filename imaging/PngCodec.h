// PNG reading and writing through libpng.
//
// Reads every standard PNG: grey, grey with alpha, palette (1, 2, 4 and 8 bits), RGB and RGBA,
// 8 and 16 bits per channel (16 rounded to the nearest 8-bit value), interlaced or not. Gamma,
// colour profiles and the other colour chunks are not applied: the stored samples are the
// pixels. A tRNS chunk is accepted and, as with every paletted or 24-bit source, gives no
// alpha. Damaged files (a chunk failing its CRC, damaged compressed data, a cut) are refused
// with the reason. Writes 24-bit RGB files.
#pragma once

#include "AtomicFile.h"
#include "Bitmap.h"
#include "DecodeResult.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace parvane::imaging {

// Decodes a PNG file in its own pixel format: palette and grey pictures become 8-bit bitmaps
// with their palette (a grey ramp for grey), RGB ones 24-bit, RGBA and grey with alpha 32-bit
// with the file's alpha.
DecodeResult decodePng(std::span<const std::uint8_t> data);
// The same picture written straight into a 32-bit working bitmap, as the plain conversion of
// decodePng's result gives it (alpha 0 unless the file has an alpha channel); fileFormat
// receives decodePng's pixel format.
DecodeResult decodePngWidening24Bits(std::span<const std::uint8_t> data, PixelFormat& fileFormat);

// The PNG file, or the Failure.
using PngEncoded = Result<std::vector<std::uint8_t>>;

// Writes a non-interlaced 24-bit RGB file (alpha dropped); any pixel format is taken through
// 24 bits first.
PngEncoded encodePng(const Bitmap& bitmap);

// Writes the bitmap as a 24-bit PNG file; the old file of that name stays as it was on failure.
WriteStatus savePng(const Bitmap& bitmap, const std::filesystem::path& fileName);

} // namespace parvane::imaging
