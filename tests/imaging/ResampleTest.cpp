// Resampling with integer weights and the conversions of 16- and 8-bit pictures to the
// working bitmap.
#include "imaging/Resample.h"

#include "imaging/PixelFormatConversions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <numbers>

namespace parvane::imaging {
namespace {

Bitmap flat(int w, int h, Colour c, PixelFormat format = PixelFormat::Bits24) {
    Bitmap b(w, h, format);
    b.fill(c);
    return b;
}

TEST(Resample, MitchellWeightsAtSameSizeAre14_228_14) {
    // Same size is not an identity: each pixel is blended with its neighbours at distance 1.
    const ContributorTable t =
        buildContributors(64, 64, 63.0f / 63.0f, ResamplingFilter::Mitchell, 2.0f);
    ASSERT_EQ(t.offsets.size(), 65u);
    const std::size_t begin = t.offsets[10], end = t.offsets[11];
    ASSERT_EQ(end - begin, 3u);
    EXPECT_EQ(t.contributors[begin].index, 9);
    EXPECT_EQ(t.contributors[begin].weight, 14);
    EXPECT_EQ(t.contributors[begin + 1].weight, 228);
    EXPECT_EQ(t.contributors[begin + 2].weight, 14);
}

TEST(Resample, EdgesMirrorWithoutRepeatingTheFirstPixel) {
    const ContributorTable t = buildContributors(64, 64, 1.0f, ResamplingFilter::Mitchell, 2.0f);
    // Column 0 takes -1 as 1; column 63 takes 64 as 63.
    EXPECT_EQ(t.contributors[t.offsets[0]].index, 1);
    EXPECT_EQ(t.contributors[t.offsets[64] - 1].index, 63);
}

TEST(Resample, ShrinkingStretchesTheKernel) {
    // 1024 -> 256: about four source pixels per target pixel, a window of some 17 pairs.
    const float scale = 255.0f / 1023.0f;
    const ContributorTable t =
        buildContributors(1024, 256, scale, ResamplingFilter::Mitchell, 2.0f);
    const std::size_t n = t.offsets[128] - t.offsets[127];
    EXPECT_GE(n, 12u); // the tails round to 0 and are left out
    EXPECT_LE(n, static_cast<std::size_t>(std::floor(2 * 2.0 / scale + 1)));
    int total = 0;
    for (std::size_t k = t.offsets[127]; k < t.offsets[128]; ++k)
        total += t.contributors[k].weight;
    EXPECT_NEAR(total, 256, 4);
}

TEST(Resample, RoundsHalvesToEven) {
    // Shrinking 513 -> 2 columns with Box gives every source pixel the weight 1/512 x 256 =
    // 0.5, which rounds to the even 0: the weights vanish and the lists stay empty.
    const ContributorTable box =
        buildContributors(513, 2, 1.0f / 512.0f, ResamplingFilter::Box, 0.5f);
    EXPECT_TRUE(box.contributors.empty());
    // Triangle at 1/128 scale around centre 128: weight 2 x (1 - t). Distance 32 (t = 0.25)
    // gives 1.5, which rounds up to 2; distance 96 (t = 0.75) gives 0.5, which rounds to 0.
    const ContributorTable tri =
        buildContributors(257, 3, 1.0f / 128.0f, ResamplingFilter::Triangle, 1.0f);
    std::map<int, int> weights;
    for (std::size_t k = tri.offsets[1]; k < tri.offsets[2]; ++k)
        weights[tri.contributors[k].index] = tri.contributors[k].weight;
    EXPECT_EQ(weights[96], 2);
    EXPECT_EQ(weights.count(32), 0u);
    EXPECT_EQ(weights[128], 2);
}

TEST(Resample, FlatColourStaysFlatForEveryFilter) {
    for (int f = 0; f <= 6; ++f) {
        SCOPED_TRACE(f);
        const auto filter = static_cast<ResamplingFilter>(f);
        for (const auto& [w, h] : {std::pair{256, 256}, std::pair{17, 3}, std::pair{64, 32}}) {
            Bitmap source = flat(40, 40, {200, 17, 99});
            Bitmap target;
            ResampleBitmap(w, h, filter, 0.0f, source, target);
            ASSERT_EQ(target.width(), w);
            ASSERT_EQ(target.height(), h);
            ASSERT_EQ(target.format(), PixelFormat::Bits24);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(target.pixel(x, y), (Colour{200, 17, 99})) << x << "," << y;
        }
    }
}

TEST(Resample, SharpEdgesClampInsteadOfWrapping) {
    // Black and white halves: Mitchell's negative lobes overshoot on both sides of the edge.
    Bitmap source(64, 64, PixelFormat::Bits24);
    source.fillRect({32, 0, 64, 64}, colours::kWhite);
    Bitmap target;
    ResampleBitmap(150, 64, ResamplingFilter::Lanczos3, 0.0f, source, target);
    bool sawBlack = false, sawWhite = false;
    for (int x = 0; x < 150; ++x) {
        const Colour c = target.pixel(x, 10);
        // No wrap-around: values near the edge stay monotonic from black to white.
        if (x > 0) {
            EXPECT_GE(c.red, target.pixel(x - 1, 10).red - 40) << x;
        }
        sawBlack |= c.red == 0;
        sawWhite |= c.red == 255;
    }
    EXPECT_TRUE(sawBlack);
    EXPECT_TRUE(sawWhite);
    EXPECT_EQ(target.pixel(0, 0).red, 0);
    EXPECT_EQ(target.pixel(149, 0).red, 255);
}

TEST(Resample, SameSizeMitchellBlendsNeighbours) {
    // One white column on black: the neighbours get 14/256 of white, the column 228/256.
    Bitmap source(64, 64, PixelFormat::Bits24);
    source.fillRect({20, 0, 21, 64}, colours::kWhite);
    Bitmap target;
    ResampleBitmap(64, 64, ResamplingFilter::Mitchell, 0.0f, source, target);
    EXPECT_EQ(target.pixel(19, 30).red, 255 * 14 / 256);
    EXPECT_EQ(target.pixel(20, 30).red, 255 * 228 / 256);
    EXPECT_EQ(target.pixel(21, 30).red, 255 * 14 / 256);
    EXPECT_EQ(target.pixel(22, 30).red, 0);
}

TEST(Resample, ThirtyTwoBitSourceBecomes24BitsAndLosesItsFourthByte) {
    Bitmap source = flat(8, 8, {1, 2, 3}, PixelFormat::Bits32);
    source.row(0)[3] = 77;
    Bitmap target;
    ResampleBitmap(16, 16, ResamplingFilter::Mitchell, 0.0f, source, target);
    EXPECT_EQ(source.format(), PixelFormat::Bits24);
    EXPECT_EQ(target.format(), PixelFormat::Bits24);
    EXPECT_EQ(target.pixel(5, 5), (Colour{1, 2, 3}));
}

TEST(Resample, DegenerateSizesStayInsideTheSource) {
    // One-pixel sources, one-pixel and tiny shrink targets and zero sides: no reads outside
    // the source (checked under the sanitizers) and sensible colours.
    struct Case {
        int sw, sh, tw, th;
    };
    for (const Case c :
         {Case{1, 1, 64, 64}, Case{1, 40, 7, 2}, Case{300, 1, 2, 1}, Case{300, 300, 1, 1},
          Case{300, 300, 2, 2}, Case{5, 5, 0, 9}, Case{0, 5, 9, 9}, Case{64, 64, 1, 300}}) {
        SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " -> " +
                     std::to_string(c.tw) + "x" + std::to_string(c.th));
        for (int f = 0; f <= 6; ++f) {
            Bitmap source = flat(c.sw, c.sh, {10, 20, 30});
            Bitmap target;
            ResampleBitmap(c.tw, c.th, static_cast<ResamplingFilter>(f), 0.0f, source, target);
            ASSERT_EQ(target.width(), c.tw);
            ASSERT_EQ(target.height(), c.th);
            if (c.sw > 0 && c.sh > 0 && c.tw > 0 && c.th > 0) {
                EXPECT_EQ(target.pixel(c.tw - 1, c.th - 1), (Colour{10, 20, 30}));
            }
        }
    }
}

// The seven kernels as the filters define them, with their default radii. Mitchell is the
// Mitchell-Netravali cubic in its general form, with B = C = 1/3.
double referenceKernel(ResamplingFilter filter, double x) {
    const double t = std::abs(x);
    const auto sinc = [](double v) {
        const double pv = std::numbers::pi * v;
        return v == 0.0 ? 1.0 : std::sin(pv) / pv;
    };
    switch (filter) {
    case ResamplingFilter::Box:
        return x > -0.5 && x <= 0.5 ? 1.0 : 0.0;
    case ResamplingFilter::Triangle:
        return t < 1.0 ? 1.0 - t : 0.0;
    case ResamplingFilter::Hermite:
        return t < 1.0 ? 2.0 * t * t * t - 3.0 * t * t + 1.0 : 0.0;
    case ResamplingFilter::Bell:
        return t < 0.5 ? 0.75 - t * t : t < 1.5 ? (t - 1.5) * (t - 1.5) / 2.0 : 0.0;
    case ResamplingFilter::Spline:
        return t < 1.0   ? t * t * t / 2.0 - t * t + 2.0 / 3.0
               : t < 2.0 ? std::pow(2.0 - t, 3) / 6.0
                         : 0.0;
    case ResamplingFilter::Lanczos3:
        return t < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
    case ResamplingFilter::Mitchell: {
        const double b = 1.0 / 3.0, c = 1.0 / 3.0;
        if (t < 1.0)
            return ((12 - 9 * b - 6 * c) * t * t * t + (-18 + 12 * b + 6 * c) * t * t +
                    (6 - 2 * b)) /
                   6;
        if (t < 2.0)
            return ((-b - 6 * c) * t * t * t + (6 * b + 30 * c) * t * t + (-12 * b - 48 * c) * t +
                    (8 * b + 24 * c)) /
                   6;
        return 0.0;
    }
    }
    return 0.0;
}
constexpr std::array<float, 7> kReferenceRadius{0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

// The resampler as written out step by step: one list of (source index, weight) per target
// pixel, pass one row by row, pass two column by column, one output pixel at a time with a
// division per channel.
Bitmap referenceResample(const Bitmap& source24, int tw, int th, ResamplingFilter filter) {
    const float radius = kReferenceRadius[static_cast<int>(filter)];
    const int sw = source24.width(), sh = source24.height();
    auto scaleOf = [](int t, int s) {
        return (s == 1 || t == 1) ? static_cast<float>(t) / static_cast<float>(s)
                                  : static_cast<float>(t - 1) / static_cast<float>(s - 1);
    };
    using Lists = std::vector<std::vector<std::pair<int, int>>>;
    auto listsFor = [&](int s, int t) {
        const float scale = scaleOf(t, s);
        const float w = scale >= 1.0f ? radius : radius / scale;
        Lists lists(t);
        for (int i = 0; i < t; ++i) {
            const float center = static_cast<float>(i) / scale;
            for (int j = static_cast<int>(std::floor(center - w));
                 j <= static_cast<int>(std::ceil(center + w)); ++j) {
                const double d = center - static_cast<float>(j);
                const double f = scale >= 1.0f ? referenceKernel(filter, d)
                                               : referenceKernel(filter, d * scale) * scale;
                const int weight = static_cast<int>(std::nearbyint(f * 256.0)); // halves to even
                // Mirrored at the edges; what still falls outside a tiny source is clamped.
                const int mirrored = j < 0 ? -j : j >= s ? 2 * s - 1 - j : j;
                if (weight != 0)
                    lists[i].push_back({std::clamp(mirrored, 0, s - 1), weight});
            }
        }
        return lists;
    };
    auto pixelFrom = [](const Lists& lists, int i, auto&& channel) {
        int sums[3] = {}, total = 0;
        for (const auto& [index, weight] : lists[i]) {
            for (int ch = 0; ch < 3; ++ch)
                sums[ch] += channel(index, ch) * weight;
            total += weight;
        }
        std::array<std::uint8_t, 3> out{};
        for (int ch = 0; ch < 3; ++ch) {
            const int v = total != 0 ? sums[ch] / total
                                     : static_cast<int>(static_cast<std::uint32_t>(sums[ch]) >> 8);
            out[ch] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
        }
        return out;
    };
    Bitmap middle(tw, sh, PixelFormat::Bits24);
    const Lists cols = listsFor(sw, tw);
    for (int y = 0; y < sh; ++y)
        for (int i = 0; i < tw; ++i) {
            const auto p =
                pixelFrom(cols, i, [&](int x, int ch) { return source24.row(y)[3 * x + ch]; });
            std::copy(p.begin(), p.end(), middle.row(y) + 3 * i);
        }
    Bitmap target(tw, th, PixelFormat::Bits24);
    const Lists rows = listsFor(sh, th);
    for (int x = 0; x < tw; ++x)
        for (int i = 0; i < th; ++i) {
            const auto p =
                pixelFrom(rows, i, [&](int y, int ch) { return middle.row(y)[3 * x + ch]; });
            std::copy(p.begin(), p.end(), target.row(i) + 3 * x);
        }
    return target;
}

TEST(Resample, MatchesTheStepByStepComputationExactly) {
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(seed >> 24);
    };
    struct Case {
        int sw, sh, tw, th;
    };
    for (const Case c : {Case{64, 64, 64, 64}, Case{37, 29, 128, 77}, Case{200, 130, 64, 32},
                         Case{1024, 40, 256, 19}, Case{5, 300, 3, 2}}) {
        Bitmap source(c.sw, c.sh, PixelFormat::Bits24);
        for (auto& b : source.bytes())
            b = next();
        // Hard edges, where negative lobes overshoot.
        source.fillRect({0, 0, c.sw / 3, c.sh / 2}, colours::kWhite);
        for (int f = 0; f <= 6; ++f) {
            SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " -> " +
                         std::to_string(c.tw) + "x" + std::to_string(c.th) + " filter " +
                         std::to_string(f));
            const auto filter = static_cast<ResamplingFilter>(f);
            Bitmap copy = source;
            Bitmap fast;
            ResampleBitmap(c.tw, c.th, filter, 0.0f, copy, fast);
            ASSERT_TRUE(fast == referenceResample(source, c.tw, c.th, filter));
        }
    }
}

