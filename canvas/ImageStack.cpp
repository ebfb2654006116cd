#include "canvas/ImageStack.h"

#include "resources/Resources.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <optional>

namespace parvane::canvas {

using imaging::PixelFormat;

imaging::Bitmap bitmapFromImage(const QImage& image) {
    if (image.isNull())
        return imaging::Bitmap(0, 0, PixelFormat::Bits32);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    imaging::Bitmap out(argb.width(), argb.height(), PixelFormat::Bits32);
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(out.row(y), argb.constScanLine(y), 4 * static_cast<std::size_t>(argb.width()));
    return out;
}

QImage imageFromBitmap(const imaging::Bitmap& bitmap) {
    const imaging::Bitmap wide = bitmap.format() == PixelFormat::Bits32
                                     ? imaging::Bitmap()
                                     : bitmap.converted(PixelFormat::Bits32);
    const imaging::Bitmap& source = bitmap.format() == PixelFormat::Bits32 ? bitmap : wide;
    QImage image(source.width(), source.height(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(image.scanLine(y), source.row(y), 4 * static_cast<std::size_t>(source.width()));
    return image;
}

// Connects the canvas state to this widget: scroll box, panel, pointer shape, clipboard,
// cursor pictures from the program's resources and the animation timer.
class TFrameStack::Host : public CanvasHost {
public:
    explicit Host(TFrameStack& stack) : stack_(stack) {}

    // The canvas sees its scroll box in picture pixels, whatever the zoom.
    ScrollView scrollView() const override {
        const QScrollArea* box = stack_.ScrollBoxImageStack;
        const int zoom = stack_.BasePanel->zoom();
        return {box->horizontalScrollBar()->value() / zoom,
                box->verticalScrollBar()->value() / zoom, box->viewport()->width() / zoom,
                box->viewport()->height() / zoom};
    }

    void setScrollPosition(int x, int y) override {
        const int zoom = stack_.BasePanel->zoom();
        stack_.ScrollBoxImageStack->horizontalScrollBar()->setValue(x * zoom);
        stack_.ScrollBoxImageStack->verticalScrollBar()->setValue(y * zoom);
    }

    void portResized(int /*width*/, int /*height*/) override { stack_.BasePanel->fitPort(); }

    void areaChanged(const imaging::Rect& area) override {
        stack_.BasePanel->updatePictureArea(area);
    }

    void pointerShapeChanged(PointerShape shape) override {
        switch (shape) {
        case PointerShape::Arrow:
            stack_.setCursor(Qt::ArrowCursor);
            break;
        case PointerShape::SizeAll:
            stack_.setCursor(Qt::SizeAllCursor);
            break;
        case PointerShape::Cross:
            stack_.setCursor(Qt::CrossCursor);
            break;
        case PointerShape::Drag:
            stack_.setCursor(Qt::DragMoveCursor);
            break;
        case PointerShape::MultiDrag:
            stack_.setCursor(Qt::DragCopyCursor);
            break;
        }
    }

    void exportClip(const imaging::Bitmap& clip) override {
        if (QClipboard* clipboard = QApplication::clipboard())
            clipboard->setImage(imageFromBitmap(clip));
    }

    const imaging::Bitmap* cursorPicture(std::string_view name) override {
        const std::string key(name);
        auto found = pictures_.find(key);
        if (found == pictures_.end()) {
            const QImage image(resources::cursorPicturePath(QString::fromStdString(key)));
            std::optional<imaging::Bitmap> picture;
            if (!image.isNull())
                picture = bitmapFromImage(image);
            found = pictures_.emplace(key, std::move(picture)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

    void setAnimationTimer(bool enabled, int intervalMs) override {
        if (intervalMs > 0)
            stack_.TimerAnim->setInterval(intervalMs);
        if (enabled)
            stack_.TimerAnim->start();
        else
            stack_.TimerAnim->stop();
    }

private:
    TFrameStack& stack_;
    std::map<std::string, std::optional<imaging::Bitmap>> pictures_;
};

TFrameStack::TFrameStack(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBoxImageStack = new QScrollArea(this);
    ScrollBoxImageStack->setObjectName(QStringLiteral("ScrollBoxImageStack"));
    ScrollBoxImageStack->setWidgetResizable(false);
    ScrollBoxImageStack->setBackgroundRole(QPalette::Button);
    layout->addWidget(ScrollBoxImageStack);

    BasePanel = new StackPanel(*this);
    BasePanel->setObjectName(QStringLiteral("BasePanel"));
    BasePanel->resize(0, 0);
    ScrollBoxImageStack->setWidget(BasePanel);

    DragNDrop = new QLineEdit(QStringLiteral("NO"), ScrollBoxImageStack);
    DragNDrop->setObjectName(QStringLiteral("DragNDrop"));
    DragNDrop->hide();

    TimerAnim = new QTimer(this);
    TimerAnim->setObjectName(QStringLiteral("TimerAnim"));
    TimerAnim->setTimerType(Qt::PreciseTimer);
    connect(TimerAnim, &QTimer::timeout, this, [this] { ShiftCellsOnTimer(); });

    connect(BasePanel, &StackPanel::pressed, this, &TFrameStack::overlayMousePressed);
    connect(BasePanel, &StackPanel::moved, this, &TFrameStack::overlayMouseMoved);
    connect(BasePanel, &StackPanel::released, this, &TFrameStack::overlayMouseReleased);
    connect(BasePanel, &StackPanel::doubleClicked, this, &TFrameStack::overlayDoubleClicked);
    connect(BasePanel, &StackPanel::left, this, [this] {
        ParkCursorLayers();
        emit overlayLeft();
    });
    ScrollBoxImageStack->viewport()->installEventFilter(this);

    setAcceptDrops(true);
    hostAdapter_ = std::make_unique<Host>(*this);
    setHost(hostAdapter_.get());
}

TFrameStack::~TFrameStack() {
    setHost(nullptr);
    ScrollBoxImageStack->viewport()->removeEventFilter(this);
    // The children go first, while the state they refer to still exists.
    delete ScrollBoxImageStack;
}

MouseButton TFrameStack::toMouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    default:
        return MouseButton::Middle;
    }
}

ShiftState TFrameStack::toShiftState(Qt::KeyboardModifiers modifiers) {
    return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
            modifiers.testFlag(Qt::AltModifier)};
}

void TFrameStack::MouseIsOnMove(Qt::KeyboardModifiers modifiers, int x, int y) {
    FrameStackCore::MouseIsOnMove(toShiftState(modifiers), x, y);
}

void TFrameStack::MouseIsDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                              int y) {
    FrameStackCore::MouseIsDown(toMouseButton(button), toShiftState(modifiers), x, y);
}

void TFrameStack::MouseIsUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    FrameStackCore::MouseIsUp(toMouseButton(button), toShiftState(modifiers), x, y);
}

int TFrameStack::zoom() const {
    return BasePanel->zoom();
}

void TFrameStack::setOverlayPainter(OverlayPainter painter) {
    BasePanel->setOverlayPainter(std::move(painter));
    BasePanel->update();
}

void TFrameStack::updateOverlay() {
    BasePanel->update();
}

void TFrameStack::setZoom(int zoom) {
    const QWidget* view = ScrollBoxImageStack->viewport();
    setZoom(zoom, QPoint(view->width() / 2, view->height() / 2));
}

void TFrameStack::setZoom(int zoom, QPoint anchor) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const int old = BasePanel->zoom();
    if (zoom == old)
        return;
    QScrollBar* h = ScrollBoxImageStack->horizontalScrollBar();
    QScrollBar* v = ScrollBoxImageStack->verticalScrollBar();
    // The picture point under the anchor, in picture pixels with fractions.
    const double px = (h->value() + anchor.x()) / static_cast<double>(old);
    const double py = (v->value() + anchor.y()) / static_cast<double>(old);
    BasePanel->setZoom(zoom);
    // The scroll ranges follow the panel's new size at once, so the anchor can be kept.
    h->setRange(0, std::max(0, BasePanel->width() - ScrollBoxImageStack->viewport()->width()));
    v->setRange(0, std::max(0, BasePanel->height() - ScrollBoxImageStack->viewport()->height()));
    h->setValue(static_cast<int>(px * zoom) - anchor.x());
    v->setValue(static_cast<int>(py * zoom) - anchor.y());
    emit zoomChanged(zoom);
}

