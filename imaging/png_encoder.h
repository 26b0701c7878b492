#pragma once
// The PNG encoder on libpng, into memory: a palette image of up to 256
// colours from a bottom-up buffer of one byte per pixel.
//
//   ByteBuffer bytes;
//   PngStatus status;
//   if (EncodePng(bitmap.View(), {colours, transparent, key}, bytes, status) != 0)
//       the caller shows the box of a failed save with status.code and status.message
#include <cstddef>

#include "imaging/byte_buffer.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_size.h"
#include "imaging/image_style.h"

// The keyword of the tEXt chunk that holds the image key.
inline constexpr char kPngCommentKeyword[] = "Comment";

// A PNG's four-byte numbers, high byte first.
inline unsigned long BigEndian32(const unsigned char* bytes)
{
    return (static_cast<unsigned long>(bytes[0]) << 24) | (static_cast<unsigned long>(bytes[1]) << 16) |
           (static_cast<unsigned long>(bytes[2]) << 8) | bytes[3];
}

// How an encode ended. The numbers are the ones a failed save's box shows.
enum PngCode : int {
    kPngOk = 0,
    kPngNoWriteStruct = 1,  // the write structure cannot be made (also: no memory for the pixels)
    kPngNoInfoStruct = 2,   // the info structure cannot be made
    kPngLibraryError = 3,   // libpng reported an error (also: the bytes did not reach their file)
};

// `code` is a PngCode; `message` keeps the last text libpng reported (an
// error or a warning).
struct PngStatus {
    int code = kPngOk;
    char message[256] = "";
};

// Appends the image to `out`; rows are taken from the buffer's last row up
// to its first, so the file runs top to bottom. Each row is `stride` bytes.
// On failure `out` may hold a partial image.
void SavePng(ByteBuffer& out, int width, int height, const unsigned char* palette, const unsigned char* pixels,
             int stride, int colours, int transparent, const char* comment, PngStatus& status);

// The glyph bitmap in the style's colours (entry 0 background, 1 ink), the
// key as the "Comment" text. A bitmap without width or height (a block that
// measures nothing) is written one pixel wide or high in the background
// colour, as libpng takes no empty image. Returns status.code.
int EncodePng(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out, PngStatus& status);

// The width and height of the IHDR chunk that head[0..length) begins with
// (see ReadImageSize).
bool ReadPngSize(const unsigned char* head, std::size_t length, ImageSize& size);
