// The question before unsaved work on the Target is lost: when the window closes and when the
// desktop session ends, a Target changed since it was last saved, reloaded or made new is
// offered for saving first.
#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

class QMessageBox;
class QSessionManager;

namespace parvane::document {
class TextureSet;
}

namespace parvane::app {

class UnsavedWork : public QObject {
    Q_OBJECT

public:
    // The user's answer to the question.
    enum class Answer { Save, Discard, Cancel };

    // Asks over `window` about the changes of `target`; `save` is the Target menu's save,
    // which may be cancelled or fail and leave the changes unsaved.
    UnsavedWork(QWidget& window, document::TextureSet& target, std::function<void()> save);

    // True when the window may close: the Target has no changes, or the user saved them or
    // let them go. A cancelled question or a save that did not happen keeps the window.
    bool mayClose();

    // Shows the question and returns the button the user chose; tests replace it so that no
    // modal window opens.
    std::function<Answer(QMessageBox&)> runQuestion;

private:
    void commitData(QSessionManager& manager);

    QWidget& window_;
    document::TextureSet& target_;
    std::function<void()> save_;
    // The user let the changes go when the session began to end; the window's closing that
    // follows does not ask again, unless the Target has changed since.
    bool letGo_ = false;
};

} // namespace parvane::app
