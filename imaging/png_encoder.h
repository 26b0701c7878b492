#pragma once
// The PNG encoder on libpng, into memory: a palette image of up to 256
// colours from a bottom-up buffer of one byte per pixel; and the readers of
// what it writes: the size, the key and colours, and whether a file is whole.
//
//   ByteBuffer bytes;
//   PngStatus status;
//   if (EncodePng(bitmap.View(), {colours, transparent, key}, bytes, status) != ImagingStatus::kOk)
//       the caller shows the box of a failed save with status.code and status.message
#include <cstddef>

#include "data/limits.h"
#include "imaging/byte_buffer.h"
#include "imaging/byte_source.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_size.h"
#include "imaging/image_style.h"
#include "imaging/imaging_status.h"

namespace sylpic {

// The layout the readers below read back: the eight-byte signature, then
// chunks of a four-byte length (high byte first), a four-byte type, the
// data and a four-byte CRC over type and data. IHDR comes first, its data
// beginning with the width and the height; the key is the text of the
// tEXt chunk whose keyword is kPngCommentKeyword.
inline constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
inline constexpr std::size_t kPngChunkFrameBytes = 12;  // length, type and CRC
inline constexpr unsigned long kPngIhdrBytes = 13;
inline constexpr char kPngCommentKeyword[] = "Comment";
// The key reader looks at no chunk whose data is longer, nor at a key longer
// than kPngMaxKeyText; every chunk this encoder puts before the image data
// is shorter (the longest, the key's, holds at most 8 + 250 bytes).
inline constexpr unsigned long kPngMaxReadChunk = 512;
inline constexpr unsigned long kPngMaxKeyText = 256;
static_assert(sizeof kPngCommentKeyword + kMaxImageKey <= kPngMaxReadChunk, "a key this program writes is read back");
static_assert(kPngMaxKeyText < kReadKeyBytes, "a key read back keeps its terminator");

// How an encode ended: `code` is kOk, one of libpng's codes 1 to 3 (the
// number a failed save's box shows) or kNoMemory; `message` keeps the last
// text libpng reported (an error or a warning).
struct PngStatus {
    ImagingStatus code = ImagingStatus::kOk;
    char message[kPngMessageBytes] = "";
};

// Appends the image to `out`; rows are taken from the buffer's last row up
// to its first, so the file runs top to bottom. Each row is `stride` bytes.
// On failure `out` may hold a partial image.
void SavePng(ByteBuffer& out, int width, int height, const unsigned char* palette, const unsigned char* pixels,
             int stride, int colours, int transparent, const char* comment, PngStatus& status);

// The glyph bitmap in the style's colours (entry 0 background, 1 ink), the
// key as the "Comment" text. A bitmap without width or height (a block that
// measures nothing) is written one pixel wide or high in the background
// colour, as libpng takes no empty image. Returns status.code: kNoMemory
// when the one-byte pixels cannot be had (libpng is then not called, and
// the message stays empty).
ImagingStatus EncodePng(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out, PngStatus& status);

// The width and height of the IHDR chunk that head[0..length) begins with
// (see ReadImageSize).
bool ReadPngSize(const unsigned char* head, std::size_t length, ImageSize& size);

// Reads the key and colours of a PNG from the chunks before its first IDAT:
// the colours from PLTE's first six bytes (zeros where it is shorter), the
// key from the kPngCommentKeyword tEXt chunk into `text` (kReadKeyBytes,
// zero-filled; a later such chunk replaces an earlier one). The walk ends at
// a chunk cut short or longer than kPngMaxReadChunk, and at a key longer
// than kPngMaxKeyText, which counts as none. Returns the key's length, 0
// for none.
int ReadPngKeyFrom(const ByteSource& bytes, char* text, unsigned char* colours);

// Whether bytes[0..size) are a whole PNG: the signature, then chunks that
// each fit and whose CRC is right, IHDR first and at least one IDAT, ending
// with IEND at the file's end. Nothing outside bytes[0..size) is read.
bool IsWholePng(const unsigned char* bytes, std::size_t size);

}  // namespace sylpic
