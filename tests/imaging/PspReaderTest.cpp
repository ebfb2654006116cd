#include "imaging/PspReader.h"

#include "DecoderCorpus.h"

#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace parvane::imaging;
using namespace parvane::testing;

TEST(PspReader, CorpusFilesMatchTheirReferences) {
    PARVANE_REQUIRE_TESTDATA();
    int compared = 0;
    for (const auto& row : corpus::manifestRows("PSP")) {
        ++compared;
        SCOPED_TRACE(row.path);
        const auto result = decodePsp(readFileBytes(peerFile(row.path)));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        const Bitmap& b = result.bitmap();
        const QImage preview = corpus::loadOracle("oracle/" + row.path + ".preview.png");
        if (row.path.find("04_hex_mask") != std::string::npos) {
            // The reference takes its alpha nearly from one layer's own transparency (the
            // green hexagon's, before its mask), though the opaque background shows
            // everywhere; the stored composite is opaque, and its colours agree with the
            // reference's.
            EXPECT_EQ(b.format(), PixelFormat::Bits24);
            EXPECT_EQ(
                corpus::compareWithOracle(b, corpus::loadOracle(row.oraclePng), {1, 0.0, false}),
                "");
            EXPECT_EQ(corpus::compareWithOracle(b, preview, {0, 3.0, false}), "");
        } else if (row.trust == "upstream-ref") {
            // The reference is its author's own flattening, which he warns may be off by one
            // in blending; multi-layer files here come from the program's stored composite.
            EXPECT_EQ(corpus::compareWithOracle(b, corpus::loadOracle(row.oraclePng), {2, 0.05}),
                      "");
            EXPECT_EQ(corpus::compareWithOracle(b, corpus::loadOracle(row.oraclePng), {2}), "");
        } else if (row.trust == "approximate") {
            EXPECT_EQ(corpus::compareWithOracle(b, preview, {0, 3.0, false}), "");
        } else {
            // Only a smaller lossy preview exists: compare with it scaled up, loosely.
            EXPECT_EQ(corpus::compareWithOracle(b,
                                                preview.scaled(b.width(), b.height(),
                                                               Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation),
                                                {0, 8.0, false}),
                      "");
        }
    }
    EXPECT_EQ(compared, 9);
}

// A decoded bitmap as an RGBA picture, to compare one decoding with another.
static QImage asImage(const Bitmap& b) {
    QImage image(b.width(), b.height(), QImage::Format_RGBA8888);
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const Colour c = b.pixel(x, y);
            const int alpha = b.format() == PixelFormat::Bits32 ? b.alphaAt(x, y) : 255;
            image.setPixelColor(x, y, QColor(c.red, c.green, c.blue, alpha));
        }
    return image;
}

// The layers flattened here against what the program itself shows, its stored composite, and
// against the reference flattening. That reference gives 04_hex_mask nearly the alpha of one
// layer's own transparency, though the picture's opaque background shows everywhere (in the
// stored composite and the embedded preview alike): only its colours are compared.
TEST(PspReader, FlattenedLayersMatchTheStoredCompositeAndTheReference) {
    PARVANE_REQUIRE_TESTDATA();
    struct Case {
        const char* path;
        const char* reference;
        bool referenceAlpha;
    };
    const Case cases[] = {
        {"psp_scan/tests/bmps/04_hex_mask.pspimage", "psp_scan/tests/bmps/04_hex_mask_good.png",
         false}, // groups with mask layers
        {"psp_scan/tests/bmps/02_layered.pspimage", "psp_scan/tests/bmps/02_layered_good.png",
         true}, // layers with transparency
        {"psp_scan/tests/bmps/01_quadrants.pspimage", "psp_scan/tests/bmps/01_quadrants_good.png",
         true},
        {"psp_scan/tests/bmps/06_game_hex.pspimage", "psp_scan/tests/bmps/06_game_hex_good.png",
         true},
    };
    PspDecodeOptions layersOnly;
    layersOnly.useStoredComposite = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto bytes = readFileBytes(peerFile(c.path));
        const auto shown = decodePsp(bytes);
        const auto flattened = decodePsp(bytes, layersOnly);
        ASSERT_TRUE(shown.ok() && flattened.ok());
        const Bitmap& b = flattened.bitmap();
        EXPECT_EQ(b.format(), PixelFormat::Bits24);
        EXPECT_EQ(corpus::compareWithOracle(b, corpus::loadOracle(c.reference),
                                            {2, 0.0, c.referenceAlpha}),
                  "");
        EXPECT_EQ(corpus::compareWithOracle(b, asImage(shown.bitmap()), {2}), "");
    }
}

