// Generation-7 rooms: their header, their geometry layers and the conversion of the layers
// into the room's common vertex, rectangle and triangle lists.
#include "imaging/FailureReason.h"
#include "level/LevelReaderInternal.h"
#include "level/dvunit3_modif.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

namespace parvane::level {

namespace reasons = imaging::reasons;

using detail::ensureRead;
using detail::LevelDamaged;

namespace {

constexpr std::size_t kLayerHeaderBytes = 56;
constexpr std::size_t kLayerVertexBytes = 28;

// A float coordinate truncated toward zero and kept as the 16-bit value the room stores.
// Values no integer can hold (infinities, NaN) count as 0 rather than being undefined.
std::int16_t truncToInt16(float f) {
    if (!std::isfinite(f))
        return 0;
    const double t = std::trunc(static_cast<double>(f));
    if (t >= 9.2e18 || t <= -9.2e18)
        return 0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int64_t>(t)));
}

std::uint64_t positionKey(std::int16_t x, std::int16_t y, std::int16_t z) {
    return (std::uint64_t{static_cast<std::uint16_t>(x)} << 32) |
           (std::uint64_t{static_cast<std::uint16_t>(y)} << 16) |
           std::uint64_t{static_cast<std::uint16_t>(z)};
}

// Reading within one room's declared bytes: a count that places records beyond them gets the
// records that fit.
struct RoomReader {
    TMemFile& file;

    std::uint32_t fitting(std::uint32_t count, std::size_t recordBytes) const {
        return static_cast<std::uint32_t>(
            std::min<std::size_t>(count, file.remaining() / recordBytes));
    }
    void readList(RecordArray& array, std::uint32_t count, std::size_t recordBytes) const {
        array.size(fitting(count, recordBytes), recordBytes);
        detail::readRecordsInto(file, array);
    }
};

// The counts the room header gives for the lists that follow it.
struct Room7Counts {
    std::uint16_t lights = 0;
    std::uint16_t staticMeshes = 0;
    std::uint32_t records36 = 0;
};

// The header after the size field: position, sectors, colour, flags and the list counts, with
// the values kept as they are in headerValues.
Room7Counts readRoom7Header(TMemFile& file, TDvRoom& room) {
    Room7Counts counts;
    auto& hv = room.headerValues;
    file.skip(4);
    for (int i = 0; i < 4; ++i)
        hv[i] = file.u32();
    room.x = static_cast<std::int32_t>(file.u32());
    hv[4] = file.u32();
    room.z = static_cast<std::int32_t>(file.u32());
    room.yBottom = static_cast<std::int32_t>(file.u32());
    room.yTop = static_cast<std::int32_t>(file.u32());
    room.sectorsZ = file.u16();
    room.sectorsX = file.u16();
    room.roomColour = file.u32();
    counts.lights = file.u16();
    counts.staticMeshes = file.u16();
    for (int i = 5; i < 8; ++i)
        hv[i] = file.u32();
    file.skip(4 + 4 + 6);
    room.flags1 = file.u8();
    room.flags2 = file.u8();
    room.trailing16 = file.u16();
    file.skip(10 + 4);
    const auto headerBytes = file.take(room.headerBytes.size());
    if (!headerBytes.empty())
        std::memcpy(room.headerBytes.data(), headerBytes.data(), headerBytes.size());
    file.skip(4 * 4);
    hv[8] = file.u32();
    file.skip(4);
    for (int i = 9; i < 14; ++i)
        hv[i] = file.u32();
    counts.records36 = file.u32();
    hv[14] = file.u32();
    hv[15] = file.u32();
    room.NumLayers = file.u32();
    room.numLayersCopy = room.NumLayers;
    for (int i = 16; i < 21; ++i)
        hv[i] = file.u32();
    file.skip(4 * 4);
    return counts;
}

void readRoom7Lists(const RoomReader& reader, TDvRoom& room, const Room7Counts& counts) {
    const detail::GenerationLayout& layout = detail::layoutOf(7);
    reader.readList(room.lights, counts.lights, layout.roomLightBytes);
    reader.readList(room.records36, counts.records36, 36);
    reader.readList(room.sectors, std::uint32_t{room.sectorsZ} * room.sectorsX, 8);
    reader.readList(room.portals, reader.file.u16(), 32);
    reader.file.skip(2);
    reader.readList(room.staticMeshes, counts.staticMeshes, layout.roomStaticBytes);
}

