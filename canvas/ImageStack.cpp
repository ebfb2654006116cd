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

    ScrollView scrollView() const override {
        const QScrollArea* box = stack_.ScrollBoxImageStack;
        return {box->horizontalScrollBar()->value(), box->verticalScrollBar()->value(),
                box->viewport()->width(), box->viewport()->height()};
    }

    void setScrollPosition(int x, int y) override {
        stack_.ScrollBoxImageStack->horizontalScrollBar()->setValue(x);
        stack_.ScrollBoxImageStack->verticalScrollBar()->setValue(y);
    }

    void portResized(int width, int height) override { stack_.BasePanel->resize(width, height); }

    void areaChanged(const imaging::Rect& area) override {
        stack_.BasePanel->update(QRect(area.left, area.top, area.width(), area.height()));
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
    connect(BasePanel, &StackPanel::left, this, [this] { ParkCursorLayers(); });

    setAcceptDrops(true);
    hostAdapter_ = std::make_unique<Host>(*this);
    setHost(hostAdapter_.get());
}

TFrameStack::~TFrameStack() {
    setHost(nullptr);
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

void StackPanel::paintEvent(QPaintEvent* event) {
    core_.takeDirtyArea();
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        const imaging::Rect area = imaging::Rect::fromSize(r.x(), r.y(), r.width(), r.height())
                                       .intersected({0, 0, core_.PortWidth(), core_.PortHeight()});
        if (area.isEmpty())
            continue;
        if (scratch_.width() < area.width() || scratch_.height() < area.height())
            scratch_ =
                imaging::Bitmap(std::max(scratch_.width(), area.width()),
                                std::max(scratch_.height(), area.height()), PixelFormat::Bits32);
        core_.Composite(area, scratch_);
        const QImage view(scratch_.row(0), area.width(), area.height(),
                          static_cast<qsizetype>(scratch_.stride()), QImage::Format_RGB32);
        painter.drawImage(QPoint(area.left, area.top), view);
    }
}

void StackPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit pressed(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit moved(event->buttons(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit released(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The platform turns the second press of a double click into this event; the owner
    // still gets that press after the double click itself.
    const QPoint p = event->position().toPoint();
    emit doubleClicked(p.x(), p.y());
    emit pressed(event->button(), event->modifiers(), p.x(), p.y());
}

void StackPanel::leaveEvent(QEvent* event) {
    emit left();
    QWidget::leaveEvent(event);
}

} // namespace parvane::canvas
