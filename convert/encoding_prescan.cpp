#include "convert/encoding_prescan.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "data/encoding_labels.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

constexpr std::string_view kUtf8 = "UTF-8";

bool IsAsciiLetter(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// A page whose declaration could be read as ASCII is not UTF-16, whatever it
// says; browsers read it as UTF-8.
std::string_view AsDeclared(std::string_view encoding)
{
    return (encoding == "UTF-16BE" || encoding == "UTF-16LE") ? kUtf8 : encoding;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from)
{
    for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
        if (StartsWithIgnoringCase(text.substr(i), word))
            return i;
    }
    return std::string_view::npos;
}

// The encoding named by "charset=" in the value of a content attribute
// ("text/html; charset=utf-8"), or an empty view.
std::string_view EncodingFromContent(std::string_view content)
{
    auto skipWhitespace = [&content](std::size_t at) {
        while (at < content.size() && IsHtmlSpace(static_cast<unsigned char>(content[at])))
            ++at;
        return at;
    };
    std::size_t at = 0;
    for (;;) {
        const std::size_t word = FindIgnoringCase(content, "charset", at);
        if (word == std::string_view::npos)
            return {};
        // A "charset" not followed by '=' is passed over; the search goes on
        // from the character after its spaces.
        at = skipWhitespace(word + 7);
        if (at < content.size() && content[at] == '=')
            break;
    }
    at = skipWhitespace(at + 1);
    if (at == content.size())
        return {};
    const char first = content[at];
    if (first == '"' || first == '\'') {
        const std::size_t close = content.find(first, at + 1);
        if (close == std::string_view::npos)
            return {};  // an unmatched quote names nothing
        return EncodingForLabel(content.substr(at + 1, close - at - 1));
    }
    std::size_t end = at;
    while (end < content.size() && !IsHtmlSpace(static_cast<unsigned char>(content[end])) &&
           content[end] != ';')
        ++end;
    return EncodingForLabel(content.substr(at, end - at));
}

