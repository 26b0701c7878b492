#include "imaging/gif_writer.h"

#include <cstring>

#include "app/main_dlg.h"

// The image data is valid LZW that is never compressed: every pixel goes out
// as a literal code, and a clear code follows every two codes (for 2-bit
// minimum code size) so the decoder's table never grows past one entry and
// the code width never changes. No string table and no hashing are needed.

namespace {

// Encoder state, reset by GifStartCodes for every image.
int g_codeCounter;            // pixel codes since the last clear code
int g_clearCode;              // 2 ^ minimum code size; the end code is one more
int g_codesPerClear;          // pixel codes allowed between clear codes
unsigned long g_accumulator;  // bits not yet written, least significant first
int g_bitCount;               // valid bits in the accumulator
unsigned char g_block[255];   // data bytes of the sub-block being collected
int g_blockLength;
bool g_writeFailed;           // some byte could not be written

void PutByte(FILE* file, int value)
{
    if (std::fputc(value & 0xFF, file) == EOF)
        g_writeFailed = true;
}

void PutBytes(FILE* file, const void* bytes, std::size_t count)
{
    if (count != 0 && std::fwrite(bytes, 1, count, file) != count)
        g_writeFailed = true;
}

void PutWord(int value, FILE* file)
{
    PutByte(file, value & 0xFF);
    PutByte(file, (value / 256) & 0xFF);
}

void GifStartCodes(int minCodeSize)
{
    g_codeCounter = 1;  // so the stream does not begin with a clear code
    g_clearCode = 1 << minCodeSize;
    g_codesPerClear = g_clearCode - 2;
    g_accumulator = 0;
    g_bitCount = 0;
    g_blockLength = 0;
}

void GifFlushBlock(FILE* file)
{
    PutByte(file, g_blockLength);
    PutBytes(file, g_block, static_cast<std::size_t>(g_blockLength));
    g_blockLength = 0;
}

// Appends a code's bits to an accumulator and moves whole bytes to the
// block buffer. A full sub-block is written as soon as it has 255 bytes, in
// the middle of a code if need be.
inline void PackBits(FILE* file, unsigned long& accumulator, int& bitCount, unsigned long code, int width)
{
    accumulator |= code << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
        g_block[g_blockLength++] = static_cast<unsigned char>(accumulator & 0xFF);
        if (g_blockLength == 255)
            GifFlushBlock(file);
        accumulator >>= 8;
        bitCount -= 8;
    }
}

void GifPutBits(FILE* file, int code, int width)
{
    PackBits(file, g_accumulator, g_bitCount, static_cast<unsigned long>(code), width);
}

// Size field of a colour table of `colours` entries: the table holds
// 2 ^ (field + 1) entries.
int ColourTableField(int colours)
{
    int field = 0;
    for (int rest = (colours - 1) >> 1; rest != 0 && field < 7; rest >>= 1)
        ++field;
    return field;
}

// The comment goes out as one sub-block when it fits, which is what image
// reuse reads back from byte 19; a longer one continues in further
// sub-blocks instead of overflowing the one-byte length.
void PutComment(FILE* file, const char* comment)
{
    PutByte(file, 0x21);
    PutByte(file, 0xFE);
    std::size_t left = std::strlen(comment);
    while (left > 0) {
        const std::size_t part = left < 255 ? left : 255;
        PutByte(file, static_cast<int>(part));
        PutBytes(file, comment, part);
        comment += part;
        left -= part;
    }
    PutByte(file, 0x00);
}

void PutTransparency(FILE* file, int index)
{
    PutByte(file, 0x21);
    PutByte(file, 0xF9);
    PutByte(file, 0x04);
    PutByte(file, 0x01);  // transparent colour flag, disposal 0, no user input
    PutWord(0, file);     // no delay
    PutByte(file, index);
    PutByte(file, 0x00);
}

