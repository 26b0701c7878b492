// The glyph cache: drawing from cached glyph bitmaps gives exactly the pixels
// of rendering every glyph afresh and setting its pixels one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/font_engine.h"
#include "tests/test_support.h"

using namespace sylpic;

namespace {

// Draws `text` both ways into a bitmap of width x height (rows padded to 16
// bits, as the rasterizer pads them) and compares the bits.
void ExpectSameDrawing(HangulFont& font, const std::u32string& text, int width, int height)
{
    const int rowBytes = 2 * ((width + 15) / 16);
    std::vector<unsigned char> cached(static_cast<std::size_t>(rowBytes) * height, 0);
    std::vector<unsigned char> fresh(cached.size(), 0);
    font.Draw(text, cached.data(), width, height, rowBytes);
    font.DrawUncached(text, fresh.data(), width, height, rowBytes);
    ASSERT_TRUE(cached == fresh) << "U+" << std::hex << static_cast<unsigned>(text[0]) << " and on, " << std::dec
                                 << width << " x " << height;
    ASSERT_TRUE(std::any_of(cached.begin(), cached.end(), [](unsigned char b) { return b != 0; }));
}

// Every syllable at 9, 12 and 36 points at 96 dpi (12, 16 and 48 pixels by
// the rasterizer's em formula), eight syllables a string, the sizes taking
// turns. Every fourth string goes into a bitmap a little narrower and
// shorter than its extent, so that glyphs are cut at the edges.
TEST(GlyphCache, EverySyllableDrawsAsWhenRenderedAfresh)
{
    HangulFont small(kTestFont, (9 * 96 + 36) / 72);
    HangulFont medium(kTestFont, (12 * 96 + 36) / 72);
    HangulFont large(kTestFont, (36 * 96 + 36) / 72);
    ASSERT_TRUE(small.ok() && medium.ok() && large.ok());
    constexpr char32_t kFirst = 0xAC00, kLast = 0xD7A3;
    constexpr char32_t kPerString = 8;
    int string = 0;
    for (char32_t first = kFirst; first <= kLast; first += kPerString, ++string) {
        std::u32string text;
        for (char32_t c = first; c <= kLast && c < first + kPerString; ++c)
            text += c;
        for (HangulFont* font : {&small, &medium, &large}) {
            const TextExtent extent = font->Measure(text);
            const int cut = string % 4 == 3 ? 1 + string / 4 % 5 : 0;
            ExpectSameDrawing(*font, text, extent.width - cut, extent.height - cut);
        }
    }
}

// A budget of a few glyphs at 200 pixels: the cache is emptied again and
// again in the middle of one string. A budget smaller than one glyph draws
// every glyph from the slot of the uncached glyph. Either way the pixels are
// those of rendering afresh.
TEST(GlyphCache, DrawsAsWhenRenderedAfreshWhileEmptiedInTheMiddleOfAString)
{
    HangulFont font(kTestFont, 200);
    ASSERT_TRUE(font.ok());
    std::u32string text;
    for (char32_t c = 0xB000; c < 0xB000 + 60; ++c)
        text += c;
    const TextExtent extent = font.Measure(text);
    const std::size_t fewGlyphs = 70000;  // one step of bits and the bookkeeping of a few dozen
    const std::size_t lessThanAGlyph = 100;
    for (std::size_t budget : {fewGlyphs, lessThanAGlyph}) {
        const std::size_t before = SetGlyphCacheBudget(budget);
        const std::size_t evictions = GlyphCacheEvictions();
        ExpectSameDrawing(font, text, extent.width, extent.height);
        if (budget == fewGlyphs) {
            EXPECT_GE(GlyphCacheEvictions() - evictions, 2u);
        }
        SetGlyphCacheBudget(before);
    }
}

// Letters and signs whose glyphs reach left of the pen, or past the line,
// and characters the face lacks (they share the missing glyph).
TEST(GlyphCache, LettersCutAtEveryEdgeDrawAsWhenRenderedAfresh)
{
    HangulFont font(kTestFont, 16);
    ASSERT_TRUE(font.ok());
    const std::u32string texts[] = {U"jfy/ÅÉ_|", U"\u0E01\u0E02j", U"(Ŋ§¶)", U"ỹjj"};
    for (const std::u32string& text : texts) {
        const TextExtent extent = font.Measure(text);
        for (int cut = 0; cut < 9; ++cut)
            ExpectSameDrawing(font, text, extent.width - cut, extent.height - cut / 3);
    }
}

}  // namespace
