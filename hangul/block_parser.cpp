#include "hangul/block_parser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hangul/block_buffers.h"
#include "hangul/block_character_code.h"
#include "hangul/code_page.h"
#include "hangul/double_byte.h"
#include "hangul/name_sink.h"
#include "hangul/romanise.h"
#include "hangul/utf8_text.h"

namespace sylpic {

namespace {

// The block's letter run (hangul/block_buffers.h).
constexpr LetterRun& s_letters = g_block.letters;

// U+2665, what the error glyph decodes to; stored in Unicode mode should a
// code ever fail to decode, rather than an undefined unit.
constexpr char16_t kErrorGlyphUnit = 0x2665;

// The bytes of a whole KS code form (&$xxxx;) and character reference form
// (&#ddddd;).
constexpr int kKsCodeFormBytes = 7;
constexpr int kCharacterReferenceBytes = 8;

// Keeps the first failure of the block, when a report is wanted.
void NoteFailure(BlockFailure why, const void* text, std::size_t length)
{
    if (g_block.report == nullptr || g_block.report->failure != BlockFailure::kNone)
        return;
    g_block.report->failure = why;
    g_block.report->failedText.assign(static_cast<const char*>(text), length);
}

// Keeps the first '&' that was dropped though a form's "&$" or "&#" followed
// it, with what came after it, up to the length of a whole form.
void NoteDroppedAmpersand(const unsigned char* from, int left)
{
    if (g_block.report == nullptr || !g_block.report->droppedAmpersand.empty())
        return;
    const int formBytes = from[1] == '#' ? kCharacterReferenceBytes : kKsCodeFormBytes;
    g_block.report->droppedAmpersand.assign(reinterpret_cast<const char*>(from),
                                       static_cast<std::size_t>(std::min(left, formBytes)));
}

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

// True while `bytes` more bytes fit into the glyph string's room.
bool GlyphStringHasRoom(int bytes)
{
    const int length = g_glyphString.length;
    return length >= 0 && length <= g_glyphString.room - bytes;
}

// A character found no room in the glyph string: counted for the report,
// with the place of the first (each character before it is stored whole:
// one UTF-16 unit, or a code page 949 pair led by a byte of 0x80 or more,
// or one ASCII byte). Only a cut block pays for this.
void NoteCutCharacter()
{
    if (g_block.report == nullptr || g_block.report->cutCharacters++ > 0)
        return;
    int stored = 0;
    if (g_bUnicodeMode) {
        stored = g_glyphString.length / 2;
    } else {
        for (int i = 0; i < g_glyphString.length; i += g_glyphString.bytes[i] >= 0x80 ? 2 : 1)
            ++stored;
    }
    g_block.report->firstCutCharacter = stored + 1;
}

void StoreByte(unsigned char byte)
{
    g_glyphString.bytes[g_glyphString.length++] = byte;
}

// Stores one UTF-16 code unit, low byte first, when two bytes still fit.
void AppendUnit(char16_t unit)
{
    if (!GlyphStringHasRoom(2)) {
        NoteCutCharacter();
        return;
    }
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
    if (b >= 128) {
        NoteFailure(BlockFailure::kStrayHighByte, &b, 1);
        return AppendError(name);
    }
    return 0;
}

// Converts the pending letter run, if any. Returns the error count.
int FlushPendingLetters(NameSink name)
{
    return s_letters.count > 0 ? FlushLetters(name) : 0;
}

// A code form that gives no character: the error glyph.
int AppendCodeFormError(const unsigned char* form, int formBytes, NameSink name)
{
    NoteFailure(BlockFailure::kNoCodeCharacter, form, static_cast<std::size_t>(formBytes));
    return AppendError(name);
}

// A code page 949 code as a code form gives it; `shown` is what the author
// wrote for it. Returns the error count.
int AppendKsCode(unsigned code, const unsigned char* shown, int shownBytes, NameSink name)
{
    char16_t unit = 0;
    if (Cp949PairToUnit(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF),
                        &unit) != 1)
        return AppendCodeFormError(shown, shownBytes, name);
    AppendCode(code);
    Report(name, kNameCodeForm, code);
    return 0;
}

// &$xxxx; : the four characters are a code page 949 code in hexadecimal.
int AppendKsCodeForm(const unsigned char* form, NameSink name)
{
    char text[5];
    std::memcpy(text, form + 2, 4);
    text[4] = '\0';
    unsigned int number = 0;
    if (std::sscanf(text, "%x", &number) != 1)
        return AppendCodeFormError(form, kKsCodeFormBytes, name);
    return AppendKsCode(number & 0xFFFF, form, kKsCodeFormBytes, name);
}

// &#ddddd; : the five characters are a UTF-16 code unit in decimal.
int AppendCharacterReference(const unsigned char* form, NameSink name)
{
    char text[6];
    std::memcpy(text, form + 2, 5);
    text[5] = '\0';
    int number = 0;
    if (std::sscanf(text, "%d", &number) != 1)
        return AppendCodeFormError(form, kCharacterReferenceBytes, name);
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned>(number) & 0xFFFF);
    if (g_bUnicodeMode) {
        // Stored as given: the font decides what it draws.
        AppendUnit(unit);
        Report(name, kNameCodeForm, unit);
        return 0;
    }
    unsigned char bytes[2];
    if (UnitToCp949(unit, bytes) != 2)  // ASCII, or a character that 949 lacks
        return AppendCodeFormError(form, kCharacterReferenceBytes, name);
    const unsigned code = (static_cast<unsigned>(bytes[0]) << 8) | bytes[1];
    AppendCode(code);
    Report(name, kNameCodeForm, code);
    return 0;
}

