#include "PsdReader.h"

#include "ByteReader.h"
#include "DecoderSupport.h"
#include "RleCodecs.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace parvane::imaging {

namespace {

enum class PsdMode : std::uint16_t {
    Bitmap = 0,
    Grey = 1,
    Indexed = 2,
    Rgb = 3,
    Cmyk = 4,
    Multichannel = 7,
    Duotone = 8,
    Lab = 9,
};

// The 26-byte file header, big-endian.
struct PsdHeader {
    static constexpr std::size_t kSize = 26;
    std::uint16_t version = 0; // 1 PSD, 2 large document (PSB)
    std::uint16_t channels = 0;
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::uint16_t depth = 0;
    std::uint16_t mode = 0;
};

// How the merged channels become one bitmap row.
enum class Target { Bits1, Grey, Indexed, Rgb, Cmyk, Lab };

// Gives the merged image's channel rows, reduced to 8 bits, by channel and row number.
class ChannelRows {
public:
    ChannelRows(std::span<const std::uint8_t> data, int width, int height, int depth)
        : data_(data), width_(static_cast<std::size_t>(width)), height_(height), depth_(depth),
          rowBytes_(depth == 1 ? (width_ + 7) / 8 : width_ * static_cast<std::size_t>(depth / 8)) {}

    std::size_t rowBytes() const { return rowBytes_; }

    // Raw rows: channel c, row y lives at ((c * height) + y) * rowBytes.
    void useRaw() { raw_ = true; }

    // PackBits rows: one length per row and channel, then the packed rows in the same order.
    bool usePackBits(std::size_t countsOffset, int channels, bool largeDocument,
                     std::string& reason) {
        const std::size_t rows = static_cast<std::size_t>(channels) * height_;
        const std::size_t countSize = largeDocument ? 4 : 2;
        ByteReader in(data_);
        if (!in.seek(countsOffset) || !in.has(rows * countSize)) {
            reason = "PSD: the merged image's row lengths run past the end";
            return false;
        }
        offsets_.resize(rows + 1);
        std::size_t offset = countsOffset + rows * countSize;
        for (std::size_t i = 0; i < rows; ++i) {
            offsets_[i] = offset;
            offset += largeDocument ? in.u32be() : in.u16be();
            if (offset > data_.size()) {
                reason = "PSD: packed row " + std::to_string(i) + " runs past the end";
                return false;
            }
        }
        offsets_[rows] = offset;
        // A PackBits packet of two bytes gives at most 128: rows far shorter are damaged, and
        // finding that out now spares allocating the picture.
        const std::uint64_t packed = offset - (countsOffset + rows * countSize);
        if (packed * 64 < static_cast<std::uint64_t>(rowBytes_) * rows) {
            reason = "PSD: the packed rows are far too short for the picture";
            return false;
        }
        return true;
    }

    bool rawFits(std::size_t offset, int channels) const {
        return offset <= data_.size() && rawBytes(channels) <= data_.size() - offset;
    }
    std::uint64_t rawBytes(int channels) const {
        return static_cast<std::uint64_t>(rowBytes_) * height_ *
               static_cast<std::uint64_t>(channels);
    }
    void setRawOffset(std::size_t offset) { rawOffset_ = offset; }

