// The level file reader: a memory image of a Duskvale level file (TMemFile) and the reader
// Tdvlevel that recognises its game generation and reads it front to back into a level model.
//
// Supports: the seven generation codes of the five game generations (Version 32, 45,
// 0xFF180038, 0xFF080038, 0xFFFFFFF0 and "DV4\0", the file name deciding between the pairs),
// optionally wrapped in the "ZLIB" container; 8-bit pages with their palette, 16-bit pages,
// the three zlib texture chunks and the compressed level data of the later generations; the
// whole level data walk (rooms of every form, generation-7 layers, every level-wide section).
// The sizes a file stores for its zlib streams are estimates: the length produced counts. A
// 32-bit chunk with fewer pages than the 16-bit one gives the pages it has; a generation-7
// room is read only within its declared bytes (what lies beyond them is absent) and the next
// room starts where they end; a generation 1-2 file that ends after its pages and palette
// (and, for a full load, its animated texture list) keeps what it read.
// Refuses: any other Version (not a level); files that end early elsewhere, counts that
// exceed the bytes left, damaged zlib streams, page counts beyond what a strip holds, and
// files or chunks beyond the named limits (damaged, with a reason). Nothing a file says
// makes the reader touch memory outside its buffers or allocate more than a small multiple
// of the file's size.
#pragma once

#include "imaging/ByteReader.h"
#include "imaging/Failure.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace parvane::level {

// Receives the progress values (0-100) of a load; the level window connects its gauge.
using ProgressFn = std::function<void(int)>;

// The outcome of Tdvlevel::LoadLevel; the values are the result bytes the level window has
// always given (0 success, 1 no such file, 2 not a level file).
enum class LoadStatus : std::uint8_t {
    Ok = 0,
    Missing = 1,    // no file of that name
    NotLevel = 2,   // the first four bytes are no known Version
    Damaged = 3,    // a level file whose contents cannot be read
    Unreadable = 4, // the file exists but cannot be read
};

// What a load returns: success, or the Failure with its reason ("the file ends inside the
// object textures"). The level itself stays in the reader's model. status() gives the
// reader's byte code: a missing file, no level (not this format), a damaged level (damaged,
// too large, no memory) or an unreadable file (any other kind).
class LoadResult : public imaging::Status {
public:
    LoadResult(imaging::Failure failure) : imaging::Status(std::move(failure)) {}
    LoadResult(imaging::Status status) : imaging::Status(std::move(status)) {}
    LoadResult(LoadStatus status);

    static LoadResult damaged(std::string reason) {
        return imaging::Failure{imaging::FailureKind::Damaged, std::move(reason)};
    }
    static LoadResult unreadable(std::string reason) {
        return imaging::Failure{imaging::FailureKind::Unsupported, std::move(reason)};
    }

    LoadStatus status() const;
    const std::string& reason() const { return error().reason; }
};

// Limits that keep a hostile file from making the reader allocate without bound.
inline constexpr std::size_t kMaxLevelFileBytes = std::size_t{512} << 20;
inline constexpr std::size_t kMaxInflatedBytes = std::size_t{512} << 20;
inline constexpr std::uint32_t kMaxPages = 256; // a 256-pixel strip of 65536 rows
inline constexpr std::size_t kPage8Bytes = 65536;
inline constexpr std::size_t kPage16Bytes = 131072;
inline constexpr std::size_t kPage32Bytes = 262144;

// The Version values that identify a level file, read little-endian from its first 4 bytes.
inline constexpr std::uint32_t kVersionDv1 = 0x00000020;
inline constexpr std::uint32_t kVersionDv2 = 0x0000002D;
inline constexpr std::uint32_t kVersionDv3a = 0xFF180038;
inline constexpr std::uint32_t kVersionDv3b = 0xFF080038;
inline constexpr std::uint32_t kVersionDv4Tag = 0x00345644; // the bytes "DV4" and a zero byte
inline constexpr std::uint32_t kVersionDv4 = 0xFFFFFFF0;

