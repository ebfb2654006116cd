// PCX (ZSoft Paintbrush) reading.
//
// Supports: header first byte 10 or 205; 1 bit (code 1), 2 bits (widened to 4 bits, code 2),
// 4 bits as one plane or as four planes of 1 bit (code 2), 8 bits with the 256-colour palette
// that follows the 12 byte at the end of the file or a grey ramp without it (code 3), 24 bits as
// three planes of 8 bits (code 6); run-length or raw data; any Xmin/Ymin origin.
// Refused: other plane and bit combinations, bytes per line too small for the width, pictures
// beyond Bitmap::fitsInMemory, and data that ends before the last row.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

// Large run-length pictures are decoded on one thread per core.
DecodeResult decodePcx(std::span<const std::uint8_t> data);
// The same on at most `threads` threads whatever the picture's size (0: as decodePcx chooses);
// the picture, or the row named in the failure, is the same whichever count is used.
DecodeResult decodePcxOnThreads(std::span<const std::uint8_t> data, unsigned threads);

} // namespace parvane::imaging
