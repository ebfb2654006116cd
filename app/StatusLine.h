// The window's status line: two lines, the hint of the control under the mouse on the first
// and the pointer's position over a canvas on the second, so that neither ever covers the
// other whatever their lengths. While no position shows, a long hint goes on over both lines.
#pragma once

#include <QStatusBar>

namespace parvane::app {

class InfoText;

class StatusLine : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    // The pointer's position, on the second line; a screen reader hears it with its topic.
    InfoText* position() const { return position_; }
    // Shows the pointer's position; an empty text leaves both lines to the hint.
    void setPosition(const QString& text);
    // Where the hint is written: the first line while a position shows, else both lines.
    QRect hintRect() const;
    // Where the words of a hint go within hintRect: after its indent, on every line they take.
    QRect hintBounds(const QString& hint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static constexpr int kHintFlags = Qt::AlignLeading | Qt::AlignTop | Qt::TextWordWrap;
    // The blanks a hint begins with, and the room they take.
    int indentOf(const QString& hint, int& blanks) const;
    int lineHeight() const;
    void arrange();

    InfoText* position_ = nullptr;
};

} // namespace parvane::app
