// The sylpic command line, run as a user runs it.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

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

TEST_F(CommandLineTest, PageEncodingAndTagOptionsOverrideTheirKeys)
{
    WriteWholeFile(dir / "sylpic.ini", "[SYLPIC]\r\nFONTNAME=NanumGothic\r\nPAGEENC=utf-8\r\nALTTEXT=1\r\n");
    WriteWholeFile(dir / "sp_a.htm", "[[한 ]]");
    EXPECT_EQ(Run("sp_a.htm").status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "a.htm"), "<img src=\"./hanimg/han.gif\" alt=\"한 \">");
    // Read as code page 932, the same bytes are no Korean; --dimensions adds
    // the size.
    const RunResult cp932 = Run("--encoding=CP932 --dimensions sp_a.htm");
    EXPECT_EQ(cp932.status, 1);
    EXPECT_NE(ReadWholeFile(dir / "a.htm").find("\" width=\""), std::string::npos);
    // A UTF-8 page's diagnostics show its text as it is.
    WriteWholeFile(dir / "sp_b.htm", "\n [[😀]]");
    EXPECT_NE(Run("sp_b.htm").err.find("sp_b.htm:2:2: error: [[😀]]: \"😀\" (U+1F600) has no Korean counterpart\n"),
              std::string::npos);
    const RunResult wrong = Run("--encoding latin1 sp_a.htm");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("auto, utf-8 or cp932"), std::string::npos) << wrong.err;
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

// The background and text colours stored with an image.
std::vector<int> ImageColours(const std::string& gif)
{
    char key[260];
    unsigned char colours[6] = {};
    ReadGifKey(gif.c_str(), key, colours);
    return {colours, colours + 6};
}

TEST_F(CommandLineTest, ColourOptionsReplaceTheirHalfOfThePairAndKeepReuseExact)
{
    WriteWholeFile(dir / "sp_a.htm", "<body bgcolor=navy text=white>[[han]]</body>");
    EXPECT_EQ(Run("--text-colour '#f00' sp_a.htm").status, 0);
    EXPECT_EQ(ImageColours(dir / "hanimg/han.gif"), (std::vector<int>{0, 0, 128, 255, 0, 0}));
    const RunResult again = Run("--text-colour=#ff0000 sp_a.htm");
    EXPECT_NE(again.out.find("作成数 0"), std::string::npos) << again.out;

    // Without the option the body tag's white counts again: another image.
    EXPECT_EQ(Run("sp_a.htm").status, 0);
    EXPECT_EQ(ImageColours(dir / "hanimg/han1.gif"), (std::vector<int>{0, 0, 128, 255, 255, 255}));
    EXPECT_EQ(Run("--background-colour yellow sp_a.htm").status, 0);
    EXPECT_EQ(ImageColours(dir / "hanimg/han2.gif"), (std::vector<int>{255, 255, 0, 255, 255, 255}));

    WriteWholeFile(dir / "sp_b.htm", "[[han]]");  // no body tag at all
    EXPECT_EQ(Run("--text-colour red sp_b.htm").status, 0);
    EXPECT_EQ(ImageColours(dir / "hanimg/han3.gif"), (std::vector<int>{255, 255, 255, 255, 0, 0}));

    // What a body tag would pass over is refused, and nothing is converted.
    for (const char* value : {"cornflowerblue", "\"'red'\"", "-red", "' '"}) {
        const RunResult r = Run(std::string("--text-colour ") + value + " sp_a.htm");
        EXPECT_EQ(r.status, 2) << value;
        EXPECT_NE(r.err.find("not a colour"), std::string::npos) << value << r.err;
    }
    EXPECT_EQ(ListFolder(dir / "hanimg").size(), 4u);
}

