// The two level extractions, shared by the level window and the command line.
#include "level/LevelExtraction.h"

#include "imaging/FailureReason.h"
#include "imaging/ImageFiles.h"
#include "level/AnimatedTextures.h"
#include "level/PageStrip.h"

#include <algorithm>
#include <new>
#include <optional>

namespace parvane::level {

namespace {

using imaging::FailureKind;

Extraction failure(ExtractionStatus status, FailureKind kind, std::string reason) {
    return Extraction(status, imaging::Failure{kind, std::move(reason)});
}

Extraction noMemory() {
    return failure(ExtractionStatus::Damaged, FailureKind::NoMemory,
                   "the level needs more memory than is available");
}

// The strip of a loaded level, or a failure when it has no pages to show.
Extraction stripOf(const Tdvlevel& level, bool convert, const ProgressFn& progress) {
    if (level.model().NumTextiles == 0)
        return failure(ExtractionStatus::Damaged, FailureKind::Damaged,
                       "the level holds no texture pages");
    PageStrip strip = buildPageStrip(level, convert, progress);
    Extraction e;
    e.bitmap = std::move(strip.bitmap);
    e.sourcePixelFormat = strip.sourcePixelFormat;
    e.generation = level.Generation;
    return e;
}

// Checks the name and loads the level; on failure the returned extraction says why.
template <typename Load>
std::optional<Extraction> loadLevel(Tdvlevel& level, const std::string& name,
                                    const ProgressFn& progress, bool texturesOnly, Load load) {
    if (!isAcceptedLevelExtension(name))
        return failure(ExtractionStatus::RefusedExtension, FailureKind::NotThisFormat,
                       "only .PHD, .DVX, .DV2, .DV4 and .DVC files are level files");
    level.Gauge = progress;
    const LoadResult result = load(level, texturesOnly);
    if (!result)
        return extractionFailure(result);
    return std::nullopt;
}

template <typename Load>
Extraction extractPages(const std::string& name, bool convert, const ProgressFn& progress,
                        Load load) {
    Tdvlevel level;
    if (auto failed = loadLevel(level, name, progress, true, load))
        return *failed;
    try {
        Extraction e = stripOf(level, convert, progress);
        level.FreeLevelData();
        return e;
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
}

template <typename Load>
Extraction extractAnimated(const std::string& name, bool convert, const ProgressFn& progress,
                           Load load) {
    Tdvlevel level;
    // The object textures and the animated texture list lie behind the rooms.
    if (auto failed = loadLevel(level, name, progress, false, load))
        return *failed;

    const auto ranges = parseAnimatedRanges(level.model().AnimatedTextures);
    if (ranges.empty())
        // A sound level of a kind without animations: not one the extraction can take.
        return failure(ExtractionStatus::NoAnimatedTextures, FailureKind::Unsupported,
                       "the level has no animated textures");
    const AnimatedLayout layout = layoutAnimatedRanges(ranges);
    if (static_cast<std::int64_t>(layout.rows) * kTileSide > imaging::Bitmap::kMaxSide)
        return failure(ExtractionStatus::Damaged, FailureKind::TooLarge,
                       "the animated texture list needs " + std::to_string(layout.rows) +
                           " rows of tiles, more than a picture can hold");
    try {
        Extraction e = stripOf(level, convert, progress);
        if (!e.ok())
            return e;
        AnimatedTiles tiles = layoutAnimatedTextures(ranges, level.model().ObjectTextures, e.bitmap,
                                                     level.model().NumTextiles);
        e.bitmap = std::move(tiles.bitmap);
        e.missingTiles = tiles.missingTiles;
        level.FreeLevelData();
        return e;
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
}

} // namespace

Extraction extractionFailure(const LoadResult& load) {
    switch (load.status()) {
    case LoadStatus::Missing:
        return failure(ExtractionStatus::Missing, FailureKind::FileMissing, "no such file");
    case LoadStatus::NotLevel:
        return failure(ExtractionStatus::NotALevel, FailureKind::NotThisFormat,
                       "the file is not a Duskvale level file");
    case LoadStatus::Unreadable:
        return Extraction(ExtractionStatus::Unreadable, load.error());
    default:
        return Extraction(ExtractionStatus::Damaged, load.error());
    }
}

bool isAcceptedLevelExtension(const std::filesystem::path& fileName) {
    const std::string ext = imaging::upperCaseExtension(fileName);
    return ext == ".PHD" || ext == ".DVX" || ext == ".DV2" || ext == ".DV4" || ext == ".DVC";
}

std::string failureMessage(const Extraction& extraction) {
    switch (extraction.status) {
    case ExtractionStatus::Damaged:
        return "The level file is damaged and could not be read.";
    case ExtractionStatus::Unreadable:
        return "The level file could not be read.";
    default:
        return {};
    }
}

std::string failureReason(const Extraction& extraction) {
    if (failureMessage(extraction).empty())
        return {};
    return imaging::reasons::sentence(extraction.reason());
}

Extraction extractLevelTextures(const std::filesystem::path& file, bool convert,
                                const ProgressFn& progress) {
    const std::string name = file.string();
    return extractPages(name, convert, progress, [&](Tdvlevel& level, bool texturesOnly) {
        return level.LoadLevel(name, texturesOnly);
    });
}

Extraction extractAnimatedTextures(const std::filesystem::path& file, bool convert,
                                   const ProgressFn& progress) {
    const std::string name = file.string();
    return extractAnimated(name, convert, progress, [&](Tdvlevel& level, bool texturesOnly) {
        return level.LoadLevel(name, texturesOnly);
    });
}

Extraction extractLevelTexturesFromBytes(std::vector<std::uint8_t> bytes,
                                         const std::string& fileName, bool convert,
                                         const ProgressFn& progress) {
    return extractPages(fileName, convert, progress, [&](Tdvlevel& level, bool texturesOnly) {
        return level.LoadLevelFromBytes(std::move(bytes), fileName, texturesOnly);
    });
}

Extraction extractAnimatedTexturesFromBytes(std::vector<std::uint8_t> bytes,
                                            const std::string& fileName, bool convert,
                                            const ProgressFn& progress) {
    return extractAnimated(fileName, convert, progress, [&](Tdvlevel& level, bool texturesOnly) {
        return level.LoadLevelFromBytes(std::move(bytes), fileName, texturesOnly);
    });
}

} // namespace parvane::level
