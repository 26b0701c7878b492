#pragma once
// The one home of the ASCII helpers: case folding and comparison, the two
// white space sets, hexadecimal digits. Block text, image names, file
// names, settings keys and face names are compared ignoring the case of
// ASCII letters only, whatever the locale.
#include <cstddef>
#include <string_view>

namespace sylpic {

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char AsciiUpper(unsigned c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
}

// Orders as the C library's strcasecmp does in the C locale: byte by byte,
// ASCII letters folded to lower case, the shorter text first.
inline int CompareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const int x = static_cast<unsigned char>(AsciiLower(a[i]));
        const int y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The same for a zero-terminated text, read no further than the prefix's
// length or its terminator, whichever comes first.
inline bool StartsWithIgnoringCase(const char* text, std::string_view prefix)
{
    for (const char c : prefix) {
        if (*text == '\0' || AsciiLower(*text) != AsciiLower(c))
            return false;
        ++text;
    }
    return true;
}

// The white space sets, which differ on purpose in the vertical tab:
//   - IsAsciiSpace: as the C library's isspace sees it in the C locale
//     (space, tab, line feed, vertical tab, form feed, carriage return),
//     which is how a body tag's colour attributes have always been split;
//   - IsHtmlSpace: HTML's ASCII white space (the same without the vertical
//     tab), as a browser's encoding prescan and tag reading see it;
//   - kLineBlanks: what a settings file's lines, keys and values are trimmed
//     of.
inline bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

inline bool IsHtmlSpace(unsigned c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// White space but the vertical tab and the form feed, which stay part of
// a settings file's text.
inline constexpr char kLineBlanks[] = " \t\r\n";

// The hexadecimal digits, as the image key (upper case) and the XBM array
// (lower case) write them.
inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
inline constexpr char kLowerHexDigits[] = "0123456789abcdef";

inline bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a hexadecimal digit; any other character counts as 0.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

// An ASCII letter or digit; a byte beyond ASCII or a wider code never is.
inline bool IsAsciiAlnum(unsigned c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace sylpic
