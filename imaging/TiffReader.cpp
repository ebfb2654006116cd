#include "TiffReader.h"

#include "DecoderSupport.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <tiffio.h>
#include <vector>

namespace parvane::imaging {

namespace {

// Colours multiplied by their alpha (0 < a < 255) back to straight colours.
void unassociate(unsigned& r, unsigned& g, unsigned& b, unsigned a) {
    r = std::min(255u, r * 255 / a);
    g = std::min(255u, g * 255 / a);
    b = std::min(255u, b * 255 / a);
}

// Decoded raster bytes a file may declare per byte of its own size. Real compressors stay far
// below this; a small file that claims more is damaged, and refusing it spares the memory.
constexpr std::uint64_t kMaxExpansion = 4096;
constexpr std::uint64_t kExpansionSlack = 16u << 20;
// Largest single buffer libtiff may allocate for us.
constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t{1} << 30;

// The bytes libtiff reads, and the first error it reported (warnings are dropped).
struct MemoryFile {
    std::span<const std::uint8_t> data;
    std::uint64_t pos = 0;
    std::string error;
};

tmsize_t readProc(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    if (size <= 0 || f->pos >= f->data.size())
        return 0;
    const auto n =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), f->data.size() - f->pos);
    std::memcpy(buf, f->data.data() + f->pos, n);
    f->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeProc(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t seekProc(thandle_t h, toff_t off, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->data.size();
    // Seeking past the end is allowed (reads there return nothing); wrapping is not.
    if (off > UINT64_MAX - base)
        return static_cast<toff_t>(-1);
    f->pos = base + off;
    return f->pos;
}

int closeProc(thandle_t) {
    return 0;
}

toff_t sizeProc(thandle_t h) {
    return static_cast<MemoryFile*>(h)->data.size();
}

int mapProc(thandle_t h, void** base, toff_t* size) {
    auto* f = static_cast<MemoryFile*>(h);
    *base = const_cast<std::uint8_t*>(f->data.data());
    *size = f->data.size();
    return 1;
}

void unmapProc(thandle_t, void*, toff_t) {}

int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* f = static_cast<MemoryFile*>(user);
    if (f->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, fmt, ap);
        f->error = (module && *module ? std::string(module) + ": " : std::string()) + text;
    }
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

// What a page holds, as its tags say.
struct PageInfo {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT, inkSet = INKSET_CMYK;
    std::uint16_t extraCount = 0;
    bool associatedAlpha = false;
};

Failure failure(const MemoryFile& file, const std::string& what) {
    return {FailureKind::Damaged, "TIFF: " + (file.error.empty() ? what : file.error)};
}

// How one row of samples becomes a bitmap row in the direct path.
enum class Kind { Bilevel, GreyNibbles, Grey8, Palette1, Palette4, Palette8, Rgb, Cmyk };

// The sample at index i of a row of `bits`-bit samples, reduced to 8 bits (16-bit samples
// keep their high byte, lower depths are scaled up).
inline unsigned sampleAt(const std::uint8_t* row, std::size_t i, int bits) {
    switch (bits) {
    case 8:
        return row[i];
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, row + 2 * i, 2);
        return v >> 8;
    }
    case 4:
        return ((row[i >> 1] >> ((i & 1) ? 0 : 4)) & 15u) * 17u;
    case 2:
        return ((row[i >> 2] >> (6 - 2 * (i & 3))) & 3u) * 85u;
    default:
        return ((row[i >> 3] >> (7 - (i & 7))) & 1u) * 255u;
    }
}

// The raw index (not scaled) of sample i for palette pictures.
inline unsigned indexAt(const std::uint8_t* row, std::size_t i, int bits) {
    switch (bits) {
    case 8:
        return row[i];
    case 4:
        return (row[i >> 1] >> ((i & 1) ? 0 : 4)) & 15u;
    case 2:
        return (row[i >> 2] >> (6 - 2 * (i & 3))) & 3u;
    default:
        return (row[i >> 3] >> (7 - (i & 7))) & 1u;
    }
}

