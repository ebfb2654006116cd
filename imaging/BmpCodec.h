// Windows and OS/2 bitmap files: the reader keeps the file's pixel format, the writer stores a
// bitmap in its own format as a standard uncompressed Windows bitmap.
#pragma once

#include "AtomicFile.h"
#include "Bitmap.h"
#include "DecodeResult.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace parvane::imaging {

// What the user is told about any BMP that cannot be read.
inline constexpr const char* kBmpNotValidMessage = "Bitmap image is not valid";

// Reads a BMP file. See BmpCodec.cpp for what is supported.
DecodeResult decodeBmp(std::span<const std::uint8_t> bytes);
// The same, except that 24-bit pixels are written straight as 32-bit pixels with alpha 0, for a
// caller that wants the working bitmap: the 24-bit picture and a pass over it are spared.
// fileFormat receives the format decodeBmp would have given.
DecodeResult decodeBmpWidening24Bits(std::span<const std::uint8_t> bytes, PixelFormat& fileFormat);

// The complete file: BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, colour masks for 5:6:5 and
// custom 16-bit layouts, the palette of paletted formats, then the rows bottom row first, each
// padded to four bytes. 15-bit pixels are stored as plain 16-bit words, 32-bit ones with their
// fourth byte. Empty when the file would exceed the format's 4 GiB.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap);

// Writes the bitmap as a BMP file; the old file of that name stays as it was on failure.
WriteStatus saveBmp(const Bitmap& bitmap, const std::filesystem::path& fileName);

} // namespace parvane::imaging