void PutPixels(FILE* file, int width, int height, int rowBytes, int bitsPerPixel,
               const unsigned char* pixels, int codeWidth)
{
    // Puts each pixel as a code, with a clear code first when one is due (the
    // counter starts at 1, so the stream does not begin with one). The
    // encoder state is held in locals for the length of the image.
    const unsigned mask = (1u << bitsPerPixel) - 1;
    const unsigned long clearCode = static_cast<unsigned long>(g_clearCode);
    unsigned long accumulator = g_accumulator;
    int bitCount = g_bitCount;
    int counter = g_codeCounter;
    auto put = [&](unsigned long code) { PackBits(file, accumulator, bitCount, code, codeWidth); };
    for (int y = 0; y < height; ++y) {
        // Each row starts at its own offset, so row padding is skipped.
        const unsigned char* byte = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        int shift = 8 - bitsPerPixel;
        for (int x = 0; x < width; ++x) {
            if (counter >= g_codesPerClear) {
                put(clearCode);
                counter = 0;
            }
            put((*byte >> shift) & mask);
            ++counter;
            shift -= bitsPerPixel;
            if (shift < 0) {
                ++byte;
                shift = 8 - bitsPerPixel;
            }
        }
    }
    g_accumulator = accumulator;
    g_bitCount = bitCount;
    g_codeCounter = counter;
}

}  // namespace

int SaveGif(FILE* file, int width, int height, int rowBytes, int bitsPerPixel,
            const unsigned char* palette, const unsigned char* pixels, int colours,
            int transparent, const char* comment)
{
    if (file == nullptr || width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF ||
        bitsPerPixel < 1 || bitsPerPixel > 8 || colours < 1 || colours > 256 || palette == nullptr)
        return -1;
    g_writeFailed = false;

    const int tableField = ColourTableField(colours);
    PutBytes(file, "GIF89a", 6);
    PutWord(width, file);
    PutWord(height, file);
    PutByte(file, 0x80 | (tableField << 4) | tableField);
    PutByte(file, 0);  // background colour index
    PutByte(file, 0);  // pixel aspect ratio
    const int tableEntries = 2 << tableField;
    for (int entry = 0; entry < tableEntries; ++entry) {
        // Entries the caller did not give are written black, never read.
        for (int channel = 0; channel < 3; ++channel)
            PutByte(file, entry < colours ? palette[entry * 3 + channel] : 0);
    }

    // The comment must follow the colour table at once: image reuse reads
    // the table from bytes 13 to 18 and the comment from byte 19.
    if (comment != nullptr && comment[0] != '\0')
        PutComment(file, comment);
    if (transparent != -1)
        PutTransparency(file, transparent);

    PutByte(file, 0x2C);
    PutWord(0, file);
    PutWord(0, file);
    PutWord(width, file);
    PutWord(height, file);
    PutByte(file, 0x00);  // no local colour table, not interlaced

    const int minCodeSize = bitsPerPixel < 2 ? 2 : bitsPerPixel;
    const int codeWidth = minCodeSize + 1;
    GifStartCodes(minCodeSize);
    PutByte(file, minCodeSize);
    // Pixels never straddle bytes, so a row needs ceil(width / (8 / bpp))
    // bytes. A shorter row distance or a missing buffer (zero width, failed
    // allocation) sends no pixels at all.
    const int pixelsPerByte = 8 / bitsPerPixel;
    const long long neededRowBytes = (static_cast<long long>(width) + pixelsPerByte - 1) / pixelsPerByte;
    if (pixels != nullptr && width > 0 && rowBytes >= neededRowBytes)
        PutPixels(file, width, height, rowBytes, bitsPerPixel, pixels, codeWidth);
    GifPutBits(file, g_clearCode + 1, codeWidth);  // end code, no clear check
    GifPutBits(file, 0, 7);                         // pushes out a partly filled byte
    if (g_blockLength > 0)
        GifFlushBlock(file);
    PutByte(file, 0x00);
    PutByte(file, 0x3B);

    if (std::fflush(file) != 0 || std::ferror(file))
        g_writeFailed = true;
    return g_writeFailed ? -1 : 0;
}

// The glyph bitmap in the page's colours: background as entry 0, ink as
// entry 1, the image key as the comment.
int CMainDlg::WriteGif(FILE* file, const char* key, const unsigned char* colours)
{
    if (colours == nullptr)
        colours = m_colours;
    // Pixels are read only when the buffer holds every row the bitmap claims.
    const unsigned char* pixels = m_pImageBits.get();
    const long long needed = static_cast<long long>(m_nRowBytes) * m_nImageHeight;
    if (m_nRowBytes < 0 || m_nImageHeight < 0 || static_cast<unsigned long long>(needed) > m_nImageBitsSize)
        pixels = nullptr;
    const int transparent = m_bTransparent ? 0 : -1;
    return SaveGif(file, m_nImageWidth, m_nImageHeight, m_nRowBytes, 1, colours, pixels, 2, transparent, key);
}
