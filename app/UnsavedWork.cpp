#include "app/UnsavedWork.h"

#include "app/MainForm.h"
#include "document/TextureSet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>
#include <utility>

namespace parvane::app {

UnsavedWork::UnsavedWork(QWidget& window, document::TextureSet& target, std::function<void()> save)
    : QObject(&window), window_(window), target_(target), save_(std::move(save)) {
    runQuestion = [](QMessageBox& box) {
        box.exec();
        const auto* chosen = box.clickedButton();
        if (chosen == box.button(QMessageBox::Save))
            return Answer::Save;
        if (chosen == box.button(QMessageBox::Discard))
            return Answer::Discard;
        return Answer::Cancel;
    };
    connect(&target_, &document::TextureSet::historyChanged, this, [this] { letGo_ = false; });
    // Qt's session manager tells the program when the desktop session is about to end, where
    // the platform offers it; the user may then still save or keep the session going.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &UnsavedWork::commitData,
            Qt::DirectConnection);
}

bool UnsavedWork::mayClose() {
    if (letGo_ || !target_.changed())
        return true;
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    tr("The Target canvas has changes that are not saved. Save them before "
                       "closing?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window_);
    // Qt's own words for the buttons come only with the system's Qt catalogues: the program
    // gives its own, in the interface's language.
    box.button(QMessageBox::Save)->setText(tr("Save"));
    box.button(QMessageBox::Discard)->setText(tr("Discard"));
    box.button(QMessageBox::Cancel)->setText(tr("Cancel"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (runQuestion(box)) {
    case Answer::Save:
        // The Target menu's save; a cancelled or failed save leaves the changes unsaved.
        save_();
        return !target_.changed();
    case Answer::Discard:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void TMain::closeEvent(QCloseEvent* event) {
    if (unsavedWork_->mayClose())
        event->accept();
    else
        event->ignore();
}

void UnsavedWork::commitData(QSessionManager& manager) {
    // Without leave to interact, nothing can be asked; the session manager then ends the
    // program as it would any other.
    if (!target_.changed() || !manager.allowsInteraction())
        return;
    const bool mayEnd = mayClose();
    manager.release();
    if (!mayEnd) {
        manager.cancel();
        return;
    }
    letGo_ = true;
}

} // namespace parvane::app
