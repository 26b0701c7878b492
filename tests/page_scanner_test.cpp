// The page scanner: what is copied, what becomes a block, and the block
// pipeline's names, numbers and counters.
#include <sys/stat.h>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using PageScannerTest = ConvertFixture;

TEST_F(PageScannerTest, TextWithoutBlocksIsCopiedByteForByte)
{
    std::string page = "<html><body bgcolor=red>[x] a ] b [ c ]] d [";
    page += ToCp932("日本語テキスト");
    page += std::string("\x81\x5B\x81\x5D", 4);  // pairs whose trail bytes look like [ and ]
    page += std::string("\x00\x01\x7F\xFF\xA0\xFD", 6);
    page += "</body></html>\r\n";
    EXPECT_EQ(Convert(page), page);
    EXPECT_TRUE(Images().empty());
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 0, 作成数 0, 正常終了");
}

TEST_F(PageScannerTest, ConvertsTheWorkedExampleAndReusesOnTheSecondRun)
{
    const std::string source = "<p>[[han-gug-eo]] and [[`n=seoul`seo-ul]]</p>";
    const std::string expected = "<p><img src=\"./hanimg/hankuk.gif\"> and <img src=\"./hanimg/seoul.gif\"></p>";
    EXPECT_EQ(Convert(source), expected);
    EXPECT_EQ(Images(), (std::vector<std::string>{"hankuk.gif", "seoul.gif"}));
    EXPECT_EQ(dlg.m_nImageCount, 2);
    EXPECT_EQ(dlg.m_nCreatedCount, 2);

    // Again: the first block reuses its image, the fixed name is rewritten.
    EXPECT_EQ(Convert(source), expected);
    EXPECT_EQ(Images(), (std::vector<std::string>{"hankuk.gif", "seoul.gif"}));
    EXPECT_EQ(dlg.m_nImageCount, 2);
    EXPECT_EQ(dlg.m_nCreatedCount, 1);
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 1, 正常終了");
}

TEST_F(PageScannerTest, BlocksWithoutGlyphsVanish)
{
    EXPECT_EQ(Convert("a[[]]b[[-]]c[[\r\n\t]]d[[`n=top]]e"), "abcde");
    EXPECT_EQ(dlg.m_nImageCount, 0);
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    EXPECT_TRUE(Images().empty());
}

TEST_F(PageScannerTest, BracketsAtBlockEdges)
{
    // "[[[" opens a block whose first byte is "[" (a literal character), and
    // in "]]]" the first two close the block, the third is copied.
    EXPECT_EQ(Convert("[[[han]]]"), "<img src=\"./hanimg/han.gif\">]");
    // Inside a block "[[" and "<" are plain bytes: no nesting, no tag.
    EXPECT_EQ(Convert("x[[{<[[}]]y"), "x<img src=\"./hanimg/_.gif\">y");
}

TEST_F(PageScannerTest, DoubleBytePairsAreNeverTakenApart)
{
    // 0x81 0x5B is one character; the two "[" after it open a block.
    EXPECT_EQ(Convert(std::string("\x81\x5B[[[han]]", 10)), std::string("\x81\x5B", 2) + "<img src=\"./hanimg/han.gif\">");
    // A lead byte followed by a space inside a block goes to the output
    // before the block's tag; the space stays in the block.
    EXPECT_EQ(Convert(std::string("[[han\x81 ]]", 9)), "\x81<img src=\"./hanimg/han1.gif\">");
}

TEST_F(PageScannerTest, AnOpenBlockAtTheEndKeepsTheRestOfThePageAndCountsAsAnError)
{
    // From its "[[" on, the page stands as it was: footer and all.
    const std::string tail = "[[han-gug <b>x</b>\r\n</body></html>\r\n";
    EXPECT_EQ(Convert("before [[han]] " + tail), "before <img src=\"./hanimg/han.gif\"> " + tail);
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 1, 作成数 1, エラー数 1");
    EXPECT_EQ(dlg.m_lastOutcome, RunOutcome::kBlockErrors);
    // A lead byte written while inside the block is taken back; 82 5D is a
    // pair, so its 5D closes nothing.
    for (const std::string page : {"x[[han", "x[[a\x82]]", "x[[a\x81 b", "x[[han\x81", "[[`n=a"})
        EXPECT_EQ(Convert(page), page);
    // A block far past the 5000 bytes it keeps comes back whole.
    const std::string longBlock = "x[[" + std::string(12000, 'a') + "\n";
    EXPECT_EQ(Convert(longBlock), longBlock);
}

