// Image reuse: the key, the readers' bounds, and reuse across runs.
#include <sys/stat.h>

#include <cstring>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "hangul/block_buffers.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using ImageReuseTest = ConvertFixture;

TEST_F(ImageReuseTest, KeysNameFontSizeTransparencyAndGlyphBytes)
{
    dlg.m_strFontName = "Gulim";
    dlg.m_strFontSize = "12";
    g_glyphString.length = 2;
    g_glyphString.bytes[0] = 0xC7;
    g_glyphString.bytes[1] = 0xD1;
    char key[256];
    EXPECT_EQ(dlg.BuildImageKey(key), 14);
    EXPECT_STREQ(key, "Gulim 12 ^C7D1");
    dlg.m_bTransparent = 1;
    EXPECT_EQ(dlg.BuildImageKey(key), 13);
    EXPECT_STREQ(key, "Gulim 12 C7D1");
}

TEST_F(ImageReuseTest, KeysStopAt250Characters)
{
    dlg.m_strFontName = "Gulim";  // "Gulim 12 ^" is ten characters
    char key[256];
    g_glyphString.length = 120;
    std::memset(g_glyphString.bytes, 0xB0, 120);
    EXPECT_EQ(dlg.BuildImageKey(key), 250);
    g_glyphString.length = 121;
    g_glyphString.bytes[120] = 0xA1;
    EXPECT_EQ(dlg.BuildImageKey(key), 0);
    EXPECT_STREQ(key, "");
}

TEST_F(ImageReuseTest, UnchangedPagesCreateNothingTheSecondTime)
{
    for (const char* format : {"GIF", "PNG"}) {
        dlg.m_strImageFormat = format;
        const std::string page = "[[han-gug]] [[seo-ul]] [[han-gug]] [[{A}]]";
        const std::string first = Convert(page, std::string(format) + ".htm");
        EXPECT_EQ(dlg.m_nImageCount, 4) << format;
        EXPECT_EQ(dlg.m_nCreatedCount, 3) << format;  // the repeat reuses the first
        const auto images = Images();
        EXPECT_EQ(Convert(page, std::string(format) + ".htm"), first) << format;
        EXPECT_EQ(dlg.m_nCreatedCount, 0) << format;
        EXPECT_EQ(Images(), images) << format;
    }
}

TEST_F(ImageReuseTest, AnotherSizeOrOtherColoursMakeNewImages)
{
    Convert("[[han]]");
    dlg.m_strFontSize = "14";
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han1.gif\">");
    EXPECT_EQ(Convert("<body bgcolor=black>[[han]]"), "<body bgcolor=black><img src=\"./hanimg/han2.gif\">");
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han1.gif\">");
    dlg.m_strFontSize = "12";
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han.gif\">");
}

TEST_F(ImageReuseTest, AReusedImageIsTaggedAsItStandsInTheFolder)
{
    // Found ignoring case, tagged by its exact name: on a file system that
    // tells case apart, "HAN.GIF" is the only file there is.
    Convert("[[han]]");
    ASSERT_EQ(std::rename(Image("han.gif").c_str(), Image("HAN.GIF").c_str()), 0);
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/HAN.GIF\">");
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
    // Numbering keeps its rule: "han.gif" is free again for another size.
    dlg.m_strFontSize = "14";
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han.gif\">");
}

TEST_F(ImageReuseTest, TheLongestKeyIsReusedAndALongerOneNever)
{
    dlg.m_strFontName = "NanumGothic";
    dlg.m_strFontSize = "1";  // "NanumGothic 1 ^" is 15 characters: 117 glyph bytes fit
    const std::string fits = "[[{" + std::string(117, 'a') + "}]]";
    const std::string over = "[[{" + std::string(118, 'a') + "}]]";
    Convert(fits + over);
    EXPECT_EQ(dlg.m_nCreatedCount, 2);
    Convert(fits + over);
    EXPECT_EQ(dlg.m_nCreatedCount, 1);  // only the image without key is made again
}

