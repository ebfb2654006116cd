#include "app/Startup.h"

#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#ifndef PARVANE_VERSION
#error "PARVANE_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace parvane::app {

namespace {

constexpr const char* kDesktopId = "io.github.parvane.Parvane";

// Options of Qt's application object (QGuiApplication and the X11 platform), which it removes
// from the arguments it hands on.
constexpr const char* kQtOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "name",          "title",      "qmljsdebugger"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "sync", "nograb", "dograb"};

// A file the desktop hands over as a URL is opened by its local path.
QString localPath(const QString& argument) {
    if (argument.startsWith(QLatin1String("file:")))
        return QUrl(argument).toLocalFile();
    return argument;
}

} // namespace

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Parvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PARVANE_VERSION));
    QGuiApplication::setDesktopFileName(QLatin1String(kDesktopId));
}

void keepNoSettings() {
    // Qt's dialogs keep their state in the user-scope settings file "QtProject.conf". A
    // folder below /dev/null can never be made, so those settings live in memory only, for
    // the session, and nothing reaches the user's folders.
    constexpr const char* kNowhere = "/dev/null";
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QString::fromLatin1(kNowhere));
}

void setProgramIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/parvane-%1.png").arg(side), QSize(side, side));
    QApplication::setWindowIcon(icon);
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options are words after one dash (-platform offscreen), not bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "parvane::app::Startup",
        "Assembles texture sets of 64 x 64 tiles for the Duskvale level editors."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate("parvane::app::Startup",
                                    "A picture or a level file to open in the Source, as if "
                                    "dropped on it."),
        QStringLiteral("[FILE]"));
    // The options that the application object takes for itself are let through, so that the
    // command line can be read before that object (and a display) exists.
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("parvane") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.text = QStringLiteral("%1: %2\n").arg(program, parser.errorText());
        return line;
    }
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::ShowHelp;
        // Without the application object Qt cannot name the program itself.
        line.text = parser.helpText().replace(QLatin1String("<executable_name>"), program);
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::ShowVersion;
        line.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion());
        return line;
    }
    // Like a drop of several files, only the first one is opened.
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty() && !files.first().isEmpty())
        line.file = QFileInfo(localPath(files.first())).absoluteFilePath();
    return line;
}

void openInSource(TMain& window, const QString& file) {
    // The canvas's drop field carries the dropped path to the Source's handler.
    if (auto* source = window.findChild<canvas::TFrameStack*>(QStringLiteral("Source")))
        source->DragNDrop->setText(file);
}

std::unique_ptr<TMain> startMainWindow(const CommandLine& commandLine) {
    auto window = std::make_unique<TMain>();
    window->show();
    if (!commandLine.file.isEmpty()) {
        // Once the window is on the screen: a message about the file then shows over it.
        TMain* shown = window.get();
        QTimer::singleShot(0, shown,
                           [shown, file = commandLine.file] { openInSource(*shown, file); });
    }
    return window;
}

} // namespace parvane::app
