#include "view/overlay_text.h"

OverlayLines ComposeOverlay(const OverlayState& state) {
    constexpr int kLeft = 5;
    OverlayLines result;
    auto add = [&result](int y, const char* text, bool showsFramesPerSecond = false) {
        result.lines[result.count++] = {kLeft, y, text, showsFramesPerSecond};
    };
    add(10, state.mergeBump ? "Combine Normal Map: On (F1)" : "Combine Normal Map: Off (F1)");
    add(20, "FPS: %.2f", true);
    if (state.mergeBump) {
        add(25, "-------------------");
        add(30, state.normalMapLoaded ? "NormalMap: Yes" : "NormalMap: No");
        add(40, state.embossOn ? "Emboss: On (F2)" : "Emboss: Off (F2)");
    }
    return result;
}

RgbColour OutlineColour(RgbColour text) {
    // Relative luminance: green weighs most, blue least.
    const float luminance = 0.2126f * text.red + 0.7152f * text.green + 0.0722f * text.blue;
    return luminance > 0.5f ? RgbColour{0, 0, 0} : RgbColour{1, 1, 1};
}
