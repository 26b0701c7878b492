#include <gtest/gtest.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "imaging/gif_encoder.h"

using namespace sylpic;

namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char kWhiteBlack[6] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};

// Runs SaveGif into memory and returns what it encoded.
Bytes WriteGifBytes(int width, int height, int rowBytes, int bpp, const unsigned char* palette,
                    const unsigned char* pixels, int colours, int transparent, const char* comment)
{
    Bytes bytes;
    EXPECT_EQ(SaveGif(bytes, width, height, rowBytes, bpp, palette, pixels, colours, transparent, comment), ImagingStatus::kOk);
    return bytes;
}

Bytes Hex(const char* text)
{
    Bytes bytes;
    unsigned value;
    int used;
    while (std::sscanf(text, "%x%n", &value, &used) == 1) {
        bytes.push_back(static_cast<unsigned char>(value));
        text += used;
    }
    return bytes;
}

// Offset of the LZW minimum code size byte: after the header, the colour
// table of two entries and whatever extensions follow it.
std::size_t ImageDataStart(const Bytes& gif)
{
    std::size_t at = 19;
    while (at < gif.size() && gif[at] == 0x21) {
        at += 2;
        while (at < gif.size() && gif[at] != 0)
            at += gif[at] + 1u;
        ++at;
    }
    return at + 10;  // image descriptor
}

// The image data sub-blocks, as their lengths; checks that the stream ends
// with the terminator and the trailer and nothing after them.
std::vector<int> SubBlockLengths(const Bytes& gif)
{
    std::vector<int> lengths;
    std::size_t at = ImageDataStart(gif) + 1;
    while (at < gif.size() && gif[at] != 0) {
        lengths.push_back(gif[at]);
        at += gif[at] + 1u;
    }
    EXPECT_EQ(at + 2, gif.size());
    if (at + 2 == gif.size()) {
        EXPECT_EQ(gif[at], 0x00);
        EXPECT_EQ(gif[at + 1], 0x3B);
    }
    return lengths;
}

struct MemoryReader {
    const Bytes* bytes;
    std::size_t at;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t left = reader->bytes->size() - reader->at;
    const std::size_t take = std::min<std::size_t>(left, static_cast<std::size_t>(count));
    std::memcpy(out, reader->bytes->data() + reader->at, take);
    reader->at += take;
    return static_cast<int>(take);
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<int> pixels;  // palette indexes, row by row
    std::vector<unsigned char> palette;
    int transparent = -1;
    std::string comment;
};

