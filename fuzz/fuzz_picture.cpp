// Pictures from memory, as the converter reads them: the kind check, then the whole decode.
#include "texture/image_decode.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    pictavo::RgbaImage image;
    if (pictavo::IsPicture(bytes)) {
        static_cast<void>(pictavo::DecodePicture(bytes, image));
    }
    return 0;
}