TEST_F(ImageReuseTest, GifKeyReaderNeedsTheCommentRightAfterTheColours)
{
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    gif += std::string("\x11\x22\x33\x44\x55\x66", 6);
    gif += std::string("\x21\xFE\x05" "ab\ncd\x00", 9);
    WriteWholeFile(dir / "a.gif", gif);
    char text[260];
    unsigned char colours[6];
    EXPECT_EQ(ReadGifKey((dir / "a.gif").c_str(), text, colours), 5);
    EXPECT_STREQ(text, "ab\n");  // the text stops after a line feed
    EXPECT_EQ(std::memcmp(colours, "\x11\x22\x33\x44\x55\x66", 6), 0);

    gif[19] = 0x2C;  // no comment extension there
    WriteWholeFile(dir / "b.gif", gif);
    EXPECT_EQ(ReadGifKey((dir / "b.gif").c_str(), text, colours), 0);
    WriteWholeFile(dir / "c.gif", gif.substr(0, 15));  // cut short
    EXPECT_EQ(ReadGifKey((dir / "c.gif").c_str(), text, colours), 0);
    EXPECT_EQ(ReadGifKey((dir / "none.gif").c_str(), text, colours), 0);
}

std::string Chunk(const char* type, const std::string& data)
{
    std::string c;
    const auto n = static_cast<unsigned>(data.size());
    c += static_cast<char>(n >> 24);
    c += static_cast<char>(n >> 16);
    c += static_cast<char>(n >> 8);
    c += static_cast<char>(n);
    c += type;
    c += data;
    c += "CRC!";
    return c;
}

TEST_F(ImageReuseTest, PngKeyReaderStopsAtBigChunksAndIdat)
{
    const std::string signature = "\x89PNG\r\n\x1a\n";
    const std::string plte = std::string("\x01\x02\x03\x04\x05\x06", 6);
    const std::string comment = std::string("Comment\0", 8) + "Font 12 ^B0A1";
    char text[260];
    unsigned char colours[6];

    WriteWholeFile(dir / "a.png", signature + Chunk("IHDR", std::string(13, '\0')) + Chunk("PLTE", plte) +
                                      Chunk("tEXt", comment) + Chunk("IDAT", "x") + Chunk("IEND", ""));
    EXPECT_EQ(ReadPngKey((dir / "a.png").c_str(), text, colours), 13);
    EXPECT_STREQ(text, "Font 12 ^B0A1");
    EXPECT_EQ(std::memcmp(colours, plte.data(), 6), 0);

    // A 256-entry palette (768 bytes) ends the walk before the comment.
    WriteWholeFile(dir / "b.png", signature + Chunk("PLTE", std::string(768, '\1')) + Chunk("tEXt", comment));
    EXPECT_EQ(ReadPngKey((dir / "b.png").c_str(), text, colours), 0);
    // A comment after the first IDAT is not looked at.
    WriteWholeFile(dir / "c.png", signature + Chunk("IDAT", "x") + Chunk("tEXt", comment));
    EXPECT_EQ(ReadPngKey((dir / "c.png").c_str(), text, colours), 0);
    // A comment over 256 bytes is none.
    WriteWholeFile(dir / "d.png", signature + Chunk("tEXt", std::string("Comment\0", 8) + std::string(257, 'k')));
    EXPECT_EQ(ReadPngKey((dir / "d.png").c_str(), text, colours), 0);
    // Far into the file, past what one read of it brings, and with chunks
    // across the end of each such read, the walk still finds the comment.
    for (int pad = 0; pad < 12; ++pad) {
        std::string chunks = Chunk("zzZz", std::string(static_cast<std::size_t>(pad) * 37, 'z'));
        for (int i = 0; i < 10; ++i)
            chunks += Chunk("zzZz", std::string(500, 'z'));
        WriteWholeFile(dir / "f.png", signature + chunks + Chunk("PLTE", plte) + Chunk("tEXt", comment) +
                                          Chunk("IDAT", "x"));
        EXPECT_EQ(ReadPngKey((dir / "f.png").c_str(), text, colours), 13) << pad;
        EXPECT_STREQ(text, "Font 12 ^B0A1");
        EXPECT_EQ(std::memcmp(colours, plte.data(), 6), 0);
    }
}

