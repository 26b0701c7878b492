// The 2x drawing: twice the 1x image's size, each glyph at twice its 1x pen
// and baseline, the same bits every time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/font_engine.h"
#include "imaging/rasterizer.h"
#include "tests/test_support.h"

using namespace sylpic;

namespace {

GlyphBitmap Draw(decltype(&RasterizeGlyphs) rasterize, const FontChoice& font, const std::string& text)
{
    GlyphBitmap bitmap;
    const std::string terminated = text + std::string(2, '\0');
    EXPECT_EQ(rasterize(font, reinterpret_cast<const unsigned char*>(terminated.data()), terminated.size(), false,
                        bitmap),
              ImagingStatus::kOk);
    return bitmap;
}

bool Ink(const GlyphBitmap& b, int x, int y)
{
    return x >= 0 && y >= 0 && x < b.width && y < b.height &&
           (b.bits[static_cast<std::size_t>(y) * b.rowBytes + x / 8] & (0x80 >> (x % 8)));
}

bool InkNear(const GlyphBitmap& b, int x, int y, int reach)
{
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (Ink(b, x + dx, y + dy))
                return true;
    return false;
}

}  // namespace

TEST(DoubledRasterizer, IsTwiceTheSizeWithTheInkWhereThe1xInkIsAndTheSameEveryTime)
{
    const FontChoice twelve{kTestFont, "12", 96};
    const GlyphBitmap first = Draw(RasterizeGlyphsDoubled, twelve, "\xC7\xD1\xB1\xB9");

    // Hangul, ASCII with thin glyphs, and the error glyph (U+2665).
    for (const std::string text : {"\xC7\xD1\xB1\xB9\xBE\xEE", "Seoul 2002 il.", "a\xA2\xBE" "b", ""}) {
        for (const FontChoice& font : {FontChoice{kTestFont, "8", 96}, FontChoice{kTestFont, "16", 120}}) {
            SCOPED_TRACE(font.size + " pt: " + text);
            const GlyphBitmap one = Draw(RasterizeGlyphs, font, text);
            const GlyphBitmap two = Draw(RasterizeGlyphsDoubled, font, text);
            ASSERT_EQ(two.width, 2 * one.width);
            ASSERT_EQ(two.height, 2 * one.height);
            ASSERT_EQ(two.size, static_cast<std::size_t>(two.rowBytes) * two.height);
            // Hinting moves strokes by a pixel at either size, so ink is
            // looked for near where it belongs; ink drawn at the wrong size
            // or place misses by far more.
            int oneInk = 0, oneFound = 0, twoInk = 0, twoFound = 0;
            for (int y = 0; y < two.height; ++y) {
                for (int x = 0; x < two.width; ++x) {
                    if (x % 2 == 0 && y % 2 == 0 && Ink(one, x / 2, y / 2)) {
                        ++oneInk;
                        oneFound += InkNear(two, x, y, 2) || InkNear(two, x + 1, y + 1, 2);
                    }
                    if (Ink(two, x, y)) {
                        ++twoInk;
                        twoFound += InkNear(one, x / 2, y / 2, 1);
                    }
                }
            }
            EXPECT_GE(oneFound * 100, oneInk * 98) << oneFound << " of " << oneInk;
            EXPECT_GE(twoFound * 100, twoInk * 98) << twoFound << " of " << twoInk;
            EXPECT_TRUE(text.empty() || (twoInk > 2 * oneInk && twoInk < 6 * oneInk)) << oneInk << " " << twoInk;
        }
    }
    // Other sizes' glyphs were cached since: the same bits again.
    const GlyphBitmap again = Draw(RasterizeGlyphsDoubled, twelve, "\xC7\xD1\xB1\xB9");
    EXPECT_EQ(std::vector<unsigned char>(again.bits.get(), again.bits.get() + again.size),
              std::vector<unsigned char>(first.bits.get(), first.bits.get() + first.size));
}

TEST(DoubledRasterizer, EachGlyphSitsAtTwiceIts1xPenAndBaseline)
{
    // At 9 points (12 px) a syllable advances 11 px, and 23 px at 24 px: the
    // 2x advances would drift. The glyphs of a text's 2x image are each
    // glyph's own 2x image, moved by twice its 1x pen (the 1x width before).
    const FontChoice nine{kTestFont, "9", 96};
    const std::string text = "\xC7\xD1\xB1\xB9\xBE\xEE\xB0\xA1\xB3\xAA";
    const GlyphBitmap whole = Draw(RasterizeGlyphsDoubled, nine, text);
    for (std::size_t at = 2; at < text.size(); at += 2) {
        const int pen = Draw(RasterizeGlyphs, nine, text.substr(0, at)).width;
        const GlyphBitmap glyph = Draw(RasterizeGlyphsDoubled, nine, text.substr(at, 2));
        int missing = 0;
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                missing += Ink(glyph, x, y) && !Ink(whole, x + 2 * pen, y);
        EXPECT_EQ(missing, 0) << "glyph " << at / 2 << " not at twice its 1x pen " << pen;
    }

    // At 12 points (16 px) the ascent is 15 px, and 29 px at 32 px: the 2x
    // image holds what the 32 px face draws alone, one row lower.
    const HangulFont one(kTestFont, 16);
    HangulFont two(kTestFont, 32);
    const int shift = 2 * one.Ascent() - two.Ascent();
    ASSERT_NE(shift, 0) << "the rounding no longer tells the baselines apart";
    const GlyphBitmap doubled = Draw(RasterizeGlyphsDoubled, {kTestFont, "12", 96}, "\xC7\xD1\xB1\xB9\xBE\xEE");
    std::vector<unsigned char> bits(doubled.size);
    two.Draw(U"한국어", bits.data(), doubled.width, doubled.height, doubled.rowBytes);
    auto aloneInk = [&](int x, int y) {
        return y >= 0 && y < doubled.height &&
               (bits[static_cast<std::size_t>(y) * doubled.rowBytes + x / 8] & (0x80 >> (x % 8)));
    };
    int differing = 0;
    for (int y = 0; y < doubled.height; ++y)
        for (int x = 0; x < doubled.width; ++x)
            differing += Ink(doubled, x, y) != aloneInk(x, y - shift);
    EXPECT_EQ(differing, 0);
}