namespace {

void put16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
void putBytes(std::vector<std::uint8_t>& v, const std::vector<std::uint8_t>& b) {
    v.insert(v.end(), b.begin(), b.end());
}

// A block of a version 4+ file (or a version 3 file, with its initial-data length).
std::vector<std::uint8_t> block(int major, unsigned id, const std::vector<std::uint8_t>& fields,
                                const std::vector<std::uint8_t>& subBlocks = {}) {
    std::vector<std::uint8_t> v{'~', 'B', 'K', 0};
    put16(v, id);
    if (major <= 3)
        put32(v, static_cast<std::uint32_t>(fields.size()));
    put32(v, static_cast<std::uint32_t>(fields.size() + subBlocks.size()));
    putBytes(v, fields);
    putBytes(v, subBlocks);
    return v;
}

std::vector<std::uint8_t> compress(const std::vector<std::uint8_t>& raw, int compression) {
    if (compression == 1) { // literal packets of at most 128 bytes
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < raw.size(); i += 128) {
            const std::size_t n = std::min<std::size_t>(128, raw.size() - i);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), raw.begin() + static_cast<long>(i),
                       raw.begin() + static_cast<long>(i + n));
        }
        return out;
    }
    if (compression == 2) {
        std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(raw.size())));
        uLongf length = static_cast<uLongf>(out.size());
        ::compress(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
        out.resize(length);
        return out;
    }
    return raw;
}

std::vector<std::uint8_t> channel(int major, int compression, unsigned bitmapType,
                                  unsigned channelType, const std::vector<std::uint8_t>& raw) {
    const auto data = compress(raw, compression);
    std::vector<std::uint8_t> f;
    if (major >= 4)
        put32(f, 16);
    put32(f, static_cast<std::uint32_t>(data.size()));
    put32(f, static_cast<std::uint32_t>(raw.size()));
    put16(f, bitmapType);
    put16(f, channelType);
    if (major <= 3)
        return block(major, 5, f, data);
    return block(major, 5, f, data);
}

struct Layer {
    int left = 0, top = 0, width = 2, height = 2;
    std::uint8_t opacity = 255;
    bool visible = true;
    std::vector<std::uint8_t> red, green, blue, mask;     // width x height each; mask optional
    std::vector<std::vector<std::uint8_t>> extraChannels; // whole channel blocks, after those
    std::uint8_t type = 1;                                // version 4 on: 1 raster, 5 group, 6 mask
    std::uint32_t members = 0;                            // a group's
};

