// The animated texture layout: every texture of every animation range as a 64 x 64 tile.
#include "level/AnimatedTextures.h"

#include <algorithm>

namespace parvane::level {

using imaging::Bitmap;
using imaging::PixelFormat;
using imaging::Rect;

std::vector<AnimatedRange> parseAnimatedRanges(std::span<const std::uint16_t> words,
                                               std::string* note) {
    std::vector<AnimatedRange> ranges;
    if (words.empty())
        return ranges;
    const std::size_t count = words[0];
    std::size_t i = 1;
    for (std::size_t r = 0; r < count; ++r) {
        const std::size_t n = i < words.size() ? std::size_t{words[i]} + 1 : 0;
        if (i >= words.size() || n > words.size() - i - 1) {
            if (note)
                *note = "the animated texture list ends inside range " + std::to_string(r + 1) +
                        " of " + std::to_string(count) + "; the " + std::to_string(r) +
                        " complete ranges are kept";
            break;
        }
        ranges.emplace_back(words.begin() + static_cast<std::ptrdiff_t>(i + 1),
                            words.begin() + static_cast<std::ptrdiff_t>(i + 1 + n));
        i += n + 1;
    }
    return ranges;
}

Rect objectTextureRect(const TDvObjectTexture& texture, std::uint32_t pageCount) {
    if (texture.tile >= pageCount)
        return {};
    const int p = texture.tile * 256;
    int x0 = texture.cornerX(0);
    int y0 = p + texture.cornerY(0);
    int x2 = texture.cornerX(2);
    int y2 = p + texture.cornerY(2);
    // Triangles may share an edge between corners 0 and 2; corner 1 then gives the extent.
    if (x2 == x0)
        x2 = texture.cornerX(1);
    if (y2 == y0)
        y2 = p + texture.cornerY(1);
    if (x0 > x2)
        std::swap(x0, x2);
    if (y0 > y2)
        std::swap(y0, y2);
    return {x0, y0, x2 + 1, y2 + 1};
}

AnimatedLayout layoutAnimatedRanges(const std::vector<AnimatedRange>& ranges) {
    AnimatedLayout layout;
    int slot = 0;
    int lastWritten = -1;
    for (const AnimatedRange& range : ranges) {
        layout.rangeFirstSlot.push_back(slot);
        slot += static_cast<int>(range.size());
        lastWritten = slot - 1;
        // The next range starts on the row after the one holding `slot`, so a range that
        // fills its row exactly is followed by an empty row.
        slot = (slot / kTilesPerRow) * kTilesPerRow + kTilesPerRow;
    }
    layout.slotCount = lastWritten + 1;
    layout.rows = lastWritten < 0 ? 0 : lastWritten / kTilesPerRow + 1;
    return layout;
}

AnimatedTiles layoutAnimatedTextures(const std::vector<AnimatedRange>& ranges,
                                     std::span<const TDvObjectTexture> objectTextures,
                                     const Bitmap& strip, std::uint32_t pageCount) {
    const AnimatedLayout layout = layoutAnimatedRanges(ranges);
    AnimatedTiles tiles;
    tiles.bitmap = Bitmap(kTilesPerRow * kTileSide, layout.rows * kTileSide, PixelFormat::Bits32);
    tiles.bitmap.fill(imaging::colours::kMagenta);
    const std::uint32_t pages =
        std::min<std::uint32_t>(pageCount, static_cast<std::uint32_t>(strip.height() / 256));
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        int slot = layout.rangeFirstSlot[r];
        for (const std::uint16_t number : ranges[r]) {
            const Rect slotRect =
                Rect::fromSize((slot % kTilesPerRow) * kTileSide, (slot / kTilesPerRow) * kTileSide,
                               kTileSide, kTileSide);
            ++slot;
            const Rect source = number < objectTextures.size()
                                    ? objectTextureRect(objectTextures[number], pages)
                                    : Rect{};
            if (source.isEmpty()) {
                ++tiles.missingTiles;
                continue;
            }
            tiles.bitmap.stretchCopy(slotRect, strip, source);
        }
    }
    return tiles;
}

} // namespace parvane::level
