// Compacting a texture set to its kept tiles, and the index map that tells a level which new
// tile (and turn) stands for each old cell.
#include "TileAnalysis.h"

#include <algorithm>
#include <stdexcept>

namespace parvane::document {

using imaging::Bitmap;
using imaging::Rect;

namespace {

constexpr int kPageSide = 256;

} // namespace

Bitmap compactTiles(const Bitmap& picture, const TileReport& report, int& heightPages) {
    if (report.cellCount() != static_cast<int>(report.cells.size()) ||
        report.compactIndex.size() != report.cells.size() || report.width > picture.width() ||
        report.height > picture.height())
        throw std::invalid_argument("the tile report is not one of this picture");
    // The set keeps its width: that of the cells analysed.
    const int width = report.width;
    const int columns = report.columns;
    const int rowsNeeded = columns > 0 ? (report.kept + columns - 1) / columns : 0;
    heightPages = std::max(1, (rowsNeeded * kTileSide + kPageSide - 1) / kPageSide);
    Bitmap compacted(width, heightPages * kPageSide);
    // The analysis reads the picture as red, green and blue; alpha goes as well so that a
    // compacted 32-bit set is byte for byte its tiles.
    const Bitmap* source = &picture;
    Bitmap converted;
    if (picture.format() != imaging::PixelFormat::Bits32) {
        converted = picture.converted(imaging::PixelFormat::Bits32);
        source = &converted;
    }
    for (int cell = 0; cell < report.cellCount(); ++cell) {
        const CellClass& c = report.cells[static_cast<std::size_t>(cell)];
        if (c.kind != CellClass::Kept)
            continue;
        const int target = report.compactIndex[static_cast<std::size_t>(cell)];
        const Rect from = Rect::fromSize((cell % report.columns) * kTileSide,
                                         (cell / report.columns) * kTileSide, kTileSide, kTileSide);
        compacted.copyRect({(target % columns) * kTileSide, (target / columns) * kTileSide},
                           *source, from);
    }
    return compacted;
}

std::string indexMapCsv(const TileReport& report) {
    std::string csv = "old,new,orientation\n";
    for (std::size_t cell = 0; cell < report.cells.size(); ++cell) {
        const CellClass& c = report.cells[cell];
        csv += std::to_string(cell);
        if (c.kind == CellClass::Empty) {
            csv += ",empty,\n";
            continue;
        }
        csv += ',';
        csv += std::to_string(report.compactIndex[cell]);
        csv += ',';
        csv += orientationName(c.kind == CellClass::Kept ? Orientation::Same : c.orientation);
        csv += '\n';
    }
    return csv;
}

} // namespace parvane::document