std::vector<std::uint8_t> layerBlock(int major, int compression, const Layer& l) {
    std::vector<std::uint8_t> f;
    if (major >= 4) {
        put32(f, 0); // patched below
        put16(f, 2);
        putBytes(f, {'L', '1'});
        f.push_back(l.type);
    } else {
        f.resize(256, 0);
        f.push_back(0); // normal layer
    }
    // A raster layer's pixels lie in its image rectangle, a mask layer's in its mask one.
    const bool isMask = l.type == 6, pixels = l.type == 1 || isMask;
    const std::vector<int> rects{l.left, l.top, l.left + l.width, l.top + l.height,
                                 0,      0,     l.width,          l.height};
    for (int pass : {0, 1})
        for (int v : rects)
            put32(f, static_cast<std::uint32_t>(pixels && isMask == (pass == 1) ? v : 0));
    f.insert(f.begin() + static_cast<long>(f.size()) - 32,
             {l.opacity, 0, static_cast<std::uint8_t>(l.visible), 0, 0});
    f.resize(f.size() + 3, 0); // mask flags
    put16(f, 0);               // blend ranges
    const unsigned channels = !pixels ? 0 : isMask ? 1 : l.mask.empty() ? 3 : 4;
    std::vector<std::uint8_t> extension;
    if (l.type == 5) {
        put32(extension, 9);
        put32(extension, l.members);
        extension.push_back(1);
    }
    if (major <= 3) {
        f.resize(f.size() + 40, 0);
        put16(f, 1);
        put16(f, static_cast<std::uint16_t>(channels));
    } else {
        const auto length = static_cast<std::uint32_t>(f.size());
        std::memcpy(f.data(), &length, 4);
        if (!extension.empty())
            putBytes(f, block(major, 25, extension));
        put32(f, 8); // bitmap information chunk
        put16(f, pixels ? 1 : 0);
        put16(f, static_cast<std::uint16_t>(channels));
    }
    std::vector<std::uint8_t> subs;
    if (isMask) {
        putBytes(subs, channel(major, compression, 2, 0, l.mask));
    } else if (pixels) {
        putBytes(subs, channel(major, compression, 0, 1, l.red));
        putBytes(subs, channel(major, compression, 0, 2, l.green));
        putBytes(subs, channel(major, compression, 0, 3, l.blue));
        if (!l.mask.empty())
            putBytes(subs, channel(major, compression, 1, 0, l.mask));
    }
    for (const auto& extra : l.extraChannels)
        putBytes(subs, extra);
    return block(major, 4, f, subs);
}

std::vector<std::uint8_t> pspFile(int major, int width, int height, int compression,
                                  const std::vector<Layer>& layers, int depth = 24) {
    std::vector<std::uint8_t> v(32, 0);
    std::memcpy(v.data(), "Paint Shop Pro Image File\n\x1a", 27);
    put16(v, static_cast<unsigned>(major));
    put16(v, 0);
    std::vector<std::uint8_t> info;
    if (major >= 4)
        put32(info, 46);
    put32(info, static_cast<std::uint32_t>(width));
    put32(info, static_cast<std::uint32_t>(height));
    info.resize(info.size() + 9, 0);
    put16(info, static_cast<unsigned>(compression));
    put16(info, static_cast<unsigned>(depth));
    put16(info, 1);
    put32(info, 1u << 24);
    info.push_back(0);
    put32(info, 0);
    put32(info, 0);
    put16(info, static_cast<unsigned>(layers.size()));
    if (major >= 4)
        put32(info, 0);
    putBytes(v, block(major, 0, info));
    std::vector<std::uint8_t> bank;
    for (const Layer& l : layers)
        putBytes(bank, layerBlock(major, compression, l));
    putBytes(v, block(major, 3, {}, bank));
    return v;
}

Layer groupLayer(std::uint32_t members, std::uint8_t opacity = 255) {
    Layer l;
    l.type = 5;
    l.members = members;
    l.opacity = opacity;
    return l;
}

// A mask layer whose values cover width x height pixels at (left, top).
Layer maskLayer(int left, int top, int width, int height, std::vector<std::uint8_t> values) {
    Layer l;
    l.type = 6;
    l.left = left;
    l.top = top;
    l.width = width;
    l.height = height;
    l.mask = std::move(values);
    return l;
}

Layer flatLayer(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Layer l;
    l.width = width;
    l.height = height;
    const auto n = static_cast<std::size_t>(width * height);
    l.red.assign(n, r);
    l.green.assign(n, g);
    l.blue.assign(n, b);
    return l;
}

} // namespace

