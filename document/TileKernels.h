// The inner loops of the tile analysis, on 64 x 64 cells of 32-bit pixels (blue, green, red,
// alpha; alpha is never looked at): what a cell is made of, cheap lower bounds of the
// difference of two cells, and the full comparison. Vectorised with SSE2 on x86-64.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvane::document::kernels {

inline constexpr int kSide = 64;
inline constexpr int kBlocks = 8; // blocks across and down
inline constexpr int kBlockSide = kSide / kBlocks;
inline constexpr int kSignatureBytes = 3 * kBlocks * kBlocks;
// Summed absolute differences of two cells span 64 x 64 pixels x 3 channels.
inline constexpr int kValuesPerCell = kSide * kSide * 3;

// The coarse picture of a cell: for each channel (blue, green, red) the 8 x 8 block means,
// rounded down, block index = row x 8 + column.
using Signature = std::array<std::uint8_t, kSignatureBytes>;

// Sums that no turn or mirror changes: the cell cut into 16 x 16 blocks of 4 x 4 pixels, the
// blocks that the eight orientations move into one another form 36 rings (4 or 8 blocks
// each), and each ring's channel sum stays what it is. Per channel 36 sums, then padding.
inline constexpr int kRings = 36;
inline constexpr int kRingValues = 3 * kRings + 4;
using RingSums = std::array<std::int16_t, kRingValues>;

struct CellSummary {
    std::array<std::uint32_t, 3> sums{}; // per channel, over the whole cell
    Signature signature{};
    RingSums rings{};
    // The sum of all three channels: the analysis keeps kept tiles sorted by it.
    std::int64_t total() const { return std::int64_t{sums[0]} + sums[1] + sums[2]; }
    bool empty() const { return total() == 0; }
};

// Reads the cell whose top-left pixel is `first`, rows `stride` bytes apart.
CellSummary summarise(const std::uint8_t* first, std::size_t stride);
// The same for `count` cells side by side, into out[0] to out[count - 1]; faster than one at a
// time.
void summariseRun(const std::uint8_t* first, std::size_t stride, int count, CellSummary* out);

// A lower bound of the summed absolute difference of two cells under any orientation: that of
// their ring sums.
std::int64_t ringBound(const RingSums& a, const RingSums& b);

// A lower bound of the summed absolute difference of two cells whose signatures these are:
// each block mean differs from the true one by less than 1, so every block channel can make
// the bound 64 too high, and that much is taken off. Stops early once `limit` is exceeded,
// returning something above it.
std::int64_t signatureBound(const std::uint8_t* a, const std::uint8_t* b, std::int64_t limit);

// The summed absolute difference of the red, green and blue of two cells; stops early once it
// exceeds `limit` (then returns something above limit).
std::int64_t cellDifference(const std::uint8_t* a, std::size_t strideA, const std::uint8_t* b,
                            std::size_t strideB, std::int64_t limit);

} // namespace parvane::document::kernels
