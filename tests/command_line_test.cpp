// The sylpic command line, run as a user runs it.
#include "tests/convert_fixture.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    RunResult Run(const std::string& args) { return RunSylpic(dir, args); }
    ScratchDir dir;
};

TEST_F(CommandLineTest, ConvertsTheWorkedExample)
{
    WriteWholeFile(dir / "page.htm", "<p>[[han-gug-eo]] and [[`n=seoul`seo-ul]]</p>");
    const RunResult r = Run("--font NanumGothic page.htm");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir / "page.htm" + "　画像数 2, 作成数 2, 正常終了\n");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"),
              "<p><img src=\"./hanimg/hankuk.gif\"> and <img src=\"./hanimg/seoul.gif\"></p>");
    EXPECT_TRUE(FileExists(dir / "hanimg/hankuk.gif"));
    EXPECT_TRUE(FileExists(dir / "hanimg/seoul.gif"));
}

TEST_F(CommandLineTest, ExitStatusTellsHowTheRunEnded)
{
    WriteWholeFile(dir / "sp_bad.htm", "[[xyz]]");
    const RunResult errors = Run("sp_bad.htm");
    EXPECT_EQ(errors.status, 1);
    EXPECT_EQ(errors.out, dir / "bad.htm" + "　画像数 1, 作成数 1, エラー数 1\n");

    // Dropping the output page again is refused: the box text goes to stderr.
    const RunResult refused = Run("bad.htm");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, dir / "bad.htm" + "　処理しませんでした\n");
    EXPECT_NE(refused.err.find("bad.htm ではなく、sp_bad.htm を修正・編集して入力して下さい。\n"), std::string::npos);
}

TEST_F(CommandLineTest, SettingsFileIsReadAndOptionsOverrideIt)
{
    WriteWholeFile(dir / "sylpic.ini", "[sylpic]\r\nimgftype=png\r\nFontName=nanumgothic\r\n");
    WriteWholeFile(dir / "sp_a.htm", "[[han]]");
    EXPECT_EQ(Run("sp_a.htm").status, 0);
    EXPECT_TRUE(FileExists(dir / "hanimg/han.png"));
    EXPECT_EQ(Run("--format x sp_a.htm").status, 0);
    EXPECT_TRUE(FileExists(dir / "hanimg/han.xbm"));
    // The command line never writes the settings file.
    EXPECT_EQ(ReadWholeFile(dir / "sylpic.ini"), "[sylpic]\r\nimgftype=png\r\nFontName=nanumgothic\r\n");
}

TEST_F(CommandLineTest, TwoTimesImagesComeFromTheOptionOrTheSettingsKey)
{
    WriteWholeFile(dir / "sp_a.htm", "[[han]]");
    EXPECT_EQ(Run("sp_a.htm").status, 0);
    EXPECT_FALSE(FileExists(dir / "hanimg/2x"));
    EXPECT_EQ(Run("--hidpi sp_a.htm").status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "a.htm"), "<img src=\"./hanimg/han.gif\" srcset=\"./hanimg/2x/han.gif 2x\">");
    WriteWholeFile(dir / "sylpic.ini", "[SYLPIC]\r\nHIDPI=1\r\nIMGFTYPE=PNG\r\n");
    EXPECT_EQ(Run("sp_a.htm").status, 0);
    EXPECT_TRUE(FileExists(dir / "hanimg/2x/han.png"));
}

TEST_F(CommandLineTest, MistakesAreExplained)
{
    const RunResult font = Run("--font NoSuchFace page.htm");
    EXPECT_EQ(font.status, 2);
    EXPECT_NE(font.err.find("NanumGothic\n"), std::string::npos);
    EXPECT_EQ(Run("--format TIFF page.htm").status, 2);
    EXPECT_EQ(Run("--dpi zero page.htm").status, 2);
    EXPECT_EQ(Run("--bogus").status, 2);
}

