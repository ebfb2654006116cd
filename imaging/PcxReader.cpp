#include "PcxReader.h"

#include "ByteReader.h"
#include "DecoderSupport.h"
#include "FailureReason.h"
#include "RleCodecs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <latch>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

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

// Rows of three or four planes of 8 bits interleave into pixels 16 at a time where the
// processor has byte shuffles (SSSE3) or, for four planes, the unpack instructions every x86-64
// has; the rest of a row, and other processors, go pixel by pixel.
#if defined(__x86_64__)
#define PARVANE_PCX_X86 1
#endif

#ifdef PARVANE_PCX_X86
// For output vector `chunk` (bytes 16 * chunk onwards of 16 pixels as blue, green, red) and
// plane `channel`: which byte of that plane's 16 lands in each output byte, or 0x80 for none.
constexpr std::array<std::uint8_t, 16> rgbShuffle(int chunk, int channel) {
    std::array<std::uint8_t, 16> m{};
    for (int k = 0; k < 16; ++k) {
        const int j = 16 * chunk + k;
        m[static_cast<std::size_t>(k)] =
            j % 3 == channel ? static_cast<std::uint8_t>(j / 3) : std::uint8_t{0x80};
    }
    return m;
}

__attribute__((target("ssse3"))) std::size_t interleaveRgb16(const std::uint8_t* r,
                                                             const std::uint8_t* g,
                                                             const std::uint8_t* b, std::size_t w,
                                                             std::uint8_t* out) {
    static constexpr std::array<std::array<std::uint8_t, 16>, 9> kMasks{
        rgbShuffle(0, 0), rgbShuffle(0, 1), rgbShuffle(0, 2), rgbShuffle(1, 0), rgbShuffle(1, 1),
        rgbShuffle(1, 2), rgbShuffle(2, 0), rgbShuffle(2, 1), rgbShuffle(2, 2)};
    __m128i masks[9];
    for (std::size_t i = 0; i < 9; ++i)
        masks[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kMasks[i].data()));
    std::size_t x = 0;
    for (; x + 16 <= w; x += 16, out += 48) {
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
        const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
        for (int c = 0; c < 3; ++c) {
            const __m128i v = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(vb, masks[3 * c]),
                                                        _mm_shuffle_epi8(vg, masks[3 * c + 1])),
                                           _mm_shuffle_epi8(vr, masks[3 * c + 2]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * c), v);
        }
    }
    return x;
}

std::size_t interleaveRgba16(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b,
                             const std::uint8_t* a, std::size_t w, std::uint8_t* out) {
    std::size_t x = 0;
    for (; x + 16 <= w; x += 16, out += 64) {
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
        const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        const __m128i bgLow = _mm_unpacklo_epi8(vb, vg), bgHigh = _mm_unpackhi_epi8(vb, vg);
        const __m128i raLow = _mm_unpacklo_epi8(vr, va), raHigh = _mm_unpackhi_epi8(vr, va);
        auto* o = reinterpret_cast<__m128i*>(out);
        _mm_storeu_si128(o, _mm_unpacklo_epi16(bgLow, raLow));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLow, raLow));
        _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
        _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
    }
    return x;
}
#endif

// Three planes of a line (red, green, blue) into blue-green-red pixels.
void rgbLine(const std::uint8_t* line, std::size_t bpl, std::size_t w, std::uint8_t* out) {
    const std::uint8_t* r = line;
    const std::uint8_t* g = line + bpl;
    const std::uint8_t* b = line + 2 * bpl;
    std::size_t x = 0;
#ifdef PARVANE_PCX_X86
    static const bool shuffles = __builtin_cpu_supports("ssse3");
    if (shuffles) {
        x = interleaveRgb16(r, g, b, w, out);
        out += 3 * x;
    }
#endif
    // A pixel as one 4-byte store whose last byte the next pixel overwrites; the last
    // pixel bytewise, so that the row is not overrun.
    for (; x + 1 < w; ++x, out += 3) {
        const std::uint32_t v = b[x] | (g[x] << 8) | (std::uint32_t{r[x]} << 16);
        std::memcpy(out, &v, 4);
    }
    if (x < w) {
        out[0] = b[x];
        out[1] = g[x];
        out[2] = r[x];
    }
}

