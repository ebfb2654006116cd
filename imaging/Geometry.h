// Small value types shared by every part of Parvane: colours, points and rectangles
// in pixel coordinates (right and bottom exclusive, as the canvas works with them).
#pragma once

#include <algorithm>
#include <cstdint>

namespace parvane::imaging {

// An RGB colour as the user sees it. Pixels store it blue, green, red (and alpha).
struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

namespace colours {
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kMagenta{255, 0, 255};
inline constexpr Colour kMaroon{128, 0, 0};
inline constexpr Colour kYellow{255, 255, 0};
inline constexpr Colour kGreen{0, 255, 0};
inline constexpr Colour kRed{255, 0, 0};
} // namespace colours

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend constexpr bool operator==(const Point&, const Point&) = default;
};

// Rectangle with exclusive right and bottom edges.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    static constexpr Rect fromSize(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        return {x, y, x + w, y + h};
    }
    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr Rect intersected(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        if (r.isEmpty())
            return {};
        return r;
    }
    // Smallest rectangle holding both (an empty operand still counts, as the canvas's
    // selection union of two cells expects).
    constexpr Rect united(const Rect& o) const {
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    constexpr Rect translated(std::int32_t dx, std::int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr Rect inflated(std::int32_t d) const {
        return {left - d, top - d, right + d, bottom + d};
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

} // namespace parvane::imaging
