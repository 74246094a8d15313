#include "picture_budget.h"

#include <string>

namespace pictavo {

Status WithinPictureBudget(std::uint64_t width, std::uint64_t height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) {
        return Failure(TextureError::kBadSize, "the picture claims a size of " + size);
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        return Failure(TextureError::kTooLarge,
                       "the picture claims " + size + " pixels; at most " +
                           std::to_string(kMaxPictureSide) + " a side and " +
                           std::to_string(kMaxPicturePixels) + " in all are read");
    }
    return {};
}

Status BytesCanHold(std::uint64_t needed, std::uint64_t available) {
    if (needed > available) {
        return Failure(TextureError::kTruncated, "the file is too short for the size it claims (" +
                                                     std::to_string(available) +
                                                     " bytes, at least " + std::to_string(needed) +
                                                     " needed)");
    }
    return {};
}

} // namespace pictavo
