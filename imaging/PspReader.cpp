#include "PspReader.h"

#include "ByteReader.h"
#include "DecoderSupport.h"
#include "FailureReason.h"
#include "PixelBuffer.h"
#include "RleCodecs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>
#include <zlib.h>

namespace parvane::imaging {

namespace {

constexpr char kSignature[] = "Paint Shop Pro Image File\n\x1a";
constexpr std::size_t kHeaderSize = 36; // 32-byte signature, major and minor version

enum BlockId : std::uint16_t {
    kImageBlock = 0,
    kColourBlock = 2,
    kLayerBankBlock = 3,
    kLayerBlock = 4,
    kChannelBlock = 5,
    kCompositeImageBlock = 9,
    kCompositeBankBlock = 16,
    kCompositeAttributesBlock = 17,
};

enum class Compression : std::uint16_t { None = 0, Rle = 1, Lz77 = 2, Jpeg = 3 };

// Bitmap types of channel blocks that this reader uses.
constexpr std::uint16_t kImageBitmap = 0;
constexpr std::uint16_t kTransparencyMask = 1;
constexpr std::uint16_t kUserMask = 2;
constexpr std::uint16_t kCompositeBitmap = 8;
constexpr std::uint16_t kCompositeTransparencyMask = 9;

// Largest expansion each compression can reach: run-length packets of two bytes give at most
// 127 bytes, deflate at most about 1032 bytes per byte.
constexpr std::uint64_t kRleExpansion = 64;
constexpr std::uint64_t kDeflateExpansion = 1032;
// Layer pixels a file may paint per byte of its size, beyond one whole canvas.
constexpr std::uint64_t kLayerPixelsPerByte = 1024;

// One block: its id and the span of its body. In version 3 files the header also gives the
// length of the block's own fields, after which sub-blocks start.
struct Block {
    std::uint16_t id = 0;
    std::span<const std::uint8_t> body;
    std::size_t initialLength = 0; // version 3 only
};

// Splits a span into blocks; damaged when a block header is.
Result<std::vector<Block>> splitBlocks(std::span<const std::uint8_t> data, int major) {
    std::vector<Block> blocks;
    ByteReader in(data);
    while (in.remaining() >= 4) {
        const auto magic = in.bytes(4);
        if (std::memcmp(magic.data(), "~BK\0", 4) != 0)
            return Failure{
                FailureKind::Damaged,
                reasons::format(reasons::kPspBlockMarker, {std::to_string(in.position() - 4)})};
        Block b;
        b.id = in.u16le();
        if (major <= 3)
            b.initialLength = in.u32le();
        const std::uint32_t total = in.u32le();
        if (in.failed() || total > in.remaining())
            return Failure{FailureKind::Damaged,
                           reasons::format(reasons::kPspBlockPastEnd, {std::to_string(b.id)})};
        b.body = in.bytes(total);
        if (b.initialLength > total)
            return Failure{FailureKind::Damaged,
                           reasons::format(reasons::kPspBlockHeader, {std::to_string(b.id)})};
        blocks.push_back(b);
    }
    return blocks;
}

struct ImageInfo {
    int width = 0;
    int height = 0;
    Compression compression = Compression::None;
    int depth = 24;
};

// A decoded channel: width x height bytes, one per pixel (indices of lower depths unpacked).
struct Channel {
    std::uint16_t bitmapType = 0;
    std::uint16_t channelType = 0;
    PixelBuffer pixels;
};

// The bitmap and channel types of a channel block, read without decoding its data.
Result<std::pair<std::uint16_t, std::uint16_t>> channelTypes(const Block& block, int major) {
    ByteReader in(block.body);
    in.skip(major >= 4 ? 12 : 8); // fields length (version 4 on), compressed and plain lengths
    const std::uint16_t bitmapType = in.u16le();
    const std::uint16_t channelType = in.u16le();
    if (in.failed())
        return Failure{FailureKind::Damaged, reasons::kPspChannelPastBlock};
    return std::pair{bitmapType, channelType};
}

// Expands a channel's stored bytes into raw, which they must fill exactly. Every byte of raw
// is written (or the channel is refused), so it need not be cleared first.
Status expandChannel(std::span<const std::uint8_t> src, Compression compression, PixelBuffer& raw) {
    switch (compression) {
    case Compression::None:
        std::memcpy(raw.data(), src.data(), raw.size());
        return {};
    case Compression::Rle:
        if (!decodePspRle(src, raw).filled(std::span<std::uint8_t>(raw)))
            return Status::damaged(reasons::kPspRunLengthEnds);
        return {};
    case Compression::Lz77: {
        uLongf outLength = static_cast<uLongf>(raw.size());
        uLong inLength = static_cast<uLong>(src.size());
        const int z = uncompress2(raw.data(), &outLength, src.data(), &inLength);
        if ((z != Z_OK && z != Z_BUF_ERROR) || outLength != raw.size())
            return Status::damaged(reasons::kPspDeflateDamaged);
        return {};
    }
    case Compression::Jpeg:
        break;
    }
    return Status::damaged(reasons::kPspJpegChannels);
}

// Reads the fields of a channel block and decodes its data for a bitmap of width x height.
Result<Channel> readChannel(const Block& block, int major, int width, int height, int depth,
                            Compression compression) {
    ByteReader in(block.body);
    std::size_t fieldsEnd = 0;
    if (major >= 4) {
        fieldsEnd = in.u32le();
    }
    const std::uint32_t compressedLength = in.u32le();
    in.u32le(); // uncompressed length: not reliable across writers; the size comes from the layer
    Channel c;
    c.bitmapType = in.u16le();
    c.channelType = in.u16le();
    if (major <= 3)
        fieldsEnd = block.initialLength;
    if (in.failed() || !in.seek(fieldsEnd) || !in.has(compressedLength))
        return Failure{FailureKind::Damaged, reasons::kPspChannelPastBlock};
    const auto src = in.bytes(compressedLength);
    // Channels of 24-bit pictures are one byte a pixel in unpadded rows. In paletted pictures
    // the index channel packs depth bits a pixel and every row is padded to four bytes, as the
    // program's own bitmaps are; transparency masks are one byte a pixel.
    const bool isMask = c.bitmapType == kTransparencyMask || c.bitmapType == kUserMask ||
                        c.bitmapType == kCompositeTransparencyMask;
    const int bits = depth == 24 || isMask ? 8 : depth;
    const std::size_t rowBytes = depth == 24
                                     ? static_cast<std::size_t>(width)
                                     : (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    const bool packed = bits < 8;
    const std::uint64_t size = static_cast<std::uint64_t>(rowBytes) * height;
    std::uint64_t limit = src.size();
    if (compression == Compression::Rle)
        limit = src.size() * kRleExpansion;
    else if (compression == Compression::Lz77)
        limit = src.size() * kDeflateExpansion + 64;
    if (size > limit)
        return Failure{FailureKind::Damaged,
                       reasons::format(reasons::kPspChannelCannotFill,
                                       {std::to_string(src.size()), std::to_string(width),
                                        std::to_string(height)})};
    PixelBuffer raw = PixelBuffer::uninitialised(static_cast<std::size_t>(size));
    if (Status expanded = expandChannel(src, compression, raw); !expanded)
        return expanded.error();
    // One byte a pixel from here on; rows of whole bytes without padding are that already.
    const auto w = static_cast<std::size_t>(width);
    if (!packed && rowBytes == w) {
        c.pixels = std::move(raw);
        return c;
    }
    c.pixels = PixelBuffer::uninitialised(w * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* out = c.pixels.data() + static_cast<std::size_t>(y) * w;
        if (!packed) {
            std::memcpy(out, row, w);
        } else if (bits == 4) {
            for (std::size_t x = 0; x < w; ++x)
                out[x] = static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
        } else {
            for (std::size_t x = 0; x < w; ++x)
                out[x] = static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
        }
    }
    return c;
}

// A picture being built: straight (not premultiplied) BGRA, painted layer over layer, in the
// 32-bit bitmap that is returned. The bitmap starts out as untouched zero pages, and only the
// area layers paint is ever written, so a large canvas with small layers costs little.
// A picture known to be opaque (its first paint covers the canvas without transparency) is
// built straight into the 24-bit bitmap instead, with every alpha an implied 255: no 32-bit
// canvas, no pass to find its alpha and no copy.
class Canvas {
public:
    Canvas(int width, int height, bool opaque)
        : width_(width), height_(height), opaque_(opaque),
          bitmap_(opaque ? Bitmap::forWriting(width, height, PixelFormat::Bits24)
                         : Bitmap(width, height, PixelFormat::Bits32)),
          x0_(width), y0_(height) {}

    // Paints a width x height piece at (left, top) with colours from `colour(i)` (BGR of pixel
    // i of the piece), the optional mask and the layer opacity, over what is there.
    template <typename ColourOf>
    void paint(int left, int top, int width, int height, ColourOf colour, const std::uint8_t* mask,
               unsigned opacity) {
        if (opaque_)
            paintAs<3>(left, top, width, height, colour, mask, opacity);
        else
            paintAs<4>(left, top, width, height, colour, mask, opacity);
    }

    // Paints a layer group that was built on a canvas of its own, at the group's opacity.
    void paintCanvas(const Canvas& group, unsigned opacity) {
        if (group.x0_ >= group.x1_ || group.y0_ >= group.y1_ || opacity == 0)
            return;
        x0_ = std::min(x0_, group.x0_);
        y0_ = std::min(y0_, group.y0_);
        x1_ = std::max(x1_, group.x1_);
        y1_ = std::max(y1_, group.y1_);
        if (opaque_)
            paintCanvasAs<3>(group, opacity);
        else
            paintCanvasAs<4>(group, opacity);
    }

    // Masks everything painted so far: a mask value of 0 hides a pixel, 255 leaves it as it
    // is, and the pixels outside the mask's own width x height piece at (left, top) are
    // hidden. A mask layer at less than full opacity masks that much less. What is hidden
    // completely becomes transparent black. Only a canvas with alpha can be masked.
    void mask(int left, int top, int width, int height, const std::uint8_t* values,
              unsigned opacity) {
        if (opaque_)
            return; // never asked of an opaque canvas: its pixels have no alpha to take it
        opaqueCover_ = false;
        for (int y = y0_; y < y1_; ++y) {
            std::uint8_t* d = bitmap_.row(y) + static_cast<std::size_t>(x0_) * 4;
            const bool rowInside = y >= top && y < top + height;
            for (int x = x0_; x < x1_; ++x, d += 4) {
                unsigned m = 0;
                if (rowInside && x >= left && x < left + width)
                    m = values[static_cast<std::size_t>(y - top) * width + (x - left)];
                m = 255 - ((255 - m) * opacity + 127) / 255;
                if (m == 255)
                    continue;
                d[3] = static_cast<std::uint8_t>((d[3] * m + 127) / 255);
                if (d[3] == 0)
                    std::memset(d, 0, 3);
            }
        }
    }

    // The picture as 24 bits when it is opaque everywhere, else as 32 bits with alpha. Only a
    // canvas painted all over can be opaque.
    Bitmap finish() && {
        if (opaque_)
            return std::move(bitmap_);
        if (x0_ != 0 || y0_ != 0 || x1_ != width_ || y1_ != height_)
            return std::move(bitmap_);
        for (int y = 0; !opaqueCover_ && y < height_; ++y) {
            const std::uint8_t* s = bitmap_.row(y);
            for (int x = 0; x < width_; ++x)
                if (s[4 * x + 3] != 255)
                    return std::move(bitmap_);
        }
        Bitmap opaque = Bitmap::forWriting(width_, height_, PixelFormat::Bits24);
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* s = bitmap_.row(y);
            std::uint8_t* d = opaque.row(y);
            for (int x = 0; x < width_; ++x, s += 4, d += 3)
                std::memcpy(d, s, 3);
        }
        return opaque;
    }

private:
    // Bytes is 4 for the BGRA canvas, 3 for the opaque one (whose alpha is always 255).
    template <int Bytes, typename ColourOf>
    void paintAs(int left, int top, int width, int height, ColourOf colour,
                 const std::uint8_t* mask, unsigned opacity) {
        constexpr bool kAlpha = Bytes == 4;
        const int x0 = std::max(0, left), y0 = std::max(0, top);
        const int x1 = std::min(width_, left + width), y1 = std::min(height_, top + height);
        if (x0 >= x1 || y0 >= y1)
            return;
        x0_ = std::min(x0_, x0);
        y0_ = std::min(y0_, y0);
        x1_ = std::max(x1_, x1);
        y1_ = std::max(y1_, y1);
        if (!mask && opacity == 255) {
            // An opaque layer replaces what lies below it.
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* d = bitmap_.row(y) + static_cast<std::size_t>(x0) * Bytes;
                std::size_t i = static_cast<std::size_t>(y - top) * width + (x0 - left);
                for (int x = x0; x < x1; ++x, ++i, d += Bytes) {
                    const std::array<std::uint8_t, 3> s = colour(i);
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    if constexpr (kAlpha)
                        d[3] = 255;
                }
            }
            // Nothing later can make a pixel of an opaque canvas transparent again.
            if (x0 == 0 && y0 == 0 && x1 == width_ && y1 == height_)
                opaqueCover_ = true;
            return;
        }
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = bitmap_.row(y);
            for (int x = x0; x < x1; ++x) {
                const std::size_t i = static_cast<std::size_t>(y - top) * width + (x - left);
                unsigned a = opacity;
                if (mask)
                    a = (a * mask[i] + 127) / 255;
                if (a == 0)
                    continue;
                blend<Bytes>(row + static_cast<std::size_t>(x) * Bytes, colour(i), a);
            }
        }
    }