TEST(PspReader, LayersArePaintedBottomFirstInEveryCompressionAndVersion) {
    for (int major : {3, 4, 8}) {
        for (int compression : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(major) + "/" + std::to_string(compression));
            Layer top = flatLayer(2, 1, 0, 0, 200);
            top.left = 1;
            top.top = 1;
            top.mask = {255, 0}; // only its first pixel shows
            Layer hidden = flatLayer(3, 3, 9, 9, 9);
            hidden.visible = false;
            const auto file =
                pspFile(major, 3, 2, compression, {flatLayer(3, 2, 10, 20, 30), top, hidden});
            const auto result = decodePsp(file);
            ASSERT_TRUE(result.ok()) << result.error().reason;
            const Bitmap& b = result.bitmap();
            EXPECT_EQ(b.format(), PixelFormat::Bits24);
            EXPECT_EQ(b.pixel(0, 0), (Colour{10, 20, 30}));
            EXPECT_EQ(b.pixel(1, 1), (Colour{0, 0, 200}));
            EXPECT_EQ(b.pixel(2, 1), (Colour{10, 20, 30}));
        }
    }
}

TEST(PspReader, MaskLayersMaskWhatLiesBelowThemOnTheirLevel) {
    const Layer red = flatLayer(3, 1, 200, 0, 0), blue = flatLayer(3, 1, 0, 0, 200);
    Layer greenDot = flatLayer(1, 1, 0, 200, 0);
    greenDot.left = 2;
    Layer hiddenMask = maskLayer(0, 0, 3, 1, {0, 0, 0});
    hiddenMask.visible = false;
    Layer hiddenGroup = groupLayer(1);
    hiddenGroup.visible = false;
    Layer halfMask = maskLayer(0, 0, 3, 1, {0, 0, 0});
    halfMask.opacity = 128;
    struct Pixel {
        int x;
        Colour colour;
        int alpha;
    };
    struct Case {
        const char* name;
        std::vector<Layer> layers;
        std::vector<Pixel> expected;
    };
    const Case cases[] = {
        // Partly masked pixels carry the mask in alpha; beyond the mask nothing shows.
        {"at the top level",
         {red, maskLayer(0, 0, 2, 1, {255, 128})},
         {{0, {200, 0, 0}, 255}, {1, {200, 0, 0}, 128}, {2, {0, 0, 0}, 0}}},
        {"layers above a mask stay whole",
         {blue, maskLayer(0, 0, 3, 1, {0, 0, 0}), greenDot},
         {{0, {0, 0, 0}, 0}, {2, {0, 200, 0}, 255}}},
        // Inside a group a mask hides only the group's layers below it.
        {"in a group",
         {blue, groupLayer(2), flatLayer(3, 1, 0, 200, 0), maskLayer(1, 0, 1, 1, {255})},
         {{0, {0, 0, 200}, 255}, {1, {0, 200, 0}, 255}, {2, {0, 0, 200}, 255}}},
        {"a group claiming more layers than there are holds the rest",
         {blue, groupLayer(5), flatLayer(3, 1, 0, 200, 0), maskLayer(0, 0, 1, 1, {255})},
         {{0, {0, 200, 0}, 255}, {1, {0, 0, 200}, 255}}},
        {"at half opacity", {red, halfMask}, {{0, {200, 0, 0}, 127}}},
        {"hidden masks and groups",
         {red, hiddenMask, hiddenGroup, flatLayer(3, 1, 0, 200, 0)},
         {{0, {200, 0, 0}, 255}}},
        {"group opacity",
         {blue, groupLayer(1, 128), flatLayer(3, 1, 200, 0, 0)},
         {{1, {100, 0, 100}, 255}}},
    };
    for (int compression : {0, 1, 2})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", compression " + std::to_string(compression));
            const auto result = decodePsp(pspFile(8, 3, 1, compression, c.layers));
            ASSERT_TRUE(result.ok()) << result.error().reason;
            const Bitmap& b = result.bitmap();
            for (const Pixel& p : c.expected) {
                const Colour got = b.pixel(p.x, 0);
                const int alpha = b.format() == PixelFormat::Bits32 ? b.alphaAt(p.x, 0) : 255;
                EXPECT_NEAR(got.red, p.colour.red, 1) << p.x;
                EXPECT_NEAR(got.green, p.colour.green, 1) << p.x;
                EXPECT_NEAR(got.blue, p.colour.blue, 1) << p.x;
                EXPECT_NEAR(alpha, p.alpha, 1) << p.x;
            }
        }
}