// How a page's bands (strips, or rows of tiles) are laid out, worked out once from the tags
// and shared by every handle that reads the page.
struct BandLayout {
    int planes = 1, samplesPerPlane = 1;
    std::uint64_t rowBytes = 0;  // bytes of one row of one plane
    std::uint32_t bandRows = 0;  // rows per strip, or tile length
    std::uint32_t bandCount = 0; // strips or rows of tiles down the page
    std::uint64_t planeBand = 0; // bytes of one band of one plane
    bool tiled = false;
    std::uint32_t tileWidth = 0;
    std::uint64_t tileRowBytes = 0;
    std::size_t tileSize = 0;
};

// The band layout of a page, or nothing when its strip or tile sizes cannot be read directly.
std::optional<BandLayout> bandLayout(TIFF* tif, const PageInfo& p) {
    BandLayout b;
    b.planes = p.planar == PLANARCONFIG_SEPARATE ? p.samples : 1;
    b.samplesPerPlane = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samples;
    b.rowBytes = (static_cast<std::uint64_t>(p.width) * b.samplesPerPlane * p.bits + 7) / 8;
    b.tiled = TIFFIsTiled(tif);
    if (b.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &b.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &b.bandRows);
        if (b.tileWidth == 0 || b.bandRows == 0 || b.tileWidth % 16 || b.bandRows % 16)
            return std::nullopt;
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &b.bandRows);
        if (b.bandRows == 0)
            return std::nullopt;
    }
    b.bandRows = std::min(b.bandRows, p.height);
    b.bandCount = (p.height - 1) / b.bandRows + 1;
    b.planeBand = b.rowBytes * b.bandRows;
    if (b.planeBand * b.planes > (std::uint64_t{1} << 30))
        return std::nullopt;
    if (b.tiled) {
        b.tileRowBytes =
            (static_cast<std::uint64_t>(b.tileWidth) * b.samplesPerPlane * p.bits + 7) / 8;
        const tmsize_t tileSize = TIFFTileSize(tif);
        if (tileSize <= 0 || static_cast<std::uint64_t>(tileSize) < b.tileRowBytes * b.bandRows)
            return std::nullopt;
        // Tiles may exceed a small picture, but not absurdly.
        const std::uint64_t picture = b.rowBytes * p.height * b.planes;
        if (static_cast<std::uint64_t>(tileSize) > std::max<std::uint64_t>(picture * 4, 64u << 20))
            return std::nullopt;
        b.tileSize = static_cast<std::size_t>(tileSize);
    }
    return b;
}

// Decodes the `count` rows of one plane of the tiles at row `top` into `dst`. Tiles are whole
// multiples of 16 pixels wide; whole bytes are copied, and for bit depths below 8 the tile
// width keeps every tile byte-aligned.
bool readTileBand(TIFF* tif, const PageInfo& p, const BandLayout& b, std::uint32_t top,
                  std::uint32_t count, std::uint16_t plane, std::uint8_t* dst,
                  std::vector<std::uint8_t>& tile) {
    for (std::uint32_t left = 0; left < p.width; left += b.tileWidth) {
        const ttile_t t = TIFFComputeTile(tif, left, top, 0, plane);
        if (TIFFReadEncodedTile(tif, t, tile.data(), static_cast<tmsize_t>(tile.size())) < 0)
            return false;
        const std::uint64_t offset =
            static_cast<std::uint64_t>(left) * b.samplesPerPlane * p.bits / 8;
        const std::uint64_t copy = std::min(b.tileRowBytes, b.rowBytes - offset);
        for (std::uint32_t r = 0; r < count; ++r)
            std::memcpy(dst + r * b.rowBytes + offset, tile.data() + r * b.tileRowBytes, copy);
    }
    return true;
}

// What the row converters of the direct path need to know of a page.
struct RowLayout {
    std::size_t width = 0;
    int bits = 8;
    int samples = 1;
    bool planar = false;
    bool alpha = false;
    bool associatedAlpha = false;
    bool minIsWhite = false;
    const std::vector<Colour>* palette = nullptr;
};

// One row's sample pointers: one row of every plane, or one interleaved row.
using PlaneRows = std::vector<const std::uint8_t*>;

// Turns one row of the page into one row of the bitmap.
using RowConverter = void (*)(const RowLayout&, const PlaneRows&, std::uint8_t* out);

