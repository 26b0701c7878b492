#include "imaging/gif_encoder.h"

#include <cstring>

#include "data/limits.h"

// The image data is valid LZW that is never compressed: every pixel goes out
// as a literal code, and a clear code follows every two codes (for 2-bit
// minimum code size) so the decoder's table never grows past one entry and
// the code width never changes. No string table and no hashing are needed.

namespace sylpic {

namespace {

// The state of one encode, passed to each step, so that two encodes never
// see each other's leftovers.
struct GifEncoder {
    ByteBuffer& out;
    int codeCounter = 0;            // pixel codes since the last clear code
    int clearCode = 0;              // 2 ^ minimum code size; the end code is one more
    int codesPerClear = 0;          // pixel codes allowed between clear codes
    unsigned long accumulator = 0;  // bits not yet written, least significant first
    int bitCount = 0;               // valid bits in the accumulator
    unsigned char block[255] = {};  // data bytes of the sub-block being collected
    int blockLength = 0;
};

void PutByte(ByteBuffer& out, int value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
}

void PutWord(int value, ByteBuffer& out)
{
    PutByte(out, value & 0xFF);
    PutByte(out, (value / 256) & 0xFF);
}

void GifStartCodes(GifEncoder& gif, int minCodeSize)
{
    gif.codeCounter = 1;  // so the stream does not begin with a clear code
    gif.clearCode = 1 << minCodeSize;
    gif.codesPerClear = gif.clearCode - 2;
    gif.accumulator = 0;
    gif.bitCount = 0;
    gif.blockLength = 0;
}

void GifFlushBlock(GifEncoder& gif)
{
    PutByte(gif.out, gif.blockLength);
    AppendBytes(gif.out, gif.block, static_cast<std::size_t>(gif.blockLength));
    gif.blockLength = 0;
}

// Appends a code's bits to an accumulator and moves whole bytes to the
// block buffer. A full sub-block is written as soon as it has 255 bytes, in
// the middle of a code if need be.
inline void PackBits(GifEncoder& gif, unsigned long& accumulator, int& bitCount, unsigned long code, int width)
{
    accumulator |= code << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
        gif.block[gif.blockLength++] = static_cast<unsigned char>(accumulator & 0xFF);
        if (gif.blockLength == 255)
            GifFlushBlock(gif);
        accumulator >>= 8;
        bitCount -= 8;
    }
}

void GifPutBits(GifEncoder& gif, int code, int width)
{
    PackBits(gif, gif.accumulator, gif.bitCount, static_cast<unsigned long>(code), width);
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
// reuse reads back from kGifCommentAt; a longer one continues in further
// sub-blocks instead of overflowing the one-byte length.
void PutComment(ByteBuffer& out, const char* comment)
{
    PutByte(out, kGifExtensionIntroducer);
    PutByte(out, kGifCommentLabel);
    std::size_t left = std::strlen(comment);
    while (left > 0) {
        const std::size_t part = left < 255 ? left : 255;
        PutByte(out, static_cast<int>(part));
        AppendBytes(out, comment, part);
        comment += part;
        left -= part;
    }
    PutByte(out, 0x00);
}

void PutTransparency(ByteBuffer& out, int index)
{
    PutByte(out, kGifExtensionIntroducer);
    PutByte(out, kGifGraphicControlLabel);
    PutByte(out, 0x04);
    PutByte(out, 0x01);  // transparent colour flag, disposal 0, no user input
    PutWord(0, out);     // no delay
    PutByte(out, index);
    PutByte(out, 0x00);
}

// One-bit pixels with 3-bit codes and a clear code after every two pixel
// codes: a whole source byte (eight pixels) always makes twelve codes, four
// of them clear codes, 36 bits, and leaves the clear rhythm where it found
// it. So each byte's bits are looked up instead of packed pixel by pixel.
// Index: [the pixel codes since the last clear, 1 or 2, less one][byte].
struct ByteCodes {
    unsigned long long bits[2][256];
};

ByteCodes MakeByteCodes()
{
    ByteCodes table{};
    for (int phase = 1; phase <= 2; ++phase) {
        for (int byte = 0; byte < 256; ++byte) {
            unsigned long long bits = 0;
            int used = 0;
            int counter = phase;
            for (int shift = 7; shift >= 0; --shift) {
                if (counter >= 2) {
                    bits |= 4ull << used;  // the clear code
                    used += 3;
                    counter = 0;
                }
                bits |= static_cast<unsigned long long>((byte >> shift) & 1) << used;
                used += 3;
                ++counter;
            }
            table.bits[phase - 1][byte] = bits;
        }
    }
    return table;
}

constexpr int kBitsPerByteOfPixels = 36;

void PutPixels(GifEncoder& gif, int width, int height, int rowBytes, int bitsPerPixel, const unsigned char* pixels,
               int codeWidth)
{
    // Puts each pixel as a code, with a clear code first when one is due (the
    // counter starts at 1, so the stream does not begin with one). The
    // accumulator is held in locals for the length of the image.
    const unsigned mask = (1u << bitsPerPixel) - 1;
    const unsigned long clearCode = static_cast<unsigned long>(gif.clearCode);
    const int codesPerClear = gif.codesPerClear;
    const bool byBytes = bitsPerPixel == 1 && codeWidth == 3 && codesPerClear == 2;
    static const ByteCodes byteCodes = MakeByteCodes();
    unsigned long accumulator = gif.accumulator;
    int bitCount = gif.bitCount;
    int counter = gif.codeCounter;
    auto put = [&](unsigned long code) { PackBits(gif, accumulator, bitCount, code, codeWidth); };
    for (int y = 0; y < height; ++y) {
        // Each row starts at its own offset, so row padding is skipped.
        const unsigned char* byte = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        int x = 0;
        if (byBytes) {
            const unsigned long long* codes = byteCodes.bits[counter - 1];
            for (; x + 8 <= width; x += 8)
                PackBits(gif, accumulator, bitCount, static_cast<unsigned long>(codes[*byte++]),
                         kBitsPerByteOfPixels);
        }
        int shift = 8 - bitsPerPixel;
        for (; x < width; ++x) {
            if (counter >= codesPerClear) {
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
    gif.accumulator = accumulator;
    gif.bitCount = bitCount;
    gif.codeCounter = counter;
}

bool HasGifSignature(const unsigned char* bytes)
{
    return std::memcmp(bytes, kGif87aSignature, kGifSignatureBytes) == 0 ||
           std::memcmp(bytes, kGif89aSignature, kGifSignatureBytes) == 0;
}

// The bytes of the colour table that `flags` announces, 0 for none.
std::size_t ColourTableBytes(unsigned char flags)
{
    return (flags & 0x80) != 0 ? 3u << ((flags & 7) + 1) : 0;
}

// Steps over data sub-blocks from `at` to past their zero-length end;
// false when they run past the end.
bool SkipSubBlocks(const unsigned char* bytes, std::size_t size, std::size_t& at)
{
    while (at < size) {
        const std::size_t length = bytes[at++];
        if (length == 0)
            return true;
        at += length;
    }
    return false;
}

}  // namespace

ImagingStatus SaveGif(ByteBuffer& out, int width, int height, int rowBytes, int bitsPerPixel, const unsigned char* palette,
            const unsigned char* pixels, int colours, int transparent, const char* comment)
{
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF || bitsPerPixel < 1 || bitsPerPixel > 8 ||
        colours < 1 || colours > 256 || palette == nullptr)
        return ImagingStatus::kNoImage;

    const int tableField = ColourTableField(colours);
    AppendBytes(out, kGif89aSignature, kGifSignatureBytes);
    PutWord(width, out);
    PutWord(height, out);
    PutByte(out, 0x80 | (tableField << 4) | tableField);
    PutByte(out, 0);  // background colour index
    PutByte(out, 0);  // pixel aspect ratio
    const int tableEntries = 2 << tableField;
    for (int entry = 0; entry < tableEntries; ++entry) {
        // Entries the caller did not give are written black, never read.
        for (int channel = 0; channel < 3; ++channel)
            PutByte(out, entry < colours ? palette[entry * 3 + channel] : 0);
    }

    // The comment must follow the colour table at once: image reuse reads
    // the table from kGifColourTableAt and the comment from kGifCommentAt.
    if (comment != nullptr && comment[0] != '\0')
        PutComment(out, comment);
    if (transparent != -1)
        PutTransparency(out, transparent);

    PutByte(out, kGifImageSeparator);
    PutWord(0, out);
    PutWord(0, out);
    PutWord(width, out);
    PutWord(height, out);
    PutByte(out, 0x00);  // no local colour table, not interlaced

    const int minCodeSize = bitsPerPixel < 2 ? 2 : bitsPerPixel;
    const int codeWidth = minCodeSize + 1;
    GifEncoder gif{out};
    GifStartCodes(gif, minCodeSize);
    PutByte(out, minCodeSize);
    // Pixels never straddle bytes, so a row needs ceil(width / (8 / bpp))
    // bytes. A shorter row distance or a missing buffer (zero width, failed
    // allocation) sends no pixels at all.
    const int pixelsPerByte = 8 / bitsPerPixel;
    const long long neededRowBytes = (static_cast<long long>(width) + pixelsPerByte - 1) / pixelsPerByte;
    if (pixels != nullptr && width > 0 && rowBytes >= neededRowBytes)
        PutPixels(gif, width, height, rowBytes, bitsPerPixel, pixels, codeWidth);
    GifPutBits(gif, gif.clearCode + 1, codeWidth);  // end code, no clear check
    GifPutBits(gif, 0, 7);                          // pushes out a partly filled byte
    if (gif.blockLength > 0)
        GifFlushBlock(gif);
    PutByte(out, 0x00);
    PutByte(out, kGifTrailer);
    return ImagingStatus::kOk;
}

ImagingStatus EncodeGif(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out)
{
    // Pixels are read only when the buffer holds every row the bitmap claims.
    const unsigned char* pixels = bitmap.Valid() ? bitmap.bits : nullptr;
    const int transparent = style.transparent ? 0 : -1;
    return SaveGif(out, bitmap.width, bitmap.height, bitmap.rowBytes, 1, style.colours, pixels, 2, transparent,
                   style.key);
}

// GIF: "GIF87a" or "GIF89a", then the logical screen's width and height,
// two bytes each, low byte first.
bool ReadGifSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    if (length < kGifScreenAt + 4 || !HasGifSignature(head))
        return false;
    size.width = head[kGifScreenAt] | (head[kGifScreenAt + 1] << 8);
    size.height = head[kGifScreenAt + 2] | (head[kGifScreenAt + 3] << 8);
    return true;
}

int ReadGifKeyFrom(const ByteSource& bytes, char* text, unsigned char* colours)
{
    std::memset(text, 0, kReadKeyBytes);
    unsigned char head[kGifCommentTextAt + 255];
    const int got = static_cast<int>(bytes.ReadAt(0, head, sizeof head));

    std::memset(colours, 0, 6);
    if (got > kGifColourTableAt)
        std::memcpy(colours, head + kGifColourTableAt,
                    static_cast<std::size_t>(got >= kGifCommentAt ? 6 : got - kGifColourTableAt));
    if (got < kGifCommentTextAt || head[kGifCommentAt] != kGifExtensionIntroducer ||
        head[kGifCommentAt + 1] != kGifCommentLabel)
        return 0;
    const int length = head[kGifCommentAt + 2];
    int copied = 0;
    for (int i = kGifCommentTextAt; i < got && copied < length; ++i) {
        text[copied++] = static_cast<char>(head[i]);
        if (head[i] == '\n')
            break;  // the text stops after a line feed
    }
    text[copied] = '\0';
    return length;
}

bool IsWholeGif(const unsigned char* bytes, std::size_t size)
{
    if (size < static_cast<std::size_t>(kGifColourTableAt) || !HasGifSignature(bytes))
        return false;
    std::size_t at = kGifColourTableAt + ColourTableBytes(bytes[kGifScreenFlagsAt]);
    while (at < size) {
        switch (bytes[at]) {
        case kGifTrailer: return at == size - 1;
        case kGifExtensionIntroducer:
            at += 2;  // introducer and label
            break;
        case kGifImageSeparator:
            if (size - at < static_cast<std::size_t>(kGifImageDescriptorBytes) + 1)
                return false;
            // The descriptor, its local colour table and the LZW code size.
            at += kGifImageDescriptorBytes + ColourTableBytes(bytes[at + kGifImageDescriptorBytes - 1]) + 1;
            break;
        default: return false;
        }
        if (!SkipSubBlocks(bytes, size, at))
            return false;
    }
    return false;
}

}  // namespace sylpic
