#include "app/WrapPreview.h"

#include "app/Languages.h"
#include "canvas/ImageStack.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace parvane::app {

using imaging::PixelFormat;

namespace {

// The available area of the screen that shows most of `frame`.
QRect screenFor(const QRect& frame) {
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : frame;
}

// What the preview shows and at which zoom, as its subject line says it.
QString subjectText(const QString& what, int zoom) {
    return QStringLiteral("%1   %2x").arg(what).arg(zoom);
}

} // namespace

void composeWrap(const imaging::Bitmap& tile, bool halfOffset, int zoom, imaging::Bitmap& out) {
    zoom = std::clamp(zoom, WrapPreview::kMinZoom, WrapPreview::kMaxZoom);
    const int width = std::max(1, tile.width());
    const int height = std::max(1, tile.height());
    // One repeat takes 64 x zoom pixels along the tile's longer side, whatever its size, so
    // that a 128-pixel current tile shows whole beside a 64-pixel cell.
    const int longest = std::max(width, height);
    const int unit = WrapPreview::kTileSide * zoom;
    const int repeatWidth = std::max(1, width * unit / longest);
    const int repeatHeight = std::max(1, height * unit / longest);
    const int outWidth = repeatWidth * WrapPreview::kRepeat;
    const int outHeight = repeatHeight * WrapPreview::kRepeat;
    if (out.width() != outWidth || out.height() != outHeight || out.format() != PixelFormat::Bits32)
        out = imaging::Bitmap(outWidth, outHeight, PixelFormat::Bits32);
    if (tile.isEmpty() || tile.format() != PixelFormat::Bits32) {
        out.fill(imaging::colours::kBlack);
        return;
    }
    const int shiftX = halfOffset ? width / 2 : 0;
    const int shiftY = halfOffset ? height / 2 : 0;
    // The tile column of every output column, worked out once; an output row whose tile row
    // is the one of the row above is a copy of it.
    std::vector<int> columns(static_cast<std::size_t>(outWidth));
    for (int x = 0; x < outWidth; ++x)
        columns[static_cast<std::size_t>(x)] =
            4 * (((x % repeatWidth) * width / repeatWidth + shiftX) % width);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(outWidth);
    int previous = -1;
    for (int y = 0; y < outHeight; ++y) {
        const int tileRow = ((y % repeatHeight) * height / repeatHeight + shiftY) % height;
        std::uint8_t* dst = out.row(y);
        if (tileRow == previous) {
            std::memcpy(dst, out.row(y - 1), rowBytes);
            continue;
        }
        previous = tileRow;
        const std::uint8_t* src = tile.row(tileRow);
        for (int x = 0; x < outWidth; ++x, dst += 4)
            std::memcpy(dst, src + columns[static_cast<std::size_t>(x)], 4);
    }
}

// The repeat itself, at its size.
class WrapPreview::Picture : public QWidget {
public:
    explicit Picture(const imaging::Bitmap& picture, QWidget* parent)
        : QWidget(parent), picture_(picture) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (picture_.isEmpty())
            return;
        QPainter painter(this);
        const QImage image(picture_.row(0), picture_.width(), picture_.height(),
                           static_cast<qsizetype>(picture_.stride()), QImage::Format_RGB32);
        const QRect area = event->rect();
        painter.drawImage(area.topLeft(), image, area);
    }

private:
    const imaging::Bitmap& picture_;
};

WrapPreview::WrapPreview(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool), tile_(kTileSide, kTileSide, PixelFormat::Bits32) {
    setObjectName(QStringLiteral("WrapPreview"));
    // A tool window of the main window: it stays above it, and the main window keeps working.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    view_ = new Picture(picture_, this);
    view_->setObjectName(QStringLiteral("WrapPreviewPicture"));
    layout->addWidget(view_, 0, Qt::AlignCenter);
    auto* row = new QHBoxLayout;
    halfOffset_ = new QCheckBox(this);
    halfOffset_->setObjectName(QStringLiteral("CheckBoxHalfOffset"));
    subject_ = new QLabel(this);
    subject_->setObjectName(QStringLiteral("WrapPreviewSubject"));
    row->addWidget(halfOffset_);
    row->addStretch(1);
    row->addWidget(subject_);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(halfOffset_, &QCheckBox::toggled, this, &WrapPreview::recompose);

    applyTexts(interfaceTexts());
    recompose();
}

