#pragma once
// GIF89a encoder for packed-pixel images with a small palette, into memory,
// and the readers of what it writes: the size, the key and colours, and
// whether a file is whole.
//
//   ByteBuffer bytes;
//   EncodeGif(bitmap.View(), {colours, transparent, key}, bytes);
//   ReadGifKeyFrom(MemoryBytes(bytes.data(), bytes.size()), text, colours);
//
// The image data is valid LZW that is never compressed (every pixel is a
// literal code), so the encoder needs no string table.
#include <cstddef>
#include <cstdio>

#include "data/limits.h"
#include "imaging/byte_buffer.h"
#include "imaging/byte_source.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_size.h"
#include "imaging/image_style.h"
#include "imaging/imaging_status.h"

namespace sylpic {

// The layout the encoder writes and the readers below read back. The
// logical screen's width and height follow the six-byte signature, its
// flags (the global colour table's size) come at byte 10; the global colour
// table follows the 13-byte header; the comment extension (introducer,
// label, one length byte and the key's first sub-block) follows the
// two-entry table of a glyph bitmap's GIF at once, at byte 19.
inline constexpr int kGifSignatureBytes = 6;
inline constexpr char kGif87aSignature[] = "GIF87a";
inline constexpr char kGif89aSignature[] = "GIF89a";
inline constexpr int kGifScreenAt = kGifSignatureBytes;
inline constexpr int kGifScreenFlagsAt = kGifScreenAt + 4;
inline constexpr int kGifColourTableAt = 13;
inline constexpr int kGifCommentAt = kGifColourTableAt + 2 * 3;
inline constexpr int kGifCommentTextAt = kGifCommentAt + 3;
inline constexpr unsigned char kGifExtensionIntroducer = 0x21;
inline constexpr unsigned char kGifCommentLabel = 0xFE;
inline constexpr unsigned char kGifGraphicControlLabel = 0xF9;
inline constexpr unsigned char kGifImageSeparator = 0x2C;
inline constexpr int kGifImageDescriptorBytes = 10;  // with its separator; flags last
inline constexpr unsigned char kGifTrailer = 0x3B;
static_assert(kGifCommentAt == 19, "image reuse reads the key from byte 19 of images already written");
static_assert(255 < kReadKeyBytes, "a key's first sub-block, read back, keeps its terminator");

// Appends a whole GIF file to `out`. Pixels are packed from the most
// significant bit, rows top to bottom, `rowBytes` apart. `transparent` is a
// palette index or -1; `comment` may be null or empty (then no comment
// extension). kNoImage, with nothing appended, when the arguments describe
// no image.
ImagingStatus SaveGif(ByteBuffer& out, int width, int height, int rowBytes, int bitsPerPixel, const unsigned char* palette,
            const unsigned char* pixels, int colours, int transparent, const char* comment);

// The glyph bitmap in the style's colours: background as entry 0, ink as
// entry 1, the key as the comment. A view that is not Valid() gives an image
// of its size with no pixel data. Fails as SaveGif does.
ImagingStatus EncodeGif(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out);

// The width and height of the logical screen that head[0..length) records
// (see ReadImageSize).
bool ReadGifSize(const unsigned char* head, std::size_t length, ImageSize& size);

// Reads the key and colours of a GIF this program wrote: the two-entry
// colour table's six bytes into `colours` (zeros where the bytes end), and
// the key's first sub-block, at kGifCommentTextAt, into `text`
// (kReadKeyBytes; the text stops after a line feed). Returns the key's
// length byte, 0 when no comment extension follows the table at once.
int ReadGifKeyFrom(const ByteSource& bytes, char* text, unsigned char* colours);

// Whether bytes[0..size) are a whole GIF: the header and logical screen,
// the global colour table if it has one, then extensions and images whose
// data sub-blocks run exactly to the trailer, which is the file's last
// byte. Nothing outside bytes[0..size) is read.
bool IsWholeGif(const unsigned char* bytes, std::size_t size);

}  // namespace sylpic
