#include "PngCodec.h"

#include "DecoderSupport.h"
#include "FailureReason.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <png.h>
#include <string>
#include <string_view>

// Why libpng and not libspng: on a 4096 x 4096 8-bit RGB file written at zlib level 6, libpng
// reading rows straight into the bitmap took 218 ms in a fresh process, libspng 244 ms (its
// 8-bit output has no blue-first order, so every row needs a second pass, and it reduces 16-bit
// samples by dropping the low byte where Parvane rounds). Both spend most of the time in zlib's
// inflate. libpng is told to skip the Adler-32 sum of the inflated data, which saved a tenth:
// the CRC of every chunk makes it redundant, as a damaged byte of the file still fails its
// chunk's CRC.

namespace parvane::imaging {

// libpng reports fatal errors through the error function, which must not return. It jumps back
// to the setjmp in runDecode/runEncode; the functions between hold no C++ objects with
// destructors, so nothing is skipped. Every object that needs cleaning up lives in the callers'
// frames.

namespace {

// The most a deflate stream inflates to: 258 bytes for every 2 bits (one length and one distance
// code of a single bit each).
constexpr std::uint64_t kMaxInflateRatio = 1032;

struct ErrorState {
    std::jmp_buf jump;
    std::array<char, 256> message{};
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message.data(), state->message.size(), "%s", message ? message : "");
    std::longjmp(state->jump, 1);
}

// Warnings (an ancillary chunk with a bad CRC, which is dropped; extra data after the picture)
// leave the pixels intact.
void onWarning(png_structp, png_const_charp) {}

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t offset = 0;
    bool cut = false; // the file ended before libpng had what it asked for
};

void readBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->data.size() - source->offset) {
        source->cut = true;
        png_error(png, "the file ends early");
    }
    std::memcpy(out, source->data.data() + source->offset, count);
    source->offset += count;
}

// The bytes of all IDAT chunks, walking the chunk headers only (libpng checks the rest).
std::uint64_t pixelDataBytes(std::span<const std::uint8_t> data) {
    std::uint64_t total = 0;
    std::size_t at = 8;
    while (data.size() - at >= 12) {
        const std::uint32_t length = png_get_uint_32(data.data() + at);
        if (std::memcmp(data.data() + at + 4, "IDAT", 4) == 0)
            total += std::min<std::uint64_t>(length, data.size() - at - 8);
        else if (std::memcmp(data.data() + at + 4, "IEND", 4) == 0)
            break;
        if (length > data.size() - at - 12)
            break;
        at += 12 + std::size_t{length};
    }
    return total;
}

// Chunks libpng would otherwise read, and decompress, for nothing: Parvane shows the stored
// samples and keeps no text or profile.
constexpr png_byte kIgnoredChunks[] = {'i', 'C', 'C', 'P', '\0', 'i', 'T', 'X', 't', '\0',
                                       't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0',
                                       's', 'P', 'L', 'T', '\0', 'e', 'X', 'I', 'f', '\0'};

enum class Outcome { Done, LibraryFailed, Refused };

// What runDecode needs from the C++ side; its members are owned by decodeInto's frame.
struct DecodeJob {
    bool working;   // write 32-bit working pixels
    Bitmap* bitmap; // the result
    PixelFormat* fileFormat;
    std::string* refusal; // set when the picture is refused before its pixels are read
};

// The palette of an indexed file, padded with black to 256 entries so that any index has a
// colour (libpng lets indices beyond the palette through as a warning).
std::vector<Colour> filePalette(png_structp png, png_infop info) {
    std::vector<Colour> palette(256, colours::kBlack);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) & PNG_INFO_PLTE)
        for (int i = 0; i < count && i < 256; ++i)
            palette[static_cast<std::size_t>(i)] = {entries[i].red, entries[i].green,
                                                    entries[i].blue};
    return palette;
}

Outcome runDecode(png_structp png, png_infop info, ErrorState* errors, Source* source,
                  DecodeJob* job) {
    if (setjmp(errors->jump))
        return Outcome::LibraryFailed;
    png_set_read_fn(png, source, readBytes);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    // The picture's size is judged below, by the loaders' own rule and with its reason.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                                sizeof kIgnoredChunks / 5);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (Status size = decoders::checkPictureSize("PNG", width, height); !size) {
        *job->refusal = size.error().reason;
        return Outcome::Refused;
    }
    // A file far smaller than its rows can be is damaged; refusing it spares allocating for it.
    const std::uint64_t rowBytes = png_get_rowbytes(png, info);
    const std::uint64_t pixelData = pixelDataBytes(source->data);
    if (rowBytes * height > (pixelData + 64) * kMaxInflateRatio) {
        *job->refusal = reasons::format(
            reasons::kPngCannotHold,
            {std::to_string(pixelData), std::to_string(width) + "x" + std::to_string(height)});
        return Outcome::Refused;
    }

    // Every layout ends as one byte a pixel (palette indices, grey levels), three (blue, green,
    // red) or four (with alpha, or a filler byte of 0 for the working bitmap). libpng does the
    // widening for the working bitmap too, in the same pass as the rest.
    png_set_scale_16(png);
    PixelFormat own = PixelFormat::Bits8;
    int channels = 1;
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
        if (job->working) {
            png_set_palette_to_rgb(png);
            // Expanding the palette turns a tRNS chunk into alpha, which 8-bit sources do not
            // carry into the working bitmap.
            if (png_get_valid(png, info, PNG_INFO_tRNS))
                png_set_strip_alpha(png);
            png_set_bgr(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
            channels = 4;
        } else {
            png_set_packing(png);
        }
        break;
    case PNG_COLOR_TYPE_GRAY:
        png_set_expand_gray_1_2_4_to_8(png);
        if (job->working) {
            png_set_gray_to_rgb(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
            channels = 4;
        }
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_gray_to_rgb(png);
        own = PixelFormat::Bits32;
        channels = 4;
        break;
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(png);
        own = PixelFormat::Bits24;
        channels = 3;
        if (job->working) {
            png_set_filler(png, 0, PNG_FILLER_AFTER);
            channels = 4;
        }
        break;
    default: // RGBA; libpng refuses any other colour type in the header
        png_set_bgr(png);
        own = PixelFormat::Bits32;
        channels = 4;
        break;
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_channels(png, info) != channels || png_get_bit_depth(png, info) != 8)
        png_error(png, "unexpected pixel layout after the transformations");

    *job->fileFormat = own;
    *job->bitmap = Bitmap::forWriting(static_cast<int>(width), static_cast<int>(height),
                                      job->working ? PixelFormat::Bits32 : own);
    Bitmap& bitmap = *job->bitmap;
    // libpng writes png_get_rowbytes bytes into each row; the bitmap's rows must hold them.
    if (png_get_rowbytes(png, info) > bitmap.stride())
        png_error(png, "rows larger than the bitmap's");
    if (bitmap.format() == PixelFormat::Bits8)
        bitmap.setPalette(colourType == PNG_COLOR_TYPE_PALETTE ? filePalette(png, info)
                                                               : decoders::greyRamp(8));
    // An interlaced picture's passes each fill their pixels of every row.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, bitmap.row(static_cast<int>(y)), nullptr);
    png_read_end(png, nullptr);
    return Outcome::Done;
}