TEST(PspReader, ChannelsOfOtherBitmapsAreSkippedAndRepeatedOnesReplaced) {
    for (int compression : {0, 1, 2}) {
        SCOPED_TRACE(compression);
        Layer layer = flatLayer(3, 2, 10, 20, 30);
        // A user mask and a thumbnail, sized on their own and far smaller than the layer.
        layer.extraChannels.push_back(channel(8, compression, 2, 0, {255}));
        layer.extraChannels.push_back(channel(8, compression, 5, 1, {1, 2}));
        // A second red channel: the later one counts.
        layer.extraChannels.push_back(
            channel(8, compression, 0, 1, std::vector<std::uint8_t>(6, 99)));
        const auto result = decodePsp(pspFile(8, 3, 2, compression, {layer}));
        ASSERT_TRUE(result.ok()) << result.error().reason;
        EXPECT_EQ(result.bitmap().pixel(2, 1), (Colour{99, 20, 30}));
    }
}

TEST(PspReader, PartialCoverageAndOpacityGiveAlpha) {
    Layer half = flatLayer(2, 2, 200, 100, 0);
    half.opacity = 128;
    const auto result = decodePsp(pspFile(8, 3, 2, 0, {half}));
    ASSERT_TRUE(result.ok()) << result.error().reason;
    const Bitmap& b = result.bitmap();
    EXPECT_EQ(b.format(), PixelFormat::Bits32);
    EXPECT_EQ(b.pixel(0, 0), (Colour{200, 100, 0}));
    EXPECT_EQ(b.alphaAt(0, 0), 128);
    EXPECT_EQ(b.alphaAt(2, 0), 0);
    // A half-transparent layer over an opaque one mixes the colours and stays opaque.
    const auto mixed = decodePsp(pspFile(8, 2, 2, 0, {flatLayer(2, 2, 0, 0, 0), half}));
    ASSERT_TRUE(mixed.ok());
    EXPECT_EQ(mixed.bitmap().format(), PixelFormat::Bits24);
    EXPECT_NEAR(mixed.bitmap().pixel(1, 1).red, 100, 1);
}