    // Paints colour s with alpha a (1 to 255) over pixel d, colours kept straight.
    template <int Bytes>
    static void blend(std::uint8_t* d, const std::array<std::uint8_t, 3>& s, unsigned a) {
        const unsigned below = Bytes == 4 ? d[Bytes - 1] : 255;
        if (a == 255 || below == 0) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            if constexpr (Bytes == 4)
                d[3] = static_cast<std::uint8_t>(a);
            return;
        }
        const unsigned da = below * (255 - a); // destination weight x 255
        const unsigned outA = a * 255 + da;    // result alpha x 255
        for (int k = 0; k < 3; ++k)
            d[k] = static_cast<std::uint8_t>(
                (s[static_cast<std::size_t>(k)] * a * 255 + d[k] * da + outA / 2) / outA);
        if constexpr (Bytes == 4)
            d[3] = static_cast<std::uint8_t>((outA + 127) / 255);
    }

    template <int Bytes> void paintCanvasAs(const Canvas& group, unsigned opacity) {
        for (int y = group.y0_; y < group.y1_; ++y) {
            const std::uint8_t* s = group.bitmap_.row(y) + static_cast<std::size_t>(group.x0_) * 4;
            std::uint8_t* row = bitmap_.row(y);
            for (int x = group.x0_; x < group.x1_; ++x, s += 4) {
                const unsigned a = (s[3] * opacity + 127) / 255;
                if (a != 0)
                    blend<Bytes>(row + static_cast<std::size_t>(x) * Bytes, {s[0], s[1], s[2]}, a);
            }
        }
    }

    int width_;
    int height_;
    bool opaque_;
    Bitmap bitmap_;
    int x0_, y0_, x1_ = 0, y1_ = 0; // the painted area
    bool opaqueCover_ = false;      // an opaque layer covered the whole canvas
};

