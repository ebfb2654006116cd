#include "app/StatusLine.h"

#include "app/Widgets.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace parvane::app {

namespace {

// Room above the first line and below the second, and beside both, as Qt's own status line
// keeps around its message.
constexpr int kTop = 2;
constexpr int kBottom = 2;
constexpr int kSide = 6;
// Every hint begins with this many blanks; the position lines up with the hints' words.
constexpr int kHintIndent = 5;

} // namespace

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    position_ = new InfoText(this);
    position_->setObjectName(QStringLiteral("StatusPosition"));
    arrange();
}

int StatusLine::lineHeight() const {
    return fontMetrics().height();
}

QRect StatusLine::hintRect() const {
    const int lines = position_->text().isEmpty() ? 2 : 1;
    return QRect(kSide, kTop, width() - 2 * kSide, lines * lineHeight());
}

int StatusLine::indentOf(const QString& hint, int& blanks) const {
    blanks = 0;
    while (blanks < hint.size() && hint.at(blanks) == QLatin1Char(' '))
        ++blanks;
    return fontMetrics().horizontalAdvance(hint.left(blanks));
}

QRect StatusLine::hintBounds(const QString& hint) const {
    int blanks = 0;
    const int indent = indentOf(hint, blanks);
    return fontMetrics().boundingRect(hintRect().adjusted(indent, 0, 0, 0), kHintFlags,
                                      hint.mid(blanks));
}

void StatusLine::setPosition(const QString& text) {
    const bool linesChange = text.isEmpty() != position_->text().isEmpty();
    position_->setText(text);
    if (linesChange)
        update();
}

void StatusLine::arrange() {
    setFixedHeight(kTop + 2 * lineHeight() + kBottom);
    const int indent = fontMetrics().horizontalAdvance(QString(kHintIndent, QLatin1Char(' ')));
    position_->setContentsMargins(indent, 0, 0, 0);
    position_->setGeometry(kSide, kTop + lineHeight(), width() - 2 * kSide, lineHeight());
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    arrange();
}

void StatusLine::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        arrange();
}

void StatusLine::paintEvent(QPaintEvent*) {
    // As Qt's status line paints itself, but the message keeps to the first line.
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    const QString message = currentMessage();
    if (message.isEmpty())
        return;
    painter.setPen(palette().windowText().color());
    int blanks = 0;
    const int indent = indentOf(message, blanks);
    painter.drawText(hintRect().adjusted(indent, 0, 0, 0), kHintFlags, message.mid(blanks));
}

} // namespace parvane::app
