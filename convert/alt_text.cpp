#include "convert/alt_text.h"

#include "hangul/glyph_text.h"
#include "hangul/utf8_text.h"

std::string BuildAltText(std::u32string_view drawn, PageEncoding encoding)
{
    std::string text;
    text.reserve(drawn.size());
    for (char32_t c : drawn) {
        if (c < 0x20 || c == 0x7F)
            continue;
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;
        switch (c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        default:
            if (c < 0x80)
                text += static_cast<char>(c);
            else if (encoding == PageEncoding::kUtf8)
                AppendUtf8(c, text);
            else
                text += "&#" + std::to_string(static_cast<unsigned long>(c)) + ';';
        }
    }
    return text;
}

std::string BuildAltText(const GlyphString& glyphs, bool unicodeMode, PageEncoding encoding)
{
    return BuildAltText(DecodeGlyphString(glyphs, unicodeMode), encoding);
}
