#include "app/WindowCodes.h"

#include "canvas/FrameStackCore.h"

#include <algorithm>
#include <array>

namespace parvane::app {

namespace {

using canvas::FrameStackCore;
using canvas::PointerShape;

// The one table of the tools: the cursor names are those the canvas keeps while a tool is
// armed (and the names of its cursor pictures).
constexpr std::array<ToolEntry, 6> kTools{{
    {TransformTool::None, "SpeedButtonNone", "crNormal", PointerShape::Arrow,
     &FrameStackCore::SetCursorToDefault},
    {TransformTool::Rotate, "SpeedButtonRotate", "crRotate", PointerShape::Cross,
     &FrameStackCore::SetCursorToRotate},
    {TransformTool::HFlip, "SpeedButtonHFlip", "crHFlip", PointerShape::Cross,
     &FrameStackCore::SetCursorToHFlip},
    {TransformTool::VFlip, "SpeedButtonVFlip", "crVFlip", PointerShape::Cross,
     &FrameStackCore::SetCursorToVFlip},
    {TransformTool::Swap, "SpeedButtonSwap", "crSwap", PointerShape::Drag,
     &FrameStackCore::SetCursorToSwap},
    {TransformTool::Move, "SpeedButtonMove", "crHand", PointerShape::MultiDrag,
     &FrameStackCore::SetCursorToShift},
}};

} // namespace

std::span<const ToolEntry> transformTools() {
    return kTools;
}

const ToolEntry& toolEntry(TransformTool tool) {
    return kTools[static_cast<std::size_t>(tool)];
}

TransformTool armedTool(const canvas::FrameStackCore& canvas) {
    if (canvas.Mode != canvas::CanvasMode::Transform)
        return TransformTool::None;
    const auto found = std::find_if(kTools.begin() + 1, kTools.end(), [&](const ToolEntry& e) {
        return canvas.CursorName == e.cursorName;
    });
    return found == kTools.end() ? TransformTool::None : found->tool;
}

} // namespace parvane::app
