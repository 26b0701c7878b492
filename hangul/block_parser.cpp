#include "hangul/block_parser.h"

#include <cstdio>
#include <cstring>

#include "hangul/block_buffers.h"
#include "hangul/code_page.h"
#include "hangul/double_byte.h"
#include "hangul/name_sink.h"
#include "hangul/romanise.h"

namespace {

// The letter run: the letters of one romanised syllable, or '*' and the name
// of one Hangul letter. Empty between blocks.
char s_szLetterRun[kMaxLetterRun + 1];
int s_nLetterCount = 0;

// U+2665, what the error glyph decodes to; stored in Unicode mode should a
// code ever fail to decode, rather than an undefined unit.
constexpr char16_t kErrorGlyphUnit = 0x2665;

// Hands one character to the name sink, if there is one.
void Report(NameSink name, int kind, unsigned value)
{
    if (name != nullptr)
        name(kind, value);
}

bool IsAsciiLetter(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// True while `bytes` more bytes fit into the glyph string's 256.
bool GlyphStringHasRoom(int bytes)
{
    const int length = g_glyphString.length;
    return length >= 0 && length <= kMaxGlyphBytes - bytes;
}

void StoreByte(unsigned char byte)
{
    g_glyphString.bytes[g_glyphString.length++] = byte;
}

// Stores one UTF-16 code unit, low byte first, when two bytes still fit.
void AppendUnit(char16_t unit)
{
    if (!GlyphStringHasRoom(2))
        return;
    StoreByte(static_cast<unsigned char>(unit & 0xFF));
    StoreByte(static_cast<unsigned char>(unit >> 8));
}

// Appends the error glyph and names the error. Returns the error count, 1.
int AppendError(NameSink name)
{
    AppendCode(kErrorGlyph);
    Report(name, kNameError, 0);
    return 1;
}

// One byte taken as it stands: printable ASCII (and 26 to 31) is appended,
// a byte of 128 or more cannot be represented, and the other control bytes
// (tab and line breaks among them) vanish. Returns the error count.
int AppendLiteral(unsigned char b, NameSink name)
{
    if (b >= 26 && b <= 126) {
        AppendChar(b);
        Report(name, kNameAscii, b);
        return 0;
    }
    if (b >= 128)
        return AppendError(name);
    return 0;
}

// Converts the pending letter run, if any. Returns the error count.
int FlushPendingLetters(NameSink name)
{
    return s_nLetterCount > 0 ? FlushLetters(name) : 0;
}

// &$xxxx; : the four characters are a code page 949 code in hexadecimal.
int AppendKsCodeForm(const unsigned char* digits, NameSink name)
{
    char text[5];
    std::memcpy(text, digits, 4);
    text[4] = '\0';
    unsigned int number = 0;
    if (std::sscanf(text, "%x", &number) != 1)
        return AppendError(name);
    const unsigned code = number & 0xFFFF;
    char16_t unit = 0;
    if (Cp949PairToUnit(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF),
                        &unit) != 1)
        return AppendError(name);
    AppendCode(code);
    Report(name, kNameCodeForm, code);
    return 0;
}

// &#ddddd; : the five characters are a UTF-16 code unit in decimal.
int AppendCharacterReference(const unsigned char* digits, NameSink name)
{
    char text[6];
    std::memcpy(text, digits, 5);
    text[5] = '\0';
    int number = 0;
    if (std::sscanf(text, "%d", &number) != 1)
        return AppendError(name);
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned>(number) & 0xFFFF);
    if (g_bUnicodeMode) {
        // Stored as given: the font decides what it draws.
        AppendUnit(unit);
        Report(name, kNameCodeForm, unit);
        return 0;
    }
    unsigned char bytes[2];
    if (UnitToCp949(unit, bytes) != 2)
        return AppendError(name);  // ASCII, or a character that 949 lacks
    const unsigned code = (static_cast<unsigned>(bytes[0]) << 8) | bytes[1];
    AppendCode(code);
    Report(name, kNameCodeForm, code);
    return 0;
}

