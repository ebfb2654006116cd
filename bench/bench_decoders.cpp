// Loading large pictures: reading the file and decoding it into a bitmap, as a Source load does.
// The 4096 x 4096 inputs are made by ImageMagick at build time (target bench_decoders_data), so
// the files are those other tools write.
#include "imaging/PcxReader.h"
#include "imaging/PsdReader.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Decoder = parvane::imaging::DecodeResult (*)(std::span<const std::uint8_t>);

// Reads a whole file in one call, as a loader should (byte iterators are far slower).
std::vector<std::uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// A read-only mapping of a whole file: the cheapest way to get its bytes, as a loader can
// (QFile::map does the same).
class MappedFile {
public:
    explicit MappedFile(const std::filesystem::path& path) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0)
            return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                             MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const std::uint8_t*>(p);
                size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data_)
            ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

void loadPicture(benchmark::State& state, const char* name, Decoder decode) {
    const std::filesystem::path path = std::filesystem::path(PARVANE_BENCH_DATA_DIR) / name;
    if (!std::filesystem::exists(path)) {
        state.SkipWithError(
            ("missing " + path.string() + ": build target bench_decoders_data").c_str());
        return;
    }
    for (auto _ : state) {
        const MappedFile file(path);
        const auto result = decode(file.bytes());
        if (!result.ok()) {
            state.SkipWithError(result.error().reason.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.bitmap().bytes().data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// Decoding alone, from bytes already in memory.
void decodePicture(benchmark::State& state, const char* name, Decoder decode) {
    const std::filesystem::path path = std::filesystem::path(PARVANE_BENCH_DATA_DIR) / name;
    if (!std::filesystem::exists(path)) {
        state.SkipWithError(("missing " + path.string()).c_str());
        return;
    }
    const auto bytes = readAll(path);
    for (auto _ : state) {
        const auto result = decode(bytes);
        benchmark::DoNotOptimize(result.ok());
    }
}

void decodePsd4096(benchmark::State& state) {
    decodePicture(state, "plasma4096.psd", parvane::imaging::decodePsd);
}
void decodePcx4096(benchmark::State& state) {
    decodePicture(state, "plasma4096.pcx", parvane::imaging::decodePcx);
}

void loadPsd4096(benchmark::State& state) {
    loadPicture(state, "plasma4096.psd", parvane::imaging::decodePsd);
}
void loadPcx4096(benchmark::State& state) {
    loadPicture(state, "plasma4096.pcx", parvane::imaging::decodePcx);
}

} // namespace

BENCHMARK(loadPsd4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(loadPcx4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(decodePsd4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(decodePcx4096)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
