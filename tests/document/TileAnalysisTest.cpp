// The tile budget analysis on planted sets: copies found under the turns the canvas's own
// tools make, tolerance at its edge, compacting undone through the index map, and the
// incremental analyser against a full analysis after random edits.
#include "document/TileAnalysis.h"

#include "canvas/CellGeometry.h"
#include "canvas/CellTransformations.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace parvane::document {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::PixelFormat;
using imaging::Rect;

constexpr int kSide = kTileSide;

// A tile without any symmetry: every pixel differs from its turned places.
Bitmap patterned(unsigned seed) {
    Bitmap tile(kSide, kSide);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(8, 247);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            tile.setPixel(x, y,
                          {static_cast<std::uint8_t>(value(random)),
                           static_cast<std::uint8_t>(value(random)),
                           static_cast<std::uint8_t>(value(random))});
    return tile;
}

// The tile as the canvas turns a cell: each step one press of Rotate, HFlip or VFlip.
Bitmap turnedByCanvas(Bitmap tile, std::initializer_list<canvas::CellTurn> steps) {
    Bitmap clip;
    for (const canvas::CellTurn step : steps)
        canvas::turnCell(tile, tile.rect(), step, clip);
    return tile;
}

// Cells are placed where the Target's own 64-pixel grid numbers them.
Rect cellRect(int cell, int columns) {
    const canvas::CellGeometry grid{kSide, kSide, 0, 0, columns, 1 << 10};
    return grid.indexRect(cell);
}

void place(Bitmap& picture, int cell, const Bitmap& tile) {
    const Rect r = cellRect(cell, picture.width() / kSide);
    picture.copyRect({r.left, r.top}, tile, tile.rect());
}

Bitmap tileOf(const Bitmap& picture, int cell) {
    Bitmap tile(kSide, kSide);
    tile.copyRect({0, 0}, picture, cellRect(cell, picture.width() / kSide));
    return tile;
}

using canvas::CellTurn;

// Cells 0 to 8: a tile, an exact copy and its seven turns by the canvas's tools; 9 and 10: a
// tile and a copy whose every second value is 3 higher (mean difference 1.5); 11 and 12: a
// tile that is its own top-bottom mirror and its left-right mirror, which its half turn also
// makes; 13: black with full alpha (empty all the same); the rest black.
Bitmap plantedSet() {
    Bitmap picture(256, 512);
    const Bitmap a = patterned(1);
    place(picture, 0, a);
    place(picture, 1, a);
    place(picture, 2, turnedByCanvas(a, {CellTurn::Rotate}));
    place(picture, 3, turnedByCanvas(a, {CellTurn::Rotate, CellTurn::Rotate}));
    place(picture, 4, turnedByCanvas(a, {CellTurn::Rotate, CellTurn::Rotate, CellTurn::Rotate}));
    place(picture, 5, turnedByCanvas(a, {CellTurn::FlipHorizontal}));
    place(picture, 6, turnedByCanvas(a, {CellTurn::FlipVertical}));
    place(picture, 7, turnedByCanvas(a, {CellTurn::FlipHorizontal, CellTurn::Rotate}));
    place(picture, 8,
          turnedByCanvas(
              a, {CellTurn::FlipHorizontal, CellTurn::Rotate, CellTurn::Rotate, CellTurn::Rotate}));
    const Bitmap b = patterned(2);
    Bitmap noisy = b;
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = noisy.row(y);
        for (int i = 0; i < kSide * 4; ++i)
            if (i % 4 != 3 && (i / 4 + y + i % 4) % 2 == 0)
                row[i] = static_cast<std::uint8_t>(row[i] + 3);
    }
    place(picture, 9, b);
    place(picture, 10, noisy);
    Bitmap mirrored = patterned(3);
    for (int y = 0; y < kSide / 2; ++y)
        for (int x = 0; x < kSide; ++x)
            mirrored.setPixel(x, kSide - 1 - y, mirrored.pixel(x, y));
    place(picture, 11, mirrored);
    place(picture, 12, turnedByCanvas(mirrored, {CellTurn::FlipHorizontal}));
    const Rect blackCell = cellRect(13, 4);
    for (int y = blackCell.top; y < blackCell.bottom; ++y)
        for (int x = blackCell.left; x < blackCell.right; ++x)
            picture.row(y)[4 * x + 3] = 255;
    return picture;
}

