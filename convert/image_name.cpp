#include "convert/image_name.h"

#include <cstdio>
#include <cstring>

#include "data/jamo_names.h"
#include "data/syllable_names.h"
#include "hangul/ascii_text.h"
#include "hangul/code_page.h"

namespace sylpic {

ImageName g_imageName;

namespace {

// A generated name holds at most 8 characters; later characters of a block
// only fill it up to 6.
constexpr int kFirstCharLimit = 8;
constexpr int kNameLimit = 6;

constexpr char kErrorName[] = "_err_";

bool IsErrorName(const char* name)
{
    return StartsWithIgnoringCase(name, kErrorName);
}

// The name of a Hangul letter of KS X 1001 row 4.
bool IsJamoCode(unsigned code)
{
    return code >= kFirstJamoCode && code <= kLastJamoCode;
}

const char* JamoLetterName(unsigned code)
{
    return g_jamoNames[code - kFirstJamoCode].name;
}

// Writes the initial, medial and final names of the syllable that `code`
// decodes to into `out`; false when the code is not a Hangul syllable.
bool RomaniseSyllableCode(unsigned code, char (&out)[16])
{
    char16_t unit = 0;
    if (Cp949PairToUnit(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF),
                        &unit) != 1)
        return false;
    if (unit < 0xAC00 || unit > 0xD7A3)
        return false;
    // Initial, vowel and final names one after the other (at most 2 + 3 + 3
    // characters, so the 16 bytes always hold them).
    const int s = unit - 0xAC00;
    out[0] = '\0';
    std::strcat(out, g_szInitialNames[s / 588]);
    std::strcat(out, g_szMedialNames[(s % 588) / 28]);
    std::strcat(out, g_szFinalNames[s % 28]);
    return true;
}

// Appends the characters of `addition` while the name is shorter than
// `limit`; with `spaceAsUnderscore` a space is written as '_'.
void AppendWithin(char* name, int len, int limit, const char* addition, bool spaceAsUnderscore)
{
    for (const char* p = addition; *p != '\0' && len < limit; ++p) {
        name[len++] = (spaceAsUnderscore && *p == ' ') ? '_' : *p;
    }
    name[len] = '\0';
}

// Starts an empty name with a marker letter ("x" for a hexadecimal code,
// "u" for a private-use decimal code) so that it does not begin with a digit.
int StartWithMarker(char* name, int len, char marker)
{
    if (len != 0)
        return len;
    name[0] = marker;
    name[1] = '\0';
    return 1;
}

void AddSyllableOrLetter(char* name, int len, unsigned value)
{
    if (len >= kNameLimit)
        return;
    const int limit = len == 0 ? kFirstCharLimit : kNameLimit;
    char romanised[16];
    const char* addition = nullptr;
    if (IsJamoCode(value))
        addition = JamoLetterName(value);
    else if (RomaniseSyllableCode(value, romanised))
        addition = romanised;
    else
        return;
    AppendWithin(name, len, limit, addition, false);
}

void AddDoubleByteCode(char* name, int len, unsigned value)
{
    len = StartWithMarker(name, len, 'x');
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04x", value);
    AppendWithin(name, len, kNameLimit, hex, false);
}

void AddAsciiCharacter(char* name, int len, unsigned value)
{
    if (len >= kNameLimit || !IsAsciiAlnum(value))
        return;
    name[len] = AsciiUpper(value);
    name[len + 1] = '\0';
}

void AddCodeForm(char* name, int len, unsigned value)
{
    int limit = kNameLimit;
    char buffer[16];
    const char* addition = buffer;
    if (IsJamoCode(value)) {
        addition = JamoLetterName(value);
    } else if (RomaniseSyllableCode(value, buffer)) {
        if (len == 0)
            limit = kFirstCharLimit;
    } else if (value >= 0xE000 && value <= 0xF900) {
        len = StartWithMarker(name, len, 'u');
        std::snprintf(buffer, sizeof buffer, "%05u", value);
    } else if (value < 0x7F && IsAsciiAlnum(value)) {
        buffer[0] = AsciiUpper(value);
        buffer[1] = '\0';
    } else {
        len = StartWithMarker(name, len, 'x');
        std::snprintf(buffer, sizeof buffer, "%04x", value);
    }
    AppendWithin(name, len, limit, addition, true);
}

bool IsNameCharacter(unsigned char c)
{
    return c == '_' || IsAsciiAlnum(c);
}

}  // namespace

void ImageName::Clear()
{
    base[0] = '\0';
    fixed = false;
}

void ImageName::ApplyDirective(const char* text, int count)
{
    int length = 0;
    if (count >= 2 && StartsWithIgnoringCase({text, static_cast<std::size_t>(count)}, "n=")) {
        for (int i = 2; i < count; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == ' ')
                break;
            if (IsNameCharacter(c))
                base[length++] = static_cast<char>(c);
        }
    }
    base[length] = '\0';
    fixed = length != 0;
}

void ImageName::Add(int kind, unsigned value)
{
    if (fixed)
        return;
    char* name = base;
    if (IsErrorName(name))
        return;
    value &= 0xFFFF;
    // The additions below only happen while the name is shorter than 8, so
    // the buffer is never at risk.
    const int len = static_cast<int>(strnlen(name, sizeof base - 1));
    switch (kind) {
    case kNameSyllable: AddSyllableOrLetter(name, len, value); break;
    case kNameDoubleByte: AddDoubleByteCode(name, len, value); break;
    case kNameAscii: AddAsciiCharacter(name, len, value); break;
    case kNameCodeForm: AddCodeForm(name, len, value); break;
    case kNameError: std::memcpy(name, kErrorName, sizeof kErrorName); break;
    default: break;
    }
}

void ImageName::Settle()
{
    if (base[0] == '\0') {
        std::strcpy(base, "_");
        fixed = false;
    }
    if (IsReservedName(base))
        std::strcat(base, "_");
}

int ImageName::FileName(int number, const char* extension, char* out, std::size_t room) const
{
    if (number == 0)
        return std::snprintf(out, room, "%s.%s", base, extension);
    return std::snprintf(out, room, "%s%d.%s", base, number, extension);
}

void AddToImageName(int kind, unsigned value)
{
    g_imageName.Add(kind, value);
}

void ApplyNameDirective(const char* text, int count)
{
    g_imageName.ApplyDirective(text, count);
}

bool IsReservedName(const char* name)
{
    static const char* const kDeviceNames[] = {"nul", "con", "com", "prn", "aux", "lpt", "clock$"};
    for (const char* device : kDeviceNames) {
        if (EqualsIgnoringCase(name, device))
            return true;
    }
    // COM1 to COM9 and LPT1 to LPT9.
    return (StartsWithIgnoringCase(name, "com") || StartsWithIgnoringCase(name, "lpt")) &&
           name[3] >= '1' && name[3] <= '9' && name[4] == '\0';
}

}  // namespace sylpic