// Where decoded rows go: each row of the page becomes one row of the bitmap.
struct RowSink {
    RowConverter convert = nullptr;
    const RowLayout* layout = nullptr;
    Bitmap* bitmap = nullptr;
};

// Reads bands [first, last) of the page into the bitmap of `sink`. Returns false when libtiff
// fails.
bool readBands(TIFF* tif, const PageInfo& p, const BandLayout& b, std::uint32_t first,
               std::uint32_t last, const RowSink& sink) {
    std::vector<std::uint8_t> band(b.planeBand * b.planes);
    std::vector<std::uint8_t> tile(b.tileSize);
    PlaneRows rows(static_cast<std::size_t>(b.planes));
    for (std::uint32_t index = first; index < last; ++index) {
        const std::uint32_t top = index * b.bandRows;
        const std::uint32_t count = std::min(b.bandRows, p.height - top);
        for (int plane = 0; plane < b.planes; ++plane) {
            std::uint8_t* dst = band.data() + b.planeBand * plane;
            const auto s = static_cast<std::uint16_t>(plane);
            if (b.tiled ? !readTileBand(tif, p, b, top, count, s, dst, tile)
                        : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, s), dst,
                                               static_cast<tmsize_t>(b.rowBytes * count)) < 0)
                return false;
        }
        for (std::uint32_t r = 0; r < count; ++r) {
            for (int plane = 0; plane < b.planes; ++plane)
                rows[static_cast<std::size_t>(plane)] =
                    band.data() + b.planeBand * plane + r * b.rowBytes;
            sink.convert(*sink.layout, rows, sink.bitmap->row(static_cast<int>(top + r)));
        }
    }
    return true;
}

// Pictures whose layout libtiff's general RGBA reader handles better (YCbCr, Lab, odd depths).
DecodeResult readThroughRgba(TIFF* tif, const PageInfo& p, MemoryFile& file) {
    const bool alpha = p.extraCount > 0;
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message))
        return DecodeResult::unsupported("TIFF: " + std::string(message));
    // Zeroed by calloc, which takes large blocks fresh from the system without clearing them
    // again; a vector would write every pixel before libtiff does.
    const std::unique_ptr<std::uint32_t, FreeDeleter> raster(static_cast<std::uint32_t*>(
        std::calloc(static_cast<std::size_t>(p.width) * p.height, sizeof(std::uint32_t))));
    if (!raster)
        throw std::bad_alloc(); // reported as the other allocations of a load are
    if (!TIFFReadRGBAImageOriented(tif, p.width, p.height, raster.get(), ORIENTATION_TOPLEFT, 1))
        return failure(file, "the picture could not be read");
    Bitmap bitmap(static_cast<int>(p.width), static_cast<int>(p.height),
                  alpha ? PixelFormat::Bits32 : PixelFormat::Bits24);
    const std::size_t bytes = alpha ? 4 : 3;
    for (std::uint32_t y = 0; y < p.height; ++y) {
        std::uint8_t* out = bitmap.row(static_cast<int>(y));
        const std::uint32_t* in = raster.get() + static_cast<std::size_t>(y) * p.width;
        for (std::uint32_t x = 0; x < p.width; ++x, out += bytes) {
            // libtiff hands out colours multiplied by alpha; the bitmap keeps them straight,
            // as the direct path does.
            const std::uint32_t v = in[x];
            unsigned r = TIFFGetR(v), g = TIFFGetG(v), b = TIFFGetB(v);
            if (alpha) {
                const unsigned a = TIFFGetA(v);
                if (a != 0 && a != 255)
                    unassociate(r, g, b, a);
                out[3] = static_cast<std::uint8_t>(a);
            }
            out[0] = static_cast<std::uint8_t>(b);
            out[1] = static_cast<std::uint8_t>(g);
            out[2] = static_cast<std::uint8_t>(r);
        }
    }
    return bitmap;
}

