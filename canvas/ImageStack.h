// TFrameStack, the canvas component of the main window (Source and Target): the layer
// stack of FrameStackCore shown on a panel inside a scroll box, with the file-drop field,
// the animation timer and the overlay's mouse events.
//
// The canvas raises no actions of its own from the mouse: the panel (the overlay layer on
// screen) emits overlayMousePressed / overlayMouseMoved / overlayMouseReleased /
// overlayDoubleClicked in panel pixels, and the owner's handlers call MouseIsDown /
// MouseIsOnMove / MouseIsUp / MouseIsDoubleClick. A double click is reported as
// overlayDoubleClicked followed by overlayMousePressed for the second press, as the
// platform delivers it (left button only; other buttons give plain presses); an owner that
// wants no double clicks (the Target) simply does not connect overlayDoubleClicked.
// Leaving the panel parks the cursor and clip layers.
//
// Dropped files: the first local file's full path becomes the text of DragNDrop (which
// reads "NO" otherwise); the owner reacts to DragNDrop's textChanged and sets it back.
//
// Zoom (1x to 4x) lives in the widget alone: the panel shows every picture pixel as a square
// of zoom x zoom screen pixels, sharp, and reports the mouse in picture pixels, so the canvas
// state, its mouse operations and its repaint areas stay in picture pixels. Ctrl and the
// mouse wheel zoom around the pointer; the owner may call setZoom for its keys.
#pragma once

#include "canvas/FrameStackCore.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QLineEdit;
class QPainter;
class QScrollArea;
class QTimer;
class QImage;

namespace parvane::canvas {

class StackPanel;

// Converts between the canvas's 32-bit bitmaps and Qt images (any QImage in, RGB32 out).
imaging::Bitmap bitmapFromImage(const QImage& image);
QImage imageFromBitmap(const imaging::Bitmap& bitmap);

// The canvas widget: shows a FrameStackCore and turns Qt's events into its terms.
class TFrameStack : public QWidget, public FrameStackCore {
    Q_OBJECT

public:
    explicit TFrameStack(QWidget* parent = nullptr);
    ~TFrameStack() override;

    // The core's operations with Qt's button and modifier types.
    using FrameStackCore::MouseIsDown;
    using FrameStackCore::MouseIsOnMove;
    using FrameStackCore::MouseIsUp;
    void MouseIsOnMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseIsDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseIsUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    // Components the owner works on.
    QScrollArea* ScrollBoxImageStack = nullptr;
    // The panel of the port's size; it paints the layers and is the overlay that receives
    // the mouse (give it a pointer shape of its own for tools such as a colour picker).
    StackPanel* BasePanel = nullptr;
    QLineEdit* DragNDrop = nullptr;
    QTimer* TimerAnim = nullptr;

    static MouseButton toMouseButton(Qt::MouseButton button);
    static ShiftState toShiftState(Qt::KeyboardModifiers modifiers);

    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 4;
    int zoom() const;
    // Zooms to the factor (kept within 1 to 4), keeping the picture point under `anchor` (a
    // point of the scroll box's visible area) where it is; the centre of that area without one.
    void setZoom(int zoom);
    void setZoom(int zoom, QPoint anchor);

    // Marks drawn over the shown picture by the owner (outlines of cells, say): they are
    // painted on the screen only, never into a layer, so saving and undo do not see them.
    // The painter works in picture pixels (scaled by the zoom) and is clipped to the area
    // being repainted. An empty function draws nothing.
    using OverlayPainter = std::function<void(QPainter& painter, const imaging::Rect& area)>;
    void setOverlayPainter(OverlayPainter painter);
    // The owner's marks changed: the panel is painted again.
    void updateOverlay();

signals:
    void overlayMousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void overlayMouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void overlayMouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                              int y);
    void overlayDoubleClicked(int x, int y);
    // The pointer left the picture.
    void overlayLeft();
    void zoomChanged(int zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Host;
    std::unique_ptr<Host> hostAdapter_;
    int wheelAngle_ = 0; // wheel turn not yet made into a zoom step
};

// The panel that shows the port: composes the layers over the area Qt asks to repaint and
// passes the mouse on as the overlay layer's events.
class StackPanel : public QWidget {
    Q_OBJECT

public:
    explicit StackPanel(FrameStackCore& core, QWidget* parent = nullptr);

    int zoom() const { return zoom_; }
    // Screen pixels per picture pixel; the panel takes the port's size times the zoom.
    void setZoom(int zoom);
    // The port took a new size (picture pixels).
    void fitPort();
    // Repaints an area given in picture pixels.
    void updatePictureArea(const imaging::Rect& area);
    // The picture pixel under a point of the panel (rounding down, also left of or above it).
    QPoint picturePoint(QPoint panelPoint) const;
    void setOverlayPainter(TFrameStack::OverlayPainter painter) {
        overlayPainter_ = std::move(painter);
    }

signals:
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void released(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void doubleClicked(int x, int y);
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    FrameStackCore& core_;
    imaging::Bitmap scratch_; // composition buffer, grown as needed, never per move
    imaging::Bitmap zoomed_;  // the composed area enlarged by the zoom, grown likewise
    int zoom_ = 1;
    TFrameStack::OverlayPainter overlayPainter_;
};

} // namespace parvane::canvas
