// Inflation of the zlib chunks of level files and of the "ZLIB" container.
#include "level/LevelReaderInternal.h"
#include "level/dvunit3_modif.h"

#include <algorithm>
#include <limits>
#include <zlib.h>

namespace parvane::level::detail {

namespace {

// Deflate cannot expand data by more than about 1032 to 1, so no honest stream needs an
// output larger than this; it keeps a lying size field from reserving memory up front.
constexpr std::size_t kDeflateMaxRatio = 1032;

} // namespace

imaging::Result<std::vector<std::uint8_t>> inflateChunk(std::span<const std::uint8_t> compressed,
                                                        std::size_t estimate, std::size_t limit) {
    using imaging::FailureKind;
    std::vector<std::uint8_t> out;
    imaging::Failure failure;
    limit = std::min(limit, kMaxInflatedBytes);
    const std::size_t ratioBound =
        compressed.size() > (std::numeric_limits<std::size_t>::max() - 1024) / kDeflateMaxRatio
            ? limit
            : compressed.size() * kDeflateMaxRatio + 1024;
    // The stored size is only a first guess: writers store 0, too little or too much, and the
    // length actually produced is what counts. The ratio bound keeps a lying guess from
    // reserving memory the stream could never fill.
    const std::size_t ceiling = std::min(limit, ratioBound);
    std::size_t capacity = std::min(std::max<std::size_t>(estimate, 256), ceiling);

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return imaging::Failure{FailureKind::NoMemory, "zlib could not be initialised"};
    out.resize(capacity);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    int status = Z_OK;
    while (true) {
        // zlib counts in 32-bit units; feed it in slices.
        const std::size_t inSlice =
            std::min<std::size_t>(compressed.size() - consumed, std::numeric_limits<uInt>::max());
        const std::size_t outSlice =
            std::min<std::size_t>(out.size() - produced, std::numeric_limits<uInt>::max());
        stream.next_in = const_cast<Bytef*>(compressed.data() + consumed);
        stream.avail_in = static_cast<uInt>(inSlice);
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(outSlice);
        status = inflate(&stream, Z_NO_FLUSH);
        consumed += inSlice - stream.avail_in;
        produced += outSlice - stream.avail_out;
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK && status != Z_BUF_ERROR) {
            failure = {FailureKind::Damaged, std::string("zlib stream is damaged (") +
                                                 (stream.msg ? stream.msg : "inflate failed") +
                                                 ")"};
            break;
        }
        if (produced == out.size()) {
            if (out.size() >= ceiling) {
                failure = {FailureKind::TooLarge, "zlib stream inflates beyond the limit of " +
                                                      std::to_string(limit >> 20) + " MiB"};
                status = Z_DATA_ERROR;
                break;
            }
            out.resize(std::min(ceiling, std::max(out.size() * 2, out.size() + 65536)));
            continue;
        }
        if (consumed == compressed.size()) {
            failure = {FailureKind::Damaged, "zlib stream ends early"};
            status = Z_DATA_ERROR;
            break;
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return failure;
    out.resize(produced);
    if (out.capacity() - produced > 65536)
        out.shrink_to_fit();
    return out;
}

} // namespace parvane::level::detail
