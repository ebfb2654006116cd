// Transformations applied by a press and release in mode Transform. The canvas offers no
// transformation tools yet (no setter names one in CursorName), so a release applies
// nothing and the mode stays Transform; the tile transformations replace this file.
#include "canvas/FrameStackCore.h"

namespace parvane::canvas {

void FrameStackCore::ApplyTransformation() {}

} // namespace parvane::canvas
