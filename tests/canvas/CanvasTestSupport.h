// A stand-in for the canvas widget: records what the canvas asks of it, scrolls a pretend
// scroll box and hands out cursor pictures drawn by the test.
#pragma once

#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace parvane::canvas::testing {

// Picture of size x size, black with a red corner pixel, so tests can tell pictures apart
// by their size and by the marker drawn at (1, 1) in the given colour.
inline imaging::Bitmap markedPicture(int size, imaging::Colour marker) {
    imaging::Bitmap b(size, size, imaging::PixelFormat::Bits24);
    b.setPixel(0, 0, imaging::colours::kRed);
    b.setPixel(1, 1, marker);
    return b;
}

class RecordingHost : public CanvasHost {
public:
    RecordingHost() {
        pictures["crNormal"] = markedPicture(64, {1, 1, 1});
        pictures["crRotate"] = markedPicture(64, {2, 2, 2});
        pictures["cr32"] = markedPicture(32, {3, 3, 3});
        pictures["cr16"] = markedPicture(16, {4, 4, 4});
        pictures["cr08"] = markedPicture(8, {5, 5, 5});
    }

    ScrollView scrollView() const override { return view; }
    void setScrollPosition(int x, int y) override {
        // A scroll box keeps its position within its range.
        view.x = std::clamp(x, 0, maxX);
        view.y = std::clamp(y, 0, maxY);
        ++scrollCalls;
    }
    void portResized(int width, int height) override {
        portWidth = width;
        portHeight = height;
    }
    void areaChanged(const imaging::Rect&) override { ++areaCalls; }
    void pointerShapeChanged(PointerShape shape) override { pointer = shape; }
    void exportClip(const imaging::Bitmap& clip) override { exported.push_back(clip); }
    const imaging::Bitmap* cursorPicture(std::string_view name) override {
        auto found = pictures.find(std::string(name));
        return found == pictures.end() ? nullptr : &found->second;
    }

    ScrollView view{0, 0, 10000, 10000};
    int maxX = 100000, maxY = 100000;
    int scrollCalls = 0;
    int areaCalls = 0;
    int portWidth = -1, portHeight = -1;
    PointerShape pointer = PointerShape::Arrow;
    std::vector<imaging::Bitmap> exported;
    std::map<std::string, imaging::Bitmap> pictures;
};

// A canvas with a recording host, set up as the owner does at start-up.
struct CanvasFixtureState {
    RecordingHost host;
    FrameStackCore canvas;

    explicit CanvasFixtureState(int width = 256, int height = 512) {
        canvas.setHost(&host);
        canvas.InitStack(width, height);
        canvas.InitGrid(64, 64);
    }
};

// Fills each 64-pixel-ish cell of the bitmap with its own colour, so copies can be traced.
inline void paintCells(imaging::Bitmap& b, int cell) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            b.setPixel(x, y,
                       {static_cast<std::uint8_t>(10 + 20 * (x / cell)),
                        static_cast<std::uint8_t>(10 + 20 * (y / cell)),
                        static_cast<std::uint8_t>((x + y) & 0xFF)});
}

// Equal size and colours, or the first pixel that differs.
inline ::testing::AssertionResult samePixels(const imaging::Bitmap& actual,
                                             const imaging::Bitmap& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const imaging::Colour a = actual.pixel(x, y), e = expected.pixel(x, y);
            if (a != e)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << int(a.red) << ","
                       << int(a.green) << "," << int(a.blue) << ", expected " << int(e.red) << ","
                       << int(e.green) << "," << int(e.blue);
        }
    return ::testing::AssertionSuccess();
}

} // namespace parvane::canvas::testing