// Colour map entries are 16 bits; some old writers put 8-bit values there.
std::vector<Colour> readColourMap(TIFF* tif, int bits) {
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b)
        return {};
    const std::size_t n = std::size_t{1} << bits;
    bool eightBit = true;
    for (std::size_t i = 0; i < n; ++i)
        eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
    const int shift = eightBit ? 0 : 8;
    std::vector<Colour> palette(n);
    for (std::size_t i = 0; i < n; ++i)
        palette[i] = {static_cast<std::uint8_t>(r[i] >> shift),
                      static_cast<std::uint8_t>(g[i] >> shift),
                      static_cast<std::uint8_t>(b[i] >> shift)};
    return palette;
}

} // namespace

namespace {

// The tags of the first page that decide how it is read.
PageInfo readPageInfo(TIFF* tif) {
    PageInfo p;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &p.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &p.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &p.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &p.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &p.sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &p.inkSet);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &p.photometric))
        p.photometric = p.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    std::uint16_t* extraTypes = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &p.extraCount, &extraTypes) && p.extraCount &&
        extraTypes)
        p.associatedAlpha = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;

    return p;
}

// Refuses pages this reader cannot decode, and pages far larger than the file could fill.
Status validate(const PageInfo& p, std::size_t fileSize) {
    if (Status size = decoders::checkPictureSize("TIFF", p.width, p.height); !size)
        return size.error();
    if (!TIFFIsCODECConfigured(p.compression)) {
        const TIFFCodec* codec = TIFFFindCODEC(p.compression);
        return Status::unsupported(
            "The compression scheme is not supported: " +
            (codec ? std::string(codec->name) : std::to_string(p.compression)));
    }
    if (p.samples == 0 || p.samples > 16 || p.extraCount >= p.samples)
        return Status::damaged("TIFF: " + std::to_string(p.samples) + " samples per pixel with " +
                               std::to_string(p.extraCount) + " extra");

    // A small file cannot expand into an enormous raster.
    const std::uint64_t rasterBytes =
        (static_cast<std::uint64_t>(p.width) * p.samples * p.bits + 7) / 8 * p.height;
    if (rasterBytes > fileSize * kMaxExpansion + kExpansionSlack)
        return Status::damaged("TIFF: " + std::to_string(fileSize) +
                               " bytes cannot hold a picture of " + std::to_string(p.width) + "x" +
                               std::to_string(p.height));
    return {};
}

// How the direct path turns a row of this page into a bitmap row; false when the page needs
// libtiff's general reader (other sample formats, orientations or tile sizes).
bool directLayout(TIFF* tif, const PageInfo& p, Kind& kind) {
    const int colourSamples = p.samples - p.extraCount;
    const bool intSamples =
        p.sampleFormat == SAMPLEFORMAT_UINT || p.sampleFormat == SAMPLEFORMAT_VOID;
    bool direct = intSamples;
    switch (p.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        direct = direct && colourSamples == 1 &&
                 (p.bits == 1 || p.bits == 2 || p.bits == 4 || p.bits == 8 || p.bits == 16);
        kind = p.bits == 1 ? Kind::Bilevel : (p.bits <= 4 ? Kind::GreyNibbles : Kind::Grey8);
        break;
    case PHOTOMETRIC_PALETTE:
        direct = direct && colourSamples == 1 &&
                 (p.bits == 1 || p.bits == 2 || p.bits == 4 || p.bits == 8);
        kind = p.bits == 1 ? Kind::Palette1 : (p.bits <= 4 ? Kind::Palette4 : Kind::Palette8);
        break;
    case PHOTOMETRIC_RGB:
        direct = direct && colourSamples == 3 && (p.bits == 8 || p.bits == 16);
        kind = Kind::Rgb;
        break;
    case PHOTOMETRIC_SEPARATED:
        direct = direct && p.inkSet == INKSET_CMYK && colourSamples == 4 &&
                 (p.bits == 8 || p.bits == 16);
        kind = Kind::Cmyk;
        break;
    default:
        direct = false;
        kind = Kind::Rgb;
        break;
    }
    // Pictures stored in another orientation are turned upright by libtiff's general reader.
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    direct = direct && orientation == ORIENTATION_TOPLEFT;
    if (TIFFIsTiled(tif)) {
        // The direct path copies whole bytes of tiles; tile sizes outside the rule (multiples
        // of 16) go through libtiff's general reader.
        std::uint32_t tw = 0, tl = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tl);
        direct = direct && tw != 0 && tl != 0 && tw % 16 == 0 && tl % 16 == 0;
    }
    return direct;
}

