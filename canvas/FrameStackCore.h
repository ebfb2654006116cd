// The layered canvas without its widget: eight picture layers, the grid, the cutting
// cursor and the mouse modes, all without Qt, so that every action of a canvas can be run
// and checked without a display. TFrameStack (ImageStack.h) shows it on screen.
//
// Only the Image (and the clip, a cursor picture, the alpha view while it is shown) is kept
// as a whole bitmap. The layers that hold little (grid, selection frame and range outline,
// paste outline, the black temp and overlay layers) are kept as what they hold and drawn by
// Composite over the area being repainted; each still reads as its bitmap (see
// LayerPicture), so a canvas costs about its picture's bytes whatever the layers show.
//
// Coordinates are pixels of the panel (the port), which are also pixels of the Image's
// top-left part. Integers are signed 32-bit; divisions truncate toward zero.
//
// The tools built on the layers live in files of their own:
//   - StartAnimation() and ShiftCellsOnTimer() (Animation.cpp): a release in mode Range
//     calls StartAnimation(); the widget's TimerAnim ticks call ShiftCellsOnTimer(). The
//     timer is driven through CanvasHost::setAnimationTimer.
//   - ApplyTransformation() and the transformation cursor setters (Transformations.cpp): a
//     release in mode Transform calls it after UpIndex and CursorRect hold the released
//     cell; it applies the armed Tool.
//   - setCursorPictureFor() (FrameStackCursors.cpp) chooses the picture for the cell width
//     ("crRotate" etc. at 64, plain brackets at 32, 16 and 8), for the tool cursor setters;
//     setPointerShape() gives the canvas the tool's pointer shape.
// Code that changes layer pixels directly (animation steps, transformations, the owner's
// own edits of the Image) reports the changed area with Invalidate(area) so the widget
// repaints it. Only the canvas draws on the selection layer: it remembers what it drew
// there and clears just that at the next move.
#pragma once

#include "canvas/CanvasHost.h"
#include "canvas/CellGeometry.h"
#include "canvas/Layer.h"
#include "imaging/Bitmap.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace parvane::canvas {

// The state and operations of one canvas (layers, grid, cursor, modes) on plain bitmaps.
class FrameStackCore {
public:
    // Height below which the selection layer never shrinks, so that range outlines of the
    // tallest default views fit.
    static constexpr int kMinSelectionHeight = 1537;
    // Where parked layers (cursor and clip) wait, outside the port.
    static constexpr int kParkedLeft = -512;
    // Auto-scroll: distance from the visible edge that triggers it, and the step.
    static constexpr int kScrollMargin = 16;
    static constexpr int kScrollStep = 6;

    FrameStackCore();
    virtual ~FrameStackCore() = default;
    FrameStackCore(const FrameStackCore&) = delete;
    FrameStackCore& operator=(const FrameStackCore&) = delete;

    // The widget (or a test double) that shows this canvas; nullptr for none.
    void setHost(CanvasHost* host) { host_ = host; }
    CanvasHost* host() const { return host_; }

    // --- Colours -------------------------------------------------------------------------
    Colour TransparentColor = imaging::colours::kBlack;
    Colour FillColor{128, 0, 0};
    Colour GridColor{224, 224, 224};
    Colour GrabColor = imaging::colours::kYellow;
    Colour RangeColor = imaging::colours::kGreen;
    // Colours drawn as constants: the outer ring of the dotted grid and the paste frame.
    static constexpr Colour kGridRingColor{32, 32, 32};
    static constexpr Colour kPasteFrameColor = imaging::colours::kYellow;

    // --- Layers, bottom to top -----------------------------------------------------------
    Layer L1_Image;
    Layer L2_Alpha;
    Layer L3_Temp;
    Layer L4_Clip;
    Layer L5_Grid;
    Layer L6_Selection;
    Layer L7_Cursor;
    Layer L8_Overlay;
    // Layer by its number in the stack, 1 (Image) to 8 (Overlay).
    Layer& layer(int index) { return *layers_[static_cast<std::size_t>(index)]; }
    const Layer& layer(int index) const { return *layers_[static_cast<std::size_t>(index)]; }

    // --- Fields --------------------------------------------------------------------------
    std::int32_t MouseX = 0, MouseY = 0;
    std::int32_t CellWidth = 0, CellHeight = 0;
    std::int32_t GridOffsetX = 0, GridOffsetY = 0;
    Rect GridRect;
    std::int32_t GridCols = 0, GridRows = 0;
    bool SnapToGrid = false;
    canvas::GridStyle GridStyle = canvas::GridStyle::None;
    std::int32_t DownIndex = 0;
    Rect DownRect;
    std::int32_t UpIndex = 0;
    Rect CursorRect;
    Rect SelectionRect;
    CanvasMode Mode = CanvasMode::Idle;
    bool AutoExport = false; // also the AutoExport property
    // The tool the last cursor setter chose: set by SetCursorToDefault (None) and the five
    // transformation setters, kept through SetCursorToPaste.
    TransformTool Tool = TransformTool::None;
    Rect AnimRect;
    std::int32_t AnimFirst = 0, AnimLast = 0;
    std::int32_t AnimFrames = 0;
    std::int32_t AnimStep = 0;
    bool AnimRunning = false;
    std::int32_t AnimInterval = 0;
    imaging::Bitmap AnimTile;                // one cell, in the Image's layout, while it runs
    std::vector<std::uint8_t> AnimRowBuffer; // one row of AnimTile, while it runs

