// Faces that fontconfig offers under other names. fontconfig reads its
// configuration once per process, so each case runs the sylpic binary.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/test_support.h"

using namespace sylpic;

namespace {

std::string GifKey(const std::string& path)
{
    char text[260] = "";
    unsigned char colours[6];
    ReadGifKey(path.c_str(), text, colours);
    return text;
}

// True when the GIF decodes (giflib) and has both ink (colour 1) and
// background.
bool HasInk(const std::string& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr)
        return false;
    int ink = 0, pixels = 0;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
        const SavedImage& image = gif->SavedImages[0];
        pixels = image.ImageDesc.Width * image.ImageDesc.Height;
        ink = static_cast<int>(std::count(image.RasterBits, image.RasterBits + pixels, 1));
    }
    DGifCloseFile(gif, &error);
    return ink > 0 && ink < pixels;
}

TEST(FontConfigTest, AListedFaceWithALongNameDraws)
{
    ScratchDir dir;
    const std::string name = "NanumGothic Extended Test Family Name 長い";  // 44 bytes, 40 characters
    const std::string environment = WriteFontConfig(dir, name);
    EXPECT_NE(RunSylpic(dir, "--list-fonts", environment).out.find(name + "\n"), std::string::npos);

    // Keys are "<name> 12 " and two hexadecimal digits per glyph byte: with
    // 101 glyph bytes 250 bytes, with 102 bytes 252, over the limit of 250
    // (though within it counted in characters), so that image is not reused.
    std::string syllables;
    for (int i = 0; i < 50; ++i)
        syllables += "han-";
    WriteWholeFile(dir / "sp_page.htm", "[[" + syllables + "!]][[" + syllables + "han]]");
    const std::string args = "--font '" + name + "' sp_page.htm";
    const RunResult first = RunSylpic(dir, args, environment);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, dir / "page.htm" + "　画像数 2, 作成数 2, 正常終了\n");
    const std::vector<std::string> images = ListFolder(dir / "hanimg");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(GifKey(dir / "hanimg/" + images[0]).substr(0, name.size() + 4), name + " 12 ");
    EXPECT_EQ(GifKey(dir / "hanimg/" + images[1]), "");
    EXPECT_TRUE(HasInk(dir / "hanimg/" + images[0]));
    EXPECT_EQ(RunSylpic(dir, args, environment).out, dir / "page.htm" + "　画像数 2, 作成数 1, 正常終了\n");
}

TEST(FontConfigTest, ExactlyNewGulimDrawsUnicodeText)
{
    // Unicode mode keys UTF-16 text and the first byte of its terminator
    // (한 is U+D55C); any other spelling keys code page 949 text.
    struct Case {
        const char* face;
        const char* key;
    };
    for (const Case c : {Case{"New Gulim", "New Gulim 12 5CD500"}, Case{"new gulim", "new gulim 12 C7D1"}}) {
        ScratchDir dir;
        const std::string environment = WriteFontConfig(dir, c.face);
        WriteWholeFile(dir / "sp_page.htm", "<p>[[han]]</p>");
        const std::string args = std::string("--font '") + c.face + "' sp_page.htm";
        const RunResult first = RunSylpic(dir, args, environment);
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<p><img src=\"./hanimg/han.gif\"></p>");
        EXPECT_EQ(GifKey(dir / "hanimg/han.gif"), c.key);
        EXPECT_TRUE(HasInk(dir / "hanimg/han.gif")) << c.face;
        EXPECT_EQ(RunSylpic(dir, args, environment).out, dir / "page.htm" + "　画像数 1, 作成数 0, 正常終了\n");
    }
}

}  // namespace
