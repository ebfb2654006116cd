#include "app/SourceFileWatch.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace parvane::app {

SourceFileWatch::SourceFileWatch(QObject* parent) : QObject(parent) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &SourceFileWatch::settle);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { noticed(true); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { noticed(false); });
}

SourceFileWatch::Stamp SourceFileWatch::stampOf(const QString& path) {
    const std::filesystem::path file(QFile::encodeName(path).toStdString());
    std::error_code error;
    Stamp stamp;
    if (!std::filesystem::is_regular_file(file, error))
        return stamp;
    const auto size = std::filesystem::file_size(file, error);
    if (error)
        return stamp;
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error)
        return stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(size);
    stamp.modified =
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return stamp;
}

void SourceFileWatch::follow(const QString& path) {
    quiet_.stop();
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    touched_ = false;
    path_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    folder_.clear();
    read_ = {};
    if (path_.isEmpty())
        return;
    read_ = stampOf(path_);
    // The folder sees a file renamed over the followed one, and the file coming back after
    // it was removed; the file's own watch sees it written in place.
    folder_ = QFileInfo(path_).absolutePath();
    watcher_.addPath(folder_);
    watchPath();
}

void SourceFileWatch::watchPath() {
    // The file's watch stays on the file it was set on, which a rename over the path (or a
    // removal) takes away: it is set again on whatever file the path names now.
    if (watcher_.files().contains(path_))
        watcher_.removePath(path_);
    if (QFileInfo::exists(path_))
        watcher_.addPath(path_);
}

void SourceFileWatch::noticed(bool fileItself) {
    if (path_.isEmpty())
        return;
    if (fileItself)
        touched_ = true;
    watchPath();
    // Every notice starts the quiet time again: an editor's save is over once it stops.
    quiet_.start();
}

void SourceFileWatch::settle() {
    const Stamp now = stampOf(path_);
    if (!now.exists) {
        const bool wasThere = read_.exists;
        read_ = now;
        touched_ = false;
        if (wasThere)
            emit vanished();
        return;
    }
    // Other files of the folder come and go without touching this one.
    if (now == read_ && !touched_)
        return;
    read_ = now;
    touched_ = false;
    emit changed();
}

} // namespace parvane::app
