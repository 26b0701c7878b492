// 2x images: beside each GIF and PNG image in hanimg/2x/, offered by srcset,
// reused with their images, written again when they no longer match, deleted
// with the error images, and a failure to write one stops the run.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "res/messages.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

// The comment and colours stored in an image, as the reuse search reads them.
std::string CommentOf(const std::string& path)
{
    char text[260];
    unsigned char colours[6];
    const bool png = path.ends_with("png");
    const int length = png ? ReadPngKey(path.c_str(), text, colours) : ReadGifKey(path.c_str(), text, colours);
    return std::string(text, static_cast<std::size_t>(length)) + "|" + std::string(colours, colours + 6);
}

// Width and height as the header records them (the fuzz target decodes
// the images).
std::pair<int, int> SizeOf(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    auto at = [&](std::size_t i) { return static_cast<int>(static_cast<unsigned char>(bytes.at(i))); };
    if (path.ends_with("gif"))
        return {at(6) | at(7) << 8, at(8) | at(9) << 8};
    return {at(18) << 8 | at(19), at(22) << 8 | at(23)};  // in IHDR, four bytes each
}

// A file rewritten or replaced gets another inode or time.
std::pair<ino_t, long> StampOf(const std::string& path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    return {st.st_ino, st.st_mtim.tv_sec * 1000000000L + st.st_mtim.tv_nsec};
}

class DoubledImageTest : public ConvertFixture {
protected:
    void SetUp() override
    {
        ConvertFixture::SetUp();
        dlg.m_bHiDpi = 1;
    }
    std::string Doubled(const std::string& name) const { return Image("2x/" + name); }
};

TEST_F(DoubledImageTest, GifAndPngImagesGetA2xImageOfTwiceTheirSizeOfferedLast)
{
    for (const std::string ext : {"gif", "png"}) {
        dlg.m_strImageFormat = ext == "gif" ? "GIF" : "PNG";
        auto tag = [&](const std::string& name) {
            const std::string file = name + "." + ext;
            return "<img src=\"./hanimg/" + file + "\" srcset=\"./hanimg/2x/" + file + " 2x\">";
        };
        EXPECT_EQ(Convert("<body bgcolor=black text=yellow>[[han-gug]] [[`n=seoul`seo-ul]] [[han-gug]]", ext + ".htm"),
                  "<body bgcolor=black text=yellow>" + tag("hankuk") + " " + tag("seoul") + " " + tag("hankuk"));
        EXPECT_EQ(LastLogLine(), dir / (ext + ".htm") + "　画像数 3, 作成数 2, 正常終了");  // 2x images not counted
        for (const std::string& name : {"hankuk." + ext, "seoul." + ext}) {
            const auto [width, height] = SizeOf(Image(name));
            EXPECT_EQ(SizeOf(Doubled(name)), std::make_pair(2 * width, 2 * height)) << name;
            std::string comment = CommentOf(Image(name));
            EXPECT_EQ(CommentOf(Doubled(name)), comment.insert(comment.find('|'), " @2x")) << name;
        }
    }
    EXPECT_EQ(ListFolder(Image("2x")),
              (std::vector<std::string>{"hankuk.gif", "hankuk.png", "seoul.gif", "seoul.png"}));

    // None for XBM images.
    ScratchDir other;
    dlg.m_strImageFormat = "XBM";
    WriteWholeFile(other / "sp_x.htm", "[[han]]");
    dlg.ConvertFiles({other / "sp_x.htm"});
    EXPECT_EQ(ReadWholeFile(other / "x.htm"), "<img src=\"./hanimg/han.xbm\">");
    EXPECT_EQ(ListFolder(other / "hanimg"), std::vector<std::string>{"han.xbm"});
}

