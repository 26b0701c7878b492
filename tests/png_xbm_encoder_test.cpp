// The PNG and XBM writers, read back by other decoders.
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "app/main_dlg.h"
#include "imaging/png_encoder.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

using namespace sylpic;

namespace {

// A glyph bitmap of random bits (padding included) in the dialog object.
void RandomBitmap(CMainDlg& dlg, int width, int height, unsigned seed)
{
    std::mt19937 rng(seed);
    dlg.m_nImageWidth = width;
    dlg.m_nImageHeight = height;
    dlg.m_nRowBytes = 2 * ((width + 15) / 16);
    dlg.m_nImageBitsSize = static_cast<std::size_t>(dlg.m_nRowBytes) * height;
    dlg.m_pImageBits.reset(new unsigned char[dlg.m_nImageBitsSize ? dlg.m_nImageBitsSize : 1]);
    for (std::size_t i = 0; i < dlg.m_nImageBitsSize; ++i)
        dlg.m_pImageBits[i] = static_cast<unsigned char>(rng());
}

bool Ink(const CMainDlg& dlg, int x, int y)
{
    return (dlg.m_pImageBits[static_cast<std::size_t>(y) * dlg.m_nRowBytes + x / 8] >> (7 - x % 8)) & 1;
}

int RunShell(const std::string& command)
{
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The chunk types of a PNG file in order.
std::vector<std::string> ChunkTypes(const std::string& png)
{
    std::vector<std::string> types;
    std::size_t at = 8;
    while (at + 8 <= png.size()) {
        const std::size_t length = (std::size_t(static_cast<unsigned char>(png[at])) << 24) |
                                   (std::size_t(static_cast<unsigned char>(png[at + 1])) << 16) |
                                   (std::size_t(static_cast<unsigned char>(png[at + 2])) << 8) |
                                   std::size_t(static_cast<unsigned char>(png[at + 3]));
        types.push_back(png.substr(at + 4, 4));
        at += 12 + length;
    }
    return types;
}

class WriterTest : public ::testing::Test {
protected:
    void WritePngFile(const std::string& path, const char* key)
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(dlg.WritePng(f, key, colours), 0);
        std::fclose(f);
    }
    ScratchDir dir;
    RecordingUi ui;
    CMainDlg dlg{&ui};
    unsigned char colours[6] = {0xFF, 0xFF, 0xF0, 0x00, 0x00, 0x80};
};

TEST_F(WriterTest, PngDecodesToTheGlyphBitsInThePageColours)
{
    if (std::string(SYLPIC_PNGCHECK_PATH).empty())
        GTEST_SKIP() << "pngcheck was not found when the build was configured";
    for (int width : {1, 3, 7, 8, 9, 13, 16, 17, 31, 64, 333}) {
        for (int height : {1, 2, 19}) {
            RandomBitmap(dlg, width, height, static_cast<unsigned>(width * 100 + height));
            const std::string path = dir / "a.png";
            WritePngFile(path, "NanumGothic 12 ^B0A1");
            EXPECT_EQ(RunShell(std::string(SYLPIC_PNGCHECK_PATH) + " -q '" + path + "' >/dev/null"), 0) << width << "x" << height;

            int w = 0, h = 0, channels = 0;
            unsigned char* rgb = stbi_load(path.c_str(), &w, &h, &channels, 3);
            ASSERT_NE(rgb, nullptr) << stbi_failure_reason();
            ASSERT_EQ(w, width);
            ASSERT_EQ(h, height);
            int wrong = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const unsigned char* expected = Ink(dlg, x, y) ? colours + 3 : colours;
                    const unsigned char* got = rgb + 3 * (static_cast<std::size_t>(y) * width + x);
                    wrong += got[0] != expected[0] || got[1] != expected[1] || got[2] != expected[2];
                }
            stbi_image_free(rgb);
            EXPECT_EQ(wrong, 0) << width << "x" << height;
        }
    }
}

