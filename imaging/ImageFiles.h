// Loading and saving picture files by their extension, without any user interface: the logic
// behind the image file module's routines and the command-line companion. The extension alone
// decides the reader or writer, never the file's contents.
#pragma once

#include "Bitmap.h"
#include "Failure.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace parvane::imaging {

inline constexpr const char* kCompressionSchemeMessage =
    "This file has a non supported compression scheme.";
// A picture the readers accept but whose pixels do not fit in the memory left.
inline constexpr const char* kNotEnoughMemoryMessage = "Not enough memory to read this picture.";

// The file name's extension: the text from its last dot on (".tga"), also for a name that is
// only an extension (".tga", "dir/.DV4"); empty when the name has no dot.
std::string fileExtension(const std::filesystem::path& path);
// The same, upper-cased (".TGA").
std::string upperCaseExtension(const std::filesystem::path& path);
// The upper-cased extension followed by " format not supported.".
std::string formatNotSupportedMessage(const std::string& upperExtension);

// The pixel-format code of a bitmap as loaded (0-8).
std::uint8_t pixelFormatCode(const Bitmap& bitmap);
// The name of a pixel-format code as the Source size line shows it ("24 bits", "Unknown").
std::string pixelFormatText(int code);

// Outcome of a file routine: success, or its Failure (kind and reason) with the message that
// the routine's path shows the user.
class FileResult : public Status {
public:
    // Which of the routines' messages a failure shows.
    enum class Message {
        None,
        FormatNotSupported, // extension outside the lists (message kind 1)
        CompressionScheme,  // any failure of a registered reader (message kind 2)
        ReaderError,        // BMP or JPEG reading failed: the reader's own message
        WriteError,         // the file could not be written
    };

    FileResult() = default;
    FileResult(Message shown, std::string message, Failure failure)
        : Status(std::move(failure)), shown(shown), message(std::move(message)) {}

    Message shown = Message::None;
    std::string message; // user-facing
};

// Why a file routine failed, as one sentence ("The file does not exist."), or "" when its
// message says it all. parvane-cli prints it beneath the message and the window shows it as
// the message box's further text.
std::string failureReason(const FileResult& result);

// Reads a picture in the file's own pixel format. picture is replaced only on success.
FileResult loadImageFile(const std::filesystem::path& path, Bitmap& picture);
// Reads a picture and converts it to the 32-bit working bitmap; code receives the file's own
// pixel-format code (0 on failure).
FileResult loadImageAs32BitsFile(const std::filesystem::path& path, Bitmap& picture,
                                 std::uint8_t& code);
// The conversion step of loadImageAs32BitsFile: codes 4 and 8 turn the top bit of each pixel
// into alpha, everything else converts plainly (alpha 0 unless the source is 32-bit).
void convertToWorkingBitmap(Bitmap& picture, std::uint8_t code);

// Writes the picture by extension: ".BMP" in its own pixel format, ".JPG" as baseline JFIF at
// quality 90, ".TGA" as uncompressed 24-bit TGA.
FileResult saveImageFile(const Bitmap& picture, const std::filesystem::path& path);
// Saves the top-left areaWidth x areaHeight part (or less, when the picture is smaller) as a
// 24-bit picture; picture itself is not changed.
FileResult saveImageAs24BitsFile(const Bitmap& picture, int areaWidth, int areaHeight,
                                 const std::filesystem::path& path);

} // namespace parvane::imaging