// The generation code of a Version and a file name (case-sensitive search of the whole
// name, folders included); 0 when the Version is not a level file's.
int generationFor(std::uint32_t version, const std::string& fileName);
// "DV1", "DV1 expansion", "DV2", "DV2, .DVG files", "DV3", "DV4", "DV5"; "" for others.
const char* generationLabel(int generation);

// A memory image of a whole level file, bound to its name, read through a bounded cursor.
class TMemFile {
public:
    void MemFileAssign(const std::string& fileName) { fileName_ = fileName; }
    // Loads the image from the disk file; a "ZLIB" container is inflated. Fails (Unsupported)
    // when the file cannot be read, (TooLarge) beyond the level size limit, (Damaged or
    // TooLarge) when the container is damaged or inflates beyond its limit.
    imaging::Status MemFileReset(std::uint16_t recordSize);
    // Loads the image from bytes already in memory (the file's content), as MemFileReset does.
    imaging::Status MemFileResetFromBytes(std::vector<std::uint8_t> bytes,
                                          std::uint16_t recordSize);
    // Copies count records from the position, never more than what is left; returns the
    // number of bytes copied. A short read leaves the rest of the destination untouched.
    std::size_t MemFileRead(void* destination, std::size_t count);
    // Writes count records at the position, growing the image when needed.
    void MemFileWrite(const void* source, std::size_t count);
    void MemFileSeek(std::size_t position) { reader_.seek(std::min(position, image_.size())); }
    std::size_t MemFilePos() const { return reader_.position(); }
    std::size_t MemFileSize() const { return image_.size(); }
    void MemFileClose();

    // The most a "ZLIB" container may inflate to.
    void setMaxInflatedBytes(std::size_t limit) { maxInflatedBytes_ = limit; }
    const std::string& fileName() const { return fileName_; }
    std::span<const std::uint8_t> image() const { return image_; }

    // The image is read through the shared bounded cursor: a read past the end returns zero,
    // moves to the end and makes failed() true until the next reset.
    bool failed() const { return reader_.failed(); }
    std::size_t remaining() const { return reader_.remaining(); }
    bool has(std::size_t count) const { return reader_.has(count); }
    std::uint8_t u8() { return reader_.u8(); }
    std::uint16_t u16() { return reader_.u16le(); }
    std::uint32_t u32() { return reader_.u32le(); }
    float f32();
    // The next count bytes (and the position moves past them), or empty and failed().
    std::span<const std::uint8_t> take(std::size_t count) { return reader_.bytes(count); }
    bool skip(std::size_t count) { return reader_.skip(count); }

    // Until endWindow(), reads stop at end as if the image ended there (a generation-7
    // room's declared bytes). A read past a window's end finds absent content, not damage:
    // the failure does not outlive the window.
    void beginWindow(std::size_t end);
    void endWindow();

private:
    imaging::Status loadImage(std::vector<std::uint8_t> bytes);
    // A cursor over the whole image at position (after the image changed).
    void rewind(std::size_t position);

    std::string fileName_;
    std::vector<std::uint8_t> image_;
    imaging::ByteReader reader_{{}};
    std::uint16_t recordSize_ = 1;
    std::size_t maxInflatedBytes_ = kMaxInflatedBytes;
};

// A run of fixed-size records kept as they were read, for sections nothing outside the
// reader looks into.
struct RecordArray {
    std::size_t recordSize = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes;

    void size(std::uint32_t newCount, std::size_t elementSize) {
        recordSize = elementSize;
        count = newCount;
        bytes.assign(static_cast<std::size_t>(newCount) * elementSize, 0);
    }
    std::span<std::uint8_t> record(std::size_t i) {
        return std::span(bytes).subspan(i * recordSize, recordSize);
    }
};

