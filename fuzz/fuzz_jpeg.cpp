// Fuzz entry point for the JPEG reader: any bytes must give a bitmap or a clean error.
#include "fuzz/FuzzSupport.h"
#include "imaging/JpegCodec.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parvane::fuzz::touchRows(
        parvane::imaging::decodeJpeg(std::span<const std::uint8_t>(data, size)));
    return 0;
}