// Four planes of a line (red, green, blue, alpha) into blue-green-red-alpha pixels.
void rgbaLine(const std::uint8_t* line, std::size_t bpl, std::size_t w, std::uint8_t* out) {
    const std::uint8_t* r = line;
    const std::uint8_t* g = line + bpl;
    const std::uint8_t* b = line + 2 * bpl;
    const std::uint8_t* a = line + 3 * bpl;
    std::size_t x = 0;
#ifdef PARVANE_PCX_X86
    x = interleaveRgba16(r, g, b, a, w, out);
    out += 4 * x;
#endif
    for (; x < w; ++x, out += 4) {
        out[0] = b[x];
        out[1] = g[x];
        out[2] = r[x];
        out[3] = a[x];
    }
}

// Pixel x's index into the 4-bit row `out`: high nibble first, on a row cleared beforehand.
inline void putNibble(std::uint8_t* out, std::size_t x, unsigned index) {
    if (x & 1)
        out[x >> 1] = static_cast<std::uint8_t>(out[x >> 1] | index);
    else
        out[x >> 1] = static_cast<std::uint8_t>(index << 4);
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
        for (std::size_t x = 0; x < w; ++x)
            putNibble(out, x, (line[x >> 2] >> (6 - 2 * (x & 3))) & 3u);
        break;
    case Layout::Planar1:
        for (std::size_t x = 0; x < w; ++x) {
            unsigned index = 0;
            const unsigned shift = 7 - (x & 7);
            for (int k = 0; k < planes; ++k)
                index |= ((line[static_cast<std::size_t>(k) * bpl + (x >> 3)] >> shift) & 1u) << k;
            putNibble(out, x, index);
        }
        break;
    case Layout::Rgb:
        rgbLine(line, bpl, w, out);
        break;
    case Layout::Rgba:
        rgbaLine(line, bpl, w, out);
        break;
    }
}

// How the planes and bits of a file map to a bitmap; nullopt for combinations not read.
struct PcxShape {
    Layout layout;
    PixelFormat format;
};

std::optional<PcxShape> shapeOf(int planes, int bits) {
    if (planes == 1 && bits == 1)
        return PcxShape{Layout::Mono, PixelFormat::Bits1};
    if (planes == 1 && bits == 2)
        return PcxShape{Layout::Packed2, PixelFormat::Bits4};
    if (planes == 1 && bits == 4)
        return PcxShape{Layout::Packed4, PixelFormat::Bits4};
    if (planes >= 2 && planes <= 4 && bits == 1)
        return PcxShape{Layout::Planar1, PixelFormat::Bits4};
    if (planes == 1 && bits == 8)
        return PcxShape{Layout::Indexed8, PixelFormat::Bits8};
    if (planes == 3 && bits == 8)
        return PcxShape{Layout::Rgb, PixelFormat::Bits24};
    if (planes == 4 && bits == 8)
        return PcxShape{Layout::Rgba, PixelFormat::Bits32};
    return std::nullopt;
}

