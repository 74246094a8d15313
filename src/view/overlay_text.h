#pragma once

#include "view/colorref.h"

#include <array>
#include <cstddef>
#include <utility>

// One line of the text overlay, in the overlay's 465 x 301 units (y grows downward, at the
// text's baseline). A line that shows the frame rate holds a printf format for it.
struct OverlayLine {
    int x = 0;
    int y = 0;
    const char* text = nullptr;
    bool showsFramesPerSecond = false;
};

struct OverlayState {
    bool mergeBump = false;
    bool normalMapLoaded = false;
    bool embossOn = false;
};

// The lines of one frame, top to bottom; fixed storage, so drawing allocates nothing.
struct OverlayLines {
    std::array<OverlayLine, 5> lines{};
    std::size_t count = 0;

    const OverlayLine* begin() const { return lines.data(); }
    const OverlayLine* end() const { return lines.data() + count; }
};

inline constexpr int kOverlayWidth = 465;
inline constexpr int kOverlayHeight = 301;

OverlayLines ComposeOverlay(const OverlayState& state);

// The outline drawn one device pixel around each character: black around light text, white
// around dark text, so the text stands out over dark, bright and saturated textures alike.
RgbColour OutlineColour(RgbColour text);
inline constexpr std::array<std::pair<int, int>, 8> kOutlineOffsets{
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};
