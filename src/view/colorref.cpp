#include "view/colorref.h"

RgbColour ColourFromColorRef(std::uint32_t colorRef) {
    auto channel = [colorRef](int shift) { return float((colorRef >> shift) & 0xFF) / 255.0f; };
    return {channel(0), channel(8), channel(16)};
}