// A full-width character of code page 932, through the double-byte map;
// `shown` is what the author wrote for it. Returns the error count.
int AppendDoubleByte(unsigned char lead, unsigned char trail, const unsigned char* shown, int shownBytes,
                     NameSink name)
{
    const unsigned code = static_cast<unsigned>(MapDoubleByte(lead, trail)) & 0xFFFF;
    if (code == 0) {
        NoteFailure(BlockFailure::kNoCounterpart, shown, static_cast<std::size_t>(shownBytes));
        return AppendError(name);
    }
    AppendCode(code);
    Report(name, kNameDoubleByte, code);
    return 0;
}

// A character beyond ASCII in a block of a UTF-8 page, at bytes[at]: sets
// `taken` to its bytes and returns the error count. Outside a literal span
// it is converted as the same character would be in a code page 932 page,
// else as its code page 949 code form would be; in a span, or without
// either code, it cannot be represented. An ill-formed sequence is one error
// for each maximal part of it, as browsers count them; a character that the
// 5000-byte limit cut off is dropped, as a cut double-byte pair is.
int AppendUtf8Character(const unsigned char* bytes, int count, int at, bool inLiteral, NameSink name, int& taken)
{
    const Utf8Step step = DecodeUtf8Step(bytes, static_cast<std::size_t>(count), static_cast<std::size_t>(at));
    const unsigned char* text = bytes + at;
    taken = step.length;
    if (step.result == Utf8Result::kCut && g_blockBytes.cut)
        return 0;
    if (step.result != Utf8Result::kCharacter) {
        NoteFailure(BlockFailure::kInvalidUtf8, text, static_cast<std::size_t>(step.length));
        return AppendError(name);
    }
    if (inLiteral) {
        NoteFailure(BlockFailure::kNotAsciiInLiteral, text, static_cast<std::size_t>(step.length));
        return AppendError(name);
    }
    const BlockCharacterCode code = CodeForBlockCharacter(step.character);
    switch (code.page) {
    case BlockCodePage::kCp932: return AppendDoubleByte(code.lead, code.trail, text, step.length, name);
    case BlockCodePage::kCp949:
        return AppendKsCode((static_cast<unsigned>(code.lead) << 8) | code.trail, text, step.length, name);
    case BlockCodePage::kNone: break;
    }
    NoteFailure(BlockFailure::kNoCounterpart, text, static_cast<std::size_t>(step.length));
    return AppendError(name);
}

}  // namespace