TEST_F(ImageReuseTest, PngColoursComeFromOnePaletteChunk)
{
    // A second, short palette does not keep the first one's last bytes: the
    // colours of the file are those of the last palette alone.
    const std::string signature = "\x89PNG\r\n\x1a\n";
    const std::string comment = std::string("Comment\0", 8) + "Font 12 ^B0A1";
    WriteWholeFile(dir / "e.png", signature + Chunk("PLTE", "\x01\x02\x03\x04\x05\x06") +
                                      Chunk("PLTE", "\x07\x08") + Chunk("tEXt", comment) + Chunk("IDAT", "x"));
    char text[260];
    unsigned char colours[6];
    EXPECT_EQ(ReadPngKey((dir / "e.png").c_str(), text, colours), 13);
    const unsigned char expected[6] = {7, 8, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(colours, expected, 6), 0);
}

TEST_F(ImageReuseTest, CandidatesAreTheBaseNameFollowedByAPointOrDigit)
{
    Convert("[[han]]");
    const std::string image = ReadWholeFile(Image("han.gif"));
    mkdir((dir / "hanimg").c_str(), 0777);
    // Same key and colours under names that are no candidates, and one that is.
    std::rename(Image("han.gif").c_str(), Image("han0.gif").c_str());
    WriteWholeFile(Image("hana.gif"), image);
    WriteWholeFile(Image("han27.gif"), image);
    EXPECT_EQ(Convert("[[han]]"), "<img src=\"./hanimg/han27.gif\">");
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
}

TEST_F(ImageReuseTest, WhereSeveralImagesMatchTheFirstInNameOrderIgnoringCaseIsTaken)
{
    Convert("[[han]]");
    const std::string image = ReadWholeFile(Image("han.gif"));
    // Equal names ignoring case go in byte order, upper case first; a point
    // comes before the digits, and digits go character by character.
    const char* inOrder[] = {"HAN.gif",       "Han.gif",        "han.gif",        "Han.x.gif", "han10.gif",
                             "han123456.gif", "HAN1234567.gif", "han1234567.gif", "han9.gif"};
    for (const char* name : inOrder)
        WriteWholeFile(Image(name), image);
    for (const char* name : inOrder) {
        EXPECT_EQ(Convert("[[han]]"), std::string("<img src=\"./hanimg/") + name + "\">");
        std::remove(Image(name).c_str());
    }
}

TEST_F(ImageReuseTest, ImagesWrittenEarlierInThePageAreReusedHoweverMany)
{
    // Enough blocks for the names written during the page to be merged into
    // the names read from the folder several times over.
    const char* initials[] = {"g", "n", "d", "r", "m", "b", "s", "j", "ch", "k", "t", "p", "h"};
    const char* vowels[] = {"a", "eo", "o", "u", "eu", "i", "ae", "e", "ya", "yo", "yu", "wa"};
    std::vector<std::string> syllables;
    for (const char* initial : initials)
        for (const char* vowel : vowels)
            syllables.push_back(std::string(initial) + vowel);
    std::string blocks;
    for (std::size_t i = 0; i < syllables.size(); ++i)
        for (std::size_t step : {1, 2})
            blocks += "[[" + syllables[i] + "-" + syllables[(i + step) % syllables.size()] + "]]\n";
    const std::string page = Convert(blocks + blocks);
    ASSERT_GT(dlg.m_nCreatedCount, 200);  // some blocks spell the same syllables
    EXPECT_EQ(static_cast<int>(Images().size()), dlg.m_nCreatedCount);
    EXPECT_EQ(page.substr(page.size() / 2), page.substr(0, page.size() / 2));
    EXPECT_EQ(Convert(blocks + blocks), page);
    EXPECT_EQ(dlg.m_nCreatedCount, 0);
}

}  // namespace
