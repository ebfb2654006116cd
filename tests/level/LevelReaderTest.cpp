#include "LevelFileWriter.h"
#include "level/dvunit3_modif.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace parvane::level;
using namespace parvane::level::testing;
using parvane::testing::ScratchDir;
using parvane::testing::writeFileBytes;

namespace {

struct NameCase {
    std::uint32_t version;
    const char* name;
    int generation;
};

class GenerationFromName : public ::testing::TestWithParam<NameCase> {};

TEST_P(GenerationFromName, IsDecidedByVersionAndWholeName) {
    const NameCase& c = GetParam();
    EXPECT_EQ(generationFor(c.version, c.name), c.generation) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, GenerationFromName,
    ::testing::Values(NameCase{32, "A.PHD", 1}, NameCase{32, "A.DVX", 2}, NameCase{32, "a.dvx", 2},
                      NameCase{32, "a.Dvx", 1}, NameCase{32, "/games/old.dvx/LEVEL.PHD", 2},
                      NameCase{45, "A.DV2", 3}, NameCase{45, "a.dvg", 4}, NameCase{45, "A.DVG", 4},
                      NameCase{0xFF180038, "A.DV2", 5}, NameCase{0xFF080038, "A.DVC", 5},
                      NameCase{0x00345644, "A.DV4", 6}, NameCase{0xFFFFFFF0, "A.DVC", 7},
                      NameCase{0xFFFFFFF0, "a.dvc", 7}, NameCase{0x00345644, "a.Dvc", 6},
                      NameCase{33, "A.PHD", 0}, NameCase{0, "A.DVC", 0}));

class EveryGeneration : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(EveryGeneration, FullLoadReachesTheObjectTexturesAndTheAnimatedList) {
    const auto [generation, container] = GetParam();
    LevelRecipe recipe = richLevel(generation);
    recipe.zlibContainer = container;
    Tdvlevel level;
    const LoadResult loaded =
        level.LoadLevelFromBytes(writeLevel(recipe), fileNameFor(generation), false);
    ASSERT_EQ(loaded.status(), LoadStatus::Ok) << loaded.reason();
    EXPECT_EQ(level.Generation, generation);
    EXPECT_TRUE(level.model().LoadedMarker);
    EXPECT_EQ(level.model().NumTextiles, 2u);
    EXPECT_EQ(level.model().NumRooms, 2);
    ASSERT_EQ(level.model().ObjectTextures.size(), 3u);
    EXPECT_EQ(level.model().ObjectTextures[1].tile, 1);
    EXPECT_EQ(level.model().ObjectTextures[1].cornerX(2), 127);
    EXPECT_EQ(level.model().ObjectTextures[2].cornerY(3), 159);
    EXPECT_EQ(level.model().AnimatedTextures, recipe.animatedWords);
    EXPECT_EQ(level.model().numEntities, 1u);
    EXPECT_EQ(level.model().numSampleIndices, 1u);
    if (generation <= 2) {
        EXPECT_EQ(level.model().Palette8, recipe.palette8);
        EXPECT_EQ(level.model().SampleData, recipe.samples);
    }
    if (generation >= 6) {
        EXPECT_EQ(level.model().SampleData, recipe.samples);
    }
    if (generation <= 5) {
        EXPECT_EQ(level.model().Textile8, patternPages(1, 2));
    }
    if (generation >= 3) {
        EXPECT_EQ(level.model().Textile16, patternPages(2, 2));
    }
    if (generation >= 6) {
        EXPECT_EQ(level.model().Textile32, patternPages(4, 2));
    }
    level.FreeLevelData();
    EXPECT_FALSE(level.model().LoadedMarker);
    EXPECT_TRUE(level.model().Textile8.empty() && level.model().Textile32.empty() &&
                level.model().Rooms.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, EveryGeneration,
                         ::testing::Combine(::testing::Range(1, 8), ::testing::Bool()));

TEST(LevelReader, ZeroCountSectionsLeaveTheArraysEmpty) {
    for (int g = 1; g <= 7; ++g) {
        LevelRecipe recipe;
        recipe.generation = g;
        recipe.palette8 = patternPalette();
        Tdvlevel level;
        const LoadResult loaded =
            level.LoadLevelFromBytes(writeLevel(recipe), fileNameFor(g), false);
        ASSERT_EQ(loaded.status(), LoadStatus::Ok) << g << ": " << loaded.reason();
        EXPECT_TRUE(level.model().ObjectTextures.empty());
        EXPECT_TRUE(level.model().AnimatedTextures.empty());
        EXPECT_EQ(level.model().NumRooms, 0);
        if (g <= 2) {
            EXPECT_EQ(level.model().Palette8, recipe.palette8) << g;
        }
    }
}

TEST(LevelReader, CountsBeyond65535ReadEveryRecord) {
    LevelRecipe recipe = richLevel(1);
    recipe.floorDataWords = 70000;
    Tdvlevel level;
    const LoadResult loaded = level.LoadLevelFromBytes(writeLevel(recipe), "a.PHD", false);
    ASSERT_EQ(loaded.status(), LoadStatus::Ok) << loaded.reason();
    EXPECT_EQ(level.model().numFloorData, 70000u);
    EXPECT_EQ(level.model().floorData.bytes.size(), 140000u);
    // Everything behind the floor data is still found where it belongs.
    EXPECT_EQ(level.model().ObjectTextures.size(), 3u);
    EXPECT_EQ(level.model().Palette8, recipe.palette8);
}

TEST(LevelReader, ClassicRoomsKeepBothVertexForms) {
    for (int g : {1, 3, 6}) {
        LevelRecipe recipe = richLevel(g);
        Tdvlevel level;
        ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), fileNameFor(g), false).status(),
                  LoadStatus::Ok);
        const TDvRoom& room = level.model().Rooms[0];
        ASSERT_EQ(room.numVertices, 3);
        EXPECT_EQ(room.vertices8[2].z, 6);
        EXPECT_EQ(room.vertices12[2].lighting, 0x1002);
        EXPECT_EQ(room.vertices12[1].attributes, 16);
        EXPECT_EQ(room.vertices12[1].lighting2, 0x3DEF);
        EXPECT_EQ(room.numTriangles, 2);
        EXPECT_EQ(room.sectors.count, 2u);
        EXPECT_EQ(room.lights.recordSize, g == 1 ? 18u : g == 3 ? 24u : 46u);
        EXPECT_EQ(room.alternateRoom, 0xFFFF);
    }
}

