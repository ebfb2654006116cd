#include "Resample.h"

#include "PixelFormatConversions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace parvane::imaging {

namespace {

constexpr std::string_view kFilterNames[] = {"Box",    "Triangle", "Hermite", "Bell",
                                             "Spline", "Lanczos3", "Mitchell"};

double sinc(double x) {
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

// Nearest integer, halves to the even neighbour (the default rounding mode of the FPU).
int roundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// Source index of a window position: mirrored at the edges (-1 maps to 1, SW maps to SW - 1)
// and then clamped, so that a source of one pixel or a very narrow target never reads outside.
int mirrorIndex(int j, int size) {
    if (j < 0)
        j = -j;
    else if (j >= size)
        j = 2 * size - 1 - j;
    return std::clamp(j, 0, size - 1);
}

std::uint8_t clampChannel(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// One channel value from a weighted sum: weights are normalised by their total; a list whose
// weights cancel out falls back to the sum on the 256 scale.
std::uint8_t channelValue(int sum, int total) {
    if (total != 0)
        return clampChannel(sum / total);
    return clampChannel(sum >> 8);
}

} // namespace

double defaultRadius(ResamplingFilter filter) {
    switch (filter) {
    case ResamplingFilter::Box:
        return 0.5;
    case ResamplingFilter::Triangle:
    case ResamplingFilter::Hermite:
        return 1.0;
    case ResamplingFilter::Bell:
        return 1.5;
    case ResamplingFilter::Spline:
        return 2.0;
    case ResamplingFilter::Lanczos3:
        return 3.0;
    case ResamplingFilter::Mitchell:
        return 2.0;
    }
    return 2.0;
}

double filterKernel(ResamplingFilter filter, double x) {
    const double t = std::abs(x);
    switch (filter) {
    case ResamplingFilter::Box:
        return (x > -0.5 && x <= 0.5) ? 1.0 : 0.0;
    case ResamplingFilter::Triangle:
        return t < 1.0 ? 1.0 - t : 0.0;
    case ResamplingFilter::Hermite:
        return t < 1.0 ? (2.0 * t - 3.0) * t * t + 1.0 : 0.0;
    case ResamplingFilter::Bell:
        if (t < 0.5)
            return 0.75 - t * t;
        if (t < 1.5)
            return 0.5 * (t - 1.5) * (t - 1.5);
        return 0.0;
    case ResamplingFilter::Spline:
        if (t < 1.0)
            return 0.5 * t * t * t - t * t + 2.0 / 3.0;
        if (t < 2.0)
            return (2.0 - t) * (2.0 - t) * (2.0 - t) / 6.0;
        return 0.0;
    case ResamplingFilter::Lanczos3:
        return t < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
    case ResamplingFilter::Mitchell:
        if (t < 1.0)
            return (7.0 * t * t * t - 12.0 * t * t + 16.0 / 3.0) / 6.0;
        if (t < 2.0)
            return (-7.0 / 3.0 * t * t * t + 12.0 * t * t - 20.0 * t + 32.0 / 3.0) / 6.0;
        return 0.0;
    }
    return 0.0;
}

std::optional<ResamplingFilter> filterFromName(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kFilterNames); ++i) {
        const std::string_view known = kFilterNames[i];
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return static_cast<ResamplingFilter>(i);
    }
    return std::nullopt;
}

std::string_view filterName(ResamplingFilter filter) {
    return kFilterNames[static_cast<int>(filter)];
}

ContributorTable buildContributors(int sourceSize, int targetSize, float scale,
                                   ResamplingFilter filter, float radius) {
    ContributorTable table;
    table.offsets.reserve(static_cast<std::size_t>(targetSize) + 1);
    table.offsets.push_back(0);
    const bool enlarging = scale >= 1.0f;
    const float width = enlarging ? radius : radius / scale;
    for (int i = 0; i < targetSize; ++i) {
        const float center = static_cast<float>(i) / scale;
        const int left = static_cast<int>(std::floor(center - width));
        const int right = static_cast<int>(std::ceil(center + width));
        for (int j = left; j <= right; ++j) {
            const double distance = static_cast<double>(center - static_cast<float>(j));
            const int weight =
                enlarging ? roundHalfEven(filterKernel(filter, distance) * 256.0)
                          : roundHalfEven(filterKernel(filter, distance * scale) * scale * 256.0);
            if (weight != 0)
                table.contributors.push_back({mirrorIndex(j, sourceSize), weight});
        }
        table.offsets.push_back(table.contributors.size());
    }
    return table;
}

