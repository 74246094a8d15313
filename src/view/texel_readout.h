#pragma once

#include "view/flat_image.h"
#include "viewport/flat_viewport.h"

#include <string>

// The texel under the cursor in the 2D view: where it is in its level, and its bytes as
// decoded.
struct TexelReadout {
    TexelPosition position;
    TexelColour colour{};
    bool operator==(const TexelReadout&) const = default;
};

// The status line's text, "x 12, y 40   R 255 G 128 B 0 A 255   #FF8000FF".
std::string FormatTexelReadout(const TexelReadout& readout);