// A full-width character of the page's code page 932.
int AppendDoubleByte(unsigned char lead, unsigned char trail, NameSink name)
{
    const unsigned code = static_cast<unsigned>(MapDoubleByte(lead, trail)) & 0xFFFF;
    if (code == 0)
        return AppendError(name);
    AppendCode(code);
    Report(name, kNameDoubleByte, code);
    return 0;
}

}  // namespace

void AppendCode(unsigned code)
{
    if (!GlyphStringHasRoom(2))
        return;
    const unsigned char high = static_cast<unsigned char>((code >> 8) & 0xFF);
    const unsigned char low = static_cast<unsigned char>(code & 0xFF);
    if (!g_bUnicodeMode) {
        StoreByte(high);
        StoreByte(low);
        return;
    }
    char16_t unit = kErrorGlyphUnit;
    Cp949PairToUnit(high, low, &unit);  // leaves the error glyph on failure
    AppendUnit(unit);
}

void AppendChar(unsigned char ch)
{
    if (!g_bUnicodeMode) {
        if (GlyphStringHasRoom(1))
            StoreByte(ch);
        return;
    }
    AppendUnit(ch);
}

void CollectLetter(char ch)
{
    if (s_nLetterCount < kMaxLetterRun)
        s_szLetterRun[s_nLetterCount++] = ch;
}

void ClearLetterRun()
{
    s_nLetterCount = 0;
}

int FlushLetters(NameSink name)
{
    if (s_nLetterCount <= 0)
        return 0;
    s_szLetterRun[s_nLetterCount] = '\0';
    const unsigned code = ComposeSyllable(s_szLetterRun);
    s_nLetterCount = 0;
    if (code == 0)
        return AppendError(name);
    AppendCode(code);
    Report(name, kNameSyllable, code);
    return 0;
}

int ParseBlock(NameSink name)
{
    const unsigned char* bytes = g_blockBytes.bytes;
    int count = g_blockBytes.count;
    if (count < 0)
        count = 0;
    if (count > kMaxBlockBytes)
        count = kMaxBlockBytes;

    s_nLetterCount = 0;
    int errors = 0;
    bool inLiteral = false;
    int i = 0;
    while (i < count) {
        const unsigned char b = bytes[i];

        if (inLiteral) {
            if (b == '}')
                inLiteral = false;
            else
                errors += AppendLiteral(b, name);
            ++i;
            continue;
        }

        if (b == '&') {
            // The forms are recognised only when their ';' lies inside the block.
            if (i + 6 < count && bytes[i + 1] == '$' && bytes[i + 6] == ';') {
                errors += FlushPendingLetters(name);
                errors += AppendKsCodeForm(bytes + i + 2, name);
                i += 7;
            } else if (i + 7 < count && bytes[i + 1] == '#' && bytes[i + 7] == ';') {
                errors += FlushPendingLetters(name);
                errors += AppendCharacterReference(bytes + i + 2, name);
                i += 8;
            } else {
                ++i;  // a lone '&' is dropped; what follows is read as text
            }
            continue;
        }

        if (IsLeadByte(b)) {
            errors += FlushPendingLetters(name);
            // Both bytes are consumed even when the second is no trail byte;
            // a lead byte at the very end is dropped.
            if (i + 1 < count && IsTrailByte(bytes[i + 1]))
                errors += AppendDoubleByte(b, bytes[i + 1], name);
            i += 2;
            continue;
        }

        if (b == '{') {
            errors += FlushPendingLetters(name);
            inLiteral = true;
        } else if (b == '*') {
            // A single pending character is not converted: the asterisk joins it.
            if (s_nLetterCount >= 2)
                errors += FlushLetters(name);
            CollectLetter('*');
        } else if ((b == '0' || b == '@') && s_nLetterCount > 0 && s_szLetterRun[0] == '*') {
            CollectLetter(static_cast<char>(b));
        } else if (IsAsciiLetter(b)) {
            CollectLetter(static_cast<char>(b));
        } else {
            errors += FlushPendingLetters(name);
            if (b != '-')
                errors += AppendLiteral(b, name);
        }
        ++i;
    }
    errors += FlushPendingLetters(name);
    return errors;
}