    // The row as stored (1-bit rows) or reduced to one byte a sample. nullptr when damaged.
    const std::uint8_t* row(int channel, int y) {
        const std::size_t index = static_cast<std::size_t>(channel) * height_ + y;
        const std::uint8_t* stored;
        if (raw_) {
            stored = data_.data() + rawOffset_ + index * rowBytes_;
        } else {
            packed_.resize(rowBytes_);
            const auto src = data_.subspan(offsets_[index], offsets_[index + 1] - offsets_[index]);
            const RleResult r = decodePackBits(src, packed_);
            if (!r.filled(packed_))
                return nullptr;
            stored = packed_.data();
        }
        if (depth_ <= 8)
            return stored;
        reduced_.resize(width_);
        if (depth_ == 16) {
            for (std::size_t x = 0; x < width_; ++x)
                reduced_[x] = stored[2 * x];
        } else {
            // 32-bit samples are floats in linear light; encode them as sRGB for display.
            for (std::size_t x = 0; x < width_; ++x) {
                const std::uint8_t* p = stored + 4 * x;
                const std::uint32_t bits = (std::uint32_t{p[0]} << 24) |
                                           (std::uint32_t{p[1]} << 16) |
                                           (std::uint32_t{p[2]} << 8) | p[3];
                float v;
                std::memcpy(&v, &bits, sizeof v);
                reduced_[x] = linearToSrgb(v);
            }
        }
        return reduced_.data();
    }

private:
    static std::uint8_t linearToSrgb(float v) {
        if (!(v > 0.0f))
            return 0;
        if (v >= 1.0f)
            return 255;
        const float s = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
        return static_cast<std::uint8_t>(s * 255.0f + 0.5f);
    }

    std::span<const std::uint8_t> data_;
    std::size_t width_;
    int height_;
    int depth_;
    std::size_t rowBytes_;
    bool raw_ = false;
    std::size_t rawOffset_ = 0;
    std::vector<std::size_t> offsets_;
    std::vector<std::uint8_t> packed_;
    std::vector<std::uint8_t> reduced_;
};

// CIE L*a*b* (D50, as Photoshop stores it) to sRGB bytes.
void labToBgr(std::uint8_t l8, std::uint8_t a8, std::uint8_t b8, std::uint8_t* out) {
    const double l = l8 * 100.0 / 255.0;
    const double a = a8 - 128.0;
    const double b = b8 - 128.0;
    const double fy = (l + 16.0) / 116.0;
    const double fx = fy + a / 500.0;
    const double fz = fy - b / 200.0;
    auto finv = [](double t) {
        return t > 6.0 / 29.0 ? t * t * t : 3.0 * 36.0 / 841.0 * (t - 4.0 / 29.0);
    };
    const double x = 0.9642 * finv(fx);
    const double y = 1.0 * finv(fy);
    const double z = 0.8249 * finv(fz);
    // Bradford-adapted D50 XYZ to linear sRGB.
    const double rl = 3.1338561 * x - 1.6168667 * y - 0.4906146 * z;
    const double gl = -0.9787684 * x + 1.9161415 * y + 0.0334540 * z;
    const double bl = 0.0719453 * x - 0.2289914 * y + 1.4052427 * z;
    auto encode = [](double v) {
        v = v <= 0.0 ? 0.0 : (v >= 1.0 ? 1.0 : v);
        const double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
        return static_cast<std::uint8_t>(s * 255.0 + 0.5);
    };
    out[0] = encode(bl);
    out[1] = encode(gl);
    out[2] = encode(rl);
}

} // namespace

// Reads the 26-byte file header after checking the signature.
Status parseHeader(std::span<const std::uint8_t> data, PsdHeader& h) {
    ByteReader in(data);
    if (data.size() < PsdHeader::kSize || std::memcmp(data.data(), "8BPS", 4) != 0)
        return Status::notThisFormat(reasons::kPsdNoSignature);
    in.skip(4);
    h.version = in.u16be();
    in.skip(6);
    h.channels = in.u16be();
    h.height = in.u32be();
    h.width = in.u32be();
    h.depth = in.u16be();
    h.mode = in.u16be();
    return {};
}

// How the merged channels of a picture become its bitmap.
struct PsdLayout {
    Target target = Target::Grey;
    int needed = 1; // channels the target reads
    bool alpha = false;
};

