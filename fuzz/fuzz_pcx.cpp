// Fuzz entry point for the PCX reader: any bytes must give a bitmap or a clean error, and the
// same one whether the run-length stream is decoded on one thread or split between two (the
// split is where hostile streams could make the threads disagree).
#include "fuzz/FuzzSupport.h"
#include "imaging/PcxReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto single = parvane::imaging::decodePcxOnThreads(bytes, 1);
    parvane::fuzz::touchRows(single);
    const auto split = parvane::imaging::decodePcxOnThreads(bytes, 2);
    const bool same = single.ok() ? split.ok() && split.bitmap() == single.bitmap()
                                  : !split.ok() && split.error().reason == single.error().reason;
    if (!same)
        __builtin_trap();
    return 0;
}