// The palette of the picture; for 8-bit pictures the 256-colour palette sits in the last 769
// bytes, after a 12 marker byte, and is cut off the pixel data.
std::vector<Colour> paletteOf(const PcxHeader& h, const PcxShape& shape,
                              std::span<const std::uint8_t> data,
                              std::span<const std::uint8_t>& pixelData) {
    std::vector<Colour> palette;
    if (shape.layout == Layout::Indexed8) {
        palette = decoders::greyRamp(8);
        if (data.size() >= PcxHeader::kSize + 769 && data[data.size() - 769] == 12) {
            const std::uint8_t* p = data.data() + data.size() - 768;
            for (std::size_t i = 0; i < 256; ++i)
                palette[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
            pixelData = pixelData.first(pixelData.size() - 769);
        }
    } else if (shape.layout == Layout::Mono) {
        palette = headerPalette(h, 2);
        palette.resize(2);
    } else if (shape.format == PixelFormat::Bits4) {
        const std::size_t entries = shape.layout == Layout::Planar1   ? (std::size_t{1} << h.planes)
                                    : shape.layout == Layout::Packed2 ? 4
                                                                      : 16;
        palette = headerPalette(h, entries);
    }
    return palette;
}

// The pixel data and how its lines become rows.
struct PcxStream {
    std::span<const std::uint8_t> data;
    Layout layout;
    std::size_t bpl;
    int planes;
    int width;
    std::size_t lineBytes;
    bool rle;
};

// One decoded scan line, all planes. Every row fills it before it is read (the dropped part of a
// lead row is never read), so it is not cleared first: a damaged header may declare lines of a
// quarter of a megabyte.
using LineBuffer = std::unique_ptr<std::uint8_t[]>;
LineBuffer lineBuffer(std::size_t bytes) {
    return std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
}

// Decodes rows [first, end) of the bitmap from s.data[pos], which starts a packet, through
// `line` (s.lineBytes long). A non-zero
// `lead` says that the stream there is still `lead` bytes before the end of row first - 1:
// those are decoded into the line and dropped, so that a run crossing into row first carries
// on as it does when the picture is read from the start. Returns the row in which the data ends
// before the picture does, or -1 when every row was filled.
int decodeRows(const PcxStream& s, std::size_t pos, std::size_t lead, int first, int end,
               std::span<std::uint8_t> line, Bitmap& bitmap) {
    // A run may go on across the end of a line: the whole picture is one run-length stream.
    std::size_t carry = 0;
    std::uint8_t carryValue = 0;
    std::size_t done = lead ? s.lineBytes - lead : 0;
    for (int y = lead ? first - 1 : first; y < end; ++y) {
        if (s.rle) {
            const std::size_t start = std::exchange(done, 0);
            const std::size_t head = std::min(carry, s.lineBytes - start);
            std::memset(line.data() + start, carryValue, head);
            carry -= head;
            const RleResult r = decodePcxRle(s.data.subspan(pos), line.subspan(start + head));
            pos += r.consumed;
            if (start + head + r.produced < s.lineBytes)
                return y;
            if (r.carryCount) {
                carry = r.carryCount;
                carryValue = r.carryValue;
            }
        } else {
            std::memcpy(line.data(), s.data.data() + pos, s.lineBytes);
            pos += s.lineBytes;
        }
        if (y >= first)
            convertLine(s.layout, line.data(), s.bpl, s.planes, s.width, bitmap.row(y));
    }
    return -1;
}

// Decoded bytes below which a picture is read on one thread: starting threads would cost more
// than they save.
constexpr std::uint64_t kParallelMinimumBytes = 4u << 20;

// Where thread t of `threads` starts in a run-length stream: at a packet near its share of
// the bytes (just after a byte below 192), or at the end when there is none.
std::size_t packetNear(std::span<const std::uint8_t> data, unsigned t, unsigned threads) {
    std::size_t i = static_cast<std::size_t>(std::uint64_t{data.size()} * t / threads);
    while (i > 0 && i < data.size() && data[i - 1] >= 192)
        ++i;
    return i;
}

// Decodes the rows on `threads` threads, each from its own share of the stream into its own
// rows. A thread learns where its share starts in the picture by counting what the shares
// before it produce; it begins at the first row that starts in its share (decoding the rest of
// the row before and dropping it), and the thread before it ends there. The result is that of
// one thread reading from the start: the first row where the data ends is reported.
int decodeRowsInParallel(const PcxStream& s, int height, unsigned threads, Bitmap& bitmap) {
    std::vector<std::size_t> starts(threads + 1, s.data.size());
    for (unsigned t = 0; t < threads; ++t)
        starts[t] = s.rle ? packetNear(s.data, t, threads)
                          : s.lineBytes * (static_cast<std::size_t>(height) * t / threads);
    std::vector<std::size_t> lengths(threads, 0);
    std::vector<int> failed(threads, -1);
    // Allocated here, so that running out of memory is reported as for any other load.
    std::vector<LineBuffer> lines;
    for (unsigned t = 0; t < threads; ++t)
        lines.push_back(lineBuffer(s.lineBytes));
    std::latch counted(threads);
    const std::uint64_t total = std::uint64_t{s.lineBytes} * static_cast<std::uint64_t>(height);
    // Row where thread t starts and the bytes of the row before still to come there.
    auto rowAt = [&](std::uint64_t offset, std::size_t& lead) {
        const std::uint64_t row = std::min<std::uint64_t>((offset + s.lineBytes - 1) / s.lineBytes,
                                                          static_cast<std::uint64_t>(height));
        lead = row < static_cast<std::uint64_t>(height) ? row * s.lineBytes - offset : 0;
        return static_cast<int>(row);
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([&, t] {
                if (t + 1 < threads)
                    lengths[t] =
                        s.rle ? pcxRleLength(s.data.subspan(starts[t], starts[t + 1] - starts[t]))
                              : starts[t + 1] - starts[t];
                counted.arrive_and_wait();
                std::uint64_t offset = 0;
                for (unsigned k = 0; k < t; ++k)
                    offset += lengths[k];
                std::size_t lead = 0, nextLead = 0;
                const int first = rowAt(std::min(offset, total), lead);
                const int end = t + 1 < threads
                                    ? rowAt(std::min(offset + lengths[t], total), nextLead)
                                    : height;
                if (first < end)
                    failed[t] = decodeRows(s, starts[t], lead, first, end,
                                           {lines[t].get(), s.lineBytes}, bitmap);
            });
    }
    for (int row : failed)
        if (row >= 0)
            return row;
    return -1;
}

} // namespace

