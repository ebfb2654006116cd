// TGA reader.
// Supports: image types 1, 2, 3 (colour-mapped, true-colour, greyscale) and their run-length
// forms 9, 10, 11; a colour map carried by a greyscale or true-colour picture is passed over. Pixel
// depths 8 (palette or grey ramp), 15 and 16 (words kept with their top bit, as 15-bit
// pixels), 24 and 32 (fourth byte kept as alpha); greyscale pixels of 16 bits are a grey byte
// and an alpha byte and become 32-bit grey pixels that keep their alpha. Colour maps of 15-, 16-,
// 24- and 32-bit entries; at most 256 entries are kept, placed from the map's first entry index.
// Rows stored top row first or bottom row first; the right-to-left bit is ignored, as the level
// editors' files never set it. Run-length packets may cross row ends. Refuses: other pixel depths
// ("pixels of N bits are not read"), other image types (type 0, which holds no picture, included),
// greyscale pixels of other than 8 or 16 bits, colour-mapped pixels of other than 8 bits,
// colour-mapped pictures whose map entries are not 15, 16, 24 or 32 bits, pictures with a zero side
// or beyond the memory limit, and data that ends before the last pixel ("Stream read error" for
// uncompressed rows).
#include "TargaGraphic.h"

#include "ByteReader.h"
#include "FailureReason.h"
#include "PixelFormatConversions.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace parvane::imaging {

namespace {

int tgaBytesPerPixel(int depth) {
    switch (depth) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

std::optional<PixelFormat> formatForDepth(int depth) {
    switch (depth) {
    case 8:
        return PixelFormat::Bits8;
    case 15:
    case 16:
        return PixelFormat::Bits15;
    case 24:
        return PixelFormat::Bits24;
    case 32:
        return PixelFormat::Bits32;
    default:
        return std::nullopt;
    }
}

// Type 0 ("no image data") is a header without a picture and is refused like unknown types.
bool isKnownImageType(int type) {
    return type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
}

bool isGreyType(int type) {
    return type == 3 || type == 11;
}

bool isRunLengthType(int type) {
    return type == 9 || type == 10 || type == 11;
}

bool isGreyAlpha(const TgaHeader& h) {
    return isGreyType(h.imageType) && h.pixelDepth == 16;
}

// The pixels of a grey+alpha picture, held as 16-bit words (grey byte, then alpha byte), as
// 32-bit grey pixels with that alpha. Taken for 1:5:5:5 colour words they would be noise.
Bitmap greyAlphaTo32Bits(const Bitmap& words) {
    Bitmap out = Bitmap::forWriting(words.width(), words.height(), PixelFormat::Bits32);
    for (int y = 0; y < words.height(); ++y) {
        const std::uint8_t* s = words.row(y);
        std::uint8_t* d = out.row(y);
        for (int x = 0; x < words.width(); ++x, s += 2, d += 4) {
            d[0] = d[1] = d[2] = s[0];
            d[3] = s[1];
        }
    }
    return out;
}

std::string sizeText(int w, int h) {
    return std::to_string(w) + " x " + std::to_string(h);
}

} // namespace

std::optional<TgaHeader> parseTgaHeader(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    TgaHeader h;
    h.idLength = r.u8();
    h.colourMapType = r.u8();
    h.imageType = r.u8();
    h.colourMapFirst = r.u16le();
    h.colourMapLength = r.u16le();
    h.colourMapEntrySize = r.u8();
    h.xOrigin = r.u16le();
    h.yOrigin = r.u16le();
    h.width = r.u16le();
    h.height = r.u16le();
    h.pixelDepth = r.u8();
    h.descriptor = r.u8();
    if (r.failed())
        return std::nullopt;
    return h;
}

TTargaRLEDecoder::TTargaRLEDecoder(int pixelDepth)
    : bytesPerPixel_(std::max(tgaBytesPerPixel(pixelDepth), 1)) {}

bool TTargaRLEDecoder::Decode(std::span<const std::uint8_t> source, std::size_t& sourcePos,
                              std::span<std::uint8_t> destination, std::size_t pixelCount) {
    const std::size_t bpp = static_cast<std::size_t>(bytesPerPixel_);
    pixelCount = std::min(pixelCount, destination.size() / bpp);
    std::uint8_t* out = destination.data();
    std::size_t produced = 0;
    while (produced < pixelCount) {
        if (pendingCount_ == 0) {
            if (sourcePos >= source.size())
                return false;
            const std::uint8_t b = source[sourcePos++];
            pendingCount_ = static_cast<std::size_t>(b & 0x7F) + 1;
            pendingRun_ = (b & 0x80) != 0;
            if (pendingRun_) {
                if (source.size() - sourcePos < bpp) {
                    pendingCount_ = 0;
                    sourcePos = source.size();
                    return false;
                }
                std::memcpy(runPixel_.data(), source.data() + sourcePos, bpp);
                sourcePos += bpp;
            }
        }
        const std::size_t n = std::min(pendingCount_, pixelCount - produced);
        if (pendingRun_) {
            if (bpp == 1) {
                std::memset(out, runPixel_[0], n);
            } else if (bpp == 4) {
                std::uint32_t value;
                std::memcpy(&value, runPixel_.data(), 4);
                for (std::size_t i = 0; i < n; ++i)
                    std::memcpy(out + 4 * i, &value, 4);
            } else if (bpp == 2) {
                std::uint16_t value;
                std::memcpy(&value, runPixel_.data(), 2);
                for (std::size_t i = 0; i < n; ++i)
                    std::memcpy(out + 2 * i, &value, 2);
            } else {
                for (std::size_t i = 0; i < n; ++i, out += 3) {
                    out[0] = runPixel_[0];
                    out[1] = runPixel_[1];
                    out[2] = runPixel_[2];
                }
                out -= 3 * n;
            }
        } else {
            const std::size_t available = (source.size() - sourcePos) / bpp;
            if (available < n) {
                std::memcpy(out, source.data() + sourcePos, available * bpp);
                sourcePos = source.size();
                pendingCount_ = 0;
                return false;
            }
            std::memcpy(out, source.data() + sourcePos, n * bpp);
            sourcePos += n * bpp;
        }
        out += n * bpp;
        produced += n;
        pendingCount_ -= n;
    }
    return true;
}

std::vector<std::uint8_t> TTargaRLEDecoder::Encode(std::span<const std::uint8_t> pixels) const {
    const std::size_t bpp = static_cast<std::size_t>(bytesPerPixel_);
    const std::size_t count = pixels.size() / bpp;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(pixels.data() + a * bpp, pixels.data() + b * bpp, bpp) == 0;
    };
    std::vector<std::uint8_t> out;
    out.reserve(pixels.size() + pixels.size() / 64 + 2);
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixels.begin() + i * bpp, pixels.begin() + (i + 1) * bpp);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), pixels.begin() + i * bpp, pixels.begin() + (i + raw) * bpp);
        i += raw;
    }
    return out;
}

