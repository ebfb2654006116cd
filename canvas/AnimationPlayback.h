// The animation preview of one canvas, on the Image's pixels: a classical range whose cells
// pass their pictures along at every step, or one scroll tile whose two halves scroll down a
// pixel at every step. The canvas owns one of these and drives it from its timer.
#pragma once

#include "CellGeometry.h"
#include "imaging/Bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace parvane::canvas {

// One step of a classical range from cell index first to cell index last (first != last):
// seen from the pressed cell `first`, cell e takes the picture of e + 1 (first < last) or of
// e - 1 (first > last), and `last` takes the picture that `first` had. tile is a cell-sized
// bitmap, best in the image's layout so that the copies are exact; nothing is allocated.
void stepRange(imaging::Bitmap& image, const CellGeometry& grid, int first, int last,
               imaging::Bitmap& tile);

// One step of a scroll tile in `cell`: the cell is read into tile, both halves of
// tile.height() / 2 rows move down one row, each half's bottom row becoming its top row, and
// the tile is written back. For an odd height the last row belongs to neither half and stays.
// rowBuffer holds one row of the tile; nothing is allocated.
void stepScrollTile(imaging::Bitmap& image, const imaging::Rect& cell, imaging::Bitmap& tile,
                    std::span<std::uint8_t> rowBuffer);

// The state of the animation preview of one canvas: which cells play, where in its cycle it
// stands, whether it keeps cycling, and the scratch tile and row it steps with.
class AnimationPlayback {
public:
    // Base timer intervals in milliseconds, multiplied by the owner's speed setting.
    static constexpr int kClassicalInterval = 80;
    static constexpr int kScrollInterval = 10;

    // What a timer tick did.
    enum class Tick {
        Stepped, // one step was performed
        Ended,   // the animation ended: tile and row buffer released, nothing more to do
        Idle,    // no animation was active
    };

    // Starts playing the cells from index first to index last of grid, a one-cell range as a
    // scroll tile. AnimTile takes the image's layout (the 32-bit working format for every
    // picture the loaders install), so that a completed cycle gives back every pixel exactly
    // also for pictures installed in another format. The grid is kept for the whole animation,
    // whatever happens to the canvas's grid meanwhile. Refused (returns false, nothing changes)
    // when either index is not a whole cell of the grid or a cell of the range does not lie inside
    // the image: stepping such cells could not bring the picture back. A cycle still under way is
    // completed at once first, so its cells hold their starting pictures before the new range
    // begins.
    bool start(imaging::Bitmap& image, const CellGeometry& grid, int first, int last);

    // One timer tick: a step, or the end of the animation once AnimRunning is false and the
    // cycle is complete.
    Tick tick(imaging::Bitmap& image);

    // Performs the remaining steps of the current cycle at once, so that every cell of the
    // range holds its starting picture again.
    void completeCycle(imaging::Bitmap& image);

    // Forgets the animation: tile and row buffer are released and nothing is active.
    void release();

    bool isActive() const { return active_; }
    bool isScroll() const { return active_ && AnimFirst == AnimLast; }
    // Smallest rectangle of the image that holds every cell of the range: what a step changes.
    imaging::Rect area() const;
    // The grid the animation keeps.
    const CellGeometry& grid() const { return grid_; }
    // Timer interval for the owner's speed setting: speed times AnimInterval, a speed below 1
    // counting as 1.
    int timerInterval(int speed) const;

    // Fields the owner and the canvas read and write directly.
    imaging::Rect AnimRect;
    int AnimFirst = 0;
    int AnimLast = 0;
    int AnimFrames = 0;
    int AnimStep = 0;
    bool AnimRunning = false;
    int AnimInterval = 0;
    imaging::Bitmap AnimTile;
    std::vector<std::uint8_t> AnimRowBuffer;

private:
    void step(imaging::Bitmap& image);

    CellGeometry grid_;
    bool active_ = false;
};

} // namespace parvane::canvas
