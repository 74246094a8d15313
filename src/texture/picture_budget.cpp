#include "picture_budget.h"

namespace pictavo {

bool WithinPictureBudget(std::uint64_t width, std::uint64_t height, std::string& failure) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) {
        failure = "the picture claims a size of " + size;
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        failure = "the picture claims " + size + " pixels; at most " +
                  std::to_string(kMaxPictureSide) + " a side and " +
                  std::to_string(kMaxPicturePixels) + " in all are read";
        return false;
    }
    return true;
}

bool BytesCanHold(std::uint64_t needed, std::uint64_t available, std::string& failure) {
    if (needed > available) {
        failure = "the file is too short for the size it claims (" + std::to_string(available) +
                  " bytes, at least " + std::to_string(needed) + " needed)";
        return false;
    }
    return true;
}

} // namespace pictavo
