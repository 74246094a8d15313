#include "image_decode.h"

#include "texture.h"

#include <climits>

// Sides beyond what any container we write can hold are refused before stb allocates.
#define STBI_MAX_DIMENSIONS 65536
#define STBI_NO_STDIO
#define STBI_NO_GIF
#define STBI_NO_HDR
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace pictavo {

namespace {

// stb counts bytes in an int.
bool FitsStb(std::span<const std::uint8_t> bytes) {
    return !bytes.empty() && bytes.size() <= INT_MAX;
}

} // namespace

bool IsPicture(std::span<const std::uint8_t> bytes) {
    int width = 0;
    int height = 0;
    int channels = 0;
    return FitsStb(bytes) && stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                   &width, &height, &channels) != 0;
}

bool DecodePicture(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure) {
    if (!FitsStb(bytes)) {
        failure = "the file is empty or too large";
        return false;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) {
        failure = std::string("the picture cannot be read (") + stbi_failure_reason() + ")";
        return false;
    }
    out.width = static_cast<std::uint32_t>(width);
    out.height = static_cast<std::uint32_t>(height);
    out.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

} // namespace pictavo
