// Temporary files that a killed run left are removed by a later run, once
// they are old enough that no run can still be writing them.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

// A file last changed `minutes` ago.
void WriteAged(const std::string& path, int minutes)
{
    WriteWholeFile(path, "cut");
    const timespec times[2] = {{std::time(nullptr) - minutes * 60, 0}, {std::time(nullptr) - minutes * 60, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(LeftoverFilesTest, OldTemporaryFilesGoAndRecentOnesStay)
{
    ScratchDir dir;
    mkdir((dir / "hanimg").c_str(), 0777);
    mkdir((dir / "hanimg/2x").c_str(), 0777);
    WriteAged(dir / ".sylpic-page-a1b2c3", 11);
    WriteAged(dir / "hanimg/.sylpic-image-d4e5f6", 11);
    WriteAged(dir / "hanimg/2x/.sylpic-image-g7h8i9", 60);
    WriteAged(dir / ".sylpic-page-j0k1l2", 5);         // may be another run's
    WriteAged(dir / "hanimg/.sylpic-image-old", 60);  // not a name of ours
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");

    const RunResult r = RunSylpic(dir, "--font NanumGothic sp_page.htm");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{".err", ".out", ".sylpic-page-j0k1l2", "hanimg",
                                                                  "page.htm", "sp_page.htm"}));
    EXPECT_EQ(ListFolder(dir / "hanimg"), (std::vector<std::string>{".sylpic-image-old", "2x", "han.gif"}));
    EXPECT_EQ(ListFolder(dir / "hanimg/2x"), std::vector<std::string>{});
}

// The image folder's leftovers go as its listing is read for the blocks; a
// page with no blocks never reads it, and they go all the same.
TEST(LeftoverFilesTest, APageWithoutBlocksClearsTheImageFolderToo)
{
    ScratchDir dir;
    mkdir((dir / "hanimg").c_str(), 0777);
    WriteAged(dir / "hanimg/.sylpic-image-d4e5f6", 11);
    WriteAged(dir / "hanimg/.sylpic-image-a1b2c3", 2);
    WriteWholeFile(dir / "sp_page.htm", "no blocks");

    const RunResult r = RunSylpic(dir, "--font NanumGothic sp_page.htm");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ListFolder(dir / "hanimg"), std::vector<std::string>{".sylpic-image-a1b2c3"});
}

}  // namespace
