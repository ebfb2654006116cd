#include "ImageFiles.h"

#include "BmpCodec.h"
#include "FailureReason.h"
#include "FileFormatList.h"
#include "JpegCodec.h"
#include "PixelFormatConversions.h"
#include "TgaWriter.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <stdexcept>

namespace parvane::imaging {

namespace {

FileResult failure(FileResult::Message shown, std::string message, Failure why) {
    return FileResult(shown, std::move(message), std::move(why));
}

bool isJpegFailure(const std::string& reason) {
    return reason.rfind("JPEG error #", 0) == 0;
}

// libjpeg failures are shown as "JPEG error #n"; the rest of the reason is for logs.
std::string jpegUserMessage(const std::string& reason) {
    if (isJpegFailure(reason)) {
        const auto colon = reason.find(':');
        return colon == std::string::npos ? reason : reason.substr(0, colon);
    }
    return reason;
}

// The message of a save that failed, naming the file.
std::string cannotSaveMessage(const std::filesystem::path& path) {
    return path.empty() ? std::string("Cannot save.") : "Cannot save " + path.string() + ".";
}

FileResult notSupported(const std::filesystem::path& path) {
    const std::string ext = upperCaseExtension(path);
    return failure(FileResult::Message::FormatNotSupported, formatNotSupportedMessage(ext),
                   {FailureKind::Unsupported, formatNotSupportedMessage(ext)});
}

} // namespace

std::string fileExtension(const std::filesystem::path& path) {
    // std::filesystem takes a leading dot for part of the stem, so ".tga" would have none.
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string upperCaseExtension(const std::filesystem::path& path) {
    std::string ext = fileExtension(path);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext;
}

std::string formatNotSupportedMessage(const std::string& upperExtension) {
    return upperExtension + " format not supported.";
}

std::uint8_t pixelFormatCode(const Bitmap& bitmap) {
    return static_cast<std::uint8_t>(bitmap.format());
}

std::string pixelFormatText(int code) {
    switch (code) {
    case 0:
        return "DDB";
    case 1:
        return "1 bit";
    case 2:
        return "4 bits (16 col)";
    case 3:
        return "8 bits (256 col)";
    case 4:
        return "15 bits";
    case 5:
        return "16 bits";
    case 6:
        return "24 bits";
    case 7:
        return "32 bits";
    case 8:
        return "15 bits";
    default:
        return "Unknown";
    }
}

std::string failureReason(const FileResult& result) {
    // A message that already says everything (" format not supported.") has no reason.
    const std::string& reason = result.error().reason;
    if (result.ok() || reason.empty() || reason == result.message)
        return {};
    return reasons::sentence(reason);
}

void convertToWorkingBitmap(Bitmap& picture, std::uint8_t code) {
    if (code == 4 || code == 8)
        Convert15BitsTo32Bits(picture);
    else
        picture = convertedTo32Bits(picture);
}

namespace {

// The message a load failure shows: every failure of a registered reader gives the
// compression-scheme message; the bitmap reader and libjpeg have their own, and a file they
// cannot open is named.
FileResult loadFailure(const PictureFormat& format, const std::filesystem::path& path, Failure why,
                       bool opening) {
    if (format.load == LoadClass::Registered)
        return failure(FileResult::Message::CompressionScheme, kCompressionSchemeMessage,
                       std::move(why));
    std::string message = opening ? "Cannot open file \"" + path.string() + "\"."
                          : format.load == LoadClass::Bitmap ? std::string(kBmpNotValidMessage)
                                                             : jpegUserMessage(why.reason);
    return failure(FileResult::Message::ReaderError, std::move(message), std::move(why));
}

// Reads the file with its extension's reader. With working set, a reader whose pixel rule
// allows it writes 24-bit pixels straight as 32-bit ones; fileFormat receives the file's own
// pixel format either way.
FileResult decodeFile(const PictureFormat& format, const std::filesystem::path& path, bool working,
                      Bitmap& picture, PixelFormat& fileFormat) {
    const FileBytes file = readWholeFile(path);
    if (!file.ok())
        return loadFailure(format, path, file.failure(), true);
    const std::unique_ptr<TGraphicExGraphic> reader = format.reader();
    DecodeResult decoded = working && format.pixels == PixelRule::Widen24BitsWhileDecoding
                               ? reader->decodeWidening24Bits(file.bytes(), fileFormat)
                               : reader->decode(file.bytes());
    if (!decoded)
        return loadFailure(format, path, decoded.error(), false);
    if (!working || format.pixels != PixelRule::Widen24BitsWhileDecoding)
        fileFormat = decoded.bitmap().format();
    picture = std::move(decoded).bitmap();
    return {};
}

// The row of a name that loads, or null for one refused with " format not supported.".
const PictureFormat* loadableFormatFor(const std::filesystem::path& path) {
    const PictureFormat* format = pictureFormatFor(path);
    return format && format->load != LoadClass::Refused ? format : nullptr;
}

FileResult loadImageFileUnguarded(const std::filesystem::path& path, Bitmap& picture) {
    const PictureFormat* format = loadableFormatFor(path);
    if (!format)
        return notSupported(path);
    PixelFormat fileFormat = PixelFormat::Bits32;
    return decodeFile(*format, path, false, picture, fileFormat);
}

FileResult loadImageAs32BitsFileUnguarded(const std::filesystem::path& path, Bitmap& picture,
                                          std::uint8_t& code) {
    code = 0;
    const PictureFormat* format = loadableFormatFor(path);
    if (!format)
        return notSupported(path);
    Bitmap loaded;
    PixelFormat fileFormat = PixelFormat::Bits32;
    if (FileResult result = decodeFile(*format, path, true, loaded, fileFormat); !result)
        return result;
    code = static_cast<std::uint8_t>(fileFormat);
    // A picture already in the working format is kept as it is, not copied.
    if (loaded.format() != PixelFormat::Bits32)
        convertToWorkingBitmap(loaded, code);
    picture = std::move(loaded);
    return {};
}

// A picture of a size the readers accept may still need more memory than is left (a 16384 x
// 16384 sheet takes 1 GiB): the load fails with a message and what was shown stays.
FileResult notEnoughMemory() {
    return failure(FileResult::Message::ReaderError, kNotEnoughMemoryMessage,
                   {FailureKind::NoMemory, reasons::kNoMemory});
}

} // namespace

FileResult loadImageFile(const std::filesystem::path& path, Bitmap& picture) {
    try {
        return loadImageFileUnguarded(path, picture);
    } catch (const std::bad_alloc&) {
        return notEnoughMemory();
    } catch (const std::length_error&) {
        // A size beyond what a bitmap may hold, which a reader let through: the same refusal.
        return notEnoughMemory();
    }
}

FileResult loadImageAs32BitsFile(const std::filesystem::path& path, Bitmap& picture,
                                 std::uint8_t& code) {
    try {
        return loadImageAs32BitsFileUnguarded(path, picture, code);
    } catch (const std::bad_alloc&) {
        code = 0;
        return notEnoughMemory();
    } catch (const std::length_error&) {
        code = 0;
        return notEnoughMemory();
    }
}

FileResult saveImageFile(const Bitmap& picture, const std::filesystem::path& path) {
    const PictureFormat* format = pictureFormatFor(path);
    if (!format || !format->writer)
        return notSupported(path);
    const WriteStatus status = format->writer(picture, path);
    if (!status) {
        // libjpeg's failures show their number, as when reading; the others name the file.
        const std::string& reason = status.error().reason;
        std::string message =
            isJpegFailure(reason) ? jpegUserMessage(reason) : cannotSaveMessage(path);
        return failure(FileResult::Message::WriteError, std::move(message), status.error());
    }
    return {};
}

FileResult saveImageAs24BitsFile(const Bitmap& picture, int areaWidth, int areaHeight,
                                 const std::filesystem::path& path) {
    const int width = std::clamp(areaWidth, 0, picture.width());
    const int height = std::clamp(areaHeight, 0, picture.height());
    if (width == picture.width() && height == picture.height())
        return saveImageFile(convertedTo24Bits(picture), path);
    Bitmap cropped = picture;
    cropped.resize(width, height, colours::kBlack); // keeps the top-left part
    return saveImageFile(convertedTo24Bits(cropped), path);
}

} // namespace parvane::imaging
