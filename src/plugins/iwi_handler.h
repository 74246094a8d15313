#pragma once

#include "texture/texture.h"

#include <QImageIOHandler>

// Reads IWI files for any Qt program: one image per mip level of the first face, level 0
// first.
class IwiHandler : public QImageIOHandler {
public:
    // Whether the device's next bytes start an IWI file; the device is left where it was.
    static bool CanRead(QIODevice* device);

    bool canRead() const override;
    bool read(QImage* image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;
    int imageCount() const override;
    bool jumpToImage(int imageNumber) override;
    bool jumpToNextImage() override;
    int currentImageNumber() const override;

private:
    // Reads the whole device once; false when it holds no texture we can decode.
    bool Load();

    pictavo::Texture texture_;
    bool loaded_ = false;
    bool valid_ = false;
    int current_ = 0;
};
