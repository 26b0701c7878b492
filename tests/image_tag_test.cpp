// The <img> tag's alt text and dimensions, end to end.
#include <gif_lib.h>
#include <stb_image.h>

#include <memory>

#include "convert/image_tag.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using ImageTagTest = ConvertFixture;

// The value of attribute `name` in the first tag of `page`; "-" when absent.
std::string Attribute(const std::string& page, const std::string& name)
{
    const std::size_t end = page.find('>');
    const std::size_t at = page.find(" " + name + "=\"");
    if (at == std::string::npos || at > end)
        return "-";
    const std::size_t start = at + name.size() + 3;
    return page.substr(start, page.find('"', start) - start);
}

// An image read by an independent decoder: its size and where its ink is
// (palette entry 1 of a GIF, dark pixels of an opaque PNG).
struct Decoded {
    int width = -1;
    int height = -1;
    std::vector<bool> ink;  // row by row
};

Decoded DecodeGif(const std::string& path)
{
    Decoded image;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr)
        return image;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
        image.width = gif->SWidth;
        image.height = gif->SHeight;
        for (int i = 0; i < image.width * image.height; ++i)
            image.ink.push_back(gif->SavedImages[0].RasterBits[i] == 1);
    }
    DGifCloseFile(gif, &error);
    return image;
}

Decoded DecodePng(const std::string& path)
{
    Decoded image;
    int channels = 0;
    stbi_uc* grey = stbi_load(path.c_str(), &image.width, &image.height, &channels, 1);
    for (int i = 0; grey != nullptr && i < image.width * image.height; ++i)
        image.ink.push_back(grey[i] < 128);
    stbi_image_free(grey);
    return image;
}

TEST_F(ImageTagTest, AltTextIsTheTextDrawnEscapedForThePage)
{
    dlg.m_bAltText = 1;
    // An ESC is drawn (as nothing much) but left out of the alt text.
    const std::string block = "[[han {<a&\"b>}\x1B{'}]]";
    EXPECT_EQ(Attribute(Convert(block), "alt"), "&#54620; &lt;a&amp;&quot;b&gt;'");
    // Again, reusing the image; then a UTF-8 page, whose alt text is UTF-8.
    EXPECT_EQ(Attribute(Convert(block), "alt"), "&#54620; &lt;a&amp;&quot;b&gt;'");
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    EXPECT_EQ(Attribute(Convert("\xEF\xBB\xBF" + block), "alt"), "한 &lt;a&amp;&quot;b&gt;'");
    // The error glyph is a heart.
    EXPECT_EQ(Attribute(Convert("\xEF\xBB\xBF[[xyz]]"), "alt"), "♥");
    EXPECT_EQ(Attribute(Convert("[[xyz]]"), "alt"), "&#9829;");
}

TEST_F(ImageTagTest, DimensionsAreTheFilesPixelsForDrawnAndReusedImages)
{
    dlg.m_bDimensions = 1;
    for (const char* format : {"GIF", "PNG", "XBM"}) {
        dlg.m_strImageFormat = format;
        const bool xbm = std::string(format) == "XBM";
        const std::string drawn = Convert("[[han-gug-eo]]");
        const std::string file = drawn.substr(19, drawn.find('"', 19) - 19);
        // GIF and PNG images are reused, XBM images drawn again as hankuk1.
        std::string again = drawn;
        if (xbm)
            again.insert(25, "1");
        EXPECT_EQ(Convert("[[han-gug-eo]]"), again) << format;

        // Both tags give the size that an independent reader finds.
        const std::string width = Attribute(drawn, "width");
        const std::string height = Attribute(drawn, "height");
        if (xbm) {
            const std::string text = ReadWholeFile(Image(file));
            EXPECT_NE(text.find("_width " + width + "\r\n#define"), std::string::npos) << text.substr(0, 60);
            EXPECT_NE(text.find("_height " + height + "\r\n"), std::string::npos) << text.substr(0, 60);
        } else {
            const Decoded image = std::string(format) == "GIF" ? DecodeGif(Image(file)) : DecodePng(Image(file));
            EXPECT_EQ(width, std::to_string(image.width)) << format;
            EXPECT_EQ(height, std::to_string(image.height)) << format;
        }
    }

    // A reused image's size is read from its file, not worked out again.
    dlg.m_strImageFormat = "GIF";
    std::string gif = ReadWholeFile(Image("hankuk.gif"));
    gif.replace(6, 4, "\x07\x00\x03\x01", 4);
    WriteWholeFile(Image("hankuk.gif"), gif);
    const std::string reused = Convert("[[han-gug-eo]]");
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    EXPECT_EQ(Attribute(reused, "width"), "7");
    EXPECT_EQ(Attribute(reused, "height"), "259");
}

TEST_F(ImageTagTest, TheBaselineOffsetPutsFlatBottomsOnTheLine)
{
    dlg.m_bDimensions = 1;
    dlg.m_bAltText = 1;
    const std::string out = Convert("[[{HHH}]]");
    const int rowsBelow = -std::stoi(out.substr(out.find("vertical-align:") + 15));
    ASSERT_GT(rowsBelow, 0) << out;
    // Every attribute, in order.
    EXPECT_EQ(out, "<img src=\"./hanimg/HHH.gif\" alt=\"HHH\" width=\"" + Attribute(out, "width") + "\" height=\"" +
                       Attribute(out, "height") + "\" style=\"vertical-align:-" + std::to_string(rowsBelow) + "px\">");

    // The image's baseline lies `rowsBelow` rows above its bottom edge.
    // NanumGothic draws its flat bottoms 0.7 px below the baseline, so a
    // capital H's last row of ink is the first row below the baseline.
    const Decoded image = DecodeGif(Image("HHH.gif"));
    ASSERT_FALSE(image.ink.empty());
    int lastInkRow = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.ink[static_cast<std::size_t>(y * image.width + x)])
                lastInkRow = y;
    EXPECT_EQ(lastInkRow, image.height - rowsBelow);

    // Without rows below the baseline the style is left out.
    ImageTag tag("a.gif");
    tag.AddRowsBelowBaseline(0);
    std::string text;
    tag.Finish(text);
    EXPECT_EQ(text, "<img src=\"./hanimg/a.gif\">");
}

}  // namespace
