// The tiles subcommand of parvane-cli: the tile budget of a texture set (empty cells, kept
// tiles and their copies), as text or one JSON object, and on request the compacted set with
// the index map that goes with it, as the window's Compact and Export index map make them.
#include "Commands.h"
#include "document/TileAnalysis.h"
#include "imaging/AtomicFile.h"
#include "imaging/ImageFiles.h"
#include "imaging/TgaWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvane::cli {

namespace {

using document::TileReport;

constexpr const char* kUsage =
    "tiles SET [--tolerance T] [--turned] [--json] [--compact OUT --map MAP.csv]";
// Past this mean difference every pair of tiles matches: no larger tolerance means more.
constexpr double kMaxTolerance = 255;

int usage(const char* why) {
    if (why)
        std::fprintf(stderr, "parvane-cli: %s\n", why);
    std::fprintf(stderr, "usage: parvane-cli %s\n", kUsage);
    return kExitUsage;
}

std::optional<double> parseTolerance(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0 || value > kMaxTolerance)
        return std::nullopt;
    return value;
}

// The shortest text that reads back as the same number.
std::string number(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string json(const TileReport& report) {
    std::string out = "{\"width\": " + std::to_string(report.width) +
                      ", \"height\": " + std::to_string(report.height) +
                      ", \"cells\": " + std::to_string(report.cellCount()) +
                      ", \"used\": " + std::to_string(report.used) +
                      ", \"empty\": " + std::to_string(report.empty) +
                      ", \"kept\": " + std::to_string(report.kept) +
                      ", \"copies\": " + std::to_string(report.copies) + ", \"groups\": [";
    for (std::size_t g = 0; g < report.groups.size(); ++g) {
        const document::TileGroup& group = report.groups[g];
        out += g ? ", " : "";
        out += "{\"kept\": " + std::to_string(group.kept) + ", \"copies\": [";
        for (std::size_t c = 0; c < group.copies.size(); ++c) {
            const document::TileCopy& copy = group.copies[c];
            out += c ? ", " : "";
            out += "{\"cell\": " + std::to_string(copy.cell) + ", \"orientation\": \"" +
                   std::string(document::orientationName(copy.orientation)) +
                   "\", \"difference\": " + number(copy.difference) + "}";
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

std::string text(const TileReport& report) {
    std::string out = std::to_string(report.width) + " x " + std::to_string(report.height) +
                      " pixels, " + std::to_string(report.columns) + " x " +
                      std::to_string(report.rows) + " = " + std::to_string(report.cellCount()) +
                      " cells\n";
    out += "used: " + std::to_string(report.used) + "\n";
    out += "kept: " + std::to_string(report.kept) +
           (report.kept > document::kTileBudget ? " (over" : " (within") + " the editors' " +
           std::to_string(document::kTileBudget) + ")\n";
    out += "copies: " + std::to_string(report.copies) + "\n";
    out += "empty: " + std::to_string(report.empty) + "\n";
    // One line per group: the kept tile, then each copy with its turn and, when it is not an
    // exact copy, its mean difference.
    for (const document::TileGroup& group : report.groups) {
        out += "tile " + std::to_string(group.kept) + " has " +
               std::to_string(group.copies.size()) +
               (group.copies.size() == 1 ? " copy:" : " copies:");
        for (std::size_t c = 0; c < group.copies.size(); ++c) {
            const document::TileCopy& copy = group.copies[c];
            out += (c ? ", " : " ") + std::to_string(copy.cell) + " " +
                   std::string(document::orientationName(copy.orientation));
            if (copy.difference > 0)
                out += " (" + number(copy.difference) + ")";
        }
        out += "\n";
    }
    return out;
}

bool endsWithTga(const std::filesystem::path& path) {
    return imaging::upperCaseExtension(path) == ".TGA";
}

int writeFailed(const std::filesystem::path& path, const imaging::WriteStatus& status) {
    std::fprintf(stderr, "parvane-cli: %s could not be written\n%s\n", path.string().c_str(),
                 status.error().reason.c_str());
    return kExitFailed;
}

} // namespace

int runTiles(std::span<const std::string_view> args) {
    std::optional<std::string_view> set;
    document::TileOptions options;
    bool asJson = false;
    std::optional<std::filesystem::path> compactPath;
    std::optional<std::filesystem::path> mapPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--turned") {
            options.turned = true;
        } else if (arg == "--json") {
            asJson = true;
        } else if (arg == "--tolerance") {
            if (!hasValue)
                return usage("--tolerance needs a value");
            const auto tolerance = parseTolerance(args[++i]);
            if (!tolerance)
                return usage("the tolerance is a number from 0 to 255");
            options.tolerance = *tolerance;
        } else if (arg == "--compact") {
            if (!hasValue)
                return usage("--compact needs a file name");
            compactPath = std::filesystem::path(std::string(args[++i]));
        } else if (arg == "--map") {
            if (!hasValue)
                return usage("--map needs a file name");
            mapPath = std::filesystem::path(std::string(args[++i]));
        } else if (arg.starts_with("--")) {
            const std::string why = "unknown option '" + std::string(arg) + "'";
            return usage(why.c_str());
        } else if (set) {
            return usage("one SET only");
        } else {
            set = arg;
        }
    }
    if (!set)
        return usage(nullptr);
    // The compacted set is useless without the map that says where each tile went.
    if (compactPath.has_value() != mapPath.has_value())
        return usage("--compact and --map go together");
    if (compactPath && !endsWithTga(*compactPath))
        return usage("--compact writes a TGA file: OUT ends in .tga");
    if (compactPath && compactPath->lexically_normal() == mapPath->lexically_normal())
        return usage("OUT and MAP.csv must be two files");

    const std::filesystem::path setPath{std::string(*set)};
    imaging::Bitmap picture;
    std::uint8_t code = 0;
    const imaging::FileResult loaded = imaging::loadImageAs32BitsFile(setPath, picture, code);
    if (!loaded) {
        std::fprintf(stderr, "%s\n", loaded.message.c_str());
        const std::string reason = imaging::failureReason(loaded);
        if (!reason.empty())
            std::fprintf(stderr, "%s\n", reason.c_str());
        return kExitFailed;
    }
    if (picture.isEmpty() || picture.width() % document::kTileSide != 0 ||
        picture.height() % document::kTileSide != 0) {
        std::fprintf(stderr,
                     "parvane-cli: %s is %d x %d pixels: a texture set's width and height are "
                     "whole multiples of %d\n",
                     setPath.string().c_str(), picture.width(), picture.height(),
                     document::kTileSide);
        return kExitFailed;
    }
    TileReport report;
    try {
        report = document::analyseTiles(picture, options);
    } catch (const std::length_error& error) {
        std::fprintf(stderr, "parvane-cli: %s: %s\n", setPath.string().c_str(), error.what());
        return kExitFailed;
    }

    if (compactPath) {
        // Both files or neither: each is written beside its place first, and only when both
        // are complete do they take their names.
        int pages = 0;
        const std::vector<std::uint8_t> tga =
            imaging::encodeUncompTGA24bits(document::compactTiles(picture, report, pages));
        if (tga.empty()) {
            std::fprintf(stderr, "parvane-cli: the compacted set is too large for a TGA file\n");
            return kExitFailed;
        }
        const std::string map = document::indexMapCsv(report);
        imaging::AtomicFileWriter tgaFile(*compactPath);
        imaging::AtomicFileWriter mapFile(*mapPath);
        tgaFile.write(tga);
        mapFile.write({reinterpret_cast<const std::uint8_t*>(map.data()), map.size()});
        if (!tgaFile.status())
            return writeFailed(*compactPath, tgaFile.status());
        if (!mapFile.status())
            return writeFailed(*mapPath, mapFile.status());
        if (const imaging::WriteStatus done = tgaFile.commit(); !done)
            return writeFailed(*compactPath, done);
        if (const imaging::WriteStatus done = mapFile.commit(); !done)
            return writeFailed(*mapPath, done);
    }
    const std::string out = asJson ? json(report) : text(report);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitDone;
}

} // namespace parvane::cli
