#pragma once
// The XBM encoder, into memory: two #define lines and a byte array, lines
// ending in CR LF.
//
//   #define NAME_width W
//   #define NAME_height H
//   static char NAME_bits[] = {
//   0x03,0x02,            one line per pixel row, ceil(W / 8) items
//   0x01,0x03};           the last row ends in "};"
#include <cstddef>
#include <string_view>

#include "imaging/byte_buffer.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_size.h"

namespace sylpic {

// The two define lines: "#define NAME_width W" and "#define NAME_height H".
inline constexpr std::string_view kXbmDefine = "#define ";
inline constexpr std::string_view kXbmWidthSuffix = "_width";
inline constexpr std::string_view kXbmHeightSuffix = "_height";

// Appends the XBM text of the glyph bitmap, its symbols named `name`. A
// bitmap without valid pixels gets an empty array. It cannot fail.
void EncodeXbm(const GlyphBitmapView& bitmap, const char* name, ByteBuffer& out);

// The width and height that the first two lines of head[0..length) define
// (see ReadImageSize).
bool ReadXbmSize(const unsigned char* head, std::size_t length, ImageSize& size);

}  // namespace sylpic