// The reason of a libpng failure, in the words of FailureReason.h.
std::string failureReason(const ErrorState& errors, const Source& source) {
    if (source.cut)
        return reasons::kPngEndsEarly;
    const std::string_view message(errors.message.data());
    // libpng names the chunk it was reading: "IDAT: CRC error", "IDAT: invalid distance ...".
    const auto colon = message.find(": ");
    const std::string_view chunk =
        colon == std::string_view::npos ? std::string_view() : message.substr(0, colon);
    const std::string_view what =
        colon == std::string_view::npos ? message : message.substr(colon + 2);
    if (what == "CRC error")
        return reasons::format(reasons::kPngChunkCrc, {chunk});
    if (chunk == "IDAT" || message == "Not enough image data")
        return reasons::format(reasons::kPngPixelData, {what});
    return reasons::format(reasons::kPngDamaged, {message});
}

DecodeResult decodeInto(std::span<const std::uint8_t> data, bool working, PixelFormat& fileFormat) {
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0)
        return DecodeResult::notThisFormat(reasons::kPngNoSignature);
    ErrorState errors;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
    if (!png)
        throw std::bad_alloc();
    png_infop info = png_create_info_struct(png);
    // Destroys libpng's structures however this frame is left, a bad_alloc included.
    struct Release {
        png_structp* png;
        png_infop* info;
        ~Release() { png_destroy_read_struct(png, info, nullptr); }
    } release{&png, &info};
    if (!info)
        throw std::bad_alloc();
    Source source{data};
    Bitmap bitmap;
    std::string refusal;
    DecodeJob job{working, &bitmap, &fileFormat, &refusal};
    switch (runDecode(png, info, &errors, &source, &job)) {
    case Outcome::LibraryFailed:
        return DecodeResult::damaged(failureReason(errors, source));
    case Outcome::Refused:
        return DecodeResult::damaged(refusal);
    case Outcome::Done:
        break;
    }
    return bitmap;
}

struct EncodeJob {
    const Bitmap* bitmap; // 24 bits
    std::vector<std::uint8_t>* out;
};

void writeBytes(png_structp png, png_bytep bytes, png_size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

bool runEncode(png_structp png, png_infop info, ErrorState* errors, EncodeJob* job) {
    if (setjmp(errors->jump))
        return false;
    png_set_write_fn(png, job->out, writeBytes, flushNothing);
    const Bitmap& bitmap = *job->bitmap;
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()),
                 static_cast<png_uint_32>(bitmap.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < bitmap.height(); ++y)
        png_write_row(png, bitmap.row(y));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

DecodeResult decodePng(std::span<const std::uint8_t> data) {
    PixelFormat fileFormat = PixelFormat::Bits32;
    return decodeInto(data, false, fileFormat);
}

DecodeResult decodePngWidening24Bits(std::span<const std::uint8_t> data, PixelFormat& fileFormat) {
    return decodeInto(data, true, fileFormat);
}

PngEncoded encodePng(const Bitmap& bitmap) {
    if (bitmap.isEmpty())
        return PngEncoded::failure(FailureKind::WriteFailed,
                                   reasons::format(reasons::kWriteFailed, {"empty picture"}));
    const Bitmap* source = &bitmap;
    Bitmap converted;
    if (bitmap.format() != PixelFormat::Bits24) {
        converted = bitmap.converted(PixelFormat::Bits24);
        source = &converted;
    }
    ErrorState errors;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
    if (!png)
        throw std::bad_alloc();
    png_infop info = png_create_info_struct(png);
    struct Release {
        png_structp* png;
        png_infop* info;
        ~Release() { png_destroy_write_struct(png, info); }
    } release{&png, &info};
    if (!info)
        throw std::bad_alloc();
    std::vector<std::uint8_t> out;
    EncodeJob job{source, &out};
    if (!runEncode(png, info, &errors, &job))
        return PngEncoded::failure(
            FailureKind::WriteFailed,
            reasons::format(reasons::kWriteFailed, {std::string_view(errors.message.data())}));
    return out;
}

WriteStatus savePng(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    const PngEncoded encoded = encodePng(bitmap);
    if (!encoded)
        return encoded.error();
    return writeFileAtomically(fileName, encoded.value());
}

} // namespace parvane::imaging
