// PSD (Photoshop) reading of the merged image.
//
// Supports the colour modes bitmap (code 1, bit set = black), greyscale and duotone (code 3,
// grey palette), indexed (code 3), RGB and multichannel (code 6, or code 7 with the first extra
// channel as alpha), CMYK and Lab (converted to RGB, code 6 or 7); 1, 8, 16 and 32 bits per
// channel (deeper data is reduced to 8 bits); raw and PackBits compression. The colour mode data,
// image resources and layer section are skipped by their lengths, so damaged layer records do
// not matter. Refused: other compressions (ZIP), other depths and modes, pictures beyond
// Bitmap::fitsInMemory, and a merged image that ends early.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

DecodeResult decodePsd(std::span<const std::uint8_t> data);

} // namespace parvane::imaging