// The bitmap format and palette of a page read by the direct path.
Status directFormat(TIFF* tif, const PageInfo& p, Kind kind, const MemoryFile& file,
                    PixelFormat& format, std::vector<Colour>& palette) {
    const bool alpha = p.extraCount > 0;
    const bool minIsWhite = p.photometric == PHOTOMETRIC_MINISWHITE;
    if (alpha) {
        format = PixelFormat::Bits32;
        if (p.photometric == PHOTOMETRIC_PALETTE && (palette = readColourMap(tif, p.bits)).empty())
            return failure(file, "palette picture without a colour map");
    } else {
        switch (kind) {
        case Kind::Bilevel:
            format = PixelFormat::Bits1;
            palette = minIsWhite ? std::vector<Colour>{colours::kWhite, colours::kBlack}
                                 : std::vector<Colour>{colours::kBlack, colours::kWhite};
            break;
        case Kind::GreyNibbles:
            format = PixelFormat::Bits4;
            palette = decoders::greyRamp(p.bits);
            if (minIsWhite)
                std::reverse(palette.begin(), palette.end());
            palette.resize(16);
            break;
        case Kind::Grey8:
            format = PixelFormat::Bits8;
            palette = decoders::greyRamp(8);
            if (minIsWhite)
                std::reverse(palette.begin(), palette.end());
            break;
        case Kind::Palette1:
        case Kind::Palette4:
        case Kind::Palette8:
            format = kind == Kind::Palette1   ? PixelFormat::Bits1
                     : kind == Kind::Palette4 ? PixelFormat::Bits4
                                              : PixelFormat::Bits8;
            palette = readColourMap(tif, p.bits);
            if (palette.empty())
                return failure(file, "palette picture without a colour map");
            palette.resize(std::size_t{1} << bitsPerPixel(format));
            break;
        default:
            format = PixelFormat::Bits24;
            break;
        }
    }
    return {};
}

// Samples [first, first + count) of every pixel of a row, reduced to 8 bits, as one run of
// l.width bytes per sample: the layout and bit depth are decided once a row rather than once a
// sample (a page of several million pixels would otherwise take as many decisions).
const std::uint8_t* samplesOfRow(const RowLayout& l, const PlaneRows& rows, int first, int count) {
    thread_local std::vector<std::uint8_t> scratch;
    scratch.resize(l.width * static_cast<std::size_t>(count));
    const std::size_t width = l.width;
    for (int k = 0; k < count; ++k) {
        const int s = first + k;
        std::uint8_t* dst = scratch.data() + width * static_cast<std::size_t>(k);
        const std::uint8_t* row = rows[l.planar ? static_cast<std::size_t>(s) : 0];
        const std::size_t step = l.planar ? 1 : static_cast<std::size_t>(l.samples);
        const std::size_t at = l.planar ? 0 : static_cast<std::size_t>(s);
        if (l.bits == 8) {
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = row[at + x * step];
        } else if (l.bits == 16) {
            for (std::size_t x = 0; x < width; ++x) {
                std::uint16_t v;
                std::memcpy(&v, row + 2 * (at + x * step), 2);
                dst[x] = static_cast<std::uint8_t>(v >> 8);
            }
        } else {
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = static_cast<std::uint8_t>(sampleAt(row, at + x * step, l.bits));
        }
    }
    return scratch.data();
}

// Writes pixel x of a 24- or 32-bit row; a 32-bit row takes its alpha from alpha[x].
inline void storeColour(const RowLayout& l, const std::uint8_t* alpha, std::size_t x, unsigned r,
                        unsigned g, unsigned b, std::uint8_t* out) {
    if (alpha) {
        const unsigned a = alpha[x];
        // Associated alpha: the colours were multiplied by it; undo that.
        if (l.associatedAlpha && a != 0 && a != 255)
            unassociate(r, g, b, a);
        out[3] = static_cast<std::uint8_t>(a);
    }
    out[0] = static_cast<std::uint8_t>(b);
    out[1] = static_cast<std::uint8_t>(g);
    out[2] = static_cast<std::uint8_t>(r);
}