TEST_F(WriterTest, PngChunksFollowTheSettings)
{
    RandomBitmap(dlg, 10, 4, 1);
    WritePngFile(dir / "opaque.png", "");
    const std::string opaque = ReadWholeFile(dir / "opaque.png");
    EXPECT_EQ(ChunkTypes(opaque), (std::vector<std::string>{"IHDR", "PLTE", "pHYs", "tIME", "IDAT", "IEND"}));
    // IHDR: bit depth 1, colour type 3, no interlace; PLTE: background, text.
    EXPECT_EQ(opaque.substr(24, 5), std::string("\x01\x03\x00\x00\x00", 5));
    EXPECT_EQ(opaque.substr(41, 6), std::string(reinterpret_cast<const char*>(colours), 6));

    dlg.m_bTransparent = 1;
    WritePngFile(dir / "keyed.png", "Font 12 B0A1");
    const std::string keyed = ReadWholeFile(dir / "keyed.png");
    EXPECT_EQ(ChunkTypes(keyed),
              (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "pHYs", "tIME", "tEXt", "IDAT", "IEND"}));
    EXPECT_NE(keyed.find(std::string("tRNS\x00\xFF", 6)), std::string::npos);
    EXPECT_NE(keyed.find(std::string("tEXtComment\0Font 12 B0A1", 24)), std::string::npos);
}

TEST_F(WriterTest, AnEmptyBitmapMakesAOnePixelPngInTheBackground)
{
    // A block that measures nothing (a code unit 0 in Unicode mode): libpng
    // takes no zero width, so the image is one background pixel wide.
    for (const GlyphBitmapView empty : {GlyphBitmapView{0, 17, 0, nullptr, 0}, GlyphBitmapView{0, 0, 0, nullptr, 0}}) {
        ByteBuffer bytes;
        PngStatus status;
        ASSERT_EQ(EncodePng(empty, {colours, false, "key"}, bytes, status), ImagingStatus::kOk) << status.message;
        const std::string path = dir / "empty.png";
        WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
        int width = 0, height = 0, channels = 0;
        unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
        ASSERT_NE(rgb, nullptr);
        EXPECT_EQ(width, 1);
        EXPECT_EQ(height, empty.height > 0 ? empty.height : 1);
        for (int i = 0; i < width * height; ++i)
            EXPECT_EQ(std::memcmp(rgb + 3 * i, colours, 3), 0);
        stbi_image_free(rgb);
    }
}

TEST_F(WriterTest, XbmTextIsExact)
{
    dlg.m_nImageWidth = 10;
    dlg.m_nImageHeight = 2;
    dlg.m_nRowBytes = 2;
    dlg.m_nImageBitsSize = 4;
    dlg.m_pImageBits.reset(new unsigned char[4]{0xC0, 0x40, 0x80, 0xC0});
    FILE* f = std::fopen((dir / "abc.xbm").c_str(), "wb");
    ASSERT_EQ(dlg.WriteXbm(f, "abc.xbm"), 0);
    std::fclose(f);
    EXPECT_EQ(ReadWholeFile(dir / "abc.xbm"),
              "#define abc.xbm_width 10\r\n#define abc.xbm_height 2\r\nstatic char abc.xbm_bits[] = {\r\n"
              "0x03,0x02,\r\n0x01,0x03};\r\n");
}

TEST_F(WriterTest, XbmReadsBackToTheSamePixels)
{
    // ImageMagick reads the XBM (with a symbol name it accepts) as a bitmap.
    if (std::string(SYLPIC_IMAGEMAGICK_PATH).empty())
        GTEST_SKIP() << "ImageMagick was not found when the build was configured";
    for (int width : {5, 16, 17, 40}) {
        RandomBitmap(dlg, width, 3, static_cast<unsigned>(width));
        FILE* f = std::fopen((dir / "img.xbm").c_str(), "wb");
        ASSERT_EQ(dlg.WriteXbm(f, "img"), 0);
        std::fclose(f);
        ASSERT_EQ(RunShell(std::string(SYLPIC_IMAGEMAGICK_PATH) + " '" + dir / "img.xbm" + "' -depth 8 gray:'" + dir / "img.gray" + "'"), 0);
        const std::string gray = ReadWholeFile(dir / "img.gray");
        ASSERT_EQ(gray.size(), static_cast<std::size_t>(width) * 3);
        int wrong = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)  // XBM ink (1) shows black
                wrong += (static_cast<unsigned char>(gray[static_cast<std::size_t>(y) * width + x]) < 128) != Ink(dlg, x, y);
        EXPECT_EQ(wrong, 0) << width;
    }
}

}  // namespace
