#include "LevelFileWriter.h"

#include <cstring>
#include <stdexcept>
#include <zlib.h>

namespace parvane::level::testing {

namespace {

// Little-endian output buffer.
class Out {
public:
    void u8(std::uint32_t v) { b_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v);
        u16(v >> 16);
    }
    void f32(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        u32(v);
    }
    void bytes(const std::vector<std::uint8_t>& v) { b_.insert(b_.end(), v.begin(), v.end()); }
    template <std::size_t N> void bytes(const std::array<std::uint8_t, N>& v) {
        b_.insert(b_.end(), v.begin(), v.end());
    }
    // count bytes of a recognisable filler
    void filler(std::size_t count, std::uint8_t seed = 0x5A) {
        for (std::size_t i = 0; i < count; ++i)
            u8(seed + i * 7);
    }
    std::vector<std::uint8_t>& data() { return b_; }
    std::size_t size() const { return b_.size(); }

private:
    std::vector<std::uint8_t> b_;
};

void writeClassicRoom(Out& o, const RoomRecipe& r, int g) {
    o.u32(1024);
    o.u32(2048);
    o.u32(static_cast<std::uint32_t>(-256));
    o.u32(512);
    o.u32(7);
    o.u16(r.vertices);
    for (unsigned i = 0; i < r.vertices; ++i) {
        o.u16(i);
        o.u16(i * 2);
        o.u16(i * 3);
        o.u16(0x1000 + i);
        if (g >= 3) {
            o.u16(16);
            o.u16(0x3DEF);
        }
    }
    o.u16(r.rectangles);
    for (unsigned i = 0; i < r.rectangles; ++i) {
        for (int k = 0; k < 4; ++k)
            o.u16(k);
        o.u16(i);
    }
    o.u16(r.triangles);
    for (unsigned i = 0; i < r.triangles; ++i) {
        for (int k = 0; k < 3; ++k)
            o.u16(k);
        o.u16(i);
    }
    o.u16(r.sprites);
    o.filler(r.sprites * 4u);
    o.u16(r.portals);
    o.filler(r.portals * 32u);
    o.u16(r.sectorsZ);
    o.u16(r.sectorsX);
    o.filler(std::size_t{r.sectorsZ} * r.sectorsX * 8);
    o.u8(0x11);
    o.u8(0x22);
    if (g >= 3)
        o.u16(0x3333);
    if (g == 3 || g == 4)
        o.u16(1);
    o.u16(r.lights);
    o.filler(r.lights * static_cast<std::size_t>(g <= 2 ? 18 : g <= 5 ? 24 : 46));
    o.u16(r.staticMeshes);
    o.filler(r.staticMeshes * static_cast<std::size_t>(g <= 2 ? 18 : 20));
    o.u16(0xFFFF);
    o.u8(0);
    o.u8(1);
    if (g == 5 || g == 6) {
        o.u16(0x4444);
        o.u8(0x55);
    }
}

void writeRoom7(Out& o, const RoomRecipe& r) {
    Out body;             // everything after the size field
    body.u32(0xAAAAAAAA); // skipped
    for (int i = 0; i < 4; ++i)
        body.u32(100 + i); // header values
    body.u32(1024);        // x
    body.u32(104);
    body.u32(2048); // z
    body.u32(static_cast<std::uint32_t>(-256));
    body.u32(512);
    body.u16(r.sectorsZ);
    body.u16(r.sectorsX);
    body.u32(0x00808080); // room colour
    body.u16(r.lights);
    body.u16(r.staticMeshes);
    for (int i = 0; i < 3; ++i)
        body.u32(105 + i);
    body.filler(14);
    body.u8(3);
    body.u8(4);
    body.u16(0x1234);
    body.filler(14);
    body.filler(16, 0x10);
    body.filler(16);
    body.u32(108);
    body.filler(4);
    for (int i = 0; i < 5; ++i)
        body.u32(109 + i);
    body.u32(r.records36);
    body.u32(114);
    body.u32(115);
    body.u32(static_cast<std::uint32_t>(r.layers.size()));
    for (int i = 0; i < 5; ++i)
        body.u32(116 + i);
    body.filler(16);
    body.filler(r.lights * 88u);
    body.filler(r.records36 * 36u);
    body.filler(std::size_t{r.sectorsZ} * r.sectorsX * 8);
    body.u16(r.portals);
    body.filler(r.portals * 32u);
    body.u16(0);
    body.filler(r.staticMeshes * 20u);
    std::uint32_t triangles = 0;
    for (const LayerRecipe& l : r.layers) {
        body.u32(static_cast<std::uint32_t>(l.vertices.size()));
        body.u16(0);
        body.u16(static_cast<std::uint32_t>(l.rectangles.size()));
        body.u16(static_cast<std::uint32_t>(l.triangles.size()));
        body.filler(46);
        triangles += static_cast<std::uint32_t>(l.triangles.size());
    }
    for (const LayerRecipe& l : r.layers) {
        for (const FaceRecipe& f : l.rectangles) {
            for (int k = 0; k < 4; ++k)
                body.u16(f.vertices[k]);
            body.u16(f.texture);
            body.u16(f.extra);
        }
        for (const FaceRecipe& f : l.triangles) {
            for (int k = 0; k < 3; ++k)
                body.u16(f.vertices[k]);
            body.u16(f.texture);
            body.u16(f.extra);
        }
    }
    if (triangles % 2 != 0)
        body.u16(0xBEEF);
    for (const LayerRecipe& l : r.layers) {
        for (const LayerVertexRecipe& v : l.vertices) {
            body.f32(v.x);
            body.f32(v.y);
            body.f32(v.z);
            body.filler(12);
            body.u8(v.bgr[0]);
            body.u8(v.bgr[1]);
            body.u8(v.bgr[2]);
            body.u8(0);
        }
    }
    body.filler(r.unreadBytes, 0xC3);
    o.u32(0x4D4F4F52); // room tag
    o.u32(static_cast<std::uint32_t>(body.size()));
    o.bytes(body.data());
}

void writeObjectTextures(Out& o, const LevelRecipe& s) {
    const int g = s.generation;
    o.u32(static_cast<std::uint32_t>(s.objectTextures.size()));
    for (const ObjectTextureRecipe& t : s.objectTextures) {
        o.u16(0);
        o.u16(t.tile);
        if (g >= 6)
            o.u16(0x8000);
        for (const auto& c : t.corners) {
            o.u8(0x01);
            o.u8(c[0]);
            o.u8(0x02);
            o.u8(c[1]);
        }
        if (g >= 6)
            for (int i = 0; i < 4; ++i)
                o.u32(0x01010101u * static_cast<std::uint32_t>(i));
        if (g == 7)
            o.u16(0);
    }
}

void counted(Out& o, std::uint32_t count, std::size_t recordBytes, bool count16 = false) {
    if (count16)
        o.u16(count);
    else
        o.u32(count);
    o.filler(count * recordBytes, static_cast<std::uint8_t>(recordBytes));
}

void writeLevelData(Out& o, const LevelRecipe& s) {
    const int g = s.generation;
    const std::uint32_t n = s.sectionRecords;
    if (g == 7) {
        o.filler(4);
        o.u32(static_cast<std::uint32_t>(s.rooms.size()) | 0xABCD0000u); // low 16 bits used
        for (const RoomRecipe& r : s.rooms)
            writeRoom7(o, r);
    } else {
        o.u32(0x01020304);
        o.u16(static_cast<std::uint32_t>(s.rooms.size()));
        for (const RoomRecipe& r : s.rooms)
            writeClassicRoom(o, r, g);
    }
    counted(o, s.floorDataWords ? s.floorDataWords : n, 2); // floor data
    counted(o, n, 2);                                       // mesh data
    counted(o, n, 4);                                       // mesh pointers
    counted(o, n, g >= 6 ? 40 : 32);                        // animations
    counted(o, n, 6);
    counted(o, n, 8);
    counted(o, n, 2);
    counted(o, n, 4);
    counted(o, n, 2);
    counted(o, n, g == 7 ? 20 : 18); // moveables
    counted(o, n, 32);               // static meshes
    if (g <= 4)
        writeObjectTextures(o, s);
    if (g >= 6)
        o.filler(g == 6 ? 3 : 4);
    counted(o, n, 16); // sprite textures
    counted(o, n, 8);  // sprite sequences
    if (g == 2)
        o.bytes(s.palette8);
    counted(o, n, 16); // cameras
    if (g >= 6)
        counted(o, n, 40);
    counted(o, n, 16); // sound sources
    counted(o, n, g <= 2 ? 20 : 8);
    counted(o, n, 2); // overlaps
    o.filler(std::size_t{n} * 2 * (g <= 2 ? 6 : 10));
    o.u32(static_cast<std::uint32_t>(s.animatedWords.size()));
    for (std::uint16_t w : s.animatedWords)
        o.u16(w);
    if (g >= 6)
        o.filler(g == 6 ? 4 : 5);
    if (g >= 5)
        writeObjectTextures(o, s);
    counted(o, n, g <= 2 ? 22 : 24); // entities
    if (g <= 5)
        o.filler(8192);
    if (g == 1)
        o.bytes(s.palette8);
    if (g >= 6)
        counted(o, n, 24);
    else
        counted(o, n, 16, true);
    counted(o, n, 1, true); // demo data
    o.filler(g <= 2 ? 512 : g <= 6 ? 740 : 900);
    counted(o, n, 8); // sound details
    if (g <= 2) {
        o.u32(static_cast<std::uint32_t>(s.samples.size()));
        o.bytes(s.samples);
    }
    counted(o, n, 4); // sample indices
}

void writeChunk(Out& o, const std::vector<std::uint8_t>& data) {
    const auto packed = deflateBytes(data);
    o.u32(static_cast<std::uint32_t>(data.size()));
    o.u32(static_cast<std::uint32_t>(packed.size()));
    o.bytes(packed);
}

} // namespace

