#include "document/TargetCommands.h"

#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <utility>

namespace parvane::document {

namespace {

// A picture of the area's size in the image's own layout, so that copies both ways move the
// pixels unchanged.
imaging::Bitmap bufferLike(const imaging::Bitmap& image, int width, int height) {
    imaging::Bitmap buffer(width, height, image.format());
    if (imaging::hasPalette(image.format()))
        buffer.setPalette(image.palette());
    buffer.setMasks(image.masks());
    return buffer;
}

// Exchanges the pixels of `area` of the image with those of the buffer (of the area's size).
void swapPixels(imaging::Bitmap& image, const imaging::Rect& area, imaging::Bitmap& buffer) {
    const int bits = image.bitsPerPixel();
    if (bits % 8 == 0 && buffer.format() == image.format()) {
        const std::size_t bpp = static_cast<std::size_t>(bits / 8);
        const std::size_t count = bpp * static_cast<std::size_t>(area.width());
        for (int i = 0; i < area.height(); ++i) {
            std::uint8_t* a = image.row(area.top + i) + bpp * static_cast<std::size_t>(area.left);
            std::swap_ranges(a, a + count, buffer.row(i));
        }
        return;
    }
    imaging::Bitmap now = bufferLike(image, area.width(), area.height());
    now.copyRect({0, 0}, image, area);
    image.copyRect({area.left, area.top}, buffer, buffer.rect());
    buffer = std::move(now);
}

} // namespace

void AreasChanged::keep(const imaging::Rect& rect, const imaging::Bitmap& picture) {
    Area kept{rect, bufferLike(picture, rect.width(), rect.height())};
    kept.pixels.copyRect({0, 0}, picture, rect);
    areas_.push_back(std::move(kept));
}

void AreasChanged::swapArea(Area& area) {
    canvas::FrameStackCore& canvas = set_.canvas();
    imaging::Bitmap& image = canvas.Bitmap();
    // A picture made smaller since (an undone growth is never under a later step, but a test
    // or a tool may shrink it) keeps what no longer fits.
    if (area.rect.intersected(image.rect()) != area.rect)
        return;
    swapPixels(image, area.rect, area.pixels);
    canvas.Invalidate(area.rect);
}

// Areas of one step may overlap: undo goes back through them in reverse order.
void AreasChanged::undo() {
    std::for_each(areas_.rbegin(), areas_.rend(), [this](Area& area) { swapArea(area); });
}

void AreasChanged::redo() {
    std::for_each(areas_.begin(), areas_.end(), [this](Area& area) { swapArea(area); });
}

std::size_t AreasChanged::bytes() const {
    std::size_t total = sizeof(*this);
    for (const Area& area : areas_)
        total += sizeof(Area) + area.pixels.bytes().size();
    return total;
}

} // namespace parvane::document
