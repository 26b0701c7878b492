// The PNG writer. The calls to libpng, their order and values are fixed:
// IHDR (bit depth from the colour count, palette, no interlace), pHYs 1:1,
// PLTE, tEXt "Comment" (only with a key), tIME in UTC, tRNS (only with a
// transparent index), then the rows bottom-up from the buffer.
#include "imaging/png_encoder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "data/bit_reverse.h"
#include "imaging/big_endian.h"
#include "imaging/png_memory.h"

namespace sylpic {

namespace {

void KeepMessage(png_structp png, png_const_charp message)
{
    auto* status = static_cast<PngStatus*>(png_get_error_ptr(png));
    std::snprintf(status->message, sizeof status->message, "%s", message ? message : "");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    KeepMessage(png, message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message)
{
    KeepMessage(png, message);
}

// libpng writes through these into the byte buffer. Flushing must be ours
// too: libpng's own flush would take the buffer for a stdio stream.
void AppendToBuffer(png_structp png, png_bytep data, png_size_t length)
{
    AppendBytes(*static_cast<ByteBuffer*>(png_get_io_ptr(png)), data, length);
}

void FlushNothing(png_structp) {}

int BitDepthFor(int colours)
{
    if (colours <= 2)
        return 1;
    if (colours <= 4)
        return 2;
    if (colours <= 16)
        return 4;
    return 8;
}

// Everything between the recovery point and the end of the image; kept out
// of SavePng so that no local of SavePng lives across the longjmp.
void WriteImage(png_structp png, png_infop info, int width, int height, const unsigned char* palette,
                const unsigned char* pixels, int stride, int colours, int transparent, const char* comment)
{
    const int bitDepth = BitDepthFor(colours);
    png_set_write_status_fn(png, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, 1, 1, PNG_RESOLUTION_UNKNOWN);

    png_color entries[256];
    for (int i = 0; i < colours && i < 256; ++i) {
        entries[i].red = palette[3 * i];
        entries[i].green = palette[3 * i + 1];
        entries[i].blue = palette[3 * i + 2];
    }
    png_set_PLTE(png, info, entries, colours);

    if (comment && comment[0] != '\0') {
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>(kPngCommentKeyword);
        text.text = const_cast<png_charp>(comment);
        text.text_length = std::strlen(comment);
        png_set_text(png, info, &text, 1);
    }

    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    png_time stamp{};
    stamp.year = static_cast<png_uint_16>(utc.tm_year + 1900);
    stamp.month = static_cast<png_byte>(utc.tm_mon + 1);
    stamp.day = static_cast<png_byte>(utc.tm_mday);
    stamp.hour = static_cast<png_byte>(utc.tm_hour);
    stamp.minute = static_cast<png_byte>(utc.tm_min);
    stamp.second = static_cast<png_byte>(utc.tm_sec);
    png_set_tIME(png, info, &stamp);

    if (transparent != -1) {
        png_byte alpha[256];
        for (int i = 0; i < colours && i < 256; ++i)
            alpha[i] = i == transparent ? 0 : 255;
        png_set_tRNS(png, info, alpha, colours, nullptr);
    }

    png_write_info(png, info);
    if (bitDepth < 8)
        png_set_packing(png);
    for (int row = height - 1; row >= 0; --row) {
        png_bytep rowPointer = const_cast<png_bytep>(pixels + static_cast<std::size_t>(row) * stride);
        png_write_rows(png, &rowPointer, 1);
    }
    png_write_end(png, info);
}

}  // namespace

void SavePng(ByteBuffer& out, int width, int height, const unsigned char* palette, const unsigned char* pixels,
             int stride, int colours, int transparent, const char* comment, PngStatus& status)
{
    status.code = ImagingStatus::kOk;
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &status, OnPngError, OnPngWarning, nullptr,
                                                  TakePngMemory, ReturnPngMemory);
    if (!png) {
        status.code = ImagingStatus::kPngNoWriteStruct;
        return;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        status.code = ImagingStatus::kPngNoInfoStruct;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        status.code = ImagingStatus::kPngLibraryError;
        return;
    }
    png_set_write_fn(png, &out, AppendToBuffer, FlushNothing);
    WriteImage(png, info, width, height, palette, pixels, stride, colours, transparent, comment);
    png_destroy_write_struct(&png, &info);
}

ImagingStatus EncodePng(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out, PngStatus& status)
{
    status = PngStatus{};
    const int width = bitmap.width > 0 ? bitmap.width : 1;
    const int height = bitmap.height > 0 ? bitmap.height : 1;
    // One byte per pixel, rows padded to a multiple of 4, stored bottom-up.
    const int stride = ((width * 8 + 31) / 32) * 4;
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    std::unique_ptr<unsigned char[]> expanded(new (std::nothrow) unsigned char[size]);
    if (!expanded) {
        status.code = ImagingStatus::kNoMemory;
        return status.code;
    }
    std::memset(expanded.get(), 0, size);

    // Pixels are read only when the buffer holds every row the bitmap
    // claims; otherwise the image is all background.
    for (int r = 0; bitmap.Valid() && r < height; ++r) {
        const unsigned char* from = bitmap.bits + static_cast<std::size_t>(r) * bitmap.rowBytes;
        unsigned char* to = expanded.get() + static_cast<std::size_t>(height - 1 - r) * stride;
        unsigned value = 0;
        for (int x = 0; x < width; ++x) {
            if (x % 8 == 0)
                value = g_bitReverse[from[x / 8]];
            to[x] = static_cast<unsigned char>(value & 1);
            value >>= 1;
        }
    }

    SavePng(out, width, height, style.colours, expanded.get(), stride, 2, style.transparent ? 0 : -1, style.key,
            status);
    return status.code;
}

// PNG: the signature, then the IHDR chunk (length 13) whose data begins
// with the width and the height, four bytes each, high byte first.
bool ReadPngSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    constexpr std::size_t kIhdrAt = sizeof kPngSignature;
    constexpr std::size_t kIhdrDataAt = kIhdrAt + 8;
    if (length < kIhdrDataAt + 8 || std::memcmp(head, kPngSignature, sizeof kPngSignature) != 0 ||
        ReadBigEndian32(head + kIhdrAt) != kPngIhdrBytes || std::memcmp(head + kIhdrAt + 4, "IHDR", 4) != 0)
        return false;
    const unsigned long width = ReadBigEndian32(head + kIhdrDataAt);
    const unsigned long height = ReadBigEndian32(head + kIhdrDataAt + 4);
    if (width > kMaxImageSide || height > kMaxImageSide)
        return false;
    size.width = static_cast<int>(width);
    size.height = static_cast<int>(height);
    return true;
}

