// The progress gauge control TGauge and its scratch bitmap TBltBitmap.
#pragma once

#include "imaging/GaugeGeometry.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace parvane::imaging {

// A bitmap for the gauge's scratch overlays: MakeLike takes a template's size and paints the
// whole bitmap in the window-frame colour.
class TBltBitmap : public QImage {
public:
    TBltBitmap() = default;
    void MakeLike(const QImage& atemplate);
};

// A small control that shows a value between a minimum and a maximum as a bar, a pie or a
// needle, optionally with the percentage written over it in exclusive-or. The level window
// advances it while a level is read on the user-interface thread, so every visible change
// is painted at once (synchronously) rather than queued.
class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    TGaugeKind Kind() const { return kind_; }
    void setKind(TGaugeKind kind);
    bool ShowText() const { return showText_; }
    void setShowText(bool show);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle style);
    QColor ForeColor() const { return foreColor_; }
    void setForeColor(const QColor& colour);
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& colour);

    int MinValue() const { return minValue_; }
    // Throws std::out_of_range "Value must be between -2147483647 and <MaxValue - 1>" when
    // the value lies above MaxValue; nothing changes then.
    void setMinValue(int value);
    int MaxValue() const { return maxValue_; }
    // Throws std::out_of_range "Value must be between <MinValue + 1> and 2147483647" when
    // the value lies below MinValue; nothing changes then.
    void setMaxValue(int value);
    int Progress() const { return progress_; }
    // Clamps into MinValue .. MaxValue; repaints only when the shown percentage changes.
    void setProgress(int value);

    // The percentage written as text and drawn.
    int DisplayedPercent() const;

    // The control's picture as painted: the kind, then the text combined by exclusive-or.
    QImage renderImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawKind(QImage& overlay, const Rect& paint) const;
    void drawText(QImage& image, const Rect& paint) const;

    TGaugeKind kind_ = TGaugeKind::gkHorizontalBar;
    bool showText_ = true;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    QColor foreColor_{0, 0, 0};
    QColor backColor_{255, 255, 255};
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
};

} // namespace parvane::imaging
