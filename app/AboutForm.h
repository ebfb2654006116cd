// The about window, in English and French: the program's name and purpose, a disclaimer, and
// the buttons that lead to the help and credits windows of the same language. A small
// language switch turns the whole interface to the other language and leads to the twin window.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QToolButton;

namespace parvane::app {

class TDocumentForm;

// What differs between the two editions of the about window.
struct AboutTexts {
    const char* objectName;
    const char* caption;
    int clientHeight;
    const char* description;
    const char* authors;
    const char* hosting;
    const char* disclaimer;
    const char* help;
    const char* credits;
    const char* languageSwitch;
    const char* languageSwitchName; // what a screen reader says for the switch
};

// One about window. Shown modally; HELP and CREDITS open their window beside the main
// window and close this one; the language switch closes it with kSwitchLanguage, so that the
// owner can show the twin in the other language.
class TAboutWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 362;
    // Result of the modal showing when the user asked for the other language.
    static constexpr int kSwitchLanguage = 2;

    TAboutWindow(const AboutTexts& texts, QWidget* owner);

    // The windows HELP and CREDITS open (made after the about windows at start-up).
    void setDocumentWindows(TDocumentForm* help, TDocumentForm* credits);

    QPushButton* HelpButton = nullptr;
    QPushButton* CreditsButton = nullptr;
    QPushButton* OKButton = nullptr;
    QToolButton* LanguageButton = nullptr;

public slots:
    void okButtonClick();
    void HelpButtonClick();
    void CreditsButtonClick();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDocumentForm* help_ = nullptr;
    TDocumentForm* credits_ = nullptr;
};

class TAboutForm : public TAboutWindow {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* owner);
};

class TAboutFormFR : public TAboutWindow {
    Q_OBJECT
public:
    explicit TAboutFormFR(QWidget* owner);
};

} // namespace parvane::app
