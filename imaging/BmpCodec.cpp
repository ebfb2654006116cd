// BMP reader and writer.
// Reads: the Windows headers of 40, 52, 56, 108 and 124 bytes and the OS/2 headers of 12 bytes
// (version 1) and 16 to 64 bytes (version 2); 1, 4 and 8 bits with a palette, 16 bits (5:5:5
// words, code 4; bit fields 5:6:5, code 5; other 16-bit masks, code 8), 24 bits, 32 bits (the
// fourth byte kept as alpha; other 32-bit masks are unpacked to 32 bits); RLE8 and RLE4;
// bottom-up and top-down rows; a pixel offset that leaves a gap after the palette.
// Refuses: other bit counts (2 bits included), embedded JPEG or PNG, OS/2 Huffman and RLE24,
// palette indices beyond the palette, run-length data that leaves its picture (runs that
// carry past a row's end are clipped to the row),
// pictures with a zero or negative width, beyond the memory limit, or shorter than their rows.
#include "BmpCodec.h"

#include "ByteReader.h"
#include "DecoderSupport.h"
#include "FailureReason.h"
#include "PixelFormatConversions.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace parvane::imaging {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5,
                        kAlphaBitfields = 6;

Failure bad(const std::string& why) {
    return {FailureKind::Damaged, std::string("BMP: ") + why};
}

Status runLengthEnds() {
    return Status::damaged(reasons::format(reasons::kRunLengthEnds, {"BMP"}));
}

struct BmpInfo {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
    bool os2 = false;
    std::uint32_t dataOffset = 0; // where the file header says the pixels start
    std::size_t paletteStart = 0; // just after the headers and masks
};

// Scales the masked field of a pixel to 0..255.
std::uint8_t maskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255u + max / 2) / max);
}

// Checks every palette index of a paletted bitmap against the palette's size.
bool indicesWithin(const Bitmap& bitmap, std::size_t paletteSize) {
    if (paletteSize >= (std::size_t{1} << bitmap.bitsPerPixel()))
        return true;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if (bitmap.indexAt(x, y) >= paletteSize)
                return false;
    return true;
}

// Decodes RLE8 (bits 8) or RLE4 (bits 4) data into a paletted bitmap.
// Every index is checked against the palette as it is written; pixels the data skips (deltas,
// an early end) keep index 0, so checking them would only cost a pass over the picture.
Status decodeRle(std::span<const std::uint8_t> data, int bits, bool topDown,
                 std::size_t paletteSize, Bitmap& bitmap) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    ByteReader r(data);
    int x = 0, line = 0; // line counts stored rows from the first one in the file
    // Some writers let a run carry past the row's last pixel into its padding; desktop
    // decoders clip such runs at the row end, and so does this one. A run below the last row
    // is damage.
    auto put = [&](std::uint8_t index) -> const char* {
        if (line >= height)
            return "a run leaves the picture";
        if (index >= paletteSize)
            return "a pixel uses a colour beyond the palette";
        if (x < width)
            bitmap.setIndex(x++, topDown ? line : height - 1 - line, index);
        return nullptr;
    };
    while (true) {
        const std::uint8_t count = r.u8();
        const std::uint8_t value = r.u8();
        if (r.failed())
            return line >= height ? Status() : runLengthEnds();
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                const std::uint8_t index =
                    bits == 8 ? value
                              : static_cast<std::uint8_t>((i & 1) ? value & 0x0F : value >> 4);
                if (const char* failure = put(index))
                    return bad(failure);
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++line;
        } else if (value == 1) { // end of bitmap
            return {};
        } else if (value == 2) { // delta
            const int dx = r.u8();
            const int dy = r.u8();
            if (r.failed())
                return runLengthEnds();
            x += dx;
            line += dy;
            if (x > width || line > height)
                return bad("a delta leaves the picture");
        } else { // absolute run of value pixels, padded to a 16-bit boundary
            const int n = value;
            const std::size_t bytes =
                bits == 8 ? static_cast<std::size_t>(n) : static_cast<std::size_t>((n + 1) / 2);
            const auto run = r.bytes(bytes);
            if (r.failed())
                return runLengthEnds();
            for (int i = 0; i < n; ++i) {
                const std::uint8_t b = run[bits == 8 ? i : i / 2];
                const std::uint8_t index =
                    bits == 8 ? b : static_cast<std::uint8_t>((i & 1) ? b & 0x0F : b >> 4);
                if (const char* failure = put(index))
                    return bad(failure);
            }
            if (bytes & 1)
                r.skip(1);
        }
    }
}

} // namespace

