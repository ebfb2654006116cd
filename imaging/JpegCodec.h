// JPEG reading and writing through libjpeg.
//
// Reads baseline and progressive JPEG files at full size: colour pictures become 24-bit
// bitmaps (code 6), greyscale ones 8-bit bitmaps with a 256-grey palette (code 3); CMYK and
// YCCK (Adobe) pictures are converted to RGB. Truncated or corrupt data is an error, never a
// partly grey picture. Writes baseline JFIF files at quality 90.
#pragma once

#include "AtomicFile.h"
#include "Bitmap.h"
#include "DecodeResult.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace parvane::imaging {

inline constexpr int kJpegQuality = 90;

// The user-facing text of a libjpeg failure: "JPEG error #%d" with libjpeg's message number.
std::string jpegErrorText(int messageCode);

// Decodes a JPEG file. On failure the reason is jpegErrorText(code) followed by ": " and
// libjpeg's own message, or a reason of our own (for pictures too large to hold).
DecodeResult decodeJpeg(std::span<const std::uint8_t> data);

// The bytes of a written JPEG file, or the failure.
// The JFIF file, or the Failure (reasons as decodeJpeg's).
using JpegEncoded = Result<std::vector<std::uint8_t>>;

// Writes a baseline JFIF file (three colour components, no progressive mode) at the given
// libjpeg quality. Any pixel format is accepted: the picture is taken through 24 bits first.
JpegEncoded encodeJpeg(const Bitmap& bitmap, int quality = kJpegQuality);

// Writes the bitmap as a JFIF file at quality 90; the old file of that name stays as it was on
// failure. A libjpeg failure keeps encodeJpeg's reason ("JPEG error #n: ...").
WriteStatus saveJpeg(const Bitmap& bitmap, const std::filesystem::path& fileName);

} // namespace parvane::imaging
