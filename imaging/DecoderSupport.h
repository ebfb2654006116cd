// Small helpers shared by the picture decoders: size checks with a readable reason and the
// palettes several formats fall back on.
#pragma once

#include "Bitmap.h"
#include "DecodeResult.h"
#include "FailureReason.h"

#include <cstdint>
#include <string>
#include <vector>

namespace parvane::imaging::decoders {

// Refuses (Damaged) a picture of this size: empty, or beyond the memory a picture may take.
inline Status checkPictureSize(const char* format, std::int64_t width, std::int64_t height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height <= 0)
        return Status::damaged(reasons::format(reasons::kEmptyPicture, {format, size}));
    if (!Bitmap::fitsInMemory(width, height))
        return Status::damaged(reasons::format(reasons::kPictureTooLarge, {format, size}));
    return {};
}

// 2^bits evenly spaced greys from black to white (bits 1 to 8).
inline std::vector<Colour> greyRamp(int bits) {
    const int count = 1 << bits;
    std::vector<Colour> palette(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (count - 1));
        palette[static_cast<std::size_t>(i)] = {v, v, v};
    }
    return palette;
}

inline std::uint8_t clampByte(int v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

} // namespace parvane::imaging::decoders
