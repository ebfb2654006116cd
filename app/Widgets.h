// Small controls of the main window that Qt has no direct counterpart for: a panel that
// reports clicks (the central panel and the colour pots) and the current-tile viewer.
#pragma once

#include "imaging/Bitmap.h"

#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QWidget>

namespace parvane::app {

// A plain panel that tells its owner when it is clicked or double-clicked with the left
// button; the colour pots and the central column's empty space react to that.
class ClickPanel : public QFrame {
    Q_OBJECT

public:
    explicit ClickPanel(QWidget* parent = nullptr);

    // Paints the panel's face in a solid colour.
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor colour_;
};

// A drop-down menu whose items are commands: it says when its list closes, whether or not an
// item was chosen, and runs an item only when the user picks it from the open list. A closed
// menu ignores the wheel, and its navigation keys open the list instead of stepping through
// (and so running) the items.
class MenuCombo : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    void hidePopup() override;

signals:
    void closedUp();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Static text whose text is the information (a size line, a page counter, the tile size).
// Assistive technology hears the topic with the current text ("Source size: 640 x 480
// pixels x 24 bits"). The label keeps no accessible name of its own: one would stand in for
// the text, and Qt tells assistive technology of a new text only while there is none.
class InfoText : public QLabel {
    Q_OBJECT

public:
    explicit InfoText(QWidget* parent = nullptr);

    // What the text is about; announced before it.
    void setTopic(const QString& topic) { topic_ = topic; }
    QString topic() const { return topic_; }
    // The topic and the text as a screen reader says them.
    QString spokenText() const;

    // Whether the text shrinks to the label's width rather than lose its ends: the size lines
    // keep their design widths whatever the numbers and the desktop's font.
    void setShrinkToFit(bool shrink);
    // The text as shown, and the font it is shown in: the label's own text and font, or,
    // where the label is too narrow, the text without the blanks that indent it and a
    // smaller font.
    QString shownText() const;
    QFont shownFont() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The width the text may take.
    int room() const;
    QString topic_;
    bool shrinkToFit_ = false;
};

// A button whose lines of text take a smaller font, down to a floor, rather than lose their
// ends when the button is narrow (the tile budget readout on a one-page Target).
class FittingButton : public QToolButton {
    Q_OBJECT

public:
    static constexpr int kLargestPixels = 10;
    static constexpr int kSmallestPixels = 7;

    explicit FittingButton(QWidget* parent = nullptr) : QToolButton(parent) {}
    void setFittedText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    QString text_;
};

// The current-tile viewer: owns the current tile's picture, which may be larger than the
// viewer, and shows its top-left 64 x 64 pixels on black.
class TileViewer : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSide = 64;

    explicit TileViewer(QWidget* parent = nullptr);

    const imaging::Bitmap& picture() const { return picture_; }
    // Takes over the picture's size, format and pixels.
    void setPicture(const imaging::Bitmap& picture);

signals:
    // The current tile is another picture now.
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    imaging::Bitmap picture_;
};

// The program's colours and Qt's, both ways (Qt's alpha is dropped).
inline QColor toQColor(imaging::Colour c) {
    return QColor(c.red, c.green, c.blue);
}
inline imaging::Colour fromQColor(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

// Wraps a bitmap in an image for painting; 32-bit pixels are shared, other formats converted.
QImage toQImage(const imaging::Bitmap& bitmap);

} // namespace parvane::app
