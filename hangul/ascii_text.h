#pragma once
// ASCII-only case folding and comparison. Block text, image names, file
// names, settings keys and face names are compared ignoring the case of
// ASCII letters only, whatever the locale: the one case helper of the
// program.
#include <cstddef>
#include <string_view>

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the first `count` characters; a text that ends earlier is not equal.
inline bool PrefixEqualsIgnoringCase(const char* text, const char* prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        if (text[i] == '\0' || AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
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

// White space as the C library's isspace sees it in the C locale: space,
// tab, line feed, vertical tab, form feed and carriage return. HTML
// attributes are separated by it.
inline bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The blanks trimmed from the ends of a settings file's lines, keys and
// values: white space but the vertical tab and the form feed, which stay
// part of the text.
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
