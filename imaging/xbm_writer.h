#pragma once
// The XBM encoder, into memory: two #define lines and a byte array, lines
// ending in CR LF.
//
//   #define NAME_width W
//   #define NAME_height H
//   static char NAME_bits[] = {
//   0x03,0x02,            one line per pixel row, ceil(W / 8) items
//   0x01,0x03};           the last row ends in "};"
#include "imaging/byte_buffer.h"
#include "imaging/glyph_bitmap.h"

// Appends the XBM text of the glyph bitmap, its symbols named `name`. A
// bitmap without valid pixels gets an empty array. Returns 0.
int EncodeXbm(const GlyphBitmapView& bitmap, const char* name, ByteBuffer& out);
