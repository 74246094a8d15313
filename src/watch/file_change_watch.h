#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// How long a watched file must stay quiet before it is taken as whole.
struct FileWatchTiming {
    int settleMs = 200; // quiet after the last change before looking
    int stableMs = 150; // between the two looks that must agree
};

// Watches one file and tells once it has changed on disk and is whole again: no change has
// come for a while, its size and time stay the same across a further look, and it opens.
// A file replaced by a rename (as editors save) or deleted and written anew is followed
// through its folder.
class FileChangeWatch : public QObject {
public:
    using Listener = std::function<void()>;

    explicit FileChangeWatch(Listener listener, FileWatchTiming timing = {});

    // Watches `path` from now on, in place of any other; an empty path watches nothing.
    void Watch(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    struct Look {
        std::int64_t size = -1;
        std::int64_t modified = 0;
        bool operator==(const Look&) const = default;
    };

    void Changed();
    void Settled();
    // Watches the file again after a rename or delete took it from the watcher.
    void Rewatch();
    std::optional<Look> LookAt() const;

    Listener listener_;
    FileWatchTiming timing_;
    std::string path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    std::optional<Look> last_;
};