namespace {

// Refuses the headers that describe no picture this reader takes.
Status checkTgaHeader(const TgaHeader& h) {
    if (!formatForDepth(h.pixelDepth))
        return Status::unsupported(
            reasons::format(reasons::kBitsPerPixel, {"TGA", std::to_string(h.pixelDepth)}));
    if (h.imageType == 0)
        return Status::unsupported(reasons::kTgaNoImage);
    if (!isKnownImageType(h.imageType))
        return Status::unsupported(
            reasons::format(reasons::kTgaImageType, {std::to_string(h.imageType)}));
    // Greyscale pixels are 8 bits (16 with an alpha byte) and colour map indices 8 bits;
    // other combinations are damaged headers, not pictures.
    if ((isGreyType(h.imageType) && h.pixelDepth != 8 && h.pixelDepth != 16) ||
        ((h.imageType == 1 || h.imageType == 9) && h.pixelDepth != 8))
        return Status::unsupported(
            reasons::format(reasons::kTgaImageTypeDepth,
                            {std::to_string(h.imageType), std::to_string(h.pixelDepth)}));
    if (h.width == 0 || h.height == 0)
        return Status::damaged(
            reasons::format(reasons::kEmptyPicture, {"TGA", sizeText(h.width, h.height)}));
    if (!Bitmap::fitsInMemory(h.width, h.height))
        return Status::damaged(
            reasons::format(reasons::kPictureTooLarge, {"TGA", sizeText(h.width, h.height)}));
    return {};
}

// The colour map's entries counted from its first entry index, as pixel values index them.
std::vector<Colour> colourMapPalette(const TgaHeader& h, std::span<const std::uint8_t> map) {
    const int entryBytes = (h.colourMapEntrySize + 7) / 8;
    std::vector<Colour> palette(256, colours::kBlack);
    for (std::size_t k = 0; k < h.colourMapLength; ++k) {
        const std::size_t slot = h.colourMapFirst + k;
        if (slot >= palette.size())
            break;
        const std::uint8_t* e = map.data() + k * static_cast<std::size_t>(entryBytes);
        if (h.colourMapEntrySize <= 16) {
            const unsigned w = e[0] | (e[1] << 8);
            palette[slot] = {static_cast<std::uint8_t>((w & 0x7C00) >> 7),
                             static_cast<std::uint8_t>((w & 0x3E0) >> 2),
                             static_cast<std::uint8_t>((w & 0x1F) << 3)};
        } else {
            palette[slot] = {e[2], e[1], e[0]};
        }
    }
    return palette;
}

// Reads (or passes over) the colour map after the image ID: a grey ramp for greyscale types,
// the map's colours for a picture that has one, nothing otherwise.
Status readTgaPalette(const TgaHeader& h, ByteReader& r, std::size_t fileSize,
                      std::vector<Colour>& palette) {
    if (isGreyType(h.imageType)) {
        // Some writers give greyscale pictures a colour map as well; the grey ramp is used and
        // the map is passed over, so that its entries are not read as pixels.
        const std::size_t mapBytes = static_cast<std::size_t>(h.colourMapLength) *
                                     static_cast<std::size_t>((h.colourMapEntrySize + 7) / 8);
        if (h.colourMapType == 1 && !r.has(mapBytes))
            return Status::damaged(reasons::endsAfter(fileSize, r.position() + mapBytes));
        if (h.colourMapType == 1)
            r.skip(mapBytes);
        palette.resize(256);
        for (int i = 0; i < 256; ++i)
            palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                          static_cast<std::uint8_t>(i)};
        return {};
    }
    if (h.colourMapType != 1)
        return {};
    const int entryBits = h.colourMapEntrySize;
    const bool known = entryBits == 15 || entryBits == 16 || entryBits == 24 || entryBits == 32;
    const bool indexed = h.imageType == 1 || h.imageType == 9;
    if (!known && indexed)
        return Status::unsupported(
            reasons::format(reasons::kTgaColourMapEntries, {std::to_string(entryBits)}));
    // A true-colour picture may carry a map it does not use: it is read past.
    const std::size_t mapBytes =
        static_cast<std::size_t>(h.colourMapLength) * static_cast<std::size_t>((entryBits + 7) / 8);
    if (!r.has(mapBytes))
        return Status::damaged(reasons::endsAfter(fileSize, r.position() + mapBytes));
    const auto map = r.bytes(mapBytes);
    palette = known ? colourMapPalette(h, map) : std::vector<Colour>(256, colours::kBlack);
    return {};
}