// Decodes with giflib, an independent decoder.
bool DecodeGif(const Bytes& bytes, Decoded* out)
{
    MemoryReader reader{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr)
        return false;
    bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SColorMap != nullptr;
    if (ok) {
        const SavedImage& image = gif->SavedImages[0];
        out->width = image.ImageDesc.Width;
        out->height = image.ImageDesc.Height;
        for (int i = 0; i < out->width * out->height; ++i)
            out->pixels.push_back(image.RasterBits[i]);
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            out->palette.push_back(gif->SColorMap->Colors[i].Red);
            out->palette.push_back(gif->SColorMap->Colors[i].Green);
            out->palette.push_back(gif->SColorMap->Colors[i].Blue);
        }
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK)
            out->transparent = gcb.TransparentColor;
        for (int i = 0; i < image.ExtensionBlockCount; ++i) {
            const ExtensionBlock& block = image.ExtensionBlocks[i];
            const bool commentPart = block.Function == COMMENT_EXT_FUNC_CODE ||
                                     (block.Function == CONTINUE_EXT_FUNC_CODE && !out->comment.empty());
            if (commentPart)
                out->comment.append(reinterpret_cast<const char*>(block.Bytes), block.ByteCount);
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

int PixelAt(const Bytes& bits, int rowBytes, int bpp, int x, int y)
{
    const int bit = x * bpp;
    const int byte = bits[static_cast<std::size_t>(y) * rowBytes + bit / 8];
    return (byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
}

}  // namespace

TEST(GifEncoder, WorkedExampleByteForByte)
{
    const unsigned char pixels[] = {0xA0};  // 1, 0, 1
    EXPECT_EQ(WriteGifBytes(3, 1, 1, 1, kWhiteBlack, pixels, 2, -1, nullptr),
              Hex("47 49 46 38 39 61 03 00 01 00 80 00 00 FF FF FF 00 00 00 2C 00 00 00 00 03 00 01 00 00 02 02 21 52 00 3B"));

    EXPECT_EQ(WriteGifBytes(3, 1, 1, 1, kWhiteBlack, pixels, 2, 0, "ab"),
              Hex("47 49 46 38 39 61 03 00 01 00 80 00 00 FF FF FF 00 00 00 "
                  "21 FE 02 61 62 00 21 F9 04 01 00 00 00 00 "
                  "2C 00 00 00 00 03 00 01 00 00 02 02 21 52 00 3B"));
}

TEST(GifEncoder, EmptyOrNullCommentAndNoTransparencyWriteNoExtensions)
{
    const unsigned char pixels[] = {0xA0};
    const Bytes plain = WriteGifBytes(3, 1, 1, 1, kWhiteBlack, pixels, 2, -1, nullptr);
    EXPECT_EQ(WriteGifBytes(3, 1, 1, 1, kWhiteBlack, pixels, 2, -1, ""), plain);
    EXPECT_EQ(plain[19], 0x2C);

    // Transparency alone: the control extension right after the colour table.
    const Bytes transparent = WriteGifBytes(3, 1, 1, 1, kWhiteBlack, pixels, 2, 1, "");
    ASSERT_GT(transparent.size(), 28u);
    EXPECT_EQ(Bytes(transparent.begin() + 19, transparent.begin() + 27), Hex("21 F9 04 01 00 00 01 00"));
    EXPECT_EQ(transparent[27], 0x2C);
}

TEST(GifEncoder, OnePixelIsOneCodeAndTheEndCode)
{
    const unsigned char ink[] = {0x80};
    const Bytes gif = WriteGifBytes(1, 1, 2, 1, kWhiteBlack, ink, 2, -1, nullptr);
    const std::size_t data = ImageDataStart(gif);
    // Code 1, then end code 5: 001 101 -> 0b00101001, no clear code.
    EXPECT_EQ(Bytes(gif.begin() + static_cast<long>(data), gif.end()), Hex("02 01 29 00 3B"));
}

TEST(GifEncoder, ExactMultipleOf255DataBytesHasNoEmptySubBlock)
{
    // Codes for n pixels: n, a clear before every even pixel, and the end
    // code; 7 padding bits then round the byte count down.
    for (int wantedBlocks = 1; wantedBlocks <= 2; ++wantedBlocks) {
        int width = 0;
        for (int n = 1; n < 10000 && width == 0; ++n) {
            const int bits = 3 * (n + n / 2 + 1) + 7;
            if (bits / 8 == 255 * wantedBlocks)
                width = n;
        }
        ASSERT_GT(width, 0);
        const int rowBytes = (width + 15) / 16 * 2;
        const Bytes pixels(static_cast<std::size_t>(rowBytes), 0x5A);
        const Bytes gif = WriteGifBytes(width, 1, rowBytes, 1, kWhiteBlack, pixels.data(), 2, -1, nullptr);
        EXPECT_EQ(SubBlockLengths(gif), std::vector<int>(static_cast<std::size_t>(wantedBlocks), 255)) << width;

        // One pixel more spills into a short last sub-block.
        const int wider = width + 2;
        const Bytes widerPixels(static_cast<std::size_t>((wider + 15) / 16 * 2), 0x5A);
        const std::vector<int> lengths =
            SubBlockLengths(WriteGifBytes(wider, 1, (wider + 15) / 16 * 2, 1, kWhiteBlack, widerPixels.data(), 2, -1, nullptr));
        ASSERT_EQ(lengths.size(), static_cast<std::size_t>(wantedBlocks) + 1);
        EXPECT_LT(lengths.back(), 255);
    }
}

TEST(GifEncoder, LargestSizesAreStoredInTwoBytes)
{
    const Bytes row(4096, 0x00);
    const Bytes gif = WriteGifBytes(32768, 1, 4096, 1, kWhiteBlack, row.data(), 2, -1, nullptr);
    EXPECT_EQ(gif[6], 0x00);
    EXPECT_EQ(gif[7], 0x80);
    EXPECT_EQ(gif[24], 0x00);  // image width in the descriptor
    EXPECT_EQ(gif[25], 0x80);
    Decoded decoded;
    ASSERT_TRUE(DecodeGif(gif, &decoded));
    EXPECT_EQ(decoded.width, 32768);
}

TEST(GifEncoder, RandomBitmapsDecodeToTheSamePixels)
{
    std::mt19937 random(12345);
    const unsigned char palette[6] = {0x10, 0x20, 0x30, 0xC0, 0xB0, 0xA0};
    std::vector<std::pair<int, int>> sizes;
    for (int w = 1; w <= 40; ++w)
        for (int h : {1, 2, 3, 7, 16})
            sizes.emplace_back(w, h);
    sizes.insert(sizes.end(), {{255, 3}, {680, 2}, {1000, 7}, {8, 300}, {123, 45}});
    for (auto [width, height] : sizes) {
        // Rows a little longer than needed, with random padding, to catch
        // padding that leaks into the image.
        const int rowBytes = (width + 15) / 16 * 2 + static_cast<int>(random() % 3);
        Bytes bits(static_cast<std::size_t>(rowBytes * height));
        for (auto& b : bits)
            b = static_cast<unsigned char>(random());
        const Bytes gif = WriteGifBytes(width, height, rowBytes, 1, palette, bits.data(), 2, -1, nullptr);
        Decoded decoded;
        ASSERT_TRUE(DecodeGif(gif, &decoded)) << width << "x" << height;
        ASSERT_EQ(decoded.width, width);
        ASSERT_EQ(decoded.height, height);
        EXPECT_EQ(decoded.palette, Bytes(palette, palette + 6));
        EXPECT_EQ(decoded.transparent, -1);
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mismatches += decoded.pixels[static_cast<std::size_t>(y) * width + x] != PixelAt(bits, rowBytes, 1, x, y);
        EXPECT_EQ(mismatches, 0) << width << "x" << height;
    }
}

TEST(GifEncoder, DeeperPixelsAndLargerPalettesDecode)
{
    std::mt19937 random(777);
    for (int bpp : {2, 4, 8}) {
        const int colours = 1 << bpp;
        Bytes palette(static_cast<std::size_t>(colours) * 3);
        for (auto& c : palette)
            c = static_cast<unsigned char>(random());
        const int width = 37, height = 11;
        const int rowBytes = (width * bpp + 7) / 8 + 1;
        Bytes bits(static_cast<std::size_t>(rowBytes * height));
        for (auto& b : bits)
            b = static_cast<unsigned char>(random());
        const Bytes gif = WriteGifBytes(width, height, rowBytes, bpp, palette.data(), bits.data(), colours, colours - 1, nullptr);
        Decoded decoded;
        ASSERT_TRUE(DecodeGif(gif, &decoded)) << bpp;
        EXPECT_EQ(decoded.palette, palette);
        EXPECT_EQ(decoded.transparent, colours - 1);
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mismatches += decoded.pixels[static_cast<std::size_t>(y) * width + x] != PixelAt(bits, rowBytes, bpp, x, y);
        EXPECT_EQ(mismatches, 0) << bpp;
    }
    // Three colours take a four-entry table; the missing entry is black.
    const unsigned char three[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const unsigned char pixels[1] = {0x1B};
    const Bytes gif = WriteGifBytes(4, 1, 1, 2, three, pixels, 3, -1, nullptr);
    EXPECT_EQ(gif[10], 0x91);
    EXPECT_EQ(Bytes(gif.begin() + 13, gif.begin() + 25), Hex("01 02 03 04 05 06 07 08 09 00 00 00"));
}

TEST(GifEncoder, LongCommentIsKeptWhole)
{
    const std::string key(300, 'k');
    const unsigned char pixels[] = {0x40};
    const Bytes gif = WriteGifBytes(2, 1, 2, 1, kWhiteBlack, pixels, 2, 0, key.c_str());
    EXPECT_EQ(gif[19], 0x21);
    EXPECT_EQ(gif[21], 255);  // the first 255 bytes in one sub-block
    Decoded decoded;
    ASSERT_TRUE(DecodeGif(gif, &decoded));
    EXPECT_EQ(decoded.comment, key);
    EXPECT_EQ(decoded.transparent, 0);
    EXPECT_EQ(decoded.pixels, (std::vector<int>{0, 1}));
}

TEST(GifEncoder, ZeroWidthOrMissingPixelsSendNoPixelCodes)
{
    // A zero-size buffer: any read of it is out of bounds under the sanitizer.
    auto empty = std::make_unique<unsigned char[]>(0);
    for (const Bytes& gif : {WriteGifBytes(0, 5, 0, 1, kWhiteBlack, empty.get(), 2, -1, nullptr),
                             WriteGifBytes(4, 5, 2, 1, kWhiteBlack, nullptr, 2, -1, nullptr),
                             WriteGifBytes(4, 0, 2, 1, kWhiteBlack, empty.get(), 2, -1, nullptr)}) {
        // Just the end code 5 and padding, in one byte.
        EXPECT_EQ(Bytes(gif.begin() + static_cast<long>(ImageDataStart(gif)), gif.end()), Hex("02 01 05 00 3B"));
    }
}

TEST(GifEncoder, ArgumentsThatDescribeNoImageEncodeNothing)
{
    Bytes bytes;
    EXPECT_EQ(SaveGif(bytes, -1, 1, 1, 1, kWhiteBlack, nullptr, 2, -1, nullptr), ImagingStatus::kNoImage);
    EXPECT_EQ(SaveGif(bytes, 1, 1, 1, 9, kWhiteBlack, nullptr, 2, -1, nullptr), ImagingStatus::kNoImage);
    EXPECT_TRUE(bytes.empty());
}

TEST(GifEncoder, MainDialogWritesTheGlyphBitmapInThePageColours)
{
    CMainDlg dlg;
    dlg.m_nImageWidth = 10;
    dlg.m_nImageHeight = 2;
    dlg.m_nRowBytes = 2;
    dlg.m_nImageBitsSize = 4;
    dlg.m_pImageBits = std::make_unique<unsigned char[]>(4);
    const unsigned char rows[4] = {0x81, 0x40, 0x7E, 0x80};
    std::memcpy(dlg.m_pImageBits.get(), rows, 4);
    const unsigned char colours[6] = {0, 0, 128, 255, 255, 0};

    for (int transparent : {0, 1}) {
        dlg.m_bTransparent = transparent;
        FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(dlg.WriteGif(file, "NanumGothic 12 key", colours), 0);
        Bytes gif;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            gif.push_back(static_cast<unsigned char>(c));
        std::fclose(file);

        Decoded decoded;
        ASSERT_TRUE(DecodeGif(gif, &decoded));
        EXPECT_EQ(decoded.palette, Bytes(colours, colours + 6));
        EXPECT_EQ(decoded.comment, "NanumGothic 12 key");
        EXPECT_EQ(decoded.transparent, transparent ? 0 : -1);
        EXPECT_EQ(decoded.pixels, (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 1, 0, 1,
                                                     0, 1, 1, 1, 1, 1, 1, 0, 1, 0}));
    }

    // A bitmap without its buffer (allocation failed) is written without
    // touching pixels.
    dlg.FreeImageBits();
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(dlg.WriteGif(file, "", colours), 0);
    std::fclose(file);
}