void AppendCode(unsigned code)
{
    if (!GlyphStringHasRoom(2)) {
        NoteCutCharacter();
        return;
    }
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
        else
            NoteCutCharacter();
        return;
    }
    AppendUnit(ch);
}

void CollectLetter(char ch)
{
    if (s_letters.count < kMaxLetterRun)
        s_letters.letters[s_letters.count++] = ch;
}

int FlushLetters(NameSink name)
{
    if (s_letters.count <= 0)
        return 0;
    s_letters.letters[s_letters.count] = '\0';
    // The run as collected, kept before the name search may rewrite it.
    char collected[kMaxLetterRun + 1];
    const std::size_t collectedCount = static_cast<std::size_t>(s_letters.count);
    if (g_block.report != nullptr)
        std::memcpy(collected, s_letters.letters, collectedCount);
    const unsigned code = ComposeSyllable(s_letters.letters);
    s_letters.count = 0;
    if (code == 0) {
        NoteFailure(BlockFailure::kNoSyllable, collected, collectedCount);
        return AppendError(name);
    }
    AppendCode(code);
    Report(name, kNameSyllable, code);
    return 0;
}

int ParseBlock(NameSink name, BlockReport* report)
{
    if (report != nullptr)
        *report = BlockReport();
    // The report is reached from the helpers while this parse runs.
    struct ReportScope {
        explicit ReportScope(BlockReport* r) { g_block.report = r; }
        ~ReportScope() { g_block.report = nullptr; }
    } scope(report);

    const unsigned char* bytes = g_blockBytes.bytes;
    int count = g_blockBytes.count;
    if (count < 0)
        count = 0;
    if (count > kMaxBlockBytes)
        count = kMaxBlockBytes;

    s_letters.count = 0;
    int errors = 0;
    bool inLiteral = false;
    int i = 0;
    while (i < count) {
        const unsigned char b = bytes[i];

        // In a UTF-8 page no byte pairs up with the next: every character
        // beyond ASCII is taken whole, wherever it stands.
        if (b >= 0x80 && g_bUtf8Page) {
            if (!inLiteral)
                errors += FlushPendingLetters(name);
            int taken = 1;
            errors += AppendUtf8Character(bytes, count, i, inLiteral, name, taken);
            i += taken;
            continue;
        }

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
                errors += AppendKsCodeForm(bytes + i, name);
                i += kKsCodeFormBytes;
            } else if (i + 7 < count && bytes[i + 1] == '#' && bytes[i + 7] == ';') {
                errors += FlushPendingLetters(name);
                errors += AppendCharacterReference(bytes + i, name);
                i += kCharacterReferenceBytes;
            } else {
                // A lone '&' is dropped; what follows is read as text.
                if (i + 1 < count && (bytes[i + 1] == '$' || bytes[i + 1] == '#'))
                    NoteDroppedAmpersand(bytes + i, count - i);
                ++i;
            }
            continue;
        }

        if (IsLeadByte(b)) {
            errors += FlushPendingLetters(name);
            // Both bytes are consumed even when the second is no trail byte;
            // a lead byte at the very end is dropped.
            if (i + 1 < count && IsTrailByte(bytes[i + 1]))
                errors += AppendDoubleByte(b, bytes[i + 1], bytes + i, 2, name);
            i += 2;
            continue;
        }

        if (b == '{') {
            errors += FlushPendingLetters(name);
            inLiteral = true;
        } else if (b == '*') {
            // A single pending character is not converted: the asterisk joins it.
            if (s_letters.count >= 2)
                errors += FlushLetters(name);
            CollectLetter('*');
        } else if ((b == '0' || b == '@') && s_letters.count > 0 && s_letters.letters[0] == '*') {
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

}  // namespace sylpic
