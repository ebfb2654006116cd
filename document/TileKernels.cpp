#include "TileKernels.h"

#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#define PARVANE_TILES_SSE2 1
#endif

namespace parvane::document::kernels {

namespace {

constexpr int kBlockPixels = kBlockSide * kBlockSide;

#ifdef PARVANE_TILES_SSE2
inline __m128i load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
#endif

} // namespace

CellSummary summarise(const std::uint8_t* first, std::size_t stride) {
    CellSummary summary;
    for (int by = 0; by < kBlocks; ++by) {
        std::array<std::array<std::uint32_t, 3>, kBlocks> block{};
#ifdef PARVANE_TILES_SSE2
        // Per block, 16-bit lanes blue, green, red, alpha of two pixels at a time: each lane
        // gathers 4 pixels a row over 8 rows, at most 32 x 255, which 16 bits hold.
        __m128i acc[kBlocks];
        for (__m128i& a : acc)
            a = _mm_setzero_si128();
        const __m128i zero = _mm_setzero_si128();
        for (int r = 0; r < kBlockSide; ++r) {
            const std::uint8_t* row =
                first + static_cast<std::size_t>(by * kBlockSide + r) * stride;
            for (int bx = 0; bx < kBlocks; ++bx) {
                const __m128i p0 = load(row + bx * 32);
                const __m128i p1 = load(row + bx * 32 + 16);
                acc[bx] = _mm_add_epi16(acc[bx], _mm_add_epi16(_mm_unpacklo_epi8(p0, zero),
                                                               _mm_unpackhi_epi8(p0, zero)));
                acc[bx] = _mm_add_epi16(acc[bx], _mm_add_epi16(_mm_unpacklo_epi8(p1, zero),
                                                               _mm_unpackhi_epi8(p1, zero)));
            }
        }
        for (int bx = 0; bx < kBlocks; ++bx) {
            alignas(16) std::uint16_t lanes[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc[bx]);
            for (int c = 0; c < 3; ++c)
                block[static_cast<std::size_t>(bx)][static_cast<std::size_t>(c)] =
                    std::uint32_t{lanes[c]} + lanes[c + 4];
        }
#else
        for (int r = 0; r < kBlockSide; ++r) {
            const std::uint8_t* row =
                first + static_cast<std::size_t>(by * kBlockSide + r) * stride;
            for (int x = 0; x < kSide; ++x)
                for (int c = 0; c < 3; ++c)
                    block[static_cast<std::size_t>(x / kBlockSide)][static_cast<std::size_t>(c)] +=
                        row[4 * x + c];
        }
#endif
        for (int bx = 0; bx < kBlocks; ++bx)
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t sum =
                    block[static_cast<std::size_t>(bx)][static_cast<std::size_t>(c)];
                summary.sums[static_cast<std::size_t>(c)] += sum;
                summary.signature[static_cast<std::size_t>(c * kBlocks * kBlocks + by * kBlocks +
                                                           bx)] =
                    static_cast<std::uint8_t>(sum / kBlockPixels);
            }
    }
    return summary;
}

std::int64_t signatureBound(const std::uint8_t* a, const std::uint8_t* b, std::int64_t limit) {
    constexpr int kPlane = kBlocks * kBlocks;
    std::int64_t sum = 0;
    for (int c = 0; c < 3; ++c) {
#ifdef PARVANE_TILES_SSE2
        const __m128i one = _mm_set1_epi8(1);
        __m128i acc = _mm_setzero_si128();
        for (int i = 0; i < kPlane; i += 16) {
            const __m128i x = load(a + c * kPlane + i);
            const __m128i y = load(b + c * kPlane + i);
            const __m128i d = _mm_or_si128(_mm_subs_epu8(x, y), _mm_subs_epu8(y, x));
            acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_subs_epu8(d, one), _mm_setzero_si128()));
        }
        sum += _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
#else
        for (int i = 0; i < kPlane; ++i) {
            const int d = std::abs(int{a[c * kPlane + i]} - int{b[c * kPlane + i]});
            sum += d > 0 ? d - 1 : 0;
        }
#endif
        if (sum * kBlockPixels > limit)
            break;
    }
    return sum * kBlockPixels;
}

std::int64_t cellDifference(const std::uint8_t* a, std::size_t strideA, const std::uint8_t* b,
                            std::size_t strideB, std::int64_t limit) {
    std::int64_t sum = 0;
#ifdef PARVANE_TILES_SSE2
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (int y = 0; y < kSide; ++y) {
        const std::uint8_t* ra = a + static_cast<std::size_t>(y) * strideA;
        const std::uint8_t* rb = b + static_cast<std::size_t>(y) * strideB;
        __m128i acc = _mm_setzero_si128();
        for (int x = 0; x < kSide * 4; x += 16)
            acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_and_si128(load(ra + x), colour),
                                                  _mm_and_si128(load(rb + x), colour)));
        sum += _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
        if (sum > limit)
            return sum;
    }
#else
    for (int y = 0; y < kSide; ++y) {
        const std::uint8_t* ra = a + static_cast<std::size_t>(y) * strideA;
        const std::uint8_t* rb = b + static_cast<std::size_t>(y) * strideB;
        for (int x = 0; x < kSide; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int{ra[4 * x + c]} - int{rb[4 * x + c]});
        if (sum > limit)
            return sum;
    }
#endif
    return sum;
}

} // namespace parvane::document::kernels
