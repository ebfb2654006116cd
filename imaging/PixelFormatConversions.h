// Conversions of loaded bitmaps to the 32-bit working bitmap, turning a one-bit transparency
// signal of the source into the alpha byte, and fast plain conversions between the byte-aligned
// formats that the loaders and the resampler use on large pictures.
#pragma once

#include "Bitmap.h"

namespace parvane::imaging {

// A 16-bit bitmap (code 4, or code 8 for explicit masks) becomes 32 bits; each pixel's alpha is
// 255 where its top bit was set and 0 elsewhere. 5-bit components widen so that 31 gives 255.
// Any other format is converted plainly (alpha 0 unless the source is 32-bit).
void Convert15BitsTo32Bits(Bitmap& bitmap);

// An 8-bit palette bitmap becomes 32 bits through its palette; alpha is 0 where the index was
// 0 and 255 elsewhere. Any other format is converted plainly.
void Convert8BitsTo32Bits(Bitmap& bitmap);

// Plain colour conversion to 24 or 32 bits (palette looked up, 5- and 6-bit components
// widened, a 32-bit source loses its fourth byte, a 32-bit target gets alpha 0 unless the
// source is 32-bit). Same result as Bitmap::convertTo, with fast paths for large pictures.
Bitmap convertedTo24Bits(const Bitmap& bitmap);
Bitmap convertedTo32Bits(const Bitmap& bitmap);

// One row of width 24-bit pixels (B, G, R) written as 32-bit pixels (B, G, R, 0), for readers
// that decode straight into the working bitmap.
void widenRow24To32(const std::uint8_t* source, std::uint8_t* destination, int width);

} // namespace parvane::imaging
