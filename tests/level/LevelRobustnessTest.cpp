#include "LevelFileWriter.h"
#include "level/LevelExtraction.h"
#include "level/dvunit3_modif.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

using namespace parvane::level;
using namespace parvane::level::testing;

namespace {

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Bytes at the end of the file that a reader may legitimately lose: generations 6-7 keep
// whatever follows the level data as sample data.
std::size_t optionalTail(const LevelRecipe& recipe) {
    return recipe.generation >= 6 && !recipe.zlibContainer ? recipe.samples.size() : 0;
}

class Truncation : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(Truncation, EveryCutIsACleanFailure) {
    const auto [generation, container] = GetParam();
    LevelRecipe recipe = richLevel(generation);
    recipe.pages = 1;
    recipe.zlibContainer = container;
    const auto full = writeLevel(recipe);
    const std::string name = fileNameFor(generation);
    const std::size_t required = full.size() - optionalTail(recipe);
    // The pages of generations 1-5 are plain bytes: cutting inside them is sampled; every
    // length around and behind them is tried.
    const std::size_t pagesEnd = generation <= 2   ? 4 + 4 + 65536
                                 : generation <= 5 ? 4 + 768 + 1024 + 4 + 65536 + 131072
                                                   : 0;
    int keptAfterEarlyEnd = 0;
    for (std::size_t length = 0; length < full.size(); ++length) {
        if (!container && length + 64 < pagesEnd && length > 2000 && length % 1009 != 0)
            continue;
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + length);
        Tdvlevel level;
        const LoadResult loaded = level.LoadLevelFromBytes(cut, name, false);
        const LoadStatus result = loaded.status();
        // A generation 1-2 file that ends behind its palette and animated texture list keeps
        // them and its pages, all complete.
        if (length < required && result == LoadStatus::Ok && generation <= 2) {
            ASSERT_EQ(level.model().Palette8, recipe.palette8) << "length " << length;
            ASSERT_EQ(level.model().AnimatedTextures, recipe.animatedWords) << "length " << length;
            ASSERT_EQ(level.model().Textile8.size(), 65536u);
            ++keptAfterEarlyEnd;
            continue;
        }
        if (length < required) {
            // Four bytes cannot hold a Version, nor twelve a "ZLIB" container.
            const std::size_t tooShort = container ? 13 : 4;
            ASSERT_TRUE(result == LoadStatus::Damaged ||
                        (length < tooShort && result == LoadStatus::NotLevel))
                << "length " << length << " of " << full.size() << " gave " << int(result);
            ASSERT_FALSE(level.model().LoadedMarker);
        } else {
            ASSERT_EQ(result, LoadStatus::Ok) << loaded.reason();
        }
    }
    if (generation <= 2 && !container) {
        EXPECT_GT(keptAfterEarlyEnd, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, Truncation,
                         ::testing::Combine(::testing::Range(1, 8), ::testing::Bool()));

TEST(BitFlips, NeverCrashAndAlwaysAnswer) {
    for (int generation = 1; generation <= 7; ++generation) {
        LevelRecipe recipe = richLevel(generation);
        // Plain pages of generations 1-5 hold no structure; leave them out so every byte of
        // the structure can be flipped.
        recipe.pages = generation <= 5 ? 0 : 1;
        const auto full = writeLevel(recipe);
        const std::string name = fileNameFor(generation);
        for (std::size_t at = 0; at < full.size(); ++at) {
            // Every bit of the first bytes, one bit a byte further on.
            for (int bit = 0; bit < 8; ++bit) {
                if (at >= 64 && bit != static_cast<int>(at % 8))
                    continue;
                auto flipped = full;
                flipped[at] ^= static_cast<std::uint8_t>(1 << bit);
                Tdvlevel level;
                const LoadResult loaded = level.LoadLevelFromBytes(flipped, name, false);
                const LoadStatus result = loaded.status();
                ASSERT_TRUE(result == LoadStatus::Ok || result == LoadStatus::Damaged ||
                            result == LoadStatus::NotLevel)
                    << generation << " byte " << at << " bit " << bit;
                if (result == LoadStatus::Damaged) {
                    ASSERT_FALSE(loaded.reason().empty());
                }
                if (at % 5 == 0) {
                    const Extraction e = extractAnimatedTexturesFromBytes(flipped, name, true);
                    ASSERT_TRUE(e.ok() || !e.reason().empty());
                }
            }
        }
    }
}

TEST(HugeCounts, AreRefusedBeforeAnythingIsAllocated) {
    // Page count of a generation-1 file.
    auto bytes = writeLevel(richLevel(1));
    putU32(bytes, 4, 0xFFFFFFFF);
    Tdvlevel level;
    const LoadResult refused = level.LoadLevelFromBytes(bytes, "a.PHD", true);
    EXPECT_EQ(refused.status(), LoadStatus::Damaged);
    EXPECT_NE(refused.reason().find("page count"), std::string::npos);
    putU32(bytes, 4, 200); // within the limit but beyond the file
    EXPECT_EQ(level.LoadLevelFromBytes(bytes, "a.PHD", true).status(), LoadStatus::Damaged);

    // Compressed size of the first chunk of a generation-7 file.
    bytes = writeLevel(richLevel(7));
    putU32(bytes, 14, 0x7FFFFFFF);
    EXPECT_EQ(level.LoadLevelFromBytes(bytes, "a.DVC", true).status(), LoadStatus::Damaged);
    // A declared inflated size far beyond the data only sizes the first guess.
    bytes = writeLevel(richLevel(7));
    putU32(bytes, 10, 0xFFFFFFFF);
    EXPECT_EQ(level.LoadLevelFromBytes(bytes, "a.DVC", true).status(), LoadStatus::Ok);

    // Counts in the level data: the object texture count of a generation-3 file sits right
    // after the static meshes, so make every section hold no records and patch it.
    LevelRecipe recipe;
    recipe.generation = 3;
    recipe.pages = 1;
    bytes = writeLevel(recipe);
    const std::size_t levelData = 4 + 768 + 1024 + 4 + 65536 + 131072;
    const std::size_t objectTextureCount = levelData + 6 + 11 * 4;
    putU32(bytes, objectTextureCount, 0x10000000);
    const LoadResult countRefused = level.LoadLevelFromBytes(bytes, "a.DV2", false);
    EXPECT_EQ(countRefused.status(), LoadStatus::Damaged);
    EXPECT_NE(countRefused.reason().find("object textures"), std::string::npos);
    // A room count of 65535 with no rooms behind it.
    bytes = writeLevel(recipe);
    bytes[levelData + 4] = 0xFF;
    bytes[levelData + 5] = 0xFF;
    EXPECT_EQ(level.LoadLevelFromBytes(bytes, "a.DV2", false).status(), LoadStatus::Damaged);
}

TEST(ZlibChunks, StoredSizesAreEstimatesAndTheLimitHolds) {
    LevelRecipe recipe = richLevel(7);
    recipe.misc.assign(8u << 20, 7); // 8 MiB of one value compress to a few kilobytes
    auto bytes = writeLevel(recipe);
    const std::size_t c1 = u32At(bytes, 14);
    const std::size_t second = 18 + c1;
    const std::size_t third = second + 8 + u32At(bytes, second + 4);
    // Writers store 0, too little or too much: the length produced counts.
    for (std::uint32_t stored : {0u, 1u, 4096u, 0xFFFFFFFFu}) {
        putU32(bytes, third, stored);
        Tdvlevel level;
        const LoadResult loaded = level.LoadLevelFromBytes(bytes, "a.DVC", false);
        ASSERT_EQ(loaded.status(), LoadStatus::Ok) << stored << ": " << loaded.reason();
        EXPECT_EQ(level.model().MiscTextiles, recipe.misc);
        EXPECT_EQ(level.model().inflatedMisc, recipe.misc.size());
    }
    // The absolute cap still stops a stream that inflates beyond it.
    Tdvlevel capped;
    capped.maxInflatedBytes = 4u << 20;
    const LoadResult refused = capped.LoadLevelFromBytes(bytes, "a.DVC", true);
    EXPECT_EQ(refused.status(), LoadStatus::Damaged);
    EXPECT_NE(refused.reason().find("beyond the limit of 4 MiB"), std::string::npos)
        << refused.reason();
}

TEST(ZlibChunks, ThirtyTwoBitChunkWithFewerPagesGivesThePagesItHas) {
    LevelRecipe recipe = richLevel(6);
    recipe.pages = 3;
    recipe.textile32 = patternPages(4, 2);
    for (std::size_t i = 3; i < recipe.textile32.size(); i += 4)
        recipe.textile32[i] = 0xFF; // opaque, so painting transparency changes none of them
    const auto bytes = writeLevel(recipe);
    for (const bool convert : {false, true}) {
        const Extraction e = extractLevelTexturesFromBytes(bytes, "a.DV4", convert);
        ASSERT_TRUE(e.ok()) << e.reason();
        ASSERT_EQ(e.bitmap.height(), 3 * 256);
        EXPECT_EQ(std::memcmp(e.bitmap.row(0), recipe.textile32.data(), recipe.textile32.size()),
                  0);
        // The missing page is transparent black, opaque magenta when transparency is painted.
        const std::uint8_t* missing = e.bitmap.row(2 * 256 + 100) + 4 * 17;
        const std::array<std::uint8_t, 4> expected =
            convert ? std::array<std::uint8_t, 4>{0xFF, 0, 0xFF, 0xFF}
                    : std::array<std::uint8_t, 4>{0, 0, 0, 0};
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), missing));
    }
}

