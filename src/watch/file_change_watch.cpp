#include "watch/file_change_watch.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

FileChangeWatch::FileChangeWatch(Listener listener, FileWatchTiming timing)
    : listener_(std::move(listener)), timing_(timing) {
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, [this] { Settled(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Changed(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        // Something else in the folder changed, or the file came back under its name.
        if (!watcher_.files().contains(QFileInfo(QString::fromStdString(path_)).absoluteFilePath()))
            Changed();
    });
}

void FileChangeWatch::Watch(const std::string& path) {
    if (path == path_)
        return;
    settle_.stop();
    last_.reset();
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    path_ = path;
    if (path_.empty())
        return;
    const QFileInfo file(QString::fromStdString(path_));
    watcher_.addPath(file.absolutePath());
    Rewatch();
}

void FileChangeWatch::Rewatch() {
    const QString file = QFileInfo(QString::fromStdString(path_)).absoluteFilePath();
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
}

void FileChangeWatch::Changed() {
    Rewatch();
    last_.reset();
    settle_.start(timing_.settleMs);
}

std::optional<FileChangeWatch::Look> FileChangeWatch::LookAt() const {
    const QFileInfo file(QString::fromStdString(path_));
    if (!file.exists() || !file.isFile())
        return std::nullopt;
    return Look{file.size(), file.lastModified().toMSecsSinceEpoch()};
}

void FileChangeWatch::Settled() {
    Rewatch();
    const std::optional<Look> look = LookAt();
    if (!look) {
        last_.reset(); // gone for now: its return shows in the folder
        return;
    }
    if (look != last_) {
        // Still being written, or the first look: look again shortly.
        last_ = look;
        settle_.start(timing_.stableMs);
        return;
    }
    last_.reset();
    QFile file(QString::fromStdString(path_));
    if (!file.open(QIODevice::ReadOnly))
        return; // not readable as it is: the next change brings another look
    file.close();
    listener_();
}
