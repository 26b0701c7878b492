#pragma once
// Copying a glyph's one-bit bitmap into a larger one-bit bitmap.

namespace sylpic {

// A glyph bitmap: one bit per pixel, MSB leftmost, 1 ink, rows
// (width + 7) / 8 bytes apart. Bits past the width are ignored.
struct GlyphBits {
    int width = 0;
    int rows = 0;
    const unsigned char* bits = nullptr;
};

// Sets the glyph's ink in `bits` (width x height pixels, MSB leftmost, rows
// `rowBytes` apart, rowBytes * 8 >= width) with the glyph's first column at
// `left` and its first row at `top`, either of which may lie outside. Ink
// outside the bitmap is dropped; nothing outside it is written.
void BlitGlyph(const GlyphBits& glyph, long long left, int top, unsigned char* bits, int width, int height,
               int rowBytes);

}  // namespace sylpic