// True when the channel blocks hold a channel of that bitmap type (a transparency mask).
bool hasBitmap(const std::vector<Block>& blocks, int major, std::uint16_t bitmapType) {
    for (const Block& b : blocks) {
        if (b.id != kChannelBlock)
            continue;
        const auto types = channelTypes(b, major);
        if (types && types.value().first == bitmapType)
            return true;
    }
    return false;
}

// The colour channels of one bitmap (layer or composite) and its transparency.
struct Piece {
    const Channel* red = nullptr;
    const Channel* green = nullptr;
    const Channel* blue = nullptr;
    const Channel* index = nullptr; // paletted and greyscale pictures
    const Channel* mask = nullptr;
};

// Reads the channel blocks of a layer or composite and paints them.
Status paintChannels(Canvas& canvas, const std::vector<Block>& blocks, int major,
                     const ImageInfo& info, Compression compression, int left, int top, int width,
                     int height, unsigned opacity, const std::vector<Colour>& palette,
                     std::uint16_t colourType, std::uint16_t maskType) {
    // One channel of each role is decoded: the last, when a bitmap repeats one. Channels of
    // other bitmaps (user masks, selections, thumbnails) have sizes of their own and are left
    // alone. Decoding every repeat would let many tiny deflated channels cost memory and time
    // far beyond the file.
    std::array<std::optional<Channel>, 5> kept; // index, red, green, blue, mask
    for (auto b = blocks.rbegin(); b != blocks.rend(); ++b) {
        if (b->id != kChannelBlock)
            continue;
        const auto types = channelTypes(*b, major);
        if (!types)
            return types.error();
        const auto [bitmapType, channelType] = types.value();
        std::size_t role = kept.size();
        if (bitmapType == maskType)
            role = 4;
        else if (bitmapType == colourType && channelType <= 3)
            role = channelType;
        if (role == kept.size() || kept[role])
            continue;
        Result<Channel> channel = readChannel(*b, major, width, height, info.depth, compression);
        if (!channel)
            return channel.error();
        kept[role] = std::move(channel).value();
    }
    const auto slot = [&](std::size_t role) { return kept[role] ? &*kept[role] : nullptr; };
    Piece piece;
    piece.index = slot(0);
    piece.red = slot(1);
    piece.green = slot(2);
    piece.blue = slot(3);
    piece.mask = slot(4);
    const std::uint8_t* mask = piece.mask ? piece.mask->pixels.data() : nullptr;
    if (info.depth == 24) {
        if (!piece.red || !piece.green || !piece.blue)
            return Status::damaged(reasons::kPspNoColourChannel);
        // Raw pointers, copied into the closure: stores through the canvas's bytes could
        // otherwise alias the vectors and make every pixel reload them.
        canvas.paint(
            left, top, width, height,
            [blue = piece.blue->pixels.data(), green = piece.green->pixels.data(),
             red = piece.red->pixels.data()](std::size_t i) {
                return std::array<std::uint8_t, 3>{blue[i], green[i], red[i]};
            },
            mask, opacity);
        return {};
    }
    if (!piece.index)
        return Status::damaged(reasons::kPspNoIndexChannel);
    // The palette as blue, green, red triples for all 256 indices (black beyond its end).
    std::array<std::array<std::uint8_t, 3>, 256> bgr{};
    for (std::size_t k = 0; k < bgr.size() && k < palette.size(); ++k)
        bgr[k] = {palette[k].blue, palette[k].green, palette[k].red};
    canvas.paint(
        left, top, width, height,
        [index = piece.index->pixels.data(), &bgr](std::size_t i) { return bgr[index[i]]; }, mask,
        opacity);
    return {};
}

