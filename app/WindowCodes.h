// The window's codes by name: the items of the two menus, the grid's look, the positions of
// the size selector and the Target's transformation tools. Each is defined once, here or
// (the grid's look and the tools, which the canvas keeps) in the canvas; the menus, the
// shortcuts, the workflows and the tests all use these names.
#pragma once

#include "canvas/CanvasHost.h"

namespace parvane::canvas {
class FrameStackCore;
}

namespace parvane::app {

// The Source menu, in its order. Item 0 names what the Source shows; choosing it replays the
// last load (None while nothing was loaded). The last item is a command on the Source's
// picture file, never a load: it is never the replay's choice.
enum class SourceItem {
    None = 0,
    Picture = 1,
    LevelTextures = 2,
    AnimatedTextures = 3,
    EditPicture = 4
};

// The Target menu, in its order. Item 0 names the Target's file or state.
enum class TargetItem { Caption = 0, Save = 1, CreateNew = 2, Reload = 3 };

constexpr int menuIndex(SourceItem item) {
    return static_cast<int>(item);
}
constexpr int menuIndex(TargetItem item) {
    return static_cast<int>(item);
}

// The grid's look, as the style button chooses it (Dotted or Lines): the canvas's own.
using canvas::GridStyle;

// The cell side the grid selector's position 0 to 3 stands for: 8, 16, 32 or 64 pixels.
constexpr int gridCellSize(int position) {
    return 8 << (position < 0 ? 0 : position > 3 ? 3 : position);
}

// The positions of the size selector: what a cut becomes. Its arrows wrap from the last
// position to the first.
enum class SizePosition {
    AsCut = 1,        // the cut unresized
    OneTile = 2,      // 64 x 64
    TwoTiles = 3,     // 128 x 128
    FourTiles = 4,    // 256 x 256
    NearestTiles = 5, // each side to the nearest multiple of a tile
    ScrollTile = 6,   // a 64 x 32 half, repeated below itself
};
constexpr int kFirstSizePosition = static_cast<int>(SizePosition::AsCut);
constexpr int kLastSizePosition = static_cast<int>(SizePosition::ScrollTile);

// The Target's transformation tools: the canvas's own, which also knows how each shows
// (cursor name and pointer shape, canvas::toolLook).
using canvas::TransformTool;

// The button that arms each tool, and the canvas setter it calls.
struct ToolEntry {
    TransformTool tool;
    const char* button;                    // object name of the tool's button
    void (canvas::FrameStackCore::*arm)(); // puts the canvas in the tool's mode
};

// The button and setter of a tool.
const ToolEntry& toolEntry(TransformTool tool);

} // namespace parvane::app