TEST(LevelReader, TexturesOnlyStopsAfterThePagesFromGenerationThree) {
    for (int g = 1; g <= 7; ++g) {
        Tdvlevel level;
        ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(richLevel(g)), fileNameFor(g), true).status(),
                  LoadStatus::Ok);
        // Generations 1-2 keep their palette at the end, so they are read through.
        EXPECT_EQ(level.model().ObjectTextures.size(), g <= 2 ? 3u : 0u) << g;
        EXPECT_EQ(level.model().NumTextiles, 2u);
    }
}

TEST(LevelReader, MissingFileAndUnknownVersion) {
    ScratchDir dir;
    Tdvlevel level;
    EXPECT_EQ(level.LoadLevel(dir.file("none.PHD").string(), true).status(), LoadStatus::Missing);
    EXPECT_FALSE(level.model().LoadedMarker);

    writeFileBytes(dir.file("bad.PHD"), {33, 0, 0, 0, 1, 2, 3});
    EXPECT_EQ(level.LoadLevel(dir.file("bad.PHD").string(), true).status(), LoadStatus::NotLevel);
    EXPECT_EQ(level.Version, 0u);
    // Too short to hold a Version, even on a reader whose previous load set one.
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(richLevel(3)), "a.DV2", true).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.LoadLevelFromBytes({45, 0}, "a.DV2", true).status(), LoadStatus::NotLevel);
    EXPECT_FALSE(level.model().LoadedMarker);

    const auto bytes = writeLevel(richLevel(1));
    writeFileBytes(dir.file("good.phd"), bytes);
    EXPECT_EQ(level.LoadLevel(dir.file("good.phd").string(), false).status(), LoadStatus::Ok);
    EXPECT_EQ(level.Generation, 1);
}

