// The level file reader: the memory file, the recognition of the generation, the texture
// section and the reader's lifecycle. The walk through the level data lives in
// LevelDataWalk.cpp, the generation-7 rooms in RoomGeometry.cpp.
#include "level/dvunit3_modif.h"

#include "imaging/FailureReason.h"
#include "level/LevelReaderInternal.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

namespace parvane::level {

using detail::LevelDamaged;
namespace reasons = imaging::reasons;

int generationFor(std::uint32_t version, const std::string& fileName) {
    const auto contains = [&](const char* s) { return fileName.find(s) != std::string::npos; };
    switch (version) {
    case kVersionDv1:
        return (contains(".DVX") || contains(".dvx")) ? 2 : 1;
    case kVersionDv2:
        return (contains(".DVG") || contains(".dvg")) ? 4 : 3;
    case kVersionDv3a:
    case kVersionDv3b:
        return 5;
    case kVersionDv4Tag:
    case kVersionDv4:
        return (contains(".DVC") || contains(".dvc")) ? 7 : 6;
    default:
        return 0;
    }
}

const char* generationLabel(int generation) {
    switch (generation) {
    case 1:
        return "DV1";
    case 2:
        return "DV1 expansion";
    case 3:
        return "DV2";
    case 4:
        return "DV2, .DVG files";
    case 5:
        return "DV3";
    case 6:
        return "DV4";
    case 7:
        return "DV5";
    default:
        return "";
    }
}

// ---------------------------------------------------------------------------------------
// LoadResult

namespace {

imaging::Status statusOf(LoadStatus status) {
    using imaging::FailureKind;
    switch (status) {
    case LoadStatus::Ok:
        return {};
    case LoadStatus::Missing:
        return imaging::Status::failure(FailureKind::FileMissing, {});
    case LoadStatus::NotLevel:
        return imaging::Status::failure(FailureKind::NotThisFormat, {});
    case LoadStatus::Damaged:
        return imaging::Status::failure(FailureKind::Damaged, {});
    case LoadStatus::Unreadable:
        break;
    }
    return imaging::Status::failure(FailureKind::Unsupported, {});
}

} // namespace

LoadResult::LoadResult(LoadStatus status) : imaging::Status(statusOf(status)) {}

LoadStatus LoadResult::status() const {
    if (ok())
        return LoadStatus::Ok;
    switch (error().kind) {
    case imaging::FailureKind::FileMissing:
        return LoadStatus::Missing;
    case imaging::FailureKind::NotThisFormat:
        return LoadStatus::NotLevel;
    case imaging::FailureKind::Damaged:
    case imaging::FailureKind::TooLarge:
    case imaging::FailureKind::NoMemory:
        return LoadStatus::Damaged;
    default:
        return LoadStatus::Unreadable;
    }
}

// ---------------------------------------------------------------------------------------
// TMemFile

imaging::Status TMemFile::MemFileReset(std::uint16_t recordSize) {
    using imaging::FailureKind;
    std::error_code ec;
    const auto size = std::filesystem::file_size(fileName_, ec);
    if (ec)
        return imaging::Failure{FailureKind::Unsupported, ec.message()};
    // The level reader's old words for this limit, not its new pattern: they are what the
    // user has been shown for a file read from the disk.
    if (size > kMaxLevelFileBytes)
        return imaging::Failure{FailureKind::TooLarge,
                                "the file is larger than " +
                                    std::to_string(kMaxLevelFileBytes >> 20) + " MiB"};
    std::ifstream in(fileName_, std::ios::binary);
    if (!in)
        return imaging::Failure{FailureKind::Unsupported, "the file cannot be opened"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!bytes.empty() &&
        !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return imaging::Failure{FailureKind::Unsupported, "the file cannot be read"};
    return MemFileResetFromBytes(std::move(bytes), recordSize);
}

imaging::Status TMemFile::MemFileResetFromBytes(std::vector<std::uint8_t> bytes,
                                                std::uint16_t recordSize) {
    recordSize_ = recordSize == 0 ? 1 : recordSize;
    imaging::Status loaded = loadImage(std::move(bytes));
    if (!loaded)
        image_.clear();
    rewind(0);
    return loaded;
}

imaging::Status TMemFile::loadImage(std::vector<std::uint8_t> bytes) {
    if (bytes.size() > 12 && std::memcmp(bytes.data(), "ZLIB", 4) == 0) {
        const auto u32at = [&](std::size_t at) {
            return static_cast<std::uint32_t>(bytes[at]) | (std::uint32_t{bytes[at + 1]} << 8) |
                   (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
        };
        const std::size_t compressed = u32at(4);
        const std::size_t inflated = u32at(8);
        if (compressed > bytes.size() - 12)
            return imaging::Status::damaged(
                "the ZLIB container declares " + std::to_string(compressed) +
                " compressed bytes, the file holds " + std::to_string(bytes.size() - 12));
        auto out = detail::inflateChunk(std::span(bytes).subspan(12, compressed), inflated,
                                        maxInflatedBytes_);
        if (!out)
            return imaging::Failure{out.error().kind, "ZLIB container: " + out.error().reason};
        image_ = std::move(out).value();
        return {};
    }
    image_ = std::move(bytes);
    return {};
}

void TMemFile::rewind(std::size_t position) {
    reader_ = imaging::ByteReader(image_);
    reader_.seek(std::min(position, image_.size()));
}

std::size_t TMemFile::MemFileRead(void* destination, std::size_t count) {
    const std::size_t wanted = count * recordSize_;
    const std::size_t n = std::min(wanted, remaining());
    if (n > 0)
        std::memcpy(destination, image_.data() + MemFilePos(), n);
    reader_.skip(n);
    return n;
}

void TMemFile::MemFileWrite(const void* source, std::size_t count) {
    const std::size_t n = count * recordSize_;
    if (n == 0)
        return;
    const std::size_t position = MemFilePos();
    if (position + n > image_.size())
        image_.resize(position + n);
    std::memcpy(image_.data() + position, source, n);
    rewind(position + n);
}

void TMemFile::MemFileClose() {
    image_.clear();
    image_.shrink_to_fit();
    rewind(0);
}

float TMemFile::f32() {
    const std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void TMemFile::beginWindow(std::size_t end) {
    const std::size_t position = MemFilePos();
    reader_ = imaging::ByteReader(
        std::span<const std::uint8_t>(image_).first(std::min(end, image_.size())));
    reader_.seek(position);
}

void TMemFile::endWindow() {
    rewind(MemFilePos());
}

// ---------------------------------------------------------------------------------------
// Tdvlevel: loading

LoadResult Tdvlevel::LoadLevel(const std::string& fileName, bool texturesOnly) {
    return open(fileName, texturesOnly, [&]() -> LoadResult {
        std::error_code ec;
        if (!std::filesystem::exists(fileName, ec))
            return LoadStatus::Missing;
        imaging::Status reset = file_.MemFileReset(1);
        if (!reset)
            return reset;
        return LoadStatus::Ok;
    });
}

LoadResult Tdvlevel::LoadLevelFromBytes(std::vector<std::uint8_t> bytes,
                                        const std::string& fileName, bool texturesOnly) {
    return open(fileName, texturesOnly, [&]() -> LoadResult {
        if (bytes.size() > kMaxLevelFileBytes)
            return imaging::Failure{imaging::FailureKind::TooLarge,
                                    reasons::format(reasons::kLevelLargerThan,
                                                    {std::to_string(kMaxLevelFileBytes >> 20)})};
        imaging::Status reset = file_.MemFileResetFromBytes(std::move(bytes), 1);
        if (!reset)
            return reset;
        return LoadStatus::Ok;
    });
}

LoadResult Tdvlevel::open(const std::string& fileName, bool texturesOnly,
                          const std::function<LoadResult()>& reset) {
    setGauge(0);
    if (model_.LoadedMarker) {
        FreeLevelData();
        setGauge(10);
    }
    file_.MemFileAssign(fileName);
    file_.setMaxInflatedBytes(maxInflatedBytes);
    LoadResult result = reset();
    if (result.ok())
        result = load(texturesOnly);
    else if (result.status() != LoadStatus::Missing)
        file_.MemFileClose();
    setGauge(0);
    return result;
}

LoadResult Tdvlevel::load(bool texturesOnly) {
    // A file too short to hold a Version is no level file, whatever an earlier load left in
    // Version.
    const std::uint32_t version = file_.u32();
    const int generation = file_.failed() ? 0 : generationFor(version, file_.fileName());
    if (generation == 0) {
        file_.MemFileClose();
        Version = 0;
        return LoadStatus::NotLevel;
    }
    Version = version;
    Generation = 0;
    model_.LoadedMarker = true;
    Generation = generation;
    paletteRead_ = false;
    animatedListRead_ = false;
    std::string failure;
    bool noMemory = false;
    try {
        if (Generation <= 5) {
            readTexturesClassic();
        } else {
            readTexturesCompressed();
            if (Generation == 6)
                readCompressedLevelData();
        }
        if (texturesOnly && Generation >= 3) {
            file_.MemFileClose();
            return LoadStatus::Ok;
        }
        walkLevelData();
    } catch (const LevelDamaged& e) {
        // The palette of generations 1-2 lies near the end of the file: a file that ends (or
        // is damaged) behind it still holds everything the extractions use.
        const bool wantedWasRead =
            Generation <= 2 && paletteRead_ && (texturesOnly || animatedListRead_);
        if (!wantedWasRead)
            failure = e.what();
    } catch (const std::bad_alloc&) {
        noMemory = true;
        failure = "the level needs more memory than is available";
    }
    file_.MemFileClose();
    if (!failure.empty()) {
        FreeLevelData();
        return imaging::Failure{noMemory ? imaging::FailureKind::NoMemory
                                         : imaging::FailureKind::Damaged,
                                std::move(failure)};
    }
    setGauge(100);
    return LoadStatus::Ok;
}

void Tdvlevel::readTexturesClassic() {
    if (Generation >= 3) {
        const auto palette8 = file_.take(model_.Palette8.size());
        const auto palette16 = file_.take(model_.Palette16.size());
        if (file_.failed())
            throw LevelDamaged(reasons::kLevelEndsInPalettes);
        std::memcpy(model_.Palette8.data(), palette8.data(), model_.Palette8.size());
        std::memcpy(model_.Palette16.data(), palette16.data(), model_.Palette16.size());
    }
    const std::uint32_t pages = file_.u32();
    if (file_.failed())
        throw LevelDamaged(reasons::kLevelEndsBeforePageCount);
    if (pages > kMaxPages)
        throw LevelDamaged(reasons::format(reasons::kLevelPageCount,
                                           {std::to_string(pages), std::to_string(kMaxPages)}));
    model_.NumTextiles = pages;
    model_.textile8Bytes = pages * static_cast<std::uint32_t>(kPage8Bytes);
    setGauge(30);
    const std::size_t bytes8 = std::size_t{pages} * kPage8Bytes;
    const std::size_t bytes16 = Generation >= 3 ? std::size_t{pages} * kPage16Bytes : 0;
    if (bytes8 + bytes16 > file_.remaining())
        throw LevelDamaged(reasons::format(
            reasons::kLevelPagesNeed, {std::to_string(pages), reasons::grouped(bytes8 + bytes16),
                                       reasons::grouped(file_.remaining())}));
    const auto pages8 = file_.take(bytes8);
    model_.Textile8.assign(pages8.begin(), pages8.end());
    if (Generation >= 3) {
        const auto pages16 = file_.take(bytes16);
        model_.Textile16.assign(pages16.begin(), pages16.end());
    }
    setGauge(50);
}

namespace {

// Reads the two size fields and the stream of one zlib chunk and inflates it.
std::vector<std::uint8_t> readChunk(TMemFile& file, const char* what, std::uint32_t& inflated,
                                    std::uint32_t& compressed, std::size_t cap) {
    inflated = file.u32();
    compressed = file.u32();
    if (file.failed())
        throw LevelDamaged(std::string("the file ends before the sizes of the ") + what);
    if (compressed > file.remaining())
        throw LevelDamaged(std::string("the ") + what + " declares " + std::to_string(compressed) +
                           " compressed bytes, only " + std::to_string(file.remaining()) +
                           " are left");
    auto chunk = detail::inflateChunk(file.take(compressed), inflated, cap);
    if (!chunk)
        throw LevelDamaged(std::string("the ") + what + ": " + chunk.error().reason);
    std::vector<std::uint8_t> out = std::move(chunk).value();
    // The length actually produced replaces what the file states.
    inflated = static_cast<std::uint32_t>(out.size());
    return out;
}

} // namespace

void Tdvlevel::readTexturesCompressed() {
    model_.numRoomPages = file_.u16();
    model_.numObjectPages = file_.u16();
    model_.numBumpPages = file_.u16();
    if (file_.failed())
        throw LevelDamaged(reasons::kLevelEndsInTextureHeader);
    model_.Textile32 = readChunk(file_, "32-bit texture chunk", model_.inflated32,
                                 model_.compressed32, maxInflatedBytes);
    setGauge(20);
    model_.Textile16 = readChunk(file_, "16-bit texture chunk", model_.inflated16,
                                 model_.compressed16, maxInflatedBytes);
    setGauge(30);
    model_.MiscTextiles = readChunk(file_, "third texture chunk", model_.inflatedMisc,
                                    model_.compressedMisc, maxInflatedBytes);
    setGauge(40);

    // Both the 16-bit and the 32-bit pages are counted from the 16-bit chunk.
    const std::size_t pages = model_.Textile16.size() / kPage16Bytes;
    if (pages > kMaxPages)
        throw LevelDamaged(reasons::format(reasons::kLevelPageCount,
                                           {std::to_string(pages), std::to_string(kMaxPages)}));
    // A 32-bit chunk that holds fewer pages is read as far as it goes; the page strip leaves
    // the pages it lacks transparent.
    model_.NumTextiles = static_cast<std::uint32_t>(pages);
    model_.textile8Bytes = model_.NumTextiles * static_cast<std::uint32_t>(kPage8Bytes);
}

void Tdvlevel::readCompressedLevelData() {
    std::uint32_t inflated = 0, compressed = 0;
    std::vector<std::uint8_t> levelData =
        readChunk(file_, "level data chunk", inflated, compressed, maxInflatedBytes);
    // The samples are what follows the compressed level data.
    const auto rest = file_.take(file_.remaining());
    model_.SampleData.assign(rest.begin(), rest.end());
    model_.sampleDataBytes = static_cast<std::uint32_t>(model_.SampleData.size());
    // From here on the level data is read from the image as if it were the file.
    file_.MemFileSeek(0);
    file_.MemFileWrite(levelData.data(), levelData.size());
    levelData.clear();
    levelData.shrink_to_fit();
    file_.MemFileSeek(0);
    setGauge(50);
}

// ---------------------------------------------------------------------------------------
// Tdvlevel: lifecycle and array sizing

void Tdvlevel::FreeLevelData() {
    model_ = TdvlevelModel{};
}

void Tdvlevel::Destroy() {
    if (model_.LoadedMarker)
        FreeLevelData();
    file_.MemFileClose();
}

void Tdvlevel::SizeRecords(RecordArray& array, std::uint32_t& countField, std::uint32_t count,
                           std::size_t elementSize) {
    array.size(count, elementSize);
    countField = count;
}

void Tdvlevel::SetRoomCount(std::uint32_t count) {
    model_.NumRooms = static_cast<std::uint16_t>(count);
    model_.Rooms.assign(model_.NumRooms, TDvRoom{});
}

void Tdvlevel::SetObjectTextureCount(std::uint32_t count) {
    model_.ObjectTextures.assign(count, TDvObjectTexture{});
    model_.numObjectTextures = count;
}

void Tdvlevel::SetBoxCount(std::uint32_t count) {
    model_.boxes20.size(count, 20);
    model_.boxes8.size(count, 8);
    model_.numBoxes = count;
}

void Tdvlevel::SetZoneCount(std::uint32_t boxCount) {
    for (auto& zone : model_.zones)
        zone.size(boxCount, 2);
    model_.numZones = boxCount;
}

void Tdvlevel::SetAnimatedTextureWordCount(std::uint32_t count) {
    model_.AnimatedTextures.assign(count, 0);
    model_.numAnimatedTextureWords = count;
}

void Tdvlevel::SetEntityCount(std::uint32_t count) {
    model_.entities22.assign(count, TDvEntity22{});
    model_.entities24.assign(count, TDvEntity24{});
    model_.numEntities = count;
}

void Tdvlevel::SetCinematicOrAiCount(std::uint32_t count) {
    if (Generation >= 6)
        model_.aiObjects.size(count, 24);
    else
        model_.cinematicFrames.size(count, 16);
    model_.numCinematicOrAi = count;
}

} // namespace parvane::level