void WrapPreview::applyTexts(const TextTable& texts) {
    setWindowTitle(texts.WrapPreviewTitle);
    setAccessibleName(texts.WrapPreviewTitle);
    halfOffset_->setText(texts.HalfOffset);
    // Room for the longest subject, so that the window keeps its width as the pointer moves.
    const QFontMetrics metrics(subject_->font());
    subject_->setMinimumWidth(std::max(
        {metrics.horizontalAdvance(subjectText(texts.WrapSourceFormat.arg(8888).arg(8888), 4)),
         metrics.horizontalAdvance(subjectText(texts.WrapTargetFormat.arg(8888), 4)),
         metrics.horizontalAdvance(subjectText(texts.WrapCurrentTile, 4))}));
    subject_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Hints show in the main window's status line while the pointer is over the preview.
    setStatusTip(texts.HintWrapPreview);
    view_->setStatusTip(texts.HintWrapPreviewPicture);
    halfOffset_->setStatusTip(texts.HintHalfOffset);
    view_->setAccessibleName(tr("Wrap preview picture"));
    view_->setAccessibleDescription(texts.HintWrapPreviewPicture.trimmed());
    halfOffset_->setAccessibleName(tr("Half offset"));
    halfOffset_->setAccessibleDescription(texts.HintHalfOffset.trimmed());
    setAccessibleDescription(texts.HintWrapPreview.trimmed());
    showSubject();
}

void WrapPreview::showCell(canvas::TFrameStack& canvas, int left, int top) {
    canvas_ = &canvas;
    left_ = left;
    top_ = top;
    refresh();
}

void WrapPreview::showCurrentTile(const imaging::Bitmap& tile) {
    canvas_ = nullptr;
    if (tile.isEmpty()) {
        tile_ = imaging::Bitmap(kTileSide, kTileSide, PixelFormat::Bits32);
        tile_.fill(imaging::colours::kBlack);
    } else {
        tile_ = tile.format() == PixelFormat::Bits32 ? tile : tile.converted(PixelFormat::Bits32);
    }
    recompose();
}

void WrapPreview::refresh() {
    if (!canvas_)
        return;
    // The cell may reach past the picture's edge (or the picture may have shrunk since):
    // what lies outside shows black.
    if (tile_.width() != kTileSide || tile_.height() != kTileSide)
        tile_ = imaging::Bitmap(kTileSide, kTileSide, PixelFormat::Bits32);
    tile_.fill(imaging::colours::kBlack);
    tile_.copyRect({0, 0}, canvas_->Bitmap(),
                   imaging::Rect::fromSize(left_, top_, kTileSide, kTileSide)
                       .intersected({0, 0, canvas_->PortWidth(), canvas_->PortHeight()}));
    recompose();
}

void WrapPreview::placeBeside(const QRect& mainFrame) {
    if (placed_)
        return;
    placed_ = true;
    // Beside the main window on the right where the screen has room, else on its left, so
    // that neither canvas is covered: where neither side has room at this zoom, a smaller
    // zoom is tried first; at 1x it goes over the main window's right edge, always whole on
    // the screen.
    const QRect screen = screenFor(mainFrame);
    std::optional<int> left;
    for (;;) {
        adjustSize();
        const QSize size = frameGeometry().size();
        if (mainFrame.right() + 8 + size.width() <= screen.right())
            left = mainFrame.right() + 8;
        else if (mainFrame.left() - 8 - size.width() >= screen.left())
            left = mainFrame.left() - 8 - size.width();
        if (left || zoom_ == kMinZoom)
            break;
        setZoom(zoom_ - 1);
    }
    const QSize size = frameGeometry().size();
    const int x = left.value_or(screen.right() - size.width());
    const int top = std::clamp(mainFrame.top() + 40, screen.top(),
                               std::max(screen.top(), screen.bottom() - size.height()));
    move(std::max(x, screen.left()), top);
}

bool WrapPreview::halfOffset() const {
    return halfOffset_->isChecked();
}

void WrapPreview::setHalfOffset(bool on) {
    halfOffset_->setChecked(on);
}

void WrapPreview::setZoom(int zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    recompose();
}

void WrapPreview::recompose() {
    composeWrap(tile_, halfOffset(), zoom_, picture_);
    view_->setFixedSize(picture_.width(), picture_.height());
    view_->update();
    showSubject();
}

void WrapPreview::showSubject() {
    const TextTable& texts = interfaceTexts();
    QString what = texts.WrapCurrentTile;
    if (canvas_ && canvas_->objectName() == QLatin1String("Target"))
        what = texts.WrapTargetFormat.arg(
            (top_ / kTileSide) * std::max(1, canvas_->PortWidth() / kTileSide) + left_ / kTileSide);
    else if (canvas_)
        what = texts.WrapSourceFormat.arg(left_).arg(top_);
    subject_->setText(subjectText(what, zoom_));
}

void WrapPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void WrapPreview::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit shownChanged(false);
}

void WrapPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WrapPreview::mousePressEvent(QMouseEvent* event) {
    // A click makes the preview the window its keys (zoom, Escape) go to, also where the
    // desktop does not activate windows on a click.
    activateWindow();
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void WrapPreview::wheelEvent(QWheelEvent* event) {
    // Ctrl and the wheel zoom, as on the canvases: one step per notch.
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        QWidget::wheelEvent(event);
        return;
    }
    wheelAngle_ += event->angleDelta().y();
    while (wheelAngle_ >= 120) {
        setZoom(zoom_ + 1);
        wheelAngle_ -= 120;
    }
    while (wheelAngle_ <= -120) {
        setZoom(zoom_ - 1);
        wheelAngle_ += 120;
    }
    event->accept();
}

} // namespace parvane::app
