// How the analysis stays fast on a full texture set: each cell is read once into a summary
// (channel sums, the sums of rings of blocks that no orientation changes, and 8 x 8 block
// means). Two cells whose channel sums, ring sums, or block means under the orientation tried
// differ by more than the tolerance allows cannot match, since a summed absolute difference is
// never smaller than the difference of the sums over any same parts; only the pairs that
// pass all three are compared pixel by pixel, and that stops as soon as the tolerance is
// exceeded. After an edit only the changed cells are read again, and of the rest only those
// whose result the edit can change are compared again (see TileAnalyser::State::incremental).
#include "TileAnalysis.h"

#include "TileKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace parvane::document {

namespace {

using imaging::Bitmap;
using imaging::PixelFormat;
using imaging::Point;
using imaging::Rect;
using kernels::CellSummary;
using kernels::Signature;

constexpr std::array<std::string_view, kOrientationCount> kOrientationNames{
    "same", "rotate", "rotate2", "rotate3", "hflip", "vflip", "hflip+rotate", "hflip+rotate3"};

// Where pixel (x, y) of a tile turned by o comes from in the tile before turning, for a tile
// of side n + 1. The rotate tool moves (x, y) to (n - y, x).
constexpr Point sourceOf(Orientation o, int x, int y, int n) {
    switch (o) {
    case Orientation::Same:
        return {x, y};
    case Orientation::Rotate:
        return {y, n - x};
    case Orientation::Rotate2:
        return {n - x, n - y};
    case Orientation::Rotate3:
        return {n - y, x};
    case Orientation::HFlip:
        return {n - x, y};
    case Orientation::VFlip:
        return {x, n - y};
    case Orientation::HFlipRotate:
        return {n - y, n - x};
    case Orientation::HFlipRotate3:
        return {y, x};
    }
    return {x, y};
}

// The orientation that undoes o: the quarter turns undo each other, the rest undo themselves.
constexpr Orientation inverse(Orientation o) {
    switch (o) {
    case Orientation::Rotate:
        return Orientation::Rotate3;
    case Orientation::Rotate3:
        return Orientation::Rotate;
    default:
        return o;
    }
}

// For each orientation, which block of the signature each block of the turned one comes from.
constexpr auto kSignatureSources = [] {
    std::array<std::array<std::uint8_t, kernels::kBlocks * kernels::kBlocks>, kOrientationCount>
        table{};
    for (int o = 0; o < kOrientationCount; ++o)
        for (int y = 0; y < kernels::kBlocks; ++y)
            for (int x = 0; x < kernels::kBlocks; ++x) {
                const Point from =
                    sourceOf(static_cast<Orientation>(o), x, y, kernels::kBlocks - 1);
                table[static_cast<std::size_t>(o)]
                     [static_cast<std::size_t>(y * kernels::kBlocks + x)] =
                         static_cast<std::uint8_t>(from.y * kernels::kBlocks + from.x);
            }
    return table;
}();

constexpr std::size_t kTileBytes = std::size_t{kTileSide} * kTileSide * 4;
constexpr std::size_t kTileStride = std::size_t{kTileSide} * 4;

// Writes the 32-bit tile at `from` (rows `stride` apart) turned by O into `to` (packed rows).
// One loop per orientation, so that each becomes plain strided copies.
template <Orientation O>
void turnPixelsAs(const std::uint8_t* from, std::size_t stride, std::uint8_t* to) {
    for (int y = 0; y < kTileSide; ++y) {
        std::uint8_t* out = to + static_cast<std::size_t>(y) * kTileStride;
        for (int x = 0; x < kTileSide; ++x) {
            constexpr int n = kTileSide - 1;
            const Point p = sourceOf(O, x, y, n);
            std::memcpy(out + 4 * static_cast<std::size_t>(x),
                        from + static_cast<std::size_t>(p.y) * stride +
                            4 * static_cast<std::size_t>(p.x),
                        4);
        }
    }
}

void turnPixels(const std::uint8_t* from, std::size_t stride, Orientation o, std::uint8_t* to) {
    switch (o) {
    case Orientation::Same:
        return turnPixelsAs<Orientation::Same>(from, stride, to);
    case Orientation::Rotate:
        return turnPixelsAs<Orientation::Rotate>(from, stride, to);
    case Orientation::Rotate2:
        return turnPixelsAs<Orientation::Rotate2>(from, stride, to);
    case Orientation::Rotate3:
        return turnPixelsAs<Orientation::Rotate3>(from, stride, to);
    case Orientation::HFlip:
        return turnPixelsAs<Orientation::HFlip>(from, stride, to);
    case Orientation::VFlip:
        return turnPixelsAs<Orientation::VFlip>(from, stride, to);
    case Orientation::HFlipRotate:
        return turnPixelsAs<Orientation::HFlipRotate>(from, stride, to);
    case Orientation::HFlipRotate3:
        return turnPixelsAs<Orientation::HFlipRotate3>(from, stride, to);
    }
}

// The largest summed absolute difference whose mean over a cell is still within tolerance.
std::int64_t sadLimit(double tolerance) {
    constexpr double kValues = kernels::kValuesPerCell;
    if (!(tolerance > 0))
        return 0;
    if (tolerance >= 255)
        return std::int64_t{255} * kernels::kValuesPerCell;
    auto limit = static_cast<std::int64_t>(std::floor(tolerance * kValues));
    while (static_cast<double>(limit + 1) / kValues <= tolerance)
        ++limit;
    while (limit > 0 && static_cast<double>(limit) / kValues > tolerance)
        --limit;
    return limit;
}

double meanOf(std::int64_t sad) {
    return static_cast<double>(sad) / kernels::kValuesPerCell;
}

// Stands in the kept-tile totals for cells that are not kept: no cell's total comes near it.
constexpr std::int64_t kNotKept = std::numeric_limits<std::int64_t>::min() / 4;

} // namespace