TEST_F(CommandLineTest, SizeIsUsedAsTypedButMustReadAsFiveToHundredPoints)
{
    WriteWholeFile(dir / "sp_a.htm", "[[han]]");
    for (const char* size : {"' 12'", "+12", "abc", "0", "4", "-5", "'１２'", "101", "99999999999999999999"}) {
        const RunResult r = Run(std::string("--size ") + size + " sp_a.htm");
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_NE(r.err.find("from 5 to 100"), std::string::npos) << size << r.err;
    }
    EXPECT_FALSE(FileExists(dir / "a.htm"));

    // Each text is its own key, so each draws its own image.
    for (const char* size : {"12", "012", "12pt", "5", "100"})
        EXPECT_EQ(Run(std::string("--size ") + size + " sp_a.htm").status, 0) << size;
    EXPECT_EQ(ListFolder(dir / "hanimg"),
              (std::vector<std::string>{"han.gif", "han1.gif", "han2.gif", "han3.gif", "han4.gif"}));
}

TEST_F(CommandLineTest, AnOptionWithoutItsValueIsAMistake)
{
    for (const char* args : {"--font", "--font --size 12 a.htm", "--format --opaque a.htm", "--dpi -- a.htm",
                             "--size --help", "--font= a.htm"}) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("needs a value"), std::string::npos) << args << r.err;
    }
    const RunResult pageAsFont = Run("--font page.htm");
    EXPECT_EQ(pageAsFont.status, 2);
    EXPECT_NE(pageAsFont.err.find("\"page.htm\" was taken as the font name"), std::string::npos) << pageAsFont.err;
}

TEST_F(CommandLineTest, HelpVersionAndFontList)
{
    const RunResult help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: sylpic [OPTIONS] [PAGE...]"), std::string::npos);
    EXPECT_EQ(Run("--version").out, "SYLPIC Ver. 1.41\n");
    const RunResult fonts = Run("--list-fonts");
    EXPECT_NE(fonts.out.find("NanumGothic\n"), std::string::npos);
}

TEST_F(CommandLineTest, BlockDiagnosticsSayWhereAndWhatFailedFirst)
{
    std::string longBlock;
    for (int i = 0; i < 1260; ++i)
        longBlock += "han-";
    WriteWholeFile(dir / "sp_page.htm", "<p>[\n  [[hangugeo]] [[han]] [[\xB1]]\r\n[[a&#12;]][[" + ToCp932("①") +
                                            "]][[&$ZZZZ;]]\n[[han [[gug]] [[" + longBlock + "]]\nx [[oops\n");
    const std::string page = dir / "sp_page.htm:";
    const RunResult r = Run("--font NanumGothic sp_page.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir / "page.htm" + "　画像数 8, 作成数 8, エラー数 5\n");
    EXPECT_EQ(r.err,
              page + "2:3: error: [[hangugeo]]: \"hangugeo\" is not a syllable\n" +
              page + "2:24: error: [[ｱ]]: byte 0xB1 (\"ｱ\", half-width katakana) stands outside a double-byte pair\n" +
              page + "3:1: warning: [[a&#12;]]: \"&#12;\" is no whole code form (\"&#\" takes five characters and "
                     "\";\"): the \"&\" is dropped and the rest read as text\n" +
              page + "3:11: error: [[①]]: full-width \"①\" has no Korean counterpart\n" +
              page + "3:17: error: [[&$ZZZZ;]]: code form \"&$ZZZZ;\" gives no character\n" +
              page + "4:1: warning: [[han [[gug]]: \"[[\" at 4:7 is inside the block: blocks do not nest (is a \"]]\" "
                     "missing?)\n" +
              page + "4:15: warning: [[" + longBlock.substr(0, 60) + "…]]: the block has 5040 bytes: those after the "
                     "5000th are dropped\n" +
              page + "5:3: error: [[oops: no \"]]\" closes the block before the end of the page\n");

    // --quiet leaves out only those lines.
    const RunResult quiet = Run("--quiet --font NanumGothic sp_page.htm");
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, dir / "page.htm" + "　画像数 8, 作成数 5, エラー数 5\n");
    EXPECT_EQ(quiet.err, "");
}

}  // namespace
