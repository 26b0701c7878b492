#include "convert/alt_text.h"

#include "convert/html_text.h"
#include "hangul/glyph_text.h"

namespace sylpic {

std::string BuildAltText(std::u32string_view drawn, PageEncoding encoding)
{
    std::string text;
    AppendHtmlText(ShownCharacters(drawn), encoding, QuoteEscape::kYes, text);
    return text;
}

std::string BuildAltText(const GlyphString& glyphs, bool unicodeMode, PageEncoding encoding)
{
    return BuildAltText(DecodeGlyphString(glyphs, unicodeMode), encoding);
}

}  // namespace sylpic