TEST_F(CommandLineTest, RecursiveRunConvertsEverySourcePageInPathOrder)
{
    for (const char* folder : {"site", "site/a", "site/a-b", "site/HanImg", "outside"})
        mkdir((dir / folder).c_str(), 0777);
    for (const char* page : {"site/sp_z.htm", "site/a/sp_p.HTML", "site/a-b/SP_q.htm", "site/a/sp_sp_x.htm",
                             "site/a/sp_.htm", "site/a/sp_n.txt", "site/HanImg/sp_h.htm", "outside/sp_o.htm"})
        WriteWholeFile(dir / page, "[[han]]");
    symlink("../outside", (dir / "site/link").c_str());
    symlink("../outside/sp_o.htm", (dir / "site/sp_l.htm").c_str());

    const RunResult r = Run("-r site");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string done = "　画像数 1, 作成数 1, 正常終了\n";
    EXPECT_EQ(r.out, dir / "site/a-b/q.htm" + done + dir / "site/a/p.HTML" + done + dir / "site/z.htm" + done);
    EXPECT_EQ(r.err, "sylpic: skipped " + dir / "site/a/sp_sp_x.htm" + ": its output page would overwrite " +
                         "the source page " + dir / "site/a/sp_x.htm\n");
    EXPECT_EQ(ListFolder(dir / "site/HanImg"), (std::vector<std::string>{"sp_h.htm"}));
    EXPECT_EQ(ListFolder(dir / "outside"), (std::vector<std::string>{"sp_o.htm"}));

    EXPECT_EQ(Run("-r site/sp_z.htm").status, 2);
    EXPECT_EQ(Run("--recursive").status, 2);
}

TEST_F(CommandLineTest, RecursiveRunCleansEachFolderOnceAndStopsAtAFatalError)
{
    for (const char* folder : {"a", "a/hanimg", "b", "b/hanimg", "b/q.htm", "c", "c/hanimg"})
        mkdir((dir / folder).c_str(), 0777);
    for (const char* folder : {"a", "b", "c"})
        WriteWholeFile(dir / folder + "/hanimg/_err_old.png", "x");
    WriteWholeFile(dir / "a/sp_1.htm", "[[xyz]]");  // leaves an error image
    WriteWholeFile(dir / "a/sp_2.htm", "[[han]]");
    WriteWholeFile(dir / "b/sp_q.htm", "[[han]]");  // its output page is a folder
    WriteWholeFile(dir / "c/sp_r.htm", "[[han]]");

    const RunResult r = Run("--delete-errors -r .");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(ListFolder(dir / "a/hanimg"), (std::vector<std::string>{"_err_.gif", "han.gif"}));
    EXPECT_EQ(ListFolder(dir / "b/hanimg"), (std::vector<std::string>{}));
    EXPECT_EQ(ListFolder(dir / "c/hanimg"), (std::vector<std::string>{"_err_old.png"}));
    EXPECT_FALSE(FileExists(dir / "c/r.htm"));
    EXPECT_EQ(r.out.substr(r.out.find(dir / "b/")), dir / "b/q.htm　ファイルを作ることができませんでした\n");
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
              page + "4:15: warning: [[" + longBlock.substr(0, 60) + "…]]: an image holds 256 bytes of text (128 Korean "
                     "characters): 1122 characters, from the 129th on, are not drawn (split the block)\n" +
              page + "5:3: error: [[oops: no \"]]\" closes the block before the end of the page\n");

    // --quiet leaves out only those lines.
    const RunResult quiet = Run("--quiet --font NanumGothic sp_page.htm");
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, dir / "page.htm" + "　画像数 8, 作成数 5, エラー数 5\n");
    EXPECT_EQ(quiet.err, "");
}

TEST_F(CommandLineTest, PageDiagnosticsCountColumnsAfterAByteOrderMarkAndSuspectUndeclaredUtf8)
{
    // Line 1's columns start after the mark, with or without --encoding.
    WriteWholeFile(dir / "sp_mark.htm", "\xEF\xBB\xBF[[hangugeo]]");
    const std::string error = dir / "sp_mark.htm:1:1: error: [[hangugeo]]: \"hangugeo\" is not a syllable\n";
    EXPECT_EQ(Run("--font NanumGothic sp_mark.htm").err, error);
    EXPECT_EQ(Run("--font NanumGothic --encoding utf-8 sp_mark.htm").err, error);

    // UTF-8 text in a page that declares nothing is told of; code page 932
    // text is not.
    WriteWholeFile(dir / "sp_utf8.htm", "<p>[[han]] 한국어</p>\n");
    EXPECT_EQ(Run("--font NanumGothic sp_utf8.htm").err,
              dir / "sp_utf8.htm:1:1: warning: the page is read as code page 932, yet its text is UTF-8: no "
                    "declaration of UTF-8 was found in its first 1024 bytes (put <meta charset=\"utf-8\"> near its "
                    "top, or give --encoding utf-8)\n");
    WriteWholeFile(dir / "sp_cp932.htm", ToCp932("<p>[[han]] 日本語</p>\n"));
    EXPECT_EQ(Run("--font NanumGothic sp_cp932.htm").err, "");
}

}  // namespace