TEST(TileAnalysisTest, PlantedCopiesGiveTheirGroupsAndTurns) {
    const Bitmap picture = plantedSet();
    using O = Orientation;
    const TileGroup allTurns{0,
                             {{1, O::Same, 0},
                              {2, O::Rotate, 0},
                              {3, O::Rotate2, 0},
                              {4, O::Rotate3, 0},
                              {5, O::HFlip, 0},
                              {6, O::VFlip, 0},
                              {7, O::HFlipRotate, 0},
                              {8, O::HFlipRotate3, 0}}};
    const TileGroup noise{9, {{10, O::Same, 1.5}}};
    const TileGroup mirror{11, {{12, O::Rotate2, 0}}};
    const struct {
        const char* name;
        TileOptions options;
        std::vector<TileGroup> groups;
    } rows[] = {
        {"turned, tolerance 2", {2, true}, {allTurns, noise, mirror}},
        {"turned, tolerance 1", {1, true}, {allTurns, mirror}},
        {"same only, tolerance 2", {2, false}, {{0, {{1, O::Same, 0}}}, noise}},
        {"same only, identical", {0, false}, {{0, {{1, O::Same, 0}}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TileReport report = analyseTiles(picture, row.options);
        EXPECT_EQ(report.groups, row.groups);
        int copies = 0;
        for (const TileGroup& group : row.groups)
            copies += static_cast<int>(group.copies.size());
        EXPECT_EQ(report.cellCount(), 32);
        EXPECT_EQ(report.used, 13);
        EXPECT_EQ(report.empty, 19);
        EXPECT_EQ(report.copies, copies);
        EXPECT_EQ(report.kept, 13 - copies);
        EXPECT_EQ(report.cells[13].kind, CellClass::Empty);
    }
    // The analysis turns tiles exactly as the canvas does.
    const Bitmap a = tileOf(picture, 0);
    for (int cell = 1; cell <= 8; ++cell)
        EXPECT_EQ(orientedTile(a, allTurns.copies[static_cast<std::size_t>(cell - 1)].orientation),
                  tileOf(picture, cell))
            << cell;
}

// Parses an index map back into rows of old cell, new cell (-1 for empty) and orientation.
struct MapRow {
    int old;
    int kept;
    std::string orientation;
};
std::vector<MapRow> parseMap(const std::string& csv) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "old,new,orientation");
    std::vector<MapRow> rows;
    while (std::getline(in, line)) {
        const auto first = line.find(',');
        const auto second = line.find(',', first + 1);
        const std::string kept = line.substr(first + 1, second - first - 1);
        rows.push_back({std::stoi(line.substr(0, first)), kept == "empty" ? -1 : std::stoi(kept),
                        line.substr(second + 1)});
    }
    return rows;
}

std::optional<Orientation> orientationNamed(const std::string& name) {
    for (int o = 0; o < kOrientationCount; ++o)
        if (orientationName(static_cast<Orientation>(o)) == name)
            return static_cast<Orientation>(o);
    return std::nullopt;
}

TEST(TileAnalysisTest, CompactingIsUndoneThroughTheIndexMap) {
    // The planted set, and a full-width set of 33 distinct tiles that needs a second page.
    Bitmap wide(512, 1024);
    for (int cell = 0; cell < 33; ++cell)
        place(wide, cell * 2 + 7, patterned(100 + static_cast<unsigned>(cell)));
    const struct {
        const char* name;
        Bitmap picture;
        int kept;
        int pages;
    } rows[] = {{"planted", plantedSet(), 4, 1}, {"33 tiles", wide, 33, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TileReport report = analyseTiles(row.picture, {0, true});
        int pages = 0;
        const Bitmap compacted = compactTiles(row.picture, report, pages);
        EXPECT_EQ(report.kept, row.kept);
        EXPECT_EQ(pages, row.pages);
        EXPECT_EQ(compacted.width(), row.picture.width());
        EXPECT_EQ(compacted.height(), pages * 256);
        const std::vector<MapRow> map = parseMap(indexMapCsv(report));
        ASSERT_EQ(map.size(), static_cast<std::size_t>(report.cellCount()));
        Bitmap expanded(row.picture.width(), row.picture.height());
        for (std::size_t i = 0; i < map.size(); ++i) {
            const MapRow& line = map[i];
            EXPECT_EQ(line.old, static_cast<int>(i));
            if (line.kept < 0) {
                EXPECT_EQ(line.orientation, "");
                continue;
            }
            const auto orientation = orientationNamed(line.orientation);
            ASSERT_TRUE(orientation) << line.orientation;
            place(expanded, line.old, orientedTile(tileOf(compacted, line.kept), *orientation));
        }
        // Alpha plays no part (the planted black cell has some): the colours come back.
        EXPECT_EQ(expanded.converted(PixelFormat::Bits24),
                  row.picture.converted(PixelFormat::Bits24));
        // Past the kept tiles the compacted set is black.
        const Bitmap after = tileOf(compacted, report.kept);
        EXPECT_EQ(after, Bitmap(kSide, kSide));
    }
}

TEST(TileAnalysisTest, IncrementalUpdatesAgreeWithAFullAnalysis) {
    const Bitmap planted = plantedSet();
    const struct {
        const char* name;
        TileOptions options;
        PixelFormat format;
    } rows[] = {
        {"turned, tolerance 0", {0, true}, PixelFormat::Bits32},
        {"turned, tolerance 3", {3, true}, PixelFormat::Bits32},
        {"same only, tolerance 2, 24-bit picture", {2, false}, PixelFormat::Bits24},
    };
    const CellTurn turns[] = {CellTurn::Rotate, CellTurn::FlipHorizontal, CellTurn::FlipVertical};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::mt19937 random(7);
        Bitmap picture = planted.converted(row.format);
        TileAnalyser analyser;
        analyser.setOptions(row.options);
        analyser.update(picture);
        const int cells = 32;
        for (int edit = 0; edit < 400; ++edit) {
            const int cell = static_cast<int>(random() % cells);
            const Rect r = cellRect(cell, 4);
            Rect changed = r;
            switch (random() % 5) {
            case 0: // another cell's tile, turned
                place(picture, cell,
                      turnedByCanvas(tileOf(picture, static_cast<int>(random() % cells)),
                                     {turns[random() % 3]}));
                break;
            case 1: // emptied
                picture.fillRect(r, imaging::colours::kBlack);
                break;
            case 2: { // a square brightened a little: a copy near the tolerance's edge
                const int side = 8 + static_cast<int>(random() % 57);
                const int amount = 1 + static_cast<int>(random() % 12);
                changed = Rect::fromSize(r.left, r.top, side, side);
                for (int y = changed.top; y < changed.bottom; ++y)
                    for (int x = changed.left; x < changed.right; ++x) {
                        const Colour c = picture.pixel(x, y);
                        const auto up = [amount](std::uint8_t v) {
                            return static_cast<std::uint8_t>(std::min(255, v + amount));
                        };
                        picture.setPixel(x, y, {up(c.red), up(c.green), up(c.blue)});
                    }
                break;
            }
            case 3: // a fresh tile
                place(picture, cell, patterned(static_cast<unsigned>(random() % 4)));
                break;
            default: // a flat area across cells
                changed = Rect::fromSize(r.left + 32, r.top + 32, 64, 64);
                picture.fillRect(changed, {200, 10, 10});
                break;
            }
            const TileReport& report = analyser.update(picture, {changed});
            ASSERT_EQ(report, analyseTiles(picture, row.options)) << "after edit " << edit;
        }
        // Other options regroup everything at the next update.
        analyser.setOptions({5, !row.options.turned});
        EXPECT_EQ(analyser.update(picture, {Rect::fromSize(0, 0, 1, 1)}),
                  analyseTiles(picture, {5, !row.options.turned}));
    }
}

TEST(TileAnalysisTest, OnlyWholeCellsCountAndHugePicturesAreRefused) {
    const struct {
        int width, height, columns, rows;
    } sizes[] = {{0, 0, 0, 0}, {63, 500, 0, 7}, {100, 70, 1, 1}, {512, 8192, 8, 128}};
    for (const auto& size : sizes) {
        const TileReport report = analyseTiles(Bitmap(size.width, size.height), {});
        EXPECT_EQ(report.columns, size.columns) << size.width << " x " << size.height;
        EXPECT_EQ(report.rows, size.rows);
        EXPECT_EQ(report.empty, report.cellCount());
    }
    EXPECT_THROW(analyseTiles(Bitmap(64 * 129, 64 * 128), {}), std::length_error);
    // Only the view counts when one is given; a narrower view reads everything again.
    TileAnalyser analyser;
    const Bitmap picture = plantedSet();
    EXPECT_EQ(analyser.update(picture, 128, 256, {}).cellCount(), 8);
    Bitmap top(256, 128);
    top.copyRect({0, 0}, picture, top.rect());
    EXPECT_EQ(analyser.update(picture, 256, 128, {Rect::fromSize(0, 0, 64, 64)}),
              analyseTiles(top, {}));
}

} // namespace
} // namespace parvane::document
