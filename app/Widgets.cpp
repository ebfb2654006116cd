#include "app/Widgets.h"

#include <QAbstractItemView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace parvane::app {

ClickPanel::ClickPanel(QWidget* parent) : QFrame(parent) {}

void ClickPanel::setColour(const QColor& colour) {
    colour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
    // Taking the press makes the release come back here, even over empty child areas.
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release of the left button over the panel.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

void ClickPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

void MenuCombo::hidePopup() {
    // Qt also calls this whenever the menu is hidden, with or without an open list.
    const bool wasOpen = view() && view()->isVisible();
    QComboBox::hidePopup();
    if (wasOpen)
        emit closedUp();
}

TileViewer::TileViewer(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSide, kSide);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TileViewer::setPicture(const imaging::Bitmap& picture) {
    picture_ = picture;
    update();
}

void TileViewer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.isEmpty())
        return;
    const QImage image = toQImage(picture_);
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, kSide, kSide));
}

QImage toQImage(const imaging::Bitmap& bitmap) {
    using imaging::PixelFormat;
    if (bitmap.isEmpty())
        return {};
    if (bitmap.format() == PixelFormat::Bits32 || bitmap.format() == PixelFormat::Device)
        return QImage(bitmap.row(0), bitmap.width(), bitmap.height(),
                      static_cast<qsizetype>(bitmap.stride()), QImage::Format_RGB32);
    const imaging::Bitmap wide = bitmap.converted(PixelFormat::Bits32);
    return QImage(wide.row(0), wide.width(), wide.height(), static_cast<qsizetype>(wide.stride()),
                  QImage::Format_RGB32)
        .copy();
}

} // namespace parvane::app
