// Only whole images are reused: an image cut short by a full disk or a
// killed run, or damaged since, keeps its key and colours but is passed
// over, and is left as it is; a 2x image is kept only when whole and
// exactly twice its 1x image.
#include <unistd.h>

#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

const std::string kArgs = "--font NanumGothic --hidpi ";

TEST(WholeImageReuseTest, ACutOrDamagedImageIsNeverReused)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_page.htm", "[[han]] [[gug]] [[gil]]");
    ASSERT_EQ(RunSylpic(dir, kArgs + "sp_page.htm").status, 0);
    const std::string gug2x = ReadWholeFile(dir / "hanimg/2x/kuk.gif");
    ASSERT_EQ(truncate((dir / "hanimg/han.gif").c_str(), 200), 0);
    ASSERT_EQ(truncate((dir / "hanimg/2x/kuk.gif").c_str(), 200), 0);
    const std::string cut = ReadWholeFile(dir / "hanimg/han.gif");
    // The 2x image of another resolution, whose comment is the same.
    ScratchDir other;
    WriteWholeFile(other / "sp_page.htm", "[[gil]]");
    ASSERT_EQ(RunSylpic(other, kArgs + "--dpi 200 sp_page.htm").status, 0);
    const std::string gil2x = ReadWholeFile(dir / "hanimg/2x/kil.gif");
    WriteWholeFile(dir / "hanimg/2x/kil.gif", ReadWholeFile(other / "hanimg/2x/kil.gif"));

    RunResult r = RunSylpic(dir, kArgs + "sp_page.htm");
    EXPECT_EQ(r.out, dir / "page.htm" + "　画像数 3, 作成数 1, 正常終了\n");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm").substr(0, 28), "<img src=\"./hanimg/han1.gif\"");
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/han.gif"), cut);
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/2x/kuk.gif"), gug2x);
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/2x/kil.gif"), gil2x);

    // A PNG whose bytes changed after its comment: its CRC no longer holds.
    WriteWholeFile(dir / "sp_png.htm", "[[mal]]");
    ASSERT_EQ(RunSylpic(dir, kArgs + "--format PNG sp_png.htm").status, 0);
    std::string png = ReadWholeFile(dir / "hanimg/mal.png");
    png[png.size() - 20] ^= 1;
    WriteWholeFile(dir / "hanimg/mal.png", png);
    r = RunSylpic(dir, kArgs + "--format PNG sp_png.htm");
    EXPECT_EQ(r.out, dir / "png.htm" + "　画像数 1, 作成数 1, 正常終了\n");
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/mal.png"), png);
    EXPECT_TRUE(FileExists(dir / "hanimg/mal1.png"));
}

// A run stopped in the middle of an image (here by a file-size limit, whose
// signal kills it) leaves at most a staged file: never a cut image under
// the image's name, which the next run would have to pass over.
TEST(WholeImageReuseTest, AWriteCutShortLeavesNoImageUnderItsName)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_page.htm", "[[an-nyeong-ha-sib-ni-kka an-nyeong-ha-sib-ni-kka]]");
    const std::string args = "--font NanumGothic --size 48 sp_page.htm";
    EXPECT_NE(RunSylpic(dir, args, "ulimit -f 1;").status, 0);
    for (const std::string& name : ListFolder(dir / "hanimg"))
        EXPECT_EQ(name.rfind(".sylpic-image-", 0), 0u) << name;

    const RunResult again = RunSylpic(dir, args);
    EXPECT_EQ(again.out, dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了\n");
    const std::string page = ReadWholeFile(dir / "page.htm");
    const std::string image = page.substr(19, page.find('"', 19) - 19);
    EXPECT_TRUE(FileExists(dir / ("hanimg/" + image))) << page;
    EXPECT_EQ(image.find('1'), std::string::npos) << "the name was free: " << image;
}

// An image longer than the first read of a candidate takes (200 KB here)
// is read on to its end: reused when whole, passed over when cut there.
TEST(WholeImageReuseTest, ALargeImageIsCheckedToItsLastByte)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_page.htm", "[[an-nyeong-ha-sib-ni-kka an-nyeong-ha-sib-ni-kka an-nyeong-ha-sib-ni-kka]]");
    const std::string args = "--font NanumGothic --size 100 sp_page.htm";
    ASSERT_EQ(RunSylpic(dir, args).status, 0);
    const std::string image = ReadWholeFile(dir / "hanimg/annyeo.gif");
    ASSERT_GT(image.size(), 65536u);
    EXPECT_EQ(RunSylpic(dir, args).out, dir / "page.htm" + "　画像数 1, 作成数 0, 正常終了\n");

    ASSERT_EQ(truncate((dir / "hanimg/annyeo.gif").c_str(), static_cast<off_t>(image.size() - 1)), 0);
    EXPECT_EQ(RunSylpic(dir, args).out, dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了\n");
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/annyeo1.gif"), image);
}

}  // namespace
