#include "app/Widgets.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

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
    // A click is a press and a release of the left button over the panel. The panel keeps
    // the release: a pot's click must not also count as a click on the panel around it.
    if (event->button() != Qt::LeftButton) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    if (rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

void ClickPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QFrame::mouseDoubleClickEvent(event);
        return;
    }
    emit doubleClicked();
    event->accept();
}

namespace {

// The accessible face of an InfoText: static text named by its topic and current text.
class InfoTextAccessible : public QAccessibleWidget {
public:
    explicit InfoTextAccessible(InfoText* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const InfoText*>(widget());
        if (t == QAccessible::Name)
            return label->spokenText();
        if (t == QAccessible::Value)
            return label->text().trimmed();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* infoTextFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(InfoText::staticMetaObject.className()))
        if (auto* label = qobject_cast<InfoText*>(object))
            return new InfoTextAccessible(label);
    return nullptr;
}

} // namespace

InfoText::InfoText(QWidget* parent) : QLabel(parent) {
    // Once for the process, before any InfoText can be asked for its accessible face.
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(infoTextFactory);
        return true;
    }();
}

QString InfoText::spokenText() const {
    const QString value = text().trimmed();
    if (topic_.isEmpty())
        return value;
    return value.isEmpty() ? topic_ : topic_ + QStringLiteral(": ") + value;
}

void InfoText::setShrinkToFit(bool shrink) {
    shrinkToFit_ = shrink;
    updateGeometry();
    update();
}

int InfoText::room() const {
    return contentsRect().width() - 2 * margin();
}

QString InfoText::shownText() const {
    // Blanks that only set the text in from the edge go first when the width is short.
    const QString value = text();
    if (!shrinkToFit_ || fontMetrics().horizontalAdvance(value) <= room())
        return value;
    qsizetype blanks = 0;
    while (blanks < value.size() && value.at(blanks) == QLatin1Char(' '))
        ++blanks;
    return value.mid(std::max<qsizetype>(0, blanks - 1));
}

QFont InfoText::shownFont() const {
    QFont shown = font();
    if (!shrinkToFit_)
        return shown;
    // One pixel smaller at a time, down to a size that stays readable.
    constexpr int kSmallest = 7;
    const QString value = shownText();
    int size = QFontInfo(shown).pixelSize();
    while (size > kSmallest && QFontMetrics(shown).horizontalAdvance(value) > room())
        shown.setPixelSize(--size);
    return shown;
}

QSize InfoText::minimumSizeHint() const {
    // The text fits whatever width the layout gives: only its height is a minimum.
    if (shrinkToFit_)
        return {0, QLabel::minimumSizeHint().height()};
    return QLabel::minimumSizeHint();
}

void InfoText::paintEvent(QPaintEvent* event) {
    if (!shrinkToFit_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(shownFont());
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}

void MenuCombo::hidePopup() {
    // Qt also calls this whenever the menu is hidden, with or without an open list.
    const bool wasOpen = view() && view()->isVisible();
    QComboBox::hidePopup();
    if (wasOpen)
        emit closedUp();
}

void MenuCombo::wheelEvent(QWheelEvent* event) {
    // Qt would select the next item and report it as chosen: the wheel passing over a menu
    // would open a file dialog or empty the Target. Taken here so that nothing behind the
    // menu scrolls either.
    event->accept();
}

void MenuCombo::keyPressEvent(QKeyEvent* event) {
    // Qt moves a closed menu's selection with these keys (and with typed letters) and reports
    // each step as a choice. Here they show the list, where Enter runs the item chosen.
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (command)
            event->ignore();
        else
            showPopup();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!command && !(event->modifiers() & Qt::AltModifier) && !text.isEmpty() &&
        text.at(0).isPrint() && !text.at(0).isSpace()) {
        // No search among the items of a closed menu: it would run the item found.
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

TileViewer::TileViewer(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSide, kSide);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TileViewer::setPicture(const imaging::Bitmap& picture) {
    picture_ = picture;
    update();
    emit pictureChanged();
}

void TileViewer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.isEmpty())
        return;
    const QImage image = toQImage(picture_);
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, kSide, kSide));
}

void FittingButton::setFittedText(const QString& text) {
    text_ = text;
    fit();
}

void FittingButton::resizeEvent(QResizeEvent* event) {
    QToolButton::resizeEvent(event);
    fit();
}

void FittingButton::fit() {
    const int room = width() - 6;
    QFont shown = font();
    for (int pixels = kLargestPixels; pixels >= kSmallestPixels; --pixels) {
        shown.setPixelSize(pixels);
        const QFontMetrics metrics(shown);
        bool fits = true;
        for (const QString& line : text_.split(QLatin1Char('\n')))
            fits = fits && metrics.horizontalAdvance(line) <= room;
        if (fits)
            break;
    }
    if (shown != font())
        setFont(shown);
    setText(text_);
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
