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

bool isOneOf(const std::string& ext, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* e) { return ext == e; });
}

// libjpeg failures are shown as "JPEG error #n"; the rest of the reason is for logs.
std::string jpegUserMessage(const std::string& reason) {
    if (reason.rfind("JPEG error #", 0) == 0) {
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

LoadRoute loadRouteFor(const std::filesystem::path& path) {
    const std::string ext = upperCaseExtension(path);
    if (ext == ".BMP")
        return LoadRoute::Bmp;
    if (ext == ".JPG")
        return LoadRoute::Jpeg;
    if (isOneOf(ext, {".TGA", ".TIF", ".PSD", ".PSP", ".PCX"}))
        return LoadRoute::Registered;
    return LoadRoute::NotSupported;
}

SaveRoute saveRouteFor(const std::filesystem::path& path) {
    const std::string ext = upperCaseExtension(path);
    if (ext == ".BMP")
        return SaveRoute::Bmp;
    if (ext == ".JPG")
        return SaveRoute::Jpeg;
    if (ext == ".TGA")
        return SaveRoute::Tga;
    return SaveRoute::NotSupported;
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

FileResult loadImageFileUnguarded(const std::filesystem::path& path, Bitmap& picture) {
    const LoadRoute route = loadRouteFor(path);
    if (route == LoadRoute::NotSupported)
        return notSupported(path);
    if (route == LoadRoute::Registered) {
        DecodeResult result = loadRegisteredPicture(path);
        if (!result)
            return failure(FileResult::Message::CompressionScheme, kCompressionSchemeMessage,
                           result.error());
        picture = std::move(result).bitmap();
        return {};
    }
    // BMP and JPEG failures carry the reader's own message, as the platform readers raise it.
    const FileBytes file = readWholeFile(path);
    if (!file.ok())
        return failure(FileResult::Message::ReaderError,
                       "Cannot open file \"" + path.string() + "\".", file.failure());
    DecodeResult result =
        route == LoadRoute::Bmp ? decodeBmp(file.bytes()) : decodeJpeg(file.bytes());
    if (!result) {
        return failure(FileResult::Message::ReaderError,
                       route == LoadRoute::Bmp ? kBmpNotValidMessage
                                               : jpegUserMessage(result.error().reason),
                       result.error());
    }
    picture = std::move(result).bitmap();
    return {};
}

FileResult loadImageAs32BitsFileUnguarded(const std::filesystem::path& path, Bitmap& picture,
                                          std::uint8_t& code) {
    code = 0;
    Bitmap loaded;
    if (loadRouteFor(path) == LoadRoute::Registered) {
        // The registered readers may hand 24-bit pixels over already widened, which spares
        // a full-size 24-bit picture and a pass over it.
        PixelFormat fileFormat = PixelFormat::Bits32;
        DecodeResult decoded = loadRegisteredPictureWidening24Bits(path, fileFormat);
        if (!decoded)
            return failure(FileResult::Message::CompressionScheme, kCompressionSchemeMessage,
                           decoded.error());
        loaded = std::move(decoded).bitmap();
        code = static_cast<std::uint8_t>(fileFormat);
    } else if (loadRouteFor(path) == LoadRoute::Bmp) {
        // The same for BMP files, read here rather than through loadImageFile.
        const FileBytes file = readWholeFile(path);
        if (!file.ok())
            return failure(FileResult::Message::ReaderError,
                           "Cannot open file \"" + path.string() + "\".", file.failure());
        bool widened = false;
        DecodeResult decoded = decodeBmpWidening24Bits(file.bytes(), widened);
        if (!decoded)
            return failure(FileResult::Message::ReaderError, kBmpNotValidMessage, decoded.error());
        loaded = std::move(decoded).bitmap();
        // A widened picture is still a 24-bit file.
        code = widened ? static_cast<std::uint8_t>(PixelFormat::Bits24) : pixelFormatCode(loaded);
    } else {
        FileResult result = loadImageFileUnguarded(path, loaded);
        if (!result)
            return result;
        code = pixelFormatCode(loaded);
    }
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
    WriteStatus status;
    switch (saveRouteFor(path)) {
    case SaveRoute::NotSupported:
        return notSupported(path);
    case SaveRoute::Tga:
        status = SaveAsUncompTGA24bits(picture, path);
        break;
    case SaveRoute::Bmp:
        status = saveBmp(picture, path);
        break;
    case SaveRoute::Jpeg: {
        const JpegEncoded encoded = encodeJpeg(picture, kJpegQuality);
        if (!encoded.ok())
            return failure(FileResult::Message::WriteError, jpegUserMessage(encoded.error().reason),
                           encoded.error());
        status = writeFileAtomically(path, encoded.value());
        break;
    }
    }
    if (!status)
        return failure(FileResult::Message::WriteError, cannotSaveMessage(path), status.error());
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
