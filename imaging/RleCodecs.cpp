#include "RleCodecs.h"

#include <algorithm>
#include <cstring>

namespace parvane::imaging {

namespace {

// Writes count copies of value at out, clipped at the end of dst.
void putRun(std::span<std::uint8_t> dst, RleResult& r, std::size_t count, std::uint8_t value) {
    const std::size_t room = dst.size() - r.produced;
    if (count > room) {
        r.carryCount = count - room;
        r.carryValue = value;
        count = room;
        r.clipped = true;
    }
    std::memset(dst.data() + r.produced, value, count);
    r.produced += count;
}

// Copies count literal bytes from src at `from`, clipped at both ends. Returns false when the
// source ran out.
bool putLiteral(std::span<const std::uint8_t> src, std::size_t from, std::span<std::uint8_t> dst,
                RleResult& r, std::size_t count) {
    bool complete = true;
    if (count > src.size() - from) {
        count = src.size() - from;
        complete = false;
    }
    std::size_t copy = count;
    const std::size_t room = dst.size() - r.produced;
    if (copy > room) {
        copy = room;
        r.clipped = true;
    }
    std::memcpy(dst.data() + r.produced, src.data() + from, copy);
    r.produced += copy;
    r.consumed = from + count;
    return complete;
}

} // namespace

RleResult decodePackBits(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst) {
    RleResult r;
    std::size_t pos = 0;
    while (r.produced < dst.size() && pos < src.size()) {
        const std::uint8_t n = src[pos++];
        if (n < 128) {
            if (!putLiteral(src, pos, dst, r, std::size_t{n} + 1))
                return r;
            pos = r.consumed;
        } else if (n > 128) {
            if (pos >= src.size())
                break;
            putRun(dst, r, 257u - n, src[pos++]);
        }
        r.consumed = pos;
    }
    return r;
}

RleResult decodePcxRle(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst) {
    RleResult r;
    // Locals rather than the result's fields: byte stores could otherwise alias them and
    // force every counter through memory in this hot loop.
    const std::uint8_t* in = src.data();
    const std::size_t inSize = src.size();
    std::uint8_t* out = dst.data();
    const std::size_t outSize = dst.size();
    std::size_t pos = 0, produced = 0;
    while (produced < outSize && pos < inSize) {
        const std::uint8_t b = in[pos];
        if (b < 192) {
            out[produced++] = b;
            ++pos;
            continue;
        }
        if (pos + 1 >= inSize)
            break;
        r.produced = produced;
        putRun(dst, r, b & 63u, in[pos + 1]);
        produced = r.produced;
        pos += 2;
    }
    r.produced = produced;
    r.consumed = pos;
    return r;
}

RleResult decodePspRle(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst) {
    RleResult r;
    std::size_t pos = 0;
    while (r.produced < dst.size() && pos < src.size()) {
        const std::uint8_t n = src[pos++];
        if (n > 128) {
            if (pos >= src.size())
                break;
            putRun(dst, r, n - 128u, src[pos++]);
        } else {
            if (!putLiteral(src, pos, dst, r, n))
                return r;
            pos = r.consumed;
        }
        r.consumed = pos;
    }
    return r;
}

} // namespace parvane::imaging
