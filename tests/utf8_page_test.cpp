// UTF-8 pages converted end to end: what a UTF-8 page's blocks draw, and
// that nothing in it is paired as code page 932 text would be.
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using Utf8PageTest = ConvertFixture;

std::string KeyOf(const std::string& path)
{
    char key[260];
    unsigned char colours[6];
    return ReadGifKey(path.c_str(), key, colours) > 0 ? key : "";
}

std::string Tag(const std::string& file)
{
    return "<img src=\"./hanimg/" + file + "\">";
}

TEST_F(Utf8PageTest, TypedHangulAndKanjiShareTheImagesOfTheCodePage932Twin)
{
    const std::string out = Convert("<meta charset=\"utf-8\">[[한국어]] [[han-gug-eo]] [[漢字]] [[*k]] [[ㄱ]]");
    const std::string tags =
        Tag("hankuk.gif") + " " + Tag("hankuk.gif") + " " + Tag("xf9d3e.gif") + " " + Tag("k.gif") + " " + Tag("k.gif");
    EXPECT_EQ(out, "<meta charset=\"utf-8\">" + tags);
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 5, 作成数 3, 正常終了");
    EXPECT_EQ(KeyOf(Image("hankuk.gif")), "NanumGothic 12 ^C7D1B1B9BEEE");

    // The twin, in code page 932, reuses every image: same glyphs, same keys.
    const std::string twin =
        Convert(ToCp932("<meta charset=\"shift_jis\">[[han-gug-eo]] [[han-gug-eo]] [[漢字]] [[*k]] [[*k]]"), "twin.htm");
    EXPECT_EQ(twin, "<meta charset=\"shift_jis\">" + tags);
    EXPECT_EQ(LastLogLine(), dir / "twin.htm" + "　画像数 5, 作成数 0, 正常終了");
    EXPECT_EQ(Images(), (std::vector<std::string>{"hankuk.gif", "k.gif", "xf9d3e.gif"}));
}

TEST_F(Utf8PageTest, NoBytesArePairedOutsideOrInsideBlocks)
{
    // ポ ends in 0x9D, a code page 932 lead byte, and [[한]] is 5B 5B ED 95
    // 9C 5D 5D: in code page 932 both would swallow a bracket. The byte
    // order mark stays.
    const std::string page = "\xEF\xBB\xBF" "ポ[[han]] [[한]]]";
    EXPECT_EQ(Convert(page), "\xEF\xBB\xBF" "ポ" + Tag("han.gif") + " " + Tag("han.gif") + "]");
    EXPECT_EQ(dlg.m_nCreatedCount, 1);

    // Read as code page 932, 9D 5B is a pair and the first block no block.
    dlg.m_strPageEncoding = "CP932";
    EXPECT_EQ(Convert(page).compare(0, 14, page, 0, 14), 0);

    // A page that declares nothing is code page 932 unless told otherwise.
    dlg.m_strPageEncoding = "AUTO";
    EXPECT_EQ(Convert("[[\x82\xA0]]"), Tag("xaaa2.gif"));
    dlg.m_strPageEncoding = "UTF-8";
    Convert("[[\x82\xA0]]");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, エラー数 2");
}

TEST_F(Utf8PageTest, EachIllFormedPartAndEachCharacterWithoutCodeIsOneError)
{
    dlg.m_strPageEncoding = "UTF-8";
    // F0 9F 98 | C0 | AF | ED | A0 | 80 | 80 : seven maximal parts; 😀 and
    // Thai ก have no code in either code page.
    Convert("[[\xF0\x9F\x98 \xC0\xAF \xED\xA0\x80 a\x80]] [[😀ก]]");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 2, エラー数 9");

    // In a literal span a character beyond ASCII is one error and one glyph;
    // in a name directive it is passed over.
    EXPECT_EQ(Convert("[[`n=x한y`{a한b}]]"), Tag("xy.gif"));
    EXPECT_EQ(KeyOf(Image("xy.gif")), "NanumGothic 12 ^61A2BE62");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, エラー数 1");
}

TEST_F(Utf8PageTest, ACodePage932CodeWithoutCounterpartGivesWayToTheCodePage949Code)
{
    // ① Ⅹ ㎞ 德 have code page 932 codes that the double-byte map leaves out.
    EXPECT_EQ(Convert("<meta charset=\"utf-8\">[[①Ⅹ㎞德]]"), "<meta charset=\"utf-8\">" + Tag("xa8e7a.gif"));
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了");
    EXPECT_EQ(KeyOf(Image("xa8e7a.gif")), "NanumGothic 12 ^A8E7A5B9A7B0D3EC");

    // The code page 932 twin keeps the map: each is an error there.
    Convert(ToCp932("<meta charset=\"shift_jis\">[[①Ⅹ㎞德]]"), "twin.htm");
    EXPECT_EQ(LastLogLine(), dir / "twin.htm" + "　画像数 1, 作成数 1, エラー数 4");
}

TEST_F(Utf8PageTest, TheBlockLimitCountsBytesAndDropsACharacterItCuts)
{
    dlg.m_strPageEncoding = "UTF-8";
    // "ka", then dashes to byte 4998: 한's third byte is the 5001st.
    Convert("[[ka" + std::string(4996, '-') + "한]]");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了");
    EXPECT_EQ(KeyOf(Image("ka.gif")), "NanumGothic 12 ^B0A1");

    // The same two bytes ended by "]]" within the limit are an error.
    Convert("[[ka" + std::string(4995, '-') + "\xED\x95]]");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, エラー数 1");
}

}  // namespace
