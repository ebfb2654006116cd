// How the desktop program starts: its name and version as the desktop sees them, the command
// line (--help, --version and an optional file), and the file opened into the Source.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace parvane::app {

class TMain;

// What the command line asks for.
struct CommandLine {
    enum class Action {
        Run,         // open the window, with file in the Source when one is given
        ShowHelp,    // print text on standard output and stop
        ShowVersion, // print text on standard output and stop
        Refuse,      // print text on standard error and stop with a usage error
    };
    Action action = Action::Run;
    QString file; // absolute path of the file to open, or empty
    QString text;
};

// Exit status of a command line that could not be understood.
constexpr int kExitUsage = 2;

// The program's name, version and desktop entry, for message boxes, --version and the desktop.
// Callable before the application object exists.
void describeApplication();
// Keeps Qt's own dialogs from writing their settings (the colour dialog's custom colours, the
// file dialogs' history) under the user's configuration folder: the program keeps nothing
// between runs. Called before any dialog exists.
void keepNoSettings();
// The program's icon for its windows; once the application object exists.
void setProgramIcon();

// Reads the arguments (the program's name first), before or after the application object
// exists; Qt's own options (-platform, -style, ...) are let through.
CommandLine parseCommandLine(const QStringList& arguments);

// Opens the main window, shown, and loads the command line's file into the Source once the
// window is up, exactly as a file dropped on the Source canvas: a level file gives all its
// textures, any other file is read as a picture. A file that cannot be opened gives the usual
// message and leaves the Source empty; the window stays open either way.
std::unique_ptr<TMain> startMainWindow(const CommandLine& commandLine);

// The load that startMainWindow queues, for a window already shown.
void openInSource(TMain& window, const QString& file);

} // namespace parvane::app
