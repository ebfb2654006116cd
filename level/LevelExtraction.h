// The two level extractions of the Source menu, free of any window: all texture pages of a
// level as one strip, or only its animated textures laid out as tiles. The level window and
// parvane-cli both call these, so they behave the same.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Failure.h"
#include "level/dvunit3_modif.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvane::level {

enum class ExtractionStatus {
    Ok,
    RefusedExtension,   // not .PHD, .DVX, .DV2, .DV4 or .DVC (any case)
    Missing,            // no such file
    NotALevel,          // the first four bytes are no known Version
    Damaged,            // a level file whose contents are broken; reason says where
    Unreadable,         // the file exists but could not be read; reason says why
    NoAnimatedTextures, // animated extraction of a level without animation ranges
};

// What an extraction gives back: success, or the Failure (kind and reason). On success
// `bitmap` holds the 32-bit result and `sourcePixelFormat` the pixel-format code of the
// level's pages (3, 4 or 7). `status` is the level window's outcome, made with the failure.
class Extraction : public imaging::Status {
public:
    Extraction() : status(ExtractionStatus::Ok) {}
    Extraction(ExtractionStatus outcome, imaging::Failure failure)
        : imaging::Status(std::move(failure)), status(outcome) {}

    const std::string& reason() const { return error().reason; }

    ExtractionStatus status;
    imaging::Bitmap bitmap;
    std::uint8_t sourcePixelFormat = 0;
    int generation = 0;
    int missingTiles = 0; // animated textures named by the list but absent from the level
};

// The failed extraction of a level whose load failed.
Extraction extractionFailure(const LoadResult& load);

// True for the accepted level extensions, compared after upper-casing: .PHD .DVX .DV2 .DV4 .DVC
bool isAcceptedLevelExtension(const std::filesystem::path& fileName);

// The message a user should see for a failed extraction, or "" where the warning sound alone
// reports it (refused extension, missing file, not a level file, no animation ranges).
std::string failureMessage(const Extraction& extraction);
// Why, as one sentence beneath that message ("The file ends inside its palettes."); "" where
// there is no message.
std::string failureReason(const Extraction& extraction);

// All texture pages, stacked into one 256-pixel-wide 32-bit strip. `convert` paints the
// level's transparent pixels magenta. progress receives the load's values, then 0 and 100.
Extraction extractLevelTextures(const std::filesystem::path& file, bool convert,
                                const ProgressFn& progress = {});
// Only the animated textures, as 64 x 64 tiles on a magenta background, 256 pixels wide.
Extraction extractAnimatedTextures(const std::filesystem::path& file, bool convert,
                                   const ProgressFn& progress = {});

// The same from a file's content already in memory; fileName decides the generation and
// the extension check.
Extraction extractLevelTexturesFromBytes(std::vector<std::uint8_t> bytes,
                                         const std::string& fileName, bool convert,
                                         const ProgressFn& progress = {});
Extraction extractAnimatedTexturesFromBytes(std::vector<std::uint8_t> bytes,
                                            const std::string& fileName, bool convert,
                                            const ProgressFn& progress = {});

} // namespace parvane::level
