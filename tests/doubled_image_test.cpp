// 2x images: beside each GIF and PNG image in hanimg/2x/, offered by srcset,
// reused with their images, rewritten when they no longer match, deleted
// with the error images, and their failures stop the run.
#include <stb_image.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "convert/image_reuse.h"
#include "res/messages.h"
#include "tests/convert_fixture.h"

namespace {

struct StoredComment {
    std::string text;
    std::string colours;
};

StoredComment CommentOf(const std::string& path)
{
    char text[260];
    unsigned char colours[6];
    const bool png = path.compare(path.size() - 3, 3, "png") == 0;
    const int length = png ? ReadPngKey(path.c_str(), text, colours) : ReadGifKey(path.c_str(), text, colours);
    return {std::string(text, static_cast<std::size_t>(length)), std::string(colours, colours + 6)};
}

// The image's width and height: a PNG decoded, a GIF's from its header
// (the fuzz target decodes them).
std::pair<int, int> SizeOf(const std::string& path)
{
    if (path.compare(path.size() - 3, 3, "gif") == 0) {
        const std::string gif = ReadWholeFile(path);
        if (gif.size() < 10)
            return {-1, -1};
        auto word = [&](std::size_t at) { return static_cast<unsigned char>(gif[at]) | static_cast<unsigned char>(gif[at + 1]) << 8; };
        return {word(6), word(8)};
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    EXPECT_NE(pixels, nullptr) << path << ": " << stbi_failure_reason();
    stbi_image_free(pixels);
    return {width, height};
}

// The file's identity and time: a file replaced or rewritten changes it.
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
    for (const char* format : {"GIF", "PNG"}) {
        SCOPED_TRACE(format);
        dlg.m_strImageFormat = format;
        const std::string ext = format[0] == 'G' ? "gif" : "png";
        const std::string page = "<body bgcolor=black text=yellow>[[han-gug]] [[`n=seoul`seo-ul]] [[han-gug]]";
        EXPECT_EQ(Convert(page, ext + ".htm"),
                  "<body bgcolor=black text=yellow>"
                  "<img src=\"./hanimg/hankuk." + ext + "\" srcset=\"./hanimg/2x/hankuk." + ext + " 2x\"> "
                  "<img src=\"./hanimg/seoul." + ext + "\" srcset=\"./hanimg/2x/seoul." + ext + " 2x\"> "
                  "<img src=\"./hanimg/hankuk." + ext + "\" srcset=\"./hanimg/2x/hankuk." + ext + " 2x\">");
        EXPECT_EQ(LastLogLine(), dir / (ext + ".htm") + "　画像数 3, 作成数 2, 正常終了");  // 2x images not counted
        for (const std::string& name : {"hankuk." + ext, "seoul." + ext}) {
            const auto [width, height] = SizeOf(Image(name));
            EXPECT_EQ(SizeOf(Doubled(name)), std::make_pair(2 * width, 2 * height)) << name;
            const StoredComment one = CommentOf(Image(name));
            const StoredComment two = CommentOf(Doubled(name));
            EXPECT_EQ(two.text, one.text + " @2x") << name;
            EXPECT_EQ(two.colours, one.colours) << name;
        }
    }
    EXPECT_EQ(ListFolder(Image("2x")), (std::vector<std::string>{"hankuk.gif", "hankuk.png", "seoul.gif", "seoul.png"}));
}

TEST_F(DoubledImageTest, AnUnchangedPageReusesBothAndA2xImageNotMatchingIsWrittenAgain)
{
    const std::string page = "[[han]] [[gug]]";
    const std::string output = Convert(page);
    const std::string han = ReadWholeFile(Doubled("han.gif"));
    const auto stamp = StampOf(Doubled("han.gif"));
    EXPECT_EQ(Convert(page), output);
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    EXPECT_EQ(StampOf(Doubled("han.gif")), stamp);
    EXPECT_EQ(ListFolder(Image("2x")), (std::vector<std::string>{"han.gif", "kuk.gif"}));

    // Missing, another block's, or in other colours: written again, while
    // the 1x image is reused and nothing is counted.
    std::string otherColours = han;
    otherColours[13] ^= 0x40;  // the background's red, in the colour table
    for (const std::string& wrong : {std::string(), ReadWholeFile(Doubled("kuk.gif")), otherColours}) {
        if (wrong.empty())
            std::remove(Doubled("han.gif").c_str());
        else
            WriteWholeFile(Doubled("han.gif"), wrong);
        EXPECT_EQ(Convert(page), output);
        EXPECT_EQ(dlg.m_nCreatedCount, 0);
        EXPECT_EQ(ReadWholeFile(Doubled("han.gif")), han);
    }

    // A fixed name rewrites its image every time, and its 2x image with it.
    Convert("[[`n=fixed`han]]");
    const auto fixed = StampOf(Doubled("fixed.gif"));
    Convert("[[`n=fixed`han]]");
    EXPECT_NE(StampOf(Doubled("fixed.gif")), fixed);
}

TEST_F(DoubledImageTest, ImagesWithoutKeyGetTheMarkerAloneAndXbmImagesNone)
{
    // A key over 250 characters is none: the 1x image is written every time,
    // and so is its 2x image.
    dlg.m_strFontSize = "5";
    const std::string page = "[[{" + std::string(130, 'a') + "}]]";
    Convert(page);
    EXPECT_EQ(CommentOf(Image("AAAAAA.gif")).text, "");
    EXPECT_EQ(CommentOf(Doubled("AAAAAA.gif")).text, " @2x");
    Convert(page);
    EXPECT_EQ(CommentOf(Doubled("AAAAAA1.gif")).text, " @2x");

    ScratchDir other;
    dlg.m_strImageFormat = "XBM";
    WriteWholeFile(other / "sp_x.htm", "[[han]]");
    dlg.ConvertFiles({other / "sp_x.htm"});
    EXPECT_EQ(ReadWholeFile(other / "x.htm"), "<img src=\"./hanimg/han.xbm\">");
    EXPECT_EQ(ListFolder(other / "hanimg"), std::vector<std::string>{"han.xbm"});
}

TEST_F(DoubledImageTest, ErrorImagesGoWithTheir2xImagesAndAFailed2xWriteStopsTheRun)
{
    Convert("[[hxq]]");
    ASSERT_TRUE(FileExists(Doubled("_err_.gif")));
    dlg.m_bDeleteErrorFiles = 1;
    Convert("[[han]]");
    EXPECT_EQ(ListFolder(Image("2x")), std::vector<std::string>{"han.gif"});
    EXPECT_EQ(Images(), (std::vector<std::string>{"2x", "han.gif"}));

    // Where no 2x image can be written, the run stops as for a 1x image: no
    // output page, the message of a file that cannot be created.
    ScratchDir other;
    std::filesystem::create_directory(other / "hanimg");
    WriteWholeFile(other / "hanimg/2x", "a file, not a folder");
    WriteWholeFile(other / "sp_x.htm", "[[han]]");
    WriteWholeFile(other / "sp_y.htm", "[[gug]]");
    dlg.ConvertFiles({other / "sp_x.htm", other / "sp_y.htm"});
    EXPECT_EQ(ui.log.substr(ui.log.size() - std::strlen(LoadMessage(IDS_CANNOT_CREATE)) - 2),
              std::string(LoadMessage(IDS_CANNOT_CREATE)) + "\r\n");
    EXPECT_EQ(dlg.m_lastOutcome, RunOutcome::kStopped);
    EXPECT_FALSE(FileExists(other / "x.htm"));
    EXPECT_FALSE(FileExists(other / "y.htm"));
}

}  // namespace
