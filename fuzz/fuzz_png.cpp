// Fuzz entry point for the PNG reader: any bytes must give a bitmap or a clean error, in the
// file's own format and widened straight into the working bitmap alike.
#include "fuzz/FuzzSupport.h"
#include "imaging/PngCodec.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// A flat picture of 1728 x 2156 pixels (one of the corpus's) deflates to 70 KB; with sanitizers
// each decode of it takes tens of milliseconds, so its mutations would crowd out everything
// else. Pictures whose header declares more than a quarter megapixel are left alone here; the
// reader takes the same paths for smaller ones, and its size checks are reached before this.
constexpr std::uint64_t kFuzzMaxPixels = 512 * 512;

std::uint64_t declaredPixels(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 24)
        return 0;
    const auto word = [&](std::size_t at) {
        return std::uint64_t{bytes[at]} << 24 | std::uint64_t{bytes[at + 1]} << 16 |
               std::uint64_t{bytes[at + 2]} << 8 | bytes[at + 3];
    };
    return word(16) * word(20);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (declaredPixels(bytes) > kFuzzMaxPixels)
        return 0;
    parvane::fuzz::touchRows(parvane::imaging::decodePng(bytes));
    parvane::imaging::PixelFormat format = parvane::imaging::PixelFormat::Device;
    parvane::fuzz::touchRows(parvane::imaging::decodePngWidening24Bits(bytes, format));
    return 0;
}