TEST(Resample, FilterNamesRoundTrip) {
    for (int f = 0; f <= 6; ++f) {
        const auto filter = static_cast<ResamplingFilter>(f);
        EXPECT_EQ(filterFromName(filterName(filter)), filter);
    }
    EXPECT_EQ(filterFromName("mitchell"), ResamplingFilter::Mitchell);
    EXPECT_EQ(filterFromName("lanczos"), std::nullopt);
}

TEST(PixelFormatConversions, FifteenBitTopBitBecomesAlpha) {
    // Odd width: each pixel's alpha comes from its own word, not a neighbour's.
    Bitmap b(3, 2, PixelFormat::Bits15);
    const std::uint16_t words[6] = {0x8000, 0x7FFF, 0xFC00, 0x001F, 0x83E0, 0x0000};
    for (int i = 0; i < 6; ++i) {
        b.row(i / 3)[2 * (i % 3)] = static_cast<std::uint8_t>(words[i]);
        b.row(i / 3)[2 * (i % 3) + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    Convert15BitsTo32Bits(b);
    ASSERT_EQ(b.format(), PixelFormat::Bits32);
    EXPECT_EQ(b.alphaAt(0, 0), 255);
    EXPECT_EQ(b.pixel(0, 0), colours::kBlack);
    EXPECT_EQ(b.alphaAt(1, 0), 0);
    EXPECT_EQ(b.pixel(1, 0), colours::kWhite); // 31 widens to 255
    EXPECT_EQ(b.alphaAt(2, 0), 255);
    EXPECT_EQ(b.pixel(2, 0), colours::kRed);
    EXPECT_EQ(b.alphaAt(0, 1), 0);
    EXPECT_EQ(b.pixel(0, 1), (Colour{0, 0, 255}));
    EXPECT_EQ(b.alphaAt(1, 1), 255);
    EXPECT_EQ(b.pixel(1, 1), (Colour{0, 255, 0}));
}

TEST(PixelFormatConversions, EightBitIndexZeroIsTransparent) {
    Bitmap page(4, 4, PixelFormat::Bits8);
    std::vector<Colour> palette(256, colours::kBlack);
    palette[0] = colours::kMagenta;
    palette[7] = {1, 2, 3};
    page.setPalette(palette);
    Bitmap allZero = page;
    Convert8BitsTo32Bits(allZero);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(allZero.alphaAt(x, y), 0);
            ASSERT_EQ(allZero.pixel(x, y), colours::kMagenta);
        }
    page.setIndex(2, 1, 7);
    Convert8BitsTo32Bits(page);
    EXPECT_EQ(page.alphaAt(2, 1), 255);
    EXPECT_EQ(page.pixel(2, 1), (Colour{1, 2, 3}));
    EXPECT_EQ(page.alphaAt(1, 1), 0);
}

TEST(PixelFormatConversions, FastPathsAgreeWithThePlainConversion) {
    for (const PixelFormat format :
         {PixelFormat::Bits8, PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
          PixelFormat::Bits32, PixelFormat::Bits4}) {
        // One pixel a row, and an odd width whose rows end in padding.
        for (const int width : {1, 13}) {
            SCOPED_TRACE(static_cast<int>(format) * 100 + width);
            Bitmap b(width, 5, format);
            if (hasPalette(format)) {
                std::vector<Colour> palette;
                for (int i = 0; i < (1 << b.bitsPerPixel()); ++i)
                    palette.push_back({static_cast<std::uint8_t>(i * 7),
                                       static_cast<std::uint8_t>(i),
                                       static_cast<std::uint8_t>(255 - i)});
                b.setPalette(palette);
            }
            for (std::size_t i = 0; i < b.bytes().size(); ++i)
                b.bytes()[i] = static_cast<std::uint8_t>(i * 37 + 11);
            EXPECT_TRUE(convertedTo32Bits(b) == b.converted(PixelFormat::Bits32));
            EXPECT_TRUE(convertedTo24Bits(b) == b.converted(PixelFormat::Bits24));
        }
    }
}

} // namespace
} // namespace parvane::imaging
