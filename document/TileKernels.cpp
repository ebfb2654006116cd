#include "TileKernels.h"

#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#define PARVANE_TILES_SSE2 1
#endif
// The full comparison takes 32 bytes at a time where the processor has AVX2, chosen when the
// program runs, so that the program itself still runs on every x86-64.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PARVANE_TILES_AVX2 1
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

namespace {

constexpr int kFine = 16; // fine blocks across and down
constexpr int kFineSide = kSide / kFine;

// The ring of each fine block: blocks the orientations move into one another share one.
constexpr auto kRingOf = [] {
    std::array<std::uint8_t, kFine * kFine> ring{};
    for (int y = 0; y < kFine; ++y)
        for (int x = 0; x < kFine; ++x) {
            const int a = std::min(x, kFine - 1 - x);
            const int b = std::min(y, kFine - 1 - y);
            const int low = std::min(a, b);
            const int high = std::max(a, b);
            ring[static_cast<std::size_t>(y * kFine + x)] =
                static_cast<std::uint8_t>(high * (high + 1) / 2 + low);
        }
    return ring;
}();
static_assert(kRingOf[0] == 0 && kRingOf[7 * kFine + 7] == kRings - 1);

} // namespace

namespace {

// Channel sums of the fine blocks of one cell, at most 16 x 255 each.
using FineSums = std::array<std::array<std::uint16_t, kFine * kFine>, 3>;
// Cells side by side read together.
constexpr int kRun = 8;

// The fine sums of `count` (at most kRun) cells side by side. Their rows are read across all
// of them, in the order they lie in memory: cell by cell, the 256-byte pieces of rows that
// lie a picture row apart slow the reading down several times.
void fineSums(const std::uint8_t* first, std::size_t stride, int count, FineSums* fine) {
    for (int by = 0; by < kFine; ++by) {
#ifdef PARVANE_TILES_SSE2
        // Per block, 16-bit lanes blue, green, red, alpha of two pixels at a time: each lane
        // gathers 2 pixels a row over 4 rows, which 16 bits hold with room to spare.
        __m128i acc[kRun][kFine];
        const __m128i zero = _mm_setzero_si128();
        for (int i = 0; i < count; ++i)
            for (__m128i& a : acc[i])
                a = zero;
        for (int r = 0; r < kFineSide; ++r) {
            const std::uint8_t* row = first + static_cast<std::size_t>(by * kFineSide + r) * stride;
            for (int i = 0; i < count; ++i)
                for (int bx = 0; bx < kFine; ++bx) {
                    const __m128i p = load(row + i * kSide * 4 + bx * 16);
                    acc[i][bx] =
                        _mm_add_epi16(acc[i][bx], _mm_add_epi16(_mm_unpacklo_epi8(p, zero),
                                                                _mm_unpackhi_epi8(p, zero)));
                }
        }
        for (int i = 0; i < count; ++i)
            for (int bx = 0; bx < kFine; ++bx) {
                alignas(16) std::uint16_t lanes[8];
                _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc[i][bx]);
                for (std::size_t c = 0; c < 3; ++c)
                    fine[i][c][static_cast<std::size_t>(by * kFine + bx)] =
                        static_cast<std::uint16_t>(lanes[c] + lanes[c + 4]);
            }
#else
        for (int i = 0; i < count; ++i)
            for (int r = 0; r < kFineSide; ++r) {
                const std::uint8_t* row = first +
                                          static_cast<std::size_t>(by * kFineSide + r) * stride +
                                          static_cast<std::size_t>(i) * kSide * 4;
                for (int x = 0; x < kSide; ++x)
                    for (std::size_t c = 0; c < 3; ++c) {
                        std::uint16_t& sum =
                            fine[i][c][static_cast<std::size_t>(by * kFine + x / kFineSide)];
                        sum = static_cast<std::uint16_t>(sum + row[4 * x + static_cast<int>(c)]);
                    }
            }
#endif
    }
}

