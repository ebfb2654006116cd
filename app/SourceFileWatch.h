// Follows the file the Source was loaded from, so that a picture touched up in a picture
// editor shows again by itself. Editors save in several steps (a truncate, a few writes) and
// some write a new file and rename it over the old one: the watch follows the path, not the
// file it named when it started, and speaks only once the path has been quiet for a while.
// Free of any window: it only tells when the file should be read again.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>

namespace parvane::app {

class SourceFileWatch : public QObject {
    Q_OBJECT

public:
    // How long the path must stay quiet before it counts as changed.
    static constexpr int kQuietMs = 300;

    explicit SourceFileWatch(QObject* parent = nullptr);

    // Follows the file at path from now on, as it is now (just read); an empty path stops.
    void follow(const QString& path);
    void stop() { follow(QString()); }
    // The file followed; empty when none.
    const QString& path() const { return path_; }

signals:
    // The file differs from what was last read (or it came back) and has been quiet since.
    void changed();
    // The file is no longer there; it is still followed and tells `changed` when it returns.
    void vanished();

private:
    // What tells one version of the file from another without reading it.
    struct Stamp {
        bool exists = false;
        std::int64_t size = 0;
        std::int64_t modified = 0; // nanoseconds of the file clock
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);

    // Something happened to the file or its folder: watch the path's current file and wait
    // for quiet.
    void noticed(bool fileItself);
    void settle();
    void watchPath();

    QFileSystemWatcher watcher_;
    QTimer quiet_;
    QString path_;
    QString folder_;
    Stamp read_; // the file as last read (or last found missing)
    // The file's own watch spoke since the last read: it changed even if its size and time
    // look the same (two saves within the file clock's step).
    bool touched_ = false;
};

} // namespace parvane::app
