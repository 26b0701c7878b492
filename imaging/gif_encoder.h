#pragma once
// GIF89a encoder for packed-pixel images with a small palette, into memory.
//
//   ByteBuffer bytes;
//   EncodeGif(bitmap.View(), {colours, transparent, key}, bytes);
//
// The image data is valid LZW that is never compressed (every pixel is a
// literal code), so the encoder needs no string table.
#include <cstddef>
#include <cstdio>

#include "imaging/byte_buffer.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_size.h"
#include "imaging/image_style.h"

// The layout that image reuse reads back. The logical screen's width and
// height follow the six-byte signature; the global colour table follows the
// 13-byte header; the comment extension (introducer, label, one length byte
// and the key's first sub-block) follows the two-entry table of a glyph
// bitmap's GIF at once.
inline constexpr int kGifScreenAt = 6;
inline constexpr int kGifColourTableAt = 13;
inline constexpr int kGifCommentAt = kGifColourTableAt + 2 * 3;
inline constexpr unsigned char kGifExtensionIntroducer = 0x21;
inline constexpr unsigned char kGifCommentLabel = 0xFE;

// Appends a whole GIF file to `out`. Pixels are packed from the most
// significant bit, rows top to bottom, `rowBytes` apart. `transparent` is a
// palette index or -1; `comment` may be null or empty (then no comment
// extension). Returns 0, or -1 when the arguments describe no image (and
// then nothing is appended).
int SaveGif(ByteBuffer& out, int width, int height, int rowBytes, int bitsPerPixel, const unsigned char* palette,
            const unsigned char* pixels, int colours, int transparent, const char* comment);

// The glyph bitmap in the style's colours: background as entry 0, ink as
// entry 1, the key as the comment. A view that is not Valid() gives an image
// of its size with no pixel data. Returns 0 or -1 as SaveGif does.
int EncodeGif(const GlyphBitmapView& bitmap, const ImageStyle& style, ByteBuffer& out);

// The width and height of the logical screen that head[0..length) records
// (see ReadImageSize).
bool ReadGifSize(const unsigned char* head, std::size_t length, ImageSize& size);
