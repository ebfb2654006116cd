// The picture file formats by extension, in one table: for each extension the reader class
// that decodes it, how the image file routines treat it when loading (refused, or which
// message a failure shows), how it reaches the working bitmap, and its writer. The registry of
// reader classes, the image file routines and the file dialogs' preview all go by this table,
// and by the file name's extension alone, never by the file's contents.
#pragma once

#include "AtomicFile.h"
#include "BmpCodec.h"
#include "GifReader.h"
#include "GraphicEx.h"
#include "JpegCodec.h"
#include "PcxReader.h"
#include "PngCodec.h"
#include "PsdReader.h"
#include "PspReader.h"
#include "TargaGraphic.h"
#include "TiffReader.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parvane::imaging {

// The first frame of a GIF file, without asking for its transparent index.
DecodeResult decodeGifFrame(std::span<const std::uint8_t> bytes);

// The reader classes of the registry; TTargaGraphic has its own header.
using TBitmapGraphic = TReaderGraphic<decodeBmp, decodeBmpWidening24Bits>;
using TJPEGGraphic = TReaderGraphic<decodeJpeg>;
using TTIFFGraphic = TReaderGraphic<decodeTiff>;
using TPCXGraphic = TReaderGraphic<decodePcx>;
using TPSDGraphic = TReaderGraphic<decodePsd>;
using TGIFGraphic = TReaderGraphic<decodeGifFrame>;
using TPSPGraphic = TReaderGraphic<decodePsp>;
using TPNGGraphic = TReaderGraphic<decodePng, decodePngWidening24Bits>;

// What loading through the image file routines does with an extension.
enum class LoadClass {
    Refused,    // known to the preview only: refused with " format not supported."
    Bitmap,     // the bitmap reader; a failure shows its own "Bitmap image is not valid"
    Jpeg,       // libjpeg; a failure shows its "JPEG error #n"
    Registered, // the registry's reader; any failure shows the compression-scheme message
};

// How a load that asks for the working bitmap gets there. Either way the pixel-format code
// reported is the file's own, as decoding it gives; codes 4 and 8 then turn each pixel's top
// bit into alpha, every other format is converted plainly (alpha 0 unless the file has 32 bits).
enum class PixelRule {
    ConvertAfterDecoding,
    // The reader writes 24-bit pixels straight as 32-bit ones with alpha 0 (the plain
    // conversion's result), which spares the 24-bit picture and a pass over it.
    Widen24BitsWhileDecoding,
};

using ReaderFactory = std::unique_ptr<TGraphicExGraphic> (*)();
using PictureWriter = WriteStatus (*)(const Bitmap&, const std::filesystem::path&);

struct PictureFormat {
    std::string_view extension;   // lower case, no dot
    std::string_view description; // as the registry lists it
    ReaderFactory reader;
    LoadClass load = LoadClass::Refused;
    PixelRule pixels = PixelRule::ConvertAfterDecoding;
    PictureWriter writer = nullptr; // null: saving refuses the extension
};

// Every extension, in the registry's order.
std::span<const PictureFormat> pictureFormats();
// The row of a file name's extension (case ignored), or null when the name has none or an
// unknown one.
const PictureFormat* pictureFormatFor(const std::filesystem::path& path);

using GraphicFactory = std::function<std::unique_ptr<TGraphicExGraphic>()>;

// Maps lower-case extensions (without dot) to reader factories, in registration order.
class TFileFormatList {
public:
    struct Entry {
        std::string extension; // lower case, no dot
        std::string description;
        GraphicFactory factory;
    };

    // Fails with "Attempt to register %s twice." when the extension is already held and
    // replace is false; the entry held stays.
    Status RegisterFileFormat(std::string_view extension, std::string_view description,
                              GraphicFactory factory, bool replace = false);
    void UnregisterFileFormat(std::string_view extension);
    void Clear() { entries_.clear(); }

    // The entry of an extension (case ignored, with or without its leading dot), or null.
    const Entry* find(std::string_view extension) const;
    // A new reader for the extension, or null when none is registered.
    std::unique_ptr<TGraphicExGraphic> createGraphic(std::string_view extension) const;
    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<std::string> extensions() const;

private:
    std::vector<Entry> entries_;
};

// The application's registry, filled with every reader of the table on first use.
TFileFormatList& FileFormatList();
// Fills a registry with the table's readers in their order.
void registerDefaultFileFormats(TFileFormatList& list);

// Reads a file through the reader registered for its extension, as the file dialogs' preview
// does. Fails (Unsupported) when no reader is registered for it or the file cannot be opened.
DecodeResult loadRegisteredPicture(const std::filesystem::path& path,
                                   const TFileFormatList& list = FileFormatList());

// The whole content of a file, or the Failure that kept it from being read. A regular file is
// mapped into memory rather than copied, so its bytes are read once, by the decoder. Files beyond
// the picture memory limit are refused before they are read.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    bool ok() const { return !failure_; }
    // Why the file could not be read; only when !ok().
    const Failure& failure() const { return *failure_; }

private:
    friend FileBytes readWholeFile(const std::filesystem::path& path);
    void release();

    std::span<const std::uint8_t> bytes_;
    void* mapping_ = nullptr;        // what munmap releases, when the bytes are mapped
    std::vector<std::uint8_t> copy_; // the bytes of a file that cannot be mapped
    std::optional<Failure> failure_;
};
FileBytes readWholeFile(const std::filesystem::path& path);

} // namespace parvane::imaging