// The layer headers; returns the triangles of all layers together.
std::uint32_t readLayerHeaders(TMemFile& file, std::vector<TDvLayer>& layers) {
    std::uint32_t triangleTotal = 0;
    for (auto& layer : layers) {
        layer.numVertices = static_cast<std::uint16_t>(file.u32());
        layer.word4 = file.u16();
        layer.numRectangles = file.u16();
        layer.numTriangles = file.u16();
        const auto rest = file.take(layer.headerRest.size());
        std::memcpy(layer.headerRest.data(), rest.data(), rest.size());
        triangleTotal += layer.numTriangles;
    }
    return triangleTotal;
}

// Every layer's rectangles and triangles, then (after the padding of the triangles to a
// multiple of four bytes) every layer's vertices.
void readLayerGeometry(const RoomReader& reader, std::vector<TDvLayer>& layers,
                       std::uint32_t triangleTotal) {
    TMemFile& file = reader.file;
    for (auto& layer : layers) {
        layer.rectangles.resize(reader.fitting(layer.numRectangles, 12));
        for (auto& r : layer.rectangles) {
            for (auto& v : r.vertices)
                v = file.u16();
            r.texture = file.u16();
            r.extra = file.u16();
        }
        layer.triangles.resize(reader.fitting(layer.numTriangles, 10));
        for (auto& t : layer.triangles) {
            for (auto& v : t.vertices)
                v = file.u16();
            t.texture = file.u16();
            t.extra = file.u16();
        }
    }
    if (triangleTotal % 2 != 0)
        file.skip(2);
    for (auto& layer : layers) {
        layer.vertices.resize(reader.fitting(layer.numVertices, kLayerVertexBytes));
        for (auto& v : layer.vertices) {
            v.x = file.f32();
            v.y = file.f32();
            v.z = file.f32();
            const auto extra = file.take(v.extra.size());
            std::memcpy(v.extra.data(), extra.data(), extra.size());
            const auto colour = file.take(v.colour.size());
            std::memcpy(v.colour.data(), colour.data(), colour.size());
        }
    }
}

} // namespace

void Tdvlevel::readRoom7(TDvRoom& room) {
    file_.u32(); // room tag
    room.RoomDataSize = file_.u32();
    ensureRead(file_, "a room header");
    const std::size_t start = file_.MemFilePos(); // P
    if (room.RoomDataSize > file_.remaining())
        throw LevelDamaged(reasons::format(
            imaging::reasons::kLevelRoomDeclares,
            {reasons::grouped(room.RoomDataSize), reasons::grouped(file_.remaining())}));
    // The room is read only within its declared bytes: what its counts place beyond them is
    // absent (header fields read as 0, lists keep the records that fit). The next room starts
    // where those bytes end, so no byte is read as part of two rooms and the memory a room
    // takes stays within what its own bytes describe.
    const std::size_t roomEnd = start + room.RoomDataSize;
    file_.beginWindow(roomEnd);
    const RoomReader reader{file_};
    const Room7Counts counts = readRoom7Header(file_, room);
    readRoom7Lists(reader, room, counts);

    room.numVertices = 0;
    room.numRectangles = 0;
    room.numTriangles = 0;
    room.sprites.size(0, 4);
    room.layers.assign(reader.fitting(room.NumLayers, kLayerHeaderBytes), TDvLayer{});
    if (!room.layers.empty()) {
        const std::uint32_t triangleTotal = readLayerHeaders(file_, room.layers);
        room.numTriangles = static_cast<std::uint16_t>(triangleTotal);
        readLayerGeometry(reader, room.layers, triangleTotal);
        ConvertLayersToRoomGeometry(room);
    }

    // Whatever was read, the next room starts RoomDataSize bytes after its size field.
    const std::size_t consumed = file_.MemFilePos() - start;
    room.unreadBytes =
        static_cast<std::int64_t>(room.RoomDataSize) - static_cast<std::int64_t>(consumed);
    file_.endWindow();
    file_.MemFileSeek(roomEnd);
}

