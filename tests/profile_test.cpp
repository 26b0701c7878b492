// The settings file: only a regular file is read or written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/profile.h"
#include "tests/test_support.h"

namespace {

TEST(ProfileFileTest, ReadsAndWritesBackKeepingOtherLines)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sylpic.ini", "; note\r\n[SYLPIC]\r\nFONTSIZE = \"14\"\r\n");
    ProfileFile profile(dir / "sylpic.ini");
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetString("sylpic", "fontsize", "12"), "14");
    profile.WriteString("SYLPIC", "IMGFTYPE", "PNG");
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadWholeFile(dir / "sylpic.ini"), "; note\r\n[SYLPIC]\r\nFONTSIZE = \"14\"\r\nIMGFTYPE=PNG\r\n");
}

TEST(ProfileFileTest, AFifoOrAFolderIsNeitherReadNorWritten)
{
    ScratchDir dir;
    const std::string fifo = dir / "sylpic.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    // The test holds the reading end, so that a write would not wait but go
    // into the FIFO: the profile must still refuse it.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ProfileFile profile(fifo);
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ(profile.GetInt("SYLPIC", "XPOS", 100), 100);
    profile.WriteInt("SYLPIC", "XPOS", 5);
    EXPECT_FALSE(profile.Save());
    char byte;
    EXPECT_LE(read(reader, &byte, 1), 0);  // nothing went into the FIFO
    close(reader);

    const std::string folder = dir / "folder.ini";
    mkdir(folder.c_str(), 0777);
    ProfileFile inFolder(folder);
    EXPECT_FALSE(inFolder.Load());
    EXPECT_FALSE(inFolder.Save());
}

}  // namespace