namespace {

// The reader of both entry points; widen24 writes 24-bit pixels as 32-bit ones (alpha 0).
// Reads the file header, the info header and any bit-field masks that follow it.
Status parseHeaders(std::span<const std::uint8_t> bytes, BmpInfo& info) {
    ByteReader r(bytes);
    if (r.u16le() != 0x4D42)
        return Status::notThisFormat(reasons::kBmpNoSignature);
    r.skip(8); // file size and reserved words: often wrong, never needed
    info.dataOffset = r.u32le();
    info.headerSize = r.u32le();
    if (r.failed())
        return Failure{FailureKind::Damaged, reasons::kBmpShortHeaders};

    const std::uint32_t hs = info.headerSize;
    const bool windows = hs == 40 || hs == 52 || hs == 56 || hs == 108 || hs == 124;
    if (hs == 12) {
        info.os2 = true;
        info.width = r.u16le();
        info.height = r.u16le();
        r.u16le(); // planes
        info.bitCount = r.u16le();
    } else if (windows || (hs >= 16 && hs <= 64)) {
        info.os2 = !windows;
        const std::size_t headerStart = r.position();
        info.width = r.s32le();
        info.height = r.s32le();
        r.u16le(); // planes: ignored, as the common readers do
        info.bitCount = r.u16le();
        if (hs >= 20)
            info.compression = r.u32le();
        if (hs >= 36) {
            r.skip(12); // image size and resolution
            info.coloursUsed = r.u32le();
        }
        if (windows && hs >= 52) {
            r.seek(headerStart - 4 + 40);
            info.redMask = r.u32le();
            info.greenMask = r.u32le();
            info.blueMask = r.u32le();
            if (hs >= 56)
                info.alphaMask = r.u32le();
        }
        r.seek(headerStart - 4 + hs);
        if (hs == 40 && (info.compression == kBitfields || info.compression == kAlphaBitfields)) {
            info.redMask = r.u32le();
            info.greenMask = r.u32le();
            info.blueMask = r.u32le();
            if (info.compression == kAlphaBitfields)
                info.alphaMask = r.u32le();
        }
    } else {
        return bad("header size " + std::to_string(hs) + " is not a known one");
    }
    if (r.failed())
        return Failure{FailureKind::Damaged, reasons::kBmpShortHeaders};
    info.paletteStart = r.position();
    return {};
}

// Tells unsupported variants and damaged headers apart before anything is allocated.
Status validate(const BmpInfo& info) {
    // OS/2 version 2 numbers its own compressions 3 (Huffman) and 4 (RLE24).
    if (info.os2 && (info.compression == 3 || info.compression == 4))
        return Status::unsupported("BMP: OS/2 compression " + std::to_string(info.compression) +
                                   " is not supported");
    if (info.compression == kJpeg || info.compression == kPng)
        return Status::unsupported(reasons::kBmpEmbedded);
    const int bits = info.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Status::unsupported(
            reasons::format(reasons::kBitsPerPixel, {"BMP", std::to_string(bits)}));
    switch (info.compression) {
    case kRgb:
        break;
    case kRle8:
        if (bits != 8)
            return bad("RLE8 needs 8 bits per pixel");
        break;
    case kRle4:
        if (bits != 4)
            return bad("RLE4 needs 4 bits per pixel");
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (bits != 16 && bits != 32)
            return bad("bit fields need 16 or 32 bits per pixel");
        break;
    default:
        return Status::unsupported(
            reasons::format(reasons::kCompression, {"BMP", std::to_string(info.compression)}));
    }

    const std::int64_t width = info.width;
    const std::int64_t height = info.height < 0 ? -info.height : info.height;
    return decoders::checkPictureSize("BMP", width, height);
}

// The palette of pictures of up to 8 bits, right after the headers (and masks), up to the
// pixel data; end receives where it ends.
Status readPalette(std::span<const std::uint8_t> bytes, const BmpInfo& info,
                   std::vector<Colour>& palette, std::size_t& end) {
    // Palette: right after the headers (and masks), up to the pixel data.
    const int bits = info.bitCount;
    const std::uint32_t hs = info.headerSize;
    ByteReader r(bytes);
    r.seek(info.paletteStart);
    if (bits <= 8) {
        const std::size_t entrySize = info.os2 && hs == 12 ? 3 : 4;
        const std::size_t paletteStart = r.position();
        // A palette declared larger than the bit count allows is tolerated only when all of
        // it lies before the pixel data; anything else is a damaged count.
        if (info.coloursUsed > (std::uint32_t{1} << bits) &&
            paletteStart + std::uint64_t{info.coloursUsed} * entrySize > info.dataOffset)
            return bad("palette of " + std::to_string(info.coloursUsed) +
                       " colours does not fit before the pixel data");
        std::size_t count = info.coloursUsed != 0 ? info.coloursUsed : (std::size_t{1} << bits);
        count = std::min(count, std::size_t{1} << bits);
        if (info.coloursUsed == 0 && info.dataOffset > paletteStart)
            count = std::min(count, (info.dataOffset - paletteStart) / entrySize);
        const auto entries = r.bytes(count * entrySize);
        if (r.failed())
            return bad("palette runs past the end");
        palette.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = entries.data() + i * entrySize;
            palette[i] = {e[2], e[1], e[0]};
        }
    }
    end = r.position();
    return {};
}

