#include "imaging/glyph_blit.h"

#include <algorithm>
#include <cstddef>

namespace sylpic {

// The glyph's bytes are shifted into place whole, each into two bitmap
// bytes; columns outside the bitmap are masked off first, so a masked byte
// that is not zero always lands inside.
void BlitGlyph(const GlyphBits& glyph, long long left, int top, unsigned char* bits, int width, int height,
               int rowBytes)
{
    const long long firstColumn = std::max<long long>(0, -left);
    const long long endColumn = std::min<long long>(glyph.width, width - left);
    const long long firstRow = std::max<long long>(0, -static_cast<long long>(top));
    const long long endRow = std::min<long long>(glyph.rows, static_cast<long long>(height) - top);
    if (firstColumn >= endColumn || firstRow >= endRow)
        return;
    const std::size_t glyphRowBytes = (static_cast<std::size_t>(glyph.width) + 7) / 8;
    const int firstByte = static_cast<int>(firstColumn / 8);
    const int endByte = static_cast<int>((endColumn + 7) / 8);
    const unsigned firstMask = 0xFFu >> (firstColumn % 8);
    const unsigned lastMask = (0xFFu << ((8 - endColumn % 8) % 8)) & 0xFFu;
    // Glyph byte i lands in bitmap bytes at + i and at + i + 1, `shift` bits in.
    const long long at = left >= 0 ? left / 8 : -((-left + 7) / 8);
    const int shift = static_cast<int>(left - 8 * at);
    for (long long y = firstRow; y < endRow; ++y) {
        const unsigned char* from = glyph.bits + static_cast<std::size_t>(y) * glyphRowBytes;
        unsigned char* to = bits + static_cast<std::size_t>(top + y) * static_cast<std::size_t>(rowBytes);
        for (int i = firstByte; i < endByte; ++i) {
            unsigned ink = from[i];
            if (i == firstByte)
                ink &= firstMask;
            if (i == endByte - 1)
                ink &= lastMask;
            const unsigned spread = ink << (8 - shift);  // high byte to at + i, low byte to at + i + 1
            if ((spread >> 8) != 0)
                to[at + i] |= static_cast<unsigned char>(spread >> 8);
            if ((spread & 0xFFu) != 0)
                to[at + i + 1] |= static_cast<unsigned char>(spread & 0xFFu);
        }
    }
}

}  // namespace sylpic
