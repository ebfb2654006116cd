#include "imaging/ui/Gauges.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <climits>
#include <stdexcept>

namespace parvane::imaging {

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// The range failure of the minimum and maximum setters.
[[noreturn]] void throwValueRange(long long low, long long high) {
    throw std::out_of_range(
        QStringLiteral("Value must be between %1 and %2").arg(low).arg(high).toStdString());
}

} // namespace

void TBltBitmap::MakeLike(const QImage& atemplate) {
    *static_cast<QImage*>(this) = QImage(atemplate.size(), QImage::Format_RGB32);
    fill(QGuiApplication::palette().color(QPalette::WindowText));
}

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    // The gauge paints every pixel of its rectangle itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

void TGauge::setKind(TGaugeKind kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    repaint();
}

void TGauge::setShowText(bool show) {
    if (show == showText_)
        return;
    showText_ = show;
    repaint();
}

void TGauge::setBorderStyle(TBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    repaint();
}

void TGauge::setForeColor(const QColor& colour) {
    if (colour == foreColor_)
        return;
    foreColor_ = colour;
    repaint();
}

void TGauge::setBackColor(const QColor& colour) {
    if (colour == backColor_)
        return;
    backColor_ = colour;
    repaint();
}

void TGauge::setMinValue(int value) {
    if (value == minValue_)
        return;
    if (value > maxValue_)
        throwValueRange(-INT_MAX, static_cast<long long>(maxValue_) - 1);
    minValue_ = value;
    if (progress_ < value)
        progress_ = value;
    repaint();
}

void TGauge::setMaxValue(int value) {
    if (value == maxValue_)
        return;
    if (value < minValue_)
        throwValueRange(static_cast<long long>(minValue_) + 1, INT_MAX);
    maxValue_ = value;
    if (progress_ > value)
        progress_ = value;
    repaint();
}

void TGauge::setProgress(int value) {
    if (value < minValue_)
        value = minValue_;
    else if (value > maxValue_)
        value = maxValue_;
    if (value == progress_)
        return;
    const int before = DisplayedPercent();
    progress_ = value;
    if (DisplayedPercent() != before)
        repaint();
}

int TGauge::DisplayedPercent() const {
    return gaugeDisplayedPercent(progress_, minValue_, maxValue_);
}

QImage TGauge::renderImage() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    const Rect paint = gaugePaintRect(width(), height(), borderStyle_);

    TBltBitmap overlay;
    overlay.MakeLike(image);
    overlay.fill(Qt::black);
    drawKind(overlay, paint);
    // The image is black, so combining the overlay by exclusive-or leaves the overlay itself;
    // the border margin stays black.
    image = overlay;

    if (showText_)
        drawText(image, paint);
    return image;
}

void TGauge::drawKind(QImage& overlay, const Rect& paint) const {
    if (paint.isEmpty())
        return;
    QPainter p(&overlay);
    p.setClipRect(toQRect(paint));
    const int percent = DisplayedPercent();
    // The boxes exclude their right and bottom edges while Qt's outlined shapes include
    // them, hence the one-pixel shrink.
    auto outlineBox = [](const Rect& r) {
        return QRect(r.left, r.top, r.width() - 1, r.height() - 1);
    };

    switch (kind_) {
    case TGaugeKind::gkText:
        p.fillRect(toQRect(paint), backColor_);
        break;
    case TGaugeKind::gkHorizontalBar: {
        p.fillRect(toQRect(paint), backColor_);
        const Rect fill = horizontalBarFill(paint, percent);
        if (!fill.isEmpty())
            p.fillRect(toQRect(fill), foreColor_);
        break;
    }
    case TGaugeKind::gkVerticalBar: {
        p.fillRect(toQRect(paint), backColor_);
        const Rect fill = verticalBarFill(paint, percent);
        if (!fill.isEmpty())
            p.fillRect(toQRect(fill), foreColor_);
        break;
    }
    case TGaugeKind::gkPie: {
        p.fillRect(toQRect(paint), palette().color(QPalette::Window));
        const GaugeArc arc = pieGeometry(paint, borderStyle_, percent);
        if (arc.box.width() < 2 || arc.box.height() < 2)
            break;
        p.setPen(QPen(foreColor_, 1));
        p.setBrush(backColor_);
        p.drawEllipse(outlineBox(arc.box));
        if (arc.spanDegrees > 0) {
            p.setBrush(foreColor_);
            p.drawPie(outlineBox(arc.box), static_cast<int>(arc.startDegrees * 16),
                      static_cast<int>(arc.spanDegrees * 16));
        }
        break;
    }
    case TGaugeKind::gkNeedle: {
        p.fillRect(toQRect(paint), palette().color(QPalette::Window));
        const NeedleGeometry g = needleGeometry(paint, borderStyle_, width(), percent);
        p.setPen(QPen(foreColor_, 1));
        if (g.box.width() >= 2 && g.box.height() >= 2) {
            p.setBrush(backColor_);
            p.drawPie(outlineBox(g.box), 0, 180 * 16);
        }
        p.drawLine(g.baseFrom.x, g.baseFrom.y, g.baseTo.x, g.baseTo.y);
        if (percent > 0)
            p.drawLine(g.needleFrom.x, g.needleFrom.y, g.needleTo.x, g.needleTo.y);
        break;
    }
    }
}

void TGauge::drawText(QImage& image, const Rect& paint) const {
    if (paint.isEmpty())
        return;
    // Aliased glyphs: every text pixel is then fully white on the scratch bitmap and shows as
    // the exact inverse of the pixel under it.
    QFont textFont = font();
    textFont.setStyleStrategy(QFont::NoAntialias);
    const QString text = QString::asprintf(kGaugeTextFormat, DisplayedPercent());
    const QFontMetrics metrics(textFont);
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const Point at = gaugeTextOrigin(paint, textWidth, textHeight);

    TBltBitmap scratch;
    scratch.MakeLike(image);
    scratch.fill(Qt::black);
    {
        QPainter p(&scratch);
        p.setClipRect(toQRect(paint));
        p.setFont(textFont);
        p.setPen(Qt::white);
        p.setBackgroundMode(Qt::TransparentMode);
        p.drawText(QRect(at.x, at.y, textWidth, textHeight), Qt::AlignLeft | Qt::AlignTop, text);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* src = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            dst[x] = (dst[x] ^ src[x]) | 0xFF000000u;
    }
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, renderImage());
}

} // namespace parvane::imaging