TEST(PspReader, PalettedPicturesUseTheirPaletteAndPaddedRows) {
    // 8-bit, 3 x 2: the index rows are padded to four bytes; the palette entries are stored
    // blue, green, red, reserved.
    auto file = pspFile(8, 3, 2, 0, {}, 8);
    file.resize(file.size() - 10); // drop the empty layer bank
    std::vector<std::uint8_t> palette;
    put32(palette, 12);
    put32(palette, 3);
    putBytes(palette, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});
    putBytes(file, block(8, 2, palette));
    std::vector<std::uint8_t> fields; // a raster layer at 0,0 of 3 x 2
    put32(fields, 0);
    put16(fields, 0);
    fields.push_back(1);
    for (int v : {0, 0, 3, 2, 0, 0, 3, 2})
        put32(fields, static_cast<std::uint32_t>(v));
    putBytes(fields, {255, 0, 1, 0, 0});
    fields.resize(fields.size() + 35, 0);
    put16(fields, 0);
    const auto length = static_cast<std::uint32_t>(fields.size());
    std::memcpy(fields.data(), &length, 4);
    put32(fields, 8);
    put16(fields, 1);
    put16(fields, 1);
    const auto indices = channel(8, 0, 0, 0, {0, 1, 2, 99, 2, 1, 0, 99});
    putBytes(file, block(8, 3, {}, block(8, 4, fields, indices)));
    const auto result = decodePsp(file);
    ASSERT_TRUE(result.ok()) << result.error().reason;
    const Bitmap& b = result.bitmap();
    EXPECT_EQ(b.format(), PixelFormat::Bits24);
    EXPECT_EQ(b.pixel(0, 0), colours::kRed);
    EXPECT_EQ(b.pixel(2, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(b.pixel(0, 1), (Colour{0, 0, 255}));
    EXPECT_EQ(b.pixel(1, 1), (Colour{0, 255, 0}));
}

TEST(PspReader, SignatureIsComparedIgnoringCase) {
    auto file = pspFile(8, 2, 2, 0, {flatLayer(2, 2, 1, 2, 3)});
    std::memcpy(file.data(), "PAINT SHOP PRO IMAGE FILE", 25);
    EXPECT_TRUE(decodePsp(file).ok());
    file[26] = 0x1b;
    EXPECT_EQ(decodePsp(file).error().kind, DecodeError::Kind::NotThisFormat);
}

TEST(PspReader, DamagedAndUnsupportedFilesAreRefused) {
    const auto good = pspFile(8, 4, 4, 1, {flatLayer(4, 4, 1, 2, 3)});
    ASSERT_TRUE(decodePsp(good).ok());
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        DecodeError::Kind kind;
    };
    std::vector<Case> cases{
        {"version 2", pspFile(2, 4, 4, 0, {}), DecodeError::Kind::Unsupported},
        {"16-bit", pspFile(8, 4, 4, 0, {flatLayer(4, 4, 1, 2, 3)}, 16),
         DecodeError::Kind::Unsupported},
        {"JPEG compression", pspFile(8, 4, 4, 3, {}), DecodeError::Kind::Unsupported},
        {"no layers", pspFile(8, 4, 4, 0, {}), DecodeError::Kind::Unsupported},
        {"absurd size", pspFile(8, 70000, 70000, 0, {}), DecodeError::Kind::Damaged},
        {"huge canvas in a tiny file", pspFile(8, 16000, 16000, 0, {flatLayer(4, 4, 1, 2, 3)}),
         DecodeError::Kind::Damaged},
    };
    // A huge layer whose few bytes cannot fill it.
    Layer huge = flatLayer(1, 1, 1, 1, 1);
    huge.width = 20000;
    huge.height = 20000;
    cases.push_back(
        {"layer larger than its data", pspFile(8, 4, 4, 1, {huge}), DecodeError::Kind::Damaged});
    // Masks sized beyond their data, or beyond any bitmap, and groups nested without end.
    cases.push_back(
        {"mask larger than its data",
         pspFile(8, 4, 4, 0, {flatLayer(4, 4, 1, 2, 3), maskLayer(0, 0, 300, 300, {1})}),
         DecodeError::Kind::Damaged});
    cases.push_back(
        {"mask beyond any bitmap",
         pspFile(8, 4, 4, 0, {flatLayer(4, 4, 1, 2, 3), maskLayer(0, 0, 0x7FFFFFFF, 2, {1})}),
         DecodeError::Kind::Damaged});
    std::vector<Layer> nested(40, groupLayer(1));
    nested.push_back(flatLayer(4, 4, 1, 2, 3));
    cases.push_back(
        {"groups nested too deep", pspFile(8, 4, 4, 0, nested), DecodeError::Kind::Damaged});
    // Faded groups each build on a canvas of their own: only a few may nest.
    std::vector<Layer> faded(5, groupLayer(1, 128));
    faded.push_back(flatLayer(4, 4, 1, 2, 3));
    cases.push_back({"faded groups nested too deep", pspFile(8, 4, 4, 0, faded),
                     DecodeError::Kind::Unsupported});
    for (std::size_t keep : {good.size() - 1, good.size() / 2, std::size_t{40}})
        cases.push_back(
            {"truncated",
             std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(keep)),
             DecodeError::Kind::Damaged});
    auto badMarker = good;
    badMarker[36] = 'X';
    cases.push_back({"block marker", badMarker, DecodeError::Kind::Damaged});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = decodePsp(c.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, c.kind) << result.error().reason;
        EXPECT_EQ(result.error().reason.rfind("PSP: ", 0), 0u) << result.error().reason;
    }
}

