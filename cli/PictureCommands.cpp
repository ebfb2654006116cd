// The picture subcommands of parvane-cli: info, convert and resample. They load and save
// through the same routines as the desktop program and print its messages on failure.
#include "Commands.h"
#include "imaging/ImageFiles.h"
#include "imaging/Resample.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace parvane::cli {

namespace {

using imaging::FileResult;

int usage(const char* text) {
    std::fprintf(stderr, "usage: parvane-cli %s\n", text);
    return kExitUsage;
}

int fail(const FileResult& result) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    const std::string reason = imaging::failureReason(result);
    if (!reason.empty())
        std::fprintf(stderr, "%s\n", reason.c_str());
    return kExitFailed;
}

std::filesystem::path pathOf(std::string_view arg) {
    return std::filesystem::path(std::string(arg));
}

std::optional<int> parseSide(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1 ||
        value > imaging::Bitmap::kMaxSide)
        return std::nullopt;
    return value;
}

} // namespace

int runInfo(std::span<const std::string_view> args) {
    if (args.size() != 1)
        return usage("info FILE");
    imaging::Bitmap picture;
    const FileResult result = imaging::loadImageFile(pathOf(args[0]), picture);
    if (!result)
        return fail(result);
    const int code = imaging::pixelFormatCode(picture);
    std::printf("width: %d\nheight: %d\npixel format: %d (%s)\n", picture.width(), picture.height(),
                code, imaging::pixelFormatText(code).c_str());
    return kExitDone;
}

int runConvert(std::span<const std::string_view> args) {
    if (args.size() != 2)
        return usage("convert IN OUT");
    imaging::Bitmap picture;
    std::uint8_t code = 0;
    FileResult result = imaging::loadImageAs32BitsFile(pathOf(args[0]), picture, code);
    if (!result)
        return fail(result);
    result =
        imaging::saveImageAs24BitsFile(picture, picture.width(), picture.height(), pathOf(args[1]));
    if (!result)
        return fail(result);
    return kExitDone;
}

int runResample(std::span<const std::string_view> args) {
    constexpr const char* kUsage = "resample IN OUT WIDTH HEIGHT [--filter NAME]";
    imaging::ResamplingFilter filter = imaging::ResamplingFilter::Mitchell;
    std::vector<std::string_view> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--filter") {
            if (i + 1 >= args.size())
                return usage(kUsage);
            const auto named = imaging::filterFromName(args[++i]);
            if (!named) {
                std::fprintf(stderr, "parvane-cli: unknown filter '%.*s'\n",
                             static_cast<int>(args[i].size()), args[i].data());
                return usage(kUsage);
            }
            filter = *named;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 4)
        return usage(kUsage);
    const auto width = parseSide(positional[2]);
    const auto height = parseSide(positional[3]);
    if (!width || !height || !imaging::Bitmap::fitsInMemory(*width, *height)) {
        std::fprintf(stderr,
                     "parvane-cli: WIDTH and HEIGHT must be whole numbers from 1 to %d "
                     "whose picture fits in memory\n",
                     imaging::Bitmap::kMaxSide);
        return usage(kUsage);
    }
    imaging::Bitmap picture;
    std::uint8_t code = 0;
    FileResult result = imaging::loadImageAs32BitsFile(pathOf(positional[0]), picture, code);
    if (!result)
        return fail(result);
    // The horizontal pass holds a WIDTH x source-height picture: a tall source widened a lot
    // would need far more memory than the finished picture, so it is refused up front.
    if (!imaging::Bitmap::fitsInMemory(*width, picture.height())) {
        std::fprintf(stderr,
                     "parvane-cli: resampling a picture of %d x %d pixels to %d x %d needs more "
                     "memory than a picture may take\n",
                     picture.width(), picture.height(), *width, *height);
        return kExitFailed;
    }
    imaging::Bitmap resized;
    imaging::ResampleBitmap(*width, *height, filter, 0.0f, picture, resized);
    result = imaging::saveImageFile(resized, pathOf(positional[1]));
    if (!result)
        return fail(result);
    return kExitDone;
}

} // namespace parvane::cli
