#include "imaging/RleCodecs.h"

#include <gtest/gtest.h>
#include <vector>

using namespace parvane::imaging;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* name;
    RleResult (*decode)(std::span<const std::uint8_t>, std::span<std::uint8_t>);
    Bytes src;
    std::size_t dstSize;
    Bytes expected; // the bytes produced
    std::size_t consumed;
    bool clipped;
    std::size_t carry;
};

} // namespace

TEST(RleCodecs, DecodeWithinBothBuffers) {
    const Case cases[] = {
        // PackBits: literal, run, no-op, and a run clipped at the end of the destination.
        {"packbits literal and run",
         decodePackBits,
         {2, 1, 2, 3, 0xFE, 9},
         6,
         {1, 2, 3, 9, 9, 9},
         6,
         false,
         0},
        {"packbits 128 is skipped", decodePackBits, {0x80, 0, 5}, 1, {5}, 3, false, 0},
        {"packbits run clipped", decodePackBits, {0xFD, 7}, 2, {7, 7}, 2, true, 2},
        {"packbits literal clipped", decodePackBits, {3, 1, 2, 3, 4}, 2, {1, 2}, 5, true, 0},
        {"packbits source ends in literal", decodePackBits, {4, 1, 2}, 5, {1, 2}, 3, false, 0},
        {"packbits source ends before run value",
         decodePackBits,
         {1, 5, 6, 0xFF},
         4,
         {5, 6},
         3,
         false,
         0},
        {"packbits stops when full", decodePackBits, {0, 1, 0, 2}, 1, {1}, 2, false, 0},
        // PCX: runs of (b & 63), literals below 192, zero-length runs.
        {"pcx run and literals",
         decodePcxRle,
         {0xC3, 4, 5, 191},
         5,
         {4, 4, 4, 5, 191},
         4,
         false,
         0},
        {"pcx zero run", decodePcxRle, {0xC0, 9, 1}, 1, {1}, 3, false, 0},
        {"pcx run carried", decodePcxRle, {0xC5, 3}, 3, {3, 3, 3}, 2, true, 2},
        {"pcx run without value", decodePcxRle, {1, 0xC2}, 3, {1}, 1, false, 0},
        // PSP: n > 128 repeats n - 128 times, otherwise n literals.
        {"psp run and literal", decodePspRle, {0x83, 8, 2, 1, 2}, 5, {8, 8, 8, 1, 2}, 5, false, 0},
        {"psp zero literal", decodePspRle, {0, 0x81, 4}, 1, {4}, 3, false, 0},
        {"psp run clipped", decodePspRle, {0xFF, 1}, 100, Bytes(100, 1), 2, true, 27},
        {"psp literal past source", decodePspRle, {5, 1}, 5, {1}, 2, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A guard byte after the destination must never change.
        Bytes dst(c.dstSize + 1, 0xAA);
        const RleResult r = c.decode(c.src, std::span(dst).first(c.dstSize));
        EXPECT_EQ(Bytes(dst.begin(), dst.begin() + static_cast<long>(r.produced)), c.expected);
        EXPECT_EQ(r.consumed, c.consumed);
        EXPECT_EQ(r.clipped, c.clipped);
        EXPECT_EQ(r.carryCount, c.carry);
        EXPECT_EQ(dst.back(), 0xAA);
        EXPECT_EQ(r.filled(std::span(dst).first(c.dstSize)), c.expected.size() == c.dstSize);
    }
}

TEST(RleCodecs, EmptyBuffersProduceNothing) {
    Bytes dst(4, 0);
    for (auto decode : {decodePackBits, decodePcxRle, decodePspRle}) {
        EXPECT_EQ(decode({}, dst).produced, 0u);
        const Bytes src{1, 2, 3};
        const RleResult r = decode(src, std::span<std::uint8_t>());
        EXPECT_EQ(r.produced, 0u);
        EXPECT_EQ(r.consumed, 0u);
    }
}
