#include "RleCodecs.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

namespace {

// PCX bytes are read 64 at a time where both buffers have room to spare: a block's count bytes
// are found with word arithmetic, and the literal bytes between them are copied in 16-byte
// pieces, so the cost does not depend on how runs and literals alternate.
constexpr std::size_t kPcxBlock = 64;
// Bytes a block may read past its own 64 (literal pieces) and write past a token's end.
constexpr std::size_t kPcxSlack = 16;

// One bit per byte of the 64 at `in`: set where the byte is 192 or more.
std::uint64_t pcxHighBytes(const std::uint8_t* in) {
    std::uint64_t mask = 0;
#ifdef __SSE2__
    // Bytes shifted to signed order, where those of 192 or more are the ones above 63.
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i limit = _mm_set1_epi8(63);
    for (unsigned i = 0; i < 4; ++i) {
        const __m128i v =
            _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * i)), bias);
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(v, limit)));
        mask |= std::uint64_t{bits} << (16 * i);
    }
#else
    constexpr std::uint64_t kTopBits = 0x8080808080808080u;
    for (unsigned i = 0; i < 8; ++i) {
        std::uint64_t w;
        std::memcpy(&w, in + 8 * i, 8);
        // Bits 7 and 6 both set, then bit 7 of every byte gathered into one byte.
        const std::uint64_t high = w & (w << 1) & kTopBits;
        mask |= (((high >> 7) * 0x0102040810204080u) >> 56) << (8 * i);
    }
#endif
    return mask;
}

// Of the high bytes of a block that starts at a packet, those that are run counts: in each
// stretch of high bytes the first is a count, the next its value, and so on.
std::uint64_t pcxRunCounts(std::uint64_t high) {
    constexpr std::uint64_t kEven = 0x5555555555555555u;
    const std::uint64_t follows = high << 1;
    const std::uint64_t oddStarts = high & ~kEven & ~follows;
    const std::uint64_t values = (kEven ^ ((oddStarts + high) << 1)) & follows;
    return high & ~values;
}

#ifdef __SSE2__
// The low 16 bits of `bits` as 16 bytes, 0xFF where the bit is set.
inline __m128i pcxByteMask(std::uint64_t bits) {
    const __m128i select = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
    constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
    const __m128i spread =
        _mm_set_epi64x(static_cast<long long>(((bits >> 8) & 0xFFu) * kEveryByte),
                       static_cast<long long>((bits & 0xFFu) * kEveryByte));
    return _mm_cmpeq_epi8(_mm_and_si128(spread, select), select);
}
#endif

// The most one block writes: 32 runs of 63, and the stores' overshoot past the last byte.
constexpr std::size_t kPcxBlockMostOut = kPcxBlock / 2 * 63 + 2 * kPcxSlack;

// Decodes whole packets of the block at in[pos] while out has room for them plus the slack.
// Returns false when the block was stopped short for room; pos and produced stay at a packet.
// Unchecked, out must have room for kPcxBlockMostOut more bytes: far from the end of out, the
// common case, the room is not looked at packet by packet.
template <bool kChecked>
bool decodePcxBlock(const std::uint8_t* in, std::size_t& pos, std::uint8_t* out,
                    std::size_t& produced, std::size_t outSize) {
    const std::uint8_t* block = in + pos;
    const std::uint64_t counts = pcxRunCounts(pcxHighBytes(block));
    // A count in the last byte has its value in the next block; it starts that block.
    const std::size_t end = counts >> 63 ? kPcxBlock - 1 : kPcxBlock;
    std::size_t at = 0, o = produced;
    bool whole = true;
    for (std::uint64_t m = counts & ~(std::uint64_t{1} << 63);; m &= m - 1) {
        const std::size_t next = m ? static_cast<std::size_t>(__builtin_ctzll(m)) : end;
        const std::size_t literal = next - at;
        const std::size_t run = m ? block[next] & 63u : 0;
        if (kChecked && o + literal + std::max<std::size_t>(run, 8) + kPcxSlack > outSize) {
            whole = false;
            break;
        }
        std::memcpy(out + o, block + at, 16);
        for (std::size_t k = 16; k < literal; k += 16)
            std::memcpy(out + o + k, block + at + k, 16);
        o += literal;
        at = next;
        if (!m)
            break;
        const std::uint8_t value = block[next + 1];
        // Short runs, the common ones, as one fixed-size store.
        const std::uint64_t eight = value * std::uint64_t{0x0101010101010101u};
        std::memcpy(out + o, &eight, 8);
        if (run > 8)
            std::memset(out + o + 8, value, run - 8);
        o += run;
        at = next + 2;
    }
    pos += at;
    produced = o;
    return whole;
}

} // namespace

RleResult decodePcxRle(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst) {
    RleResult r;
    // Locals rather than the result's fields: byte stores could otherwise alias them and
    // force every counter through memory in this hot loop.
    const std::uint8_t* in = src.data();
    const std::size_t inSize = src.size();
    std::uint8_t* out = dst.data();
    const std::size_t outSize = dst.size();
    std::size_t pos = 0, produced = 0;
    while (pos + kPcxBlock + kPcxSlack <= inSize &&
           (produced + kPcxBlockMostOut <= outSize
                ? decodePcxBlock<false>(in, pos, out, produced, outSize)
                : decodePcxBlock<true>(in, pos, out, produced, outSize))) {
    }
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

std::size_t pcxRleLength(std::span<const std::uint8_t> src) {
    const std::uint8_t* in = src.data();
    const std::size_t inSize = src.size();
    std::size_t pos = 0, length = 0;
#ifdef __SSE2__
    __m128i sums = _mm_setzero_si128();
#endif
    while (pos + kPcxBlock <= inSize) {
        const std::uint8_t* block = in + pos;
        std::uint64_t counts = pcxRunCounts(pcxHighBytes(block));
        // A count in the last byte has its value in the next block; it starts that block.
        std::uint64_t covered = ~std::uint64_t{0};
        if (counts >> 63) {
            covered >>= 1;
            counts &= covered;
        }
        // Every byte that is neither a count nor its value is one literal pixel byte; a run
        // gives its count instead of its two bytes.
        const std::uint64_t literals = ~(counts | counts << 1) & covered;
#ifdef __SSE2__
        for (unsigned i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
            const __m128i runs = _mm_and_si128(pcxByteMask(counts >> (16 * i)),
                                               _mm_and_si128(bytes, _mm_set1_epi8(63)));
            const __m128i ones = _mm_and_si128(pcxByteMask(literals >> (16 * i)), _mm_set1_epi8(1));
            sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_or_si128(runs, ones), _mm_setzero_si128()));
        }
#else
        length += static_cast<std::size_t>(__builtin_popcountll(literals));
        for (std::uint64_t m = counts; m; m &= m - 1)
            length += block[__builtin_ctzll(m)] & 63u;
#endif
        pos += covered >> 63 ? kPcxBlock : kPcxBlock - 1;
    }
#ifdef __SSE2__
    length += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
              static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#endif
    while (pos < inSize) {
        const std::uint8_t b = in[pos];
        if (b < 192) {
            ++length;
            ++pos;
            continue;
        }
        if (pos + 1 >= inSize)
            break;
        length += b & 63u;
        pos += 2;
    }
    return length;
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