// The bitmap format of uncompressed rows of a bit count: 16-bit rows by their masks, and
// 32-bit rows whose masks are not the plain byte order are unpacked channel by channel.
struct RowLayout {
    PixelFormat format = PixelFormat::Bits24;
    bool unpack32 = false;
    BitfieldMasks masks; // for PixelFormat::Custom
};

RowLayout rowLayoutOf(const BmpInfo& info) {
    RowLayout layout;
    switch (info.bitCount) {
    case 1:
        layout.format = PixelFormat::Bits1;
        break;
    case 4:
        layout.format = PixelFormat::Bits4;
        break;
    case 8:
        layout.format = PixelFormat::Bits8;
        break;
    case 16:
        if (info.compression == kRgb) {
            layout.format = PixelFormat::Bits15;
        } else if (info.redMask == 0xF800 && info.greenMask == 0x07E0 && info.blueMask == 0x001F) {
            layout.format = PixelFormat::Bits16;
        } else {
            layout.format = PixelFormat::Custom;
            layout.masks = {info.redMask, info.greenMask, info.blueMask};
        }
        break;
    case 24:
        layout.format = PixelFormat::Bits24;
        break;
    case 32:
        layout.format = PixelFormat::Bits32;
        layout.unpack32 =
            info.compression != kRgb &&
            !(info.redMask == 0xFF0000 && info.greenMask == 0xFF00 && info.blueMask == 0xFF &&
              (info.alphaMask == 0 || info.alphaMask == 0xFF000000));
        break;
    }
    return layout;
}

void unpackMaskedRow(const std::uint8_t* s, std::uint8_t* d, int w, const BmpInfo& info) {
    for (int x = 0; x < w; ++x, s += 4, d += 4) {
        const std::uint32_t p =
            s[0] | (s[1] << 8) | (s[2] << 16) | (static_cast<std::uint32_t>(s[3]) << 24);
        d[0] = maskedChannel(p, info.blueMask);
        d[1] = maskedChannel(p, info.greenMask);
        d[2] = maskedChannel(p, info.redMask);
        d[3] = maskedChannel(p, info.alphaMask);
    }
}

// Uncompressed rows, bottom-up or top-down, in the bitmap format their bit count gives.
DecodeResult decodeRows(std::span<const std::uint8_t> data, const BmpInfo& info,
                        const std::vector<Colour>& palette, bool widen24, bool& widened) {
    const int bits = info.bitCount;
    const bool topDown = info.height < 0;
    const int w = static_cast<int>(info.width);
    const int h = static_cast<int>(topDown ? -info.height : info.height);
    const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
    if (data.size() / stride < static_cast<std::size_t>(h))
        return Failure{FailureKind::Damaged, reasons::kBmpRowsPastEnd};

    const RowLayout layout = rowLayoutOf(info);
    const PixelFormat format = layout.format;
    const bool widen = widen24 && format == PixelFormat::Bits24;
    widened = widen;
    // Rows of 24 and 32 bits are written in full below; narrower ones are copied with the
    // spare bits of their last byte, onto cleared bytes.
    Bitmap bitmap = widen        ? Bitmap::forWriting(w, h, PixelFormat::Bits32)
                    : bits >= 24 ? Bitmap::forWriting(w, h, format)
                                 : Bitmap(w, h, format);
    if (hasPalette(format))
        bitmap.setPalette(palette);
    if (format == PixelFormat::Custom)
        bitmap.setMasks(layout.masks);
    const std::size_t rowBytes = std::min(stride, bitmap.stride());
    for (int i = 0; i < h; ++i) {
        const std::uint8_t* s = data.data() + stride * static_cast<std::size_t>(i);
        std::uint8_t* d = bitmap.row(topDown ? i : h - 1 - i);
        if (widen)
            widenRow24To32(s, d, w);
        else if (layout.unpack32)
            unpackMaskedRow(s, d, w, info);
        else
            std::memcpy(d, s, rowBytes);
    }
    if (hasPalette(format) && !indicesWithin(bitmap, palette.size()))
        return Failure{FailureKind::Damaged, reasons::kBmpBeyondPalette};
    return bitmap;
}