struct Rect32 {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

Rect32 readRect(ByteReader& in) {
    Rect32 r;
    r.left = in.s32le();
    r.top = in.s32le();
    r.right = in.s32le();
    r.bottom = in.s32le();
    return r;
}

// What a layer is, as far as the picture goes. Vector, adjustment and art media layers carry
// nothing this reader paints.
enum class LayerKind { Raster, Group, Mask, Other };

// One layer of the layer bank: where its pixels lie on the canvas (a raster layer's saved
// image, a mask layer's saved mask), how it is shown, and its channel blocks.
struct LayerPlan {
    LayerKind kind = LayerKind::Other;
    bool visible = false;
    int left = 0, top = 0, width = 0, height = 0;
    std::uint8_t opacity = 255;
    std::uint32_t members = 0; // a group: how many of the layers after it belong to it
    std::size_t end = 0;       // the index just past this layer and all it holds
    std::vector<Block> channels;
};

// Block ids of the layer extensions this reader looks at.
constexpr std::uint16_t kGroupExtensionBlock = 25;
// The layer flags bit that shows a layer.
constexpr std::uint8_t kVisibleFlag = 1;
// Groups inside groups, at most; a deeper nesting is refused rather than followed.
constexpr std::size_t kMaxGroupDepth = 32;
// Groups built on canvases of their own inside one another, at most: each holds a canvas as
// large as the picture's, so that a few bytes cannot claim memory for dozens.
constexpr int kMaxGroupCanvases = 4;

// The kind of a layer from its type byte. Raster layers are type 1 (and 2, floating
// selections) from version 4 on, with groups 5 and masks 6; in version 3 normal layers are 0
// and floating selections 1.
LayerKind layerKind(int major, std::uint8_t type) {
    if (major <= 3)
        return type <= 1 ? LayerKind::Raster : LayerKind::Other;
    switch (type) {
    case 1:
    case 2:
        return LayerKind::Raster;
    case 5:
        return LayerKind::Group;
    case 6:
        return LayerKind::Mask;
    default:
        return LayerKind::Other;
    }
}

// Places the piece of the canvas that a rectangle and a saved rectangle inside it give. An
// empty piece, or one wholly off the canvas, keeps a size of 0 x 0; damaged when the piece is
// beyond what a bitmap can hold.
Status placePiece(const Rect32& outer, const Rect32& saved, int canvasWidth, int canvasHeight,
                  LayerPlan& plan) {
    const std::int64_t w = std::int64_t{saved.right} - saved.left;
    const std::int64_t h = std::int64_t{saved.bottom} - saved.top;
    const std::int64_t left = std::int64_t{outer.left} + saved.left;
    const std::int64_t top = std::int64_t{outer.top} + saved.top;
    if (w <= 0 || h <= 0 || left <= -w || top <= -h || left >= canvasWidth || top >= canvasHeight)
        return {};
    if (!Bitmap::fitsInMemory(w, h))
        return Status::damaged(
            reasons::format(reasons::kPspLayerTooLarge, {std::to_string(w), std::to_string(h)}));
    plan.left = static_cast<int>(left);
    plan.top = static_cast<int>(top);
    plan.width = static_cast<int>(w);
    plan.height = static_cast<int>(h);
    return {};
}

// Reads the extension sub-blocks that follow a layer's information chunk (version 4 on),
// taking a group's member count, and returns where its bitmap information chunk starts: a
// damaged extension leaves no way to find it.
Result<std::size_t> readExtensions(std::span<const std::uint8_t> body, std::size_t at,
                                   LayerPlan& plan) {
    while (body.size() - at >= 10 && std::memcmp(body.data() + at, "~BK\0", 4) == 0) {
        ByteReader e(body.subspan(at + 4));
        const std::uint16_t id = e.u16le();
        const std::uint32_t length = e.u32le();
        if (e.failed() || length > body.size() - at - 10)
            return Failure{FailureKind::Damaged, reasons::kPspBitmapInfoDamaged};
        if (id == kGroupExtensionBlock) {
            e.u32le(); // its chunk length
            plan.members = e.u32le();
            if (e.failed())
                return Failure{FailureKind::Damaged, reasons::kPspBitmapInfoDamaged};
        }
        at += 10 + length;
    }
    return at;
}

// Reads one layer block's header and finds its channel blocks; damaged when the header is.
Result<LayerPlan> planLayer(const Block& layer, int major, int canvasWidth, int canvasHeight) {
    LayerPlan plan;
    ByteReader f(layer.body);
    std::size_t channelsStart = layer.initialLength;
    if (major >= 4) {
        channelsStart = f.u32le();
        f.skip(f.u16le()); // the name
    } else {
        f.skip(256);
    }
    plan.kind = layerKind(major, f.u8());
    const Rect32 image = readRect(f);
    const Rect32 savedImage = readRect(f);
    plan.opacity = f.u8();
    f.u8(); // blend mode: every layer is painted normally
    plan.visible = (f.u8() & kVisibleFlag) != 0;
    f.skip(2); // transparency protection and link group
    const Rect32 mask = readRect(f);
    const Rect32 savedMask = readRect(f);
    if (f.failed() || channelsStart > layer.body.size())
        return Failure{FailureKind::Damaged, reasons::kPspLayerCutShort};
    // Version 4 on: extensions, then the bitmap information chunk (its length, bitmap count
    // and channel count). A group's extension says which layers it holds, shown or not.
    const Result<std::size_t> bitmapInfo =
        major >= 4 ? readExtensions(layer.body, channelsStart, plan) : channelsStart;
    if (!bitmapInfo && plan.kind == LayerKind::Group)
        return Failure{FailureKind::Damaged, reasons::kPspGroupDamaged};
    const bool isMask = plan.kind == LayerKind::Mask;
    if (!plan.visible || (plan.kind != LayerKind::Raster && !isMask))
        return plan;
    std::size_t channelsAt = channelsStart;
    if (major >= 4) {
        if (!bitmapInfo)
            return bitmapInfo.error();
        ByteReader bi(layer.body.subspan(bitmapInfo.value()));
        const std::uint32_t length = bi.u32le();
        if (bi.failed() || length > layer.body.size() - bitmapInfo.value())
            return Failure{FailureKind::Damaged, reasons::kPspBitmapInfoDamaged};
        channelsAt = bitmapInfo.value() + length;
    }
    if (Status placed = placePiece(isMask ? mask : image, isMask ? savedMask : savedImage,
                                   canvasWidth, canvasHeight, plan);
        !placed)
        return placed.error();
    // A raster piece off the canvas paints nothing; a mask without one hides all below it.
    if (plan.width == 0)
        return plan;
    auto channels = splitBlocks(layer.body.subspan(channelsAt), major);
    if (!channels)
        return channels.error();
    plan.channels = std::move(channels).value();
    return plan;
}

// Reads the headers of all layer blocks, bottom first, and works out which layers each group
// holds; damaged when a header is, or when groups nest too deeply.
Result<std::vector<LayerPlan>> planLayers(const std::vector<Block>& layers, int major,
                                          int canvasWidth, int canvasHeight) {
    std::vector<LayerPlan> plans;
    for (const Block& layer : layers) {
        if (layer.id != kLayerBlock)
            continue;
        Result<LayerPlan> plan = planLayer(layer, major, canvasWidth, canvasHeight);
        if (!plan)
            return plan.error();
        plans.push_back(std::move(plan).value());
    }
    // A group holds the layers that follow it, as many as it says (groups among them count as
    // one, with their own members); a group that claims more than the bank has holds the rest.
    std::vector<std::pair<std::size_t, std::uint32_t>> open; // group index, members still due
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (!open.empty())
            --open.back().second;
        plans[i].end = i + 1;
        if (plans[i].kind == LayerKind::Group && plans[i].members > 0) {
            if (open.size() == kMaxGroupDepth)
                return Failure{
                    FailureKind::Damaged,
                    reasons::format(reasons::kPspGroupsNest, {std::to_string(kMaxGroupDepth)})};
            open.emplace_back(i, plans[i].members);
        }
        while (!open.empty() && open.back().second == 0) {
            plans[open.back().first].end = i + 1;
            open.pop_back();
        }
    }
    for (const auto& group : open)
        plans[group.first].end = plans.size();
    return plans;
}

