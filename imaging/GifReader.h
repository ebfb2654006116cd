// GIF reading through giflib, for the file dialogs' preview.
//
// Reads the first frame of GIF87a and GIF89a files into an 8-bit bitmap (code 3) with the
// frame's colour table (local, else global, else a grey ramp), painted over the logical screen
// filled with the background index; parts of the frame outside the screen are cut off.
// Refused: files without a frame, pictures beyond Bitmap::fitsInMemory, frames far larger
// than LZW data of the file's size can describe, and damaged data.
#pragma once

#include "DecodeResult.h"

#include <cstdint>
#include <span>

namespace parvane::imaging {

// Decodes the first frame. When transparentIndex is given it receives the frame's transparent
// palette index from its graphic control block, or -1 when the frame has none.
DecodeResult decodeGif(std::span<const std::uint8_t> data, int* transparentIndex = nullptr);

} // namespace parvane::imaging
