// Test pictures for the cell operations of the canvas: every pixel carries its own position,
// so a moved, turned or mirrored cell shows exactly where each pixel came from.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace parvane::canvas::testing {

// The 32-bit value a patterned picture holds at (x, y): x in the low half, y in the high half.
inline std::uint32_t positionCode(int x, int y) {
    return static_cast<std::uint32_t>(x & 0xFFFF) | (static_cast<std::uint32_t>(y & 0xFFFF) << 16);
}

inline std::uint32_t rawPixel(const imaging::Bitmap& bitmap, int x, int y) {
    std::uint32_t value = 0;
    std::memcpy(&value, bitmap.row(y) + 4 * x, 4);
    return value;
}

// A 32-bit picture whose pixel (x, y) holds positionCode(x, y) in its four bytes.
inline imaging::Bitmap patternedPicture(int width, int height) {
    imaging::Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t value = positionCode(x, y);
            std::memcpy(bitmap.row(y) + 4 * x, &value, 4);
        }
    return bitmap;
}

// A picture of the given paletted or 16/24-bit format whose pixels vary with their position.
inline imaging::Bitmap patternedPicture(int width, int height, imaging::PixelFormat format) {
    imaging::Bitmap bitmap(width, height, format);
    if (imaging::hasPalette(format)) {
        const int entries = 1 << imaging::bitsPerPixel(format);
        std::vector<imaging::Colour> palette;
        for (int i = 0; i < entries; ++i)
            palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                               static_cast<std::uint8_t>(i * 7)});
        bitmap.setPalette(palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.setIndex(x, y, static_cast<std::uint8_t>((x * 3 + y * 5) % entries));
        return bitmap;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y,
                            {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
                             static_cast<std::uint8_t>(x ^ y)});
    return bitmap;
}

// The pixels of rect of bitmap, as a bitmap of the same layout.
inline imaging::Bitmap cellOf(const imaging::Bitmap& bitmap, const imaging::Rect& rect) {
    imaging::Bitmap cell(rect.width(), rect.height(), bitmap.format());
    if (imaging::hasPalette(bitmap.format()))
        cell.setPalette(bitmap.palette());
    cell.setMasks(bitmap.masks());
    cell.copyRect({0, 0}, bitmap, rect);
    return cell;
}

} // namespace parvane::canvas::testing
