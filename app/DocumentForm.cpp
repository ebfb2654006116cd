#include "app/DocumentForm.h"

#include "resources/Resources.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>

namespace parvane::app {

namespace {

void paintBlack(QWidget* widget) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::Base, Qt::black);
    // Text the document gives no colour of its own stays readable on the black page.
    p.setColor(QPalette::Text, QColor(224, 224, 224));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

// The French documents put a narrow no-break space before ";", "!" and "?". Qt's rich text
// folds that space into an ordinary, breakable one wherever white space collapses, so that the
// sign could wrap alone onto the next line; kept inside a span that preserves white space, it
// stays narrow and unbreakable.
QString keepNarrowNoBreakSpaces(QString html) {
    static const QRegularExpression narrowSpace(QStringLiteral("&#x202f;|&#8239;|\u202f"),
                                                QRegularExpression::CaseInsensitiveOption);
    return html.replace(narrowSpace,
                        QStringLiteral("<span style=\"white-space:pre-wrap\">\u202f</span>"));
}

} // namespace

TDocumentForm::TDocumentForm(const Design& design, QWidget* owner)
    : QWidget(owner, Qt::Window), resourceName_(QString::fromLatin1(design.resourceName)),
      credits_(design.credits) {
    setObjectName(QString::fromLatin1(design.objectName));
    setWindowTitle(QString::fromUtf8(design.caption));
    // A reading window beside the main window: it neither keeps the program running once the
    // main window has closed nor goes when the main window is hidden behind it.
    setAttribute(Qt::WA_QuitOnClose, false);
    paintBlack(this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Strip = new QFrame(this);
    Strip->setObjectName(QStringLiteral("Strip"));
    Strip->setFixedWidth(kStripWidth);
    paintBlack(Strip);
    Viewer = new QTextBrowser(this);
    Viewer->setObjectName(QStringLiteral("Viewer"));
    Viewer->setFrameShape(QFrame::NoFrame);
    Viewer->setReadOnly(true);
    Viewer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Viewer->setVerticalScrollBarPolicy(credits_ ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    paintBlack(Viewer);
    paintBlack(Viewer->viewport());
    // The documents link only within themselves (their tables of contents); nothing is
    // opened outside the program.
    Viewer->setOpenLinks(false);
    Viewer->setSearchPaths({QStringLiteral(":/documents")});
    connect(Viewer, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() && url.path().isEmpty() && !url.fragment().isEmpty())
            Viewer->scrollToAnchor(url.fragment());
    });
    if (credits_)
        Viewer->installEventFilter(this);
    row->addWidget(Strip);
    row->addWidget(Viewer, 1);
    Viewer->setAccessibleName(windowTitle().trimmed());

    // A reading window closes from the keyboard as dialogs do; closing only hides it, so
    // it opens again where the reader left it.
    auto* closeKeys = new QShortcut(this);
    closeKeys->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    closeKeys->setContext(Qt::WindowShortcut);
    connect(closeKeys, &QShortcut::activated, this, &QWidget::close);

    resize(design.size);
    FormCreate();
}

void TDocumentForm::FormCreate() {
    const QByteArray document = resources::documentResource(resourceName_);
    Viewer->setHtml(keepNarrowNoBreakSpaces(QString::fromUtf8(document)));
    Viewer->moveCursor(QTextCursor::Start);
}

void TDocumentForm::FormResize() {
    Viewer->viewport()->update();
}

void TDocumentForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

bool TDocumentForm::eventFilter(QObject* watched, QEvent* event) {
    // The credits view takes no Enter key.
    if (watched == Viewer && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TDocumentForm::showDocument() {
    if (!placed_) {
        // Centred on the desktop the first time; afterwards where the user left it.
        placed_ = true;
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    showNormal();
    raise();
    activateWindow();
}

void TDocumentForm::showInPlaceOf(TDocumentForm& other) {
    placed_ = true;
    setGeometry(other.geometry());
    other.close();
    showNormal();
    raise();
    activateWindow();
}

THelpForm::THelpForm(QWidget* owner)
    : TDocumentForm({"HelpForm", "ParvaneHelp", "   Help", {725, 592}, false}, owner) {}

THelpFormFR::THelpFormFR(QWidget* owner)
    : TDocumentForm({"HelpFormFR", "ParvaneHelp_FR", "   Help", {725, 592}, false}, owner) {}

TCreditsForm::TCreditsForm(QWidget* owner)
    : TDocumentForm({"CreditsForm", "ParvaneCredits", "Credits", {724, 592}, true}, owner) {}

TCreditsFormFR::TCreditsFormFR(QWidget* owner)
    : TDocumentForm({"CreditsFormFR", "ParvaneCredits_FR", "Credits", {725, 592}, true}, owner) {}

} // namespace parvane::app
