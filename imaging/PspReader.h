// Paint Shop Pro picture reading.
//
// Supports files of major version 3 and later with the signature "Paint Shop Pro Image File"
// (compared ignoring case); the block structure; the composite image the program stored, when
// the file carries a full-size one without JPEG compression, otherwise the layers flattened
// bottom first: raster layers with their visibility, opacity and transparency masks, mask layers
// masking what lies below them in their group (or below them at the top level), groups with
// their visibility and opacity (blend modes and blend ranges are not applied: every layer is
// painted normally; user masks stored inside a raster layer, as older files have them, are
// not applied); where nothing shows through, pixels are transparent black; 1-, 4-, 8-bit
// paletted or greyscale and 24-bit pictures; channel compression none, run-length and deflate.
// Bitmaps come out as 24 bits (code 6), or 32 bits (code 7) when the picture has transparency.
// Refused: files without a visible raster layer or composite, JPEG and unknown compressions,
// other depths, pictures beyond Bitmap::fitsInMemory, layer groups nested more than 32 deep
// (masked or faded ones more than 4), layers and masks that cost more passes than the file's
// size can sensibly describe, and damaged blocks.
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
    // Whether the composite the program stored is shown when the file has one; otherwise the
    // layers are flattened here. Tests turn it off to hold the flattening against it.
    bool useStoredComposite = true;
};

DecodeResult decodePsp(std::span<const std::uint8_t> data);
DecodeResult decodePsp(std::span<const std::uint8_t> data, const PspDecodeOptions& options);

} // namespace parvane::imaging
