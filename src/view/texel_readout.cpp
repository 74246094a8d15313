#include "view/texel_readout.h"

#include <cstdio>

std::string FormatTexelReadout(const TexelReadout& readout) {
    const TexelColour& c = readout.colour;
    char text[96];
    std::snprintf(text, sizeof text, "x %u, y %u   R %u G %u B %u A %u   #%02X%02X%02X%02X",
                  unsigned(readout.position.x), unsigned(readout.position.y), unsigned(c[0]),
                  unsigned(c[1]), unsigned(c[2]), unsigned(c[3]), unsigned(c[0]), unsigned(c[1]),
                  unsigned(c[2]), unsigned(c[3]));
    return text;
}