TEST(ZlibChunks, DamagedContainerAndStream) {
    auto bytes = writeLevel([] {
        LevelRecipe s = richLevel(2);
        s.zlibContainer = true;
        return s;
    }());
    bytes[20] ^= 0xFF;
    Tdvlevel level;
    const LoadResult refused = level.LoadLevelFromBytes(bytes, "a.DVX", true);
    EXPECT_EQ(refused.status(), LoadStatus::Damaged);
    EXPECT_NE(refused.reason().find("ZLIB"), std::string::npos);
    const Extraction e = extractLevelTexturesFromBytes(bytes, "a.DVX", true);
    EXPECT_EQ(e.status, ExtractionStatus::Damaged);
    EXPECT_NE(failureMessage(e).find("damaged and could not be read"), std::string::npos);
}

TEST(Generation7Rooms, RoomLongerThanTheFileIsDamaged) {
    LevelRecipe recipe = richLevel(7);
    auto bytes = writeLevel(recipe);
    Tdvlevel level;
    ASSERT_EQ(level.LoadLevelFromBytes(bytes, "a.DVC", false).status(), LoadStatus::Ok);
    // Make the first room declare more than the file holds.
    for (std::size_t i = 0; i + 8 <= bytes.size(); ++i) {
        // The first room's size field follows its tag "ROOM".
        if (bytes[i] == 'R' && bytes[i + 1] == 'O' && bytes[i + 2] == 'O' && bytes[i + 3] == 'M') {
            putU32(bytes, i + 4, 0x7FFFFFF0);
            break;
        }
    }
    EXPECT_EQ(level.LoadLevelFromBytes(bytes, "a.DVC", false).status(), LoadStatus::Damaged);
}

} // namespace

