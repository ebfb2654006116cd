#include "app/StatusNotice.h"

#include <QStatusBar>

namespace parvane::app {

namespace {

// Notices line up with the hints, which begin with five spaces.
const QString kIndent = QStringLiteral("     ");

} // namespace

StatusNotice::StatusNotice(QStatusBar& statusBar) : QObject(&statusBar), statusBar_(statusBar) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (statusBar_.currentMessage() == text_)
            statusBar_.clearMessage();
    });
    // A hint that replaces the notice before its time gives the line back to it.
    connect(&statusBar_, &QStatusBar::messageChanged, this, [this](const QString& now) {
        if (timer_.isActive() && now != text_)
            statusBar_.showMessage(text_);
    });
}

void StatusNotice::show(const QString& text) {
    text_ = kIndent + text;
    timer_.start(kShownMs);
    statusBar_.showMessage(text_);
}

} // namespace parvane::app
