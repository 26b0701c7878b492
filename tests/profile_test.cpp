// The settings file layer: lookups ignore case, writes keep the rest of the
// file, integers are decimal text.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/profile.h"
#include "test_support.h"

using namespace sylpic;

namespace {

TEST(ProfileFileTest, MissingFileReadsAsDefaultsAndSaveCreatesIt)
{
    ScratchDir dir;
    ProfileFile profile(dir / "sylpic.ini");
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ(profile.GetString("SYLPIC", "FONTSIZE", "12"), "12");
    EXPECT_EQ(profile.GetInt("SYLPIC", "XPOS", 100), 100);
    profile.WriteInt("SYLPIC", "XPOS", 250);
    profile.WriteString("SYLPIC", "FONTNAME", "NanumGothic");
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadWholeFile(dir / "sylpic.ini"), "[SYLPIC]\r\nXPOS=250\r\nFONTNAME=NanumGothic\r\n");
}

TEST(ProfileFileTest, SectionsAndKeysAreFoundIgnoringCase)
{
    ScratchDir dir;
    WriteWholeFile(dir / "a.ini", "[Other]\nFontSize=99\n[ sylpic ]\n  fontsize = 14 \nImgFType=\"png\"\n");
    ProfileFile profile(dir / "a.ini");
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetString("SYLPIC", "FONTSIZE", "12"), "14");  // not the other section's
    EXPECT_EQ(profile.GetString("SYLPIC", "IMGFTYPE", "GIF"), "png");
    EXPECT_EQ(profile.GetString("Other", "fontsize", ""), "99");
    EXPECT_EQ(profile.GetString("Missing", "FONTSIZE", "12"), "12");
}

TEST(ProfileFileTest, IntegersAreLeadingDecimalDigits)
{
    ScratchDir dir;
    WriteWholeFile(dir / "n.ini", "[S]\nA=42\nB=7px\nC=px\nD=-5\nE=99999999999\nF=\n");
    ProfileFile profile(dir / "n.ini");
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("S", "A", 1), 42);
    EXPECT_EQ(profile.GetInt("S", "B", 1), 7);
    EXPECT_EQ(profile.GetInt("S", "C", 1), 0);
    EXPECT_EQ(profile.GetInt("S", "D", 1), 0);  // below zero reads as 0
    EXPECT_EQ(profile.GetInt("S", "E", 1), 0);  // too large for an int
    EXPECT_EQ(profile.GetInt("S", "F", 1), 0);  // present but empty
    EXPECT_EQ(profile.GetInt("S", "G", 1), 1);  // missing
}

TEST(ProfileFileTest, WritingKeepsEverythingElseAsItWas)
{
    ScratchDir dir;
    const std::string path = dir / "keep.ini";
    WriteWholeFile(path,
                   "; comment\r\n[First]\r\nx=1\r\n\r\n[sylpic]\r\nxpos=3\r\nnote without equals\r\n\r\n"
                   "[Last]\r\ny=2\r\n");
    ProfileFile profile(path);
    ASSERT_TRUE(profile.Load());
    profile.WriteInt("SYLPIC", "XPOS", 12);        // replaced where it stands
    profile.WriteString("SYLPIC", "FONTNAME", "");  // added after the section's last line
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadWholeFile(path),
              "; comment\r\n[First]\r\nx=1\r\n\r\n[sylpic]\r\nXPOS=12\r\nnote without equals\r\nFONTNAME=\r\n\r\n"
              "[Last]\r\ny=2\r\n");

    ProfileFile again(path);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.GetInt("SYLPIC", "XPOS", 0), 12);
    EXPECT_EQ(again.GetString("SYLPIC", "FONTNAME", "fallback"), "");  // present, empty
    EXPECT_EQ(again.GetString("Last", "y", ""), "2");
}

TEST(ProfileFileTest, SaveReportsAFileThatCannotBeWritten)
{
    ScratchDir dir;
    ProfileFile profile(dir / "no-such-folder/sylpic.ini");
    profile.WriteInt("SYLPIC", "XPOS", 1);
    EXPECT_FALSE(profile.Save());
}

TEST(ProfileFileTest, AFifoIsNeitherReadNorWritten)
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
}

}  // namespace
