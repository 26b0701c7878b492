#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "convert/block_state.h"
#include "convert/image_name.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"

using namespace sylpic;

namespace {

using Bytes = std::vector<unsigned char>;

struct Parsed {
    int errors;
    Bytes glyphs;
    std::string name;
};

// Sets up one block the way the page scanner does and parses it.
Parsed Parse(const std::string& text, bool unicode = false)
{
    BeginPage(unicode);
    for (char c : text)
        AddBlockByte(static_cast<unsigned char>(c));
    const int errors = ParseBlock(AddToImageName);
    return {errors, Bytes(g_glyphString.bytes, g_glyphString.bytes + g_glyphString.length),
            g_imageName.base};
}

// Narrow glyph string: values above 0xFF are two-byte codes, lead byte first.
Bytes Narrow(std::initializer_list<unsigned> items)
{
    Bytes out;
    for (unsigned item : items) {
        if (item > 0xFF)
            out.push_back(static_cast<unsigned char>(item >> 8));
        out.push_back(static_cast<unsigned char>(item & 0xFF));
    }
    return out;
}

// Unicode glyph string: UTF-16 units, low byte first.
Bytes Wide(std::initializer_list<char16_t> units)
{
    Bytes out;
    for (char16_t unit : units) {
        out.push_back(static_cast<unsigned char>(unit & 0xFF));
        out.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return out;
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

constexpr unsigned kHan = 0xC7D1;  // 한
constexpr unsigned kGug = 0xB1B9;  // 국
constexpr unsigned kGa = 0xB0A1;   // 가
constexpr unsigned kA = 0xBEC6;    // 아
constexpr unsigned kErr = 0xA2BE;  // ♥

TEST(BlockParser, SyllablesAndSeparators)
{
    Parsed p = Parse("han-gug");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan, kGug}));
    EXPECT_EQ(p.name, "hankuk");

    p = Parse("hangug");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));
    EXPECT_EQ(p.name, "_err_");

    p = Parse("han gug");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan, ' ', kGug}));

    p = Parse("--han--");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan}));
}

TEST(BlockParser, HangulLettersByName)
{
    Parsed p = Parse("a-*k");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kA, 0xA4A1}));

    // A single pending letter is not converted at the asterisk.
    p = Parse("a*k");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));

    // Two or more pending letters are converted first.
    p = Parse("han*k");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan, 0xA4A1}));

    p = Parse("*k 0");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({0xA4A1, ' ', '0'}));

    EXPECT_EQ(Parse("*0").glyphs, Narrow({0xA4B7}));
    EXPECT_EQ(Parse("*00").glyphs, Narrow({0xA4F0}));
    EXPECT_EQ(Parse("*@").glyphs, Narrow({0xA4FD}));

    // '0' and '@' join only a run that begins with '*'.
    p = Parse("a0");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kA, '0'}));
    p = Parse("a@");
    EXPECT_EQ(p.glyphs, Narrow({kA, '@'}));

    p = Parse("*k*n");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({0xA4A1, 0xA4A4}));

    p = Parse("**");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));

    // A space ends the run, so the filler is never reached by name.
    p = Parse("* ");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr, ' '}));
}

TEST(BlockParser, CodeForms)
{
    Parsed p = Parse("han&$B1DB;");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan, 0xB1DB}));

    EXPECT_EQ(Parse("&$B0A1;").glyphs, Narrow({kGa}));
    EXPECT_EQ(Parse("&$b0a1;").glyphs, Narrow({kGa}));
    EXPECT_EQ(Parse("&$B0A1;", true).glyphs, Wide({0xAC00}));

    // Not one character of code page 949, or no number at all.
    for (const char* text : {"&$0041;", "&$zzzz;", "&$B0A!;", "&$ 0x4;", "&$-001;"}) {
        p = Parse(text);
        EXPECT_EQ(p.errors, 1) << text;
        EXPECT_EQ(p.glyphs, Narrow({kErr})) << text;
    }

    // The seventh byte is no ';': the '&' is dropped and the rest is text.
    p = Parse("&$41;abc");
    EXPECT_EQ(p.errors, 1);  // "abc" is no syllable
    EXPECT_EQ(p.glyphs, Narrow({'$', '4', '1', ';', kErr}));
}

TEST(BlockParser, CharacterReferences)
{
    EXPECT_EQ(Parse("&#44032;").glyphs, Narrow({kGa}));
    EXPECT_EQ(Parse("&#44032;", true).glyphs, Wide({0xAC00}));

    // Code page 949 writes A in one byte: an error in narrow mode only.
    Parsed p = Parse("&#00065;");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));
    p = Parse("&#00065;", true);
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Wide({0x0041}));

    // Unicode mode stores any unit unchecked; narrow mode needs two bytes.
    p = Parse("&#-0001;", true);
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Wide({0xFFFF}));
    EXPECT_EQ(Parse("&#-0001;").errors, 1);
    EXPECT_EQ(Parse("&# 4403;", true).glyphs, Wide({4403}));
    EXPECT_EQ(Parse("&#4403x;", true).glyphs, Wide({4403}));

    p = Parse("&#abcde;", true);
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Wide({0x2665}));

    // Too short to be a form.
    p = Parse("&#1234;");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({'#', '1', '2', '3', '4', ';'}));
    p = Parse("&");
    EXPECT_EQ(p.errors, 0);
    EXPECT_TRUE(p.glyphs.empty());
}

