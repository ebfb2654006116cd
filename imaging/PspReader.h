// Paint Shop Pro picture reading.
//
// Supports files of major version 3 and later with the signature "Paint Shop Pro Image File"
// (compared ignoring case); the block structure; the composite image the program stored, when
// the file carries a full-size one without JPEG compression, otherwise the visible raster layers
// flattened bottom first with their opacity and transparency masks (blend modes, blend ranges,
// user masks, group and mask layers are not applied); 1-, 4-, 8-bit paletted or greyscale and
// 24-bit pictures; channel compression none, run-length and deflate.
// Bitmaps come out as 24 bits (code 6), or 32 bits (code 7) when the picture has transparency.
// Refused: files without a visible raster layer or composite, JPEG and unknown compressions,
// other depths, pictures beyond Bitmap::fitsInMemory, and damaged blocks.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

DecodeResult decodePsp(std::span<const std::uint8_t> data);

} // namespace parvane::imaging
