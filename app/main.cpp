// Parvane's desktop program: one window, no command line, nothing kept between runs.
#include "app/MainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    parvane::app::TMain window;
    window.show();
    return application.exec();
}