TEST(PspReader, ManyCanvasSizedLayersFromAFewBytesAreRefused) {
    // 1-bit deflated layers of 1024 x 1024: each takes a few hundred bytes of file.
    const auto fileWithLayers = [](int count) {
        auto file = pspFile(8, 1024, 1024, 2, {}, 1);
        file.resize(file.size() - 10); // drop the empty layer bank
        std::vector<std::uint8_t> fields;
        put32(fields, 0);
        put16(fields, 0);
        fields.push_back(1);
        for (int v : {0, 0, 1024, 1024, 0, 0, 1024, 1024})
            put32(fields, static_cast<std::uint32_t>(v));
        putBytes(fields, {255, 0, 1, 0, 0});
        fields.resize(fields.size() + 35, 0);
        put16(fields, 0);
        const auto length = static_cast<std::uint32_t>(fields.size());
        std::memcpy(fields.data(), &length, 4);
        put32(fields, 8);
        put16(fields, 1);
        put16(fields, 1);
        const auto indices = channel(8, 2, 0, 0, std::vector<std::uint8_t>(128 * 1024, 0xFF));
        std::vector<std::uint8_t> bank;
        for (int i = 0; i < count; ++i)
            putBytes(bank, block(8, 4, fields, indices));
        putBytes(file, block(8, 3, {}, bank));
        return file;
    };
    const auto one = decodePsp(fileWithLayers(1));
    ASSERT_TRUE(one.ok()) << one.error().reason;
    EXPECT_EQ(one.bitmap().pixel(1023, 1023), colours::kWhite);
    const auto many = decodePsp(fileWithLayers(8));
    ASSERT_FALSE(many.ok());
    EXPECT_EQ(many.error().kind, DecodeError::Kind::Damaged);
    EXPECT_NE(many.error().reason.find("cannot hold layers"), std::string::npos)
        << many.error().reason;
    // Masks pass over all their level has painted below them: two dots in opposite corners
    // span the canvas, and a few hundred empty masks over them cost far more than the file.
    Layer corner = flatLayer(1, 1, 1, 2, 3);
    corner.left = corner.top = 1023;
    std::vector<Layer> masked{flatLayer(1, 1, 1, 2, 3), corner};
    masked.resize(600, maskLayer(0, 0, 0, 0, {}));
    const auto masks = decodePsp(pspFile(8, 1024, 1024, 2, masked));
    ASSERT_FALSE(masks.ok());
    EXPECT_NE(masks.error().reason.find("cannot hold layers"), std::string::npos)
        << masks.error().reason;
}

TEST(PspReader, APixelLimitRefusesPicturesAndLayersBeyondIt) {
    // A 3 x 2 canvas (6 pixels), painted by layers of 6 and 2 pixels (8 in all) or by the
    // small layer alone.
    const auto twoLayers =
        pspFile(8, 3, 2, 2, {flatLayer(3, 2, 10, 20, 30), flatLayer(2, 1, 0, 0, 9)});
    const auto smallLayer = pspFile(8, 3, 2, 2, {flatLayer(2, 1, 0, 0, 9)});
    struct Case {
        const std::vector<std::uint8_t>& file;
        std::uint64_t limit;
        bool decodes;
    };
    for (const Case& c : {Case{twoLayers, 8, true}, Case{twoLayers, 7, false},
                          Case{smallLayer, 6, true}, Case{smallLayer, 5, false}}) {
        PspDecodeOptions options;
        options.maxPixels = c.limit;
        const auto result = decodePsp(c.file, options);
        ASSERT_EQ(result.ok(), c.decodes) << c.limit;
        if (!c.decodes) {
            EXPECT_EQ(result.error().kind, DecodeError::Kind::Unsupported) << c.limit;
        }
    }
}