DecodeResult decodePcxOnThreads(std::span<const std::uint8_t> data, unsigned threads) {
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
    const std::optional<PcxShape> shape = shapeOf(planes, bits);
    if (!shape)
        return DecodeResult::unsupported(
            reasons::format(reasons::kPcxPlanes, {std::to_string(planes), std::to_string(bits)}));

    const std::size_t bpl = h.bytesPerLine;
    const std::size_t needed = (static_cast<std::size_t>(width) * bits + 7) / 8;
    if (bpl < needed)
        return DecodeResult::damaged(reasons::format(reasons::kPcxBytesPerLine,
                                                     {std::to_string(bpl), std::to_string(width)}));
    const std::size_t lineBytes = bpl * static_cast<std::size_t>(planes);

    std::span<const std::uint8_t> pixelData = data.subspan(PcxHeader::kSize);
    std::vector<Colour> palette = paletteOf(h, *shape, data, pixelData);

    // Raw data must hold every line; run-length data is at least one byte per 63 pixels.
    const std::uint64_t totalBytes = static_cast<std::uint64_t>(lineBytes) * height;
    const bool rle = h.encoding == 1;
    if (!rle && pixelData.size() < totalBytes)
        return DecodeResult::damaged(reasons::kPcxRawEnds);
    if (rle && static_cast<std::uint64_t>(pixelData.size()) * 32 < totalBytes)
        return DecodeResult::damaged(reasons::kPcxRunLengthShort);

    // Whole-byte pixels are written in full by every row below; sub-byte rows are assembled
    // bit by bit on cleared bytes.
    const bool wholeBytes = shape->layout == Layout::Indexed8 || shape->layout == Layout::Rgb ||
                            shape->layout == Layout::Rgba;
    Bitmap bitmap = wholeBytes ? Bitmap::forWriting(width, height, shape->format)
                               : Bitmap(width, height, shape->format);
    if (!palette.empty())
        bitmap.setPalette(std::move(palette));

    const PcxStream stream{pixelData, shape->layout, bpl, planes, width, lineBytes, rle};
    if (threads == 0)
        threads = totalBytes < kParallelMinimumBytes
                      ? 1
                      : std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    threads = std::min({threads, static_cast<unsigned>(height), 64u});
    int failedRow = -1;
    if (threads <= 1) {
        const LineBuffer line = lineBuffer(lineBytes);
        failedRow = decodeRows(stream, 0, 0, 0, height, {line.get(), lineBytes}, bitmap);
    } else {
        failedRow = decodeRowsInParallel(stream, height, threads, bitmap);
    }
    if (failedRow >= 0)
        return DecodeResult::damaged(
            reasons::format(reasons::kRunLengthEndsInRow, {"PCX", std::to_string(failedRow)}));
    return bitmap;
}

DecodeResult decodePcx(std::span<const std::uint8_t> data) {
    return decodePcxOnThreads(data, 0);
}

} // namespace parvane::imaging
