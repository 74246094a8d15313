#pragma once

#include <cstdint>

struct RgbColour {
    float red = 0;
    float green = 0;
    float blue = 0;
};

// A Windows colour value, 0x00BBGGRR, as three fractions of full intensity.
RgbColour ColourFromColorRef(std::uint32_t colorRef);