std::string_view orientationName(Orientation orientation) {
    const auto i = static_cast<std::size_t>(orientation);
    return i < kOrientationNames.size() ? kOrientationNames[i] : std::string_view{};
}

Bitmap orientedTile(const Bitmap& kept, Orientation orientation) {
    if (kept.width() != kTileSide || kept.height() != kTileSide ||
        kept.format() != PixelFormat::Bits32)
        throw std::invalid_argument("orientedTile takes a 64 x 64 tile of 32 bits");
    Bitmap turned(kTileSide, kTileSide);
    std::vector<std::uint8_t> packed(kTileBytes);
    turnPixels(kept.row(0), kept.stride(), orientation, packed.data());
    for (int y = 0; y < kTileSide; ++y)
        std::memcpy(turned.row(y), packed.data() + static_cast<std::size_t>(y) * kTileStride,
                    kTileStride);
    return turned;
}

struct TileAnalyser::State {
    TileOptions options;
    bool regroup = true; // the options changed since the last grouping
    bool valid = false;  // summaries and results belong to the picture last seen

    int pictureWidth = 0;
    int pictureHeight = 0;
    PixelFormat format = PixelFormat::Bits32;
    int columns = 0;
    int rows = 0;
    std::int64_t maxSad = 0;

    const std::uint8_t* base = nullptr; // the 32-bit pixels read
    std::size_t stride = 0;
    Bitmap converted; // the picture in 32 bits, when it is in another format

    std::vector<CellSummary> summaries;
    std::vector<CellClass> results;
    std::vector<std::int64_t> keptTotals; // the total of each kept cell, kNotKept otherwise

    // A cell turned by each orientation tried (a kept tile), or by the inverse of each (the
    // cell being classified: comparing it so with a kept tile is comparing the kept tile
    // turned), made when first needed.
    struct TurnedCell {
        int cell = -1;
        bool inverse = false;
        std::uint8_t signaturesMade = 0;
        std::uint8_t pixelsMade = 0;
        std::array<Signature, kOrientationCount> signatures{};
        std::vector<std::uint8_t> pixels =
            std::vector<std::uint8_t>(kOrientationCount * kTileBytes);

        void reset(int newCell, bool byInverse) {
            cell = newCell;
            inverse = byInverse;
            signaturesMade = 0;
            pixelsMade = 0;
        }
    };
    TurnedCell candidate;
    // Kept tiles newly kept in an incremental pass are each compared with many later cells:
    // they are the ones turned then, up to this many.
    static constexpr std::size_t kTurnedKeptTiles = 16;
    std::vector<TurnedCell> turnedKept;

    TileReport report;

    int cellCount() const { return columns * rows; }
    const std::uint8_t* cellPixels(int cell) const {
        return base + static_cast<std::size_t>(cell / columns) * kTileSide * stride +
               static_cast<std::size_t>(cell % columns) * kTileSide * 4;
    }

    void summarise(int cell) {
        summaries[static_cast<std::size_t>(cell)] = kernels::summarise(cellPixels(cell), stride);
    }

