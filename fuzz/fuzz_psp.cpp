// Fuzz entry point for the PSP reader: any bytes must give a bitmap or a clean error.
#include "fuzz/FuzzSupport.h"
#include "imaging/PspReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parvane::fuzz::touchRows(
        parvane::imaging::decodePsp(std::span<const std::uint8_t>(data, size)));
    return 0;
}
