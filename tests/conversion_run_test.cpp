// The conversion run: pairing of output and source pages, the first-drop
// rename, refusals, error image deletion and the log lines.
#include <sys/stat.h>
#include <unistd.h>

#include "convert/conversion_run.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using ConversionRunTest = ConvertFixture;

TEST_F(ConversionRunTest, FirstDropKeepsThePageAsItsSourceAndWritesTheOutput)
{
    WriteWholeFile(dir / "page.htm", "<p>[[han]]</p>");
    chmod((dir / "page.htm").c_str(), 0444);  // read-only: made writable first
    dlg.OnDropFiles({dir / "page.htm"});

    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), "<p>[[han]]</p>");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<p><img src=\"./hanimg/han.gif\"></p>");
    struct stat st;
    ASSERT_EQ(stat((dir / "sp_page.htm").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_EQ(ui.log, dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了\r\n");
    EXPECT_EQ(ui.waitCalls, 1);
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(ConversionRunTest, AnOutputPageWhoseSourceExistsIsRefused)
{
    WriteWholeFile(dir / "page.htm", "generated");
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    dlg.ConvertFiles({dir / "page.htm", dir / "other.htm"});

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0],
              "page.htm ではなく、sp_page.htm を修正・編集して入力して下さい。\r\n"
              "page.htm を入力する時は、sp_page.htm を（不要であることを確認して）削除して下さい。");
    EXPECT_EQ(ui.log, dir / "page.htm" + "　処理しませんでした\r\n");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "generated");
    EXPECT_FALSE(FileExists(dir / "hanimg"));
    EXPECT_EQ(dlg.m_lastOutcome, RunOutcome::kStopped);
}

TEST_F(ConversionRunTest, DroppingTheSourcePageInAnyCaseRegeneratesTheOutput)
{
    WriteWholeFile(dir / "SP_page.htm", "[[gug]]");
    dlg.ConvertFiles({dir / "SP_page.htm"});
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<img src=\"./hanimg/kuk.gif\">");
    EXPECT_TRUE(FileExists(dir / "SP_page.htm"));
}

TEST_F(ConversionRunTest, AFileNamedSpUnderscoreIsAnOutputPage)
{
    WriteWholeFile(dir / "sp_.htm", "[[a]]");
    dlg.ConvertFiles({dir / "sp_.htm"});
    EXPECT_EQ(ReadWholeFile(dir / "sp_sp_.htm"), "[[a]]");
    EXPECT_EQ(ReadWholeFile(dir / "sp_.htm"), "<img src=\"./hanimg/a.gif\">");
}

TEST_F(ConversionRunTest, ARefusedPageStopsTheRestOfTheDrop)
{
    for (const char* name : {"one.htm", "two.htm", "three.htm"})
        WriteWholeFile(dir / name, "[[han]]");
    WriteWholeFile(dir / "sp_two.htm", "[[han]]");
    dlg.ConvertFiles({dir / "one.htm", dir / "two.htm", dir / "three.htm"});

    EXPECT_EQ(ui.log, dir / "one.htm" + "　画像数 1, 作成数 1, 正常終了\r\n" + dir / "two.htm" +
                          "　処理しませんでした\r\n");
    EXPECT_FALSE(FileExists(dir / "sp_three.htm"));
    EXPECT_EQ(ReadWholeFile(dir / "three.htm"), "[[han]]");
}

TEST_F(ConversionRunTest, ErrorImagesGoOnlyInTheFirstPagesFolder)
{
    for (const char* sub : {"a", "b"}) {
        mkdir((dir / sub).c_str(), 0777);
        mkdir((dir / sub + "/hanimg").c_str(), 0777);
        for (const char* image : {"_err_.gif", "_ERR_1.png", "_err_2.xbm", "err_.gif"})
            WriteWholeFile(dir / sub + "/hanimg/" + image, "x");
        WriteWholeFile(dir / sub + "/sp_p.htm", "text");
    }
    dlg.m_bDeleteErrorFiles = 1;
    dlg.ConvertFiles({dir / "a/sp_p.htm", dir / "b/sp_p.htm"});
    EXPECT_EQ(ListFolder(dir / "a/hanimg"), (std::vector<std::string>{"err_.gif"}));
    EXPECT_EQ(ListFolder(dir / "b/hanimg").size(), 4u);
}

TEST_F(ConversionRunTest, DeleteErrorImagesKeepsOtherNames)
{
    mkdir((dir / "hanimg").c_str(), 0777);
    for (const char* image : {"_err_.gif", "_ERR_1.png", "_err_2.xbm", "err_.gif", "_err.gif", "han.gif"})
        WriteWholeFile(dir / "hanimg/" + image, "x");
    DeleteErrorImages((dir / "hanimg/").c_str());
    EXPECT_EQ(ListFolder(dir / "hanimg"), (std::vector<std::string>{"_err.gif", "err_.gif", "han.gif"}));
}

}  // namespace