int Tdvlevel::FindVertex(const TDvRoom& room, std::int16_t x, std::int16_t y, std::int16_t z) {
    for (std::size_t i = 0; i < room.vertices8.size(); ++i) {
        const TDvVertex8& v = room.vertices8[i];
        if (v.x == x && v.y == y && v.z == z)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int Tdvlevel::AddVertex(TDvRoom& room, std::int16_t x, std::int16_t y, std::int16_t z,
                        std::uint8_t c) {
    const int found = FindVertex(room, x, y, z);
    if (found != 0) {
        TDvVertex8& v = room.vertices8[static_cast<std::size_t>(found - 1)];
        const unsigned high = ((v.lighting >> 8) + c) >> 1;
        v.lighting = static_cast<std::uint16_t>((v.lighting & 0xFF) | (high << 8));
        return found;
    }
    if (room.vertices8.size() >= kMaxRoomVertices7)
        return 0;
    const auto lighting = static_cast<std::uint16_t>(c << 8);
    room.vertices8.push_back({x, y, z, lighting});
    room.vertices12.push_back({x, y, z, lighting, 0, 0});
    room.numVertices = static_cast<std::uint16_t>(room.vertices8.size());
    return static_cast<int>(room.vertices8.size());
}

void Tdvlevel::ConvertLayersToRoomGeometry(TDvRoom& room) {
    room.numVertices = 0;
    room.vertices8.clear();
    room.vertices12.clear();

    // Room vertex number (1-based, 0 when dropped) of every layer vertex. The positions in the
    // room's list are distinct, so a map finds the same entry as FindVertex's scan from the
    // first entry, without a scan per vertex.
    std::unordered_map<std::uint64_t, int> numberOf;
    std::vector<std::vector<int>> layerNumbers(room.layers.size());
    for (std::size_t l = 0; l < room.layers.size(); ++l) {
        const TDvLayer& layer = room.layers[l];
        layerNumbers[l].resize(layer.vertices.size(), 0);
        for (std::size_t i = 0; i < layer.vertices.size(); ++i) {
            const TDvLayerVertex& lv = layer.vertices[i];
            const std::int16_t x = truncToInt16(lv.x);
            const std::int16_t y = truncToInt16(lv.y);
            const std::int16_t z = truncToInt16(lv.z);
            const std::uint64_t key = positionKey(x, y, z);
            int number = 0;
            if (const auto it = numberOf.find(key); it != numberOf.end()) {
                number = it->second;
                TDvVertex8& v = room.vertices8[static_cast<std::size_t>(number - 1)];
                const unsigned high = (v.lighting >> 8) >> 1; // merged with a lighting byte of 0
                v.lighting = static_cast<std::uint16_t>((v.lighting & 0xFF) | (high << 8));
            } else if (room.vertices8.size() < kMaxRoomVertices7) {
                room.vertices8.push_back({x, y, z, 0});
                room.vertices12.push_back({x, y, z, 0, 0, 0});
                number = static_cast<int>(room.vertices8.size());
                numberOf.emplace(key, number);
            }
            if (number != 0) {
                const unsigned blue = lv.colour[0], green = lv.colour[1], red = lv.colour[2];
                room.vertices12[static_cast<std::size_t>(number - 1)].lighting2 =
                    static_cast<std::uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) |
                                               (blue >> 3));
            }
            layerNumbers[l][i] = number;
        }
    }
    room.numVertices = static_cast<std::uint16_t>(room.vertices8.size());

    // A corner that names no vertex of its layer, or whose position was dropped, gets the
    // number 0 - 1 as a 16-bit value, as a position FindVertex does not find would.
    const auto roomNumber = [&](std::size_t layer, std::uint16_t local) {
        const auto& numbers = layerNumbers[layer];
        const int number = local < numbers.size() ? numbers[local] : 0;
        return static_cast<std::uint16_t>(number - 1);
    };
    room.rectangles.clear();
    room.triangles.clear();
    for (std::size_t l = 0; l < room.layers.size(); ++l) {
        for (const TDvRectangle& r : room.layers[l].rectangles) {
            TDvRectangle out = r;
            for (auto& v : out.vertices)
                v = roomNumber(l, v);
            room.rectangles.push_back(out);
        }
        for (const TDvTriangle& t : room.layers[l].triangles) {
            TDvTriangle out = t;
            for (auto& v : out.vertices)
                v = roomNumber(l, v);
            room.triangles.push_back(out);
        }
    }
    room.numRectangles = static_cast<std::uint16_t>(room.rectangles.size());
    room.numTriangles = static_cast<std::uint16_t>(room.triangles.size());
}

} // namespace parvane::level
