// A fixed name that replaces an image of other text: a warning naming the
// file and what it showed, and an error (exit 1, message 108) when a tag
// written earlier in the run shows that image.
#include <gtest/gtest.h>

#include "tests/test_support.h"

using namespace sylpic;

namespace {

TEST(FixedNameTest, ReplacingAnImageThatATagOfTheRunShowsIsAnError)
{
    // The first tag of the image stays the one named, though the image was
    // written again since.
    ScratchDir dir;
    WriteWholeFile(dir / "sp_a.htm", "[[seo-ul]] [[`n=seoul`seo-ul-yeog]] [[`n=seoul`an-nyeong]]");
    RunResult r = RunSylpic(dir, "--font NanumGothic sp_a.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir / "a.htm" + "　画像数 3, 作成数 3, エラー数 2\n");
    const std::string first = " for the block at " + dir / "sp_a.htm" + ":1:1\n";
    EXPECT_EQ(r.err, dir / "sp_a.htm" + ":1:12: error: [[seo-ul-yeog]]: replaces hanimg/seoul.gif, which showed \"서울\"" +
                         first + dir / "sp_a.htm" +
                         ":1:37: error: [[an-nyeong]]: replaces hanimg/seoul.gif, which showed \"서울역\"" + first);
    EXPECT_EQ(ReadWholeFile(dir / "a.htm"),
              "<img src=\"./hanimg/seoul.gif\"> <img src=\"./hanimg/seoul.gif\"> <img src=\"./hanimg/seoul.gif\">");

    // Another page's fixed name over it, with no tag of its run showing it:
    // a warning only. The same text again is no replacement at all.
    WriteWholeFile(dir / "sp_b.htm", "[[`n=seoul`seo-ul]]");
    r = RunSylpic(dir, "--font NanumGothic sp_b.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, dir / "sp_b.htm" + ":1:1: warning: [[seo-ul]]: replaces hanimg/seoul.gif, which "
                                         "showed \"안녕\"\n");
    r = RunSylpic(dir, "--font NanumGothic sp_b.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

}  // namespace
