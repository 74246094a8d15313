#include "app/shown_file_reload.h"

#include "texture/texture_reader.h"
#include "view/opengl_control.h"

#include <utility>

namespace {

bool SamePlace(const pictavo::ImageLocation& a, const pictavo::ImageLocation& b) {
    return a.filePath == b.filePath && a.archivePath == b.archivePath && a.entryName == b.entryName;
}

} // namespace

ShownFileReload::ShownFileReload(COpenGLControl& view, Listener listener, FileWatchTiming timing)
    : view_(view), listener_(std::move(listener)), watch_([this] { Settled(); }, timing) {}

void ShownFileReload::Follow() {
    const pictavo::ImageLocation* shown = view_.Loader().ShownLocation();
    if (shown == nullptr || view_.Loader().ShownTexture() == nullptr) {
        following_.reset();
        watch_.Watch("");
        return;
    }
    if (following_ && SamePlace(*following_, *shown))
        return;
    following_ = *shown;
    previous_.reset(); // a previous version belongs to one image
    watch_.Watch(shown->InArchive() ? shown->archivePath : shown->filePath);
}

void ShownFileReload::Settled() {
    const pictavo::ImageLocation* shown = view_.Loader().ShownLocation();
    if (!following_ || shown == nullptr || !SamePlace(*following_, *shown))
        return;
    // Read once on its own first: a version that does not read never replaces the image.
    std::vector<std::uint8_t> bytes;
    pictavo::Texture texture;
    if (const pictavo::Status read = pictavo::ReadImageBytes(*shown, bytes); !read) {
        listener_(shown->name + " changed on disk and does not read: " + read.error().text);
        return;
    }
    if (const pictavo::TextureError read = pictavo::ReadTexture(bytes, texture);
        read != pictavo::TextureError::kNone) {
        listener_(shown->name + " changed on disk and does not read: " + pictavo::ErrorText(read));
        return;
    }
    previous_ = view_.Loader().ShownTexture();
    const std::string name = shown->name;
    view_.ReloadShown();
    listener_("Reloaded " + name + ", changed on disk");
}