TEST(LevelReader, DirectoryIsUnreadableNotMissing) {
    ScratchDir dir;
    Tdvlevel level;
    const LoadResult refused = level.LoadLevel(dir.path().string(), true);
    EXPECT_EQ(refused.status(), LoadStatus::Unreadable);
    EXPECT_FALSE(refused.reason().empty());
}

TEST(LevelReader, VersionAlternativesAreAccepted) {
    LevelRecipe recipe = richLevel(7);
    recipe.dv4Tag = false;
    Tdvlevel level;
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "X.DVC", false).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.Generation, 7);
    EXPECT_EQ(level.Version, kVersionDv4);
    recipe = richLevel(5);
    recipe.dv3Alternate = true;
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "X.DV2", false).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.Generation, 5);
    recipe = richLevel(4);
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "x.dvg", false).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.Generation, 4);
}

TEST(LevelReader, PageCountOfLaterGenerationsComesFromTheSixteenBitChunk) {
    LevelRecipe recipe = richLevel(7);
    recipe.pages = 3;
    recipe.textile32 = patternPages(4, 5); // the 32-bit chunk holds more
    Tdvlevel level;
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "L.DVC", true).status(), LoadStatus::Ok);
    EXPECT_EQ(level.model().NumTextiles, 3u);
    EXPECT_EQ(level.model().inflated16, 393216u);
    EXPECT_EQ(level.model().textile8Bytes, 3u * 65536);
}

TEST(LevelReader, CompressedLevelDataOfGenerationSixIsReadFromTheInflatedBytes) {
    LevelRecipe recipe = richLevel(6);
    recipe.samples = {9, 8, 7, 6, 5, 4, 3};
    Tdvlevel level;
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "L.DV4", false).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.model().SampleData, recipe.samples);
    EXPECT_EQ(level.model().levelHeader, (std::array<std::uint8_t, 4>{4, 3, 2, 1}));
    EXPECT_EQ(level.model().NumRooms, 2);
    EXPECT_EQ(level.model().Rooms[0].trailing8, 0x55);
}

// ---- generation 7 rooms

LevelRecipe level7With(const RoomRecipe& room) {
    LevelRecipe recipe;
    recipe.generation = 7;
    recipe.rooms = {room};
    recipe.objectTextures = {ObjectTextureRecipe{}};
    recipe.animatedWords = {1, 0, 0};
    return recipe;
}

TEST(Generation7Rooms, TriangleTotalsOddAndEvenAreBothRead) {
    for (int triangles : {1, 2, 3}) {
        RoomRecipe room;
        LayerRecipe a, b;
        a.vertices = {{1, 2, 3, {}}, {4, 5, 6, {}}, {7, 8, 9, {}}};
        b.vertices = {{10, 11, 12, {}}, {1.7f, 2.2f, 3.9f, {}}, {20, 20, 20, {}}};
        for (int t = 0; t < triangles; ++t)
            (t % 2 ? b : a).triangles.push_back({{0, 1, 2, 0}, static_cast<std::uint16_t>(t), 0});
        a.rectangles = {{{0, 1, 2, 0}, 77, 5}};
        room.layers = {a, b};
        Tdvlevel level;
        const LoadResult loaded =
            level.LoadLevelFromBytes(writeLevel(level7With(room)), "L.DVC", false);
        ASSERT_EQ(loaded.status(), LoadStatus::Ok) << triangles << ": " << loaded.reason();
        const TDvRoom& r = level.model().Rooms[0];
        EXPECT_EQ(r.numTriangles, triangles);
        EXPECT_EQ(r.layers[1].vertices[0].x, 10.0f);
        // (1.7, 2.2, 3.9) truncates to (1, 2, 3): one room vertex for two layer vertices.
        EXPECT_EQ(r.numVertices, 5);
        EXPECT_EQ(r.rectangles[0].texture, 77);
        EXPECT_EQ(r.rectangles[0].extra, 5);
        EXPECT_EQ(level.model().AnimatedTextures.size(), 3u);
        if (triangles >= 2) {
            // Layer b's triangle comes last; its vertex 1 is the room's vertex 0 and its
            // vertex 0 the fourth.
            EXPECT_EQ(r.triangles.back().vertices[0], 3);
            EXPECT_EQ(r.triangles.back().vertices[1], 0);
            EXPECT_EQ(r.triangles.back().vertices[2], 4);
        }
    }
}

