// A notice in the status line that holds it for a few seconds: the hints of the controls the
// pointer passes over wait until it has been read.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QStatusBar;

namespace parvane::app {

class StatusNotice : public QObject {
    Q_OBJECT

public:
    // How long a notice stays.
    static constexpr int kShownMs = 6000;

    explicit StatusNotice(QStatusBar& statusBar);

    // Shows text in the status line for kShownMs, over any hint.
    void show(const QString& text);
    bool showing() const { return timer_.isActive(); }

private:
    QStatusBar& statusBar_;
    QString text_;
    QTimer timer_;
};

} // namespace parvane::app
