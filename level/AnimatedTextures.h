// Lays out the animated textures of a level as 64 x 64 tiles: the textures of each animation
// range side by side in reading order, each range starting a new row of four tiles, on a
// magenta background.
#pragma once

#include "imaging/Bitmap.h"
#include "level/dvunit3_modif.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace parvane::level {

inline constexpr int kTileSide = 64;
inline constexpr int kTilesPerRow = 4;

// One animation range: the object texture numbers of its frames, in order.
using AnimatedRange = std::vector<std::uint16_t>;

// The ranges of an animated texture list (word 0 = range count; per range the count minus
// one, then the object texture numbers). An empty list gives no ranges. When the ranges run
// past the list's end, the complete ones are kept and note (when given) says what was left.
std::vector<AnimatedRange> parseAnimatedRanges(std::span<const std::uint16_t> words,
                                               std::string* note = nullptr);

// The strip rectangle of an object texture (corner 0 to corner 2, corner 1 where they share
// an edge, both corner pixels included), or an empty rectangle when its page is not in a
// strip of pageCount pages.
imaging::Rect objectTextureRect(const TDvObjectTexture& texture, std::uint32_t pageCount);

// Slot of each tile: the first slot of each range, the slot count and the rows used.
struct AnimatedLayout {
    std::vector<int> rangeFirstSlot;
    int slotCount = 0; // one past the last slot written
    int rows = 0;      // rows of four slots that the output keeps
};
AnimatedLayout layoutAnimatedRanges(const std::vector<AnimatedRange>& ranges);

struct AnimatedTiles {
    imaging::Bitmap bitmap; // 256 wide, 64 x rows high, 32 bits a pixel
    int missingTiles = 0;   // textures the list names that the level does not hold
};
// Cuts every texture of every range from the 32-bit strip into its slot, stretched to
// 64 x 64. Textures that are not in the level or not on a page of the strip are skipped
// (their slot stays magenta) and counted.
AnimatedTiles layoutAnimatedTextures(const std::vector<AnimatedRange>& ranges,
                                     std::span<const TDvObjectTexture> objectTextures,
                                     const imaging::Bitmap& strip, std::uint32_t pageCount);

} // namespace parvane::level
