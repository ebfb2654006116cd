// Fuzz entry point for the JPEG reader: any bytes must give a bitmap or a clean error.
#include "imaging/JpegCodec.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = parvane::imaging::decodeJpeg(std::span<const std::uint8_t>(data, size));
    if (result.ok()) {
        // Touch the pixels so that a bitmap shorter than its size claims is caught.
        const auto& bitmap = result.bitmap();
        volatile std::uint8_t sink = 0;
        for (int y = 0; y < bitmap.height(); y += 17)
            sink = static_cast<std::uint8_t>(sink ^ bitmap.row(y)[bitmap.stride() - 1]);
        (void)sink;
    }
    return 0;
}
