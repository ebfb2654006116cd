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

// Division of a list's channel sums by its total, done by a multiply with the rounded-up
// reciprocal where that is exact (totals up to 4096 for quotients up to 255), since a pass
// makes one division per channel and pixel.
class ListDivisor {
public:
    explicit ListDivisor(int total) : total_(total) {
        if (total > 0 && total <= 4096)
            reciprocal_ = ((std::uint64_t{1} << 32) + static_cast<std::uint64_t>(total) - 1) /
                          static_cast<std::uint64_t>(total);
    }
    std::uint8_t operator()(int sum) const {
        if (total_ <= 0)
            return channelValue(sum, total_);
        if (sum <= 0)
            return 0; // truncated toward zero and clamped
        if (sum >= 255 * total_)
            return 255;
        if (reciprocal_ != 0)
            return static_cast<std::uint8_t>((static_cast<std::uint64_t>(sum) * reciprocal_) >> 32);
        return static_cast<std::uint8_t>(sum / total_);
    }

private:
    int total_;
    std::uint64_t reciprocal_ = 0;
};

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

namespace {

// First pass: horizontal, each source row through the column lists into a tw x sh intermediate
// picture of clamped 8-bit channels (three bytes a pixel, rows midStride apart). Rows are taken
// kBlock at a time: the channel caches hold kBlock rows side by side for every source column,
// so the multiply-add over a list runs across kBlock rows at once.
std::vector<std::uint8_t> resampleRows(const Bitmap& source, int tw,
                                       const ContributorTable& columns) {
    const int sw = source.width();
    const int sh = source.height();
    const std::size_t midStride = 3 * static_cast<std::size_t>(tw);
    std::vector<std::uint8_t> middle(midStride * static_cast<std::size_t>(sh));
    std::uint8_t* const mid = middle.data();
    const std::size_t* const offsets = columns.offsets.data();
    const Contributor* const contributors = columns.contributors.data();
    // 16-bit caches: channel values and weights (at most 256 in size) both fit, and their
    // products widen to 32 bits, which vectorises well.
    constexpr int kBlock = 16;
    std::vector<std::int16_t> red(static_cast<std::size_t>(sw) * kBlock), green(red.size()),
        blue(red.size());
    for (int y0 = 0; y0 < sh; y0 += kBlock) {
        const int rows = std::min(kBlock, sh - y0);
        for (int r = 0; r < kBlock; ++r) {
            // A short last block repeats its last row; the copies are not stored.
            const std::uint8_t* s = source.row(y0 + std::min(r, rows - 1));
            for (int x = 0; x < sw; ++x, s += 3) {
                blue[x * kBlock + r] = s[0];
                green[x * kBlock + r] = s[1];
                red[x * kBlock + r] = s[2];
            }
        }
        for (int i = 0; i < tw; ++i) {
            int sumR[kBlock] = {}, sumG[kBlock] = {}, sumB[kBlock] = {};
            int total = 0;
            for (std::size_t k = offsets[i]; k < offsets[i + 1]; ++k) {
                const Contributor c = contributors[k];
                const std::int16_t* cr = red.data() + static_cast<std::size_t>(c.index) * kBlock;
                const std::int16_t* cg = green.data() + static_cast<std::size_t>(c.index) * kBlock;
                const std::int16_t* cb = blue.data() + static_cast<std::size_t>(c.index) * kBlock;
                const auto weight = static_cast<std::int16_t>(c.weight);
                for (int r = 0; r < kBlock; ++r) {
                    sumR[r] += cr[r] * weight;
                    sumG[r] += cg[r] * weight;
                    sumB[r] += cb[r] * weight;
                }
                total += c.weight;
            }
            const ListDivisor divide(total);
            for (int r = 0; r < rows; ++r) {
                std::uint8_t* d = mid + midStride * static_cast<std::size_t>(y0 + r) + 3 * i;
                d[0] = divide(sumB[r]);
                d[1] = divide(sumG[r]);
                d[2] = divide(sumR[r]);
            }
        }
    }
    return middle;
}

// Second pass: vertical. Each target row is the weighted sum of whole intermediate rows, which
// gives the same integer sums as walking the columns but reads memory in order.
void resampleColumns(const std::vector<std::uint8_t>& middle, const ContributorTable& rows,
                     Bitmap& target) {
    const std::size_t midStride = 3 * static_cast<std::size_t>(target.width());
    const int th = target.height();
    std::vector<int> sums(midStride);
    for (int i = 0; i < th; ++i) {
        std::fill(sums.begin(), sums.end(), 0);
        int total = 0;
        for (std::size_t k = rows.offsets[i]; k < rows.offsets[i + 1]; ++k) {
            const Contributor c = rows.contributors[k];
            const std::uint8_t* __restrict m =
                middle.data() + midStride * static_cast<std::size_t>(c.index);
            int* __restrict acc = sums.data();
            const int weight = c.weight;
            for (std::size_t n = 0; n < midStride; ++n)
                acc[n] += m[n] * weight;
            total += c.weight;
        }
        std::uint8_t* d = target.row(i);
        const ListDivisor divide(total);
        for (std::size_t n = 0; n < midStride; ++n)
            d[n] = divide(sums[n]);
    }
}

} // namespace

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

    const ContributorTable columns = buildContributors(sw, tw, scaleX, filter, radius);
    const std::vector<std::uint8_t> middle = resampleRows(source, tw, columns);
    resampleColumns(middle, buildContributors(sh, th, scaleY, filter, radius), target);
}

} // namespace parvane::imaging
