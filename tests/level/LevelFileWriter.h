// Writes small but complete level files of every generation code, so that the reader, the
// page strip and the animated layout can be tested without real game files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace parvane::level::testing {

struct LayerVertexRecipe {
    float x = 0, y = 0, z = 0;
    std::array<std::uint8_t, 3> bgr{}; // colour bytes blue, green, red
};
struct FaceRecipe {
    std::array<std::uint16_t, 4> vertices{}; // triangles use the first three
    std::uint16_t texture = 0;
    std::uint16_t extra = 0;
};
struct LayerRecipe {
    std::vector<LayerVertexRecipe> vertices;
    std::vector<FaceRecipe> rectangles;
    std::vector<FaceRecipe> triangles;
};

// One room. Generations 1-6 use the counts; generation 7 uses the layers too.
struct RoomRecipe {
    std::uint16_t vertices = 0, rectangles = 0, triangles = 0, sprites = 0, portals = 0;
    std::uint16_t sectorsZ = 0, sectorsX = 0, lights = 0, staticMeshes = 0;
    std::uint32_t records36 = 0; // generation 7
    std::vector<LayerRecipe> layers;
    std::uint32_t unreadBytes = 0; // generation 7: bytes declared after the room's content
};

struct ObjectTextureRecipe {
    std::uint16_t tile = 0;
    std::array<std::array<std::uint8_t, 2>, 4> corners{}; // x, y pixel of corners 0-3
};

struct LevelRecipe {
    int generation = 1;
    bool zlibContainer = false;
    bool dv4Tag = true;        // generations 6-7: "DV4\0" rather than 0xFFFFFFF0
    bool dv3Alternate = false; // generation 5: 0xFF080038 rather than 0xFF180038
    std::uint32_t pages = 1;
    // Page bytes in the generation's own format; empty gives patternPages().
    std::vector<std::uint8_t> textile8, textile16, textile32, misc;
    std::array<std::uint8_t, 768> palette8{};
    std::vector<RoomRecipe> rooms;
    std::vector<ObjectTextureRecipe> objectTextures;
    std::vector<std::uint16_t> animatedWords;
    // Records written into every other counted level-wide section, so a wrong record size
    // would shift everything behind it.
    std::uint32_t sectionRecords = 0;
    std::uint32_t floorDataWords = 0; // when not 0, the floor data's own count
    std::vector<std::uint8_t> samples{1, 2, 3, 4, 5};
};

// Deterministic page bytes: 8-bit indices, 16-bit words or 32-bit pixels.
std::vector<std::uint8_t> patternPages(int bytesPerPixel, std::uint32_t pages);
// A palette of 6-bit values with entry i = (i % 64, (i * 3) % 64, 63 - i % 64).
std::array<std::uint8_t, 768> patternPalette();

std::vector<std::uint8_t> writeLevel(const LevelRecipe& recipe);
// deflate of bytes with zlib at default level.
std::vector<std::uint8_t> deflateBytes(const std::vector<std::uint8_t>& bytes);

// A file name that gives the generation code (".PHD", ".DVX", ".DV2", ".DVG", ".DV2",
// ".DV4", ".DVC").
std::string fileNameFor(int generation);

// A level of the given generation with two rooms, object textures, two animation ranges
// and records in every section: the file the robustness tests damage.
LevelRecipe richLevel(int generation);
// A first-generation level of two pages of palette entry 5 whose top-left pixel is entry 0,
// the entry the level marks as transparent: as stored that pixel is entry 0's colour,
// converted it is magenta.
LevelRecipe twoPageLevelWithATransparentPixel();

} // namespace parvane::level::testing
