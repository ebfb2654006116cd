#include "AnimationPlayback.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace parvane::canvas {

using imaging::Bitmap;
using imaging::Rect;

namespace {

// Smallest rectangle holding the cells from index a to index b of the grid: part of one row,
// or whole rows' width as soon as the range runs over a row end.
Rect rangeArea(const CellGeometry& grid, int a, int b) {
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    const Rect first = grid.indexRect(lo);
    const Rect last = grid.indexRect(hi);
    if (first.top == last.top)
        return first.united(last);
    const Rect rowStart = grid.cellRect(0, lo / grid.cols);
    const Rect rowEnd = grid.cellRect(grid.cols - 1, hi / grid.cols);
    return rowStart.united(rowEnd);
}

} // namespace

void stepRange(Bitmap& image, const CellGeometry& grid, int first, int last, Bitmap& tile) {
    if (first == last)
        return;
    const Rect tileRect = tile.rect();
    tile.copyRect({0, 0}, image, grid.indexRect(first));
    if (first < last) {
        for (int e = first; e < last; ++e)
            copyCellWithin(image, grid.indexRect(e + 1), grid.indexRect(e));
    } else {
        for (int e = first; e > last; --e)
            copyCellWithin(image, grid.indexRect(e - 1), grid.indexRect(e));
    }
    const Rect target = grid.indexRect(last);
    image.copyRect({target.left, target.top}, tile, tileRect);
}

void stepScrollTile(Bitmap& image, const Rect& cell, Bitmap& tile,
                    std::span<std::uint8_t> rowBuffer) {
    tile.copyRect({0, 0}, image, cell);
    const int half = tile.height() / 2;
    const std::size_t rowBytes = std::min(
        rowBuffer.size(), (static_cast<std::size_t>(tile.width()) * tile.bitsPerPixel() + 7) / 8);
    if (half >= 1 && rowBytes > 0) {
        const std::size_t stride = tile.stride();
        // Each half: its bottom row goes to the row buffer, the rows above it move down one
        // row in one block (rows are contiguous, stride apart), and the buffer becomes the top.
        for (const int top : {0, half}) {
            const int bottom = top + half - 1;
            std::memcpy(rowBuffer.data(), tile.row(bottom), rowBytes);
            if (half > 1)
                std::memmove(tile.row(top + 1), tile.row(top),
                             stride * static_cast<std::size_t>(half - 1));
            std::memcpy(tile.row(top), rowBuffer.data(), rowBytes);
        }
    }
    image.copyRect({cell.left, cell.top}, tile, tile.rect());
}

bool AnimationPlayback::start(Bitmap& image, const CellGeometry& grid, int first, int last) {
    if (!grid.isCellIndex(first) || !grid.isCellIndex(last))
        return false;
    if (!liesInside(rangeArea(grid, first, last), image))
        return false;
    if (active_)
        completeCycle(image);
    release();

    grid_ = grid;
    AnimTile = Bitmap(grid.cellWidth, grid.cellHeight, image.format());
    if (imaging::hasPalette(image.format()))
        AnimTile.setPalette(image.palette());
    AnimTile.setMasks(image.masks());
    AnimRowBuffer.assign(
        (static_cast<std::size_t>(grid.cellWidth) * AnimTile.bitsPerPixel() + 7) / 8, 0);
    AnimFirst = first;
    AnimLast = last;
    AnimFrames = std::abs(last - first) + 1;
    AnimRect = {0, 0, grid.cellWidth, grid.cellHeight};
    AnimStep = 0;
    AnimRunning = true;
    AnimInterval = kClassicalInterval;
    if (first == last) {
        // A cell of one row has no halves to scroll; it still counts one (empty) step a cycle.
        AnimFrames = std::max(1, grid.cellHeight / 2);
        AnimInterval = kScrollInterval;
    }
    active_ = true;
    return true;
}

AnimationPlayback::Tick AnimationPlayback::tick(Bitmap& image) {
    if (!active_)
        return Tick::Idle;
    if (!AnimRunning && AnimStep == 0) {
        release();
        return Tick::Ended;
    }
    step(image);
    return Tick::Stepped;
}

void AnimationPlayback::completeCycle(Bitmap& image) {
    while (active_ && AnimStep != 0)
        step(image);
}

void AnimationPlayback::release() {
    AnimTile = Bitmap{};
    std::vector<std::uint8_t>().swap(AnimRowBuffer);
    active_ = false;
}

Rect AnimationPlayback::area() const {
    if (!active_)
        return {};
    return rangeArea(grid_, AnimFirst, AnimLast);
}

int AnimationPlayback::timerInterval(int speed) const {
    const std::int64_t interval =
        std::int64_t{std::max(1, speed)} * std::int64_t{std::max(1, AnimInterval)};
    return static_cast<int>(std::min<std::int64_t>(interval, INT_MAX));
}

void AnimationPlayback::step(Bitmap& image) {
    if (AnimFirst == AnimLast)
        stepScrollTile(image, grid_.indexRect(AnimFirst), AnimTile, AnimRowBuffer);
    else
        stepRange(image, grid_, AnimFirst, AnimLast, AnimTile);
    AnimStep = AnimFrames > 1 ? (AnimStep + 1) % AnimFrames : 0;
}

} // namespace parvane::canvas