std::vector<std::uint8_t> deflateBytes(const std::vector<std::uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> out(size);
    if (compress(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> patternPages(int bytesPerPixel, std::uint32_t pages) {
    std::vector<std::uint8_t> out(std::size_t{pages} * 65536 * bytesPerPixel);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>((i * 31 + i / 4096) & 0xFF);
    return out;
}

std::array<std::uint8_t, 768> patternPalette() {
    std::array<std::uint8_t, 768> p{};
    for (int i = 0; i < 256; ++i) {
        p[3 * i] = static_cast<std::uint8_t>(i % 64);
        p[3 * i + 1] = static_cast<std::uint8_t>((i * 3) % 64);
        p[3 * i + 2] = static_cast<std::uint8_t>(63 - i % 64);
    }
    return p;
}

std::vector<std::uint8_t> writeLevel(const LevelRecipe& s) {
    const int g = s.generation;
    Out o;
    switch (g) {
    case 1:
    case 2:
        o.u32(32);
        break;
    case 3:
    case 4:
        o.u32(45);
        break;
    case 5:
        o.u32(s.dv3Alternate ? 0xFF080038 : 0xFF180038);
        break;
    default:
        o.u32(s.dv4Tag ? 0x00345644 : 0xFFFFFFF0);
        break;
    }
    const auto pagesOr = [&](const std::vector<std::uint8_t>& given, int bpp) {
        return given.empty() ? patternPages(bpp, s.pages) : given;
    };
    if (g <= 5) {
        if (g >= 3) {
            o.bytes(s.palette8);
            o.filler(1024);
        }
        o.u32(s.pages);
        o.bytes(pagesOr(s.textile8, 1));
        if (g >= 3)
            o.bytes(pagesOr(s.textile16, 2));
        writeLevelData(o, s);
    } else {
        o.u16(s.pages);
        o.u16(0);
        o.u16(0);
        writeChunk(o, pagesOr(s.textile32, 4));
        writeChunk(o, pagesOr(s.textile16, 2));
        writeChunk(o, s.misc.empty() ? std::vector<std::uint8_t>(4096, 0x77) : s.misc);
        if (g == 6) {
            Out level;
            writeLevelData(level, s);
            writeChunk(o, level.data());
            o.bytes(s.samples);
        } else {
            Out level;
            writeLevelData(level, s);
            o.filler(32);
            o.u32(static_cast<std::uint32_t>(level.size()));
            o.u32(0);
            o.bytes(level.data());
            o.bytes(s.samples);
        }
    }
    if (!s.zlibContainer)
        return std::move(o.data());
    Out c;
    const auto packed = deflateBytes(o.data());
    c.u8('Z');
    c.u8('L');
    c.u8('I');
    c.u8('B');
    c.u32(static_cast<std::uint32_t>(packed.size()));
    c.u32(static_cast<std::uint32_t>(o.size()));
    c.bytes(packed);
    return std::move(c.data());
}

std::string fileNameFor(int generation) {
    switch (generation) {
    case 1:
        return "LEVEL1.PHD";
    case 2:
        return "LEVEL2.DVX";
    case 3:
        return "LEVEL3.DV2";
    case 4:
        return "maps.dvg/LEVEL4.DV2";
    case 5:
        return "LEVEL5.DV2";
    case 6:
        return "LEVEL6.DV4";
    default:
        return "LEVEL7.DVC";
    }
}

LevelRecipe twoPageLevelWithATransparentPixel() {
    LevelRecipe recipe;
    recipe.generation = 1;
    recipe.pages = 2;
    recipe.palette8 = patternPalette();
    recipe.textile8.assign(2 * 65536, 5);
    recipe.textile8[0] = 0;
    return recipe;
}

LevelRecipe richLevel(int generation) {
    LevelRecipe s;
    s.generation = generation;
    s.pages = 2;
    s.palette8 = patternPalette();
    s.sectionRecords = 1;
    if (generation == 7) {
        RoomRecipe room;
        room.lights = 1;
        room.records36 = 1;
        room.sectorsZ = 1;
        room.sectorsX = 2;
        room.portals = 1;
        room.staticMeshes = 1;
        LayerRecipe layer;
        layer.vertices = {{0.5f, 1.5f, 2.5f, {8, 16, 24}},
                          {10, 0, 0, {255, 255, 255}},
                          {0.9f, 1.2f, 2.9f, {0, 0, 0}}};
        layer.rectangles = {{{0, 1, 2, 1}, 5, 9}};
        layer.triangles = {{{0, 1, 2, 0}, 6, 0}};
        room.layers = {layer};
        room.unreadBytes = 6;
        s.rooms = {room, RoomRecipe{}};
    } else {
        RoomRecipe room;
        room.vertices = 3;
        room.rectangles = 1;
        room.triangles = 2;
        room.sprites = 1;
        room.portals = 1;
        room.sectorsZ = 2;
        room.sectorsX = 1;
        room.lights = 1;
        room.staticMeshes = 1;
        s.rooms = {room, RoomRecipe{}};
    }
    ObjectTextureRecipe t0;
    t0.tile = 0;
    t0.corners = {{{0, 0}, {63, 0}, {63, 63}, {0, 63}}};
    ObjectTextureRecipe t1;
    t1.tile = 1;
    t1.corners = {{{64, 64}, {127, 64}, {127, 127}, {64, 127}}};
    ObjectTextureRecipe t2;
    t2.tile = 1;
    t2.corners = {{{0, 128}, {31, 128}, {31, 159}, {0, 159}}};
    s.objectTextures = {t0, t1, t2};
    s.animatedWords = {2, 1, 0, 1, 0, 2};
    return s;
}

} // namespace parvane::level::testing
