// The 2x drawing: twice the 1x image's size, its glyphs where the 1x glyphs
// lie, scaled, and the same bits every time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/font_engine.h"
#include "imaging/rasterizer.h"
#include "tests/test_support.h"

namespace {

// Code page 949 texts: Hangul, ASCII with thin glyphs and a space, and the
// error glyph (U+2665) between letters.
const std::vector<std::string> kTexts = {"\xC7\xD1\xB1\xB9\xBE\xEE", "Seoul 2002 il.",
                                         "\xB0\xA1\xB3\xAA\xB4\xD9 WM", "a\xA2\xBE" "b"};

struct Drawn {
    GlyphBitmap one;
    GlyphBitmap two;
};

GlyphBitmap Draw(RasterResult (*rasterize)(const FontChoice&, const unsigned char*, std::size_t, bool, GlyphBitmap&),
                 const FontChoice& font, const std::string& text)
{
    GlyphBitmap bitmap;
    const std::string terminated = text + std::string(2, '\0');
    EXPECT_EQ(rasterize(font, reinterpret_cast<const unsigned char*>(terminated.data()), terminated.size(), false,
                        bitmap),
              RasterResult::kDrawn);
    return bitmap;
}

bool Ink(const GlyphBitmap& b, int x, int y)
{
    if (x < 0 || y < 0 || x >= b.width || y >= b.height)
        return false;
    return b.bits[static_cast<std::size_t>(y) * b.rowBytes + x / 8] & (0x80 >> (x % 8));
}

bool InkIn(const GlyphBitmap& b, int left, int top, int right, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (Ink(b, x, y))
                return true;
    return false;
}

std::vector<unsigned char> Bits(const GlyphBitmap& b)
{
    return {b.bits.get(), b.bits.get() + b.size};
}

}  // namespace

TEST(DoubledRasterizer, IsTwiceTheSizeWithTheInkWhereThe1xInkIs)
{
    for (const char* size : {"8", "12", "16"}) {
        for (int dpi : {96, 120}) {
            const FontChoice font{kTestFont, size, dpi};
            for (const std::string& text : kTexts) {
                SCOPED_TRACE(std::string(size) + " pt at " + std::to_string(dpi) + " dpi: " + text);
                const GlyphBitmap one = Draw(RasterizeGlyphs, font, text);
                const GlyphBitmap two = Draw(RasterizeGlyphsDoubled, font, text);
                ASSERT_EQ(two.width, 2 * one.width);
                ASSERT_EQ(two.height, 2 * one.height);
                ASSERT_EQ(two.size, static_cast<std::size_t>(two.rowBytes) * two.height);
                ASSERT_GE(two.rowBytes * 8, two.width);

                // Hinting moves strokes by a pixel at either size, so the ink
                // is compared near where it should be: a 1x ink pixel's 2x2
                // block, two device pixels around, and a 2x ink pixel's 1x
                // pixel, one pixel around. Ink drawn at the wrong size, pen
                // or baseline misses by far more.
                int oneInk = 0, oneFound = 0, twoInk = 0, twoFound = 0;
                for (int y = 0; y < one.height; ++y)
                    for (int x = 0; x < one.width; ++x)
                        if (Ink(one, x, y)) {
                            ++oneInk;
                            oneFound += InkIn(two, 2 * x - 2, 2 * y - 2, 2 * x + 3, 2 * y + 3);
                        }
                for (int y = 0; y < two.height; ++y)
                    for (int x = 0; x < two.width; ++x)
                        if (Ink(two, x, y)) {
                            ++twoInk;
                            twoFound += InkIn(one, x / 2 - 1, y / 2 - 1, x / 2 + 1, y / 2 + 1);
                        }
                ASSERT_GT(oneInk, 20);
                EXPECT_GE(oneFound * 100, oneInk * 98) << oneFound << " of " << oneInk;
                EXPECT_GE(twoFound * 100, twoInk * 98) << twoFound << " of " << twoInk;
                // Twice the size in both directions: about four times the ink.
                EXPECT_GT(twoInk, 2 * oneInk);
                EXPECT_LT(twoInk, 6 * oneInk);
            }
        }
    }
}

