#pragma once
// The image key: the text stored in each GIF and PNG image's comment, which
// names the font, size, transparency and glyph codes of its block, and its
// readers, which take it back from an image file with the image's colours.
#include <string>
#include <string_view>

#include "data/limits.h"
#include "imaging/image_format.h"
#include "imaging/image_size.h"

namespace sylpic {

// Writes into `key` the key of a block drawn in `fontName` at `fontSize`
// (both as set), opaque or transparent, whose glyph string is `glyphs`:
// "<font> <size> ", "^" unless transparent, then each glyph byte in upper-
// case hexadecimal. Returns its length, or 0 (and an empty key) when it
// would be longer than 250 characters.
int MakeImageKey(std::string_view fontName, std::string_view fontSize, bool transparent,
                 const unsigned char* glyphs, int glyphLength, char key[kImageKeyBytes]);

// The glyph string a key spells, read back from its last word (after
// "^"): its hexadecimal bytes, as far as they go.
std::string GlyphBytesOfKey(std::string_view key);

// Reads the key text (kReadKeyBytes bytes) and colours (6 bytes) of a GIF
// written by this program; returns the key length, 0 when there is none.
int ReadGifKey(const char* path, char* text, unsigned char* colours);
// The same for a PNG: the "Comment" tEXt chunk before the first IDAT.
int ReadPngKey(const char* path, char* text, unsigned char* colours);

// Reads the size recorded at the start of the image file at `path`, a
// file in `format`. False when the file cannot be read or records none.
bool ReadImageFileSize(const char* path, ImageFormat format, ImageSize& size);

}  // namespace sylpic
