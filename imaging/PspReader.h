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
#include <limits>
#include <span>

namespace parvane::imaging {

// Settings of one decode that the program itself leaves at their defaults.
struct PspDecodeOptions {
    // The most pixels one decode may build: the picture, and all its layers together. A fuzz
    // run lowers it so that mutations of a large but valid picture cost milliseconds; such a
    // picture is then refused as unsupported. The program keeps no limit beyond the reader's
    // own.
    std::uint64_t maxPixels = std::numeric_limits<std::uint64_t>::max();
};

DecodeResult decodePsp(std::span<const std::uint8_t> data);
DecodeResult decodePsp(std::span<const std::uint8_t> data, const PspDecodeOptions& options);

} // namespace parvane::imaging
