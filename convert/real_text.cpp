#include "convert/real_text.h"

#include <cstring>

#include "convert/html_text.h"
#include "hangul/ascii_text.h"

namespace sylpic {

std::string RealTextMarkup(std::u32string_view shown, PageEncoding encoding, RealTextPlace place)
{
    std::string markup;
    if (place == RealTextPlace::kBare) {
        AppendHtmlText(shown, encoding, QuoteEscape::kYes, markup);
        return markup;
    }
    markup = "<span class=\"sylpic\" lang=\"ko\">";
    AppendHtmlText(shown, encoding, QuoteEscape::kNo, markup);
    markup += "</span>";
    return markup;
}

void MarkupContext::OutsideByte(unsigned char b)
{
    const char c = static_cast<char>(b);
    if (!inComment_)
        inComment_ = c == '-' && recent_[0] == '<' && recent_[1] == '!' && recent_[2] == '-';
    else if (c == '>' && recent_[1] == '-' && recent_[2] == '-')
        inComment_ = false;
    recent_[0] = recent_[1];
    recent_[1] = recent_[2];
    recent_[2] = c;
}

namespace {

// The element name a tag's text opens with, lower case, after an optional
// '/': letters and digits only, at most `room - 1` of them (a longer name
// is no name of interest and comes back empty).
bool ReadTagName(std::string_view text, bool& closing, char* name, std::size_t room)
{
    std::size_t at = 0;
    closing = at < text.size() && text[at] == '/';
    at += closing;
    std::size_t length = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        const bool nameChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!nameChar)
            break;
        if (length + 1 >= room)
            return false;
        name[length++] = AsciiLower(c);
    }
    name[length] = '\0';
    // A name ends the tag, or is followed by a space, a '/' or a line break.
    return length > 0 && (at == text.size() || text[at] == '/' || IsHtmlSpace(text[at]));
}

}  // namespace

bool MarkupContext::TagClosed(std::string_view text)
{
    if (inComment_ || (!text.empty() && text[0] == '!'))
        return false;
    bool closing = false;
    char name[9];
    if (!ReadTagName(text, closing, name, sizeof name))
        return false;
    if (rawElement_[0] != '\0') {
        // Only the element's own end tag ends its text.
        if (closing && std::strcmp(name, rawElement_) == 0)
            rawElement_[0] = '\0';
        return false;
    }
    if (!closing) {
        for (const char* raw : {"title", "textarea", "script", "style"})
            if (std::strcmp(name, raw) == 0)
                std::strcpy(rawElement_, raw);
        return false;
    }
    if (std::strcmp(name, "head") == 0 && !headEnded_) {
        headEnded_ = true;
        return true;
    }
    return false;
}

std::string FontStyleElement(std::string_view family, const std::vector<WebFontFaceFile>& faces)
{
    const std::string quoted = "\"" + std::string(family) + "\"";
    std::string style = "<style>";
    for (const WebFontFaceFile& face : faces) {
        style += "@font-face{font-family:" + quoted + ";src:url(\"./hanimg/" + face.fileName +
                 "\") format(\"woff2\");font-weight:" + std::to_string(face.weight) + ";font-display:swap}";
    }
    style += ".sylpic{font-family:" + quoted + ",sans-serif;word-break:keep-all}</style>";
    return style;
}

}  // namespace sylpic
