// One picture layer of a canvas: a bitmap drawn at its own place on the panel, either
// opaque or with black as its see-through key.
#pragma once

#include "canvas/LayerPicture.h"
#include "imaging/Bitmap.h"

namespace parvane::canvas {

using imaging::Colour;
using imaging::Point;
using imaging::Rect;

// A picture control of the layer stack: it owns its picture and knows where and how the
// panel shows it. Change its placement and visibility through the canvas (which records
// the area to repaint); after editing the pixels of a layer directly, call the canvas's
// Invalidate.
struct Layer {
    // Reads and writes as the layer's bitmap; see LayerPicture for how it is kept.
    LayerPicture bitmap;
    // Top-left corner on the panel.
    int left = 0;
    int top = 0;
    // Size on the panel when the layer neither fills the panel nor follows its bitmap.
    int width = 0;
    int height = 0;
    bool visible = false;
    // Black pixels let the layers below show through.
    bool transparent = true;
    // Fills the panel: placed at (0, 0) with the size of the port.
    bool aligned = true;
    // On-screen size follows the bitmap's size.
    bool autoSize = false;
    // Colour of the area added when the bitmap is enlarged through resize().
    Colour paint = imaging::colours::kBlack;

    // Area of the panel the layer covers, for a port of portWidth x portHeight.
    Rect screenRect(int portWidth, int portHeight) const {
        if (aligned)
            return {0, 0, portWidth, portHeight};
        if (autoSize)
            return Rect::fromSize(left, top, bitmap.width(), bitmap.height());
        return Rect::fromSize(left, top, width, height);
    }

    // Crops or enlarges the bitmap; the added area takes the layer's paint colour.
    void resize(int newWidth, int newHeight) { bitmap.resize(newWidth, newHeight, paint); }
};

} // namespace parvane::canvas
