// Parvane's desktop program: one window, no command line, nothing kept between runs.
#include "app/MainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The name message boxes carry in their title.
    QApplication::setApplicationName(QStringLiteral("Parvane"));
    QApplication::setApplicationVersion(QStringLiteral("2.4"));
    parvane::app::TMain window;
    window.show();
    return application.exec();
}