// Flattens the layer tree bottom first. Raster layers are painted with their opacity and
// transparency; a mask layer masks what lies below it on its own level (inside its group, or
// the whole picture below it at the top level); a group with a mask, or at less than full
// opacity, is built on a canvas of its own and painted as one layer.
class Flattening {
public:
    Flattening(const std::vector<LayerPlan>& plans, int major, const ImageInfo& info,
               const std::vector<Colour>& palette)
        : plans_(plans), major_(major), info_(info), palette_(palette) {}

    // Paints the layers plans[begin, end) of one level onto the canvas.
    Status paint(std::size_t begin, std::size_t end, Canvas& canvas) {
        for (std::size_t i = begin; i < end; i = plans_[i].end) {
            const LayerPlan& plan = plans_[i];
            if (!plan.visible)
                continue;
            Status shown;
            if (plan.kind == LayerKind::Raster && plan.width > 0) {
                shown = paintChannels(canvas, plan.channels, major_, info_, info_.compression,
                                      plan.left, plan.top, plan.width, plan.height, plan.opacity,
                                      palette_, kImageBitmap, kTransparencyMask);
                ++painted;
            } else if (plan.kind == LayerKind::Mask) {
                shown = paintMask(plan, canvas);
            } else if (plan.kind == LayerKind::Group && !ownsCanvas(i)) {
                shown = paint(i + 1, plan.end, canvas);
            } else if (plan.kind == LayerKind::Group) {
                shown = paintGroupCanvas(i, canvas);
            }
            if (!shown)
                return shown;
        }
        return {};
    }

