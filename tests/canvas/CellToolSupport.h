// Test support for the canvas's cell tools (animation and transformations): pictures whose
// every pixel carries its own position, so a moved, turned or mirrored cell shows exactly where
// each pixel came from, and a canvas without a display that records what it asks of its host.
#pragma once

#include "canvas/FrameStackCore.h"
#include "imaging/Bitmap.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
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

// Host that records the animation timer and scroll requests and serves cursor pictures: each
// name gets a picture of its own (64 x 64, or the size its name says) with a colour of its own.
class CellToolHost : public CanvasHost {
public:
    bool timerEnabled = false;
    int timerInterval = 0;
    int timerCalls = 0;
    ScrollView view;
    int scrollRequests = 0;
    std::map<std::string, imaging::Bitmap, std::less<>> pictures;

    void setAnimationTimer(bool enabled, int intervalMs) override {
        timerEnabled = enabled;
        if (intervalMs > 0)
            timerInterval = intervalMs;
        ++timerCalls;
    }
    ScrollView scrollView() const override { return view; }
    void setScrollPosition(int x, int y) override {
        view.x = x;
        view.y = y;
        ++scrollRequests;
    }
    const imaging::Bitmap* cursorPicture(std::string_view name) override {
        if (const auto found = pictures.find(name); found != pictures.end())
            return &found->second;
        const int side = name == "cr32" ? 32 : name == "cr16" ? 16 : name == "cr08" ? 8 : 64;
        imaging::Bitmap picture(side, side);
        const auto tint = static_cast<std::uint8_t>(40 + 20 * pictures.size());
        picture.fill({tint, 0, 0});
        return &pictures.emplace(std::string(name), std::move(picture)).first->second;
    }
    // The picture served under name (made on first use).
    const imaging::Bitmap& picture(std::string_view name) { return *cursorPicture(name); }
};

// A canvas as the owner sets it up, showing a patterned picture of width x height under the
// default 64-pixel grid.
struct CellToolCanvas {
    CellToolHost host;
    FrameStackCore core;

    CellToolCanvas(int width, int height) {
        core.setHost(&host);
        core.InitStack(width, height);
        core.setBitmap(patternedPicture(width, height));
        core.UpdateStack();
        core.UpdateGrid();
    }
    CellToolCanvas(const CellToolCanvas&) = delete;
    CellToolCanvas& operator=(const CellToolCanvas&) = delete;
    ~CellToolCanvas() { core.setHost(nullptr); }

    const imaging::Bitmap& image() const { return core.Bitmap(); }
    // Centre of cell index i of the current grid.
    imaging::Point centre(int index) const {
        const imaging::Rect r = core.IndexRect(index);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void press(MouseButton button, int index) {
        const imaging::Point p = centre(index);
        core.MouseIsDown(button, {}, p.x, p.y);
    }
    void release(MouseButton button, int index) {
        const imaging::Point p = centre(index);
        core.MouseIsUp(button, {}, p.x, p.y);
    }
    // A range drawn with the right button from cell first to cell last.
    void drawRange(int first, int last) {
        press(MouseButton::Right, first);
        release(MouseButton::Right, last);
    }
    void ticks(int count) {
        for (int k = 0; k < count; ++k)
            core.ShiftCellsOnTimer();
    }
};

} // namespace parvane::canvas::testing
