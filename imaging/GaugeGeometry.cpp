#include "GaugeGeometry.h"

#include <cmath>
#include <numbers>

namespace parvane::imaging {

int ShareOfSize(int percent, int size) {
    return static_cast<int>(static_cast<std::int64_t>(size) * percent / 100);
}

int PercentOf(std::int64_t part, std::int64_t whole) {
    if (whole == 0)
        return 0;
    return static_cast<int>(part * 100 / whole);
}

int gaugeDisplayedPercent(int progress, int minValue, int maxValue) {
    return PercentOf(static_cast<std::int64_t>(progress) - minValue,
                     static_cast<std::int64_t>(maxValue) - minValue);
}

Rect gaugePaintRect(int width, int height, TBorderStyle border) {
    Rect r{0, 0, width, height};
    if (border == TBorderStyle::bsSingle)
        r = r.inflated(-1);
    return r;
}

Rect horizontalBarFill(const Rect& paint, int percent) {
    const int w = paint.right - paint.left + 1;
    const int h = paint.bottom - paint.top + 1;
    int f = ShareOfSize(percent, w);
    if (f > w)
        f = w;
    if (f < 1)
        return {};
    return Rect{paint.left, paint.top, f, h}.intersected(paint);
}

Rect verticalBarFill(const Rect& paint, int percent) {
    const int w = paint.right - paint.left + 1;
    const int h = paint.bottom - paint.top + 1;
    int f = ShareOfSize(percent, h);
    if (f >= h)
        f = h - 1;
    return Rect{paint.left, h - f, w, h}.intersected(paint);
}

Point gaugeTextOrigin(const Rect& paint, int textWidth, int textHeight) {
    return {(paint.right - paint.left + 1 - textWidth) / 2,
            (paint.bottom - paint.top + 1 - textHeight) / 2};
}

namespace {

// Right and bottom corner of the pie and needle boxes: the paint rectangle's extent, plus
// the border's pixel with bsSingle, used as a coordinate the way the gauge always did.
Point kindExtent(const Rect& paint, TBorderStyle border) {
    const int extra = border == TBorderStyle::bsSingle ? 1 : 0;
    return {paint.right - paint.left + extra, paint.bottom - paint.top + extra};
}

} // namespace

GaugeArc pieGeometry(const Rect& paint, TBorderStyle border, int percent) {
    const Point extent = kindExtent(paint, border);
    GaugeArc arc;
    arc.box = {paint.left, paint.top, extent.x, extent.y};
    if (percent > 0) {
        arc.spanDegrees = 3.6 * percent;
        arc.startDegrees = 90.0 - arc.spanDegrees;
    }
    return arc;
}

NeedleGeometry needleGeometry(const Rect& paint, TBorderStyle border, int controlWidth,
                              int percent) {
    const Point extent = kindExtent(paint, border);
    NeedleGeometry g;
    g.box = {paint.left, paint.top, extent.x, 2 * extent.y - 1};
    g.baseFrom = {paint.left, paint.bottom};
    g.baseTo = {paint.left + extent.x, paint.bottom};
    const int mx = controlWidth / 2;
    const double a = std::numbers::pi * percent / 100.0;
    g.needleFrom = {mx, paint.bottom - 1};
    g.needleTo = {static_cast<int>(std::lround(mx * (1.0 - std::cos(a)))),
                  static_cast<int>(std::lround((paint.bottom - 1) * (1.0 - std::sin(a))))};
    return g;
}

} // namespace parvane::imaging
