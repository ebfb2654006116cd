// Fuzz entry point for the PNG reader: any bytes must give a bitmap or a clean error, in the
// file's own format and widened straight into the working bitmap alike.
#include "fuzz/FuzzSupport.h"
#include "imaging/PngCodec.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    parvane::fuzz::touchRows(parvane::imaging::decodePng(bytes));
    parvane::imaging::PixelFormat format = parvane::imaging::PixelFormat::Device;
    parvane::fuzz::touchRows(parvane::imaging::decodePngWidening24Bits(bytes, format));
    return 0;
}
