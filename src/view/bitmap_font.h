#pragma once

#include <QFont>
#include <cstdint>
#include <vector>

// One character as glBitmap draws it: rows bottom first, one bit per pixel, most significant
// bit leftmost, each row padded to whole bytes. The origin is the character's point on the
// baseline, measured from the bitmap's lower left corner.
struct GlyphBitmap {
    int width = 0;
    int height = 0;
    float xOrigin = 0;
    float yOrigin = 0;
    float advance = 0;
    std::vector<std::uint8_t> rows;

    bool IsSet(int x, int rowFromBottom) const;
};

// The overlay's font: the system's general font, bold, at a fixed pixel size.
QFont OverlayFont();

// Latin-1 character `code` drawn with `font`. Control characters (and the invisible soft
// hyphen) draw nothing and do not move the raster position; a blank moves it without
// drawing.
GlyphBitmap RasterizeGlyph(const QFont& font, unsigned char code);

// Compiles display list base + c, drawing character c, for c from 0 to count - 1. Needs a
// current OpenGL context.
void BuildFontLists(const QFont& font, unsigned int base, int count);