    // True when the layers plans[begin, end) hold a shown mask on their own level.
    bool masksLevel(std::size_t begin, std::size_t end) const {
        for (std::size_t i = begin; i < end; i = plans_[i].end)
            if (plans_[i].kind == LayerKind::Mask && plans_[i].visible)
                return true;
        return false;
    }

    int painted = 0; // raster layers painted

private:
    bool ownsCanvas(std::size_t group) const {
        return plans_[group].opacity != 255 || masksLevel(group + 1, plans_[group].end);
    }

    // Builds the group plans[group] on a canvas of its own and paints that at its opacity.
    Status paintGroupCanvas(std::size_t group, Canvas& canvas) {
        if (groupCanvases_ == kMaxGroupCanvases)
            return Status::unsupported(reasons::format(reasons::kPspGroupCanvasesNest,
                                                       {std::to_string(kMaxGroupCanvases)}));
        const LayerPlan& plan = plans_[group];
        ++groupCanvases_;
        Canvas own(info_.width, info_.height, false);
        Status built = paint(group + 1, plan.end, own);
        --groupCanvases_;
        if (!built)
            return built;
        canvas.paintCanvas(own, plan.opacity);
        return {};
    }

    Status paintMask(const LayerPlan& plan, Canvas& canvas) {
        const Block* data = nullptr;
        for (const Block& b : plan.channels) {
            const auto types = channelTypes(b, major_);
            if (b.id == kChannelBlock && types && types.value().first == kUserMask)
                data = &b;
        }
        if (plan.width == 0 || !data) {
            canvas.mask(0, 0, 0, 0, nullptr, plan.opacity); // nothing stored: it hides all
            return {};
        }
        const Result<Channel> mask =
            readChannel(*data, major_, plan.width, plan.height, info_.depth, info_.compression);
        if (!mask)
            return mask.error();
        canvas.mask(plan.left, plan.top, plan.width, plan.height, mask.value().pixels.data(),
                    plan.opacity);
        return {};
    }

    const std::vector<LayerPlan>& plans_;
    int major_;
    const ImageInfo& info_;
    const std::vector<Colour>& palette_;
    int groupCanvases_ = 0; // groups being built on canvases of their own
};

// What the main blocks say: the general image attributes, the palette and where the layer
// and composite banks lie.
struct MainBlocks {
    std::optional<ImageInfo> info;
    std::vector<Colour> palette;
    const Block* layerBank = nullptr;
    const Block* compositeBank = nullptr;
};

Status readMainBlocks(const std::vector<Block>& blocks, int major, MainBlocks& main) {
    std::optional<ImageInfo>& info = main.info;
    std::vector<Colour>& palette = main.palette;
    const Block*& layerBank = main.layerBank;
    const Block*& compositeBank = main.compositeBank;
    for (const Block& b : blocks) {
        ByteReader f(b.body);
        if (b.id == kImageBlock && !info) {
            if (major >= 4)
                f.u32le();
            ImageInfo i;
            i.width = f.s32le();
            i.height = f.s32le();
            f.skip(8 + 1); // resolution and its unit
            i.compression = static_cast<Compression>(f.u16le());
            i.depth = f.u16le();
            if (f.failed())
                return Status::damaged(reasons::kPspAttributesCutShort);
            info = i;
        } else if (b.id == kColourBlock) {
            if (major >= 4)
                f.u32le();
            const std::uint32_t count = f.u32le();
            if (f.failed() || count > 256 || !f.has(std::size_t{count} * 4))
                return Status::damaged(reasons::kPspPaletteDamaged);
            palette.resize(count);
            for (Colour& c : palette) {
                c.blue = f.u8();
                c.green = f.u8();
                c.red = f.u8();
                f.u8();
            }
        } else if (b.id == kLayerBankBlock) {
            layerBank = &b;
        } else if (b.id == kCompositeBankBlock) {
            compositeBank = &b;
        }
    }
    return {};
}

