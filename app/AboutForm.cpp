#include "app/AboutForm.h"

#include "app/DocumentForm.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace parvane::app {

namespace {

constexpr int kPictureSide = 36;

// The program's picture: a texture page of four tiles, the transparent magenta among them;
// mirrored, it makes the second picture.
QPixmap programPicture(bool mirrored) {
    QPixmap pixmap(kPictureSide, kPictureSide);
    QPainter painter(&pixmap);
    const int half = kPictureSide / 2;
    const QColor tiles[4] = {QColor(255, 0, 255), QColor(166, 202, 240), QColor(192, 220, 192),
                             QColor(128, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        const int col = mirrored ? 1 - i % 2 : i % 2;
        painter.fillRect(col * half, (i / 2) * half, half, half, tiles[i]);
    }
    painter.setPen(QColor(224, 208, 0));
    painter.drawRect(0, 0, kPictureSide - 1, kPictureSide - 1);
    painter.drawLine(half, 0, half, kPictureSide - 1);
    painter.drawLine(0, half, kPictureSide - 1, half);
    return pixmap;
}

QLabel* textLabel(const QString& text, int pixelSize, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

const AboutTexts kEnglish{
    "AboutForm",
    "   About,   Help   &   Credits",
    352,
    "Assembles texture sets of 64 x 64 tiles on 256 x 256 pages for the Duskvale level editors.",
    "Written by Oskelin.",
    "Published with its sources, this help and its credits by the Parvane project.",
    "Parvane is an independent program. It is not made, endorsed or supported by the makers "
    "of the Duskvale games.",
    "HELP",
    "CREDITS",
    "Fran\u00e7ais",
    "Switch the whole interface to French",
};

const AboutTexts kFrench{
    "AboutFormFR",
    "   A propos,   Aide   &   Credits",
    336,
    "Assemble des jeux de textures de tuiles de 64 x 64 sur des pages de 256 x 256 pour les "
    "\u00e9diteurs de niveaux de Duskvale.",
    "\u00c9crit par Oskelin.",
    "Publi\u00e9 avec ses sources, cette aide et ses cr\u00e9dits par le projet Parvane.",
    "Parvane est un programme ind\u00e9pendant. Il n'est ni r\u00e9alis\u00e9, ni "
    "approuv\u00e9, ni soutenu par les cr\u00e9ateurs des jeux Duskvale.",
    "AIDE",
    "CREDITS",
    "English",
    "Passer toute l'interface en anglais",
};

} // namespace

TAboutWindow::TAboutWindow(const AboutTexts& texts, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QString::fromLatin1(texts.objectName));
    setWindowTitle(QString::fromUtf8(texts.caption));
    setFixedSize(kClientWidth, texts.clientHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 0);
    column->setSpacing(6);

    auto* head = new QHBoxLayout;
    auto* left = new QLabel(this);
    left->setPixmap(programPicture(false));
    auto* right = new QLabel(this);
    right->setPixmap(programPicture(true));
    for (QLabel* picture : {left, right}) {
        picture->setFixedSize(kPictureSide, kPictureSide);
        picture->setAccessibleName(QStringLiteral("Parvane"));
    }
    head->addWidget(left);
    head->addWidget(textLabel(QStringLiteral("Parvane  v2.4"), 20, true, this), 1);
    head->addWidget(right);
    column->addLayout(head);

    column->addWidget(textLabel(QString::fromUtf8(texts.description), 12, false, this));
    column->addWidget(textLabel(QString::fromUtf8(texts.authors), 11, false, this));
    column->addWidget(textLabel(QString::fromUtf8(texts.hosting), 11, false, this));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Disclaimer"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* framed = new QVBoxLayout(frame);
    framed->addWidget(textLabel(QString::fromUtf8(texts.disclaimer), 11, false, frame));
    column->addWidget(frame);
    column->addStretch(1);

    LanguageButton = new QToolButton(this);
    LanguageButton->setObjectName(QStringLiteral("LanguageButton"));
    LanguageButton->setText(QString::fromUtf8(texts.languageSwitch));
    LanguageButton->setAccessibleName(QString::fromUtf8(texts.languageSwitchName));
    LanguageButton->setAutoRaise(true);
    LanguageButton->setCursor(Qt::PointingHandCursor);
    auto* switchRow = new QHBoxLayout;
    switchRow->addStretch(1);
    switchRow->addWidget(LanguageButton);
    column->addLayout(switchRow);

    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("ButtonPanel"));
    bottom->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* buttons = new QHBoxLayout(bottom);
    HelpButton = new QPushButton(QString::fromUtf8(texts.help), bottom);
    CreditsButton = new QPushButton(QString::fromUtf8(texts.credits), bottom);
    OKButton = new QPushButton(QStringLiteral("OK"), bottom);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    CreditsButton->setObjectName(QStringLiteral("CreditsButton"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    for (QPushButton* b : {HelpButton, CreditsButton, OKButton}) {
        b->setAutoDefault(b == OKButton);
        buttons->addWidget(b);
    }
    column->addWidget(bottom);

    connect(OKButton, &QPushButton::clicked, this, &TAboutWindow::okButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TAboutWindow::HelpButtonClick);
    connect(CreditsButton, &QPushButton::clicked, this, &TAboutWindow::CreditsButtonClick);
    connect(LanguageButton, &QToolButton::clicked, this, [this] { done(kSwitchLanguage); });
}

void TAboutWindow::setDocumentWindows(TDocumentForm* help, TDocumentForm* credits) {
    help_ = help;
    credits_ = credits;
}

void TAboutWindow::okButtonClick() {
    accept();
}

void TAboutWindow::HelpButtonClick() {
    if (help_)
        help_->showDocument();
    accept();
}

void TAboutWindow::CreditsButtonClick() {
    if (credits_)
        credits_->showDocument();
    accept();
}

void TAboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TAboutWindow::FormActivate() {
    // Centred on its owner at every showing.
    if (const QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
}

TAboutForm::TAboutForm(QWidget* owner) : TAboutWindow(kEnglish, owner) {}

TAboutFormFR::TAboutFormFR(QWidget* owner) : TAboutWindow(kFrench, owner) {}

} // namespace parvane::app