// 1-, 4- and 8-bit samples that the bitmap stores as they are (indices or grey levels).
void copyPackedRow(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    std::memcpy(out, rows[0], (l.width * static_cast<std::size_t>(l.bits) + 7) / 8);
}

// 2-bit samples, widened to the 4-bit pixels of the bitmap.
void twoBitRowToNibbles(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    for (std::size_t x = 0; x < l.width; ++x) {
        const unsigned index = indexAt(rows[0], x, 2);
        out[x >> 1] = static_cast<std::uint8_t>((x & 1) ? (out[x >> 1] | index) : index << 4);
    }
}

// 16-bit grey levels, kept to their high byte.
void grey16RowTo8(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    for (std::size_t x = 0; x < l.width; ++x)
        out[x] = static_cast<std::uint8_t>(sampleAt(rows[0], x, 16));
}

// Grey levels with an alpha sample.
void greyAlphaRow(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::uint8_t* grey = samplesOfRow(l, rows, 0, 2);
    const std::uint8_t* alpha = grey + l.width;
    const unsigned flip = l.minIsWhite ? 255 : 0;
    for (std::size_t x = 0; x < l.width; ++x, out += 4) {
        const unsigned v = grey[x] ^ flip;
        storeColour(l, alpha, x, v, v, v, out);
    }
}

// Palette indices with an alpha sample.
void paletteAlphaRow(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::vector<Colour>& palette = *l.palette;
    const std::uint8_t* alpha = samplesOfRow(l, rows, 1, 1);
    for (std::size_t x = 0; x < l.width; ++x, out += 4) {
        const unsigned index =
            l.planar ? indexAt(rows[0], x, l.bits) : indexAt(rows[0], x * l.samples, l.bits);
        const Colour c = index < palette.size() ? palette[index] : colours::kBlack;
        storeColour(l, alpha, x, c.red, c.green, c.blue, out);
    }
}

// Interleaved 8-bit grey levels and straight alpha, the commonest grey layout with alpha,
// without per-sample decisions.
void greyAlpha8Row(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::uint8_t* in = rows[0];
    const std::size_t width = l.width;
    const std::uint8_t flip = l.minIsWhite ? 255 : 0;
    for (std::size_t x = 0; x < width; ++x, in += 2, out += 4) {
        const auto grey = static_cast<std::uint8_t>(in[0] ^ flip);
        out[0] = grey;
        out[1] = grey;
        out[2] = grey;
        out[3] = in[1];
    }
}

// Interleaved 8-bit palette indices and straight alpha.
void paletteAlpha8Row(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::uint8_t* in = rows[0];
    const std::size_t width = l.width;
    const Colour* palette = l.palette->data();
    const std::size_t entries = l.palette->size();
    for (std::size_t x = 0; x < width; ++x, in += 2, out += 4) {
        const Colour c = in[0] < entries ? palette[in[0]] : colours::kBlack;
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
        out[3] = in[1];
    }
}

// Red, green and blue samples (and alpha).
void rgbRow(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::size_t bytes = l.alpha ? 4 : 3;
    const std::uint8_t* red = samplesOfRow(l, rows, 0, l.alpha ? 4 : 3);
    const std::uint8_t* green = red + l.width;
    const std::uint8_t* blue = green + l.width;
    const std::uint8_t* alpha = l.alpha ? blue + l.width : nullptr;
    for (std::size_t x = 0; x < l.width; ++x, out += bytes)
        storeColour(l, alpha, x, red[x], green[x], blue[x], out);
}