TEST(Generation7Rooms, NextRoomStartsAtTheDeclaredSizeNotWhereReadingStopped) {
    RoomRecipe room;
    room.unreadBytes = 37;
    LevelRecipe recipe = level7With(room);
    recipe.rooms.push_back(RoomRecipe{});
    recipe.rooms[1].sectorsZ = 3;
    recipe.rooms[1].sectorsX = 2;
    Tdvlevel level;
    ASSERT_EQ(level.LoadLevelFromBytes(writeLevel(recipe), "L.DVC", false).status(),
              LoadStatus::Ok);
    EXPECT_EQ(level.model().Rooms[0].unreadBytes, 37);
    EXPECT_EQ(level.model().Rooms[1].sectors.count, 6u);
    EXPECT_EQ(level.model().Rooms[1].headerValues[20], 120u);
    EXPECT_EQ(level.model().Rooms[0].x, 1024);
    EXPECT_EQ(level.model().Rooms[0].yBottom, -256);
    EXPECT_EQ(level.model().Rooms[0].flags2, 4);
}

TEST(Generation7Rooms, VertexLightingAndColour) {
    TDvRoom room;
    TDvLayer layer;
    layer.vertices.resize(3);
    layer.vertices[0] = {-1.9f, 2, 3, {}, {0xFF, 0x80, 0x08, 0}};
    layer.vertices[1] = {-1.2f, 2.5f, 3.99f, {}, {0x10, 0x20, 0xF8, 0}};
    layer.vertices[2] = {1e30f, -70000.0f, 5, {}, {}};
    room.layers = {layer};
    Tdvlevel::ConvertLayersToRoomGeometry(room);
    ASSERT_EQ(room.numVertices, 2);
    EXPECT_EQ(room.vertices8[0].x, -1);
    // The later vertex at the same position gives the colour: red 0xF8, green 0x20, blue 0x10.
    EXPECT_EQ(room.vertices12[0].lighting2, (31 << 10) | (4 << 5) | 2);
    EXPECT_EQ(Tdvlevel::FindVertex(room, -1, 2, 3), 1);
    EXPECT_EQ(Tdvlevel::FindVertex(room, 1, 2, 3), 0);
    // AddVertex merges the lighting of a known position: (0x40 + 0x80) shr 1 = 0x60.
    room.vertices8[0].lighting = 0x40AA;
    EXPECT_EQ(Tdvlevel::AddVertex(room, -1, 2, 3, 0x80), 1);
    EXPECT_EQ(room.vertices8[0].lighting, 0x60AA);
    EXPECT_EQ(Tdvlevel::AddVertex(room, 9, 9, 9, 0x20), 3);
    EXPECT_EQ(room.vertices8[2].lighting, 0x2000);
}

TEST(Generation7Rooms, DistinctPositionsStopAtThreeThousand) {
    TDvRoom room;
    TDvLayer layer;
    for (int i = 0; i < 3005; ++i)
        layer.vertices.push_back({static_cast<float>(i), 0, 0, {}, {}});
    layer.rectangles = {{{0, 2999, 3000, 3004}, 1, 0}};
    room.layers = {layer};
    Tdvlevel::ConvertLayersToRoomGeometry(room);
    EXPECT_EQ(room.numVertices, 3000);
    EXPECT_EQ(room.rectangles[0].vertices, (std::array<std::uint16_t, 4>{0, 2999, 0xFFFF, 0xFFFF}));
}

// ---- gauge

std::vector<int> gaugeOf(const LevelRecipe& recipe, bool texturesOnly, Tdvlevel& level) {
    std::vector<int> values;
    level.Gauge = [&](int v) { values.push_back(v); };
    EXPECT_EQ(
        level.LoadLevelFromBytes(writeLevel(recipe), fileNameFor(recipe.generation), texturesOnly)
            .status(),
        LoadStatus::Ok);
    return values;
}