// Tells unsupported variants and damaged headers apart, and chooses the layout.
Status validate(const PsdHeader& h, PsdLayout& layout) {
    if (h.version != 1 && h.version != 2)
        return Status::unsupported(
            reasons::format(reasons::kPsdVersion, {std::to_string(h.version)}));
    // Pictures that keep many alpha channels have more than the 56 the format's description
    // names; only the first four are read, and the row table of the others is bounded by the
    // file's size before anything is allocated for it.
    if (h.channels < 1)
        return Status::damaged(reasons::kPsdNoChannels);
    if (Status size = decoders::checkPictureSize("PSD", h.width, h.height); !size)
        return size.error();
    if (h.depth != 1 && h.depth != 8 && h.depth != 16 && h.depth != 32)
        return Status::unsupported(
            reasons::format(reasons::kPsdChannelDepth, {std::to_string(h.depth)}));

    const auto mode = static_cast<PsdMode>(h.mode);
    Target& target = layout.target;
    int& needed = layout.needed;
    bool& alpha = layout.alpha;
    switch (mode) {
    case PsdMode::Bitmap:
        if (h.depth != 1)
            return Status::damaged(
                reasons::format(reasons::kPsdBitmapDepth, {std::to_string(h.depth)}));
        target = Target::Bits1;
        break;
    case PsdMode::Grey:
    case PsdMode::Duotone:
        target = Target::Grey;
        break;
    case PsdMode::Indexed:
        target = Target::Indexed;
        break;
    case PsdMode::Rgb:
    case PsdMode::Multichannel:
        if (h.channels >= 3) {
            target = Target::Rgb;
            needed = 3;
            alpha = h.channels >= 4;
        } else {
            target = Target::Grey;
        }
        break;
    case PsdMode::Cmyk:
        target = Target::Cmyk;
        needed = 4;
        alpha = h.channels >= 5;
        break;
    case PsdMode::Lab:
        target = Target::Lab;
        needed = 3;
        alpha = h.channels >= 4;
        break;
    default:
        return Status::unsupported(
            reasons::format(reasons::kPsdColourMode, {std::to_string(h.mode)}));
    }
    if (h.channels < needed)
        return Status::damaged(reasons::format(
            reasons::kPsdTooFewChannels, {std::to_string(h.channels), std::to_string(h.mode)}));
    if (h.depth == 1 && target != Target::Bits1)
        return Status::unsupported(reasons::kPsdOneBit);
    if (target == Target::Indexed && h.depth != 8)
        return Status::unsupported(
            reasons::format(reasons::kPsdIndexedDepth, {std::to_string(h.depth)}));
    return {};
}