// Interleaved 8-bit red, green and blue, the commonest layout: the samples swapped into the
// bitmap's blue, green, red order (and unassociated alpha copied) without per-sample decisions.
void rgb8Row(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::uint8_t* in = rows[0];
    // Four bytes at a time, the fourth overwritten by the next pixel; the last pixel is copied
    // bytewise so that neither row is overrun.
    // The width is read once: the stores could otherwise alias the layout.
    const std::size_t width = l.width;
    std::size_t x = 0;
    for (; x + 1 < width; ++x, in += 3, out += 3) {
        std::uint32_t v;
        std::memcpy(&v, in, 4);
        v = __builtin_bswap32(v) >> 8; // bytes r, g, b, next -> b, g, r, 0
        std::memcpy(out, &v, 4);
    }
    for (; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void rgba8Row(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::uint8_t* in = rows[0];
    const std::size_t width = l.width;
    for (std::size_t x = 0; x < width; ++x, in += 4, out += 4) {
        std::uint32_t v;
        std::memcpy(&v, in, 4);
        // Bytes r, g, b, a -> b, g, r, a.
        v = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
        std::memcpy(out, &v, 4);
    }
}

// Cyan, magenta, yellow and black inks (and alpha), as the colour they leave on white.
void cmykRow(const RowLayout& l, const PlaneRows& rows, std::uint8_t* out) {
    const std::size_t bytes = l.alpha ? 4 : 3;
    const std::uint8_t* cyan = samplesOfRow(l, rows, 0, l.alpha ? 5 : 4);
    const std::uint8_t* magenta = cyan + l.width;
    const std::uint8_t* yellow = magenta + l.width;
    const std::uint8_t* black = yellow + l.width;
    const std::uint8_t* alpha = l.alpha ? black + l.width : nullptr;
    for (std::size_t x = 0; x < l.width; ++x, out += bytes) {
        const unsigned k = 255u - black[x];
        storeColour(l, alpha, x, (255u - cyan[x]) * k / 255, (255u - magenta[x]) * k / 255,
                    (255u - yellow[x]) * k / 255, out);
    }
}

// The converter of a page's pixel layout.
RowConverter converterFor(Kind kind, const RowLayout& l) {
    const bool interleaved8 = l.bits == 8 && !l.planar;
    const bool straightAlpha8 = interleaved8 && l.samples == 2 && !l.associatedAlpha;
    switch (kind) {
    case Kind::Rgb:
        if (interleaved8 && l.samples == 3)
            return rgb8Row;
        if (interleaved8 && l.samples == 4 && l.alpha && !l.associatedAlpha)
            return rgba8Row;
        return rgbRow;
    case Kind::Cmyk:
        return cmykRow;
    case Kind::Palette1:
    case Kind::Palette4:
    case Kind::Palette8:
        if (l.alpha)
            return straightAlpha8 ? paletteAlpha8Row : paletteAlphaRow;
        return l.bits == 2 ? twoBitRowToNibbles : copyPackedRow;
    case Kind::Bilevel:
    case Kind::GreyNibbles:
    case Kind::Grey8:
        if (l.alpha)
            return straightAlpha8 ? greyAlpha8Row : greyAlphaRow;
        if (l.bits == 2)
            return twoBitRowToNibbles;
        return l.bits == 16 ? grey16RowTo8 : copyPackedRow;
    }
    return rgbRow;
}

// A libtiff handle reading `file`, which must outlive it; null when libtiff cannot open it.
std::unique_ptr<TIFF, TiffCloser> openTiff(MemoryFile& file) {
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onWarning, &file);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibtiffAllocation);
    return std::unique_ptr<TIFF, TiffCloser>(
        TIFFClientOpenExt("memory", "r", &file, readProc, writeProc, seekProc, closeProc, sizeProc,
                          mapProc, unmapProc, options.get()));
}

// Decoded bytes below which a picture is read on one thread: starting threads and opening
// more handles would cost more than they save.
constexpr std::uint64_t kParallelMinimumBytes = 4u << 20;
// Band buffers all threads together may hold.
constexpr std::uint64_t kParallelBufferLimit = 256u << 20;

// How many threads read the page: one when its bands cannot be read independently (a single
// band; old-style JPEG, whose strips share decoder state), else up to `wanted` (0: one per
// core, for pictures worth it).
unsigned threadCount(const PageInfo& p, const BandLayout& b, unsigned wanted) {
    if (b.bandCount < 2 || p.compression == COMPRESSION_OJPEG)
        return 1;
    const std::uint64_t buffers = b.planeBand * b.planes + b.tileSize;
    if (wanted == 0) {
        if (b.rowBytes * b.planes * p.height < kParallelMinimumBytes)
            return 1;
        wanted = std::max(1u, std::thread::hardware_concurrency());
    }
    const std::uint64_t byMemory = std::max<std::uint64_t>(1, kParallelBufferLimit / buffers);
    return static_cast<unsigned>(
        std::min<std::uint64_t>({wanted, b.bandCount, byMemory, std::uint64_t{64}}));
}

