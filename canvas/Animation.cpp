// The animation preview of a canvas: a range drawn with the right button plays on the
// Image's own pixels, one step per timer tick, and always stops on a completed cycle so that
// the cells hold their starting pictures again.
//
// The animation keeps the grid it started with: the steps copy cells of that grid and the
// tile and row buffer have its cell size, whatever the owner does to the canvas's grid
// meanwhile. Should the Image shrink so that the range no longer lies inside it (a new,
// smaller picture), the animation ends at the next tick without another step, instead of
// shuffling the new picture's cells; InitStack, which clears the picture, stops it at once.
// An owner about to install another picture of the same size calls CompleteAnimation first.
#include "canvas/AnimationSteps.h"
#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <cstdlib>

namespace parvane::canvas {

CellGeometry FrameStackCore::CurrentGrid() const {
    return {cellW(), cellH(), GridOffsetX, GridOffsetY, GridCols, GridRows};
}

void FrameStackCore::StartAnimation() {
    const CellGeometry grid = CurrentGrid();
    if (!rangeFits(grid, DownIndex, UpIndex, L1_Image.bitmap)) {
        SetModeToIdle();
        return;
    }
    // An earlier animation still finishing its cycle gives its cells back first, so that
    // the new range starts from the pictures the user sees as the starting ones.
    completeAnimationCycle();

    SetModeToAnim();
    AnimTile = animationTile(grid, L1_Image.bitmap);
    AnimRowBuffer.assign(tileRowBytes(AnimTile), 0);
    AnimFirst = DownIndex;
    AnimLast = UpIndex;
    AnimFrames = std::abs(AnimLast - AnimFirst) + 1;
    AnimRect = {0, 0, grid.cellWidth, grid.cellHeight};
    AnimStep = 0;
    AnimRunning = true;
    AnimInterval = kClassicalAnimInterval;
    if (AnimFirst == AnimLast) {
        AnimFrames = scrollFrames(grid.cellHeight);
        AnimInterval = kScrollAnimInterval;
        SetModeToScroll();
    }
    animGrid_ = grid;
    animActive_ = true;
    if (host_)
        host_->setAnimationTimer(true, AnimInterval);
}

void FrameStackCore::ShiftCellsOnTimer() {
    if (!animActive_) {
        // A tick left over from an animation that has ended.
        if (host_)
            host_->setAnimationTimer(false, 0);
        return;
    }
    if (!rangeFits(animGrid_, AnimFirst, AnimLast, L1_Image.bitmap) ||
        (!AnimRunning && AnimStep == 0)) {
        endAnimation();
        return;
    }
    stepAnimation();
}

void FrameStackCore::CompleteAnimation() {
    if (!animActive_)
        return;
    AnimRunning = false;
    completeAnimationCycle();
    endAnimation();
}

void FrameStackCore::SetAnimSpeed(int speed) {
    if (host_)
        host_->setAnimationTimer(animActive_, animationTimerInterval(AnimInterval, speed));
}

void FrameStackCore::stepAnimation() {
    if (AnimFirst == AnimLast)
        stepScrollTile(L1_Image.bitmap, animGrid_.indexRect(AnimFirst), AnimTile, AnimRowBuffer);
    else
        stepRange(L1_Image.bitmap, animGrid_, AnimFirst, AnimLast, AnimTile);
    AnimStep = AnimFrames > 1 ? (AnimStep + 1) % AnimFrames : 0;
    markDirty(rangeArea(animGrid_, AnimFirst, AnimLast));
}

void FrameStackCore::completeAnimationCycle() {
    if (!animActive_ || !rangeFits(animGrid_, AnimFirst, AnimLast, L1_Image.bitmap))
        return;
    // At most one cycle's worth of steps, however the step counter was left.
    for (int k = std::max(1, AnimFrames); AnimStep != 0 && k > 0; --k)
        stepAnimation();
}

void FrameStackCore::abandonAnimation() {
    if (host_)
        host_->setAnimationTimer(false, 0);
    AnimTile = imaging::Bitmap();
    std::vector<std::uint8_t>().swap(AnimRowBuffer);
    animActive_ = false;
}

void FrameStackCore::endAnimation() {
    abandonAnimation();
    // The owner may already have chosen another mode (pasting, a tool); that one stays.
    if (Mode == CanvasMode::Anim || Mode == CanvasMode::Scroll)
        SetModeToIdle();
}

} // namespace parvane::canvas