// Refuses pixel data too short for the picture before any of it is allocated.
Status checkTgaPixelData(const TgaHeader& h, const ByteReader& r, std::size_t fileSize) {
    const std::size_t bpp = static_cast<std::size_t>(tgaBytesPerPixel(h.pixelDepth));
    const std::size_t rowBytes = bpp * h.width;
    const std::size_t height = h.height;
    if (isRunLengthType(h.imageType)) {
        // Each packet gives at most 128 pixels: the data cannot possibly hold the picture.
        const std::size_t minimum = (std::size_t{h.width} * height + 127) / 128 * (1 + bpp);
        if (r.remaining() < minimum)
            return Status::damaged(reasons::format(reasons::kRunLengthEnds, {"TGA"}));
    } else if (r.remaining() / rowBytes < height) {
        return Status::damaged(reasons::endsAfter(fileSize, r.position() + rowBytes * height));
    }
    return {};
}

// The bitmap row that file row i fills: rows come top first when descriptor bit 5 is set.
int bitmapRowFor(const TgaHeader& h, int i) {
    return (h.descriptor & 0x20) != 0 ? i : h.height - 1 - i;
}

void copyRawRows(const TgaHeader& h, const std::uint8_t* s, bool widen, Bitmap& bitmap) {
    const int width = h.width;
    const std::size_t rowBytes = static_cast<std::size_t>(tgaBytesPerPixel(h.pixelDepth)) * width;
    for (int i = 0; i < h.height; ++i, s += rowBytes) {
        if (widen)
            widenRow24To32(s, bitmap.row(bitmapRowFor(h, i)), width);
        else
            std::memcpy(bitmap.row(bitmapRowFor(h, i)), s, rowBytes);
    }
}

Status decodeRunLengthRows(const TgaHeader& h, std::span<const std::uint8_t> bytes, std::size_t pos,
                           bool widen, Bitmap& bitmap) {
    const int width = h.width;
    const std::size_t rowBytes = static_cast<std::size_t>(tgaBytesPerPixel(h.pixelDepth)) * width;
    TTargaRLEDecoder decoder(h.pixelDepth);
    // Widened rows are decoded into one row of file pixels first.
    std::vector<std::uint8_t> fileRow(widen ? rowBytes : 0);
    for (int i = 0; i < h.height; ++i) {
        std::uint8_t* target = widen ? fileRow.data() : bitmap.row(bitmapRowFor(h, i));
        if (!decoder.Decode(bytes, pos, {target, rowBytes}, static_cast<std::size_t>(width)))
            return Status::damaged(
                reasons::format(reasons::kRunLengthEndsInRow, {"TGA", std::to_string(i)}));
        if (widen)
            widenRow24To32(fileRow.data(), bitmap.row(bitmapRowFor(h, i)), width);
    }
    return {};
}

