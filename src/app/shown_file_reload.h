#pragma once

#include "archive/image_location.h"
#include "texture/texture.h"
#include "watch/file_change_watch.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class COpenGLControl;

// Reloads the image on display when its file, or the archive it came from, changes on disk
// and is whole again, keeping the view's level, face, channels, zoom and pan. A version that
// does not read is left alone: the image shown stays, and the next change is awaited.
class ShownFileReload {
public:
    // Hears of each reload and of each version that did not read, with a sentence for the
    // status line.
    using Listener = std::function<void(const std::string& note)>;

    ShownFileReload(COpenGLControl& view, Listener listener, FileWatchTiming timing = {});

    // Follows the image the view shows now; call after each load.
    void Follow();
    // The image as it was before the last reload; null before any.
    std::shared_ptr<const pictavo::Texture> PreviousVersion() const { return previous_; }

private:
    void Settled();

    COpenGLControl& view_;
    Listener listener_;
    FileChangeWatch watch_;
    std::optional<pictavo::ImageLocation> following_;
    std::shared_ptr<const pictavo::Texture> previous_;
};
