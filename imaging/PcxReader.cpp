#include "PcxReader.h"

#include "ByteReader.h"
#include "DecoderSupport.h"
#include "FailureReason.h"
#include "RleCodecs.h"

#include <array>
#include <cstring>
#include <vector>

namespace parvane::imaging {

namespace {

// The 128-byte PCX header, little-endian.
struct PcxHeader {
    static constexpr std::size_t kSize = 128;
    std::uint8_t manufacturer = 0;
    std::uint8_t version = 0;
    std::uint8_t encoding = 0;
    std::uint8_t bitsPerPlane = 0;
    std::uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::array<Colour, 16> palette{};
    std::uint8_t planes = 0;
    std::uint16_t bytesPerLine = 0;
};

PcxHeader readHeader(ByteReader& in) {
    PcxHeader h;
    h.manufacturer = in.u8();
    h.version = in.u8();
    h.encoding = in.u8();
    h.bitsPerPlane = in.u8();
    h.xMin = in.u16le();
    h.yMin = in.u16le();
    h.xMax = in.u16le();
    h.yMax = in.u16le();
    in.skip(4); // resolution
    for (Colour& c : h.palette) {
        c.red = in.u8();
        c.green = in.u8();
        c.blue = in.u8();
    }
    in.skip(1);
    h.planes = in.u8();
    h.bytesPerLine = in.u16le();
    in.seek(PcxHeader::kSize);
    return h;
}

// The colours of the standard 16-colour display, for files that leave the header palette empty.
constexpr std::array<Colour, 16> kDefaultPalette16{{{0, 0, 0},
                                                    {0, 0, 170},
                                                    {0, 170, 0},
                                                    {0, 170, 170},
                                                    {170, 0, 0},
                                                    {170, 0, 170},
                                                    {170, 85, 0},
                                                    {170, 170, 170},
                                                    {85, 85, 85},
                                                    {85, 85, 255},
                                                    {85, 255, 85},
                                                    {85, 255, 255},
                                                    {255, 85, 85},
                                                    {255, 85, 255},
                                                    {255, 255, 85},
                                                    {255, 255, 255}}};

enum class Layout { Mono, Packed2, Packed4, Planar1, Indexed8, Rgb, Rgba };

// The palette of a picture below 8 bits: the header's own, unless the writer left it
// meaningless (all one colour), where a black and white or standard colour set stands in so
// the picture does not come out as one flat colour.
std::vector<Colour> headerPalette(const PcxHeader& h, std::size_t entries) {
    bool uniform = true;
    for (std::size_t i = 1; i < entries; ++i)
        uniform = uniform && h.palette[i] == h.palette[0];
    std::vector<Colour> palette(16, colours::kBlack);
    for (std::size_t i = 0; i < entries; ++i) {
        if (!uniform)
            palette[i] = h.palette[i];
        else if (entries == 2)
            palette[i] = i == 0 ? colours::kBlack : colours::kWhite;
        else
            palette[i] = kDefaultPalette16[i];
    }
    return palette;
}

// Turns one decoded scan line (all planes) into bitmap row `out`.
void convertLine(Layout layout, const std::uint8_t* line, std::size_t bpl, int planes, int width,
                 std::uint8_t* out) {
    const auto w = static_cast<std::size_t>(width);
    switch (layout) {
    case Layout::Mono:
        std::memcpy(out, line, (w + 7) / 8);
        break;
    case Layout::Packed4:
        std::memcpy(out, line, (w + 1) / 2);
        break;
    case Layout::Indexed8:
        std::memcpy(out, line, w);
        break;
    case Layout::Packed2:
        for (std::size_t x = 0; x < w; ++x) {
            const unsigned index = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
            if (x & 1)
                out[x >> 1] = static_cast<std::uint8_t>(out[x >> 1] | index);
            else
                out[x >> 1] = static_cast<std::uint8_t>(index << 4);
        }
        break;
    case Layout::Planar1:
        for (std::size_t x = 0; x < w; ++x) {
            unsigned index = 0;
            const unsigned shift = 7 - (x & 7);
            for (int k = 0; k < planes; ++k)
                index |= ((line[static_cast<std::size_t>(k) * bpl + (x >> 3)] >> shift) & 1u) << k;
            if (x & 1)
                out[x >> 1] = static_cast<std::uint8_t>(out[x >> 1] | index);
            else
                out[x >> 1] = static_cast<std::uint8_t>(index << 4);
        }
        break;
    case Layout::Rgb: {
        const std::uint8_t* r = line;
        const std::uint8_t* g = line + bpl;
        const std::uint8_t* b = line + 2 * bpl;
        // A pixel as one 4-byte store whose last byte the next pixel overwrites; the last
        // pixel bytewise, so that the row is not overrun.
        std::size_t x = 0;
        for (; x + 1 < w; ++x, out += 3) {
            const std::uint32_t v = b[x] | (g[x] << 8) | (std::uint32_t{r[x]} << 16);
            std::memcpy(out, &v, 4);
        }
        out[0] = b[x];
        out[1] = g[x];
        out[2] = r[x];
        break;
    }
    case Layout::Rgba: {
        const std::uint8_t* r = line;
        const std::uint8_t* g = line + bpl;
        const std::uint8_t* b = line + 2 * bpl;
        const std::uint8_t* a = line + 3 * bpl;
        for (std::size_t x = 0; x < w; ++x, out += 4) {
            out[0] = b[x];
            out[1] = g[x];
            out[2] = r[x];
            out[3] = a[x];
        }
        break;
    }
    }
}

} // namespace

DecodeResult decodePcx(std::span<const std::uint8_t> data) {
    ByteReader in(data);
    if (data.size() < PcxHeader::kSize)
        return DecodeResult::notThisFormat(reasons::kPcxShortHeader);
    const PcxHeader h = readHeader(in);
    if (h.manufacturer != 10 && h.manufacturer != 205)
        return DecodeResult::notThisFormat(reasons::kPcxNotPcx);
    if (h.xMax < h.xMin || h.yMax < h.yMin)
        return DecodeResult::damaged(reasons::kPcxWindow);
    const int width = h.xMax - h.xMin + 1;
    const int height = h.yMax - h.yMin + 1;
    if (Status size = decoders::checkPictureSize("PCX", width, height); !size)
        return size.error();

    const int bits = h.bitsPerPlane;
    const int planes = h.planes;
    Layout layout;
    PixelFormat format;
    if (planes == 1 && bits == 1) {
        layout = Layout::Mono;
        format = PixelFormat::Bits1;
    } else if (planes == 1 && bits == 2) {
        layout = Layout::Packed2;
        format = PixelFormat::Bits4;
    } else if (planes == 1 && bits == 4) {
        layout = Layout::Packed4;
        format = PixelFormat::Bits4;
    } else if (planes >= 2 && planes <= 4 && bits == 1) {
        layout = Layout::Planar1;
        format = PixelFormat::Bits4;
    } else if (planes == 1 && bits == 8) {
        layout = Layout::Indexed8;
        format = PixelFormat::Bits8;
    } else if (planes == 3 && bits == 8) {
        layout = Layout::Rgb;
        format = PixelFormat::Bits24;
    } else if (planes == 4 && bits == 8) {
        layout = Layout::Rgba;
        format = PixelFormat::Bits32;
    } else {
        return DecodeResult::unsupported(
            reasons::format(reasons::kPcxPlanes, {std::to_string(planes), std::to_string(bits)}));
    }

    const std::size_t bpl = h.bytesPerLine;
    const std::size_t needed = (static_cast<std::size_t>(width) * bits + 7) / 8;
    if (bpl < needed)
        return DecodeResult::damaged(reasons::format(reasons::kPcxBytesPerLine,
                                                     {std::to_string(bpl), std::to_string(width)}));
    const std::size_t lineBytes = bpl * static_cast<std::size_t>(planes);

    // The 256-colour palette sits in the last 769 bytes, after a 12 marker byte.
    std::span<const std::uint8_t> pixelData = data.subspan(PcxHeader::kSize);
    std::vector<Colour> palette;
    if (layout == Layout::Indexed8) {
        palette = decoders::greyRamp(8);
        if (data.size() >= PcxHeader::kSize + 769 && data[data.size() - 769] == 12) {
            const std::uint8_t* p = data.data() + data.size() - 768;
            for (std::size_t i = 0; i < 256; ++i)
                palette[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
            pixelData = pixelData.first(pixelData.size() - 769);
        }
    } else if (layout == Layout::Mono) {
        palette = headerPalette(h, 2);
        palette.resize(2);
    } else if (format == PixelFormat::Bits4) {
        const std::size_t entries = layout == Layout::Planar1   ? (std::size_t{1} << planes)
                                    : layout == Layout::Packed2 ? 4
                                                                : 16;
        palette = headerPalette(h, entries);
    }

    // Raw data must hold every line; run-length data is at least one byte per 63 pixels.
    const std::uint64_t totalBytes = static_cast<std::uint64_t>(lineBytes) * height;
    const bool rle = h.encoding == 1;
    if (!rle && pixelData.size() < totalBytes)
        return DecodeResult::damaged(reasons::kPcxRawEnds);
    if (rle && static_cast<std::uint64_t>(pixelData.size()) * 32 < totalBytes)
        return DecodeResult::damaged(reasons::kPcxRunLengthShort);

    // Whole-byte pixels are written in full by every row below; sub-byte rows are assembled
    // bit by bit on cleared bytes.
    const bool wholeBytes =
        layout == Layout::Indexed8 || layout == Layout::Rgb || layout == Layout::Rgba;
    Bitmap bitmap =
        wholeBytes ? Bitmap::forWriting(width, height, format) : Bitmap(width, height, format);
    if (!palette.empty())
        bitmap.setPalette(std::move(palette));

    std::vector<std::uint8_t> line(lineBytes);
    std::size_t pos = 0;
    // A run may go on across the end of a line: the whole picture is one run-length stream.
    std::size_t carry = 0;
    std::uint8_t carryValue = 0;
    for (int y = 0; y < height; ++y) {
        if (rle) {
            const std::size_t head = std::min(carry, lineBytes);
            std::memset(line.data(), carryValue, head);
            carry -= head;
            const RleResult r = decodePcxRle(pixelData.subspan(pos), std::span(line).subspan(head));
            pos += r.consumed;
            if (head + r.produced < lineBytes)
                return DecodeResult::damaged(
                    reasons::format(reasons::kRunLengthEndsInRow, {"PCX", std::to_string(y)}));
            if (r.carryCount) {
                carry = r.carryCount;
                carryValue = r.carryValue;
            }
        } else {
            std::memcpy(line.data(), pixelData.data() + pos, lineBytes);
            pos += lineBytes;
        }
        convertLine(layout, line.data(), bpl, planes, width, bitmap.row(y));
    }
    return bitmap;
}

} // namespace parvane::imaging
