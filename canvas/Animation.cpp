// Range playback of the canvas. Ranges can be drawn, but they do not play yet: releasing
// a range hands the canvas back to Idle, and a tick of the animation timer finds nothing
// running and stops the timer. Range playback replaces this file.
#include "canvas/FrameStackCore.h"

namespace parvane::canvas {

void FrameStackCore::StartAnimation() {
    AnimRunning = false;
    SetModeToIdle();
}

void FrameStackCore::ShiftCellsOnTimer() {
    // No animation is ever running here, so every tick is the end of one.
    if (host_)
        host_->setAnimationTimer(false, AnimInterval);
    AnimTile = imaging::Bitmap();
    AnimRowBuffer.clear();
    AnimRunning = false;
    AnimStep = 0;
}

} // namespace parvane::canvas
