// Paint Shop Pro picture reading.
//
// Supports files of major version 3 and later with the signature "Paint Shop Pro Image File"
// (compared ignoring case); the block structure; the composite image when the file carries a
// full-size one, otherwise the raster layers flattened in order with their opacity, visibility,
// blend ranges ignored and normal blending; channel compression none, run-length and deflate.
// Bitmaps come out as 24 bits (code 6), or 32 bits (code 7) when the picture has transparency.
// Refused: vector and adjustment-only files without raster data, unknown compressions, depths
// other than 1, 4, 8 and 24 bits, pictures beyond Bitmap::fitsInMemory, and damaged blocks.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

DecodeResult decodePsp(std::span<const std::uint8_t> data);

} // namespace parvane::imaging
