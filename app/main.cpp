// Parvane's desktop program: one window, optionally opening a file given on the command line;
// nothing kept between runs.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/Startup.h"

#include <QApplication>
#include <cstdio>

namespace {

int answer(const parvane::app::CommandLine& line) {
    using Action = parvane::app::CommandLine::Action;
    const QByteArray text = line.text.toLocal8Bit();
    std::fputs(text.constData(), line.action == Action::Refuse ? stderr : stdout);
    return line.action == Action::Refuse ? parvane::app::kExitUsage : 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace parvane::app;
    describeApplication();
    // Read before the application object exists: --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (line.action != CommandLine::Action::Run)
        return answer(line);

    keepNoSettings();
    QApplication application(argc, argv);
    setProgramIcon();
    setInterfaceLanguage(desktopLanguage());
    const std::unique_ptr<TMain> window = startMainWindow(line);
    return application.exec();
}
