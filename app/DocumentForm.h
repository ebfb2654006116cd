// The help and credits windows, in English and French: a black strip on the left and a
// read-only rich-text view of one of the program's documents, loaded once when the window is
// made at start-up.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class QFrame;
class QTextBrowser;

namespace parvane::app {

// One document window. The document is read from the program's resources when the window is
// made; showing the window again later neither reloads it nor moves its scroll position.
class TDocumentForm : public QWidget {
    Q_OBJECT

public:
    // Width of the black strip beside the text, whatever the window's size.
    static constexpr int kStripWidth = 33;

    struct Design {
        const char* objectName;
        const char* resourceName; // ParvaneHelp, ParvaneCredits, ...
        const char* caption;
        QSize size;
        bool credits; // scroll bar always shown, Enter not taken by the view
    };

    TDocumentForm(const Design& design, QWidget* owner);

    QFrame* Strip = nullptr;
    QTextBrowser* Viewer = nullptr;

    // Shows the window (not modal) and brings it to the front, where the user left it.
    void showDocument();
    // Shows this window where other shows, in its place, and closes other: its twin in the
    // other language, when the interface changes language.
    void showInPlaceOf(TDocumentForm& other);
    // The name of the resource the document came from.
    QString resourceName() const { return resourceName_; }

public slots:
    void FormCreate();
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString resourceName_;
    bool credits_ = false;
    bool placed_ = false;
};

class THelpForm : public TDocumentForm {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* owner);
};

class THelpFormFR : public TDocumentForm {
    Q_OBJECT
public:
    explicit THelpFormFR(QWidget* owner);
};

class TCreditsForm : public TDocumentForm {
    Q_OBJECT
public:
    explicit TCreditsForm(QWidget* owner);
};

class TCreditsFormFR : public TDocumentForm {
    Q_OBJECT
public:
    explicit TCreditsFormFR(QWidget* owner);
};

} // namespace parvane::app