    const std::uint8_t* signatureOf(TurnedCell& t, Orientation o) const {
        const auto i = static_cast<std::size_t>(o);
        const Signature& own = summaries[static_cast<std::size_t>(t.cell)].signature;
        if (o == Orientation::Same)
            return own.data();
        if (!(t.signaturesMade & (1u << i))) {
            const auto& from =
                kSignatureSources[static_cast<std::size_t>(t.inverse ? inverse(o) : o)];
            constexpr std::size_t kPlane = kernels::kBlocks * kernels::kBlocks;
            for (std::size_t c = 0; c < 3; ++c)
                for (std::size_t b = 0; b < kPlane; ++b)
                    t.signatures[i][c * kPlane + b] = own[c * kPlane + from[b]];
            t.signaturesMade = static_cast<std::uint8_t>(t.signaturesMade | (1u << i));
        }
        return t.signatures[i].data();
    }

    const std::uint8_t* pixelsOf(TurnedCell& t, Orientation o) const {
        const auto i = static_cast<std::size_t>(o);
        std::uint8_t* out = t.pixels.data() + i * kTileBytes;
        if (!(t.pixelsMade & (1u << i))) {
            turnPixels(cellPixels(t.cell), stride, t.inverse ? inverse(o) : o, out);
            t.pixelsMade = static_cast<std::uint8_t>(t.pixelsMade | (1u << i));
        }
        return out;
    }

    void beginCandidate(int cell) {
        if (candidate.cell != cell)
            candidate.reset(cell, true);
    }

    // The kept tile turned, from the few kept at hand (nothing when they are all taken).
    TurnedCell* turnedKeptTile(int cell) {
        TurnedCell* free = nullptr;
        for (TurnedCell& t : turnedKept) {
            if (t.cell == cell)
                return &t;
            if (t.cell < 0 && !free)
                free = &t;
        }
        if (!free) {
            if (turnedKept.size() >= kTurnedKeptTiles)
                return nullptr;
            free = &turnedKept.emplace_back();
        }
        free->reset(cell, false);
        return free;
    }

    // The first orientation under which the kept tile `kept` matches the candidate, with the
    // summed absolute difference there. Either the candidate is turned (by the inverse of each
    // orientation) or, when given, the kept tile is.
    std::optional<std::pair<Orientation, std::int64_t>> tryKept(int kept, TurnedCell* keptTurned) {
        const CellSummary& a = summaries[static_cast<std::size_t>(candidate.cell)];
        const CellSummary& b = summaries[static_cast<std::size_t>(kept)];
        std::int64_t bound = 0;
        for (std::size_t c = 0; c < 3; ++c)
            bound += std::abs(std::int64_t{a.sums[c]} - std::int64_t{b.sums[c]});
        if (bound > maxSad)
            return std::nullopt;
        // One bound for all eight orientations before any is tried.
        if (options.turned && kernels::ringBound(a.rings, b.rings) > maxSad)
            return std::nullopt;
        const int orientations = options.turned ? kOrientationCount : 1;
        for (int i = 0; i < orientations; ++i) {
            const auto o = static_cast<Orientation>(i);
            const bool turnKept = keptTurned && o != Orientation::Same;
            const bool turnCandidate = !keptTurned && o != Orientation::Same;
            const std::uint8_t* signatureA =
                turnCandidate ? signatureOf(candidate, o) : a.signature.data();
            const std::uint8_t* signatureB =
                turnKept ? signatureOf(*keptTurned, o) : b.signature.data();
            if (kernels::signatureBound(signatureA, signatureB, maxSad) > maxSad)
                continue;
            const std::int64_t sad = kernels::cellDifference(
                turnCandidate ? pixelsOf(candidate, o) : cellPixels(candidate.cell),
                turnCandidate ? kTileStride : stride,
                turnKept ? pixelsOf(*keptTurned, o) : cellPixels(kept),
                turnKept ? kTileStride : stride, maxSad);
            if (sad <= maxSad)
                return std::pair{o, sad};
        }
        return std::nullopt;
    }

    static CellClass copyOf(int kept, const std::pair<Orientation, std::int64_t>& match) {
        return {CellClass::Copy, kept, match.first, meanOf(match.second)};
    }