int ReadPngKeyFrom(const ByteSource& bytes, char* text, unsigned char* colours)
{
    std::memset(text, 0, kReadKeyBytes);
    std::memset(colours, 0, 6);
    int result = 0;
    std::size_t at = sizeof kPngSignature;
    unsigned char signature[sizeof kPngSignature];
    if (bytes.ReadAt(0, signature, sizeof signature) != sizeof signature)
        return 0;

    unsigned char chunk[4 + kPngMaxReadChunk + 4];  // type, data, CRC
    for (;;) {
        unsigned char lengthBytes[4];
        if (bytes.ReadAt(at, lengthBytes, 4) != 4)
            break;
        const unsigned long length = ReadBigEndian32(lengthBytes);
        if (length > kPngMaxReadChunk)
            break;
        // Type, data and CRC: a chunk cut short is no chunk. The CRC is not
        // checked here; a reused image is checked whole (IsWholePng).
        if (bytes.ReadAt(at + 4, chunk, length + 8) != length + 8)
            break;
        at += kPngChunkFrameBytes + length;

        const unsigned char* data = chunk + 4;
        if (std::memcmp(chunk, "PLTE", 4) == 0) {
            // The colours come from one chunk: a short palette leaves zeros,
            // never an earlier palette's bytes mixed with its own.
            std::memset(colours, 0, 6);
            std::memcpy(colours, data, length < 6 ? length : 6);
        } else if (std::memcmp(chunk, "tEXt", 4) == 0) {
            if (length >= sizeof kPngCommentKeyword &&
                std::memcmp(data, kPngCommentKeyword, sizeof kPngCommentKeyword) == 0) {
                const unsigned long textLength = length - sizeof kPngCommentKeyword;
                if (textLength > kPngMaxKeyText) {
                    result = 0;
                    break;
                }
                std::memset(text, 0, kReadKeyBytes);
                std::memcpy(text, data + sizeof kPngCommentKeyword, textLength);
                result = static_cast<int>(textLength);
            }
        } else if (std::memcmp(chunk, "IDAT", 4) == 0) {
            break;
        }
    }
    return result;
}

bool IsWholePng(const unsigned char* bytes, std::size_t size)
{
    if (size < sizeof kPngSignature || std::memcmp(bytes, kPngSignature, sizeof kPngSignature) != 0)
        return false;
    bool sawData = false;
    for (std::size_t at = sizeof kPngSignature; size - at >= kPngChunkFrameBytes;) {
        const unsigned long length = ReadBigEndian32(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - kPngChunkFrameBytes)
            return false;
        const unsigned char* type = bytes + at + 4;
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, static_cast<uInt>(length + 4));
        if (crc != ReadBigEndian32(type + 4 + length))
            return false;
        if ((at == sizeof kPngSignature) != (std::memcmp(type, "IHDR", 4) == 0))
            return false;  // IHDR first, and only there
        sawData = sawData || std::memcmp(type, "IDAT", 4) == 0;
        at += kPngChunkFrameBytes + length;
        if (std::memcmp(type, "IEND", 4) == 0)
            return sawData && at == size;
    }
    return false;
}

}  // namespace sylpic
