// The tile budget of a texture set: which of its 64 x 64 cells are empty, which hold a tile of
// their own (kept) and which repeat an earlier kept tile (copies), exactly or within a
// tolerance, and optionally turned or mirrored the way the Target's Rotate, HFlip and VFlip
// tools turn a cell. Without Qt, so the window and parvane-cli share it.
//
// Cells are numbered row by row as the Target's 64-pixel grid numbers them: index = row x
// columns + column, columns = width div 64. Only whole cells count; a picture whose sides are
// not multiples of 64 has its right and bottom remainders left out.
//
// Grouping is greedy in index order: each used cell joins the first earlier kept tile it
// matches (under the first orientation, in the order below, that matches); otherwise it is
// kept. The result therefore depends only on the pixels and the options.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parvane::document {

inline constexpr int kTileSide = 64;
// What a level editor takes from one texture set.
inline constexpr int kTileBudget = 256;
// Analysis compares every cell with the kept tiles before it, so its work grows with the
// square of the cell count: pictures of more cells (16 full texture sets) are refused.
inline constexpr int kMaxAnalysedCells = 16384;

// What turns the kept tile into the copy, in the order matches are tried. Rotate is a quarter
// turn clockwise as the rotate tool turns; HFlipRotate is hflip, then rotate; HFlipRotate3 is
// hflip, then rotate three times.
enum class Orientation : std::uint8_t {
    Same,
    Rotate,
    Rotate2,
    Rotate3,
    HFlip,
    VFlip,
    HFlipRotate,
    HFlipRotate3,
};
inline constexpr int kOrientationCount = 8;

// "same", "rotate", "rotate2", "rotate3", "hflip", "vflip", "hflip+rotate", "hflip+rotate3".
std::string_view orientationName(Orientation orientation);

// The tile `kept` turned by `orientation`, as the canvas's tools would turn it; kept must be a
// 64 x 64 bitmap of 32 bits.
imaging::Bitmap orientedTile(const imaging::Bitmap& kept, Orientation orientation);

struct TileOptions {
    // Largest mean absolute difference, over every pixel and the three colour channels, at
    // which two tiles still match; 0 means identical. Negative values count as 0.
    double tolerance = 0;
    // Try all eight orientations; otherwise only Same.
    bool turned = false;

    bool operator==(const TileOptions&) const = default;
};

struct TileCopy {
    int cell = 0;
    Orientation orientation = Orientation::Same;
    double difference = 0; // mean absolute difference to the kept tile so turned
    bool operator==(const TileCopy&) const = default;
};

// A kept tile that has copies, with its copies in index order.
struct TileGroup {
    int kept = 0;
    std::vector<TileCopy> copies;
    bool operator==(const TileGroup&) const = default;
};

struct CellClass {
    enum Kind : std::uint8_t { Empty, Kept, Copy };
    Kind kind = Empty;
    int kept = -1; // Kept: the cell itself; Copy: the kept cell it matches; Empty: -1
    Orientation orientation = Orientation::Same;
    double difference = 0;
    bool operator==(const CellClass&) const = default;
};

struct TileReport {
    int width = 0; // of the picture analysed, in pixels
    int height = 0;
    int columns = 0; // whole cells across and down
    int rows = 0;
    int used = 0; // cells that are not empty: kept + copies
    int empty = 0;
    int kept = 0; // distinct tiles
    int copies = 0;
    std::vector<CellClass> cells;  // one per cell index
    std::vector<TileGroup> groups; // kept tiles that have copies, in index order
    // Per cell: where its kept tile lands after compacting (kept tiles take 0, 1, 2, ... in
    // index order; a copy takes its kept tile's), -1 for an empty cell.
    std::vector<int> compactIndex;

    int cellCount() const { return columns * rows; }
    bool operator==(const TileReport&) const = default;
};

// The analysis of the whole cells of `picture` (any pixel format; a pixel is empty when its
// red, green and blue are 0, whatever its alpha). Throws std::length_error for a picture of
// more than kMaxAnalysedCells cells. A full texture set takes a few milliseconds, except one
// whose tiles are alike in every coarse measure and differ only pixel by pixel (one grain all
// over, as random grey noise): each pair is then compared in full, over a second for 1,024
// cells with turned copies on.
TileReport analyseTiles(const imaging::Bitmap& picture, const TileOptions& options);

// Keeps what it learnt of every cell (sums and a coarse picture of it) between calls, so that
// after an edit only the changed cells are read again and only the cells the edit can affect
// are compared again. The result is always the one analyseTiles gives for the same picture.
class TileAnalyser {
public:
    TileAnalyser();
    ~TileAnalyser();
    TileAnalyser(TileAnalyser&&) noexcept;
    TileAnalyser& operator=(TileAnalyser&&) noexcept;

    // Takes effect at the next update, which then compares everything again.
    void setOptions(const TileOptions& options);
    const TileOptions& options() const;

    // Brings the report up to `picture`, whose pixels changed only inside `changedAreas` since
    // the last update (none given: anything may have changed). Only the top-left width x
    // height pixels count (the Target's view; by default the whole picture); a change of that
    // size, or of the picture's, reads everything again. Throws std::length_error as
    // analyseTiles does.
    const TileReport& update(const imaging::Bitmap& picture,
                             const std::vector<imaging::Rect>& changedAreas = {});
    const TileReport& update(const imaging::Bitmap& picture, int width, int height,
                             const std::vector<imaging::Rect>& changedAreas);
    const TileReport& report() const;
    // Forgets everything: the next update reads the whole picture.
    void reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The kept tiles of `picture` in index order (new index = their position in reading order),
// the rest black, the width unchanged and the height the fewest whole 256-pixel pages that
// hold them (at least one); `heightPages` receives that page count. A 32-bit picture.
imaging::Bitmap compactTiles(const imaging::Bitmap& picture, const TileReport& report,
                             int& heightPages);

// The index map of a compacting: "old,new,orientation", then one line per cell of the picture
// as it was: its index, the index its kept tile takes after compacting, and the orientation
// that turns that tile into it ("same" for kept tiles); an empty cell has "empty" and no
// orientation.
std::string indexMapCsv(const TileReport& report);

} // namespace parvane::document