// A room vertex in the 8-byte form (x, y, z, lighting).
struct TDvVertex8 {
    std::int16_t x = 0, y = 0, z = 0;
    std::uint16_t lighting = 0;
};
// A room vertex in the 12-byte form (x, y, z, lighting, attributes, second lighting).
struct TDvVertex12 {
    std::int16_t x = 0, y = 0, z = 0;
    std::uint16_t lighting = 0, attributes = 0, lighting2 = 0;
};
// A textured quad of a room: four vertex numbers, texture and (12-byte form) one more word.
struct TDvRectangle {
    std::array<std::uint16_t, 4> vertices{};
    std::uint16_t texture = 0;
    std::uint16_t extra = 0;
};
// A textured triangle of a room: three vertex numbers, texture and one more word.
struct TDvTriangle {
    std::array<std::uint16_t, 3> vertices{};
    std::uint16_t texture = 0;
    std::uint16_t extra = 0;
};
// A generation-7 layer vertex: float position, 12 bytes kept, colour bytes blue, green, red.
struct TDvLayerVertex {
    float x = 0, y = 0, z = 0;
    std::array<std::uint8_t, 12> extra{};
    std::array<std::uint8_t, 4> colour{};
};
// One generation-7 geometry layer: its 56-byte header and its lists.
struct TDvLayer {
    std::uint16_t numVertices = 0;
    std::uint16_t word4 = 0;
    std::uint16_t numRectangles = 0;
    std::uint16_t numTriangles = 0;
    std::array<std::uint8_t, 46> headerRest{};
    std::vector<TDvLayerVertex> vertices;
    std::vector<TDvRectangle> rectangles;
    std::vector<TDvTriangle> triangles;
};

// One room as read from any generation; generation 7 rooms also keep their layers and the
// header values of their own layout.
struct TDvRoom {
    std::int32_t x = 0, z = 0, yBottom = 0, yTop = 0;
    std::uint32_t geometryWords = 0;

    std::uint32_t NumLayers = 0;
    std::uint32_t numLayersCopy = 0;
    std::vector<TDvLayer> layers;

    std::uint16_t numVertices = 0;
    std::vector<TDvVertex8> vertices8;
    std::vector<TDvVertex12> vertices12;
    std::uint16_t numRectangles = 0;
    std::vector<TDvRectangle> rectangles;
    std::uint16_t numTriangles = 0;
    std::vector<TDvTriangle> triangles;
    RecordArray sprites;   // 4 bytes
    RecordArray records36; // generation 7

    std::array<std::uint32_t, 21> headerValues{}; // generation 7, in file order
    std::array<std::uint8_t, 16> headerBytes{};   // generation 7
    std::uint32_t roomColour = 0;                 // generation 7
    std::uint32_t RoomDataSize = 0;               // generation 7
    std::int64_t unreadBytes = 0;                 // generation 7: declared minus consumed

    RecordArray portals; // 32 bytes
    std::uint16_t sectorsZ = 0, sectorsX = 0;
    RecordArray sectors; // 8 bytes
    std::uint8_t ambient1 = 0, ambient2 = 0;
    std::uint16_t ambientSecond = 0;
    std::uint16_t lightMode = 0;
    RecordArray lights;       // 18, 24, 46 or 88 bytes
    RecordArray staticMeshes; // 18 or 20 bytes
    std::uint16_t alternateRoom = 0;
    std::uint8_t flags1 = 0, flags2 = 0;
    std::uint16_t trailing16 = 0;
    std::uint8_t trailing8 = 0;
};

// One object texture: which page (tile) and the four corners' pixels on it.
struct TDvObjectTexture {
    std::uint16_t attribute = 0;
    std::uint16_t tile = 0;
    std::uint16_t flags = 0;                // generations 6-7
    std::array<std::uint8_t, 16> corners{}; // corner c: x pixel byte 4c+1, y pixel 4c+3
    std::array<std::uint32_t, 4> extra{};   // generations 6-7
    std::uint16_t padding = 0;              // generation 7