// The composite that the program stored itself, when it is uncompressed or losslessly
// packed: the faithful flattening, which honours group masks and blend modes. No picture when
// the file has none that fits it.
Result<std::optional<Bitmap>> readComposite(const Block& compositeBank, int major,
                                            const ImageInfo& info,
                                            const std::vector<Colour>& palette) {
    const std::optional<Bitmap> none;
    ByteReader f(compositeBank.body);
    const std::uint32_t fieldsEnd = f.u32le();
    if (f.failed() || fieldsEnd > compositeBank.body.size())
        return none;
    const auto subBlocks = splitBlocks(compositeBank.body.subspan(fieldsEnd), major);
    if (!subBlocks)
        return subBlocks.error();
    std::optional<Compression> compositeCompression;
    for (const Block& b : subBlocks.value()) {
        if (b.id != kCompositeAttributesBlock)
            continue;
        ByteReader a(b.body);
        a.u32le();
        const std::int32_t w = a.s32le(), h = a.s32le();
        a.u16le();
        const auto compression = static_cast<Compression>(a.u16le());
        a.u16le();
        a.u32le();
        const std::uint16_t type = a.u16le();
        if (a.ok() && type == 0 && w == info.width && h == info.height &&
            compression <= Compression::Lz77)
            compositeCompression = compression;
    }
    for (const Block& b : subBlocks.value()) {
        if (b.id != kCompositeImageBlock || !compositeCompression)
            continue;
        ByteReader c(b.body);
        const std::uint32_t end = c.u32le();
        if (c.failed() || end > b.body.size())
            return Failure{FailureKind::Damaged, reasons::kPspCompositeDamaged};
        const auto channels = splitBlocks(b.body.subspan(end), major);
        if (!channels)
            return channels.error();
        // The stored composite covers the canvas: only a transparency mask can leave holes.
        Canvas canvas(info.width, info.height,
                      !hasBitmap(channels.value(), major, kCompositeTransparencyMask));
        if (Status painted = paintChannels(
                canvas, channels.value(), major, info, *compositeCompression, 0, 0, info.width,
                info.height, 255, palette, kCompositeBitmap, kCompositeTransparencyMask);
            !painted)
            return painted.error();
        return std::optional<Bitmap>(std::move(canvas).finish());
    }
    return none;
}

// A picture or its layers beyond the pixels this decode was allowed to build.
DecodeResult beyondPixelLimit(std::uint64_t pixels, const PspDecodeOptions& options) {
    return DecodeResult::unsupported(reasons::format(
        reasons::kPspBeyondLimit, {std::to_string(pixels), std::to_string(options.maxPixels)}));
}

// The pixels a flattening of the planned layers passes over, at most: see flattenLayers.
std::uint64_t paintCost(const std::vector<LayerPlan>& plans, const ImageInfo& info) {
    // The area painted so far on each open level, with the index where that level ends.
    struct Level {
        std::size_t end;
        int x0, y0, x1, y1;
        std::uint64_t area() const {
            return x1 <= x0 || y1 <= y0 ? 0 : std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
        }
    };
    std::vector<Level> open{{plans.size(), info.width, info.height, 0, 0}};
    std::uint64_t cost = 0;
    for (std::size_t i = 0; i <= plans.size(); ++i) {
        while (open.size() > 1 && open.back().end <= i) {
            cost += open.back().area(); // the group painted onto its level
            open.pop_back();
        }
        if (i == plans.size())
            break;
        const LayerPlan& plan = plans[i];
        if (plan.kind == LayerKind::Mask && plan.visible)
            cost += open.back().area();
        if (plan.kind == LayerKind::Group && plan.visible && plan.end > i + 1)
            open.push_back({plan.end, info.width, info.height, 0, 0});
        if (plan.width == 0)
            continue;
        cost += static_cast<std::uint64_t>(plan.width) * plan.height;
        for (Level& level : open) {
            level.x0 = std::clamp(plan.left, 0, level.x0);
            level.y0 = std::clamp(plan.top, 0, level.y0);
            level.x1 = std::clamp(plan.left + plan.width, level.x1, info.width);
            level.y1 = std::clamp(plan.top + plan.height, level.y1, info.height);
        }
    }
    return cost;
}