TEST(DoubledRasterizer, EachGlyphSitsAtTwiceIts1xPen)
{
    // The 2x image of a text holds each glyph's own 2x image moved right by
    // twice the glyph's 1x pen (the 1x width of the text before it), so no
    // glyph drifts by the rounding of the 2x advances.
    // A 12 px em: a syllable advances 11 px, and 23 px (not 22) at 24 px.
    const FontChoice font{kTestFont, "9", 96};
    const std::string text = "\xC7\xD1\xB1\xB9\xBE\xEE\xB0\xA1\xB3\xAA";
    const GlyphBitmap whole = Draw(RasterizeGlyphsDoubled, font, text);
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const int pen = at == 0 ? 0 : Draw(RasterizeGlyphs, font, text.substr(0, at)).width;
        const GlyphBitmap glyph = Draw(RasterizeGlyphsDoubled, font, text.substr(at, 2));
        ASSERT_EQ(glyph.height, whole.height);
        int missing = 0;
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                missing += Ink(glyph, x, y) && !Ink(whole, x + 2 * pen, y);
        EXPECT_EQ(missing, 0) << "glyph " << at / 2 << " not at twice its 1x pen " << pen;
    }
}

TEST(DoubledRasterizer, TheBaselineIsTwiceThe1xAscent)
{
    // At 12 points (16 px) the ascent is 15 px, and 29 px at 32 px: the 2x
    // image holds what the 32 px face draws by itself, one row lower. Its
    // syllables advance 15 and 30 px, so the pens agree.
    const FontChoice choice{kTestFont, "12", 96};
    const HangulFont one(kTestFont, 16);
    HangulFont two(kTestFont, 32);
    const int shift = 2 * one.Ascent() - two.Ascent();
    ASSERT_NE(shift, 0) << "the rounding no longer tells the baselines apart";
    const std::string text = "\xC7\xD1\xB1\xB9\xBE\xEE";
    const GlyphBitmap doubled = Draw(RasterizeGlyphsDoubled, choice, text);
    std::vector<unsigned char> alone(doubled.size);
    two.Draw(U"한국어", alone.data(), doubled.width, doubled.height, doubled.rowBytes);
    int differing = 0;
    for (int y = 0; y < doubled.height; ++y) {
        for (int x = 0; x < doubled.width; ++x) {
            const int from = y - shift;
            const bool ink = from >= 0 && from < doubled.height &&
                             (alone[static_cast<std::size_t>(from) * doubled.rowBytes + x / 8] & (0x80 >> (x % 8)));
            differing += ink != Ink(doubled, x, y);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(DoubledRasterizer, DrawsTheSameBitsEveryTimeAndFailsAs1xFails)
{
    const FontChoice font{kTestFont, "12", 96};
    const std::vector<unsigned char> first = Bits(Draw(RasterizeGlyphsDoubled, font, kTexts[0]));
    Draw(RasterizeGlyphs, font, kTexts[2]);  // the 1x size's glyphs cached between
    Draw(RasterizeGlyphsDoubled, font, kTexts[1]);
    EXPECT_EQ(Bits(Draw(RasterizeGlyphsDoubled, font, kTexts[0])), first);

    // An empty text: no width, twice the height.
    const GlyphBitmap empty = Draw(RasterizeGlyphsDoubled, font, "");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 2 * Draw(RasterizeGlyphs, font, "").height);

    GlyphBitmap bitmap;
    const unsigned char text[] = "abc";
    EXPECT_EQ(RasterizeGlyphsDoubled({"No Such Hangul Face", "12", 96}, text, sizeof text, false, bitmap),
              RasterResult::kFontFailed);
    EXPECT_EQ(bitmap.bits, nullptr);
}
