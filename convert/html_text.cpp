#include "convert/html_text.h"

#include "hangul/utf8_text.h"

namespace sylpic {

std::u32string ShownCharacters(std::u32string_view drawn)
{
    std::u32string shown;
    shown.reserve(drawn.size());
    for (char32_t c : drawn) {
        if (c < 0x20 || c == 0x7F)
            continue;
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;
        shown += c;
    }
    return shown;
}

void AppendHtmlText(std::u32string_view shown, PageEncoding encoding, QuoteEscape quotes, std::string& out)
{
    out.reserve(out.size() + shown.size());
    for (char32_t c : shown) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            if (quotes == QuoteEscape::kYes)
                out += "&quot;";
            else
                out += '"';
            break;
        default:
            if (c < 0x80)
                out += static_cast<char>(c);
            else if (encoding == PageEncoding::kUtf8)
                AppendUtf8(c, out);
            else
                out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ';';
        }
    }
}

}  // namespace sylpic
