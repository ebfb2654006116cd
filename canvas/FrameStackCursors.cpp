// The cursor setters: mode, clip visibility, pointer shape and the picture on the cursor
// layer.
#include "canvas/FrameStackCore.h"

namespace parvane::canvas {

void FrameStackCore::setPointerShape(PointerShape shape) {
    pointerShape_ = shape;
    if (host_)
        host_->pointerShapeChanged(shape);
}

void FrameStackCore::loadCursorPicture(std::string_view name) {
    const imaging::Bitmap* picture = host_ ? host_->cursorPicture(name) : nullptr;
    if (!picture)
        return; // no such picture: the cursor layer keeps the one it has
    if (L7_Cursor.visible)
        markLayerDirty(L7_Cursor);
    L7_Cursor.bitmap = picture->converted(imaging::PixelFormat::Bits32);
    if (L7_Cursor.visible)
        markLayerDirty(L7_Cursor);
}

void FrameStackCore::setCursorPictureFor(std::string_view name64) {
    switch (CellWidth) {
    case 64:
        loadCursorPicture(name64);
        break;
    case 32:
        loadCursorPicture("cr32");
        break;
    case 16:
        loadCursorPicture("cr16");
        break;
    case 8:
        loadCursorPicture("cr08");
        break;
    default:
        break; // other cell widths keep the picture the layer has
    }
}

void FrameStackCore::SetCursorToDefault() {
    setTool(TransformTool::None);
}

void FrameStackCore::SetCursorToPaste() {
    Mode = CanvasMode::Paste;
    setLayerVisible(L4_Clip, true);
    setPointerShape(PointerShape::SizeAll);
    // The cursor becomes a yellow outline of the clip's size, whatever the cell size, so
    // that the user sees exactly what a press will cover.
    if (L7_Cursor.visible)
        markLayerDirty(L7_Cursor);
    const int width = L4_Clip.bitmap.width();
    const int height = L4_Clip.bitmap.height();
    LayerPicture& cursor = L7_Cursor.bitmap;
    if (cursor.pinned()) {
        cursor = imaging::Bitmap(width, height, imaging::PixelFormat::Bits32);
        cursor.drawFrame(cursor.rect(), kPasteFrameColor);
    } else {
        // Kept as its frame: a clip as large as the picture costs no second picture.
        cursor.makeBlank(width, height);
        cursor.addMark({cursor.rect(), kPasteFrameColor, cursor.rect()});
    }
    if (L7_Cursor.visible)
        markLayerDirty(L7_Cursor);
}

} // namespace parvane::canvas
