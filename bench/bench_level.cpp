// Level extraction: all textures of a generation-7 level of 32 pages, beside zlib alone
// inflating the same chunks, and the peak memory of one extraction counted by a global
// allocator hook (reported as counters of BM_ExtractPeakMemory).
#include "level/LevelExtraction.h"
#include "tests/level/LevelFileWriter.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <new>
#include <zlib.h>

// The replacement operators pair malloc with free themselves; GCC cannot see that once they
// are inlined into the standard containers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::size_t gLiveBytes = 0;
std::size_t gPeakBytes = 0;

} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    gLiveBytes += malloc_usable_size(p);
    if (gLiveBytes > gPeakBytes)
        gPeakBytes = gLiveBytes;
    return p;
}
void operator delete(void* p) noexcept {
    if (p) {
        gLiveBytes -= malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using namespace parvane::level;
using namespace parvane::level::testing;

constexpr std::uint32_t kPages = 32;

// Texture-like pages: smooth gradients with some noise, so they compress like real art
// rather than like a flat colour.
std::vector<std::uint8_t> texturePages(int bytesPerPixel) {
    std::vector<std::uint8_t> out(std::size_t{kPages} * 65536 * bytesPerPixel);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < out.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t pixel = i / bytesPerPixel;
        const std::size_t x = pixel % 256, y = (pixel / 256) % 256, page = pixel / 65536;
        out[i] = static_cast<std::uint8_t>(x / 2 + y / 3 + page * 29 + (i % bytesPerPixel) * 60 +
                                           ((seed >> 16) & 3));
    }
    if (bytesPerPixel == 4)
        for (std::size_t i = 3; i < out.size(); i += 4)
            out[i] = (i / 4) % 97 == 0 ? 0 : 255;
    return out;
}

const std::vector<std::uint8_t>& levelBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        LevelRecipe recipe = richLevel(7);
        recipe.pages = kPages;
        recipe.textile32 = texturePages(4);
        recipe.textile16 = texturePages(2);
        recipe.misc = texturePages(4);
        recipe.misc.resize(4 * 262144);
        return writeLevel(recipe);
    }();
    return bytes;
}

std::uint32_t u32at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// zlib alone: inflating the three texture chunks into buffers of their declared sizes.
void BM_ZlibInflateChunksOnly(benchmark::State& state) {
    const auto& bytes = levelBytes();
    for (auto _ : state) {
        std::size_t at = 10;
        for (int chunk = 0; chunk < 3; ++chunk) {
            const uLongf declared = u32at(bytes, at);
            const uLong compressed = u32at(bytes, at + 4);
            std::vector<std::uint8_t> out(declared);
            uLongf produced = declared;
            if (uncompress(out.data(), &produced, bytes.data() + at + 8, compressed) != Z_OK)
                state.SkipWithError("uncompress failed");
            benchmark::DoNotOptimize(out.data());
            at += 8 + compressed;
        }
    }
}
BENCHMARK(BM_ZlibInflateChunksOnly)->Unit(benchmark::kMillisecond);

void BM_ExtractLevelTextures(benchmark::State& state) {
    const bool convert = state.range(0) != 0;
    for (auto _ : state) {
        Extraction e = extractLevelTexturesFromBytes(levelBytes(), "bench.DVC", convert);
        if (!e.ok())
            state.SkipWithError(e.reason().c_str());
        benchmark::DoNotOptimize(e.bitmap.bytes().data());
    }
}
BENCHMARK(BM_ExtractLevelTextures)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("convert")
    ->Unit(benchmark::kMillisecond);

void inflateChunksOnce() {
    const auto& bytes = levelBytes();
    std::size_t at = 10;
    for (int chunk = 0; chunk < 3; ++chunk) {
        const uLongf declared = u32at(bytes, at);
        const uLong compressed = u32at(bytes, at + 4);
        std::vector<std::uint8_t> out(declared);
        uLongf produced = declared;
        uncompress(out.data(), &produced, bytes.data() + at + 8, compressed);
        benchmark::DoNotOptimize(out.data());
        at += 8 + compressed;
    }
}

// Both measured in turn within each iteration, so that the load of a shared machine
// weighs on both alike; the ratio counter is extraction time over zlib time.
void BM_ExtractOverInflateRatio(benchmark::State& state) {
    const bool convert = state.range(0) != 0;
    double zlibSeconds = 0, extractSeconds = 0;
    // CPU time of this thread (page faults included), which other processes on a shared
    // machine disturb far less than wall time.
    const auto cpuNow = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    };
    const auto timed = [&](auto&& work) {
        const double start = cpuNow();
        work();
        return cpuNow() - start;
    };
    // The file's bytes are in memory for both, as zlib's input is: the copy the extraction
    // takes over is made before its clock starts.
    std::vector<std::uint8_t> file;
    const auto extract = [&] {
        Extraction e = extractLevelTexturesFromBytes(std::move(file), "bench.DVC", convert);
        benchmark::DoNotOptimize(e.bitmap.bytes().data());
    };
    bool zlibFirst = true;
    for (auto _ : state) {
        // Alternate which goes first, so neither always inherits the other's freed memory.
        file = levelBytes();
        if (zlibFirst) {
            zlibSeconds += timed(inflateChunksOnce);
            extractSeconds += timed(extract);
        } else {
            extractSeconds += timed(extract);
            zlibSeconds += timed(inflateChunksOnce);
        }
        zlibFirst = !zlibFirst;
    }
    state.counters["ratio"] = extractSeconds / zlibSeconds;
}
BENCHMARK(BM_ExtractOverInflateRatio)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("convert")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

void BM_ExtractPeakMemory(benchmark::State& state) {
    const std::size_t fileBytes = levelBytes().size();
    const std::size_t stripBytes = std::size_t{kPages} * 262144;
    double peak = 0;
    for (auto _ : state) {
        const std::size_t before = gLiveBytes;
        gPeakBytes = gLiveBytes;
        {
            Extraction e = extractLevelTexturesFromBytes(levelBytes(), "bench.DVC", true);
            benchmark::DoNotOptimize(e.bitmap.bytes().data());
        }
        peak = static_cast<double>(gPeakBytes - before);
    }
    state.counters["peak_MiB"] = peak / (1 << 20);
    state.counters["file_MiB"] = static_cast<double>(fileBytes) / (1 << 20);
    state.counters["strip_MiB"] = static_cast<double>(stripBytes) / (1 << 20);
    state.counters["bound_MiB"] = static_cast<double>(fileBytes + 4 * stripBytes) / (1 << 20);
}
BENCHMARK(BM_ExtractPeakMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
