// TIFF reading through libtiff, from memory.
//
// Supports classic and BigTIFF files, in either byte order; strips and tiles; chunky and planar
// layouts; the compressions none, PackBits, LZW (with predictors), deflate, JPEG, CCITT modified
// Huffman, group 3 and group 4 fax, Thunderscan and whatever else libtiff decodes. The first
// page is read. Bitmaps come out as:
//   bilevel and palette pictures of 1, 4 or 8 bits   -> codes 1, 2, 3 (2-bit widened to 4 bits)
//   greyscale of 2 or 4 bits (MinIsBlack/MinIsWhite)  -> code 2 with a grey palette
//   greyscale of 8 or 16 bits                         -> code 3 with a grey palette (high byte)
//   RGB without alpha, CMYK, YCbCr, Lab                -> code 6
//   anything with an extra (alpha) sample              -> code 7, alpha in the fourth byte
// Pictures stored in an orientation other than top-left, and layouts beyond these (YCbCr, Lab,
// float samples, odd depths), are read through libtiff's RGBA reader: code 6, or 7 with alpha.
// Refused: pictures beyond Bitmap::fitsInMemory, compressions libtiff cannot decode (reason
// begins "The compression scheme is"), and damaged data.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

// Large pictures of several strips or rows of tiles are decoded on one thread per core.
DecodeResult decodeTiff(std::span<const std::uint8_t> data);
// The same on at most `threads` threads whatever the picture's size (0: as decodeTiff
// chooses); the picture is the same bitmap whichever count is used.
DecodeResult decodeTiffOnThreads(std::span<const std::uint8_t> data, unsigned threads);

} // namespace parvane::imaging