void ResampleBitmap(int newWidth, int newHeight, ResamplingFilter filter, float radius,
                    Bitmap& source, Bitmap& target) {
    if (radius == 0.0f)
        radius = static_cast<float>(defaultRadius(filter));
    const int tw = std::max(newWidth, 0);
    const int th = std::max(newHeight, 0);
    target = Bitmap(tw, th, PixelFormat::Bits24);
    if (source.format() != PixelFormat::Bits24)
        source = convertedTo24Bits(source);
    const int sw = source.width();
    const int sh = source.height();
    if (sw == 0 || sh == 0 || tw == 0 || th == 0)
        return;

    // The (n - 1) form maps the first and last source pixels onto the first and last target
    // pixels. A single source or target pixel has no such span and uses n / n instead (a
    // target of one column would otherwise divide by a zero scale).
    const float scaleX = (sw == 1 || tw == 1)
                             ? static_cast<float>(tw) / static_cast<float>(sw)
                             : static_cast<float>(tw - 1) / static_cast<float>(sw - 1);
    const float scaleY = (sh == 1 || th == 1)
                             ? static_cast<float>(th) / static_cast<float>(sh)
                             : static_cast<float>(th - 1) / static_cast<float>(sh - 1);

    // First pass: horizontal, each source row through the column lists into a tw x sh
    // intermediate picture of clamped 8-bit channels.
    const ContributorTable columns = buildContributors(sw, tw, scaleX, filter, radius);
    std::vector<int> red(static_cast<std::size_t>(sw)), green(red.size()), blue(red.size());
    const std::size_t midStride = 3 * static_cast<std::size_t>(tw);
    std::vector<std::uint8_t> middle(midStride * static_cast<std::size_t>(sh));
    for (int y = 0; y < sh; ++y) {
        const std::uint8_t* s = source.row(y);
        for (int x = 0; x < sw; ++x, s += 3) {
            blue[x] = s[0];
            green[x] = s[1];
            red[x] = s[2];
        }
        std::uint8_t* d = middle.data() + midStride * static_cast<std::size_t>(y);
        for (int i = 0; i < tw; ++i, d += 3) {
            int sumR = 0, sumG = 0, sumB = 0, total = 0;
            for (std::size_t k = columns.offsets[i]; k < columns.offsets[i + 1]; ++k) {
                const Contributor c = columns.contributors[k];
                sumR += red[c.index] * c.weight;
                sumG += green[c.index] * c.weight;
                sumB += blue[c.index] * c.weight;
                total += c.weight;
            }
            d[0] = channelValue(sumB, total);
            d[1] = channelValue(sumG, total);
            d[2] = channelValue(sumR, total);
        }
    }

    // Second pass: vertical. Each target row is the weighted sum of whole intermediate rows,
    // which gives the same integer sums as walking the columns but reads memory in order.
    const ContributorTable rows = buildContributors(sh, th, scaleY, filter, radius);
    std::vector<int> sums(midStride);
    for (int i = 0; i < th; ++i) {
        std::fill(sums.begin(), sums.end(), 0);
        int total = 0;
        for (std::size_t k = rows.offsets[i]; k < rows.offsets[i + 1]; ++k) {
            const Contributor c = rows.contributors[k];
            const std::uint8_t* m = middle.data() + midStride * static_cast<std::size_t>(c.index);
            for (std::size_t n = 0; n < midStride; ++n)
                sums[n] += m[n] * c.weight;
            total += c.weight;
        }
        std::uint8_t* d = target.row(i);
        for (std::size_t n = 0; n < midStride; ++n)
            d[n] = channelValue(sums[n], total);
    }
}

} // namespace parvane::imaging