TEST(LevelGauge, ValuesInTheirOrder) {
    LevelRecipe recipe = richLevel(3);
    recipe.rooms.resize(3);
    Tdvlevel level;
    EXPECT_EQ(gaugeOf(recipe, false, level),
              (std::vector<int>{0, 30, 50, 60, 70, 80, 80, 85, 90, 100, 0}));
    // A second load on the same reader first releases the old level.
    EXPECT_EQ(gaugeOf(recipe, true, level), (std::vector<int>{0, 10, 30, 50, 0}));

    Tdvlevel seven;
    recipe = richLevel(7);
    recipe.rooms.resize(7);
    EXPECT_EQ(gaugeOf(recipe, false, seven),
              (std::vector<int>{0, 20, 30, 40, 54, 58, 62, 67, 71, 75, 79, 80, 85, 90, 100, 0}));
    Tdvlevel six;
    EXPECT_EQ(gaugeOf(richLevel(6), true, six), (std::vector<int>{0, 20, 30, 40, 50, 0}));
}

} // namespace

namespace {

TEST(MemFile, ReadsAreBoundedAndWritesGrowTheImage) {
    TMemFile f;
    f.MemFileAssign("x.PHD");
    ASSERT_TRUE(f.MemFileResetFromBytes({1, 2, 3, 4, 5}, 1));
    std::array<std::uint8_t, 4> dest{9, 9, 9, 9};
    f.MemFileSeek(3);
    EXPECT_EQ(f.MemFileRead(dest.data(), 4), 2u); // short read: the rest stays untouched
    EXPECT_EQ(dest, (std::array<std::uint8_t, 4>{4, 5, 9, 9}));
    EXPECT_EQ(f.MemFilePos(), 5u);
    f.MemFileSeek(100);
    EXPECT_EQ(f.MemFilePos(), 5u);
    EXPECT_EQ(f.u16(), 0);
    EXPECT_TRUE(f.failed());
    f.MemFileSeek(4);
    const std::uint8_t more[3] = {7, 8, 9};
    f.MemFileWrite(more, 3);
    EXPECT_EQ(f.MemFileSize(), 7u);
    f.MemFileClose();
    EXPECT_EQ(f.MemFileSize(), 0u);
    EXPECT_EQ(f.MemFilePos(), 0u);
}

TEST(MemFile, ContainerIsInflatedAndItsSizesChecked) {
    const std::vector<std::uint8_t> inner = writeLevel(richLevel(3));
    const auto packed = deflateBytes(inner);
    const auto container = [&](std::uint32_t compressed, std::uint32_t inflated) {
        std::vector<std::uint8_t> b{'Z', 'L', 'I', 'B'};
        for (std::uint32_t v : {compressed, inflated})
            for (int i = 0; i < 4; ++i)
                b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        b.insert(b.end(), packed.begin(), packed.end());
        return b;
    };
    const auto size = static_cast<std::uint32_t>(packed.size());
    TMemFile f;
    ASSERT_TRUE(f.MemFileResetFromBytes(container(size, inner.size()), 1));
    EXPECT_TRUE(std::equal(inner.begin(), inner.end(), f.image().begin(), f.image().end()));
    // The inflated size is only an estimate: the length produced counts, whatever is stored.
    for (std::uint32_t stored :
         {0u, 1000u, static_cast<std::uint32_t>(inner.size()) - 100, 0xFFFFFFFFu}) {
        ASSERT_TRUE(f.MemFileResetFromBytes(container(size, stored), 1)) << stored;
        EXPECT_EQ(f.MemFileSize(), inner.size()) << stored;
    }
    const parvane::imaging::Status cut =
        f.MemFileResetFromBytes(container(size + 1, inner.size()), 1);
    EXPECT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().kind, parvane::imaging::FailureKind::Damaged);
    // Twelve bytes or fewer are not a container: the bytes are the image.
    ASSERT_TRUE(f.MemFileResetFromBytes({'Z', 'L', 'I', 'B', 0, 0, 0, 0, 0, 0, 0, 0}, 1));
    EXPECT_EQ(f.MemFileSize(), 12u);
}

} // namespace
