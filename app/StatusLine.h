// The window's status line: two lines, the hint of the control under the mouse on the first
// and the pointer's position over a canvas on the second, so that neither ever covers the
// other whatever their lengths.
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
    // Where the hint is written, on the first line.
    QRect hintRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int lineHeight() const;
    void arrange();

    InfoText* position_ = nullptr;
};

} // namespace parvane::app