namespace {

// A generation-7 file of one page whose rooms are the given bytes (roomCount of them), with
// every level-wide section empty behind them.
std::vector<std::uint8_t> level7WithRoomBytes(std::uint16_t roomCount,
                                              const std::vector<std::uint8_t>& rooms) {
    LevelRecipe recipe;
    recipe.generation = 7;
    auto bytes = writeLevel(recipe);
    // Past the Version, the three page counts and the three texture chunks.
    std::size_t at = 10;
    for (int chunk = 0; chunk < 3; ++chunk)
        at += 8 + u32At(bytes, at + 4);
    const std::size_t sizeField = at + 32;
    const std::size_t roomCountField = sizeField + 8 + 4;
    putU32(bytes, sizeField, u32At(bytes, sizeField) + static_cast<std::uint32_t>(rooms.size()));
    putU32(bytes, roomCountField, roomCount);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(roomCountField + 4), rooms.begin(),
                 rooms.end());
    return bytes;
}

TEST(Generation7Rooms, ContentPastTheDeclaredSizeIsAbsent) {
    // Each room declares only its 208 bytes of fixed fields but counts 999 lights, which would
    // run through the rooms behind it. Only what lies within a room's bytes is read: every
    // room is read, none holds a light, and the memory stays with the file's size.
    constexpr std::uint32_t kLights = 999;
    constexpr std::uint16_t kRooms = 400;
    std::vector<std::uint8_t> room(8 + 208, 0);
    putU32(room, 4, 208);          // the room's size
    room[8 + 48] = kLights & 0xFF; // light count
    room[8 + 49] = kLights >> 8;
    std::vector<std::uint8_t> rooms;
    for (int i = 0; i < kRooms; ++i)
        rooms.insert(rooms.end(), room.begin(), room.end());
    Tdvlevel level;
    const LoadResult loaded =
        level.LoadLevelFromBytes(level7WithRoomBytes(kRooms, rooms), "a.DVC", false);
    ASSERT_EQ(loaded.status(), LoadStatus::Ok) << loaded.reason();
    ASSERT_EQ(level.model().Rooms.size(), kRooms);
    EXPECT_EQ(level.model().Rooms.back().lights.count, 0u);

    // The same room with its lights inside its declared bytes is read.
    std::vector<std::uint8_t> honest = room;
    putU32(honest, 4, 208 + kLights * 88 + 4);
    honest.resize(8 + 208 + kLights * 88 + 4, 0);
    const LoadResult honestLoad =
        level.LoadLevelFromBytes(level7WithRoomBytes(1, honest), "a.DVC", false);
    ASSERT_EQ(honestLoad.status(), LoadStatus::Ok) << honestLoad.reason();
    EXPECT_EQ(level.model().Rooms[0].lights.count, kLights);
    EXPECT_EQ(level.model().Rooms[0].unreadBytes, 0);
}

