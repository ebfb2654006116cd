// The level subcommands of parvane-cli: extract (all texture pages, or only the animated
// textures) and level-info. They run the same extraction code as the level window.
#include "Commands.h"
#include "imaging/FileFormatList.h"
#include "imaging/ImageFiles.h"
#include "level/AnimatedTextures.h"
#include "level/LevelExtraction.h"
#include "level/dvunit3_modif.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace parvane::cli {

namespace {

using level::Extraction;
using level::ExtractionStatus;

int usage(const char* text) {
    std::fprintf(stderr, "usage: parvane-cli %s\n", text);
    return kExitUsage;
}

// What the command line says where the desktop program only plays its warning sound.
std::string describe(const Extraction& e) {
    switch (e.status) {
    case ExtractionStatus::RefusedExtension:
        return "Refused: level files end in .PHD, .DVX, .DV2, .DV4 or .DVC.";
    case ExtractionStatus::Missing:
        return "The level file does not exist.";
    case ExtractionStatus::NotALevel:
        return "This is not a Duskvale level file.";
    case ExtractionStatus::NoAnimatedTextures:
        return "The level has no animated textures.";
    default:
        return level::failureMessage(e);
    }
}

int fail(const Extraction& e) {
    std::fprintf(stderr, "%s\n", describe(e).c_str());
    const std::string reason = level::failureReason(e);
    if (!reason.empty())
        std::fprintf(stderr, "%s\n", reason.c_str());
    return kExitFailed;
}

// The generation code is decided from the whole name, folders included, and the level window
// always passes the full path its dialog gives: a relative name gets the same answer here.
std::filesystem::path fullPath(std::string_view name) {
    const std::filesystem::path path{std::string(name)};
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full;
}

} // namespace

int runExtract(std::span<const std::string_view> args) {
    constexpr const char* kUsage = "extract LEVEL OUT [--convert] [--animated]";
    bool convert = false;
    bool animated = false;
    std::vector<std::string_view> paths;
    for (std::string_view a : args) {
        if (a == "--convert")
            convert = true;
        else if (a == "--animated")
            animated = true;
        else if (a.starts_with("--"))
            return usage(kUsage);
        else
            paths.push_back(a);
    }
    if (paths.size() != 2)
        return usage(kUsage);
    const std::filesystem::path levelPath = fullPath(paths[0]);
    const std::filesystem::path outPath{std::string(paths[1])};
    if (const imaging::PictureFormat* format = imaging::pictureFormatFor(outPath);
        !format || !format->writer) {
        std::fprintf(
            stderr, "%s\n",
            imaging::formatNotSupportedMessage(imaging::upperCaseExtension(outPath)).c_str());
        return kExitFailed;
    }
    const Extraction e = animated ? level::extractAnimatedTextures(levelPath, convert)
                                  : level::extractLevelTextures(levelPath, convert);
    if (!e.ok())
        return fail(e);
    const imaging::FileResult saved = imaging::saveImageFile(e.bitmap, outPath);
    if (!saved) {
        std::fprintf(stderr, "%s\n", saved.message.c_str());
        const std::string reason = imaging::failureReason(saved);
        if (!reason.empty())
            std::fprintf(stderr, "%s\n", reason.c_str());
        return kExitFailed;
    }
    std::printf("%s level: %s of %d x %d saved to %s (pages of %s)\n",
                level::generationLabel(e.generation), animated ? "animated tiles" : "texture strip",
                e.bitmap.width(), e.bitmap.height(), outPath.string().c_str(),
                imaging::pixelFormatText(e.sourcePixelFormat).c_str());
    if (e.missingTiles > 0)
        std::fprintf(stderr,
                     "warning: %d animated textures are not in the level and were left "
                     "magenta\n",
                     e.missingTiles);
    return kExitDone;
}

int runLevelInfo(std::span<const std::string_view> args) {
    if (args.size() != 1)
        return usage("level-info LEVEL");
    const std::string name = fullPath(args[0]).string();
    if (!level::isAcceptedLevelExtension(name))
        return fail(Extraction(ExtractionStatus::RefusedExtension,
                               {imaging::FailureKind::NotThisFormat, {}}));
    level::Tdvlevel reader;
    const level::LoadResult result = reader.LoadLevel(name, false);
    if (!result)
        return fail(level::extractionFailure(result));
    const level::TdvlevelModel& model = reader.model();
    std::string note;
    const auto ranges = level::parseAnimatedRanges(model.AnimatedTextures, &note);
    if (!note.empty())
        std::fprintf(stderr, "warning: %s\n", note.c_str());
    std::printf("generation: %d (%s)\n", reader.Generation,
                level::generationLabel(reader.Generation));
    std::printf("pages: %u\n", model.NumTextiles);
    std::printf("rooms: %u\n", static_cast<unsigned>(model.NumRooms));
    std::printf("object textures: %zu\n", model.ObjectTextures.size());
    std::printf("animated ranges: %zu\n", ranges.size());
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        std::printf("  range %zu: %zu textures:", r + 1, ranges[r].size());
        for (std::uint16_t number : ranges[r])
            std::printf(" %u", static_cast<unsigned>(number));
        std::printf("\n");
    }
    reader.FreeLevelData();
    return kExitDone;
}

} // namespace parvane::cli
