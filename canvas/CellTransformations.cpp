#include "CellTransformations.h"

#include <algorithm>
#include <cstring>

namespace parvane::canvas {

using imaging::Bitmap;
using imaging::Rect;

namespace {

// Bitmap of the image's own layout (format, palette, masks), so copies to it are exact.
Bitmap blankLike(const Bitmap& image, int width, int height) {
    Bitmap out(width, height, image.format());
    if (imaging::hasPalette(image.format()))
        out.setPalette(image.palette());
    out.setMasks(image.masks());
    return out;
}

// Moves every pixel (x, y) of the width x height area of source to target(x, y) in dest,
// Bytes bytes at a time; source and dest share one layout.
template <std::size_t Bytes, typename Target>
void moveWholePixels(const Bitmap& source, Bitmap& dest, int width, int height, Target target) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.row(y);
        for (int x = 0; x < width; ++x) {
            const imaging::Point to = target(x, y);
            std::memcpy(dest.row(to.y) + Bytes * static_cast<std::size_t>(to.x),
                        from + Bytes * static_cast<std::size_t>(x), Bytes);
        }
    }
}

// The same for any layout: whole bytes per pixel where they allow it, palette indices of one-
// and four-bit pixels otherwise.
template <typename Target>
void movePixels(const Bitmap& source, Bitmap& dest, int width, int height, Target target) {
    switch (source.bitsPerPixel()) {
    case 32:
        moveWholePixels<4>(source, dest, width, height, target);
        return;
    case 24:
        moveWholePixels<3>(source, dest, width, height, target);
        return;
    case 16:
        moveWholePixels<2>(source, dest, width, height, target);
        return;
    case 8:
        moveWholePixels<1>(source, dest, width, height, target);
        return;
    default:
        break;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const imaging::Point to = target(x, y);
            dest.setIndex(to.x, to.y, source.indexAt(x, y));
        }
}

} // namespace

std::optional<Rect> cellForTurn(const Rect& cell, const Bitmap& image) {
    const int width = cell.width();
    const int height = cell.height();
    if (width <= 0 || height <= 0 || width > image.width() || height > image.height())
        return std::nullopt;
    const int left = std::clamp(cell.left, 0, image.width() - width);
    const int top = std::clamp(cell.top, 0, image.height() - height);
    return Rect::fromSize(left, top, width, height);
}

void turnCell(Bitmap& image, const Rect& cell, CellTurn turn, Bitmap& clip) {
    const int width = cell.width();
    const int height = cell.height();
    if (width <= 0 || height <= 0)
        return;
    clip.resize(width, height, imaging::colours::kBlack);
    clip.copyRect({0, 0}, image, cell);
    const Bitmap source = clip;
    switch (turn) {
    case CellTurn::Rotate: {
        const int side = std::min(width, height);
        movePixels(source, clip, side, side, [side](int x, int y) {
            return imaging::Point{side - 1 - y, x};
        });
        break;
    }
    case CellTurn::FlipHorizontal:
        movePixels(source, clip, width, height, [width](int x, int y) {
            return imaging::Point{width - 1 - x, y};
        });
        break;
    case CellTurn::FlipVertical:
        movePixels(source, clip, width, height, [height](int x, int y) {
            return imaging::Point{x, height - 1 - y};
        });
        break;
    }
    image.copyRect({cell.left, cell.top}, clip, clip.rect());
}

void swapCells(Bitmap& image, const Rect& a, const Rect& b, Bitmap& clip) {
    clip.resize(a.width(), a.height(), imaging::colours::kBlack);
    if (a == b)
        return;
    clip.copyRect({0, 0}, image, a);
    copyCellWithin(image, b, a);
    image.copyRect({b.left, b.top}, clip, clip.rect());
}

void shiftCells(Bitmap& image, const CellGeometry& grid, int from, int to) {
    if (from == to || !grid.isCellIndex(from) || !grid.isCellIndex(to))
        return;
    Bitmap scratch = blankLike(image, grid.cellWidth, grid.cellHeight);
    const Rect first = grid.indexRect(from);
    scratch.copyRect({0, 0}, image, first);
    if (from < to) {
        for (int e = from; e < to; ++e)
            copyCellWithin(image, grid.indexRect(e + 1), grid.indexRect(e));
    } else {
        for (int e = from; e > to; --e)
            copyCellWithin(image, grid.indexRect(e - 1), grid.indexRect(e));
    }
    const Rect last = grid.indexRect(to);
    image.copyRect({last.left, last.top}, scratch, scratch.rect());
}

} // namespace parvane::canvas
