// Full-width characters of a code page 932 page, converted end to end.
#include <cstring>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using FullWidthPageTest = ConvertFixture;

TEST_F(FullWidthPageTest, PunctuationKanaAndKanjiBecomeTheirKoreanCodes)
{
    // The same characters written as KS code forms make the same glyph
    // string, so the second block reuses the first block's image.
    const std::string out = Convert(ToCp932("<p>[[、。あ漢]] [[&$A3AC;&$A3AE;&$AAA2;&$F9D3;]]</p>"));
    EXPECT_EQ(out, "<p><img src=\"./hanimg/xa3aca.gif\"> <img src=\"./hanimg/xa3aca.gif\"></p>");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 1, 正常終了");

    char key[260];
    unsigned char colours[6];
    ASSERT_GT(ReadGifKey(Image("xa3aca.gif").c_str(), key, colours), 0);
    EXPECT_STREQ(key, "NanumGothic 12 ^A3ACA3AEAAA2F9D3");
    // Four glyphs are drawn: the image is several glyphs wide.
    const std::string gif = ReadWholeFile(Image("xa3aca.gif"));
    const int width = static_cast<unsigned char>(gif[6]) | (static_cast<unsigned char>(gif[7]) << 8);
    EXPECT_GT(width, 30);
}

TEST_F(FullWidthPageTest, CharactersWithoutCounterpartAreErrors)
{
    std::string page = ToCp932("[[々〒①]]");
    page += "[[\xEB\x40\xFC\xFC]]";  // rows 85 and up
    Convert(page);
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 2, エラー数 5");
    char key[260];
    unsigned char colours[6];
    ReadGifKey(Image("_err_.gif").c_str(), key, colours);
    EXPECT_STREQ(key, "NanumGothic 12 ^A2BEA2BEA2BE");
}

}  // namespace