    int cornerX(int c) const { return corners[static_cast<std::size_t>(4 * c + 1)]; }
    int cornerY(int c) const { return corners[static_cast<std::size_t>(4 * c + 3)]; }
};

// A placed item of the level in the 22-byte form of generations 1-2.
struct TDvEntity22 {
    std::uint16_t type = 0, room = 0;
    std::int32_t x = 0, y = 0, z = 0;
    std::array<std::uint8_t, 2> copied{};
    std::uint8_t value1 = 0, value2 = 0;
    std::uint16_t last = 0;
};
// A placed item of the level in the 24-byte form of generations 3-7.
struct TDvEntity24 {
    std::uint16_t type = 0, room = 0;
    std::int32_t x = 0, y = 0, z = 0;
    std::array<std::uint8_t, 2> copied{};
    std::uint16_t value1 = 0, value2 = 0;
    std::uint16_t last = 0;
};

// Everything a load reads from a level file; FreeLevelData returns it to this empty state.
struct TdvlevelModel {
    std::uint16_t NumRooms = 0;
    std::uint32_t numFloorData = 0, numMeshData = 0, numMeshPointers = 0, numAnimations = 0,
                  numStateChanges = 0, numAnimDispatches = 0, numAnimCommands = 0, numMeshTrees = 0,
                  numFrames = 0, numMoveables = 0, numStaticMeshes = 0, numObjectTextures = 0,
                  numSpriteTextures = 0, numSpriteSequences = 0, numCameras = 0,
                  numFlybyCameras = 0, numSoundSources = 0, numBoxes = 0, numOverlaps = 0,
                  numZones = 0, numAnimatedTextureWords = 0, numEntities = 0, numCinematicOrAi = 0,
                  numDemoData = 0, numSoundDetails = 0, numSampleIndices = 0;

    bool LoadedMarker = false;

    // Generations 6-7 texture header.
    std::uint16_t numRoomPages = 0, numObjectPages = 0, numBumpPages = 0;
    std::uint32_t inflated32 = 0, compressed32 = 0, inflated16 = 0, compressed16 = 0,
                  inflatedMisc = 0, compressedMisc = 0;

    std::uint32_t textile8Bytes = 0;
    std::uint32_t NumTextiles = 0;
    std::vector<std::uint8_t> Textile8, Textile16, Textile32, MiscTextiles;

    std::array<std::uint8_t, 4> levelHeader{};
    std::array<std::uint8_t, 32> levelHeader7{};
    std::uint32_t levelDataSize7 = 0, levelDataSize7b = 0;

    std::vector<TDvRoom> Rooms;
    RecordArray floorData, meshData, meshPointers, animations, stateChanges, animDispatches,
        animCommands, meshTrees, frames, moveables, staticMeshes;
    std::array<std::uint8_t, 5> markerAfterAnimated{};
    std::vector<TDvObjectTexture> ObjectTextures;
    std::array<std::uint8_t, 4> markerBeforeSprites{};
    RecordArray spriteTextures, spriteSequences, cameras, flybyCameras, soundSources, boxes20,
        boxes8, overlaps;
    std::array<RecordArray, 10> zones;
    std::vector<std::uint16_t> AnimatedTextures;
    std::vector<TDvEntity22> entities22;
    std::vector<TDvEntity24> entities24;

    std::array<std::uint8_t, 8192> LightMap{};
    std::array<std::uint8_t, 768> Palette8{};
    std::array<std::uint8_t, 1024> Palette16{};

    RecordArray cinematicFrames, aiObjects, demoData;
    std::array<std::uint8_t, 900> SoundMap{};
    RecordArray soundDetails;
    std::uint32_t sampleDataBytes = 0;
    std::vector<std::uint8_t> SampleData;
    RecordArray sampleIndices;
};

