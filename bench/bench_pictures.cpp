// Picture hot paths: resampling a tile set picture, loading a large run-length TGA and saving
// the largest Target, each beside a reference measured in the same run (ImageMagick's convert
// doing the same work, and one plain write() of the same bytes).
#include "imaging/Resample.h"
#include "imaging/TargaGraphic.h"
#include "imaging/TgaWriter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace parvane::imaging;
using Clock = std::chrono::steady_clock;

std::filesystem::path scratch() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("parvane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

Bitmap photoLike(int w, int h, PixelFormat format) {
    Bitmap b(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y,
                       {static_cast<std::uint8_t>((x * 7) ^ y),
                        static_cast<std::uint8_t>(y * 3 + x / 5),
                        static_cast<std::uint8_t>((x + y) / 3)});
    return b;
}

// Seconds a shell command takes, or a negative value when it fails.
double timeCommand(const std::string& command) {
    const auto start = Clock::now();
    const int rc = std::system((command + " >/dev/null 2>&1").c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return rc == 0 ? seconds : -1.0;
}

void BM_ResampleMitchell1024To256(benchmark::State& state) {
    Bitmap source = photoLike(1024, 1024, PixelFormat::Bits24);
    Bitmap target;
    for (auto _ : state) {
        ResampleBitmap(256, 256, ResamplingFilter::Mitchell, 0.0f, source, target);
        benchmark::DoNotOptimize(target.row(0));
    }
}
BENCHMARK(BM_ResampleMitchell1024To256)->Unit(benchmark::kMillisecond);

// ImageMagick's resize compute time: the same resize minus the same command without it.
void BM_ImageMagickResampleMitchell1024To256(benchmark::State& state) {
    const auto file = scratch() / "source1024.tga";
    if (!SaveAsUncompTGA24bits(photoLike(1024, 1024, PixelFormat::Bits24), file)) {
        state.SkipWithError("cannot write the source picture");
        return;
    }
    const std::string in = file.string();
    for (auto _ : state) {
        const double resize =
            timeCommand("convert " + in + " -filter Mitchell -resize 256x256! null:");
        const double plain = timeCommand("convert " + in + " null:");
        if (resize < 0 || plain < 0) {
            state.SkipWithError("ImageMagick's convert is not available");
            return;
        }
        state.SetIterationTime(std::max(resize - plain, 0.0));
    }
}
BENCHMARK(BM_ImageMagickResampleMitchell1024To256)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

std::vector<std::uint8_t> rleTga4096() {
    const int side = 4096;
    Bitmap picture(side, side, PixelFormat::Bits32);
    // Runs of 8 equal pixels mixed with varied stretches, as painted texture pictures have.
    for (int y = 0; y < side; ++y) {
        std::uint8_t* r = picture.row(y);
        for (int x = 0; x < side; ++x) {
            const int v = (x % 64 < 32) ? (x / 8) * 5 + y : x * 13 + y * 7;
            r[4 * x] = static_cast<std::uint8_t>(v);
            r[4 * x + 1] = static_cast<std::uint8_t>(v >> 2);
            r[4 * x + 2] = static_cast<std::uint8_t>(y);
            r[4 * x + 3] = 255;
        }
    }
    std::vector<std::uint8_t> file = {0, 0, 10, 0, 0,    0, 0,    0,  0,
                                      0, 0, 0,  0, 0x10, 0, 0x10, 32, 0x28};
    const TTargaRLEDecoder codec(32);
    for (int y = 0; y < side; ++y) {
        const auto packed = codec.Encode({picture.row(y), 4 * static_cast<std::size_t>(side)});
        file.insert(file.end(), packed.begin(), packed.end());
    }
    return file;
}

void BM_LoadRleTga4096(benchmark::State& state) {
    const auto file = rleTga4096();
    for (auto _ : state) {
        DecodeResult r = decodeTga(file);
        if (!r.ok()) {
            state.SkipWithError(r.error().reason.c_str());
            return;
        }
        benchmark::DoNotOptimize(r.bitmap().row(0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 4096 * 4096 * 4);
}
BENCHMARK(BM_LoadRleTga4096)->Unit(benchmark::kMillisecond);

// ImageMagick reading the same file, minus its start-up (reading a 1 x 1 TGA).
void BM_ImageMagickLoadRleTga4096(benchmark::State& state) {
    const auto big = scratch() / "rle4096.tga";
    const auto tiny = scratch() / "tiny.tga";
    const auto bytes = rleTga4096();
    int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        state.SkipWithError("cannot write the source picture");
        return;
    }
    ::close(fd);
    if (!SaveAsUncompTGA24bits(Bitmap(1, 1, PixelFormat::Bits24), tiny)) {
        state.SkipWithError("cannot write the start-up picture");
        return;
    }
    for (auto _ : state) {
        const double load = timeCommand("convert " + big.string() + " null:");
        const double start = timeCommand("convert " + tiny.string() + " null:");
        if (load < 0 || start < 0) {
            state.SkipWithError("ImageMagick's convert is not available");
            return;
        }
        state.SetIterationTime(std::max(load - start, 0.0));
    }
}
BENCHMARK(BM_ImageMagickLoadRleTga4096)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_SaveTga512x8192(benchmark::State& state) {
    const Bitmap target = photoLike(512, 8192, PixelFormat::Bits24);
    const auto path = scratch() / "target.tga";
    for (auto _ : state) {
        if (!SaveAsUncompTGA24bits(target, path)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 512 * 8192 * 3);
}
BENCHMARK(BM_SaveTga512x8192)->Unit(benchmark::kMillisecond);

// The floor: creating the file and writing the same 12 MiB with one write call.
void BM_WriteOnce12MiB(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes(18 + 512 * 8192 * 3, 0x5A);
    const auto path = scratch() / "plain.bin";
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        ::close(fd);
        if (n != static_cast<ssize_t>(bytes.size())) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 512 * 8192 * 3);
}
BENCHMARK(BM_WriteOnce12MiB)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(scratch(), ec);
    return 0;
}