    // The name of Tool's cursor picture: "crNormal", "crRotate", "crHFlip", "crVFlip",
    // "crSwap" or "crHand".
    std::string_view CursorName() const { return toolLook(Tool).cursorName; }

    // --- Properties ----------------------------------------------------------------------
    // Reading gives the layer (or its bitmap); writing copies the given picture (size,
    // format and pixels) into the layer's own bitmap and leaves the other layers and the
    // port alone until UpdateStack. A picture given as a temporary is moved in, not copied;
    // a loader may also write straight into Bitmap().
    Layer& Image() { return L1_Image; }
    void setImage(const Layer& picture) { setBitmap(picture.bitmap); }
    imaging::Bitmap& Bitmap() { return L1_Image.bitmap.whole(); }
    const imaging::Bitmap& Bitmap() const { return L1_Image.bitmap.whole(); }
    void setBitmap(const imaging::Bitmap& picture);
    void setBitmap(imaging::Bitmap&& picture);
    Layer& Alpha() { return L2_Alpha; }
    void setAlpha(const imaging::Bitmap& picture);
    Layer& Clip() { return L4_Clip; }
    void setClip(const imaging::Bitmap& picture);
    const Layer& Grid() const { return L5_Grid; }
    Layer& Overlay() { return L8_Overlay; }
    void setOverlay(const imaging::Bitmap& picture);

    // --- Stack ---------------------------------------------------------------------------
    // Sets up the whole stack for a picture of width x height: black layers, default grid
    // of 64, mode Idle, no automatic export, cursor picture "crNormal".
    void InitStack(int width, int height);
    // Brings every layer and the port to the Image bitmap's size; from now on the Image is
    // enlarged with FillColor.
    void UpdateStack();
    // Shows the top-left width x height of the layers; no bitmap changes.
    void UpdateImagePort(int width, int height);
    // Fills the Alpha layer with a view of the Image's alpha information. The view is kept
    // while the layer is shown: hiding the Alpha layer releases it (black again).
    void ExtractAlpha();
    int PortWidth() const { return portWidth_; }
    int PortHeight() const { return portHeight_; }

    // --- Grid ----------------------------------------------------------------------------
    void InitGrid(int cellWidth, int cellHeight);
    void UpdateGrid();
    void ResetGrid();
    void GetGridRect(Rect& rect) const { rect = GridRect; }
    // Rectangle of the cell in column col, row row of the current grid.
    Rect CellRect(int col, int row) const;
    // Rectangle of cell index i (cells numbered row by row).
    Rect IndexRect(int index) const;

    // --- Mouse ---------------------------------------------------------------------------
    // The owner passes the overlay layer's events on to these, with panel pixels.
    void MouseIsOnMove(ShiftState shift, int x, int y);
    void MouseIsDown(MouseButton button, ShiftState shift, int x, int y);
    void MouseIsUp(MouseButton button, ShiftState shift, int x, int y);
    // Toggles between the locked and the free cursor, around MouseX, MouseY.
    void MouseIsDoubleClick();
    // The pointer left the canvas: cursor and clip layers wait outside the port.
    void ParkCursorLayers();

    // --- Modes and cursors ---------------------------------------------------------------
    void SetModeToIdle();
    void SetModeToGrab();
    void SetModeToPaste();
    void SetModeToRange();
    void SetModeToAnim();
    void SetModeToScroll();
    void SetModeToTransform();
    // Mode Idle, clip hidden, arrow pointer, Tool None ("crNormal") and its picture.
    void SetCursorToDefault();
    // Mode Paste, clip shown, move pointer, a yellow frame of the clip's size as cursor.
    void SetCursorToPaste();
    PointerShape CurrentPointerShape() const { return pointerShape_; }

    // --- Actions on the layers -----------------------------------------------------------
    void GrabSelection();
    void PasteClip();
    void DrawSelectionFrame();
    void DrawRangeOutline();
    void AutoScroll(int cx, int cy);

    // --- Animation preview (Animation.cpp) -----------------------------------------------
    // Plays the cells from DownIndex to UpIndex: a classical range (mode Anim) or, for one
    // cell, a scroll tile (mode Scroll). The grid of this moment is kept for the whole
    // animation. A range that does not lie on whole cells inside the Image does not play: the
    // canvas returns to Idle. A cycle still under way is completed at once first.
    void StartAnimation();
    // The timer's tick: one step, or, once AnimRunning is false and the cycle is complete,
    // the end (timer off, tile and row buffer released, mode Idle if still Anim or Scroll).
    void ShiftCellsOnTimer();
    // Completes the current cycle at once and ends the animation, so that every cell holds
    // its starting picture; for an owner about to replace the picture. Nothing when idle.
    void CompleteAnimation();
    // True from StartAnimation until the animation ends.
    bool AnimationActive() const { return animActive_; }
    // The owner's speed setting (1 to 4): the timer ticks every speed x AnimInterval ms.
    void SetAnimSpeed(int speed);
    // The grid the animation keeps (meaningful while AnimationActive()).
    const CellGeometry& AnimGrid() const { return animGrid_; }

