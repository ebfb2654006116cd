// Pieces shared by the files of the level reader; not part of its public interface.
#pragma once

#include "imaging/Failure.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvane::level::detail {

// Thrown inside the reader when the file contradicts itself; LoadLevel turns it into a damaged
// result with the message as the reason.
class LevelDamaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the generations' level data differ: record sizes, which optional fields and sections
// a generation has, and where its palette lies. One row per generation code, so the walk reads
// the table rather than comparing generation codes.
struct GenerationLayout {
    // Rooms (generation 7 reads only its light and static mesh sizes here).
    std::size_t vertexBytes = 0;     // 8 (x, y, z, lighting) or 12 (with attributes, lighting)
    bool ambientSecond = false;      // a second ambient value after the two ambient bytes
    bool lightMode = false;          // a light mode after the ambient values
    std::size_t roomLightBytes = 0;  // 18, 24, 46 or 88
    std::size_t roomStaticBytes = 0; // 18 or 20
    bool roomTrailing = false;       // a 16-bit and an 8-bit value close the room
    // Level-wide sections.
    std::size_t animationMiddle = 0;     // bytes between an animation's two 16-byte pieces (0 or 8)
    std::size_t moveableBytes = 0;       // 18 or 20
    bool objectTexturesEarly = false;    // object textures after the static meshes (else after the
                                         // animated textures)
    std::size_t objectTextureBytes = 0;  // 20, 38 or 40
    bool objectTextureFlags = false;     // a flags word after the tile
    bool objectTextureExtra = false;     // four 32-bit values after the corners
    bool objectTexturePadding = false;   // a padding word closes the record
    std::size_t markerBeforeSprites = 0; // 0, 3 or 4
    std::size_t markerAfterAnimated = 0; // 0, 4 or 5
    bool flybyCameras = false;
    std::size_t boxBytes = 0;   // 20 or 8
    std::size_t zoneArrays = 0; // 6 or 10
    bool entities22 = false;    // entities in the 22-byte form (else 24)
    bool lightMap = false;
    bool aiObjects = false;        // AI objects with a 4-byte count (else cinematic frames,
                                   // 2-byte count)
    std::size_t soundMapBytes = 0; // 512, 740 or 900
    bool sampleData = false;       // sample data inside the level data
    int paletteAfter = 0;          // where Palette8 lies: 0 none, 1 after the light map, 2 after
                                   // the sprite sequences
};

// The layout of a generation code (1-7).
const GenerationLayout& layoutOf(int generation);

// Inflates one zlib stream. The output may not exceed limit bytes (nor what deflate's greatest
// ratio allows for the compressed bytes); estimate is the size the file states, used only to
// size the buffer up front, since writers store sizes that are 0, too small or too large.
// Fails (Damaged) when the stream is damaged or ends early, (TooLarge) when it inflates beyond
// limit, (NoMemory) when zlib cannot start.
imaging::Result<std::vector<std::uint8_t>> inflateChunk(std::span<const std::uint8_t> compressed,
                                                        std::size_t estimate, std::size_t limit);

} // namespace parvane::level::detail

namespace parvane::level {
class TMemFile;
struct RecordArray;
} // namespace parvane::level

namespace parvane::level::detail {

// Throws LevelDamaged when an earlier read ran past the end of the image.
void ensureRead(const TMemFile& file, const char* what);
// Reads a record count (4 bytes, or 2 when count16) and checks that count records of
// recordBytes fit in the bytes left, so nothing is sized beyond what the file can hold.
std::uint32_t readCount(TMemFile& file, std::size_t recordBytes, const char* what,
                        bool count16 = false);
// Copies the next records of the file into a sized record array.
void readRecordsInto(TMemFile& file, RecordArray& array);
// Throws LevelDamaged unless count records of recordBytes fit in the bytes left.
void requireRecords(const TMemFile& file, std::uint64_t count, std::size_t recordBytes,
                    const char* what);

} // namespace parvane::level::detail
