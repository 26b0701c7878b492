#pragma once
// Text of a block written into a page: the characters a reader is shown
// and their HTML escapes, in the page's encoding. The alt text of an image
// and the real text of a block are both written this way.
//
//   std::u32string shown = ShownCharacters(DecodeGlyphString(glyphs, mode));
//   AppendHtmlText(shown, encoding, QuoteEscape::kYes, out);
#include <string>
#include <string_view>

#include "convert/page_encoding.h"

namespace sylpic {

// The characters of `drawn` that a page shows: control characters (below
// U+0020, and U+007F) are left out; a surrogate, or a value past U+10FFFF,
// becomes U+FFFD.
std::u32string ShownCharacters(std::u32string_view drawn);

enum class QuoteEscape { kNo, kYes };

// Appends `shown` to `out`: '&', '<' and '>' as "&amp;", "&lt;" and "&gt;",
// '"' as "&quot;" with QuoteEscape::kYes (for text inside an attribute or a
// tag). Any other character beyond ASCII is written in UTF-8 for a UTF-8
// page, and as a decimal character reference ("&#54620;") for a code page
// 932 page, whose text is thus all ASCII.
void AppendHtmlText(std::u32string_view shown, PageEncoding encoding, QuoteEscape quotes, std::string& out);

}  // namespace sylpic