// Reads the bands of the page on `threads` threads, each with its own libtiff handle over the
// same bytes and its own run of bands, so each writes only its own rows of the bitmap. The
// result is that of one thread reading them in order: the first failing band's error wins.
bool readBandsInParallel(const MemoryFile& file, const PageInfo& p, const BandLayout& b,
                         unsigned threads, const RowSink& sink, std::string& error) {
    std::vector<MemoryFile> files(threads);
    std::vector<char> done(threads, 0);
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t) {
            const auto first = static_cast<std::uint32_t>(std::uint64_t{b.bandCount} * t / threads);
            const auto last =
                static_cast<std::uint32_t>(std::uint64_t{b.bandCount} * (t + 1) / threads);
            workers.emplace_back([&, t, first, last] {
                files[t].data = file.data;
                const auto tif = openTiff(files[t]);
                done[t] = tif && readBands(tif.get(), p, b, first, last, sink);
            });
        }
    }
    for (unsigned t = 0; t < threads; ++t)
        if (!done[t]) {
            error = files[t].error;
            return false;
        }
    return true;
}

// Reads the rows of a page through the direct path into a bitmap of that format.
DecodeResult readDirect(TIFF* tif, const PageInfo& p, Kind kind, MemoryFile& file,
                        PixelFormat format, const std::vector<Colour>& palette, unsigned threads) {
    const std::optional<BandLayout> bands = bandLayout(tif, p);
    if (!bands)
        return failure(file, "the picture data could not be read");
    Bitmap bitmap(static_cast<int>(p.width), static_cast<int>(p.height), format);
    if (!palette.empty() && hasPalette(format))
        bitmap.setPalette(palette);
    RowLayout layout;
    layout.width = p.width;
    layout.bits = p.bits;
    layout.samples = p.samples;
    layout.planar = p.planar == PLANARCONFIG_SEPARATE;
    layout.alpha = p.extraCount > 0;
    layout.associatedAlpha = p.associatedAlpha;
    layout.minIsWhite = p.photometric == PHOTOMETRIC_MINISWHITE;
    layout.palette = &palette;
    const RowSink sink{converterFor(kind, layout), &layout, &bitmap};
    threads = threadCount(p, *bands, threads);
    if (threads <= 1) {
        if (!readBands(tif, p, *bands, 0, bands->bandCount, sink))
            return failure(file, "the picture data could not be read");
        return bitmap;
    }
    std::string error;
    if (!readBandsInParallel(file, p, *bands, threads, sink, error)) {
        if (file.error.empty())
            file.error = error;
        return failure(file, "the picture data could not be read");
    }
    return bitmap;
}

} // namespace

DecodeResult decodeTiff(std::span<const std::uint8_t> data) {
    return decodeTiffOnThreads(data, 0);
}

DecodeResult decodeTiffOnThreads(std::span<const std::uint8_t> data, unsigned threads) {
    if (data.size() < 8 ||
        !((data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0) ||
          (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43))))
        return DecodeResult::notThisFormat("TIFF: no II or MM byte order mark followed by 42");

    MemoryFile file;
    file.data = data;
    const auto tif = openTiff(file);
    if (!tif)
        return failure(file, "the file could not be opened");

    const PageInfo p = readPageInfo(tif.get());
    if (Status checked = validate(p, data.size()); !checked)
        return checked.error();
    Kind kind = Kind::Rgb;
    if (!directLayout(tif.get(), p, kind))
        return readThroughRgba(tif.get(), p, file);
    PixelFormat format = PixelFormat::Bits24;
    std::vector<Colour> palette;
    if (Status checked = directFormat(tif.get(), p, kind, file, format, palette); !checked)
        return checked.error();
    return readDirect(tif.get(), p, kind, file, format, palette, threads);
}

} // namespace parvane::imaging
