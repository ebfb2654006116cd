// The texture set writer: uncompressed 24-bit true-colour TGA files, the format the level
// editors take.
#pragma once

#include "AtomicFile.h"
#include "Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace parvane::imaging {

inline constexpr std::size_t kTgaHeaderSize = 18;
// TGA header fields hold 16-bit sizes.
inline constexpr int kMaxTgaSide = 65535;

// The complete file: 18-byte header (image type 2, depth 24, descriptor 0), then the rows
// bottom row first, three bytes B, G, R per pixel, no padding and nothing after the last row.
// Any source format is converted; the bitmap itself is not changed. Sides beyond kMaxTgaSide
// give an empty vector.
std::vector<std::uint8_t> encodeUncompTGA24bits(const Bitmap& bitmap);

// Writes the bitmap as an uncompressed 24-bit TGA file, creating or replacing fileName. A file
// that cannot be written is reported and the old file of that name is left as it was.
WriteStatus SaveAsUncompTGA24bits(const Bitmap& bitmap, const std::filesystem::path& fileName);

} // namespace parvane::imaging
