#include <gtest/gtest.h>

#include "hangul/code_page.h"
#include "hangul/iconv_handle.h"

using namespace sylpic;

namespace {

unsigned Encode(char16_t unit, int* count)
{
    unsigned char out[2] = {0, 0};
    *count = UnitToCp949(unit, out);
    return *count == 2 ? (static_cast<unsigned>(out[0]) << 8) | out[1] : out[0];
}

TEST(CodePage, Cp949IsAvailable)
{
    EXPECT_TRUE(IsCodePage949Available());
}

TEST(CodePage, KnownCodesDecodeAndEncode)
{
    struct Known {
        unsigned code;
        char16_t unit;
    };
    const Known known[] = {
        {0xB0A1, 0xAC00},  // 가
        {0xC7D1, 0xD55C},  // 한
        {0x8C63, 0xB620},  // 똠, an extended code outside KS X 1001
        {0xA2BE, 0x2665},  // the error glyph
        {0xA4A1, 0x3131},  // ㄱ
        {0xA4D4, 0x3164},  // the Hangul filler
        {0xA4FE, 0x318E},  // ㆎ
    };
    for (const Known& k : known) {
        char16_t unit = 0;
        EXPECT_EQ(Cp949PairToUnit(static_cast<unsigned char>(k.code >> 8),
                                  static_cast<unsigned char>(k.code & 0xFF), &unit),
                  1)
            << std::hex << k.code;
        EXPECT_EQ(unit, k.unit) << std::hex << k.code;
        int count = 0;
        EXPECT_EQ(Encode(k.unit, &count), k.code) << std::hex << static_cast<int>(k.unit);
        EXPECT_EQ(count, 2);
    }
}

TEST(CodePage, PairsThatAreNotOneCharacter)
{
    char16_t unit = 0x1234;
    EXPECT_EQ(Cp949PairToUnit('A', 'B', &unit), 0);    // two one-byte characters
    EXPECT_EQ(Cp949PairToUnit(0x00, 0x41, &unit), 0);  // a code with a zero high byte
    EXPECT_EQ(Cp949PairToUnit(0xAC, 0x00, &unit), 0);  // a lead byte then a zero
    EXPECT_EQ(Cp949PairToUnit(0xB0, 0x20, &unit), 0);  // a lead byte then a space
    EXPECT_EQ(Cp949PairToUnit(0xFF, 0xFF, &unit), 0);
    EXPECT_EQ(unit, 0x1234) << "the unit is left alone on failure";
}

TEST(CodePage, OneByteResults)
{
    int count = 0;
    EXPECT_EQ(Encode(u'A', &count), static_cast<unsigned>('A'));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Encode(0x0000, &count), 0u);
    EXPECT_EQ(count, 1);
    // Characters that code page 949 lacks become the one-byte default.
    Encode(0x0E01, &count);  // Thai ko kai
    EXPECT_EQ(count, 1);
    Encode(0xD800, &count);  // a lone surrogate
    EXPECT_EQ(count, 1);
    Encode(0xE000, &count);  // private use
    EXPECT_EQ(count, 1);
}

TEST(CodePage, EverySyllableRoundTrips)
{
    int inKsX1001 = 0;
    for (char16_t syllable = 0xAC00; syllable <= 0xD7A3; ++syllable) {
        unsigned char out[2] = {0, 0};
        ASSERT_EQ(UnitToCp949(syllable, out), 2) << std::hex << static_cast<int>(syllable);
        char16_t back = 0;
        ASSERT_EQ(Cp949PairToUnit(out[0], out[1], &back), 1) << std::hex << static_cast<int>(syllable);
        EXPECT_EQ(back, syllable);
        if (out[0] >= 0xB0 && out[0] <= 0xC8 && out[1] >= 0xA1)
            ++inKsX1001;
    }
    EXPECT_EQ(inKsX1001, 2350);
}

// The tables are generated from glibc's iconv CP949 converter; both
// directions give exactly what the converter gives, for every code.
TEST(CodePage, DecodingIsIconvsForEveryPair)
{
    IconvHandle decoder("UTF-16LE", "CP949");
    ASSERT_TRUE(decoder.IsOpen());
    int characters = 0;
    for (int first = 0; first <= 0xFF; ++first) {
        for (int second = 0; second <= 0xFF; ++second) {
            const unsigned char in[2] = {static_cast<unsigned char>(first), static_cast<unsigned char>(second)};
            unsigned char out[8];
            // One character is exactly one UTF-16 unit that is no surrogate.
            const bool one = decoder.Convert(in, 2, out, sizeof out) == 2 && (out[1] < 0xD8 || out[1] > 0xDF);
            char16_t unit = 0xFFFF;
            ASSERT_EQ(Cp949PairToUnit(in[0], in[1], &unit), one ? 1 : 0) << std::hex << first << ' ' << second;
            ASSERT_EQ(unit, one ? (out[0] | out[1] << 8) : 0xFFFF) << std::hex << first << ' ' << second;
            characters += one ? 1 : 0;
        }
    }
    // 11172 syllables, 4888 hanja and the symbols and letters of KS X 1001.
    EXPECT_GT(characters, 11172 + 4888);
}

TEST(CodePage, EncodingIsIconvsForEveryUnit)
{
    IconvHandle encoder("CP949", "UTF-16LE");
    ASSERT_TRUE(encoder.IsOpen());
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        // ASCII stands for itself and a surrogate is no character; anything
        // the converter cannot encode becomes the default character '?'.
        unsigned expected = u < 0x80 ? u : '?';
        int expectedCount = 1;
        const unsigned char in[2] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8)};
        unsigned char out[8];
        const int written = u < 0x80 || (u >= 0xD800 && u <= 0xDFFF) ? 0 : encoder.Convert(in, 2, out, sizeof out);
        if (written == 2 && out[0] >= 0x81) {
            expected = out[0] << 8 | out[1];
            expectedCount = 2;
        } else if (written == 1) {
            expected = out[0];
        }
        int count = 0;
        ASSERT_EQ(Encode(static_cast<char16_t>(u), &count), expected) << std::hex << u;
        ASSERT_EQ(count, expectedCount) << std::hex << u;
    }
}

}  // namespace
