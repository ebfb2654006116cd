// The tile budget analysis on a full texture set (512 x 8192, 1,024 used cells, no copies at
// all, so every cell is compared with every kept tile before it): a whole analysis, and the
// update after an edit of one cell. Two kinds of content: "textured" tiles (a colour, a
// gradient and grain of their own, as real sets are) and "noise" (every value random, every
// tile of the same mean colour: nothing coarse tells them apart, the hardest case for the
// pruning of whole pairs) and "grain" (one grey with fine grain: every coarse measure agrees,
// only the pixels tell the tiles apart, so every pair is compared in full under every
// orientation: far from any real set, it shows what the full comparison costs). The process-level
// figure is `parvane-cli tiles` under hyperfine.
#include "document/TileAnalysis.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

using parvane::document::TileAnalyser;
using parvane::document::TileOptions;
using parvane::imaging::Bitmap;
using parvane::imaging::Rect;

enum Content { Textured = 0, Noise = 1, Grain = 2 };

void paintTile(Bitmap& picture, int cell, Content content, std::mt19937& random) {
    const int left = (cell % 8) * 64;
    const int top = (cell / 8) * 64;
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> grain(-24, 24);
    const int base[3] = {any(random) / 2 + 40, any(random) / 2 + 40, any(random) / 2 + 40};
    const int slope[3] = {any(random) % 3 - 1, any(random) % 3 - 1, any(random) % 3 - 1};
    for (int y = 0; y < 64; ++y) {
        std::uint8_t* row = picture.row(top + y) + 4 * left;
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = content == Noise   ? any(random)
                              : content == Grain ? 128 + grain(random) / 3
                                                 : base[c] + slope[c] * (x + y) / 2 + grain(random);
                row[4 * x + c] = static_cast<std::uint8_t>(std::clamp(v, 1, 255));
            }
    }
}

Bitmap fullSet(Content content) {
    Bitmap picture(512, 8192);
    std::mt19937 random(2024);
    for (int cell = 0; cell < 1024; ++cell)
        paintTile(picture, cell, content, random);
    return picture;
}

// Arguments: content (0 textured, 1 noise, 2 grain), tolerance, turned copies (0 or 1).
void BM_AnalyseFullSet(benchmark::State& state) {
    const Bitmap picture = fullSet(static_cast<Content>(state.range(0)));
    const TileOptions options{static_cast<double>(state.range(1)), state.range(2) != 0};
    int kept = 0;
    for (auto _ : state) {
        const auto report = parvane::document::analyseTiles(picture, options);
        kept = report.kept;
        benchmark::DoNotOptimize(kept);
    }
    state.counters["kept"] = kept;
}
BENCHMARK(BM_AnalyseFullSet)
    ->ArgNames({"content", "tolerance", "turned"})
    ->Args({Textured, 4, 1})
    ->Args({Textured, 0, 1})
    ->Args({Noise, 4, 1})
    ->Args({Noise, 0, 1})
    ->Args({Grain, 4, 1})
    ->Unit(benchmark::kMillisecond);

// An edit of one cell: it takes one of two tiles in turn, walking over the set, and the
// analyser updates for that cell alone. Arguments as above.
void BM_UpdateAfterOneCellEdit(benchmark::State& state) {
    const auto content = static_cast<Content>(state.range(0));
    Bitmap picture = fullSet(content);
    TileAnalyser analyser;
    analyser.setOptions({static_cast<double>(state.range(1)), state.range(2) != 0});
    analyser.update(picture);
    std::mt19937 random(7);
    Bitmap tiles(512, 128);
    for (int i = 0; i < 16; ++i)
        paintTile(tiles, i, content, random);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int cell = (step * 37) % 1024;
        const Rect area = Rect::fromSize((cell % 8) * 64, (cell / 8) * 64, 64, 64);
        picture.copyRect({area.left, area.top}, tiles,
                         Rect::fromSize((step % 16) % 8 * 64, (step % 16) / 8 * 64, 64, 64));
        ++step;
        state.ResumeTiming();
        benchmark::DoNotOptimize(analyser.update(picture, {area}).kept);
    }
}
BENCHMARK(BM_UpdateAfterOneCellEdit)
    ->ArgNames({"content", "tolerance", "turned"})
    ->Args({Textured, 4, 1})
    ->Args({Noise, 4, 1})
    ->Args({Noise, 0, 1})
    ->Args({Grain, 4, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