TEST(Generation7Rooms, ARoomIsReadOnlyWithinItsDeclaredSize) {
    // A writer whose room content (down to its fixed fields) runs past the size it declares:
    // the next room, and the sections behind the rooms, start where the declared bytes end.
    LevelRecipe recipe = richLevel(7);
    recipe.rooms.resize(1);
    recipe.rooms[0].unreadBytes = 0;
    const auto full = writeLevel(recipe);
    Tdvlevel reference;
    ASSERT_EQ(reference.LoadLevelFromBytes(full, "a.DVC", false).status(), LoadStatus::Ok);
    std::size_t levelSizeField = 10;
    for (int chunk = 0; chunk < 3; ++chunk)
        levelSizeField += 8 + u32At(full, levelSizeField + 4);
    levelSizeField += 32;
    const std::size_t roomSizeField = levelSizeField + 8 + 4 + 4 + 4;
    ASSERT_EQ(std::memcmp(full.data() + roomSizeField - 4, "ROOM", 4), 0);
    const std::uint32_t declared = u32At(full, roomSizeField);
    for (std::uint32_t shortBy : {1u, 2u, 28u, declared - 208, declared - 100, declared}) {
        auto bytes = full;
        const auto roomEnd = static_cast<std::ptrdiff_t>(roomSizeField + 4 + declared);
        bytes.erase(bytes.begin() + roomEnd - shortBy, bytes.begin() + roomEnd);
        putU32(bytes, roomSizeField, declared - shortBy);
        putU32(bytes, levelSizeField, u32At(full, levelSizeField) - shortBy);
        Tdvlevel level;
        const LoadResult loaded = level.LoadLevelFromBytes(bytes, "a.DVC", false);
        ASSERT_EQ(loaded.status(), LoadStatus::Ok) << shortBy << ": " << loaded.reason();
        EXPECT_LE(level.model().Rooms[0].numVertices, reference.model().Rooms[0].numVertices);
        EXPECT_EQ(level.model().AnimatedTextures, reference.model().AnimatedTextures) << shortBy;
        ASSERT_EQ(level.model().ObjectTextures.size(), reference.model().ObjectTextures.size())
            << shortBy;
        EXPECT_EQ(level.model().ObjectTextures.back().corners,
                  reference.model().ObjectTextures.back().corners);
        EXPECT_EQ(level.model().SampleData, reference.model().SampleData) << shortBy;
    }
}

} // namespace
