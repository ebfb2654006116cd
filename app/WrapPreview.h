// The wrap-around preview: a small tool window that shows one tile repeated 3 x 3, so that
// the seams a texture makes when it repeats in a level are seen before it goes in. It shows
// the tile under the pointer on either canvas, or the current tile while the pointer is
// elsewhere, and follows edits of the canvas it shows. It is not modal and stays above the
// main window; Escape or its close button closes it. As a tool window of the main window it
// shares the main window's keys: the canvases' zoom keys zoom it, and Escape closes it,
// while it is the active window.
#pragma once

#include "imaging/Bitmap.h"

#include <QWidget>

class QCheckBox;
class QLabel;

namespace parvane::canvas {
class TFrameStack;
}

namespace parvane::app {

struct TextTable;

// The 3 x 3 repeat of a tile (32 bits) into `out`, one repeat 64 x zoom pixels along the tile's
// longer side: a 64 x 64 tile has each pixel a square of zoom x zoom and `out` 192 * zoom
// square. A half offset starts the repeat half the tile's size into it both ways (32 pixels
// for a cell), so that the tile's edges meet in the middle of the picture.
void composeWrap(const imaging::Bitmap& tile, bool halfOffset, int zoom, imaging::Bitmap& out);

class WrapPreview : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTileSide = 64;
    static constexpr int kRepeat = 3;
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 4;

    explicit WrapPreview(QWidget* mainWindow);

    // What is shown: the 64 x 64 cell of a canvas whose top-left corner is (left, top), or
    // the current tile, whole at any size. Pixels outside the picture are black.
    void showCell(canvas::TFrameStack& canvas, int left, int top);
    void showCurrentTile(const imaging::Bitmap& tile);
    // Reads the shown cell again (its canvas changed); the current tile is given anew.
    void refresh();
    // The canvas whose cell shows, nullptr for the current tile.
    const canvas::TFrameStack* shownCanvas() const { return canvas_; }
    // The top-left corner of the cell shown, in the canvas's picture pixels.
    QPoint shownCorner() const { return {left_, top_}; }
    // Puts the window beside the main window's frame the first time it shows; later it
    // opens where the user left it.
    void placeBeside(const QRect& mainFrame);

    bool halfOffset() const;
    void setHalfOffset(bool on);
    int zoom() const { return zoom_; }
    void setZoom(int zoom);

    // The composed picture, as painted.
    const imaging::Bitmap& picture() const { return picture_; }
    void applyTexts(const TextTable& texts);

signals:
    // The window was shown or closed.
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void recompose();
    void showSubject();

    class Picture;
    Picture* view_ = nullptr;
    QCheckBox* halfOffset_ = nullptr;
    QLabel* subject_ = nullptr;
    canvas::TFrameStack* canvas_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int zoom_ = 2;
    int wheelAngle_ = 0;
    bool placed_ = false;
    imaging::Bitmap tile_;
    imaging::Bitmap picture_;
};

} // namespace parvane::app