namespace {

// One pass over an RGB row: red, green, blue (and alpha) become bytes 2, 1, 0 (and 3).
void interleaveRgb(const std::uint8_t* const* rgbRows, bool alpha, std::size_t w,
                   std::uint8_t* out) {
    const std::uint8_t* r = rgbRows[0];
    const std::uint8_t* g = rgbRows[1];
    const std::uint8_t* b = rgbRows[2];
    if (alpha) {
        const std::uint8_t* a = rgbRows[3];
        for (std::size_t x = 0; x < w; ++x, out += 4) {
            out[0] = b[x];
            out[1] = g[x];
            out[2] = r[x];
            out[3] = a[x];
        }
    } else {
        for (std::size_t x = 0; x < w; ++x, out += 3) {
            out[0] = b[x];
            out[1] = g[x];
            out[2] = r[x];
        }
    }
}

// CMYK and Lab need all channels of a pixel at once: channel k is parked in the bitmap row
// (and the spare bytes) until the row is converted in place. The black channel of CMYK is
// applied as it arrives.
void parkChannel(Target target, int k, const std::uint8_t* src, std::size_t w,
                 std::size_t pixelBytes, std::uint8_t* out) {
    if (k < 3) {
        std::uint8_t* dst = out + k;
        for (std::size_t x = 0; x < w; ++x, dst += pixelBytes)
            *dst = src[x];
    } else if (target == Target::Cmyk && k == 3) {
        // Stored inverted (255 = no ink): the colour is C' x K' and likewise.
        std::uint8_t* p = out;
        for (std::size_t x = 0; x < w; ++x, p += pixelBytes) {
            const unsigned kk = src[x];
            const std::uint8_t cy = p[0], mg = p[1], ye = p[2];
            p[0] = static_cast<std::uint8_t>((ye * kk + 127) / 255);
            p[1] = static_cast<std::uint8_t>((mg * kk + 127) / 255);
            p[2] = static_cast<std::uint8_t>((cy * kk + 127) / 255);
        }
    } else {
        std::uint8_t* dst = out + 3;
        for (std::size_t x = 0; x < w; ++x, dst += pixelBytes)
            *dst = src[x];
    }
}

// Turns the merged image's channel rows into the bitmap's rows: copied for one channel,
// interleaved for RGB, converted for CMYK and Lab.
DecodeResult convertRows(ChannelRows& rows, const PsdHeader& h, const PsdLayout& layout,
                         int compression, Bitmap bitmap) {
    const Target target = layout.target;
    const bool alpha = layout.alpha;
    const int used = alpha ? layout.needed + 1 : layout.needed;
    const int height = static_cast<int>(h.height);
    const std::size_t pixelBytes = alpha ? 4 : 3;
    const std::uint8_t* rgbRows[4] = {};
    std::vector<std::uint8_t> gathered[4];
    const auto w = static_cast<std::size_t>(h.width);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = bitmap.row(y);
        // Each row pointer stays valid until the next call for a later channel, so single
        // channels are copied at once and several are gathered in turn.
        if (target == Target::Bits1 || target == Target::Grey || target == Target::Indexed) {
            const std::uint8_t* src = rows.row(0, y);
            if (!src)
                return DecodeResult::damaged(
                    reasons::format(reasons::kPsdPackedRow, {std::to_string(y)}));
            std::memcpy(out, src, target == Target::Bits1 ? rows.rowBytes() : w);
            continue;
        }
        for (int k = 0; k < used; ++k) {
            const std::uint8_t* src = rows.row(k, y);
            if (!src)
                return DecodeResult::damaged(reasons::format(
                    reasons::kPsdPackedRowOfChannel, {std::to_string(y), std::to_string(k)}));
            if (target != Target::Rgb) {
                parkChannel(target, k, src, w, pixelBytes, out);
                continue;
            }
            rgbRows[k] = src;
            // The row pointers of packed channels share one buffer: keep a copy of each.
            if (compression == 1 || h.depth > 8) {
                gathered[static_cast<std::size_t>(k)].assign(src, src + w);
                rgbRows[k] = gathered[static_cast<std::size_t>(k)].data();
            }
        }
        if (target == Target::Rgb)
            interleaveRgb(rgbRows, alpha, w, out);
        if (target == Target::Lab) {
            std::uint8_t* p = out;
            for (std::size_t x = 0; x < w; ++x, p += pixelBytes)
                labToBgr(p[0], p[1], p[2], p);
        }
    }
    return bitmap;
}

// Where a cut file ends against the bytes its next length field or section needs.
Status cutAt(std::size_t fileSize, std::uint64_t need) {
    return Status::damaged(reasons::endsAfter(fileSize, need));
}

// Colour mode data: the palette of indexed pictures (256 reds, greens, blues).
Status readModeData(ByteReader& in, std::span<const std::uint8_t> data, Target target,
                    std::vector<Colour>& palette) {
    const std::uint32_t modeDataLength = in.u32be();
    if (in.failed())
        return cutAt(data.size(), PsdHeader::kSize + 4);
    const std::size_t modeDataStart = in.position();
    if (!in.skip(modeDataLength))
        return cutAt(data.size(), modeDataStart + std::uint64_t{modeDataLength});
    if (target != Target::Indexed)
        return {};
    if (modeDataLength < 768)
        return Status::damaged(reasons::kPsdNoPalette);
    palette.resize(256);
    const std::uint8_t* p = data.data() + modeDataStart;
    for (std::size_t i = 0; i < 256; ++i)
        palette[i] = {p[i], p[256 + i], p[512 + i]};
    return {};
}