TEST_F(DoubledImageTest, AnUnchangedPageReusesBothAndA2xImageNotMatchingIsWrittenAgain)
{
    const std::string output = Convert("[[han]] [[gug]]");
    const std::string han = ReadWholeFile(Doubled("han.gif"));
    const auto stamp = StampOf(Doubled("han.gif"));
    EXPECT_EQ(Convert("[[han]] [[gug]]"), output);
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    EXPECT_EQ(StampOf(Doubled("han.gif")), stamp);

    // Missing, another block's, or in other colours: written again, while
    // the 1x image is reused.
    std::string otherColours = han;
    otherColours[13] ^= 0x40;  // the background's red, in the colour table
    for (const std::string& wrong : {std::string(), ReadWholeFile(Doubled("kuk.gif")), otherColours}) {
        std::filesystem::remove(Doubled("han.gif"));
        if (!wrong.empty())
            WriteWholeFile(Doubled("han.gif"), wrong);
        EXPECT_EQ(Convert("[[han]] [[gug]]"), output);
        EXPECT_EQ(dlg.m_nCreatedCount, 0);
        EXPECT_EQ(ReadWholeFile(Doubled("han.gif")), han);
    }

    // An image written again, under a fixed name or without a key (over 250
    // characters), has its 2x image written again; the latter's comment is
    // the marker alone.
    Convert("[[`n=fixed`han]]");
    const auto fixed = StampOf(Doubled("fixed.gif"));
    Convert("[[`n=fixed`han]]");
    EXPECT_NE(StampOf(Doubled("fixed.gif")), fixed);
    dlg.m_strFontSize = "5";
    Convert("[[{" + std::string(130, 'a') + "}]]");
    EXPECT_EQ(CommentOf(Doubled("AAAAAA.gif")).substr(0, 5), " @2x|");
}

TEST_F(DoubledImageTest, ErrorImagesGoWithTheir2xImagesAndAFailed2xWriteStopsTheRun)
{
    Convert("[[hxq]]");
    ASSERT_TRUE(FileExists(Doubled("_err_.gif")));
    dlg.m_bDeleteErrorFiles = 1;
    Convert("[[han]]");
    EXPECT_EQ(ListFolder(Image("2x")), std::vector<std::string>{"han.gif"});

    // No folder for 2x images can be made: the run stops as for a 1x image.
    ScratchDir other;
    std::filesystem::create_directory(other / "hanimg");
    WriteWholeFile(other / "hanimg/2x", "a file, not a folder");
    WriteWholeFile(other / "sp_x.htm", "[[han]]");
    WriteWholeFile(other / "sp_y.htm", "[[gug]]");
    dlg.ConvertFiles({other / "sp_x.htm", other / "sp_y.htm"});
    EXPECT_TRUE(ui.log.ends_with(std::string(LoadMessage(IDS_CANNOT_CREATE)) + "\r\n")) << ui.log;
    EXPECT_EQ(dlg.m_lastOutcome, RunOutcome::kStopped);
    EXPECT_FALSE(FileExists(other / "x.htm"));
    EXPECT_FALSE(FileExists(other / "y.htm"));
}

// The write policy's two kinds of name when the file cannot be made, for a
// PNG: a 2x image's staged file counts as its write and shows the box of a
// failed save; a 1x image's fixed name taken by a folder shows none. Either
// way the run stops with the message of a file that cannot be made.
TEST_F(DoubledImageTest, AStagedFileThatCannotBeOpenedShowsTheSaveBoxOnlyFor2xImages)
{
    dlg.m_strImageFormat = "PNG";
    std::filesystem::create_directory(dir / "hanimg");
    WriteWholeFile(dir / "hanimg/2x", "a file, not a folder");
    Convert("[[han]]");
    EXPECT_TRUE(ui.log.ends_with(std::string(LoadMessage(IDS_CANNOT_CREATE)) + "\r\n")) << ui.log;
    EXPECT_EQ(ui.boxes, std::vector<std::string>{"保存に失敗しました\nエラーコード = 3\nWrite Error"});

    ui.boxes.clear();
    std::filesystem::remove(dir / "hanimg/2x");
    std::filesystem::create_directory(dir / "hanimg/top.png");
    Convert("[[`n=top`han]]");
    EXPECT_TRUE(ui.log.ends_with(std::string(LoadMessage(IDS_CANNOT_CREATE)) + "\r\n")) << ui.log;
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
