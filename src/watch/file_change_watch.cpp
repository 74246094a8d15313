#include "watch/file_change_watch.h"

#include "texture/utf8_path.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

FileChangeWatch::FileChangeWatch(Listener listener, FileWatchTiming timing)
    : listener_(std::move(listener)), timing_(timing), rule_(timing) {
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
    rule_ = SettleRule(timing_);
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
    settle_.start(rule_.Changed());
}

void FileChangeWatch::Settled() {
    Rewatch();
    const SettleRule::Next next = rule_.Looked(LookAt(pictavo::PathOf(path_)));
    if (next.step == SettleRule::Next::Step::kWait) {
        settle_.start(next.waitMs);
        return;
    }
    if (next.step == SettleRule::Next::Step::kGone) {
        return; // gone for now: its return shows in the folder
    }
    QFile file(QString::fromStdString(path_));
    if (!file.open(QIODevice::ReadOnly))
        return; // not readable as it is: the next change brings another look
    file.close();
    listener_();
}
