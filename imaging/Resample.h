// Separable resampling of bitmaps with integer weights: what gives resized tiles smooth,
// anti-aliased edges instead of repeated or dropped pixels.
#pragma once

#include "Bitmap.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace parvane::imaging {

// The kernels, in the order of their numbers.
enum class ResamplingFilter : int {
    Box = 0,
    Triangle = 1,
    Hermite = 2,
    Bell = 3,
    Spline = 4,
    Lanczos3 = 5,
    Mitchell = 6,
};

// The distance in source pixels beyond which the filter's kernel is zero.
double defaultRadius(ResamplingFilter filter);
// Kernel value f(x).
double filterKernel(ResamplingFilter filter, double x);
// "mitchell", "Lanczos3", ... (case ignored) for the command line.
std::optional<ResamplingFilter> filterFromName(std::string_view name);
std::string_view filterName(ResamplingFilter filter);

// Scales source to newWidth x newHeight into target (24 bits per pixel afterwards). A radius
// of 0 selects the filter's default radius. The source is converted to 24 bits in place (its
// fourth byte is gone); pass a copy when it must stay unchanged. A zero side leaves the target
// black at its new size.
void ResampleBitmap(int newWidth, int newHeight, ResamplingFilter filter, float radius,
                    Bitmap& source, Bitmap& target);

// One (source index, weight) pair of a contributor list; 256 stands for a weight of 1.0.
struct Contributor {
    int index;
    int weight;
};

// Contributor lists of one axis as flat arrays: list i is
// contributors[offsets[i] .. offsets[i + 1]).
struct ContributorTable {
    std::vector<Contributor> contributors;
    std::vector<std::size_t> offsets;
};

// Builds the lists that map sourceSize pixels onto targetSize pixels along one axis (the
// scale factor is given, as the two axes compute it differently).
ContributorTable buildContributors(int sourceSize, int targetSize, float scale,
                                   ResamplingFilter filter, float radius);

} // namespace parvane::imaging