DecodeResult decodeBmpPicture(std::span<const std::uint8_t> bytes, bool widen24, bool& widened) {
    widened = false;
    BmpInfo info;
    if (Status checked = parseHeaders(bytes, info); !checked)
        return checked.error();
    if (Status checked = validate(info); !checked)
        return checked.error();
    std::vector<Colour> palette;
    std::size_t paletteEnd = 0;
    if (Status checked = readPalette(bytes, info, palette, paletteEnd); !checked)
        return checked.error();
    const int bits = info.bitCount;
    const bool topDown = info.height < 0;
    const std::int64_t width = info.width;
    const std::int64_t height = topDown ? -info.height : info.height;

    const std::size_t dataStart = info.dataOffset != 0 ? info.dataOffset : paletteEnd;
    if (dataStart > bytes.size())
        return bad("pixel data offset lies beyond the end");
    const std::span<const std::uint8_t> data = bytes.subspan(dataStart);
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);

    if (info.compression == kRle8 || info.compression == kRle4) {
        Bitmap bitmap(w, h, bits == 8 ? PixelFormat::Bits8 : PixelFormat::Bits4);
        bitmap.setPalette(palette);
        if (palette.empty())
            return Failure{FailureKind::Damaged, reasons::kBmpBeyondPalette};
        if (Status decoded = decodeRle(data, bits, topDown, palette.size(), bitmap); !decoded)
            return decoded.error();
        return bitmap;
    }
    return decodeRows(data, info, palette, widen24, widened);
}

} // namespace

DecodeResult decodeBmp(std::span<const std::uint8_t> bytes) {
    bool widened = false;
    return decodeBmpPicture(bytes, false, widened);
}

DecodeResult decodeBmpWidening24Bits(std::span<const std::uint8_t> bytes, PixelFormat& fileFormat) {
    bool widened = false;
    DecodeResult result = decodeBmpPicture(bytes, true, widened);
    // A widened picture is still a 24-bit file.
    if (result)
        fileFormat = widened ? PixelFormat::Bits24 : result.bitmap().format();
    return result;
}

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap) {
    const PixelFormat format = bitmap.format();
    int bits = bitmap.bitsPerPixel();
    std::uint32_t compression = kRgb;
    BitfieldMasks masks = bitmap.masks();
    if (format == PixelFormat::Bits16) {
        compression = kBitfields;
        masks = {0xF800, 0x07E0, 0x001F};
    } else if (format == PixelFormat::Custom) {
        compression = kBitfields;
    }
    if (format == PixelFormat::Device)
        bits = 32;
    const std::size_t paletteCount =
        hasPalette(format) ? std::min(bitmap.palette().size(), std::size_t{1} << bits) : 0;
    const std::size_t headers = kFileHeaderSize + 40 + (compression == kBitfields ? 12 : 0);
    const std::size_t offset = headers + 4 * paletteCount;
    const std::size_t stride = bitmap.stride();
    const std::size_t imageSize = stride * static_cast<std::size_t>(bitmap.height());
    const std::size_t fileSize = offset + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        return {};

    std::vector<std::uint8_t> file(fileSize);
    std::size_t pos = 0;
    auto put16 = [&](std::uint32_t v) {
        file[pos++] = static_cast<std::uint8_t>(v);
        file[pos++] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0x4D42);
    put32(static_cast<std::uint32_t>(fileSize));
    put32(0);
    put32(static_cast<std::uint32_t>(offset));
    put32(40);
    put32(static_cast<std::uint32_t>(bitmap.width()));
    put32(static_cast<std::uint32_t>(bitmap.height())); // positive: bottom row first
    put16(1);
    put16(static_cast<std::uint32_t>(bits));
    put32(compression);
    put32(static_cast<std::uint32_t>(imageSize));
    put32(2835); // 72 dots per inch
    put32(2835);
    put32(static_cast<std::uint32_t>(paletteCount));
    put32(0);
    if (compression == kBitfields) {
        put32(masks.red);
        put32(masks.green);
        put32(masks.blue);
    }
    for (std::size_t i = 0; i < paletteCount; ++i) {
        const Colour c = bitmap.palette()[i];
        file[pos++] = c.blue;
        file[pos++] = c.green;
        file[pos++] = c.red;
        file[pos++] = 0;
    }
    for (int y = bitmap.height() - 1; y >= 0; --y, pos += stride)
        std::memcpy(file.data() + pos, bitmap.row(y), stride);
    return file;
}

WriteStatus saveBmp(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    const std::vector<std::uint8_t> file = encodeBmp(bitmap);
    if (file.empty())
        return writeFailure(reasons::kBmpTooLarge);
    return writeFileAtomically(fileName, file);
}

} // namespace parvane::imaging
