// A fixed name that replaces an image of other text: a warning naming the
// file and what it showed, and an error (exit 1, message 108) when a tag
// written earlier in the run shows that image.
#include <gtest/gtest.h>

#include "tests/test_support.h"

using namespace sylpic;

namespace {

TEST(FixedNameTest, ReplacingAnImageThatATagOfTheRunShowsIsAnError)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_a.htm", "[[seo-ul]] [[`n=seoul`seo-ul-yeog]]");
    RunResult r = RunSylpic(dir, "--font NanumGothic sp_a.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir / "a.htm" + "　画像数 2, 作成数 2, エラー数 1\n");
    EXPECT_EQ(r.err, dir / "sp_a.htm" + ":1:12: error: [[seo-ul-yeog]]: replaces hanimg/seoul.gif, which "
                                         "showed \"서울\" for the block at " + dir / "sp_a.htm" + ":1:1\n");
    EXPECT_EQ(ReadWholeFile(dir / "a.htm"), "<img src=\"./hanimg/seoul.gif\"> <img src=\"./hanimg/seoul.gif\">");

    // Another page's fixed name over it, with no tag of its run showing it:
    // a warning only. The same text again is no replacement at all.
    WriteWholeFile(dir / "sp_b.htm", "[[`n=seoul`an-nyeong]]");
    r = RunSylpic(dir, "--font NanumGothic sp_b.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, dir / "sp_b.htm" + ":1:1: warning: [[an-nyeong]]: replaces hanimg/seoul.gif, which "
                                         "showed \"서울역\"\n");
    r = RunSylpic(dir, "--font NanumGothic sp_b.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

}  // namespace