TEST_F(PageScannerTest, NameDirectives)
{
    EXPECT_EQ(Convert("[[`n=a-b c`han]]"), "<img src=\"./hanimg/ab.gif\">");
    EXPECT_EQ(Convert("[[`q=x`han]]"), "<img src=\"./hanimg/han.gif\">");
    EXPECT_EQ(Convert("[[`N=Top_1`han]]"), "<img src=\"./hanimg/Top_1.gif\">");
    // A single "]" inside the directive goes to the block bytes; the
    // directive goes on after it.
    EXPECT_EQ(Convert("[[`n=x]y`]]"), "<img src=\"./hanimg/xy.gif\">");
}

TEST_F(PageScannerTest, NumbersTheFirstFreeNameWhenNothingMatches)
{
    mkdir((dir.path() + "hanimg").c_str(), 0777);
    WriteWholeFile(Image("han.gif"), "not an image");
    WriteWholeFile(Image("han1.gif"), "not an image");
    WriteWholeFile(Image("han3.gif"), "not an image");
    EXPECT_EQ(Convert("[[han]][[han]]"), "<img src=\"./hanimg/han2.gif\"><img src=\"./hanimg/han2.gif\">");
    EXPECT_EQ(dlg.m_nCreatedCount, 1);
    EXPECT_EQ(dlg.m_nImageCount, 2);
    // Only a name of exactly the numbered form takes a number.
    for (const char* other : {"han4.GIF", "HAN4.gif", "han04.gif", "han4x.gif", "han4.gif.bak"})
        WriteWholeFile(Image(other), "not an image");
    dlg.m_strFontSize = "14";
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han4.gif\">");
}

TEST_F(PageScannerTest, ReservedDeviceNamesGetAnUnderscore)
{
    EXPECT_EQ(Convert("[[{con}]][[`n=com1`a]][[{com0}]][[`n=LPT9`a]]"),
              "<img src=\"./hanimg/CON_.gif\"><img src=\"./hanimg/com1_.gif\">"
              "<img src=\"./hanimg/COM0.gif\"><img src=\"./hanimg/LPT9_.gif\">");
}

TEST_F(PageScannerTest, XbmWritesNewNumberedFilesEveryRun)
{
    dlg.m_strImageFormat = "XBM";
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han.xbm\">");
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han1.xbm\">");
    const std::string xbm = ReadWholeFile(Image("han1.xbm"));
    EXPECT_EQ(xbm.rfind("#define han1.xbm_width ", 0), 0u) << xbm.substr(0, 40);
}

TEST_F(PageScannerTest, BodyTagColoursApplyToTheBlocksAfterIt)
{
    // Opaque GIFs carry the colour pair at bytes 13 to 18.
    Convert("[[a]]<BODY bgcolor=#FF8000 text=navy>[[ga]]<body>[[na]]<body\ntext=red>[[da]]");
    const std::string before = ReadWholeFile(Image("a.gif"));
    const std::string after = ReadWholeFile(Image("ka.gif"));
    const std::string bare = ReadWholeFile(Image("na.gif"));
    const std::string newline = ReadWholeFile(Image("ta.gif"));
    ASSERT_GE(before.size(), 19u);
    EXPECT_EQ(before.substr(13, 6), std::string("\xFF\xFF\xFF\x00\x00\x00", 6));
    EXPECT_EQ(after.substr(13, 6), std::string("\xFF\x80\x00\x00\x00\x80", 6));
    EXPECT_EQ(bare.substr(13, 6), after.substr(13, 6));
    EXPECT_EQ(newline.substr(13, 6), after.substr(13, 6));
}

TEST_F(PageScannerTest, ATagInterruptedByABlockResumesAfterIt)
{
    Convert("<body [[a]] bgcolor=#102030>[[ga]]");
    EXPECT_EQ(ReadWholeFile(Image("ka.gif")).substr(13, 3), std::string("\x10\x20\x30", 3));
}

TEST_F(PageScannerTest, AnUnknownFontStopsTheRunAndKeepsTheLastGoodPage)
{
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han.gif\">");
    dlg.m_strFontName = "No Such Face";
    EXPECT_EQ(Convert("changed [[gug]]"), "<img src=\"./hanimg/han.gif\">");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　フォントを読み込めませんでした");
    // No temporary page is left behind.
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"hanimg", "page.htm", "sp_page.htm"}));
}

TEST_F(PageScannerTest, BlockErrorsAreCountedAndNamedAsErrors)
{
    EXPECT_EQ(Convert("[[han-xyz-gug]][[`n=shop`qq]]"),
              "<img src=\"./hanimg/_err_.gif\"><img src=\"./hanimg/shop.gif\">");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 2, エラー数 2");
    // Error images are never reused: the next run makes new ones.
    Convert("[[han-xyz-gug]]");
    EXPECT_TRUE(FileExists(Image("_err_1.gif")));
}

}  // namespace
