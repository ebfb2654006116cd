// Fuzz entry point for the TIFF reader: any bytes must give a bitmap or a clean error. One
// thread: starting threads and opening a libtiff handle for each would cost more than most
// inputs take to decode, and the threaded path is held to the one-thread result by the tests.
#include "fuzz/FuzzSupport.h"
#include "imaging/TiffReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parvane::fuzz::touchRows(
        parvane::imaging::decodeTiffOnThreads(std::span<const std::uint8_t>(data, size), 1));
    return 0;
}