bool TFrameStack::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl and the wheel zoom around the pointer, over the picture or beside it; the wheel
    // alone scrolls as usual.
    // The event's type is looked at first: while the scroll box is being destroyed its
    // viewport still sends events, and the box can no longer be asked for it.
    if (event->type() == QEvent::Wheel && watched == ScrollBoxImageStack->viewport()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
            wheelAngle_ += wheel->angleDelta().y();
            const int steps = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
            wheelAngle_ -= steps * QWheelEvent::DefaultDeltasPerStep;
            if (steps != 0)
                setZoom(zoom() + steps, wheel->position().toPoint());
            wheel->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

// The first dropped item that is a file on this machine, as a full path; empty if none.
QString firstLocalFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return QFileInfo(url.toLocalFile()).absoluteFilePath();
    return {};
}

} // namespace

void TFrameStack::dragEnterEvent(QDragEnterEvent* event) {
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrameStack::dragMoveEvent(QDragMoveEvent* event) {
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrameStack::dropEvent(QDropEvent* event) {
    const QString path = firstLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    DragNDrop->setText(path);
}

StackPanel::StackPanel(FrameStackCore& core, QWidget* parent) : QWidget(parent), core_(core) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void StackPanel::setZoom(int zoom) {
    zoom_ = std::max(zoom, 1);
    fitPort();
    update();
}

void StackPanel::fitPort() {
    resize(core_.PortWidth() * zoom_, core_.PortHeight() * zoom_);
}

void StackPanel::updatePictureArea(const imaging::Rect& area) {
    update(QRect(area.left * zoom_, area.top * zoom_, area.width() * zoom_, area.height() * zoom_));
}

QPoint StackPanel::picturePoint(QPoint panelPoint) const {
    return {static_cast<int>(floorDiv(panelPoint.x(), zoom_)),
            static_cast<int>(floorDiv(panelPoint.y(), zoom_))};
}

namespace {

// Enlarges the top-left w x h pixels of `from` into `to`, each pixel a square of zoom x zoom.
void enlarge(const imaging::Bitmap& from, int w, int h, int zoom, imaging::Bitmap& to) {
    const std::size_t outRow = 4 * static_cast<std::size_t>(w) * static_cast<std::size_t>(zoom);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = from.row(y);
        std::uint8_t* dst = to.row(y * zoom);
        for (int x = 0; x < w; ++x, src += 4)
            for (int k = 0; k < zoom; ++k, dst += 4)
                std::memcpy(dst, src, 4);
        for (int k = 1; k < zoom; ++k)
            std::memcpy(to.row(y * zoom + k), to.row(y * zoom), outRow);
    }
}

} // namespace

void StackPanel::paintEvent(QPaintEvent* event) {
    core_.takeDirtyArea();
    QPainter painter(this);
    imaging::Rect painted{};
    for (const QRect& r : event->region()) {
        // The picture pixels the screen area shows, whole.
        const int left = static_cast<int>(floorDiv(r.x(), zoom_));
        const int top = static_cast<int>(floorDiv(r.y(), zoom_));
        const int right = static_cast<int>(floorDiv(r.x() + r.width() + zoom_ - 1, zoom_));
        const int bottom = static_cast<int>(floorDiv(r.y() + r.height() + zoom_ - 1, zoom_));
        const imaging::Rect area = imaging::Rect{left, top, right, bottom}.intersected(
            {0, 0, core_.PortWidth(), core_.PortHeight()});
        if (area.isEmpty())
            continue;
        if (scratch_.width() < area.width() || scratch_.height() < area.height())
            scratch_ =
                imaging::Bitmap(std::max(scratch_.width(), area.width()),
                                std::max(scratch_.height(), area.height()), PixelFormat::Bits32);
        core_.Composite(area, scratch_);
        const imaging::Bitmap* shown = &scratch_;
        if (zoom_ > 1) {
            // Nearest neighbour by hand: every pixel stays a sharp square at every zoom.
            const int w = area.width() * zoom_;
            const int h = area.height() * zoom_;
            if (zoomed_.width() < w || zoomed_.height() < h)
                zoomed_ = imaging::Bitmap(std::max(zoomed_.width(), w),
                                          std::max(zoomed_.height(), h), PixelFormat::Bits32);
            enlarge(scratch_, area.width(), area.height(), zoom_, zoomed_);
            shown = &zoomed_;
        }
        const QImage view(shown->row(0), area.width() * zoom_, area.height() * zoom_,
                          static_cast<qsizetype>(shown->stride()), QImage::Format_RGB32);
        painter.drawImage(QPoint(area.left * zoom_, area.top * zoom_), view);
        painted = painted.isEmpty() ? area : painted.united(area);
    }
    if (overlayPainter_ && !painted.isEmpty()) {
        painter.save();
        painter.scale(zoom_, zoom_);
        overlayPainter_(painter, painted);
        painter.restore();
    }
}

void StackPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = picturePoint(event->position().toPoint());
    emit pressed(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = picturePoint(event->position().toPoint());
    emit moved(event->buttons(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = picturePoint(event->position().toPoint());
    emit released(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The platform turns the second press of a double click into this event; the owner
    // still gets that press after the double click itself. Only the left button makes a
    // double click: two quick right presses (ending an animation, say) are two presses.
    const QPoint p = picturePoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(p.x(), p.y());
    emit pressed(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::leaveEvent(QEvent* event) {
    emit left();
    QWidget::leaveEvent(event);
}

} // namespace parvane::canvas
