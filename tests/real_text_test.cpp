// Real text end to end: what replaces each block, where the font's style
// goes, and the page's font files on disk.
#include <sys/stat.h>

#include <string>

#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

class RealTextTest : public ConvertFixture {
protected:
    void SetUp() override
    {
        ConvertFixture::SetUp();
        dlg.m_bRealText = 1;
    }
    // The family the page's style names ("sylpic-" and 16 hex digits).
    static std::string FamilyOf(const std::string& page)
    {
        const std::string lead = "font-family:\"";
        const std::size_t at = page.find(lead + "sylpic-");
        if (at == std::string::npos)
            return "";
        const std::string family = page.substr(at + lead.size(), 23);
        const bool hex = family.size() == 23 && page.compare(at + lead.size() + 23, 1, "\"") == 0 &&
                         family.find_first_not_of("0123456789abcdef", 7) == std::string::npos;
        return hex ? family : "";
    }
    static int Count(const std::string& text, const std::string& what)
    {
        int n = 0;
        for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
            ++n;
        return n;
    }
};

TEST_F(RealTextTest, BlocksBecomeSpansOrBareTextAndTheStyleGoesBeforeTheHeadsEnd)
{
    const std::string out = Convert(
        "<html><head><title>[[han-gug]]</title><!-- </head> --></head>"
        "<body><p title=\"[[{\"a<b\"}]]\">[[han-gug-eo]] &amp; [[{R&D <x>}]]</p>"
        "<script>s = \"[[han]]\";</script></body></html>");
    const std::string family = FamilyOf(out);
    ASSERT_FALSE(family.empty()) << out;
    const std::string span = "<span class=\"sylpic\" lang=\"ko\">";
    EXPECT_EQ(out, "<html><head><title>&#54620;&#44397;</title><!-- </head> -->" +
                       std::string(out.substr(out.find("<style>"), out.find("</style>") + 8 - out.find("<style>"))) +
                       "</head><body><p title=\"&quot;a&lt;b&quot;\">" + span + "&#54620;&#44397;&#50612;</span> &amp; " +
                       span + "R&amp;D &lt;x&gt;</span></p><script>s = \"&#54620;\";</script></body></html>");
    EXPECT_EQ(Count(out, "<style>"), 1);
    EXPECT_NE(out.find("src:url(\"./hanimg/" + family + ".woff2\") format(\"woff2\");font-weight:400;"),
              std::string::npos);
    EXPECT_TRUE(FileExists(Image(family + ".woff2")));
    // Spans are counted; the files are the created figure.
    const int files = static_cast<int>(Images().size());
    EXPECT_GE(files, 1);
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 2, 作成数 " + std::to_string(files) + ", 正常終了");
}

TEST_F(RealTextTest, WithoutAHeadTheStyleGoesBeforeTheFirstSpanAndAPageWithoutSpansGetsNone)
{
    std::string out = Convert("<p>[[a]] [[i]]</p>");
    EXPECT_EQ(out.find("<p><style>"), 0u) << out;
    EXPECT_EQ(Count(out, "<style>"), 1);
    out = Convert("<title>[[a]]</title>");
    EXPECT_EQ(out, "<title>&#50500;</title>");
    EXPECT_EQ(LastLogLine(), dir / "page.htm" + "　画像数 0, 作成数 0, 正常終了");
}

TEST_F(RealTextTest, UnchangedAndTwinPagesShareOneFontAndChangeNothing)
{
    const std::string out = Convert("<head></head>[[han-gug-eo]] [[*k]]");
    const std::string family = FamilyOf(out);
    const std::vector<std::string> files = Images();
    struct stat before;
    ASSERT_EQ(stat(Image(family + ".woff2").c_str(), &before), 0);

    EXPECT_EQ(Convert("<head></head>[[han-gug-eo]] [[*k]]"), out);
    EXPECT_NE(LastLogLine().find("作成数 0,"), std::string::npos) << LastLogLine();
    const std::string twin = Convert("<meta charset=\"utf-8\"><head></head>[[한국어]] [[ㄱ]]", "twin.htm");
    EXPECT_EQ(FamilyOf(twin), family);
    EXPECT_NE(twin.find("<span class=\"sylpic\" lang=\"ko\">한국어</span>"), std::string::npos) << twin;
    EXPECT_EQ(Images(), files);
    struct stat after;
    ASSERT_EQ(stat(Image(family + ".woff2").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // Another character is another font; a damaged file is written again.
    EXPECT_NE(FamilyOf(Convert("<head></head>[[han-gug]]")), family);
    WriteWholeFile(Image(family + ".woff2"), ReadWholeFile(Image(family + ".woff2")).substr(0, 100));
    Convert("<head></head>[[han-gug-eo]] [[*k]]");
    EXPECT_GT(ReadWholeFile(Image(family + ".woff2")).size(), 100u);
}

TEST(RealTextCommandLine, ImageOptionsCannotGoWithRealText)
{
    ScratchDir dir;
    for (const char* option : {"--alt", "--hidpi", "--format=PNG", "--size 14", "--opaque", "--text-colour red"}) {
        const RunResult result = RunSylpic(dir, std::string("--real-text ") + option + " page.htm");
        EXPECT_EQ(result.status, 2) << option;
        EXPECT_NE(result.err.find("--real-text"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(FileExists(dir / "hanimg"));
}

}  // namespace
