#include "view/bitmap_font.h"

#include <gtest/gtest.h>

namespace {

int SetPixels(const GlyphBitmap& glyph) {
    int count = 0;
    for (int row = 0; row < glyph.height; ++row) {
        for (int x = 0; x < glyph.width; ++x) {
            count += glyph.IsSet(x, row);
        }
    }
    return count;
}

int SetPixelsInRow(const GlyphBitmap& glyph, int row) {
    int count = 0;
    for (int x = 0; x < glyph.width; ++x) {
        count += glyph.IsSet(x, row);
    }
    return count;
}

TEST(BitmapFontTest, SpaceAdvancesWithoutDrawing) {
    const GlyphBitmap space = RasterizeGlyph(OverlayFont(), ' ');
    EXPECT_GT(space.advance, 0.0f);
    EXPECT_EQ(SetPixels(space), 0);
    EXPECT_FALSE(space.rows.empty()) << "glBitmap ignores a call without a bitmap";
}

TEST(BitmapFontTest, ControlCharactersNeitherDrawNorAdvance) {
    for (unsigned char code : {0, 7, 10, 31, 127, 0x85, 0xAD}) {
        const GlyphBitmap glyph = RasterizeGlyph(OverlayFont(), code);
        EXPECT_EQ(glyph.advance, 0.0f) << int(code);
        EXPECT_TRUE(glyph.rows.empty()) << int(code);
    }
}

TEST(BitmapFontTest, EveryPrintableLatin1CharacterAdvances) {
    const QFont font = OverlayFont();
    for (int code = 32; code < 255; ++code) {
        if ((code >= 127 && code < 160) || code == 0xAD) {
            continue; // DEL, the C1 controls and the invisible soft hyphen
        }
        EXPECT_GT(RasterizeGlyph(font, static_cast<unsigned char>(code)).advance, 0.0f) << code;
    }
}

TEST(BitmapFontTest, LettersDrawInWholeByteRows) {
    for (unsigned char code : {'A', 'g', 'W', '%', '1'}) {
        const GlyphBitmap glyph = RasterizeGlyph(OverlayFont(), code);
        EXPECT_GT(SetPixels(glyph), 5) << code;
        EXPECT_EQ(glyph.rows.size(), std::size_t((glyph.width + 7) / 8) * glyph.height) << code;
        EXPECT_LE(glyph.width, int(glyph.advance) + 4) << code;
    }
}

TEST(BitmapFontTest, RowsRunBottomFirstAroundTheBaseline) {
#ifdef _WIN32
    GTEST_SKIP() << "the glyph shapes counted here are those of the Linux fonts";
#endif
    const QFont font = OverlayFont();
    const GlyphBitmap t = RasterizeGlyph(font, 'T');
    // The bar of a T is at its top, which is the last rows.
    int top = t.height - 1;
    while (top > 0 && SetPixelsInRow(t, top) == 0) {
        --top;
    }
    int bottom = 0;
    while (bottom < t.height - 1 && SetPixelsInRow(t, bottom) == 0) {
        ++bottom;
    }
    EXPECT_GT(SetPixelsInRow(t, top), 2 * SetPixelsInRow(t, bottom));
    // T sits on the baseline; g hangs below it.
    EXPECT_NEAR(float(bottom), t.yOrigin, 1.0f);
    const GlyphBitmap g = RasterizeGlyph(font, 'g');
    EXPECT_GT(g.yOrigin, t.yOrigin + 1.0f);
}

} // namespace