    // --- Tile transformations (Transformations.cpp) --------------------------------------
    // Mode Transform with the tool as Tool, its pointer shape and its cursor picture; the
    // clip is hidden. A press and release then apply the tool.
    void SetCursorToRotate();
    void SetCursorToHFlip();
    void SetCursorToVFlip();
    void SetCursorToSwap();
    void SetCursorToShift();
    // Applies Tool to the pressed (and released) cell; nothing for None.
    void ApplyTransformation();
    // The current grid as cell arithmetic.
    CellGeometry CurrentGrid() const;

    // Told before a paste or a transformation changes pixels of the Image, with the area
    // about to change, so that the owner can keep what was there (its undo history).
    void setImageEditHook(std::function<void(const Rect& area)> hook) {
        imageEditHook_ = std::move(hook);
    }

    // --- Display -------------------------------------------------------------------------
    void setLayerVisible(Layer& layer, bool visible);
    void moveLayer(Layer& layer, int left, int top);
    // Marks an area of the panel (or all of it) as changed, after direct edits of a layer.
    void Invalidate(const Rect& area);
    void Invalidate();
    // Area of the panel changed since the last takeDirtyArea (empty when none).
    const Rect& dirtyArea() const { return dirty_; }
    Rect takeDirtyArea();
    // Composes the visible layers over area of the panel into out (32-bit, at least the
    // area's size; its (0, 0) is the area's top-left). Black where no layer draws. Layers
    // kept as marks (see LayerPicture) are drawn over the area only; nothing is allocated.
    void Composite(const Rect& area, imaging::Bitmap& out) const;

protected:
    // Loads the cursor picture for the current cell width: name64 at 64, the plain
    // brackets "cr32", "cr16", "cr08" at those widths; other widths keep the picture.
    void setCursorPictureFor(std::string_view name64);
    void loadCursorPicture(std::string_view name);
    void setPointerShape(PointerShape shape);
    void imageAboutToChange(const Rect& area) {
        if (imageEditHook_)
            imageEditHook_(area);
    }

private:
    // A drawing on the selection layer, remembered so that the next move clears only it.
    struct SelectionMark {
        Rect rect;
        Colour colour;
        bool frame = false; // a plain frame (not one of the areas of a range outline)
    };

    int cellW() const;
    int cellH() const;
    void markDirty(const Rect& area);
    void markLayerDirty(const Layer& layer);
    void setPort(int width, int height);
    // Composes the part shown of a layer kept as marks (see Composite).
    static void composeMarkedLayer(const Layer& layer, const Rect& shown, int ox, int oy,
                                   const Rect& area, imaging::Bitmap& out);
    void resizeUpperLayers(int width, int height);
    void clearSelectionLayer();
    // Turns the one frame on the selection layer into another of the same colour, touching
    // only the pixels that differ.
    void moveSelectionFrame(const Rect& from, const Rect& to, Colour colour);
    void rememberSelectionMark(const Rect& rect, Colour colour, bool frame);
    // True when the selection layer holds exactly this frame and nothing else.
    bool selectionHoldsOnly(const Rect& frame, Colour colour) const;
    void drawDottedGrid();
    // Clears the port and dots the grid on a 32-bit grid layer in one pass over its rows;
    // the same pixels as the fill and drawDottedGrid.
    void clearAndDotGridRows();
    void drawGridLines();
    // Cell under a raw pointer position (press and release).
    void pointerCell(int x, int y, Rect& rect, std::int32_t& index) const;

    // Arms a tool: mode Transform (Idle for None), the clip hidden, the tool's pointer shape
    // and cursor picture.
    void setTool(TransformTool tool);
    bool isWholeCell(std::int32_t index, const Rect& rect) const;
    void stepAnimation();
    void completeAnimationCycle();
    void endAnimation();
    // Stops the animation where it stands, without a step and without changing the mode.
    void abandonAnimation();

    std::array<Layer*, 9> layers_{};
    CanvasHost* host_ = nullptr;
    int portWidth_ = 0;
    int portHeight_ = 0;
    Rect dirty_;
    PointerShape pointerShape_ = PointerShape::Arrow;
    // Borders drawn on the selection layer since it was last cleared; the frame and the
    // range outline need at most four together.
    std::array<SelectionMark, 8> selectionMarks_{};
    int selectionMarkCount_ = 0;
    // The selection layer may hold drawings that are not remembered: clear it whole.
    bool selectionNeedsFullClear_ = true;
    // The animation that plays: the grid it started with, and whether it is active.
    CellGeometry animGrid_;
    bool animActive_ = false;
    std::function<void(const Rect&)> imageEditHook_;
    // The alpha view was released when its layer was hidden: showing it makes it again.
    bool alphaViewReleased_ = false;
};

} // namespace parvane::canvas
