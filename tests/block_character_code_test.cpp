#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hangul/block_character_code.h"
#include "hangul/double_byte.h"
#include "hangul/iconv_handle.h"

using namespace sylpic;

namespace {

std::string Describe(BlockCharacterCode code)
{
    const char* page = code.page == BlockCodePage::kCp932   ? "932:"
                       : code.page == BlockCodePage::kCp949 ? "949:"
                                                            : "none:";
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X", code.lead, code.trail);
    return page + std::string(hex);
}

TEST(BlockCharacterCode, KnownCharacters)
{
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'あ')), "932:82A0");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'漢')), "932:8ABF");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'∥')), "932:8161");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'한')), "949:C7D1");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'ㄱ')), "949:A4A1");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'♥')), "949:A2BE");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'‖')), "none:0000") << "0x8161 is the code of U+2225";
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'¥')), "none:0000") << "0x5C is one byte, and one-way";
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'ｱ')), "none:0000") << "half-width katakana is one byte";
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'😀')), "none:0000");
    EXPECT_EQ(Describe(CodeForBlockCharacter(U'A')), "none:0000");
}

// Encodes c with iconv into `code`; true for exactly two bytes.
bool EncodeTwoBytes(IconvHandle& encoder, char32_t c, unsigned char code[2])
{
    const unsigned char in[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8), 0, 0};
    unsigned char out[8];
    if (encoder.Convert(in, 4, out, sizeof out) != 2)
        return false;
    code[0] = out[0];
    code[1] = out[1];
    return true;
}

TEST(BlockCharacterCode, AgreesWithIconvOverTheBmp)
{
    IconvHandle to932("CP932", "UTF-32LE");
    IconvHandle from932("UTF-32LE", "CP932");
    IconvHandle to949("CP949", "UTF-32LE");
    ASSERT_TRUE(to932.IsOpen() && from932.IsOpen() && to949.IsOpen());
    int counts[3] = {0, 0, 0};
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const BlockCharacterCode code = CodeForBlockCharacter(c);
        ++counts[static_cast<int>(code.page)];
        unsigned char expected[2];
        unsigned char back[8];
        BlockCodePage page = BlockCodePage::kNone;
        if (EncodeTwoBytes(to932, c, expected) && from932.Convert(expected, 2, back, sizeof back) == 4 &&
            static_cast<char32_t>(back[0] | back[1] << 8 | back[2] << 16) == c &&
            MapDoubleByte(expected[0], expected[1]) != 0)
            page = BlockCodePage::kCp932;
        else if (EncodeTwoBytes(to949, c, expected))
            page = BlockCodePage::kCp949;
        ASSERT_EQ(code.page, page) << std::hex << static_cast<unsigned>(c);
        if (page != BlockCodePage::kNone) {
            ASSERT_TRUE(code.lead == expected[0] && code.trail == expected[1]) << std::hex << static_cast<unsigned>(c);
        }
    }
    // Code page 932 keeps the characters that the double-byte map carries
    // over (about 5,000 of its 7,000); most Hangul is 949's.
    EXPECT_GT(counts[static_cast<int>(BlockCodePage::kCp932)], 4900);
    EXPECT_GT(counts[static_cast<int>(BlockCodePage::kCp949)], 11000);
}

}  // namespace