// Image resources, then the layer and mask section: skipped by their lengths, so nothing in
// the layer records can disturb the merged image.
Status skipResourcesAndLayers(ByteReader& in, std::size_t fileSize, bool large) {
    const std::size_t resourcesAt = in.position();
    const std::uint32_t resourcesLength = in.u32be();
    if (in.failed())
        return cutAt(fileSize, resourcesAt + 4);
    if (!in.skip(resourcesLength))
        return cutAt(fileSize, resourcesAt + 4 + std::uint64_t{resourcesLength});
    const std::size_t layersAt = in.position();
    std::uint64_t layerLength = in.u32be();
    if (large)
        layerLength = (layerLength << 32) | in.u32be();
    if (in.failed())
        return cutAt(fileSize, layersAt + (large ? 8 : 4));
    if (layerLength > in.remaining())
        return cutAt(fileSize, in.position() + layerLength);
    in.skip(layerLength);
    return {};
}

// Finds the merged image's channel rows after its compression word: raw, or PackBits with a
// row length table for every channel of the file (or, as some writers store, only the ones
// used).
Status locateChannels(ChannelRows& rows, const ByteReader& in, std::size_t fileSize,
                      const PsdHeader& h, int used, int compression) {
    if (compression == 0) {
        if (!rows.rawFits(in.position(), used))
            return cutAt(fileSize, in.position() + rows.rawBytes(used));
        rows.useRaw();
        rows.setRawOffset(in.position());
        return {};
    }
    const bool large = h.version == 2;
    std::string reason;
    if (!rows.usePackBits(in.position(), h.channels, large, reason) &&
        !rows.usePackBits(in.position(), used, large, reason))
        return Status::damaged(reason);
    return {};
}

// The bitmap the rows are converted into, with its palette.
Bitmap bitmapFor(const PsdHeader& h, const PsdLayout& layout, std::vector<Colour> palette) {
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);
    const Target target = layout.target;
    PixelFormat format = PixelFormat::Bits8;
    if (target == Target::Bits1)
        format = PixelFormat::Bits1;
    else if (target == Target::Rgb || target == Target::Cmyk || target == Target::Lab)
        format = layout.alpha ? PixelFormat::Bits32 : PixelFormat::Bits24;
    // Every byte of a row is written later, except in the bit rows of bitmap mode.
    Bitmap bitmap = format == PixelFormat::Bits1 ? Bitmap(width, height, format)
                                                 : Bitmap::forWriting(width, height, format);
    if (target == Target::Bits1)
        bitmap.setPalette({colours::kWhite, colours::kBlack});
    else if (target == Target::Grey)
        bitmap.setPalette(decoders::greyRamp(8));
    else if (target == Target::Indexed)
        bitmap.setPalette(std::move(palette));
    return bitmap;
}

} // namespace

DecodeResult decodePsd(std::span<const std::uint8_t> data) {
    PsdHeader h;
    if (Status checked = parseHeader(data, h); !checked)
        return checked.error();
    PsdLayout layout;
    if (Status checked = validate(h, layout); !checked)
        return checked.error();
    ByteReader in(data);
    in.seek(PsdHeader::kSize);
    std::vector<Colour> palette;
    if (Status read = readModeData(in, data, layout.target, palette); !read)
        return read.error();
    if (Status skipped = skipResourcesAndLayers(in, data.size(), h.version == 2); !skipped)
        return skipped.error();

    const std::size_t compressionAt = in.position();
    const std::uint16_t compression = in.u16be();
    if (in.failed())
        return cutAt(data.size(), compressionAt + 2).error();
    if (compression > 1)
        return DecodeResult::unsupported(
            reasons::format(reasons::kCompression, {"PSD", std::to_string(compression)}));
    ChannelRows rows(data, static_cast<int>(h.width), static_cast<int>(h.height), h.depth);
    const int used = layout.alpha ? layout.needed + 1 : layout.needed;
    if (Status found = locateChannels(rows, in, data.size(), h, used, compression); !found)
        return found.error();
    return convertRows(rows, h, layout, compression, bitmapFor(h, layout, std::move(palette)));
}

} // namespace parvane::imaging