CellSummary finish(const FineSums& fine) {
    CellSummary summary;
    for (std::size_t c = 0; c < 3; ++c) {
        std::array<std::int32_t, kRings> rings{};
        for (int i = 0; i < kFine * kFine; ++i) {
            const std::uint16_t sum = fine[c][static_cast<std::size_t>(i)];
            summary.sums[c] += sum;
            rings[kRingOf[static_cast<std::size_t>(i)]] += sum;
        }
        for (int r = 0; r < kRings; ++r)
            summary.rings[c * kRings + static_cast<std::size_t>(r)] =
                static_cast<std::int16_t>(rings[static_cast<std::size_t>(r)]);
        for (int y = 0; y < kBlocks; ++y)
            for (int x = 0; x < kBlocks; ++x) {
                const auto at = [&](int fy, int fx) {
                    return std::uint32_t{fine[c][static_cast<std::size_t>(fy * kFine + fx)]};
                };
                const std::uint32_t sum = at(2 * y, 2 * x) + at(2 * y, 2 * x + 1) +
                                          at(2 * y + 1, 2 * x) + at(2 * y + 1, 2 * x + 1);
                summary
                    .signature[c * kBlocks * kBlocks + static_cast<std::size_t>(y * kBlocks + x)] =
                    static_cast<std::uint8_t>(sum / kBlockPixels);
            }
    }
    return summary;
}

} // namespace

CellSummary summarise(const std::uint8_t* first, std::size_t stride) {
    FineSums fine{};
    fineSums(first, stride, 1, &fine);
    return finish(fine);
}

void summariseRun(const std::uint8_t* first, std::size_t stride, int count, CellSummary* out) {
    for (int done = 0; done < count; done += kRun) {
        const int now = std::min(kRun, count - done);
        FineSums fine[kRun]{};
        fineSums(first + static_cast<std::size_t>(done) * kSide * 4, stride, now, fine);
        for (int i = 0; i < now; ++i)
            out[done + i] = finish(fine[i]);
    }
}

std::int64_t ringBound(const RingSums& a, const RingSums& b) {
#ifdef PARVANE_TILES_SSE2
    const __m128i ones = _mm_set1_epi16(1);
    __m128i acc = _mm_setzero_si128();
    for (std::size_t i = 0; i < a.size(); i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data() + i));
        // Both lie in 0 to 32640, so their difference fits 16 bits as a signed value.
        const __m128i d = _mm_sub_epi16(_mm_max_epi16(x, y), _mm_min_epi16(x, y));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(d, ones));
    }
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc);
    return std::int64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
#else
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int{a[i]} - int{b[i]});
    return sum;
#endif
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

#ifdef PARVANE_TILES_AVX2
namespace {

__attribute__((target("avx2"))) std::int64_t
cellDifferenceAvx2(const std::uint8_t* a, std::size_t strideA, const std::uint8_t* b,
                   std::size_t strideB, std::int64_t limit) {
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::int64_t sum = 0;
    for (int y = 0; y < kSide; ++y) {
        const std::uint8_t* ra = a + static_cast<std::size_t>(y) * strideA;
        const std::uint8_t* rb = b + static_cast<std::size_t>(y) * strideB;
        __m256i acc = _mm256_setzero_si256();
        for (int x = 0; x < kSide * 4; x += 32) {
            const __m256i pa = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ra + x));
            const __m256i pb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rb + x));
            acc = _mm256_add_epi64(
                acc, _mm256_sad_epu8(_mm256_and_si256(pa, colour), _mm256_and_si256(pb, colour)));
        }
        const __m128i half =
            _mm_add_epi64(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
        sum += _mm_cvtsi128_si64(half) + _mm_cvtsi128_si64(_mm_srli_si128(half, 8));
        if (sum > limit)
            return sum;
    }
    return sum;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");

} // namespace
#endif

std::int64_t cellDifference(const std::uint8_t* a, std::size_t strideA, const std::uint8_t* b,
                            std::size_t strideB, std::int64_t limit) {
#ifdef PARVANE_TILES_AVX2
    if (kHasAvx2)
        return cellDifferenceAvx2(a, strideA, b, strideB, limit);
#endif
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