TEST(BlockParser, FormsConvertThePendingRun)
{
    Parsed p = Parse("ka&#44032;ka");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kGa, kGa, kGa}));
    // A lone '&' does not end the run.
    p = Parse("h&an");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan}));
}

TEST(BlockParser, LiteralSpans)
{
    Parsed p = Parse("{Seoul-2002}");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({'S', 'e', 'o', 'u', 'l', '-', '2', '0', '0', '2'}));

    p = Parse("han{abc");
    EXPECT_EQ(p.glyphs, Narrow({kHan, 'a', 'b', 'c'}));

    p = Parse("{&$B0A1;*k{}ka");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({'&', '$', 'B', '0', 'A', '1', ';', '*', 'k', '{', kGa}));

    // Bytes of 128 and above are single bytes inside a span, each an error.
    p = Parse("{\x82\xA0}");
    EXPECT_EQ(p.errors, 2);
    EXPECT_EQ(p.glyphs, Narrow({kErr, kErr}));

    p = Parse("}");
    EXPECT_EQ(p.glyphs, Narrow({'}'}));
}

TEST(BlockParser, ControlBytesAndHighSingleBytes)
{
    Parsed p = Parse(std::string("han\t\r\n\x7F\x01gug"));
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kHan, kGug}));

    p = Parse(std::string("\x1A\x1F", 2));  // 26 and 31 are kept
    EXPECT_EQ(p.glyphs, Narrow({0x1A, 0x1F}));

    p = Parse(std::string("a\0a", 3));
    EXPECT_EQ(p.glyphs, Narrow({kA, kA}));

    // Half-width katakana and bytes that are no lead byte are errors.
    for (const char* text : {"\xB1", "\x80", "\xFD", "\xFF", "\xA0"}) {
        p = Parse(text);
        EXPECT_EQ(p.errors, 1) << static_cast<int>(static_cast<unsigned char>(text[0]));
        EXPECT_EQ(p.glyphs, Narrow({kErr}));
        EXPECT_EQ(p.name, "_err_");
    }
}

TEST(BlockParser, DoubleBytePairs)
{
    // A lead byte takes the next byte with it, trail byte or not.
    Parsed p = Parse("\x81 a");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({kA}));

    // A lead byte at the end is dropped.
    p = Parse("ha\x81");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({0xC7CF}));  // 하

    // Rows 85 and up have no counterpart: one error for the two bytes.
    p = Parse("\xF0\x40");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));

    // A lead byte ends the pending run.
    p = Parse("ka\xF0\x40ka");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kGa, kErr, kGa}));

    // あ (code page 932 0x82A0) is KS X 1001 0xAAA2, named by its code.
    p = Parse("\x82\xA0");
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Narrow({0xAAA2}));
    EXPECT_EQ(p.name, "xaaa2");
}

TEST(BlockParser, UnicodeMode)
{
    Parsed p = Parse("han a{!}", true);
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs, Wide({0xD55C, ' ', 0xC544, '!'}));

    p = Parse("ttom", true);  // an extended code
    EXPECT_EQ(p.glyphs, Wide({0xB620}));

    p = Parse("zz*k", true);
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Wide({0x2665, 0x3131}));
}

TEST(BlockParser, LongRunsAreCutAt64)
{
    Parsed p = Parse(Repeat("a", 100) + "-ka");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr, kGa}));
    p = Parse("*" + Repeat("@", 200));
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs, Narrow({kErr}));
}

TEST(BlockParser, GlyphStringKeepsTheFirst256Bytes)
{
    for (bool unicode : {false, true}) {
        Parsed p = Parse(Repeat("ka-", 200), unicode);
        EXPECT_EQ(p.errors, 0);
        ASSERT_EQ(p.glyphs.size(), 256u);
        const Bytes one = unicode ? Wide({0xAC00}) : Narrow({kGa});
        for (size_t i = 0; i < p.glyphs.size(); i += 2) {
            EXPECT_EQ(p.glyphs[i], one[0]);
            EXPECT_EQ(p.glyphs[i + 1], one[1]);
        }
    }
}

TEST(BlockParser, NarrowBoundaryAt255Bytes)
{
    const std::string body = Repeat("ka-", 127) + "{1}";  // 254 + 1 bytes
    Parsed p = Parse(body);
    ASSERT_EQ(p.glyphs.size(), 255u);

    p = Parse(body + "ka");  // a syllable no longer fits
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.glyphs.size(), 255u);

    p = Parse(body + "{2}");  // one more ASCII character does
    EXPECT_EQ(p.glyphs.size(), 256u);
    EXPECT_EQ(p.glyphs.back(), '2');

    p = Parse(body + "{23}");
    EXPECT_EQ(p.glyphs.size(), 256u);
    EXPECT_EQ(p.glyphs.back(), '2');

    // The error glyph does not fit either, but the error still counts.
    p = Parse(body + "zz");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs.size(), 255u);
}