    // The cell against every kept tile before it.
    CellClass classify(int cell) {
        const auto index = static_cast<std::size_t>(cell);
        if (summaries[index].empty())
            return {};
        beginCandidate(cell);
        const std::int64_t total = summaries[index].total();
        for (int k = 0; k < cell; ++k) {
            const std::int64_t other = keptTotals[static_cast<std::size_t>(k)];
            if (other - total > maxSad || total - other > maxSad)
                continue;
            if (const auto match = tryKept(k, nullptr))
                return copyOf(k, *match);
        }
        return {CellClass::Kept, cell, Orientation::Same, 0};
    }

    // The first of the given kept tiles before `limit` that the cell matches.
    std::optional<CellClass> firstAmong(int cell, const std::vector<int>& kept, int limit) {
        const std::int64_t total = summaries[static_cast<std::size_t>(cell)].total();
        for (const int k : kept) {
            if (k >= limit)
                break;
            const std::int64_t other = keptTotals[static_cast<std::size_t>(k)];
            if (other - total > maxSad || total - other > maxSad)
                continue;
            beginCandidate(cell);
            if (const auto match = tryKept(k, turnedKeptTile(k)))
                return copyOf(k, *match);
        }
        return std::nullopt;
    }

    void setResult(int cell, const CellClass& result) {
        const auto index = static_cast<std::size_t>(cell);
        results[index] = result;
        keptTotals[index] = result.kind == CellClass::Kept ? summaries[index].total() : kNotKept;
    }

    void groupAll() {
        std::fill(keptTotals.begin(), keptTotals.end(), kNotKept);
        for (int cell = 0; cell < cellCount(); ++cell)
            setResult(cell, classify(cell));
    }

    // Regrouping after some cells changed. The grouping before the first changed cell stands.
    // From there on, in index order, the kept tiles differ from before by those added (cells
    // newly kept) and those gone (cells no longer kept, or kept but changed). A cell that was
    // a copy of a tile still kept can only move to an added tile before that one (the earlier
    // kept tiles it did not match are unchanged); a kept cell can only become a copy of an
    // added tile before it; a copy of a tile that is gone, and a changed cell, are classified
    // afresh. An empty cell that did not change stays empty.
    void incremental(const std::vector<char>& dirty) {
        const int count = cellCount();
        int first = count;
        std::vector<char> gone(static_cast<std::size_t>(count), 0);
        for (int cell = 0; cell < count; ++cell) {
            const auto index = static_cast<std::size_t>(cell);
            if (!dirty[index])
                continue;
            first = std::min(first, cell);
            if (results[index].kind == CellClass::Kept)
                gone[index] = 1;
            keptTotals[index] = kNotKept;
            summarise(cell);
        }
        std::vector<int> added;
        for (int cell = first; cell < count; ++cell) {
            const auto index = static_cast<std::size_t>(cell);
            const CellClass before = results[index];
            if (dirty[index] ||
                (before.kind == CellClass::Copy && gone[static_cast<std::size_t>(before.kept)])) {
                setResult(cell, classify(cell));
                if (results[index].kind == CellClass::Kept)
                    added.push_back(cell);
            } else if (before.kind == CellClass::Copy) {
                if (const auto moved = firstAmong(cell, added, before.kept))
                    setResult(cell, *moved);
            } else if (before.kind == CellClass::Kept) {
                if (const auto copy = firstAmong(cell, added, cell)) {
                    setResult(cell, *copy);
                    gone[index] = 1;
                }
            }
        }
    }

    void buildReport() {
        TileReport r;
        r.width = columns * kTileSide;
        r.height = rows * kTileSide;
        r.columns = columns;
        r.rows = rows;
        r.cells = results;
        r.compactIndex.assign(results.size(), -1);
        std::vector<int> groupOf(results.size(), -1);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const CellClass& cell = results[i];
            switch (cell.kind) {
            case CellClass::Empty:
                ++r.empty;
                break;
            case CellClass::Kept:
                r.compactIndex[i] = r.kept++;
                break;
            case CellClass::Copy: {
                ++r.copies;
                const auto kept = static_cast<std::size_t>(cell.kept);
                r.compactIndex[i] = r.compactIndex[kept];
                if (groupOf[kept] < 0) {
                    groupOf[kept] = static_cast<int>(r.groups.size());
                    r.groups.push_back({cell.kept, {}});
                }
                r.groups[static_cast<std::size_t>(groupOf[kept])].copies.push_back(
                    {static_cast<int>(i), cell.orientation, cell.difference});
                break;
            }
            }
        }
        // Groups were opened at their first copy; they go in the order of their kept tiles.
        std::sort(r.groups.begin(), r.groups.end(),
                  [](const TileGroup& a, const TileGroup& b) { return a.kept < b.kept; });
        r.used = r.kept + r.copies;
        report = std::move(r);
    }
};

