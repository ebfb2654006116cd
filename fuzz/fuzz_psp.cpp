// Fuzz entry point for the PSP reader: any bytes must give a bitmap or a clean error.
#include "fuzz/FuzzSupport.h"
#include "imaging/PspReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

// A valid picture of 4096 x 4096 pixels fits in a few hundred kilobytes of deflated channels;
// with sanitizers each decode of it takes most of a second, so its mutations would crowd out
// everything else. Pictures and layers are kept to a quarter megapixel here, which still
// takes every path of the reader.
constexpr std::uint64_t kFuzzMaxPixels = 512 * 512;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parvane::imaging::PspDecodeOptions options;
    options.maxPixels = kFuzzMaxPixels;
    parvane::fuzz::touchRows(
        parvane::imaging::decodePsp(std::span<const std::uint8_t>(data, size), options));
    return 0;
}