// One prescan of the page's first bytes. Every step that would read past
// the last byte ends the scan instead ("runs out"), so nothing beyond it is
// read.
class Prescan {
public:
    Prescan(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(std::min(size, kPrescanBytes)) {}

    std::string_view Run()
    {
        // "<?x" in UTF-16, either byte order.
        if (MatchesAt(0, std::string_view("<\0?\0x\0", 6)))
            return "UTF-16LE";
        if (MatchesAt(0, std::string_view("\0<\0?\0x", 6)))
            return "UTF-16BE";
        for (pos_ = 0; pos_ < size_; ++pos_) {
            std::string_view declared;
            if (!Step(declared))
                break;
            if (!declared.empty())
                return declared;
        }
        return XmlDeclarationEncoding();
    }

private:
    enum class Found { kAttribute, kNone, kRanOut };
    struct Attribute {
        std::string name;
        std::string value;
    };

    bool MatchesAt(std::size_t at, std::string_view text) const
    {
        return at + text.size() <= size_ && std::equal(text.begin(), text.end(), bytes_ + at);
    }

    // Moves to the first byte at or after pos_ for which `stop` holds;
    // false when there is none.
    template <typename Stop>
    bool AdvanceTo(Stop stop)
    {
        while (pos_ < size_ && !stop(bytes_[pos_]))
            ++pos_;
        return pos_ < size_;
    }

    // The loop's step for the byte at pos_, which leaves pos_ on the last
    // byte it consumed. Sets `declared` when a <meta> declares an encoding;
    // false when the bytes ran out.
    bool Step(std::string_view& declared)
    {
        if (MatchesAt(pos_, "<!--")) {
            // To the '>' of the first "-->"; its dashes may be those of "<!--".
            for (std::size_t at = pos_ + 2; at + 3 <= size_; ++at) {
                if (MatchesAt(at, "-->")) {
                    pos_ = at + 2;
                    return true;
                }
            }
            return false;
        }
        if (IsMetaStart()) {
            pos_ += 5;  // on the space or slash after "<meta"
            return ReadMeta(declared);
        }
        if (IsTagStart()) {
            if (!AdvanceTo([](unsigned char b) { return IsHtmlSpace(b) || b == '>'; }))
                return false;
            Attribute ignored;
            Found found;
            while ((found = GetAttribute(ignored)) == Found::kAttribute) {
            }
            return found == Found::kNone;
        }
        if (MatchesAt(pos_, "<!") || MatchesAt(pos_, "</") || MatchesAt(pos_, "<?"))
            return AdvanceTo([](unsigned char b) { return b == '>'; });
        return true;
    }

    // "<meta" in any case, then whitespace or '/'.
    bool IsMetaStart() const
    {
        if (pos_ + 6 > size_ || bytes_[pos_] != '<')
            return false;
        if (!StartsWithIgnoringCase({reinterpret_cast<const char*>(bytes_ + pos_ + 1), 4}, "meta"))
            return false;
        const unsigned char after = bytes_[pos_ + 5];
        return IsHtmlSpace(after) || after == '/';
    }

    // '<', perhaps '/', then an ASCII letter.
    bool IsTagStart() const
    {
        if (pos_ + 2 > size_ || bytes_[pos_] != '<')
            return false;
        if (IsAsciiLetter(bytes_[pos_ + 1]))
            return true;
        return bytes_[pos_ + 1] == '/' && pos_ + 3 <= size_ && IsAsciiLetter(bytes_[pos_ + 2]);
    }

    // The attributes of a <meta> tag, from pos_ to its '>'.
    bool ReadMeta(std::string_view& declared)
    {
        std::vector<std::string> seen;
        bool gotPragma = false;
        std::optional<bool> needPragma;
        // No value yet; then an encoding's name, or empty for a label that
        // names none (which spoils this tag's declaration).
        std::optional<std::string_view> charset;
        Attribute attribute;
        Found found;
        while ((found = GetAttribute(attribute)) == Found::kAttribute) {
            if (std::find(seen.begin(), seen.end(), attribute.name) != seen.end())
                continue;  // only the first of a name counts
            seen.push_back(attribute.name);
            if (attribute.name == "http-equiv") {
                if (attribute.value == "content-type")
                    gotPragma = true;
            } else if (attribute.name == "content") {
                const std::string_view encoding = EncodingFromContent(attribute.value);
                if (!encoding.empty() && !charset) {
                    charset = encoding;
                    needPragma = true;
                }
            } else if (attribute.name == "charset") {
                charset = EncodingForLabel(attribute.value);
                needPragma = false;
            }
        }
        if (found == Found::kRanOut)
            return false;
        if (!needPragma || (*needPragma && !gotPragma) || charset->empty())
            return true;  // this tag declares nothing; go on after it
        declared = (*charset == "x-user-defined") ? std::string_view("windows-1252") : AsDeclared(*charset);
        return true;
    }

    // Reads one attribute of a tag at pos_, its name and value in lower case.
    // kNone at the tag's '>' (left at pos_).
    Found GetAttribute(Attribute& attribute)
    {
        attribute.name.clear();
        attribute.value.clear();
        auto lower = [](unsigned char b) { return AsciiLower(static_cast<char>(b)); };
        if (!AdvanceTo([](unsigned char b) { return !IsHtmlSpace(b) && b != '/'; }))
            return Found::kRanOut;
        if (bytes_[pos_] == '>')
            return Found::kNone;

        // The name, up to '=', whitespace, '/' or '>'. A leading '=' is part
        // of the name.
        bool hasValue = false;
        for (;; ++pos_) {
            if (pos_ >= size_)
                return Found::kRanOut;
            const unsigned char b = bytes_[pos_];
            if (b == '=' && !attribute.name.empty()) {
                ++pos_;
                hasValue = true;
                break;
            }
            if (IsHtmlSpace(b))
                break;
            if (b == '/' || b == '>')
                return Found::kAttribute;
            attribute.name += lower(b);
        }
        if (!hasValue) {
            // Whitespace after the name: a value follows only after '='.
            if (!AdvanceTo([](unsigned char b) { return !IsHtmlSpace(b); }))
                return Found::kRanOut;
            if (bytes_[pos_] != '=')
                return Found::kAttribute;
            ++pos_;
        }

        if (!AdvanceTo([](unsigned char b) { return !IsHtmlSpace(b); }))
            return Found::kRanOut;
        const unsigned char first = bytes_[pos_];
        if (first == '"' || first == '\'') {
            for (++pos_; pos_ < size_; ++pos_) {
                if (bytes_[pos_] == first) {
                    ++pos_;
                    return Found::kAttribute;
                }
                attribute.value += lower(bytes_[pos_]);
            }
            return Found::kRanOut;
        }
        if (first == '>')
            return Found::kAttribute;  // an empty value; the '>' ends the tag
        for (; pos_ < size_; ++pos_) {
            const unsigned char b = bytes_[pos_];
            if (IsHtmlSpace(b) || b == '>')
                return Found::kAttribute;
            attribute.value += lower(b);
        }
        return Found::kRanOut;
    }

    // When no <meta> declares an encoding: the encoding="..." of an XML
    // declaration that opens the page.
    std::string_view XmlDeclarationEncoding() const
    {
        if (!MatchesAt(0, "<?xml"))
            return {};
        const unsigned char* end = std::find(bytes_, bytes_ + size_, '>');
        if (end == bytes_ + size_)
            return {};
        const std::string_view declaration(reinterpret_cast<const char*>(bytes_),
                                           static_cast<std::size_t>(end - bytes_));
        auto skipSpacesAndControls = [&declaration](std::size_t at) {
            while (at < declaration.size() && static_cast<unsigned char>(declaration[at]) <= 0x20)
                ++at;
            return at;
        };
        std::size_t at = declaration.find("encoding");
        if (at == std::string_view::npos)
            return {};
        at = skipSpacesAndControls(at + 8);
        if (at == declaration.size() || declaration[at] != '=')
            return {};
        at = skipSpacesAndControls(at + 1);
        if (at == declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
            return {};
        const std::size_t close = declaration.find(declaration[at], at + 1);
        if (close == std::string_view::npos)
            return {};
        const std::string_view label = declaration.substr(at + 1, close - at - 1);
        if (std::any_of(label.begin(), label.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; }))
            return {};
        return AsDeclared(EncodingForLabel(label));
    }

    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string_view EncodingForLabel(std::string_view label)
{
    while (!label.empty() && IsHtmlSpace(static_cast<unsigned char>(label.front())))
        label.remove_prefix(1);
    while (!label.empty() && IsHtmlSpace(static_cast<unsigned char>(label.back())))
        label.remove_suffix(1);
    if (label.empty() || label.size() > kLongestEncodingLabel)
        return {};
    char lower[kLongestEncodingLabel];
    std::transform(label.begin(), label.end(), lower, AsciiLower);
    const std::string_view key(lower, label.size());
    const EncodingLabel* const end = g_encodingLabels + kEncodingLabelCount;
    const EncodingLabel* row = std::lower_bound(
        g_encodingLabels, end, key, [](const EncodingLabel& r, std::string_view k) { return r.label < k; });
    return (row != end && row->label == key) ? row->encoding : std::string_view();
}

std::string_view PrescanEncoding(const unsigned char* bytes, std::size_t size)
{
    return Prescan(bytes, size).Run();
}

}  // namespace sylpic