// Paints the planned layers into the picture, once their cost is known to fit the file.
DecodeResult flattenLayers(const std::vector<LayerPlan>& plans, int major, const ImageInfo& info,
                           const std::vector<Colour>& palette, std::size_t fileSize,
                           const PspDecodeOptions& options) {
    // Every layer costs a pass over its pixels, a mask one over the area its level has painted
    // below it, and a group with a canvas of its own one over the area it paints. A layer may
    // cover the canvas from a few bytes, but hundreds of such layers in a small file would
    // take minutes: beyond one canvas, the painted area is bounded by what the file's size
    // can sensibly describe. The layers' headers tell it before any of them is decoded.
    const std::uint64_t canvasPixels =
        static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
    const std::uint64_t paintLimit = canvasPixels + fileSize * kLayerPixelsPerByte;
    const std::uint64_t paintedPixels = paintCost(plans, info);
    if (paintedPixels > paintLimit)
        return DecodeResult::damaged(
            reasons::format(reasons::kPspCannotHoldLayers,
                            {std::to_string(fileSize), std::to_string(paintedPixels)}));
    if (paintedPixels > options.maxPixels)
        return beyondPixelLimit(paintedPixels, options);
    Flattening flattening(plans, major, info, palette);
    // Layers are painted bottom first: a bottom layer that covers the canvas opaquely makes
    // the whole picture opaque, whatever lies above it, unless a mask at the top level can
    // hide some of it again.
    std::size_t first = 0; // the first layer shown at the top level
    while (first < plans.size() && !plans[first].visible)
        first = plans[first].end;
    const LayerPlan* bottom = first < plans.size() ? &plans[first] : nullptr;
    const bool opaque = bottom && bottom->kind == LayerKind::Raster && bottom->left <= 0 &&
                        bottom->top <= 0 && bottom->left + bottom->width >= info.width &&
                        bottom->top + bottom->height >= info.height && bottom->opacity == 255 &&
                        !hasBitmap(bottom->channels, major, kTransparencyMask) &&
                        !flattening.masksLevel(0, plans.size());
    Canvas canvas(info.width, info.height, opaque);
    if (Status painted = flattening.paint(0, plans.size(), canvas); !painted)
        return painted.error();
    if (flattening.painted == 0)
        return DecodeResult::unsupported(reasons::kPspNoVisibleLayer);
    return std::move(canvas).finish();
}

} // namespace

DecodeResult decodePsp(std::span<const std::uint8_t> data, const PspDecodeOptions& options) {
    if (data.size() < kHeaderSize)
        return DecodeResult::notThisFormat(reasons::kPspShortHeader);
    for (std::size_t i = 0; i < sizeof kSignature - 1; ++i) {
        const auto a = static_cast<unsigned char>(kSignature[i]);
        const auto b = data[i];
        const bool letter = (a | 0x20) >= 'a' && (a | 0x20) <= 'z';
        if (letter ? (a | 0x20) != (b | 0x20) : a != b)
            return DecodeResult::notThisFormat(reasons::kPspNoSignature);
    }
    ByteReader in(data);
    in.seek(32);
    const int major = in.u16le();
    in.u16le();
    if (major < 3)
        return DecodeResult::unsupported(
            reasons::format(reasons::kPspVersion, {std::to_string(major)}));
    const auto blocks = splitBlocks(data.subspan(kHeaderSize), major);
    if (!blocks)
        return blocks.error();

    MainBlocks main;
    if (Status checked = readMainBlocks(blocks.value(), major, main); !checked)
        return checked.error();
    const std::optional<ImageInfo>& info = main.info;
    std::vector<Colour>& palette = main.palette;
    const Block* layerBank = main.layerBank;
    if (!info)
        return DecodeResult::damaged(reasons::kPspNoAttributes);
    if (Status size = decoders::checkPictureSize("PSP", info->width, info->height); !size)
        return size.error();
    if (info->depth != 1 && info->depth != 4 && info->depth != 8 && info->depth != 24)
        return DecodeResult::unsupported(
            reasons::format(reasons::kPspDepth, {std::to_string(info->depth)}));
    if (info->compression > Compression::Lz77)
        return DecodeResult::unsupported(reasons::format(
            reasons::kPspCompression, {std::to_string(static_cast<int>(info->compression))}));
    if (info->depth < 24 && palette.empty())
        palette = decoders::greyRamp(info->depth);

    // Layers may leave most of a canvas empty, but a few bytes cannot describe an enormous one;
    // refusing that spares allocating for it.
    if (static_cast<std::uint64_t>(info->width) * static_cast<std::uint64_t>(info->height) >
        data.size() * kDeflateExpansion * 4 + (std::uint64_t{1} << 24))
        return DecodeResult::damaged(
            reasons::format(reasons::kPspCannotHoldPicture,
                            {std::to_string(data.size()), std::to_string(info->width),
                             std::to_string(info->height)}));
    const std::uint64_t canvasPixels =
        static_cast<std::uint64_t>(info->width) * static_cast<std::uint64_t>(info->height);
    if (canvasPixels > options.maxPixels)
        return beyondPixelLimit(canvasPixels, options);
    if (main.compositeBank && major >= 4 && options.useStoredComposite) {
        auto composite = readComposite(*main.compositeBank, major, *info, palette);
        if (!composite)
            return composite.error();
        if (composite.value())
            return std::move(*composite.value());
    }

    // Otherwise the layers, flattened.
    if (!layerBank)
        return DecodeResult::unsupported(reasons::kPspNothingToShow);
    const auto layers =
        splitBlocks(layerBank->body.subspan(major <= 3 ? layerBank->initialLength : 0), major);
    if (!layers)
        return layers.error();
    const auto plans = planLayers(layers.value(), major, info->width, info->height);
    if (!plans)
        return plans.error();
    return flattenLayers(plans.value(), major, *info, palette, data.size(), options);
}

DecodeResult decodePsp(std::span<const std::uint8_t> data) {
    return decodePsp(data, PspDecodeOptions{});
}

} // namespace parvane::imaging
