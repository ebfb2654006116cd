// The walk through the level data behind the texture pages: the rooms of generations 1-6
// and the level-wide sections of every generation, in file order, up to the sample data.
// Generation-7 rooms are read in RoomGeometry.cpp.
#include "imaging/FailureReason.h"
#include "level/LevelReaderInternal.h"
#include "level/dvunit3_modif.h"

#include <cstring>
#include <string>

namespace parvane::level {

using detail::LevelDamaged;
namespace reasons = imaging::reasons;

namespace detail {

// Only what differs from 0 or false is named.
constexpr GenerationLayout kGeneration3And4 = {.vertexBytes = 12,
                                               .ambientSecond = true,
                                               .lightMode = true,
                                               .roomLightBytes = 24,
                                               .roomStaticBytes = 20,
                                               .moveableBytes = 18,
                                               .objectTexturesEarly = true,
                                               .objectTextureBytes = 20,
                                               .boxBytes = 8,
                                               .zoneArrays = 10,
                                               .lightMap = true,
                                               .soundMapBytes = 740};

constexpr GenerationLayout kLayouts[7] = {
    // Generation 1.
    {.vertexBytes = 8,
     .roomLightBytes = 18,
     .roomStaticBytes = 18,
     .moveableBytes = 18,
     .objectTexturesEarly = true,
     .objectTextureBytes = 20,
     .boxBytes = 20,
     .zoneArrays = 6,
     .entities22 = true,
     .lightMap = true,
     .soundMapBytes = 512,
     .sampleData = true,
     .paletteAfter = 1},
    // Generation 2.
    {.vertexBytes = 8,
     .roomLightBytes = 18,
     .roomStaticBytes = 18,
     .moveableBytes = 18,
     .objectTexturesEarly = true,
     .objectTextureBytes = 20,
     .boxBytes = 20,
     .zoneArrays = 6,
     .entities22 = true,
     .lightMap = true,
     .soundMapBytes = 512,
     .sampleData = true,
     .paletteAfter = 2},
    // Generation 3.
    kGeneration3And4,
    // Generation 4: laid out as generation 3.
    kGeneration3And4,
    // Generation 5.
    {.vertexBytes = 12,
     .ambientSecond = true,
     .roomLightBytes = 24,
     .roomStaticBytes = 20,
     .roomTrailing = true,
     .moveableBytes = 18,
     .objectTextureBytes = 20,
     .boxBytes = 8,
     .zoneArrays = 10,
     .lightMap = true,
     .soundMapBytes = 740},
    // Generation 6.
    {.vertexBytes = 12,
     .ambientSecond = true,
     .roomLightBytes = 46,
     .roomStaticBytes = 20,
     .roomTrailing = true,
     .animationMiddle = 8,
     .moveableBytes = 18,
     .objectTextureBytes = 38,
     .objectTextureFlags = true,
     .objectTextureExtra = true,
     .markerBeforeSprites = 3,
     .markerAfterAnimated = 4,
     .flybyCameras = true,
     .boxBytes = 8,
     .zoneArrays = 10,
     .aiObjects = true,
     .soundMapBytes = 740},
    // Generation 7.
    {.vertexBytes = 12,
     .ambientSecond = true,
     .roomLightBytes = 88,
     .roomStaticBytes = 20,
     .animationMiddle = 8,
     .moveableBytes = 20,
     .objectTextureBytes = 40,
     .objectTextureFlags = true,
     .objectTextureExtra = true,
     .objectTexturePadding = true,
     .markerBeforeSprites = 4,
     .markerAfterAnimated = 5,
     .flybyCameras = true,
     .boxBytes = 8,
     .zoneArrays = 10,
     .aiObjects = true,
     .soundMapBytes = 900},
};

const GenerationLayout& layoutOf(int generation) {
    return kLayouts[generation - 1];
}

void ensureRead(const TMemFile& file, const char* what) {
    if (file.failed())
        throw LevelDamaged(std::string("the file ends inside ") + what);
}

void requireRecords(const TMemFile& file, std::uint64_t count, std::size_t recordBytes,
                    const char* what) {
    const std::uint64_t need = count * recordBytes; // count < 2^32, recordBytes small
    if (need > file.remaining())
        throw LevelDamaged(std::string(what) + ": " + std::to_string(count) + " records of " +
                           std::to_string(recordBytes) + " bytes need " + std::to_string(need) +
                           " bytes, only " + std::to_string(file.remaining()) + " are left");
}

void readRecordsInto(TMemFile& file, RecordArray& array) {
    const auto bytes = file.take(array.bytes.size());
    if (!array.bytes.empty() && bytes.size() == array.bytes.size())
        std::memcpy(array.bytes.data(), bytes.data(), array.bytes.size());
}

std::uint32_t readCount(TMemFile& file, std::size_t recordBytes, const char* what, bool count16) {
    const std::uint32_t count = count16 ? file.u16() : file.u32();
    if (file.failed())
        throw LevelDamaged(std::string("the file ends before the count of ") + what);
    requireRecords(file, count, recordBytes, what);
    return count;
}

} // namespace detail

using detail::ensureRead;
using detail::readCount;
using detail::readRecordsInto;
using detail::requireRecords;

namespace {

// Reads a room's counted list of fixed-size records (16-bit count).
void readRoomRecords(TMemFile& file, RecordArray& array, std::size_t recordBytes,
                     const char* what) {
    const std::uint32_t count = readCount(file, recordBytes, what, true);
    array.size(count, recordBytes);
    readRecordsInto(file, array);
}

} // namespace

void Tdvlevel::walkLevelData() {
    std::size_t levelDataEnd = 0;
    if (Generation == 7) {
        const auto header = file_.take(model_.levelHeader7.size());
        model_.levelDataSize7 = file_.u32();
        model_.levelDataSize7b = file_.u32();
        ensureRead(file_, "the level data header");
        std::memcpy(model_.levelHeader7.data(), header.data(), header.size());
        if (model_.levelDataSize7 > file_.remaining())
            throw LevelDamaged(reasons::format(
                reasons::kLevelDataDeclares,
                {reasons::grouped(model_.levelDataSize7), reasons::grouped(file_.remaining())}));
        levelDataEnd = file_.MemFilePos() + model_.levelDataSize7;
        file_.skip(4);
        const std::uint32_t rooms = file_.u32() & 0xFFFF;
        ensureRead(file_, "the level data header");
        // A generation-7 room holds at least its tag and its size; its declared bytes may be
        // fewer than its fixed fields.
        requireRecords(file_, rooms, 8, "rooms");
        SetRoomCount(rooms);
    } else {
        const auto header = file_.take(model_.levelHeader.size());
        const std::uint16_t rooms = file_.u16();
        ensureRead(file_, "the level data header");
        std::memcpy(model_.levelHeader.data(), header.data(), header.size());
        // A room of generations 1-6 holds at least 44 bytes of counts and fixed fields.
        requireRecords(file_, rooms, 44, "rooms");
        SetRoomCount(rooms);
    }

    // The share of each room is summed in double precision, so that seven rooms end just
    // below 30 and show 79 before the fixed 80.
    const double share = model_.NumRooms > 0 ? 30.0 / model_.NumRooms : 0.0;
    double progress = 0.0;
    for (std::size_t k = 0; k < model_.Rooms.size(); ++k) {
        if (Generation == 7)
            readRoom7(model_.Rooms[k]);
        else
            readRoomClassic(model_.Rooms[k]);
        progress += share;
        setGauge(50 + static_cast<int>(progress));
    }
    setGauge(80);

    readLevelWideSections();

    if (Generation == 7) {
        file_.MemFileSeek(levelDataEnd);
        const auto rest = file_.take(file_.remaining());
        model_.SampleData.assign(rest.begin(), rest.end());
        model_.sampleDataBytes = static_cast<std::uint32_t>(model_.SampleData.size());
    }
}

void Tdvlevel::readRoomClassic(TDvRoom& room) {
    room.x = static_cast<std::int32_t>(file_.u32());
    room.z = static_cast<std::int32_t>(file_.u32());
    room.yBottom = static_cast<std::int32_t>(file_.u32());
    room.yTop = static_cast<std::int32_t>(file_.u32());
    room.geometryWords = file_.u32();
    ensureRead(file_, "a room header");

    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    const bool shortVertices = layout.vertexBytes == 8;
    room.numVertices =
        static_cast<std::uint16_t>(readCount(file_, layout.vertexBytes, "room vertices", true));
    room.vertices8.resize(room.numVertices);
    room.vertices12.resize(room.numVertices);
    for (std::size_t i = 0; i < room.numVertices; ++i) {
        TDvVertex8& v8 = room.vertices8[i];
        TDvVertex12& v12 = room.vertices12[i];
        v8.x = static_cast<std::int16_t>(file_.u16());
        v8.y = static_cast<std::int16_t>(file_.u16());
        v8.z = static_cast<std::int16_t>(file_.u16());
        v8.lighting = file_.u16();
        v12.x = v8.x;
        v12.y = v8.y;
        v12.z = v8.z;
        v12.lighting = v8.lighting;
        if (shortVertices) {
            v12.attributes = 16;
            v12.lighting2 = 0x3DEF;
        } else {
            v12.attributes = file_.u16();
            v12.lighting2 = file_.u16();
        }
    }

    room.numRectangles = static_cast<std::uint16_t>(readCount(file_, 10, "room rectangles", true));
    room.rectangles.resize(room.numRectangles);
    for (auto& r : room.rectangles) {
        for (auto& v : r.vertices)
            v = file_.u16();
        r.texture = file_.u16();
    }
    room.numTriangles = static_cast<std::uint16_t>(readCount(file_, 8, "room triangles", true));
    room.triangles.resize(room.numTriangles);
    for (auto& t : room.triangles) {
        for (auto& v : t.vertices)
            v = file_.u16();
        t.texture = file_.u16();
    }
    readRoomRecords(file_, room.sprites, 4, "room sprites");
    readRoomRecords(file_, room.portals, 32, "room portals");

    room.sectorsZ = file_.u16();
    room.sectorsX = file_.u16();
    ensureRead(file_, "a room's sector counts");
    const std::uint32_t sectorCount = std::uint32_t{room.sectorsZ} * room.sectorsX;
    requireRecords(file_, sectorCount, 8, "room sectors");
    room.sectors.size(sectorCount, 8);
    readRecordsInto(file_, room.sectors);

    room.ambient1 = file_.u8();
    room.ambient2 = file_.u8();
    if (layout.ambientSecond)
        room.ambientSecond = file_.u16();
    if (layout.lightMode)
        room.lightMode = file_.u16();
    ensureRead(file_, "a room's ambient values");
    readRoomRecords(file_, room.lights, layout.roomLightBytes, "room lights");
    readRoomRecords(file_, room.staticMeshes, layout.roomStaticBytes, "room static meshes");
    room.alternateRoom = file_.u16();
    room.flags1 = file_.u8();
    room.flags2 = file_.u8();
    if (layout.roomTrailing) {
        room.trailing16 = file_.u16();
        room.trailing8 = file_.u8();
    }
    ensureRead(file_, "a room's closing fields");
}

void Tdvlevel::readObjectTextures() {
    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    SetObjectTextureCount(readCount(file_, layout.objectTextureBytes, "object textures"));
    for (auto& t : model_.ObjectTextures) {
        t.attribute = file_.u16();
        t.tile = file_.u16();
        if (layout.objectTextureFlags)
            t.flags = file_.u16();
        const auto corners = file_.take(t.corners.size());
        if (!corners.empty())
            std::memcpy(t.corners.data(), corners.data(), corners.size());
        if (layout.objectTextureExtra)
            for (auto& e : t.extra)
                e = file_.u32();
        if (layout.objectTexturePadding)
            t.padding = file_.u16();
    }
    ensureRead(file_, "the object textures");
}

void Tdvlevel::readEntities() {
    const bool shortForm = detail::layoutOf(Generation).entities22;
    SetEntityCount(readCount(file_, shortForm ? 22 : 24, "entities"));
    for (std::size_t i = 0; i < model_.entities22.size(); ++i) {
        TDvEntity22& e22 = model_.entities22[i];
        TDvEntity24& e24 = model_.entities24[i];
        e24.type = e22.type = file_.u16();
        e24.room = e22.room = file_.u16();
        e24.x = e22.x = static_cast<std::int32_t>(file_.u32());
        e24.y = e22.y = static_cast<std::int32_t>(file_.u32());
        e24.z = e22.z = static_cast<std::int32_t>(file_.u32());
        e22.copied[0] = e24.copied[0] = file_.u8();
        e22.copied[1] = e24.copied[1] = file_.u8();
        if (shortForm) {
            e22.value1 = file_.u8();
            e22.value2 = file_.u8();
            e24.value1 = e22.value1;
            e24.value2 = e22.value2;
        } else {
            e24.value1 = file_.u16();
            e24.value2 = file_.u16();
            e22.value1 = static_cast<std::uint8_t>(e24.value1);
            e22.value2 = static_cast<std::uint8_t>(e24.value2);
        }
        e24.last = e22.last = file_.u16();
    }
    ensureRead(file_, "the entities");
}

namespace {

// A section of fixed size stored as it is (markers, palette, light map, sound map).
template <typename Store>
void readFixed(TMemFile& file, Store& store, std::size_t bytes, const char* what) {
    const auto data = file.take(bytes);
    detail::ensureRead(file, what);
    std::memcpy(store.data(), data.data(), bytes);
}

} // namespace

void Tdvlevel::readRecordSection(RecordArray& array, std::uint32_t& countField,
                                 std::size_t recordBytes, const char* what) {
    SizeRecords(array, countField, readCount(file_, recordBytes, what), recordBytes);
    readRecordsInto(file_, array);
}

void Tdvlevel::readLevelWideSections() {
    readMeshAndAnimationSections();
    readSpriteAndCameraSections();
    readBoxesAndZones();
    readAnimatedTextureSections();
    readEntities();
    readClosingSections();
}

void Tdvlevel::readMeshAndAnimationSections() {
    readRecordSection(model_.floorData, model_.numFloorData, 2, "floor data");
    readRecordSection(model_.meshData, model_.numMeshData, 2, "mesh data");
    readRecordSection(model_.meshPointers, model_.numMeshPointers, 4, "mesh pointers");
    readAnimations();
    readRecordSection(model_.stateChanges, model_.numStateChanges, 6, "state changes");
    readRecordSection(model_.animDispatches, model_.numAnimDispatches, 8, "animation dispatches");
    readRecordSection(model_.animCommands, model_.numAnimCommands, 2, "animation commands");
    readRecordSection(model_.meshTrees, model_.numMeshTrees, 4, "mesh trees");
    readRecordSection(model_.frames, model_.numFrames, 2, "frames");
    readMoveables();
    readRecordSection(model_.staticMeshes, model_.numStaticMeshes, 32, "static meshes");
}

// Animations keep their pieces in 40-byte slots: 16 bytes, (8 bytes,) 16 bytes.
void Tdvlevel::readAnimations() {
    const std::size_t middle = detail::layoutOf(Generation).animationMiddle;
    const std::size_t fileBytes = 32 + middle;
    SizeRecords(model_.animations, model_.numAnimations, readCount(file_, fileBytes, "animations"),
                40);
    for (std::uint32_t i = 0; i < model_.numAnimations; ++i) {
        auto slot = model_.animations.record(i);
        const auto first = file_.take(16);
        std::memcpy(slot.data(), first.data(), 16);
        if (middle != 0) {
            const auto piece = file_.take(middle);
            std::memcpy(slot.data() + 16, piece.data(), middle);
        }
        const auto last = file_.take(16);
        std::memcpy(slot.data() + 24, last.data(), 16);
    }
}

// Moveables are 18 bytes (20 in generation 7), kept in 20-byte slots.
void Tdvlevel::readMoveables() {
    const std::size_t fileBytes = detail::layoutOf(Generation).moveableBytes;
    SizeRecords(model_.moveables, model_.numMoveables, readCount(file_, fileBytes, "moveables"),
                20);
    for (std::uint32_t i = 0; i < model_.numMoveables; ++i) {
        const auto data = file_.take(fileBytes);
        std::memcpy(model_.moveables.record(i).data(), data.data(), fileBytes);
    }
}

void Tdvlevel::readSpriteAndCameraSections() {
    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    if (layout.objectTexturesEarly)
        readObjectTextures();
    if (layout.markerBeforeSprites != 0)
        readFixed(file_, model_.markerBeforeSprites, layout.markerBeforeSprites,
                  "the marker before the sprite textures");
    readRecordSection(model_.spriteTextures, model_.numSpriteTextures, 16, "sprite textures");
    readRecordSection(model_.spriteSequences, model_.numSpriteSequences, 8, "sprite sequences");
    if (layout.paletteAfter == 2) {
        readFixed(file_, model_.Palette8, model_.Palette8.size(), "the palette");
        paletteRead_ = true;
    }
    readRecordSection(model_.cameras, model_.numCameras, 16, "cameras");
    if (layout.flybyCameras)
        readRecordSection(model_.flybyCameras, model_.numFlybyCameras, 40, "flyby cameras");
    readRecordSection(model_.soundSources, model_.numSoundSources, 16, "sound sources");
}

// Boxes, then the overlaps, then the zone arrays that have one word per box.
void Tdvlevel::readBoxesAndZones() {
    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    const std::size_t boxBytes = layout.boxBytes;
    SetBoxCount(readCount(file_, boxBytes, "boxes"));
    readRecordsInto(file_, boxBytes == 20 ? model_.boxes20 : model_.boxes8);
    readRecordSection(model_.overlaps, model_.numOverlaps, 2, "overlaps");
    const std::size_t zoneArrays = layout.zoneArrays;
    requireRecords(file_, model_.numBoxes, 2 * zoneArrays, "zones");
    SetZoneCount(model_.numBoxes);
    for (std::size_t z = 0; z < zoneArrays; ++z)
        readRecordsInto(file_, model_.zones[z]);
}

// The animated texture words, and what follows them up to the entities.
void Tdvlevel::readAnimatedTextureSections() {
    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    SetAnimatedTextureWordCount(readCount(file_, 2, "animated texture words"));
    for (auto& word : model_.AnimatedTextures)
        word = file_.u16();
    animatedListRead_ = true;
    setGauge(85);
    if (layout.markerAfterAnimated != 0)
        readFixed(file_, model_.markerAfterAnimated, layout.markerAfterAnimated,
                  "the marker after the animated textures");
    if (!layout.objectTexturesEarly)
        readObjectTextures();
    setGauge(90);
}

// From the light map to the sample indices, the end of the level data.
void Tdvlevel::readClosingSections() {
    const detail::GenerationLayout& layout = detail::layoutOf(Generation);
    if (layout.lightMap)
        readFixed(file_, model_.LightMap, model_.LightMap.size(), "the light map");
    if (layout.paletteAfter == 1) {
        readFixed(file_, model_.Palette8, model_.Palette8.size(), "the palette");
        paletteRead_ = true;
    }
    if (layout.aiObjects) {
        SetCinematicOrAiCount(readCount(file_, 24, "AI objects"));
        readRecordsInto(file_, model_.aiObjects);
    } else {
        SetCinematicOrAiCount(readCount(file_, 16, "cinematic frames", true));
        readRecordsInto(file_, model_.cinematicFrames);
    }
    SizeRecords(model_.demoData, model_.numDemoData, readCount(file_, 1, "demo data", true), 1);
    readRecordsInto(file_, model_.demoData);
    readFixed(file_, model_.SoundMap, layout.soundMapBytes, "the sound map");
    readRecordSection(model_.soundDetails, model_.numSoundDetails, 8, "sound details");
    if (layout.sampleData) {
        model_.sampleDataBytes = readCount(file_, 1, "sample data");
        const auto data = file_.take(model_.sampleDataBytes);
        model_.SampleData.assign(data.begin(), data.end());
    }
    readRecordSection(model_.sampleIndices, model_.numSampleIndices, 4, "sample indices");
    ensureRead(file_, "the level data");
}

} // namespace parvane::level
