#include "hangul/glyph_text.h"

#include "hangul/block_buffers.h"
#include "hangul/code_page.h"

namespace sylpic {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::u32string DecodeNarrowGlyphs(const unsigned char* bytes, std::size_t room)
{
    std::u32string text;
    std::size_t i = 0;
    while (i < room && bytes[i] != 0) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            text += static_cast<char32_t>(lead);
            ++i;
            continue;
        }
        const unsigned char trail = (i + 1 < room) ? bytes[i + 1] : 0;
        char16_t unit = 0;
        if (trail != 0 && Cp949PairToUnit(lead, trail, &unit) == 1) {
            text += static_cast<char32_t>(unit);
            i += 2;
            continue;
        }
        text += kReplacement;
        // A trail byte of 0x80 or more belonged to the broken pair; an ASCII
        // byte after a lone lead byte is a character of its own.
        i += (trail >= 0x80) ? 2 : 1;
    }
    return text;
}

std::u32string DecodeUnicodeGlyphs(const unsigned char* bytes, std::size_t room)
{
    std::u32string text;
    const std::size_t units = room / 2;
    auto unitAt = [bytes](std::size_t i) -> char32_t { return bytes[2 * i] | (bytes[2 * i + 1] << 8); };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
                continue;
            }
        }
        text += (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit;
    }
    return text;
}

std::u32string DecodeGlyphString(const GlyphString& glyphs, bool unicodeMode)
{
    return unicodeMode ? DecodeUnicodeGlyphs(glyphs.bytes, sizeof glyphs.bytes)
                       : DecodeNarrowGlyphs(glyphs.bytes, sizeof glyphs.bytes);
}

}  // namespace sylpic
