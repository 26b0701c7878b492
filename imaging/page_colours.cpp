#include "imaging/page_colours.h"

#include <cstring>

#include "data/colour_names.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

// Values begin after spaces, controls, '!' and the double quote; they end at
// the same characters. Bytes of 0x80 and above count among them (they are
// negative as signed 8-bit numbers), so a double-byte character ends a value.
bool IsValueDelimiter(char c)
{
    return static_cast<signed char>(c) <= 0x22;
}

// An attribute name counts only where it stands whole: at the start of the
// text or after white space or a quote. Otherwise "class=textpage" would
// hold a TEXT attribute.
bool StartsAttribute(const char* text, const char* at)
{
    if (at == text)
        return true;
    const char before = at[-1];
    return IsAsciiSpace(before) || before == '"' || before == '\'';
}

// The first character of a value: values begin after the delimiters.
const char* SkipToValue(const char* p)
{
    while (*p != '\0' && IsValueDelimiter(*p))
        ++p;
    return p;
}

}  // namespace

void ResetColourPair(unsigned char colours[kColourPairBytes])
{
    std::memcpy(colours, kDefaultColourPair, kColourPairBytes);
}

void ReadBodyColours(const char* text, unsigned char colours[kColourPairBytes])
{
    if (text == nullptr)
        return;
    FindColourAttribute(text, "BGCOLOR", colours);
    FindColourAttribute(text, "TEXT", colours + 3);
}

int FindColourAttribute(const char* text, const char* name, unsigned char target[3])
{
    if (text == nullptr || name == nullptr || name[0] == '\0')
        return 0;
    const std::size_t nameLength = std::strlen(name);
    const char first = AsciiLower(name[0]);

    const char* p = text;
    while (*p != '\0') {
        if (AsciiLower(*p) != first || !StartsWithIgnoringCase(p, std::string_view(name, nameLength)) || !StartsAttribute(text, p)) {
            ++p;
            continue;
        }
        const char* after = p + nameLength;
        while (IsAsciiSpace(*after))
            ++after;
        if (*after == '=') {
            // A value that is there counts as found, understood or not.
            const char* value = SkipToValue(after + 1);
            if (*value == '\0')
                return 0;
            ReadColourValue(value, target);
            return 1;
        }
        // The name is not followed by its equals sign ("bgcolor text=navy"):
        // it is some other word, and the search goes on after it.
        p += nameLength;
    }
    return 0;
}

int ReadColourValue(const char* value, unsigned char target[3])
{
    if (value == nullptr)
        return 0;
    const char* p = SkipToValue(value);
    if (*p == '\0')
        return 0;
    if (*p != '#')
        return LookupColourName(p, target);
    ++p;

    // "#rgb" written out in full, as browsers read it: each digit doubled.
    if (IsHexDigit(p[0]) && IsHexDigit(p[1]) && IsHexDigit(p[2]) && !IsAsciiAlnum(p[3])) {
        for (int i = 0; i < 3; ++i)
            target[i] = static_cast<unsigned char>(HexDigitValue(p[i]) * 17);
        return 1;
    }

    // Otherwise six characters as three pairs, whatever they are; the
    // characters of a short value's surroundings count as digits (0 unless
    // hexadecimal), and nothing past the end of the text is read.
    for (int i = 0; i < 3; ++i) {
        target[i] = static_cast<unsigned char>(ParseHexByte(p));
        for (int step = 0; step < 2 && *p != '\0'; ++step)
            ++p;
    }
    return 1;
}

int ParseHexByte(const char* two)
{
    int value = 0;
    bool ended = false;
    for (int i = 0; i < 2; ++i) {
        int digit = 0;
        if (!ended) {
            if (two[i] == '\0')
                ended = true;  // past the end counts as 0, and is not read
            else
                digit = HexDigitValue(two[i]);
        }
        value = value * 16 + digit;
    }
    return value;
}

int LookupColourName(const char* value, unsigned char target[3])
{
    if (value == nullptr)
        return 0;
    const char first = AsciiLower(value[0]);
    if (first < 'a' || first > 'z')
        return 0;

    constexpr std::size_t kMaxNameLength = 32;
    std::size_t length = 0;
    while (!IsValueDelimiter(value[length])) {
        if (++length > kMaxNameLength)
            return 0;
    }

    // Only as many characters as the value has are compared, so the
    // beginning of a name picks the first such name in table order.
    const ColourNameRange range = g_colourNameIndex[first - 'a'];
    for (int row = range.first; row < range.end; ++row) {
        const ColourName& entry = g_colourNames[row];
        if (std::strlen(entry.name) < length || !StartsWithIgnoringCase(entry.name, std::string_view(value, length)))
            continue;
        target[0] = static_cast<unsigned char>((entry.rgb >> 16) & 0xFF);
        target[1] = static_cast<unsigned char>((entry.rgb >> 8) & 0xFF);
        target[2] = static_cast<unsigned char>(entry.rgb & 0xFF);
        return 1;
    }
    return 0;
}

}  // namespace sylpic