TEST(BlockParser, DroppedCharactersAreStillNamed)
{
    const std::string spaces = "{" + Repeat(" ", 256) + "}";
    Parsed p = Parse(spaces + "han");
    EXPECT_EQ(p.glyphs.size(), 256u);
    EXPECT_EQ(p.name, "han");

    p = Parse(spaces + "zz");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.glyphs.size(), 256u);
    EXPECT_EQ(p.name, "_err_");
}

TEST(BlockParser, AppendAtTheLimits)
{
    BeginPage(false);
    g_glyphString.length = 255;
    AppendCode(kGa);
    EXPECT_EQ(g_glyphString.length, 255);
    AppendChar('a');
    EXPECT_EQ(g_glyphString.length, 256);
    AppendChar('b');
    EXPECT_EQ(g_glyphString.length, 256);

    BeginPage(true);
    g_glyphString.length = 255;
    AppendChar('a');
    EXPECT_EQ(g_glyphString.length, 255);
    g_glyphString.length = 254;
    AppendChar('a');
    EXPECT_EQ(g_glyphString.length, 256);

    // A length that was never reset is not written through.
    g_glyphString.length = -3;
    AppendCode(kGa);
    AppendChar('a');
    EXPECT_EQ(g_glyphString.length, -3);
    BeginPage(false);
}

// Parses `text` with the 16 bytes after the count set to `stale`, as an
// earlier, longer block may have left them.
Parsed ParseWithStaleBytes(const std::string& text, unsigned char stale)
{
    BeginPage(false);
    for (char c : text)
        AddBlockByte(static_cast<unsigned char>(c));
    std::memset(g_blockBytes.bytes + g_blockBytes.count, stale, 16);
    const int errors = ParseBlock(AddToImageName);
    return {errors, Bytes(g_glyphString.bytes, g_glyphString.bytes + g_glyphString.length),
            g_imageName.base};
}

TEST(BlockParser, NeverReadsPastTheCount)
{
    for (const char* text : {"&$B0A1", "&#44032", "&$", "&", "\x82", "ka&#4403", "a&$B0A1"}) {
        const Parsed clean = ParseWithStaleBytes(text, 'x');
        for (const unsigned char stale : {0x3B, 0x24, 0x23, 0x40, 0xA0}) {  // ; $ # @ and a trail byte
            const Parsed p = ParseWithStaleBytes(text, stale);
            EXPECT_EQ(p.errors, clean.errors) << text;
            EXPECT_EQ(p.glyphs, clean.glyphs) << text;
            EXPECT_EQ(p.name, clean.name) << text;
        }
    }
    // "&$B0A1" with no ';': the '&' is dropped and the rest read as text.
    const Parsed p = ParseWithStaleBytes("&$B0A1", ';');
    EXPECT_EQ(p.errors, 1);  // the run "B" has no vowel
    EXPECT_EQ(p.glyphs, Narrow({'$', kErr, '0', kA, '1'}));
}

TEST(BlockParser, RandomBlocksStayInBounds)
{
    std::mt19937 random(20240601);
    const std::string alphabet = "&$#;{}*-0@ 0123456789abcdefghkmnoprstuwxyAFHZ\t\x81\x82\xA0\xB1\xE0\xFC\xFF";
    for (int round = 0; round < 3000; ++round) {
        const bool full = round % 100 == 0;
        const int count = full ? kMaxBlockBytes : static_cast<int>(random() % 600);
        const bool anyByte = round % 3 == 0;
        BeginPage(round % 2 == 1);
        for (int i = 0; i < count; ++i) {
            const unsigned char b = anyByte ? static_cast<unsigned char>(random() & 0xFF)
                                            : static_cast<unsigned char>(alphabet[random() % alphabet.size()]);
            AddBlockByte(b);
        }
        g_glyphString.bytes[256] = 0x5A;
        g_glyphString.bytes[257] = 0xA5;

        const int errors = ParseBlock(AddToImageName);
        ASSERT_GE(errors, 0);
        ASSERT_LE(errors, count);
        ASSERT_GE(g_glyphString.length, 0);
        ASSERT_LE(g_glyphString.length, 256);
        if (g_bUnicodeMode) {
            ASSERT_EQ(g_glyphString.length % 2, 0);
        }
        ASSERT_EQ(g_glyphString.bytes[256], 0x5A) << "the terminator's room is the scanner's";
        ASSERT_EQ(g_glyphString.bytes[257], 0xA5);
        const size_t nameLength = strnlen(g_imageName.base, sizeof g_imageName.base);
        ASSERT_LE(nameLength, 8u);
        if (errors > 0) {
            ASSERT_STREQ(g_imageName.base, "_err_");
        }
    }
    BeginPage(false);
}

}  // namespace
