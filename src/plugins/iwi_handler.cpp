#include "plugins/iwi_handler.h"

#include "texture/decode.h"
#include "texture/texture_reader.h"

#include <QImage>
#include <QSize>
#include <QVariant>
#include <cstring>

namespace {

bool IsIwi(const QByteArray& firstBytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(firstBytes.constData());
    return pictavo::ContainerOf({data, static_cast<std::size_t>(firstBytes.size())}) ==
           pictavo::Container::kIwi;
}

} // namespace

bool IwiHandler::CanRead(QIODevice* device) {
    return device != nullptr && IsIwi(device->peek(4));
}

bool IwiHandler::canRead() const {
    // Once read, the file is known; a device that cannot seek back has moved past its start.
    if (loaded_ ? !valid_ : !CanRead(device())) {
        return false;
    }
    setFormat("iwi");
    return true;
}

bool IwiHandler::Load() {
    if (!loaded_) {
        loaded_ = true;
        QIODevice* source = device();
        const qint64 start = source != nullptr ? source->pos() : 0;
        const QByteArray bytes = source != nullptr ? source->readAll() : QByteArray();
        // Asking for the size or the count leaves the device where it was.
        if (source != nullptr && !source->isSequential()) {
            source->seek(start);
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        valid_ = IsIwi(bytes) &&
                 pictavo::ReadTexture({data, static_cast<std::size_t>(bytes.size())}, texture_) ==
                     pictavo::TextureError::kNone;
    }
    return valid_;
}

bool IwiHandler::read(QImage* image) {
    if (!Load()) {
        return false;
    }
    pictavo::RgbaImage rgba;
    if (!pictavo::DecodeImage(texture_, static_cast<std::uint32_t>(current_), 0, rgba)) {
        return false;
    }
    QImage decoded(static_cast<int>(rgba.width), static_cast<int>(rgba.height),
                   QImage::Format_RGBA8888);
    if (decoded.isNull()) {
        return false;
    }
    const std::size_t row = std::size_t{rgba.width} * 4;
    for (int y = 0; y < decoded.height(); ++y) {
        std::memcpy(decoded.scanLine(y), rgba.pixels.data() + row * y, row);
    }
    *image = decoded;
    return true;
}

bool IwiHandler::supportsOption(ImageOption option) const {
    return option == Size;
}

QVariant IwiHandler::option(ImageOption option) const {
    // Qt asks for options through a const handler before reading.
    auto* self = const_cast<IwiHandler*>(this);
    if (option != Size || !self->Load()) {
        return {};
    }
    const auto level = static_cast<std::uint32_t>(current_);
    return QSize(static_cast<int>(texture_.info.LevelWidth(level)),
                 static_cast<int>(texture_.info.LevelHeight(level)));
}

int IwiHandler::imageCount() const {
    return const_cast<IwiHandler*>(this)->Load() ? static_cast<int>(texture_.info.levels) : 0;
}

bool IwiHandler::jumpToImage(int imageNumber) {
    if (imageNumber < 0 || imageNumber >= imageCount()) {
        return false;
    }
    current_ = imageNumber;
    return true;
}

bool IwiHandler::jumpToNextImage() {
    return jumpToImage(current_ + 1);
}

int IwiHandler::currentImageNumber() const {
    return current_;
}
