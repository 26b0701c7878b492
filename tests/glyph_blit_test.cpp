#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/glyph_blit.h"

using namespace sylpic;

namespace {

bool Bit(const unsigned char* row, long long x) { return (row[x / 8] & (0x80 >> (x % 8))) != 0; }

// Glyphs of every width up to 20 (with ink in their padding bits too) land
// at every offset around a bitmap and far off it, cut at each edge: the ink
// inside is set, everything else, padding and the guard bytes around
// included, is left.
TEST(GlyphBlit, InkLandsWhereItsPixelsAreAndNowhereElse)
{
    std::mt19937 random(5);
    constexpr int kGuard = 8;
    for (int glyphWidth = 1; glyphWidth <= 20; ++glyphWidth) {
        const int glyphRows = 1 + glyphWidth % 4;
        const int glyphRowBytes = (glyphWidth + 7) / 8;
        std::vector<unsigned char> glyph(static_cast<std::size_t>(glyphRowBytes) * glyphRows);
        for (unsigned char& b : glyph)
            b = static_cast<unsigned char>(random());
        for (int width : {1, 7, 8, 9, 17, 30}) {
            const int height = 3;
            const int rowBytes = 2 * ((width + 15) / 16);
            std::vector<long long> lefts = {-(1LL << 40), 1LL << 40};
            for (long long left = -glyphWidth - 1; left <= width + 1; ++left)
                lefts.push_back(left);
            std::vector<int> tops = {-0x7FFFFFFF, 0x7FFFFFFF};
            for (int top = -glyphRows - 1; top <= height + 1; ++top)
                tops.push_back(top);
            for (long long left : lefts) {
                for (int top : tops) {
                    std::vector<unsigned char> page(kGuard + static_cast<std::size_t>(rowBytes) * height + kGuard, 0x00);
                    unsigned char* bits = page.data() + kGuard;
                    BlitGlyph(GlyphBits{glyphWidth, glyphRows, glyph.data()}, left, top, bits, width, height, rowBytes);
                    for (int g = 0; g < kGuard; ++g)
                        ASSERT_EQ(page[g] | page[page.size() - 1 - g], 0) << "written outside the bitmap";
                    for (int y = 0; y < height; ++y) {
                        for (long long x = 0; x < rowBytes * 8; ++x) {
                            const long long gx = x - left;
                            const long long gy = static_cast<long long>(y) - top;
                            const bool ink = x < width && gx >= 0 && gx < glyphWidth && gy >= 0 && gy < glyphRows &&
                                             Bit(&glyph[static_cast<std::size_t>(gy) * glyphRowBytes], gx);
                            ASSERT_EQ(Bit(bits + static_cast<std::size_t>(y) * rowBytes, x), ink)
                                << "glyph " << glyphWidth << " at " << left << "," << top << " in " << width
                                << ", pixel " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
