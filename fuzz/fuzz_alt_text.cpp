// The alt text of arbitrary drawn text.
//
// Input: one flags byte, then the text. Bit 0 of the flags selects a UTF-8
// page (else code page 932). Bit 1 takes the text as a glyph string (bit 2:
// in Unicode mode), decoded as drawing decodes it; without it, every three
// bytes are one code point of up to 21 bits, surrogates and values past
// U+10FFFF among them. Properties:
// - the alt text never holds '"', '<' or '>', and each '&' starts "&amp;",
//   "&lt;", "&gt;", "&quot;" or a decimal character reference;
// - it is ASCII without controls for a code page 932 page, and UTF-8 for a
//   UTF-8 page;
// - unescaped, it gives back the drawn text without its controls, with
//   U+FFFD for what UTF-8 cannot carry;
// - the same text as real text is the alt text where it stands alone (in a
//   tag, say), and in a span the same but for '"': the span holds no '<' or
//   '>' before its end.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "convert/alt_text.h"
#include "convert/html_text.h"
#include "convert/real_text.h"
#include "fuzz/fuzz_support.h"
#include "hangul/block_buffers.h"
#include "hangul/glyph_text.h"
#include "hangul/iconv_handle.h"

using namespace sylpic;

namespace {

// Converts a run of UTF-8 text with iconv; false when it is not UTF-8.
bool DecodeUtf8Run(const std::string& run, std::u32string& text)
{
    static IconvHandle fromUtf8("UTF-32LE", "UTF-8");
    std::vector<unsigned char> out(4 * run.size() + 4);
    const int n = fromUtf8.Convert(reinterpret_cast<const unsigned char*>(run.data()), run.size(), out.data(),
                                   out.size());
    if (n < 0)
        return false;
    for (int i = 0; i + 4 <= n; i += 4)
        text += static_cast<char32_t>(out[i] | (out[i + 1] << 8) | (out[i + 2] << 16) | (out[i + 3] << 24));
    return true;
}

// Undoes the attribute escaping: the named entities the alt text uses and
// decimal references. Fails the property on anything else after '&'.
std::u32string Unescape(const std::string& alt)
{
    std::u32string text;
    std::string run;
    auto flush = [&]() {
        FUZZ_CHECK(DecodeUtf8Run(run, text), "the alt text is not UTF-8: " + alt);
        run.clear();
    };
    for (std::size_t i = 0; i < alt.size();) {
        if (alt[i] != '&') {
            run += alt[i++];
            continue;
        }
        flush();
        const std::size_t end = alt.find(';', i);
        FUZZ_CHECK(end != std::string::npos, "a bare '&' in " + alt);
        const std::string entity = alt.substr(i + 1, end - i - 1);
        if (entity == "amp")
            text += U'&';
        else if (entity == "lt")
            text += U'<';
        else if (entity == "gt")
            text += U'>';
        else if (entity == "quot")
            text += U'"';
        else {
            FUZZ_CHECK(entity.size() >= 2 && entity.size() <= 8 && entity[0] == '#' &&
                           std::all_of(entity.begin() + 1, entity.end(), [](char c) { return c >= '0' && c <= '9'; }),
                       "a bare '&' in " + alt);
            text += static_cast<char32_t>(std::stoul(entity.substr(1)));
        }
        i = end + 1;
    }
    flush();
    return text;
}

std::u32string Filtered(const std::u32string& drawn)
{
    std::u32string text;
    for (char32_t c : drawn) {
        if (c < 0x20 || c == 0x7F)
            continue;
        text += ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) ? 0xFFFD : c;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return -1;
    const unsigned flags = data[0];
    const PageEncoding encoding = (flags & 1) ? PageEncoding::kUtf8 : PageEncoding::kCp932;
    ++data;
    --size;

    std::u32string drawn;
    std::string alt;
    if (flags & 2) {
        GlyphString glyphs{};
        std::memcpy(glyphs.bytes, data, std::min(size, sizeof glyphs.bytes));
        const bool unicodeMode = (flags & 4) != 0;
        drawn = DecodeGlyphString(glyphs, unicodeMode);
        alt = BuildAltText(glyphs, unicodeMode, encoding);
        FUZZ_CHECK(alt == BuildAltText(drawn, encoding), "the glyph string's alt text differs from its text's");
        FUZZ_CHECK(drawn.find(U'\0') == std::u32string::npos, "drawing went past a terminator");
    } else {
        for (std::size_t i = 0; i + 3 <= size; i += 3)
            drawn += static_cast<char32_t>(data[i] | (data[i + 1] << 8) | ((data[i + 2] & 0x1F) << 16));
        alt = BuildAltText(drawn, encoding);
    }

    FUZZ_CHECK(alt.find_first_of("\"<>") == std::string::npos, "the alt text would end its attribute: " + alt);
    if (encoding == PageEncoding::kCp932)
        FUZZ_CHECK(std::all_of(alt.begin(), alt.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
                   "a code page 932 page's alt text is not printable ASCII: " + alt);
    FUZZ_CHECK(Unescape(alt) == Filtered(drawn), "the alt text does not give back the drawn text: " + alt);

    const std::u32string shown = ShownCharacters(drawn);
    FUZZ_CHECK(RealTextMarkup(shown, encoding, RealTextPlace::kBare) == alt, "bare real text differs from the alt text");
    const std::string span = RealTextMarkup(shown, encoding, RealTextPlace::kSpan);
    const std::string open = "<span class=\"sylpic\" lang=\"ko\">";
    FUZZ_CHECK(span.size() >= open.size() + 7 && span.compare(0, open.size(), open) == 0 &&
                   span.find_first_of("<>", open.size()) == span.size() - 7 && span.ends_with("</span>"),
               "the span does not end where its text ends: " + span);
    FUZZ_CHECK(Unescape(span.substr(open.size(), span.size() - open.size() - 7)) == Filtered(drawn),
               "the span's text does not give back the drawn text: " + span);
    return 0;
}
