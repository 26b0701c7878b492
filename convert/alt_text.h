#pragma once
// The alt text of a block's image: the text drawn, written so that it can
// stand between the double quotes of an alt attribute in the output page.
#include <string>
#include <string_view>

#include "convert/page_encoding.h"

namespace sylpic {

struct GlyphString;

// The attribute value for `drawn`, the text as drawn (the error glyph being
// U+2665). Control characters (below U+0020, and U+007F) are left out; a
// surrogate, or a value past U+10FFFF, becomes U+FFFD. '&', '<', '>' and '"'
// are written as "&amp;", "&lt;", "&gt;" and "&quot;". Any other character
// beyond ASCII is written in UTF-8 for a UTF-8 page, and as a decimal
// character reference ("&#54620;") for a code page 932 page, whose alt text
// is thus all ASCII.
std::string BuildAltText(std::u32string_view drawn, PageEncoding encoding);

// The same for the glyph string, decoded in the given mode as far as it is
// drawn.
std::string BuildAltText(const GlyphString& glyphs, bool unicodeMode, PageEncoding encoding);

}  // namespace sylpic
