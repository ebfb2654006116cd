// The arithmetic of the progress gauge: which percentage it shows and where each of its
// drawing kinds puts its parts. Kept free of any window system so it can be checked exactly;
// the gauge control (Gauges.h) only turns these rectangles and angles into pixels.
#pragma once

#include "Geometry.h"

#include <cstdint>

namespace parvane::imaging {

// Drawing styles of the gauge, numbered as stored in form descriptions.
enum class TGaugeKind : std::uint8_t {
    gkText = 0,
    gkHorizontalBar = 1,
    gkVerticalBar = 2,
    gkPie = 3,
    gkNeedle = 4,
};

// bsSingle keeps a one-pixel margin that shows as a black border.
enum class TBorderStyle : std::uint8_t { bsNone = 0, bsSingle = 1 };

// The whole part of size x percent / 100.
int ShareOfSize(int percent, int size);
// 0 when whole is 0, else the whole part of part x 100 / whole. Computed in 64 bits, so a
// range spanning nearly all 32-bit values still gives a percentage and never overflows.
int PercentOf(std::int64_t part, std::int64_t whole);
// The percentage a gauge with this range and value shows (0 when min equals max).
int gaugeDisplayedPercent(int progress, int minValue, int maxValue);

// The rectangle the kinds draw in: the client rectangle, inset by one pixel with bsSingle.
Rect gaugePaintRect(int width, int height, TBorderStyle border);

// Filled part of the horizontal bar (empty below the first whole pixel). The width counted
// is one more than the paint rectangle's, so at 50 % a 177-pixel gauge with a border fills
// x 1 to 87. Clipped to the paint rectangle, so the border stays black.
Rect horizontalBarFill(const Rect& paint, int percent);
// Filled part of the vertical bar, growing from the bottom; never the full height.
Rect verticalBarFill(const Rect& paint, int percent);
// Top-left corner of the percentage text: centred on the paint rectangle, halves truncated
// toward zero (the paint rectangle's own offset is not added, as the gauge always did).
Point gaugeTextOrigin(const Rect& paint, int textWidth, int textHeight);
// The percentage text, e.g. "42%".
inline constexpr const char* kGaugeTextFormat = "%d%%";

// The pie and needle kinds: the ellipse box (right and bottom exclusive) and the angles of
// the filled slice, in degrees counter-clockwise from three o'clock.
struct GaugeArc {
    Rect box;
    double startDegrees = 0;
    double spanDegrees = 0;
};
// Ellipse of the pie kind; the slice starts at twelve o'clock and runs counter-clockwise by
// 3.6 degrees per percent, so 100 % fills the whole ellipse and 0 % draws no slice.
GaugeArc pieGeometry(const Rect& paint, TBorderStyle border, int percent);

struct NeedleGeometry {
    Rect box;       // ellipse whose upper half is the dial
    Point baseFrom; // base line under the dial
    Point baseTo;
    Point needleFrom; // the needle, drawn only when the percentage is above 0
    Point needleTo;
};
// Dial of the needle kind: a half disc from left (0 %) over the top (50 %) to right (100 %).
NeedleGeometry needleGeometry(const Rect& paint, TBorderStyle border, int controlWidth,
                              int percent);

} // namespace parvane::imaging
