#pragma once

#include "watch/settle_rule.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

// Watches one file and tells once it has changed on disk and is whole again: it has settled
// (see SettleRule) and it opens. A file replaced by a rename (as editors save) or deleted and
// written anew is followed through its folder.
class FileChangeWatch : public QObject {
public:
    using Listener = std::function<void()>;

    explicit FileChangeWatch(Listener listener, FileWatchTiming timing = {});

    // Watches `path` from now on, in place of any other; an empty path watches nothing.
    void Watch(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    void Changed();
    void Settled();
    // Watches the file again after a rename or delete took it from the watcher.
    void Rewatch();

    Listener listener_;
    FileWatchTiming timing_;
    std::string path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    SettleRule rule_;
};