// Reads one level file into the level model it holds; the texture extraction uses the pages,
// the palette, the object textures and the animated texture list of that model.
class Tdvlevel {
public:
    Tdvlevel() = default;
    virtual ~Tdvlevel() { Destroy(); }
    Tdvlevel(const Tdvlevel&) = delete;
    Tdvlevel& operator=(const Tdvlevel&) = delete;

    // Reads the named file; a damaged or unreadable file's result says why. With texturesOnly
    // the load stops after the pages, except for generation codes 1-2, whose palette lies at
    // the end of the file.
    LoadResult LoadLevel(const std::string& fileName, bool texturesOnly);
    // The same for a file's content already in memory; fileName decides the generation.
    LoadResult LoadLevelFromBytes(std::vector<std::uint8_t> bytes, const std::string& fileName,
                                  bool texturesOnly);
    // What the last load read; empty before a load and after FreeLevelData.
    const TdvlevelModel& model() const { return model_; }
    // The most any one zlib chunk (or the "ZLIB" container) may inflate to; lowered by the
    // fuzz harness to keep its memory small.
    std::size_t maxInflatedBytes = kMaxInflatedBytes;

    void FreeLevelData();
    void Destroy();

    std::uint32_t Version = 0;
    std::int32_t Generation = 0;
    ProgressFn Gauge;

    // Array sizing: each sets the length of its array(s) and stores the count.
    void SetRoomCount(std::uint32_t count);
    void SetObjectTextureCount(std::uint32_t count);
    void SetBoxCount(std::uint32_t count);
    void SetZoneCount(std::uint32_t boxCount);
    void SetAnimatedTextureWordCount(std::uint32_t count);
    void SetEntityCount(std::uint32_t count);
    void SetCinematicOrAiCount(std::uint32_t count);
    static void SizeRecords(RecordArray& array, std::uint32_t& countField, std::uint32_t count,
                            std::size_t elementSize);

    // Builds a generation-7 room's common vertex, rectangle and triangle lists from its layers.
    static void ConvertLayersToRoomGeometry(TDvRoom& room);
    // 1-based number of the room vertex at that position, or 0.
    static int FindVertex(const TDvRoom& room, std::int16_t x, std::int16_t y, std::int16_t z);
    // Adds a position (lighting byte c) or merges its lighting into the existing entry;
    // returns the entry's 1-based number, or 0 when the position was dropped (3000 kept).
    static int AddVertex(TDvRoom& room, std::int16_t x, std::int16_t y, std::int16_t z,
                         std::uint8_t c);
    static constexpr std::size_t kMaxRoomVertices7 = 3000;

private:
    // The one load path of both entry points: reset fills the memory file (or says why not),
    // then the level is read from it.
    LoadResult open(const std::string& fileName, bool texturesOnly,
                    const std::function<LoadResult()>& reset);
    LoadResult load(bool texturesOnly);
    void setGauge(int value) {
        if (Gauge)
            Gauge(value);
    }
    void readTexturesClassic();
    void readTexturesCompressed();
    void readCompressedLevelData();
    void walkLevelData();
    void readRoomClassic(TDvRoom& room);
    void readRoom7(TDvRoom& room);
    void readLevelWideSections();
    // The level-wide sections in file order, as readLevelWideSections walks them.
    void readRecordSection(RecordArray& array, std::uint32_t& countField, std::size_t recordBytes,
                           const char* what);
    void readMeshAndAnimationSections();
    void readAnimations();
    void readMoveables();
    void readSpriteAndCameraSections();
    void readBoxesAndZones();
    void readAnimatedTextureSections();
    void readClosingSections();
    void readObjectTextures();
    void readEntities();

    TdvlevelModel model_;
    TMemFile file_;
    // What the walk has read so far, for a generation 1-2 file that ends behind its palette.
    bool paletteRead_ = false;
    bool animatedListRead_ = false;
};

} // namespace parvane::level
