#include "CellGeometry.h"

namespace parvane::canvas {

using imaging::Bitmap;
using imaging::Rect;

void copyCellWithin(Bitmap& image, const Rect& from, const Rect& to) {
    if (image.bitsPerPixel() >= 8) {
        // Whole bytes per pixel: the bitmap's own row copy moves the bytes unchanged.
        image.copyRect({to.left, to.top}, image, from);
        return;
    }
    // One- and four-bit pixels share bytes with their neighbours, so they are moved one index
    // at a time; the cells do not overlap, so reading and writing cannot interfere.
    const int width = from.width();
    const int height = from.height();
    for (int y = 0; y < height; ++y) {
        const int sy = from.top + y;
        const int dy = to.top + y;
        if (sy < 0 || sy >= image.height() || dy < 0 || dy >= image.height())
            continue;
        for (int x = 0; x < width; ++x) {
            const int sx = from.left + x;
            const int dx = to.left + x;
            if (sx < 0 || sx >= image.width() || dx < 0 || dx >= image.width())
                continue;
            image.setIndex(dx, dy, image.indexAt(sx, sy));
        }
    }
}

} // namespace parvane::canvas