// The reader of both entry points; widen24 writes 24-bit pixels as 32-bit ones.
DecodeResult decodeTgaPicture(std::span<const std::uint8_t> bytes, bool widen24,
                              PixelFormat& fileFormat) {
    const std::optional<TgaHeader> parsed = parseTgaHeader(bytes);
    if (!parsed)
        return DecodeResult::damaged(reasons::endsAfter(bytes.size(), TgaHeader::kSize));
    const TgaHeader& h = *parsed;
    if (Status checked = checkTgaHeader(h); !checked)
        return checked.error();
    const PixelFormat format = *formatForDepth(h.pixelDepth);

    ByteReader r(bytes);
    r.seek(TgaHeader::kSize);
    if (!r.skip(h.idLength))
        return DecodeResult::damaged(
            reasons::endsAfter(bytes.size(), TgaHeader::kSize + h.idLength));
    std::vector<Colour> palette;
    if (Status read = readTgaPalette(h, r, bytes.size(), palette); !read)
        return read.error();
    if (Status checked = checkTgaPixelData(h, r, bytes.size()); !checked)
        return checked.error();

    const bool widen = widen24 && format == PixelFormat::Bits24;
    // Every pixel byte is written below (a load that ends early fails), so none is cleared.
    Bitmap bitmap = Bitmap::forWriting(h.width, h.height, widen ? PixelFormat::Bits32 : format);
    if (format == PixelFormat::Bits8 && !palette.empty())
        bitmap.setPalette(std::move(palette));
    fileFormat = isGreyAlpha(h) ? PixelFormat::Bits32 : format;

    if (!isRunLengthType(h.imageType))
        copyRawRows(h, bytes.data() + r.position(), widen, bitmap);
    else if (Status decoded = decodeRunLengthRows(h, bytes, r.position(), widen, bitmap); !decoded)
        return decoded.error();
    // Not a conditional expression: with an lvalue branch it would copy the whole picture.
    if (isGreyAlpha(h))
        return greyAlphaTo32Bits(bitmap);
    return bitmap;
}

} // namespace

DecodeResult decodeTga(std::span<const std::uint8_t> bytes) {
    PixelFormat fileFormat = PixelFormat::Bits32;
    return decodeTgaPicture(bytes, false, fileFormat);
}

DecodeResult decodeTgaWidening24Bits(std::span<const std::uint8_t> bytes, PixelFormat& fileFormat) {
    return decodeTgaPicture(bytes, true, fileFormat);
}

std::optional<ImageProperties>
TTargaGraphic::ReadImageProperties(std::span<const std::uint8_t> bytes) const {
    if (!CanLoad(bytes))
        return std::nullopt;
    const TgaHeader h = *parseTgaHeader(bytes);
    ImageProperties p;
    p.width = h.width;
    p.height = h.height;
    switch (h.pixelDepth) {
    case 8:
        p.bitsPerSample = 8;
        p.samplesPerPixel = 1;
        p.colourScheme = isGreyType(h.imageType) ? ColourScheme::Grey : ColourScheme::Indexed;
        break;
    case 15:
    case 16:
        if (isGreyAlpha(h)) {
            p.bitsPerSample = 8;
            p.samplesPerPixel = 2;
            p.colourScheme = ColourScheme::GreyAlpha;
            break;
        }
        p.bitsPerSample = 5;
        p.samplesPerPixel = 3;
        p.colourScheme = ColourScheme::Rgb;
        break;
    case 24:
        p.bitsPerSample = 8;
        p.samplesPerPixel = 3;
        p.colourScheme = ColourScheme::Rgb;
        break;
    default:
        p.bitsPerSample = 8;
        p.samplesPerPixel = 4;
        p.colourScheme = ColourScheme::Rgba;
        break;
    }
    p.compression = isRunLengthType(h.imageType) ? Compression::RunLength : Compression::None;
    return p;
}

bool TTargaGraphic::CanLoad(std::span<const std::uint8_t> bytes) {
    const auto h = parseTgaHeader(bytes);
    return h && h->colourMapType <= 1 && isKnownImageType(h->imageType) &&
           formatForDepth(h->pixelDepth).has_value();
}

} // namespace parvane::imaging
