#include "app/WindowCodes.h"

#include "canvas/FrameStackCore.h"

#include <array>

namespace parvane::app {

namespace {

using canvas::FrameStackCore;

// The one table of the tools' buttons; how each tool shows is the canvas's table.
constexpr std::array<ToolEntry, 6> kTools{{
    {TransformTool::None, "SpeedButtonNone", &FrameStackCore::SetCursorToDefault},
    {TransformTool::Rotate, "SpeedButtonRotate", &FrameStackCore::SetCursorToRotate},
    {TransformTool::HFlip, "SpeedButtonHFlip", &FrameStackCore::SetCursorToHFlip},
    {TransformTool::VFlip, "SpeedButtonVFlip", &FrameStackCore::SetCursorToVFlip},
    {TransformTool::Swap, "SpeedButtonSwap", &FrameStackCore::SetCursorToSwap},
    {TransformTool::Move, "SpeedButtonMove", &FrameStackCore::SetCursorToShift},
}};
static_assert(
    [] {
        for (std::size_t i = 0; i < kTools.size(); ++i)
            if (static_cast<std::size_t>(kTools[i].tool) != i)
                return false;
        return true;
    }(),
    "kTools follows the order of TransformTool");

} // namespace

const ToolEntry& toolEntry(TransformTool tool) {
    return kTools[static_cast<std::size_t>(tool)];
}

} // namespace parvane::app