TileAnalyser::TileAnalyser() : state_(std::make_unique<State>()) {}
TileAnalyser::~TileAnalyser() = default;
TileAnalyser::TileAnalyser(TileAnalyser&&) noexcept = default;
TileAnalyser& TileAnalyser::operator=(TileAnalyser&&) noexcept = default;

void TileAnalyser::setOptions(const TileOptions& options) {
    if (options == state_->options)
        return;
    state_->options = options;
    state_->regroup = true;
}

const TileOptions& TileAnalyser::options() const {
    return state_->options;
}

const TileReport& TileAnalyser::report() const {
    return state_->report;
}

void TileAnalyser::reset() {
    const TileOptions options = state_->options;
    state_ = std::make_unique<State>();
    state_->options = options;
}

const TileReport& TileAnalyser::update(const Bitmap& picture,
                                       const std::vector<Rect>& changedAreas) {
    return update(picture, picture.width(), picture.height(), changedAreas);
}

const TileReport& TileAnalyser::update(const Bitmap& picture, int width, int height,
                                       const std::vector<Rect>& changedAreas) {
    State& s = *state_;
    width = std::clamp(width, 0, picture.width());
    height = std::clamp(height, 0, picture.height());
    const int columns = width / kTileSide;
    const int rows = height / kTileSide;
    if (std::int64_t{columns} * rows > kMaxAnalysedCells)
        throw std::length_error("a picture of " + std::to_string(std::int64_t{columns} * rows) +
                                " cells is more than the " + std::to_string(kMaxAnalysedCells) +
                                " the tile analysis takes");
    const bool everything = !s.valid || changedAreas.empty() || columns != s.columns ||
                            rows != s.rows || picture.width() != s.pictureWidth ||
                            picture.height() != s.pictureHeight || picture.format() != s.format;

    // Only the cells inside the analysed area count, so only they need converting.
    const Rect area{0, 0, columns * kTileSide, rows * kTileSide};
    if (picture.format() == PixelFormat::Bits32) {
        s.converted = Bitmap();
        s.base = picture.bytes().data();
        s.stride = picture.stride();
    } else {
        if (everything) {
            s.converted = Bitmap(area.width(), area.height());
            s.converted.copyRect({0, 0}, picture, area);
        } else {
            for (const Rect& changed : changedAreas) {
                const Rect part = changed.intersected(area);
                if (!part.isEmpty())
                    s.converted.copyRect({part.left, part.top}, picture, part);
            }
        }
        s.base = s.converted.bytes().data();
        s.stride = s.converted.stride();
    }
    s.pictureWidth = picture.width();
    s.pictureHeight = picture.height();
    s.format = picture.format();
    s.columns = columns;
    s.rows = rows;
    s.maxSad = sadLimit(s.options.tolerance);
    s.candidate.cell = -1;
    for (State::TurnedCell& t : s.turnedKept)
        t.cell = -1;

    const auto count = static_cast<std::size_t>(s.cellCount());
    if (everything) {
        s.summaries.assign(count, {});
        s.results.assign(count, {});
        s.keptTotals.assign(count, kNotKept);
        for (int row = 0; columns > 0 && row < rows; ++row)
            kernels::summariseRun(s.cellPixels(row * columns), s.stride, columns,
                                  s.summaries.data() + static_cast<std::size_t>(row) * columns);
        s.groupAll();
    } else {
        std::vector<char> dirty(count, 0);
        for (const Rect& changed : changedAreas) {
            const Rect part = changed.intersected(area);
            if (part.isEmpty())
                continue;
            for (int row = part.top / kTileSide; row <= (part.bottom - 1) / kTileSide; ++row)
                for (int column = part.left / kTileSide; column <= (part.right - 1) / kTileSide;
                     ++column)
                    dirty[static_cast<std::size_t>(row * columns + column)] = 1;
        }
        if (s.regroup) {
            for (int cell = 0; cell < s.cellCount(); ++cell)
                if (dirty[static_cast<std::size_t>(cell)])
                    s.summarise(cell);
            s.groupAll();
        } else {
            s.incremental(dirty);
        }
    }
    s.regroup = false;
    s.valid = true;
    s.buildReport();
    return s.report;
}

TileReport analyseTiles(const Bitmap& picture, const TileOptions& options) {
    TileAnalyser analyser;
    analyser.setOptions(options);
    return analyser.update(picture);
}

} // namespace parvane::document
