// The small vocabulary the canvas state shares with whatever shows it: interaction modes,
// mouse buttons, held keys, pointer shapes, grid looks, the transformation tools, and the
// interface through which the state reaches its widget (scrolling, repainting, clipboard,
// cursor pictures, timer).
#pragma once

#include "imaging/Bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace parvane::canvas {

// Interaction mode of a canvas; the values are those the owner reads from Mode.
enum class CanvasMode : std::int32_t {
    Idle = 0,      // the cursor shows where a press would act
    Grab = 1,      // left button held after a press in Idle: the selection frame follows
    Paste = 2,     // the clip follows the pointer and a press pastes it
    Range = 3,     // right button held after a press in Idle: the range outline follows
    Anim = 4,      // a classical animation plays
    Scroll = 5,    // a scroll-tile animation plays
    Transform = 6, // press and release apply the chosen transformation tool
};

enum class MouseButton { Left, Right, Middle };

// Keys held during a mouse event; the canvas itself only looks at Ctrl.
struct ShiftState {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Pointer shapes the cursor setters give the whole canvas.
enum class PointerShape {
    Arrow,     // the default arrow
    SizeAll,   // four-headed move arrow (paste)
    Cross,     // crosshair (rotate and flips)
    Drag,      // drag arrow (swap)
    MultiDrag, // multiple-drag arrow (shift)
};

// The grid's look. None draws no grid at all, whatever the grid layer's visibility.
enum class GridStyle : std::int32_t { None = 0, Dotted = 1, Lines = 2 };

// The tools a press and release in mode Transform apply; None is the ordinary cursor of a
// canvas with no tool armed.
enum class TransformTool { None, Rotate, HFlip, VFlip, Swap, Move };

// How an armed tool shows: the name of its 64-pixel cursor picture, which is also the name
// the canvas gives for the tool (CursorName), and the pointer shape over the canvas.
struct ToolLook {
    TransformTool tool;
    std::string_view cursorName;
    PointerShape shape;
};

// The one table of the tools' looks, in the order of TransformTool.
inline constexpr std::array<ToolLook, 6> kToolLooks{{
    {TransformTool::None, "crNormal", PointerShape::Arrow},
    {TransformTool::Rotate, "crRotate", PointerShape::Cross},
    {TransformTool::HFlip, "crHFlip", PointerShape::Cross},
    {TransformTool::VFlip, "crVFlip", PointerShape::Cross},
    {TransformTool::Swap, "crSwap", PointerShape::Drag},
    {TransformTool::Move, "crHand", PointerShape::MultiDrag},
}};

static_assert(
    [] {
        for (std::size_t i = 0; i < kToolLooks.size(); ++i)
            if (static_cast<std::size_t>(kToolLooks[i].tool) != i)
                return false;
        return true;
    }(),
    "kToolLooks follows the order of TransformTool");

constexpr const ToolLook& toolLook(TransformTool tool) {
    return kToolLooks[static_cast<std::size_t>(tool)];
}

// Scroll state of the box that shows the port.
struct ScrollView {
    int x = 0;             // horizontal scroll position
    int y = 0;             // vertical scroll position
    int visibleWidth = 0;  // client width of the scroll box
    int visibleHeight = 0; // client height of the scroll box
};

// What the canvas state needs from the widget that shows it. Every method has a harmless
// default, so a canvas without a widget (tests, benchmarks, tools) works as it is.
class CanvasHost {
public:
    virtual ~CanvasHost() = default;

    virtual ScrollView scrollView() const { return {}; }
    // The scroll box keeps the position within its range.
    virtual void setScrollPosition(int /*x*/, int /*y*/) {}
    // The port (the panel) took a new size.
    virtual void portResized(int /*width*/, int /*height*/) {}
    // An area of the panel changed and must be repainted.
    virtual void areaChanged(const imaging::Rect& /*area*/) {}
    virtual void pointerShapeChanged(PointerShape /*shape*/) {}
    // Puts a grabbed clip on the system clipboard (automatic export).
    virtual void exportClip(const imaging::Bitmap& /*clip*/) {}
    // The cursor picture of that name ("crNormal", "cr32", ...), or nullptr when unknown.
    virtual const imaging::Bitmap* cursorPicture(std::string_view /*name*/) { return nullptr; }
    // Starts (with the interval in milliseconds) or stops the animation timer.
    virtual void setAnimationTimer(bool /*enabled*/, int /*intervalMs*/) {}
};

} // namespace parvane::canvas
