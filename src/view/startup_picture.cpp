#include "view/startup_picture.h"

#include "texture/level_flip.h"
#include "texture/pixel_format.h"
#include "texture/texture.h"

std::shared_ptr<const pictavo::Texture> StartupTexture() {
    static const std::shared_ptr<const pictavo::Texture> texture = [] {
        auto made = std::make_shared<pictavo::Texture>();
        made->info.format = pictavo::kFormatDxt5;
        made->info.width = kStartupPictureWidth;
        made->info.height = kStartupPictureHeight;
        pictavo::Bytes level(kStartupPicture.begin(), kStartupPicture.end());
        // Stored bottom row first for OpenGL; turning it over again puts the top first.
        pictavo::FlipLevelVertically(*pictavo::FindFormat(pictavo::kFormatDxt5),
                                     kStartupPictureWidth, kStartupPictureHeight, level.data(),
                                     level.size());
        made->images.push_back(std::move(level));
        return made;
    }();
    return texture;
}
